#include "pane/utils/StringMap.h"

#include <cstring>

namespace Pane {

CUIStringMap::CUIStringMap(int buckets) {
    Resize(buckets);
}

CUIStringMap::~CUIStringMap() {
    FreeNodes();
    delete[] m_buckets;
}

unsigned int CUIStringMap::Hash(const char* key) {
    unsigned int hash = 0;
    for (size_t i = std::strlen(key); i > 0; --i) {
        const signed char byte = static_cast<signed char>(key[i - 1]);
        hash = hash * 33u + static_cast<unsigned int>(static_cast<int>(byte));
    }
    return hash;
}

void CUIStringMap::FreeNodes() {
    for (unsigned int b = 0; b < m_bucketCount; ++b) {
        Node* node = m_buckets[b];
        while (node != nullptr) {
            Node* next = node->next;
            delete node;
            node = next;
        }
        m_buckets[b] = nullptr;
    }
    m_count = 0;
}

void CUIStringMap::Resize(int buckets) {
    FreeNodes();
    delete[] m_buckets;
    m_buckets = nullptr;
    m_bucketCount = 0;
    if (buckets > 0) {
        m_buckets = new Node*[static_cast<size_t>(buckets)]();
        m_bucketCount = static_cast<unsigned int>(buckets);
    }
}

CUIStringMap::Node* CUIStringMap::FindNode(const char* key, bool moveToFront) const {
    if (key == nullptr || m_bucketCount == 0 || m_count == 0) {
        return nullptr;
    }
    const unsigned int slot = Hash(key) % m_bucketCount;
    for (Node* node = m_buckets[slot]; node != nullptr; node = node->next) {
        if (node->key == key) {
            if (moveToFront && node->prev != nullptr) {
                node->prev->next = node->next;
                if (node->next != nullptr) {
                    node->next->prev = node->prev;
                }
                node->prev = nullptr;
                node->next = m_buckets[slot];
                m_buckets[slot]->prev = node;
                m_buckets[slot] = node;
            }
            return node;
        }
    }
    return nullptr;
}

void* CUIStringMap::Find(const char* key, bool moveToFront) const {
    const Node* node = FindNode(key, moveToFront);
    return node == nullptr ? nullptr : node->value;
}

bool CUIStringMap::Insert(const char* key, void* value) {
    if (key == nullptr || m_bucketCount == 0 || FindNode(key, true) != nullptr) {
        return false;
    }
    const unsigned int slot = Hash(key) % m_bucketCount;
    Node* node = new Node;
    node->key = key;
    node->value = value;
    node->next = m_buckets[slot];
    if (node->next != nullptr) {
        node->next->prev = node;
    }
    m_buckets[slot] = node;
    ++m_count;
    return true;
}

bool CUIStringMap::Set(const char* key, void* value, void** old) {
    void* replaced = nullptr;
    if (Node* node = FindNode(key, true)) {
        replaced = node->value;
        node->value = value;
    } else if (!Insert(key, value)) {
        return false;
    }
    if (old != nullptr) {
        *old = replaced;
    }
    return true;
}

bool CUIStringMap::Remove(const char* key) {
    Node* node = FindNode(key, false);
    if (node == nullptr) {
        return false;
    }
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    } else {
        m_buckets[Hash(key) % m_bucketCount] = node->next;
    }
    if (node->next != nullptr) {
        node->next->prev = node->prev;
    }
    delete node;
    --m_count;
    return true;
}

const char* CUIStringMap::GetAt(int index) const {
    if (index < 0 || index >= m_count) {
        return nullptr;
    }
    int seen = 0;
    for (unsigned int b = m_bucketCount; b > 0; --b) {
        for (const Node* node = m_buckets[b - 1]; node != nullptr; node = node->next) {
            if (seen == index) {
                return node->key.GetData();
            }
            ++seen;
        }
    }
    return nullptr;
}

} // namespace Pane
