#include "tests/e2e/AppProcess.h"

#include "platform/sys/Profile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Joined(const std::vector<std::string>& parts, char separator) {
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : std::string(1, separator)) + part;
    return joined;
}

// Starts `argv` with the given environment, standard output on /dev/null (or `out`) and
// standard error into `errors`. Returns the pid, -1 on failure.
pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> environment,
            const std::string& workDir, int out, const std::string& errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!errors.empty())
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    if (!workDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    // Variables given here win over the test's own of the same name.
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool overridden = false;
        for (const std::string& own : environment)
            overridden = overridden || own.rfind(name + "=", 0) == 0;
        if (!overridden)
            environment.push_back(entry);
    }
    std::vector<char*> env;
    for (std::string& entry : environment)
        env.push_back(entry.data());
    env.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace

std::string BinPath(const std::string& program) {
    return std::string(ZELTA_BIN_DIR) + "/" + program;
}

const std::vector<std::string>& AsNobody() {
    static const std::vector<std::string> prefix = {"/usr/bin/setpriv", "--reuid=nobody",
                                                    "--regid=nogroup", "--clear-groups"};
    return prefix;
}

TestHome::TestHome() {
    char folder[] = "/tmp/zelta-e2e-XXXXXX";
    if (::mkdtemp(folder) != nullptr) {
        m_path = folder;
        ::chmod(folder, 0755);
    }
}

TestHome::~TestHome() {
    std::error_code ignored;
    if (!m_path.empty())
        fs::remove_all(m_path, ignored);
}

bool TestHome::GiveToNobody() const {
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr || m_path.empty())
        return false;
    bool given = ::chown(m_path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(m_path, error))
        given = given && ::lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
    return given && !error;
}

std::string TestHome::SettingsFile() const {
    return m_path + "/config/ZevovaD/settings.ini";
}

bool TestHome::HasStoredSettings() const {
    return fs::is_regular_file(SettingsFile());
}

std::string TestHome::StoredSetting(const std::string& name) const {
    std::istringstream in(ReadFile(SettingsFile()));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(name + "=", 0) == 0)
            return line.substr(name.size() + 1);
    }
    return {};
}

AppProcess::AppProcess(const TestHome& home, const AppOptions& options,
                       const std::vector<std::string>& environment) {
    std::vector<std::string> argv = options.prefix;
    argv.push_back(BinPath("zelta-rct"));
    std::vector<std::string> env = {"HOME=" + home.Path(), "XDG_CONFIG_HOME=" + home.File("config"),
                                    "XDG_DATA_HOME=" + home.File("data"),
                                    "ZELTA_RCT_EXTRA_PORTS=" + Joined(options.extraPorts, ':')};
    env.insert(env.end(), environment.begin(), environment.end());
    env.insert(env.end(), options.environment.begin(), options.environment.end());
    m_errors = home.File("zelta-rct.stderr");
    m_pid = Spawn(argv, env, home.Path(), -1, m_errors);
    m_deadline = std::chrono::steady_clock::now() + options.limit;
}

AppProcess::~AppProcess() {
    if (Running()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool AppProcess::Running() {
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid)
        return true;
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m_pid = -1;
    return false;
}

AppRun AppProcess::Wait() {
    while (Running() && std::chrono::steady_clock::now() < m_deadline)
        ::poll(nullptr, 0, 10);
    if (Running()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
        m_status = -1;
    }
    return AppRun{m_status, ReadFile(m_errors)};
}

AppRun RunScript(const TestHome& home, const std::string& script, const AppOptions& options) {
    static int count = 0;
    const std::string file = home.File("script-" + std::to_string(++count) + ".txt");
    std::ofstream(file) << script;
    ::chmod(file.c_str(), 0644);
    return AppProcess(home, options, {"PANE_BACKEND=headless", "PANE_SCRIPT=" + file}).Wait();
}

std::string LanguageText(bool first, const char* key, const char* section) {
    const std::string file = BinPath(first ? "Multi_RUS1251.ini" : "Multi_ENG1251.ini");
    char buffer[256] = {};
    plat::GetPrivateProfileString(section, key, "", buffer, sizeof buffer, file.c_str());
    return buffer;
}

std::unique_ptr<radiosim::SimProcess> StartRadio(std::vector<std::string> options,
                                                 const std::vector<std::string>& prefix) {
    if (prefix.empty())
        return std::make_unique<radiosim::SimProcess>(BinPath("zelta-radiosim"),
                                                      std::move(options));
    std::vector<std::string> args(prefix.begin() + 1, prefix.end());
    args.push_back(BinPath("zelta-radiosim"));
    args.insert(args.end(), options.begin(), options.end());
    return std::make_unique<radiosim::SimProcess>(prefix.front(), std::move(args));
}

std::string RunCli(const std::vector<std::string>& args, int* status) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    std::vector<std::string> argv = {BinPath("zelta-rct-cli")};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = Spawn(argv, {}, {}, fds[1], {});
    ::close(fds[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            out.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    }
    ::close(fds[0]);
    int waited = -1;
    if (pid > 0)
        ::waitpid(pid, &waited, 0);
    if (status != nullptr)
        *status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
    return out;
}

std::string ValueOf(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + ": ", 0) == 0)
            return line.substr(key.size() + 2);
    }
    return {};
}

} // namespace e2e
