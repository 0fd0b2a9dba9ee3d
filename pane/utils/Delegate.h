#pragma once
// Delegates: an object bound to one of its member functions (or a free function), called with
// one untyped argument and answering true to go on, false to stop. A CDelegateList owns heap
// copies of the delegates added to it and calls them in order. UI thread only.

#include "pane/utils/PtrArray.h"

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

namespace Pane {

class CDelegateBase {
public:
    virtual ~CDelegateBase() = default;
    // A heap copy of this delegate, owned by the caller.
    virtual CDelegateBase* Copy() const = 0;
    bool operator()(void* param) { return Invoke(param); }

    // Same bound object and same bound function.
    bool Equals(const CDelegateBase& other) const;
    void* GetObject() const { return m_object; }

protected:
    static constexpr size_t kFunctionSize = 2 * sizeof(void*);

    template <class F>
    CDelegateBase(void* object, F function) : m_object(object) {
        static_assert(sizeof(F) <= kFunctionSize && std::is_trivially_copyable_v<F>);
        std::memcpy(m_function, &function, sizeof(F));
    }
    CDelegateBase(const CDelegateBase&) = default;
    CDelegateBase& operator=(const CDelegateBase&) = default;

    template <class F>
    F GetFunction() const {
        F function;
        std::memcpy(&function, m_function, sizeof(F));
        return function;
    }

    virtual bool Invoke(void* param) = 0;

private:
    void* m_object;
    // The bound function's bytes, kept whole so that two delegates can be compared whatever
    // kind of function they bind.
    unsigned char m_function[kFunctionSize] = {};
};

// Binds object->function(param).
template <class O>
class CDelegate : public CDelegateBase {
public:
    using Function = bool (O::*)(void*);

    CDelegate(O* object, Function function) : CDelegateBase(object, function) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }

protected:
    bool Invoke(void* param) override {
        O* object = static_cast<O*>(GetObject());
        return (object->*GetFunction<Function>())(param);
    }
};

// Binds a free function function(param).
class CDelegateStatic : public CDelegateBase {
public:
    using Function = bool (*)(void*);

    explicit CDelegateStatic(Function function) : CDelegateBase(nullptr, function) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }

protected:
    bool Invoke(void* param) override { return GetFunction<Function>()(param); }
};

template <class O>
CDelegate<O> MakeDelegate(O* object, bool (O::*function)(void*)) {
    return CDelegate<O>(object, function);
}

inline CDelegateStatic MakeDelegate(bool (*function)(void*)) {
    return CDelegateStatic(function);
}

// The delegates of one event. A delegate may add to, remove from or clear the list while the
// list is calling it; the list itself must outlive the call (controls are freed by the UI
// manager's delayed clean-up, never from their own delegates).
class CDelegateList {
public:
    CDelegateList() = default;
    CDelegateList(const CDelegateList&) = delete;
    CDelegateList& operator=(const CDelegateList&) = delete;
    ~CDelegateList();

    // Adds a copy unless an equal delegate is in the list already.
    void Add(const CDelegateBase& delegate);
    // Removes the copy equal to delegate, if any. During Invoke the copy is freed only when the
    // outermost Invoke returns, since it may be running.
    void Remove(const CDelegateBase& delegate);
    void Clear();
    int GetCount() const { return m_delegates.GetSize(); }

    // Calls the delegates present when the call starts, in order; false as soon as one answers
    // false, else true. What the delegates change takes effect from the next call: one added
    // meanwhile is not called, and one removed meanwhile is still called if its turn has not
    // come yet, so every delegate present sees the whole event. (So a delegate must not free
    // the object of another delegate of the same list while the list is calling them.)
    bool Invoke(void* param);

    CDelegateList& operator+=(const CDelegateBase& delegate) {
        Add(delegate);
        return *this;
    }
    CDelegateList& operator-=(const CDelegateBase& delegate) {
        Remove(delegate);
        return *this;
    }
    bool operator()(void* param) { return Invoke(param); }

private:
    // Frees a copy that has left the list, or keeps it until the outermost Invoke returns.
    void Discard(CDelegateBase* item);

    CUIPtrArray m_delegates;
    int m_invoking = 0; // depth of Invoke calls under way (a delegate may invoke the list again)
    std::vector<std::unique_ptr<CDelegateBase>> m_retired;
};

} // namespace Pane
