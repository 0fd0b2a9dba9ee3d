#include "app/AppShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace app {
namespace {

using namespace std::chrono_literals;

template <class Predicate>
bool WaitUntil(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    return done();
}

// What happened, in order, from any thread; and a job that stays under way until released.
struct Journal {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> entries;
    bool released = false;

    void Add(const std::string& what) {
        std::lock_guard<std::mutex> hold(lock);
        entries.push_back(what);
        changed.notify_all();
    }
    bool Has(const std::string& what) {
        std::lock_guard<std::mutex> hold(lock);
        return std::find(entries.begin(), entries.end(), what) != entries.end();
    }
    void Hold() {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [this] { return released; });
    }
    void Release() {
        std::lock_guard<std::mutex> hold(lock);
        released = true;
        changed.notify_all();
    }
};

// A window that only says it was made.
class FakeWindow : public IAppWindow {
public:
    bool CreateAppWindow(const AppWindowSpec&) override { return true; }
    void CentreAppWindow() override {}
    void ShowAppWindow() override {}
    void PostQuit(int) override {}
    void RunMessageLoop() override {}
};

TEST(AppShell, ClosingSavesTheSettingsFirstThenWaitsForTheUpgradeUnderWay) {
    Journal journal;
    FakeWindow window;
    std::atomic<int> stoppingTurns{0};
    CAppShell shell(window, {[&] { journal.Add("save"); },
                             [&] {
                                 journal.Add("upgrade starts");
                                 journal.Hold();
                                 journal.Add("upgrade ends");
                             },
                             [&] {
                                 // The window's thread answers the worker meanwhile.
                                 ++stoppingTurns;
                                 journal.Release();
                             }});
    shell.StartWorker();
    shell.RequestUpgrade();
    ASSERT_TRUE(WaitUntil([&] { return journal.Has("upgrade starts"); }));
    shell.Close();
    shell.Close();
    EXPECT_EQ(journal.entries,
              (std::vector<std::string>{"upgrade starts", "save", "upgrade ends"}));
    EXPECT_GE(stoppingTurns.load(), 1);
}

TEST(UpgradeWorker, PollsRunsARequestOnceAndClearsItOnlyWhenTheJobHasReturned) {
    Journal journal;
    std::atomic<int> runs{0};
    CUpgradeWorker worker(
        [&] {
            ++runs;
            journal.Hold();
        },
        2ms);
    worker.Start();
    ASSERT_TRUE(WaitUntil([&] { return worker.Polls() >= 5; }));
    EXPECT_EQ(runs.load(), 0);

    worker.Request();
    ASSERT_TRUE(WaitUntil([&] { return worker.Busy(); }));
    worker.Request(); // absorbed by the job under way
    EXPECT_TRUE(worker.Requested());
    journal.Release();
    ASSERT_TRUE(WaitUntil([&] { return !worker.Requested(); }));
    const long polls = worker.Polls();
    ASSERT_TRUE(WaitUntil([&] { return worker.Polls() >= polls + 5; }));
    EXPECT_EQ(runs.load(), 1);

    worker.Stop();
    worker.Request();
    worker.Start();
    EXPECT_FALSE(worker.Started());
    EXPECT_EQ(runs.load(), 1);
}

} // namespace
} // namespace app
