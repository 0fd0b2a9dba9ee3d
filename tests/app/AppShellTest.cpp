#include "app/AppShell.h"

#include <gtest/gtest.h>

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
bool WaitUntil(Predicate done, std::chrono::milliseconds limit = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Records what happens, from any thread, in order.
class Journal {
public:
    void Add(const std::string& what) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_entries.push_back(what);
    }
    std::vector<std::string> Entries() const {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_entries;
    }
    int Count(const std::string& what) const {
        std::lock_guard<std::mutex> lock(m_lock);
        int n = 0;
        for (const std::string& e : m_entries)
            n += e == what;
        return n;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_entries;
};

class FakeWindow : public IAppWindow {
public:
    explicit FakeWindow(Journal& journal, bool creates = true)
        : m_journal(journal), m_creates(creates) {}
    bool CreateAppWindow(const AppWindowSpec& spec) override {
        m_journal.Add(std::string("create ") + spec.title);
        return m_creates;
    }
    void CentreAppWindow() override { m_journal.Add("centre"); }
    void ShowAppWindow() override { m_journal.Add("show"); }
    void PostQuit(int code) override { m_journal.Add("quit " + std::to_string(code)); }
    void RunMessageLoop() override { m_journal.Add("loop"); }

private:
    Journal& m_journal;
    bool m_creates;
};

// A job that stays under way until released.
class Gate {
public:
    void Pass() {
        std::unique_lock<std::mutex> lock(m_lock);
        m_entered = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = true;
        m_changed.notify_all();
    }
    bool Entered() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_entered;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
    bool m_entered = false;
};

constexpr AppWindowSpec kSpec{"Main", 0, 0, 0, 0, 100, 80};

TEST(AppShell, OpensByCreatingCentringAndShowingAndStopsWhenNoWindowIsMade) {
    Journal made;
    FakeWindow window(made);
    CAppShell shell(window, {});
    EXPECT_TRUE(shell.Open(kSpec));
    shell.Run();
    shell.Quit();
    EXPECT_EQ(made.Entries(),
              (std::vector<std::string>{"create Main", "centre", "show", "loop", "quit 0"}));

    Journal failed;
    FakeWindow none(failed, false);
    CAppShell noShell(none, {});
    EXPECT_FALSE(noShell.Open(kSpec));
    EXPECT_EQ(failed.Entries(), (std::vector<std::string>{"create Main"}));
}

TEST(AppShell, ClosingSavesTheSettingsFirstThenWaitsForTheUpgradeUnderWay) {
    Journal journal;
    FakeWindow window(journal);
    Gate gate;
    std::atomic<int> turnsWhileStopping{0};
    CAppShell shell(window, {[&] { journal.Add("save"); },
                             [&] {
                                 journal.Add("upgrade starts");
                                 gate.Pass();
                                 journal.Add("upgrade ends");
                             },
                             [&] {
                                 // The window's thread answers the worker meanwhile; here it
                                 // lets the upgrade end.
                                 ++turnsWhileStopping;
                                 gate.Open();
                             }});
    ASSERT_TRUE(shell.Open(kSpec));
    shell.StartWorker();
    shell.RequestUpgrade();
    ASSERT_TRUE(WaitUntil([&] { return gate.Entered(); }));
    EXPECT_TRUE(shell.Worker().Busy());

    shell.Close();
    EXPECT_EQ(journal.Entries(),
              (std::vector<std::string>{"create Main", "centre", "show", "upgrade starts", "save",
                                        "upgrade ends"}));
    EXPECT_GE(turnsWhileStopping.load(), 1);
    EXPECT_FALSE(shell.Worker().Busy());

    // Once only: the destructor does not save again.
    shell.Close();
    EXPECT_EQ(journal.Count("save"), 1);
}

TEST(UpgradeWorker, PollsAndRunsARequestOnceClearingItOnlyWhenTheJobHasReturned) {
    Gate gate;
    std::atomic<int> runs{0};
    CUpgradeWorker worker(
        [&] {
            ++runs;
            gate.Pass();
        },
        2ms);
    worker.Start();
    ASSERT_TRUE(WaitUntil([&] { return worker.Polls() >= 5; }));
    EXPECT_EQ(runs.load(), 0);

    worker.Request();
    ASSERT_TRUE(WaitUntil([&] { return gate.Entered(); }));
    // A request made while the job runs is absorbed by it.
    worker.Request();
    EXPECT_TRUE(worker.Requested());
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return !worker.Requested(); }));

    const long polls = worker.Polls();
    ASSERT_TRUE(WaitUntil([&] { return worker.Polls() >= polls + 5; }));
    EXPECT_EQ(runs.load(), 1);
    worker.Stop();
}

TEST(UpgradeWorker, NothingRunsOnceStopped) {
    std::atomic<int> runs{0};
    CUpgradeWorker worker([&] { ++runs; }, 1ms);
    worker.Start();
    worker.Stop();
    worker.Request();
    worker.Start();
    EXPECT_FALSE(worker.Started());
    std::this_thread::yield();
    EXPECT_EQ(runs.load(), 0);

    // Stopping a worker that never started returns at once.
    CUpgradeWorker idle([&] { ++runs; });
    idle.Request();
    idle.Stop();
    EXPECT_EQ(runs.load(), 0);
}

} // namespace
} // namespace app
