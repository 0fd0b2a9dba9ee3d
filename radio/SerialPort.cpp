#include "radio/SerialPort.h"

#include "radio/PortList.h"
#include "radio/Trace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace radio {

namespace {

// How long one write may wait for the driver to take its bytes.
constexpr int kWriteTimeoutMs = 1000;
// The longest a close waits for the driver to send what it holds.
constexpr int kDrainLimitMs = 500;
// The most one wake-up of the serial thread reads before it looks for shutdown again: a
// device that never stops sending cannot keep the thread from its end.
constexpr size_t kReadBurstLimit = 64 * 1024;

speed_t SpeedOf(int rate) {
    switch (rate) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return B0;
    }
}

// Sets or clears modem lines. A pseudo-terminal or a bare UART without the lines answers
// ENOTTY or EINVAL: the lines are then simply not there, which is not an error.
void SetModemLine(int fd, int line, bool on) {
    int bits = line;
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) != 0 && errno != ENOTTY && errno != EINVAL) {
        // Nothing else to do: the line stays as the driver left it.
    }
}

std::string ErrorText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string GroupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(4096);
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->gr_name;
    return std::to_string(gid);
}

const char* KindOf(mode_t mode) {
    if (S_ISREG(mode))
        return "a regular file";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISBLK(mode))
        return "a block device";
    return "not a character device";
}

// Why a port cannot be opened, with what the user can do about it; `error` is the errno of
// the failed call.
std::string OpenFailure(const std::string& path, int error) {
    switch (error) {
        case EACCES:
        case EPERM: {
            struct stat info {};
            if (stat(path.c_str(), &info) != 0)
                return path + ": permission denied";
            std::string group = GroupName(info.st_gid);
            return path + ": permission denied; the port belongs to group " + group +
                   ": run \"sudo usermod -aG " + group + " $USER\", then log out and in again";
        }
        case EBUSY:
        case EWOULDBLOCK:
            return path + ": busy: another program holds the port; close it and try again";
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return path + ": no such port: the device is not there (unplugged?)";
        default:
            return path + ": cannot open: " + std::strerror(error);
    }
}

// Sets or clears exclusive mode; a terminal that has no such mode answers ENOTTY or EINVAL.
void SetExclusive(int fd, bool on) {
    if (ioctl(fd, on ? TIOCEXCL : TIOCNXCL) != 0 && errno != ENOTTY && errno != EINVAL) {
        // The device stays usable; only the exclusivity is missing.
    }
}

// Raw 8N1 at the rate, receiver on, modem status lines ignored, no flow control. The first
// setting the driver refuses ends the chain; the text says which.
std::string Configure(int fd, int rate) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return ErrorText("reading the line settings");
    speed_t speed = SpeedOf(rate);
    if (speed == B0)
        return "rate " + std::to_string(rate) + " not supported";
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Reads never block (the descriptor is non-blocking and polled); a blocking read would
    // give up after a second.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 10;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return ErrorText("setting the rate");
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return ErrorText("applying the line settings");
    // tcsetattr succeeds when any one change was taken: read the settings back.
    termios back{};
    if (tcgetattr(fd, &back) != 0)
        return ErrorText("reading the line settings back");
    if (cfgetospeed(&back) != speed || (back.c_cflag & CSIZE) != CS8 ||
        (back.c_cflag & (PARENB | CSTOPB)) != 0)
        return "the driver did not take rate " + std::to_string(rate) + " 8N1";
    SetModemLine(fd, TIOCM_RTS, true);
    return "";
}

} // namespace

CSerialPort::CSerialPort(ISerialOwner* owner) : m_owner(owner) {}

CSerialPort::~CSerialPort() {
    Close();
    if (m_wake >= 0)
        close(m_wake);
}

bool CSerialPort::Open(const std::string& port, int baudRate) {
    std::lock_guard<std::mutex> control(m_control);
    CloseLocked();
    m_lastError.clear();
    m_shutdown = false;
    m_deviceGone = false;
    if (m_wake < 0) {
        m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wake < 0) {
            m_lastError = ErrorText("eventfd");
            return false;
        }
    } else {
        uint64_t stale = 0;
        ssize_t drained = read(m_wake, &stale, sizeof stale);
        (void)drained;
    }
    {
        std::lock_guard<std::mutex> queue(m_queueLock);
        m_writeBuffer.assign(kWriteBufferSize, 0);
        m_writeLength = 0;
        m_writePending = false;
    }

    StartTraceFromEnvironment();
    std::lock_guard<std::mutex> lock(m_lock);
    std::string path = SerialDevicePath(port);
    // A file or folder given by mistake is refused before it is opened for writing.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        m_lastError = OpenFailure(path, errno);
        return false;
    }
    if (!S_ISCHR(info.st_mode)) {
        m_lastError = path + ": not a serial port (" + KindOf(info.st_mode) + ")";
        return false;
    }
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_lastError = OpenFailure(path, errno);
        return false;
    }
    termios settings{};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || tcgetattr(fd, &settings) != 0) {
        m_lastError = path + ": not a serial port (a device without line settings)";
        close(fd);
        return false;
    }
    // One program at a time: the lock stops every program that asks for it, exclusive mode
    // every other opener that is not root.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_lastError = OpenFailure(path, errno);
        close(fd);
        return false;
    }
    SetExclusive(fd, true);
    m_fd = fd;
    m_path = path;
    m_lastError = Configure(fd, baudRate);
    if (!m_lastError.empty())
        m_lastError = path + ": " + m_lastError;
    tcflush(fd, TCIOFLUSH);
    TraceNote("opened " + path + " at " + std::to_string(baudRate));
    return true;
}

bool CSerialPort::StartThread() {
    std::lock_guard<std::mutex> control(m_control);
    if (m_fd < 0)
        return false;
    if (m_thread.joinable())
        return true;
    {
        // Whatever arrived between the open and now is not an answer to anything we send.
        // Purged here rather than on the new thread, so bytes that come after this call
        // returns are certain to be delivered.
        std::lock_guard<std::mutex> lock(m_lock);
        tcflush(m_fd, TCIOFLUSH);
    }
    try {
        m_thread = std::thread(&CSerialPort::Run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool CSerialPort::QueueWrite(const void* bytes, int length) {
    std::lock_guard<std::mutex> control(m_control);
    if (m_fd < 0 || length < 0 || length > kWriteBufferSize || (length > 0 && !bytes))
        return false;
    {
        std::lock_guard<std::mutex> queue(m_queueLock);
        if (length > 0)
            std::memcpy(m_writeBuffer.data(), bytes, static_cast<size_t>(length));
        m_writeLength = length;
        m_writePending = true;
        m_writeError.clear();
    }
    TraceBytes("->", m_path, static_cast<const uint8_t*>(bytes), static_cast<size_t>(length));
    Wake();
    return true;
}

std::string CSerialPort::TakeWriteError() {
    std::lock_guard<std::mutex> queue(m_queueLock);
    return std::exchange(m_writeError, std::string());
}

void CSerialPort::Close() {
    std::lock_guard<std::mutex> control(m_control);
    CloseLocked();
}

void CSerialPort::CloseLocked() {
    if (m_thread.joinable()) {
        m_shutdown = true;
        Wake();
        m_thread.join();
    }
    if (m_fd < 0)
        return;
    // A write the thread had not yet taken up, and whatever the driver still holds, go out
    // before the line is dropped: the last text of an exchange (the boot loader's finish) must
    // not be lost to the close. Only unread input is discarded.
    WriteQueued(m_fd);
    DrainOutput(m_fd);
    std::lock_guard<std::mutex> lock(m_lock);
    SetModemLine(m_fd, TIOCM_DTR, false);
    tcflush(m_fd, TCIFLUSH);
    // Exclusive mode belongs to the terminal, not to this descriptor: left on, it would lock
    // out the next program while anything else still holds the terminal open.
    SetExclusive(m_fd, false);
    close(m_fd);
    m_fd = -1;
    TraceNote("closed " + m_path);
}

bool CSerialPort::IsOpen() const {
    std::lock_guard<std::mutex> control(m_control);
    return m_fd >= 0;
}

std::string CSerialPort::LastError() const {
    std::lock_guard<std::mutex> control(m_control);
    return m_lastError;
}

void CSerialPort::DrainOutput(int fd) {
    // Bounded: without flow control the driver sends on its own, so the queue only stays full
    // on a line that is stuck, and a close must still return promptly then.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDrainLimitMs);
    for (;;) {
        int waiting = 0;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (ioctl(fd, TIOCOUTQ, &waiting) != 0)
                return; // the driver cannot say: nothing to wait for
        }
        if (waiting <= 0 || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void CSerialPort::Wake() {
    uint64_t one = 1;
    ssize_t written = write(m_wake, &one, sizeof one);
    (void)written;
}

void CSerialPort::Run() {
    int fd = -1;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        fd = m_fd;
    }
    bool polling = true;
    for (;;) {
        pollfd fds[2] = {{m_wake, POLLIN, 0}, {polling ? fd : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            // poll itself failed (out of memory): stop watching the device, keep the thread
            // to its shutdown.
            polling = false;
            m_deviceGone = true;
            continue;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            ssize_t drained = read(m_wake, &count, sizeof count);
            (void)drained;
        }
        // Shutdown first, then input, then output.
        if (m_shutdown)
            return;
        short events = fds[1].revents;
        if (polling && (events & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) {
            if (!ReadInput(fd, events)) {
                // A closed pseudo-terminal reports a hang-up for ever: stop polling it and let
                // the waiting operation run into its time-out.
                polling = false;
                m_deviceGone = true;
            }
        }
        WriteQueued(fd);
    }
}

bool CSerialPort::ReadInput(int fd, short events) {
    uint8_t bytes[256];
    bool gotAny = false;
    size_t total = 0;
    for (;;) {
        // Shutdown is honoured between reads; a device that is never empty is read again
        // after the next poll.
        if (m_shutdown || total >= kReadBurstLimit)
            break;
        ssize_t n = 0;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            n = read(fd, bytes, sizeof bytes);
        }
        if (n > 0) {
            gotAny = true;
            total += static_cast<size_t>(n);
            TraceBytes("<-", m_path, bytes, static_cast<size_t>(n));
            // Outside the lock: the owner may take its own locks.
            for (ssize_t i = 0; i < n; ++i)
                m_owner->OnSerialByte(bytes[i]);
            if (static_cast<size_t>(n) < sizeof bytes)
                break;
            continue;
        }
        if (n == 0)
            return false; // end of file: the device is gone
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        if (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EBADF)
            return false;
        // Any other read error drops this read; the thread goes on waiting.
        break;
    }
    // A hang-up or error with nothing left to read will be reported again at once by every
    // poll: the device is gone.
    return gotAny || !(events & (POLLHUP | POLLERR | POLLNVAL));
}

void CSerialPort::NoteWriteError(const std::string& reason) {
    std::lock_guard<std::mutex> queue(m_queueLock);
    m_writeError = reason;
}

void CSerialPort::WriteQueued(int fd) {
    uint8_t bytes[kWriteBufferSize];
    int length = 0;
    {
        std::lock_guard<std::mutex> queue(m_queueLock);
        if (!m_writePending)
            return;
        m_writePending = false;
        length = m_writeLength;
        std::memcpy(bytes, m_writeBuffer.data(), static_cast<size_t>(length));
    }
    std::lock_guard<std::mutex> lock(m_lock);
    // Input not yet read belongs to an earlier exchange: discard it before every write.
    tcflush(fd, TCIOFLUSH);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    int done = 0;
    while (done < length) {
        ssize_t n = write(fd, bytes + done, static_cast<size_t>(length - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            NoteWriteError(ErrorText("write failed"));
            return;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd out{fd, POLLOUT, 0};
        if (left <= 0 || poll(&out, 1, static_cast<int>(left)) <= 0) {
            NoteWriteError("write failed: the driver took nothing for a second");
            return;
        }
    }
}

std::string SerialDevicePath(const std::string& port) {
    if (port.find('/') != std::string::npos)
        return port;
    return "/dev/" + port;
}

std::vector<std::string> EnumerateSerialPorts(const std::string& ttyClassFolder,
                                              const char* extraPorts) {
    // The same ports in the same order as the port list with its details: USB adapters first.
    std::vector<std::string> names;
    for (const PortInfo& port : ListSerialPorts(ttyClassFolder, "/dev/serial/by-id", extraPorts))
        names.push_back(port.name);
    return names;
}

std::vector<std::string> EnumerateSerialPorts() {
    return EnumerateSerialPorts("/sys/class/tty", std::getenv("ZELTA_RCT_EXTRA_PORTS"));
}

} // namespace radio
