#include "pane/utils/PtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace Pane {

CUIPtrArray::CUIPtrArray(int preferredSize) {
    if (preferredSize > 0) {
        m_items =
            static_cast<void**>(std::calloc(static_cast<size_t>(preferredSize), sizeof(void*)));
        if (m_items != nullptr) {
            m_capacity = preferredSize;
        }
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) {
    *this = other;
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other) {
    if (this == &other) {
        return *this;
    }
    Empty();
    for (int i = 0; i < other.m_count; ++i) {
        Add(other.m_items[i]);
    }
    return *this;
}

CUIPtrArray::~CUIPtrArray() {
    std::free(m_items);
}

void CUIPtrArray::Empty() {
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CUIPtrArray::Resize(int count) {
    Empty();
    if (count <= 0) {
        return;
    }
    m_items = static_cast<void**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
    if (m_items != nullptr) {
        m_count = count;
        m_capacity = count;
    }
}

int CUIPtrArray::Find(const void* item) const {
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i] == item) {
            return i;
        }
    }
    return -1;
}

bool CUIPtrArray::Grow() {
    // The block keeps at least one free slot after every add, so grow when the new count
    // reaches the capacity.
    const int newCount = m_count + 1;
    if (newCount < m_capacity) {
        return true;
    }
    if (m_capacity > INT_MAX / 2) {
        return false;
    }
    const int newCapacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
    void** block = static_cast<void**>(
        std::realloc(m_items, static_cast<size_t>(newCapacity) * sizeof(void*)));
    if (block == nullptr) {
        return false;
    }
    m_items = block;
    m_capacity = newCapacity;
    return true;
}

bool CUIPtrArray::Add(void* item) {
    if (!Grow()) {
        return false;
    }
    m_items[m_count++] = item;
    return true;
}

bool CUIPtrArray::SetAt(int index, void* item) {
    if (index < 0 || index >= m_count) {
        return false;
    }
    m_items[index] = item;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* item) {
    if (index == m_count) {
        return Add(item);
    }
    if (index < 0 || index > m_count) {
        return false;
    }
    if (!Grow()) {
        return false;
    }
    std::memmove(m_items + index + 1, m_items + index,
                 static_cast<size_t>(m_count - index) * sizeof(void*));
    m_items[index] = item;
    ++m_count;
    return true;
}

bool CUIPtrArray::Remove(int index) {
    if (index < 0 || index >= m_count) {
        return false;
    }
    std::memmove(m_items + index, m_items + index + 1,
                 static_cast<size_t>(m_count - index - 1) * sizeof(void*));
    --m_count;
    return true;
}

void* CUIPtrArray::GetAt(int index) const {
    if (index < 0 || index >= m_count) {
        return nullptr;
    }
    return m_items[index];
}

} // namespace Pane
