// The serial port over a pseudo-terminal pair: the test holds the master side and plays the
// radio, the port opens the slave side.

#include "radio/SerialPort.h"
#include "tests/radio/Unprivileged.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using radio::CSerialPort;

// Generous: the machine is shared and the sanitizer builds are slow.
constexpr auto kTimeout = 5s;

class PtyPair {
public:
    PtyPair() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        const char* name = ptsname(m_master);
        if (name)
            m_slavePath = name;
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { CloseMaster(); }

    const std::string& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }
    void CloseMaster() {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }

    void Write(const std::string& bytes) {
        ASSERT_EQ(write(m_master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Reads from the master until `count` bytes arrived or the time-out passed.
    std::string Read(size_t count) {
        std::string got;
        auto deadline = std::chrono::steady_clock::now() + kTimeout;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            char buffer[512];
            ssize_t n = read(m_master, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};

// Records every byte with the number of calls it took.
class RecordingOwner : public radio::ISerialOwner {
public:
    void OnSerialByte(uint8_t byte) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bytes.push_back(static_cast<char>(byte));
        ++m_calls;
        m_changed.notify_all();
    }
    bool WaitFor(size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kTimeout, [&] { return m_bytes.size() >= count; });
    }
    std::string Bytes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }
    size_t Calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_bytes;
    size_t m_calls = 0;
};

bool WaitUntil(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + kTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(SerialPort, DeliversEveryByteInOrderOneCallEach) {
    PtyPair pty;
    ASSERT_FALSE(pty.SlavePath().empty());
    RecordingOwner owner;
    CSerialPort port(&owner);
    ASSERT_TRUE(port.Open(pty.SlavePath(), 38400));
    ASSERT_TRUE(port.StartThread());

    std::string sent = "\r\nOK\r\n";
    for (int i = 0; i < 700; ++i)
        sent.push_back(static_cast<char>(i * 37 + 11));
    pty.Write(sent.substr(0, 2)); // two bytes together
    ASSERT_TRUE(owner.WaitFor(2));
    EXPECT_EQ(owner.Calls(), 2u);
    pty.Write(sent.substr(2));
    ASSERT_TRUE(owner.WaitFor(sent.size()));
    EXPECT_EQ(owner.Bytes(), sent);
    EXPECT_EQ(owner.Calls(), sent.size());
}

TEST(SerialPort, SendsQueuedWritesWholeAndRefusesWhatDoesNotFit) {
    PtyPair pty;
    RecordingOwner owner;
    CSerialPort port(&owner);
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    ASSERT_TRUE(port.StartThread());

    EXPECT_TRUE(port.QueueWrite("control\r", 8));
    EXPECT_EQ(pty.Read(8), "control\r");

    std::string page(258, '\0');
    for (size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<char>(255 - i);
    EXPECT_TRUE(port.QueueWrite(page.data(), int(page.size())));
    EXPECT_EQ(pty.Read(page.size()), page);

    std::string tooLong(CSerialPort::kWriteBufferSize + 1, 'x');
    EXPECT_FALSE(port.QueueWrite(tooLong.data(), int(tooLong.size())));
    EXPECT_FALSE(port.QueueWrite("x", -1));
    // Nothing of the refused writes reaches the line; the next write still does.
    EXPECT_TRUE(port.QueueWrite("exitcnt\r", 8));
    EXPECT_EQ(pty.Read(8), "exitcnt\r");
}

TEST(SerialPort, SetsRawEightNoneOneAtTheRateAndReopensAtAnother) {
    PtyPair pty;
    // A second descriptor on the same line, opened before the port takes it exclusively,
    // lets the test read the line settings the port made.
    int probe = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(probe, 0);
    RecordingOwner owner;
    CSerialPort port(&owner);

    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600));
    EXPECT_EQ(port.LastError(), "");
    termios tio{};
    ASSERT_EQ(tcgetattr(probe, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&tio), speed_t(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | ICRNL), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);

    // Opening again while open closes the old descriptor first and takes the new rate.
    ASSERT_TRUE(port.StartThread());
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    ASSERT_EQ(tcgetattr(probe, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B115200));

    // A rate the driver does not know leaves the port open with the failure noted.
    EXPECT_TRUE(port.Open(pty.SlavePath(), 12345));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_NE(port.LastError().find("12345"), std::string::npos);
    close(probe);
}

TEST(SerialPort, InputWaitingBeforeTheThreadRunsIsDiscarded) {
    PtyPair pty;
    int probe = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    ASSERT_GE(probe, 0);
    RecordingOwner owner;
    CSerialPort port(&owner);
    ASSERT_TRUE(port.Open(pty.SlavePath(), 38400));

    // Stale bytes reach the line's input queue while nobody reads it.
    pty.Write("stale reply\r\n");
    pollfd p{probe, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);

    ASSERT_TRUE(port.StartThread());
    ASSERT_TRUE(port.QueueWrite("cfg_bw\r", 7));
    EXPECT_EQ(pty.Read(7), "cfg_bw\r");
    pty.Write("\r\n25.0\r\n");
    ASSERT_TRUE(owner.WaitFor(8));
    EXPECT_EQ(owner.Bytes(), "\r\n25.0\r\n");
    close(probe);
}

TEST(SerialPort, OpenFailureLeavesThePortUsable) {
    RecordingOwner owner;
    CSerialPort port(&owner);
    EXPECT_FALSE(port.Open("/dev/zelta-no-such-port", 38400));
    EXPECT_NE(port.LastError().find("/dev/zelta-no-such-port"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.StartThread());
    EXPECT_FALSE(port.QueueWrite("control\r", 8));
    port.Close();

    // A plain name is looked up under /dev.
    EXPECT_FALSE(port.Open("zelta-no-such-port", 38400));
    EXPECT_NE(port.LastError().find("/dev/zelta-no-such-port"), std::string::npos);

    PtyPair pty;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 38400));
    EXPECT_EQ(port.LastError(), "");
    ASSERT_TRUE(port.StartThread());
    ASSERT_TRUE(port.QueueWrite("control\r", 8));
    EXPECT_EQ(pty.Read(8), "control\r");
}

TEST(SerialPort, OnlyTerminalsAreTakenAndAFileStaysUntouched) {
    RecordingOwner owner;
    CSerialPort port(&owner);
    std::string file = testing::TempDir() + "serial_" + std::to_string(getpid()) + "_radio.cfg";
    const std::string contents = "Channel1,430.12500\r\n";
    std::ofstream(file, std::ios::binary) << contents;
    std::string folder = testing::TempDir();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct Case {
        std::string path;
        std::string reason;
    } cases[] = {
        {file, file + ": not a serial port (a regular file)"},
        {folder, folder + ": not a serial port (a folder)"},
        {"/dev/null", "/dev/null: not a serial port (a device without line settings)"},
        {"/dev/zero", "/dev/zero: not a serial port (a device without line settings)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_FALSE(port.Open(c.path, 38400));
        EXPECT_EQ(port.LastError(), c.reason);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.QueueWrite("control\r", 8));
    }
    std::ifstream in(file, std::ios::binary);
    std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, contents);
    std::remove(file.c_str());
}

TEST(SerialPort, SecondOpenerIsRefusedAtOnceAndTheFirstGoesOn) {
    PtyPair pty;
    RecordingOwner firstOwner, secondOwner;
    CSerialPort first(&firstOwner), second(&secondOwner);
    ASSERT_TRUE(first.Open(pty.SlavePath(), 38400));
    ASSERT_TRUE(first.StartThread());

    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.Open(pty.SlavePath(), 38400));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(second.LastError(),
              pty.SlavePath() + ": busy: another program holds the port; close it and try again");

    ASSERT_TRUE(first.QueueWrite("control\r", 8));
    EXPECT_EQ(pty.Read(8), "control\r");
    pty.Write("\r\ninto config\r\n");
    EXPECT_TRUE(firstOwner.WaitFor(15));

    // Once the first has closed, the port is free again.
    first.Close();
    EXPECT_TRUE(second.Open(pty.SlavePath(), 38400)) << second.LastError();
}

TEST(SerialPort, ExclusiveModeEndsWithTheClose) {
    PtyPair pty;
    // Another holder keeps the terminal open across our open and close, as the simulator or
    // a terminal program does; exclusive mode left on would lock every later opener out.
    int holder = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    RecordingOwner owner;
    {
        CSerialPort port(&owner);
        ASSERT_TRUE(port.Open(pty.SlavePath(), 38400));
        port.Close();
    }
    int next = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(next, 0) << std::strerror(errno);
    if (next >= 0)
        close(next);
    close(holder);
}

TEST(SerialPort, PermissionDeniedNamesTheGroupAndTheCure) {
    // A terminal that only its owner and group may open, as a USB adapter's is.
    PtyPair pty;
    ASSERT_FALSE(pty.SlavePath().empty());
    const std::string device = pty.SlavePath();
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    if (geteuid() != 0 && (info.st_uid == geteuid() || getegid() == info.st_gid))
        GTEST_SKIP() << device << " belongs to the user running the tests";
    std::string group =
        getgrgid(info.st_gid) ? getgrgid(info.st_gid)->gr_name : std::to_string(info.st_gid);
    RunUnprivileged([&] {
        RecordingOwner owner;
        CSerialPort port(&owner);
        EXPECT_FALSE(port.Open(device, 38400));
        EXPECT_EQ(port.LastError(), device + ": permission denied; the port belongs to group " +
                                        group + ": run \"sudo usermod -aG " + group +
                                        " $USER\", then log out and in again");
    });
}

TEST(SerialPort, CloseWithoutOpenOrTwiceDoesNothing) {
    RecordingOwner owner;
    {
        CSerialPort port(&owner);
        port.Close();
        port.Close();
        EXPECT_FALSE(port.IsOpen());
    }
    PtyPair pty;
    CSerialPort port(&owner);
    ASSERT_TRUE(port.Open(pty.SlavePath(), 38400));
    ASSERT_TRUE(port.StartThread());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    port.Close();
    // Closed: bytes from the line no longer reach the owner.
    pty.Write("late");
    EXPECT_FALSE(port.QueueWrite("x", 1));
    EXPECT_EQ(owner.Bytes(), "");
}

// The last text of an exchange is queued and the port closed right after (the boot loader's
// finish): the close sends it rather than dropping it, whether or not the thread took it up.
TEST(SerialPort, CloseSendsWhatWasQueuedBeforeIt) {
    PtyPair pty;
    RecordingOwner owner;
    CSerialPort port(&owner);
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    ASSERT_TRUE(port.QueueWrite("ISP finish", 10)); // no thread yet to take it up
    port.Close();
    EXPECT_EQ(pty.Read(10), "ISP finish");

    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    ASSERT_TRUE(port.StartThread());
    ASSERT_TRUE(port.QueueWrite("exitcnt\r", 8));
    port.Close();
    EXPECT_EQ(pty.Read(8), "exitcnt\r");
}

TEST(SerialPort, DeviceThatGoesAwayStopsTheThreadPolling) {
    RecordingOwner owner;
    CSerialPort port(&owner);
    {
        PtyPair pty;
        ASSERT_TRUE(port.Open(pty.SlavePath(), 38400));
        ASSERT_TRUE(port.StartThread());
        pty.Write("\r\nlast");
        ASSERT_TRUE(owner.WaitFor(6));
        pty.CloseMaster();
        EXPECT_TRUE(WaitUntil([&] { return port.DeviceGone(); }));
        // Writes to a vanished device are dropped quietly.
        EXPECT_TRUE(port.QueueWrite("control\r", 8));
        port.Close();
    }
    EXPECT_EQ(owner.Bytes(), "\r\nlast");

    PtyPair next;
    ASSERT_TRUE(port.Open(next.SlavePath(), 38400));
    EXPECT_FALSE(port.DeviceGone());
    ASSERT_TRUE(port.StartThread());
    ASSERT_TRUE(port.QueueWrite("ok", 2));
    EXPECT_EQ(next.Read(2), "ok");
}

TEST(SerialPort, WritesQueuedWhileTheThreadWritesAreTakenWhole) {
    PtyPair pty;
    RecordingOwner owner;
    CSerialPort port(&owner);
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    ASSERT_TRUE(port.StartThread());

    // A reader on the far side keeps the line draining while two threads queue.
    std::atomic<bool> stop{false};
    std::thread drain([&] {
        char buffer[4096];
        while (!stop) {
            pollfd p{pty.Master(), POLLIN, 0};
            if (poll(&p, 1, 10) > 0 && read(pty.Master(), buffer, sizeof buffer) < 0)
                break;
        }
    });
    auto queue = [&](char fill) {
        std::string frame(600, fill);
        for (int i = 0; i < 300; ++i)
            port.QueueWrite(frame.data(), int(frame.size()));
    };
    std::thread a(queue, 'a');
    std::thread b(queue, 'b');
    a.join();
    b.join();
    stop = true;
    drain.join();

    // The line still carries a write whole once the storm is over.
    ASSERT_TRUE(WaitUntil([&] {
        pollfd p{pty.Master(), POLLIN, 0};
        char buffer[4096];
        return poll(&p, 1, 100) == 0 || read(pty.Master(), buffer, sizeof buffer) < 0;
    }));
    ASSERT_TRUE(port.QueueWrite("final\r", 6));
    EXPECT_EQ(pty.Read(6), "final\r");
}

class FakeTtyClass : public testing::Test {
protected:
    void SetUp() override {
        m_root =
            std::filesystem::path(testing::TempDir()) / ("ttyclass_" + std::to_string(getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    void AddTty(const std::string& name, bool driver, const char* type = nullptr) {
        std::filesystem::path dir = m_root / name;
        std::filesystem::create_directories(driver ? dir / "device" / "driver" : dir);
        if (type)
            std::ofstream(dir / "type") << type << "\n";
    }
    std::string Root() const { return m_root.string(); }

private:
    std::filesystem::path m_root;
};

TEST_F(FakeTtyClass, ListsDevicesWithADriverAndOnlyRealEightTwoFiftyPorts) {
    AddTty("ttyUSB10", true);
    AddTty("ttyUSB2", true);
    AddTty("ttyACM0", true);
    AddTty("ttyS0", true, "4");
    AddTty("ttyS1", true, "0");
    AddTty("ttyS2", true); // no type attribute: cannot tell, so not listed
    AddTty("tty0", false);
    AddTty("console", false);
    std::vector<std::string> expected = {"ttyACM0", "ttyS0", "ttyUSB2", "ttyUSB10"};
    EXPECT_EQ(radio::EnumerateSerialPorts(Root(), nullptr), expected);

    // Extra ports follow, split at ':' or ',', empty items and repeats skipped.
    expected.push_back("/dev/pts/7");
    expected.push_back("/tmp/radio");
    EXPECT_EQ(radio::EnumerateSerialPorts(Root(), "/dev/pts/7::/tmp/radio,ttyACM0,"), expected);
}

TEST_F(FakeTtyClass, MissingClassFolderGivesOnlyTheExtraPorts) {
    std::vector<std::string> expected = {"/dev/pts/3"};
    EXPECT_EQ(radio::EnumerateSerialPorts(Root() + "/absent", "/dev/pts/3"), expected);
    EXPECT_TRUE(radio::EnumerateSerialPorts(Root() + "/absent", "").empty());
}

} // namespace
