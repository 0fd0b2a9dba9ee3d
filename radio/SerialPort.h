#pragma once
// One serial port with a thread of its own that hands every received byte, one at a time and
// in arrival order, to its owner, and sends what the owner queues. It knows nothing of the
// radio protocol. Open, StartThread, QueueWrite and Close may be called from any thread (they
// are serialised against each other); OnSerialByte runs on the serial thread.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace radio {

// Receives the bytes of a CSerialPort, on the port's serial thread, without any port lock held.
class ISerialOwner {
public:
    virtual ~ISerialOwner() = default;
    virtual void OnSerialByte(uint8_t byte) = 0;
};

class CSerialPort {
public:
    // The largest single write (the biggest the program makes is a 258-byte firmware page).
    static constexpr int kWriteBufferSize = 1024;

    explicit CSerialPort(ISerialOwner* owner);
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens a port by name (a name under /dev such as "ttyUSB0", or a full device path) at the
    // given rate, raw 8N1 with RTS on, and discards whatever is waiting in both directions. A
    // port already open is closed first. Only terminals are taken: anything that is not a
    // character device with line settings is refused before a byte is written. The port is
    // held for this program alone (flock and exclusive mode); a port another program holds is
    // refused at once. True once the device is open, even if the driver refused some of the
    // line settings (replies may then never arrive). On failure the reason, naming the port
    // and what to do, is kept in LastError().
    bool Open(const std::string& port, int baudRate);

    // Starts the serial thread of the open port; false if no port is open or the thread could
    // not be created.
    bool StartThread();

    // Hands bytes to the serial thread, which discards unread input and then writes them;
    // returns at once. A write queued before the previous one was taken up replaces it. False
    // (nothing queued) when no port is open or the bytes do not fit the write buffer.
    bool QueueWrite(const void* bytes, int length);

    // Stops and joins the serial thread, sends a write still queued and lets the driver's
    // output drain (at most half a second), drops DTR, discards unread input and closes the
    // port. Does nothing when no port is open. Never called from OnSerialByte: the serial
    // thread cannot wait for its own end.
    void Close();

    bool IsOpen() const;
    // True once the serial thread saw the device go away (hang-up, I/O error, end of file);
    // the port then delivers nothing until it is opened again.
    bool DeviceGone() const { return m_deviceGone.load(); }
    // Why the last Open failed, or which line setting the driver refused ("" when none).
    std::string LastError() const;
    // Why the last queued write did not reach the driver ("" when it did); cleared by reading.
    std::string TakeWriteError();

private:
    void Run();
    // Reads what the device has and delivers it; false when the device went away.
    bool ReadInput(int fd, short events);
    void WriteQueued(int fd);
    void NoteWriteError(const std::string& reason);
    void Wake();
    void CloseLocked();
    // Waits until the driver has sent what it holds, at most half a second.
    void DrainOutput(int fd);

    ISerialOwner* m_owner;

    // Serialises Open, StartThread, QueueWrite and Close; never taken by the serial thread.
    mutable std::mutex m_control;
    std::string m_lastError;
    std::thread m_thread;

    // Guards the device during configuration, each read and each write.
    std::mutex m_lock;
    int m_fd = -1;
    std::string m_path; // the device path, set before the serial thread starts
    int m_wake = -1;    // eventfd: shutdown or a queued write

    std::atomic<bool> m_shutdown{false};
    std::atomic<bool> m_deviceGone{false};

    // The queued write, handed over to the serial thread under m_queueLock, so a new
    // QueueWrite never touches the bytes being written.
    std::mutex m_queueLock;
    std::vector<uint8_t> m_writeBuffer;
    int m_writeLength = 0;
    bool m_writePending = false;
    std::string m_writeError;
};

// The device path of a port name: a name with a '/' is a path already, others live in /dev.
std::string SerialDevicePath(const std::string& port);

// The names of the serial ports of the machine, as ListSerialPorts orders them: USB adapters,
// then the other ports with a driver (ttyS* only when the port is real), each group sorted by
// name, then the entries of ZELTA_RCT_EXTRA_PORTS (full paths, separated by ':' or ',').
std::vector<std::string> EnumerateSerialPorts();

// The same from a given class folder and extra-ports text (for tests).
std::vector<std::string> EnumerateSerialPorts(const std::string& ttyClassFolder,
                                              const char* extraPorts);

} // namespace radio
