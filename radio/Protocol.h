#pragma once
// The dialogue with the radio: short ASCII commands ended by a carriage return, each answered
// by one line in which fixed tokens are looked for. CRadioProtocol owns the serial port and
// the reply being assembled, and runs the user operations (connect, disconnect, read, write)
// on the fields of a RadioSettings record, reporting through the host.
//
// Threads: the operations run on one thread at a time (the window's thread, or the worker
// thread for the firmware upgrade); OnSerialByte runs on the port's serial thread. The reply
// and its completion flag are guarded by a mutex; the waiting thread sleeps on a condition
// variable that the serial thread signals the moment a reply completes.

#include "radio/Fields.h"
#include "radio/RadioHost.h"
#include "radio/RadioSettings.h"
#include "radio/ReplyAssembler.h"
#include "radio/SerialPort.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace radio {

// The status line's background after an operation.
constexpr Colour kSuccessColour = 0xFF99FF99;
constexpr Colour kFailureColour = 0xFFFF9999;

// The rate of the boot loader.
constexpr int kBootRate = 115200;

class CRadioProtocol : public ISerialOwner {
public:
    // Each command waits at most 31 steps of 15 ms for its reply.
    static constexpr std::chrono::milliseconds kReplyLimit{31 * 15};

    // What went over the line since the last ResetCounters (for measurements).
    struct Counters {
        int64_t commands = 0;      // exchanges started
        int64_t bytesSent = 0;     // bytes queued for the line
        int64_t bytesReceived = 0; // every byte that came in, framing and noise included
        // The bytes of each reply from its opening carriage return to the byte that completed
        // it: what a command waits for (a reply's final line feed arrives while the next
        // command is already on its way).
        int64_t replyBytes = 0;
    };

    CRadioProtocol(IRadioHost& host, RadioSettings& settings);
    ~CRadioProtocol() override;
    CRadioProtocol(const CRadioProtocol&) = delete;
    CRadioProtocol& operator=(const CRadioProtocol&) = delete;

    // The reply assembler (serial thread).
    void OnSerialByte(uint8_t byte) override;

    // Clears the reply, queues the bytes and waits for a complete reply (at most
    // kReplyLimit); true if one arrived.
    bool Exchange(const void* bytes, int length);
    bool SendCommand(const std::string& text);
    // SendCommand, and the reply contains "OK".
    bool SendCommandExpectOK(const std::string& text);

    // The reply as assembled: a carriage return and the reply text once a reply started.
    std::string ReplyBuffer() const;
    // The reply without its opening carriage return.
    std::string ReplyText() const;
    bool ReplyContains(const char* token) const;

    // Opens the port of the port settings at their rate, or at the boot loader's rate, and
    // starts its serial thread. A port that cannot be opened is reported to the host.
    bool OpenRadioPort(bool bootRate);
    // The port name and rate of the last OpenRadioPort.
    const std::string& OpenPortName() const { return m_openPort; }
    int OpenBaudRate() const { return m_openBaud; }

    // Shows the operation's caption and the success or error word in the status line, on
    // green or red, and closes the port.
    void ReportResult(bool success, Operation operation);

    // True when the field has a selection or a text; otherwise shows the label's text and the
    // invalid word in an error box and returns false.
    bool CheckNotEmpty(const ISelector* field, const ILabel* label);
    bool CheckNotEmpty(const ITextField* field, const ILabel* label);

    // The user operations; each opens the port, talks, reports and leaves the port closed.
    // The result is what the status line shows.
    bool ConnectRadio();
    bool DisconnectRadio();
    bool ReadAll();
    bool WriteAll();

    IRadioHost& Host() { return m_host; }
    RadioSettings& Settings() { return m_settings; }
    CSerialPort& Port() { return m_port; }

    Counters GetCounters() const;
    void ResetCounters();

private:
    IRadioHost& m_host;
    RadioSettings& m_settings;

    mutable std::mutex m_replyLock;
    std::condition_variable m_replyDone;
    CReplyAssembler m_reply; // guarded by m_replyLock

    std::string m_openPort;
    int m_openBaud = 0;

    std::atomic<int64_t> m_commands{0};
    std::atomic<int64_t> m_bytesSent{0};
    std::atomic<int64_t> m_bytesReceived{0};
    std::atomic<int64_t> m_replyBytes{0};

    // Last member: destroyed first, so the serial thread stops before the reply goes.
    CSerialPort m_port;
};

} // namespace radio
