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
            Discard(item);
            return;
        }
    }
}

void CDelegateList::Clear() {
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        Discard(static_cast<CDelegateBase*>(m_delegates[i]));
    }
    m_delegates.Empty();
}

void CDelegateList::Discard(CDelegateBase* item) {
    if (m_invoking > 0) {
        m_retired.emplace_back(item);
    } else {
        delete item;
    }
}

bool CDelegateList::Invoke(void* param) {
    // The copies are called from a snapshot: the live array may shrink or grow under a delegate,
    // and a copy removed meanwhile stays allocated in m_retired until the outermost call ends.
    void** items = m_delegates.GetData();
    const std::vector<void*> present(items, items + m_delegates.GetSize());
    struct Depth {
        CDelegateList& list;
        explicit Depth(CDelegateList& l) : list(l) { ++list.m_invoking; }
        ~Depth() {
            if (--list.m_invoking == 0) {
                list.m_retired.clear();
            }
        }
    } depth(*this);
    for (void* item : present) {
        if (!(*static_cast<CDelegateBase*>(item))(param)) {
            return false;
        }
    }
    return true;
}

} // namespace Pane
