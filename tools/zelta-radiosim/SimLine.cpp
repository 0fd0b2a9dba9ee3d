#include "tools/zelta-radiosim/SimLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

namespace radiosim {

namespace {

constexpr int kBootRate = 115200;

int RateOf(speed_t speed) {
    switch (speed) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        case B460800:
            return 460800;
        case B921600:
            return 921600;
        default:
            return 9600;
    }
}

// Writes a file through a temporary beside it, so a failed save keeps the previous file.
bool WriteFileAtomically(const std::string& path, const std::string& data) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ReadFile(const std::string& path, std::string& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    data = text.str();
    return !in.bad();
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < ' ' || c > '~') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

} // namespace

int64_t NowUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

CSimLine::CSimLine(CSimRadio& radio, CFaultSet& faults, LineOptions options)
    : m_radio(radio), m_faults(faults), m_options(std::move(options)) {}

CSimLine::~CSimLine() {
    CloseLine();
    if (m_signals >= 0)
        close(m_signals);
    if (m_log)
        std::fclose(m_log);
}

bool CSimLine::Open(std::string& error) {
    if (!m_options.logPath.empty()) {
        m_log = std::fopen(m_options.logPath.c_str(), "a");
        if (!m_log) {
            error = "cannot open log " + m_options.logPath + ": " + std::strerror(errno);
            return false;
        }
    }
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ptsname(m_master);
    if (!name) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    m_slavePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_slave < 0) {
        error = "cannot open " + m_slavePath + ": " + std::strerror(errno);
        return false;
    }
    // Raw and without echo from the start: an echoing line would hand every reply back to the
    // radio as if the client had sent it.
    termios tio{};
    if (tcgetattr(m_slave, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&tio, B38400);
        cfsetospeed(&tio, B38400);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGUSR1);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    m_signals = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_signals < 0) {
        error = std::string("signalfd: ") + std::strerror(errno);
        return false;
    }
    signal(SIGPIPE, SIG_IGN);
    ReloadFaults();
    return true;
}

int CSimLine::LineRate() const {
    termios tio{};
    return tcgetattr(m_slave, &tio) == 0 ? RateOf(cfgetospeed(&tio)) : 9600;
}

int64_t CSimLine::ByteTimeUs() const {
    int rate = m_radio.InBootLoader() ? kBootRate : LineRate();
    return 10'000'000 / rate;
}

int CSimLine::Run() {
    for (;;) {
        int64_t now = NowUs();
        ProcessInput(now);
        WriteOutput(now);
        if (m_vanished) {
            SaveFiles();
            return 0;
        }
        int64_t next = -1;
        if (!m_input.empty())
            next = m_input.front().dueUs;
        if (!m_output.empty())
            next = next < 0 ? m_output.front().dueUs : std::min(next, m_output.front().dueUs);
        timespec timeout{};
        timespec* timeoutPtr = nullptr;
        if (next >= 0) {
            int64_t wait = std::max<int64_t>(0, next - NowUs());
            timeout.tv_sec = wait / 1000000;
            timeout.tv_nsec = (wait % 1000000) * 1000;
            timeoutPtr = &timeout;
        }
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_signals, POLLIN, 0}};
        int ready = ppoll(fds, 2, timeoutPtr, nullptr);
        if (ready < 0 && errno != EINTR)
            return 1;
        if (ready <= 0)
            continue;
        if (fds[1].revents & POLLIN) {
            signalfd_siginfo info{};
            while (read(m_signals, &info, sizeof info) == sizeof info) {
                if (info.ssi_signo == SIGUSR1) {
                    ReloadFaults();
                } else {
                    return SaveFiles() ? 0 : 1;
                }
            }
        }
        if (fds[0].revents & POLLIN) {
            ReadInput(NowUs());
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // No client holds the line; wait instead of spinning on the hang-up.
            timespec pause{0, 20'000'000};
            nanosleep(&pause, nullptr);
        }
    }
}

void CSimLine::ReadInput(int64_t nowUs) {
    uint8_t buffer[4096];
    ssize_t n = read(m_master, buffer, sizeof buffer);
    if (n <= 0)
        return;
    int64_t byteTime = ByteTimeUs();
    for (ssize_t i = 0; i < n; ++i) {
        // The client's bytes arrive one after the other at the line rate.
        int64_t due = std::max(nowUs, m_inputFreeUs) + byteTime;
        m_inputFreeUs = due;
        m_input.push_back({due, buffer[i]});
    }
}

void CSimLine::ProcessInput(int64_t nowUs) {
    while (!m_input.empty() && m_input.front().dueUs <= nowUs && !m_vanished) {
        TimedByte in = m_input.front();
        m_input.pop_front();
        // At another rate than its own a radio's receiver makes nothing of the bytes; the
        // boot loader has its fixed rate.
        if (m_faults.OwnRateOnly() && !m_radio.InBootLoader() && LineRate() != m_radio.SerialRate())
            continue;
        m_received.push_back(static_cast<char>(in.byte));
        std::optional<Answer> answer = m_radio.Feed(in.byte, in.dueUs / 1000);
        if (!answer)
            continue;
        LogReceived(answer->command == "page" ? answer->received : std::string());
        if (answer->command == "ISP finish")
            SaveFiles();
        Transmission t = m_faults.Apply(answer->command, answer->query, answer->text);
        if (t.vanish) {
            Log("<line closed>");
            CloseLine();
            m_vanished = true;
            return;
        }
        if (!t.send)
            continue;
        int64_t byteTime = ByteTimeUs();
        int64_t start = std::max(in.dueUs + int64_t(t.delayMs) * 1000, m_outputFreeUs);
        for (char c : t.bytes) {
            start += byteTime;
            m_output.push_back({start, static_cast<uint8_t>(c)});
        }
        m_outputFreeUs = start;
    }
}

void CSimLine::WriteOutput(int64_t nowUs) {
    std::string due;
    while (!m_output.empty() && m_output.front().dueUs <= nowUs) {
        due.push_back(static_cast<char>(m_output.front().byte));
        m_output.pop_front();
    }
    if (due.empty() || m_master < 0)
        return;
    // Bytes nobody can take (the client does not read) are lost, as on a real wire.
    ssize_t written = write(m_master, due.data(), due.size());
    (void)written;
}

void CSimLine::LogReceived(const std::string& summary) {
    // A line stays readable: an overlong run of bytes is cut, with its size said.
    constexpr size_t kMaxLogged = 300;
    std::string text = summary;
    if (text.empty()) {
        text = Printable(m_received.substr(0, kMaxLogged));
        if (m_received.size() > kMaxLogged)
            text += "...<" + std::to_string(m_received.size()) + " bytes>";
    }
    m_received.clear();
    Log(text);
}

void CSimLine::Log(const std::string& text) {
    if (!m_log)
        return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm utc{};
    gmtime_r(&ts.tv_sec, &utc);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
    std::fprintf(m_log, "%s.%03ldZ %s\n", stamp, ts.tv_nsec / 1000000, text.c_str());
    std::fflush(m_log);
}

void CSimLine::ReloadFaults() {
    if (!m_options.faultPath.empty()) {
        std::string text;
        std::string error;
        if (!ReadFile(m_options.faultPath, text))
            std::fprintf(stderr, "zelta-radiosim: cannot read %s\n", m_options.faultPath.c_str());
        else if (!m_faults.LoadFile(text, error))
            std::fprintf(stderr, "zelta-radiosim: %s: %s\n", m_options.faultPath.c_str(),
                         error.c_str());
    }
    m_radio.SetBadPage(m_faults.BadPage());
}

void CSimLine::CloseLine() {
    if (m_slave >= 0)
        close(m_slave);
    if (m_master >= 0)
        close(m_master);
    m_slave = -1;
    m_master = -1;
}

bool CSimLine::SaveFiles() {
    // Bytes that completed no command are logged too, before the simulator ends.
    if (!m_received.empty())
        LogReceived("");
    bool ok = true;
    if (!m_options.statePath.empty())
        ok = WriteFileAtomically(m_options.statePath, m_radio.SaveState()) && ok;
    if (!m_options.firmwarePath.empty() && m_radio.HasImage()) {
        const std::vector<uint8_t>& image = m_radio.Image();
        ok = WriteFileAtomically(m_options.firmwarePath, std::string(image.begin(), image.end())) &&
             ok;
    }
    if (!ok)
        std::fprintf(stderr, "zelta-radiosim: could not save the state or image file\n");
    return ok;
}

} // namespace radiosim
