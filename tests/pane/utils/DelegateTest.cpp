#include "pane/utils/Delegate.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace Pane;

namespace {

struct Counter {
    int calls = 0;
    bool answer = true;
    bool Handle(void*) {
        ++calls;
        return answer;
    }
};

// A named handler that logs its calls, runs an optional action on the list while it is being
// called, and counts the list's copies of its delegate that are still allocated.
struct Handler {
    Handler(std::string n, std::vector<std::string>* l) : name(std::move(n)), log(l) {}

    std::string name;
    std::vector<std::string>* log;
    std::function<void()> action;
    int liveCopies = 0;
    int liveCopiesDuringCall = -1;

    bool Handle(void*) {
        log->push_back(name);
        if (action) {
            action();
        }
        liveCopiesDuringCall = liveCopies;
        return true;
    }
};

class HandlerDelegate : public CDelegateBase {
public:
    explicit HandlerDelegate(Handler* handler) : CDelegateBase(handler, &Handler::Handle) {}
    ~HandlerDelegate() override {
        if (m_copy) {
            --Target()->liveCopies;
        }
    }
    CDelegateBase* Copy() const override {
        auto* copy = new HandlerDelegate(*this);
        copy->m_copy = true;
        ++Target()->liveCopies;
        return copy;
    }

protected:
    bool Invoke(void* param) override {
        Handler* handler = Target();
        const bool answer = handler->Handle(param);
        // Reading a member after the handler ran shows up under the address sanitizer when the
        // list has freed this copy meanwhile.
        return answer && m_copy;
    }

private:
    Handler* Target() const { return static_cast<Handler*>(GetObject()); }
    bool m_copy = false;
};

struct Fixture {
    std::vector<std::string> log;
    Handler a{"a", &log}, b{"b", &log}, c{"c", &log};
    CDelegateList list;
    Fixture() {
        list += HandlerDelegate(&a);
        list += HandlerDelegate(&b);
        list += HandlerDelegate(&c);
    }
};

using Calls = std::vector<std::string>;

} // namespace

TEST(DelegateList, InvokesInOrderStopsAtFirstFalseAndSkipsDuplicates) {
    Counter first, second;
    CDelegateList list;
    EXPECT_TRUE(list.Invoke(nullptr));
    list += MakeDelegate(&first, &Counter::Handle);
    list += MakeDelegate(&first, &Counter::Handle);
    list += MakeDelegate(&second, &Counter::Handle);
    EXPECT_EQ(list.GetCount(), 2);
    first.answer = false;
    EXPECT_FALSE(list.Invoke(nullptr));
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 0);
    list -= MakeDelegate(&first, &Counter::Handle);
    EXPECT_TRUE(list.Invoke(nullptr));
    EXPECT_EQ(second.calls, 1);
}

TEST(DelegateList, ADelegateRemovingItselfIsKeptUntilTheCallEndsAndTheNextStillRuns) {
    Fixture f;
    f.a.action = [&] { f.list -= HandlerDelegate(&f.a); };
    EXPECT_TRUE(f.list.Invoke(nullptr));
    EXPECT_EQ(f.log, (Calls{"a", "b", "c"}));
    EXPECT_EQ(f.a.liveCopiesDuringCall, 1);
    EXPECT_EQ(f.a.liveCopies, 0);
    EXPECT_EQ(f.list.GetCount(), 2);
    f.log.clear();
    f.list.Invoke(nullptr);
    EXPECT_EQ(f.log, (Calls{"b", "c"}));
}

TEST(DelegateList, ADelegateRemovedByAnotherIsCalledOnceMoreOnlyIfItsTurnHasNotCome) {
    Fixture f;
    f.b.action = [&] {
        f.list -= HandlerDelegate(&f.a);
        f.list -= HandlerDelegate(&f.c);
    };
    EXPECT_TRUE(f.list.Invoke(nullptr));
    EXPECT_EQ(f.log, (Calls{"a", "b", "c"}));
    EXPECT_EQ(f.c.liveCopiesDuringCall, 1);
    EXPECT_EQ(f.a.liveCopies + f.c.liveCopies, 0);
    f.log.clear();
    f.list.Invoke(nullptr);
    EXPECT_EQ(f.log, (Calls{"b"}));
}

TEST(DelegateList, ClearingFromADelegateFinishesTheCallAndFreesEveryCopyAfterwards) {
    Fixture f;
    f.a.action = [&] { f.list.Clear(); };
    EXPECT_TRUE(f.list.Invoke(nullptr));
    EXPECT_EQ(f.log, (Calls{"a", "b", "c"}));
    EXPECT_EQ(f.list.GetCount(), 0);
    EXPECT_EQ(f.b.liveCopiesDuringCall, 1);
    EXPECT_EQ(f.a.liveCopies + f.b.liveCopies + f.c.liveCopies, 0);
}

TEST(DelegateList, ADelegateAddedDuringACallWaitsForTheNextOne) {
    Fixture f;
    std::vector<std::string>& log = f.log;
    Handler d{"d", &log};
    f.b.action = [&] { f.list += HandlerDelegate(&d); };
    f.list.Invoke(nullptr);
    EXPECT_EQ(log, (Calls{"a", "b", "c"}));
    f.b.action = nullptr;
    log.clear();
    f.list.Invoke(nullptr);
    EXPECT_EQ(log, (Calls{"a", "b", "c", "d"}));
}

TEST(DelegateList, CopiesRemovedInANestedCallLiveUntilTheOutermostCallEnds) {
    Fixture f;
    // "a" invokes the list again once; inside, "b" removes itself and "c". The outer call goes
    // on with "b" and "c", whose copies must still be there.
    bool nested = false;
    f.a.action = [&] {
        if (!nested) {
            nested = true;
            f.list.Invoke(nullptr);
        }
    };
    f.b.action = [&] {
        f.list -= HandlerDelegate(&f.b);
        f.list -= HandlerDelegate(&f.c);
    };
    EXPECT_TRUE(f.list.Invoke(nullptr));
    EXPECT_EQ(f.log, (Calls{"a", "a", "b", "c", "b", "c"}));
    EXPECT_EQ(f.c.liveCopiesDuringCall, 1);
    EXPECT_EQ(f.b.liveCopies + f.c.liveCopies, 0);
    EXPECT_EQ(f.list.GetCount(), 1);
}
