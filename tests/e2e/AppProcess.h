#pragma once
// Runs the real zelta-rct program for the end-to-end tests: each test gets a folder of its own
// that is the program's home (so its stored settings start empty) and its working folder, and
// the program runs headless with an automation script, or on a display with a dump file.
// Helpers read what the program left behind (stored settings) and the language files beside it.

#include "tools/zelta-radiosim/SimProcess.h"

#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace e2e {

// The build's programs.
std::string BinPath(const std::string& program);

// setpriv arguments that run a program as the unprivileged user "nobody".
const std::vector<std::string>& AsNobody();

// A fresh folder under /tmp, readable by everyone, removed with everything in it at the end.
// HOME and XDG_CONFIG_HOME of the programs started for it point inside it.
class TestHome {
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // Hands the folder (and what is in it) to "nobody", as a user's own home would be.
    bool GiveToNobody() const;
    // The stored setting `name` ("Port", "Baud", "Chinese"); empty when there is none.
    std::string StoredSetting(const std::string& name) const;
    bool HasStoredSettings() const;

private:
    std::string SettingsFile() const;
    std::string m_path;
};

struct AppOptions {
    std::vector<std::string> extraPorts;  // ZELTA_RCT_EXTRA_PORTS
    std::vector<std::string> prefix;      // runs the program through these (AsNobody())
    std::vector<std::string> environment; // NAME=VALUE pairs added to the program's own
    std::chrono::seconds limit{120};      // killed after this long
};

// Options for a run with these extra ports, through `prefix` when one is given.
inline AppOptions OnPorts(std::vector<std::string> ports, std::vector<std::string> prefix = {}) {
    AppOptions options;
    options.extraPorts = std::move(ports);
    options.prefix = std::move(prefix);
    return options;
}

struct AppRun {
    int status = -1;    // exit status, -1 when it did not end by itself in time
    std::string errors; // what it wrote on standard error
};

// zelta-rct started in `home` with `environment` (PANE_* variables and the like); ends or is
// killed with its process.
class AppProcess {
public:
    AppProcess(const TestHome& home, const AppOptions& options,
               const std::vector<std::string>& environment);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running();
    // Waits for the end, at most the run's limit, killing it after that.
    AppRun Wait();

private:
    pid_t m_pid = -1;
    int m_status = -1;
    std::string m_errors;
    std::chrono::steady_clock::time_point m_deadline;
};

// Plays `script` in zelta-rct on the headless backend and waits for the end.
AppRun RunScript(const TestHome& home, const std::string& script, const AppOptions& options = {});

// The text of `key` in the language file beside the program ("String" section), as the
// program reads it; `first` picks the first language's file.
std::string LanguageText(bool first, const char* key, const char* section = "String");

// A simulated radio for a test, started through `prefix` when one is given (AsNobody()).
std::unique_ptr<radiosim::SimProcess> StartRadio(std::vector<std::string> options = {},
                                                 const std::vector<std::string>& prefix = {});

// zelta-rct-cli run to its end with `args`; standard output, and the exit status via `status`.
std::string RunCli(const std::vector<std::string>& args, int* status = nullptr);

// The value after "KEY: " on the line of `text` that starts with it; empty when none does.
std::string ValueOf(const std::string& text, const std::string& key);

} // namespace e2e
