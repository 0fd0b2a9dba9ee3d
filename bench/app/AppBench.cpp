// The program's own speed and size: zelta-rct from its start to its first painted frame and its
// resident memory then (a new process each time, headless), a full repaint of the main window
// after a read, and a read at 38400 bit/s from the window beside zelta-rct-cli's read of the same
// simulated radio. Run by hand: bin/app_bench (from any folder; it finds its programs beside it).

#include "app/DlgMain.h"
#include "app/MainControls.h"
#include "pane/controls/ComboBox.h"
#include "platform/win/Window.h"
#include "tools/zelta-radiosim/SimProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const std::string kBin = ZELTA_BIN_DIR;

// A folder of its own for the settings and dumps of the programs measured.
const std::string& Scratch() {
    static const std::string folder = [] {
        char name[] = "/tmp/zelta-app-bench-XXXXXX";
        const char* made = ::mkdtemp(name);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return folder;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> env = extraEnv;
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

// zelta-rct from its start until the dump written after its first paint appears; the resident
// memory at that moment is the "rss_MiB" counter (the largest seen).
void BM_StartToFirstFrame(benchmark::State& state) {
    const std::string folder = Scratch() + "/start";
    fs::create_directories(folder);
    const std::string dump = folder + "/dump.txt";
    double rssMiB = 0;
    for (auto _ : state) {
        fs::remove(dump);
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ::inotify_add_watch(watch, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
        const auto start = Clock::now();
        const pid_t pid =
            Spawn({kBin + "/zelta-rct"}, {"PANE_BACKEND=headless", "PANE_DUMP=" + dump,
                                          "HOME=" + folder, "XDG_CONFIG_HOME=" + folder});
        bool seen = false;
        while (!seen && pid > 0) {
            pollfd pfd{watch, POLLIN, 0};
            if (::poll(&pfd, 1, 10000) != 1)
                break;
            char events[4096];
            if (::read(watch, events, sizeof events) <= 0)
                break;
            seen = fs::exists(dump);
        }
        const auto end = Clock::now();
        const long rss = seen ? ResidentKiB(pid) : -1;
        ::close(watch);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (!seen) {
            state.SkipWithError("zelta-rct painted no frame within 10 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        rssMiB = std::max(rssMiB, static_cast<double>(rss) / 1024.0);
    }
    state.counters["rss_MiB"] = rssMiB;
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The main window on the headless backend, its port set to a simulated radio that has been
// connected and read once, so every field holds a value.
struct ReadWindow {
    std::unique_ptr<radiosim::SimProcess> radio;
    std::unique_ptr<app::DlgMain> window;
    bool ready = false;

    ReadWindow() {
        radio = std::make_unique<radiosim::SimProcess>(kBin + "/zelta-radiosim",
                                                       std::vector<std::string>{});
        if (radio->Path().empty())
            return;
        ::setenv("ZELTA_RCT_EXTRA_PORTS", radio->Path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", Scratch().c_str(), 1);
        ::setenv("PANE_BACKEND", "headless", 1);
        if (!plat::Initialise())
            return;
        window = std::make_unique<app::DlgMain>();
        Pane::CComboBoxUI* ports = window->Controls().port.combo;
        for (int i = 0; i < ports->GetCount(); ++i) {
            if (std::string(ports->GetItemAt(i)->GetText().GetData()) == " " + radio->Path())
                ports->SelectItem(i);
        }
        ready = window->Protocol().ConnectRadio() && window->Protocol().ReadAll();
    }
};

ReadWindow& Window() {
    static ReadWindow window;
    return window;
}

void BM_MainWindowRepaint(benchmark::State& state) {
    ReadWindow& w = Window();
    if (!w.ready) {
        state.SkipWithError("the window could not read the simulated radio");
        return;
    }
    const plat::HWND hwnd = w.window->GetHWND();
    for (auto _ : state) {
        plat::InvalidateRect(hwnd, nullptr, false);
        plat::UpdateWindow(hwnd);
    }
}
BENCHMARK(BM_MainWindowRepaint)->Unit(benchmark::kMicrosecond);

// A full read at 38400 bit/s from the window: port opened, every query, fields filled, the
// status line set, port closed.
void BM_ReadFromWindow(benchmark::State& state) {
    ReadWindow& w = Window();
    if (!w.ready) {
        state.SkipWithError("the window could not read the simulated radio");
        return;
    }
    for (auto _ : state) {
        if (!w.window->Protocol().ReadAll()) {
            state.SkipWithError("a read failed");
            break;
        }
    }
}
BENCHMARK(BM_ReadFromWindow)->Iterations(10)->Unit(benchmark::kMillisecond);

// The same read by zelta-rct-cli, a process of its own each time, on the same simulated radio.
void BM_ReadFromCli(benchmark::State& state) {
    ReadWindow& w = Window();
    if (!w.ready) {
        state.SkipWithError("the simulated radio is not there");
        return;
    }
    for (auto _ : state) {
        const pid_t pid =
            Spawn({kBin + "/zelta-rct-cli", "--port", w.radio->Path(), "--baud", "38400", "read"},
                  {"XDG_DATA_HOME=" + Scratch()});
        int status = -1;
        if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("zelta-rct-cli read failed");
            break;
        }
    }
}
BENCHMARK(BM_ReadFromCli)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The window goes before the platform it was made on.
    Window().window.reset();
    plat::Shutdown();
    std::error_code ignored;
    fs::remove_all(Scratch(), ignored);
    return 0;
}
