#include "pane/utils/Delegate.h"

#include <typeinfo>

namespace Pane {

bool CDelegateBase::Equals(const CDelegateBase& other) const {
    return m_object == other.m_object && typeid(*this) == typeid(other) &&
           std::memcmp(m_function, other.m_function, kFunctionSize) == 0;
}

CDelegateList::~CDelegateList() {
    Clear();
}

void CDelegateList::Add(const CDelegateBase& delegate) {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        if (static_cast<CDelegateBase*>(m_delegates[i])->Equals(delegate)) {
            return;
        }
    }
    CDelegateBase* copy = delegate.Copy();
    if (!m_delegates.Add(copy)) {
        delete copy;
    }
}

void CDelegateList::Remove(const CDelegateBase& delegate) {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        auto* item = static_cast<CDelegateBase*>(m_delegates[i]);
        if (item->Equals(delegate)) {
            m_delegates.Remove(i);
            delete item;
            return;
        }
    }
}

void CDelegateList::Clear() {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        delete static_cast<CDelegateBase*>(m_delegates[i]);
    }
    m_delegates.Empty();
}

bool CDelegateList::Invoke(void* param) {
    // The count is read on every turn: a delegate may add to or remove from the list.
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        if (!(*static_cast<CDelegateBase*>(m_delegates[i]))(param)) {
            return false;
        }
    }
    return true;
}

} // namespace Pane
