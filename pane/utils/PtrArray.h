#pragma once
// A growable array of untyped pointers that never owns what they point to. The first growth
// gives 11 slots, each later one doubles them. A plain value owned by its holder (UI thread).

namespace Pane {

class CUIPtrArray {
public:
    static constexpr int kFirstCapacity = 11;

    // Allocates preferredSize slots at once (the count stays 0); 0 allocates nothing.
    explicit CUIPtrArray(int preferredSize = 0);
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray& other);
    ~CUIPtrArray();

    // Frees the block; count and capacity become 0.
    void Empty();
    // Frees the old block and allocates count zeroed slots (count = capacity = count).
    void Resize(int count);
    bool IsEmpty() const { return m_count == 0; }
    // Index of the first slot holding exactly item, or -1.
    int Find(const void* item) const;
    bool Add(void* item);
    bool SetAt(int index, void* item);
    bool InsertAt(int index, void* item);
    bool Remove(int index);
    int GetSize() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    void** GetData() const { return m_items; }
    // Null when index is negative or not below the count.
    void* GetAt(int index) const;
    void* operator[](int index) const { return GetAt(index); }

private:
    // Makes room for one more item; false (array unchanged) when memory runs out.
    bool Grow();

    void** m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

} // namespace Pane
