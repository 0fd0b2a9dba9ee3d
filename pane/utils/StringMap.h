#pragma once
// A map from text keys to untyped pointers: a table of buckets, each a doubly linked chain of
// nodes that own a copy of their key. The map never frees the values; their owner walks the map
// (GetAt) and frees them before emptying it. A plain value owned by its holder (UI thread).

#include "pane/utils/UIString.h"

namespace Pane {

class CUIStringMap {
public:
    static constexpr int kDefaultBuckets = 83;

    explicit CUIStringMap(int buckets = kDefaultBuckets);
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;
    ~CUIStringMap();

    // Frees every node and replaces the table by `buckets` empty buckets (none for 0).
    void Resize(int buckets = kDefaultBuckets);
    // The value of key, or null. With moveToFront a hit becomes the head of its bucket, so
    // keys looked up often are found first.
    void* Find(const char* key, bool moveToFront = true) const;
    // False when the key is present already or the table has no buckets.
    bool Insert(const char* key, void* value);
    // Replaces the value of a present key, or inserts the key. old (optional) receives the value
    // replaced, null for a new key. False, with nothing stored and old untouched, when the table
    // has no buckets (or the key is null): the caller still owns value.
    bool Set(const char* key, void* value, void** old = nullptr);
    bool Remove(const char* key);
    int GetSize() const { return m_count; }
    int GetBucketCount() const { return static_cast<int>(m_bucketCount); }
    // The key of the index-th node, walking the buckets from the last to the first and each
    // chain from its head; null outside 0..size-1.
    const char* GetAt(int index) const;
    const char* operator[](int index) const { return GetAt(index); }

    // The bucket hash: key bytes from the last to the first, hash * 33 + signed byte.
    static unsigned int Hash(const char* key);

private:
    struct Node {
        CUIString key;
        void* value = nullptr;
        Node* prev = nullptr;
        Node* next = nullptr;
    };

    Node* FindNode(const char* key, bool moveToFront) const;
    void FreeNodes();

    Node** m_buckets = nullptr;
    unsigned int m_bucketCount = 0;
    int m_count = 0;
};

} // namespace Pane
