#include "app/AppShell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

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

class FakeWindow : public IAppWindow {
public:
    bool CreateAppWindow(const AppWindowOptions&) override { return true; }
    void CentreAppWindow() override {}
    void ShowAppWindow() override {}
    void PostQuit(int) override {}
    void RunMessageLoop() override {}
};

TEST(AppShell, ClosingSavesTheSettingsFirstThenWaitsForTheUpgradeUnderWay) {
    FakeWindow window;
    std::atomic<bool> started{false}, release{false}, ended{false};
    std::atomic<bool> savedBeforeEnd{false};
    CAppShell shell(window, {[&] { savedBeforeEnd = !ended; },
                             [&] {
                                 started = true;
                                 while (!release)
                                     std::this_thread::sleep_for(1ms);
                                 ended = true;
                             },
                             // The window's thread answers the worker meanwhile.
                             [&] { release = true; }});
    shell.StartWorker();
    shell.RequestUpgrade();
    ASSERT_TRUE(WaitUntil([&] { return started.load(); }));
    shell.Close();
    EXPECT_TRUE(savedBeforeEnd);
    EXPECT_TRUE(ended);
}

TEST(UpgradeWorker, PollsRunsARequestOnceAndClearsItOnlyWhenTheJobHasReturned) {
    std::atomic<int> runs{0};
    std::atomic<bool> release{false};
    CUpgradeWorker worker(
        [&] {
            ++runs;
            while (!release)
                std::this_thread::sleep_for(1ms);
        },
        2ms);
    worker.Start();
    ASSERT_TRUE(WaitUntil([&] { return worker.Polls() >= 5; }));
    EXPECT_EQ(runs.load(), 0);

    worker.Request();
    ASSERT_TRUE(WaitUntil([&] { return worker.Busy(); }));
    worker.Request(); // absorbed by the job under way
    EXPECT_TRUE(worker.Requested());
    release = true;
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
