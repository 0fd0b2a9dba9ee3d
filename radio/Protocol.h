#pragma once
// The dialogue with the radio: short ASCII commands ended by a carriage return, each answered
// by one line in which fixed tokens are looked for. CRadioProtocol owns the serial port and
// the reply being assembled, and runs the user operations (connect, disconnect, read, write)
// on the fields of a RadioSettings record, reporting through the host.
//
// Threads: an operation runs on the window's thread, or on the worker thread for the firmware
// upgrade; one at a time, a second one is refused while another holds the port (ReportResult
// of a file operation may come from the window's thread meanwhile). OnSerialByte runs on the
// port's serial thread. The reply
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
#include <optional>
#include <string>
#include <vector>

namespace radio {

// The status line's background after an operation.
constexpr Colour kSuccessColour = 0xFF99FF99;
constexpr Colour kFailureColour = 0xFFFF9999;

// The rate of the boot loader.
constexpr int kBootRate = 115200;

// Every value of the record that a write would refuse, each named as the .cfg file names it
// ("Channel3: 500 is outside 410–470 MHz", "SRC: holds the control byte \\r"); empty when the
// write may go ahead. What the write accepts and normalises (addresses out of range, numbers
// with trailing text) is not listed.
std::vector<std::string> CheckWriteValues(const RadioSettings& settings);

// The command lines, without their carriage return, that WriteAll sends for the record, in
// order (addresses as the write normalises them). WriteAll sends exactly these.
std::vector<std::string> PlanWrite(const RadioSettings& settings);

class CRadioProtocol : public ISerialOwner {
public:
    // Each command waits at most 31 steps of 15 ms for its reply.
    static constexpr std::chrono::milliseconds kReplyLimit{31 * 15};
    // After a time-out a late reply may still be on its way: the line is drained until it has
    // been quiet this long, for at most kDrainLimit, before the next command.
    static constexpr std::chrono::milliseconds kDrainQuiet{300};
    static constexpr std::chrono::milliseconds kDrainLimit{1500};

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
    // starts its serial thread. Why a port cannot be opened is kept for the failure report.
    bool OpenRadioPort(bool bootRate);
    // The port name and rate of the last OpenRadioPort.
    const std::string& OpenPortName() const { return m_openPort; }
    int OpenBaudRate() const { return m_openBaud; }

    // Shows the operation's caption and the success or error word in the status line, on
    // green or red, and closes the port when `operation` is the one that opened it: a file
    // operation never closes the port of a running radio operation. May be called on a
    // thread other than the operation's (the window reports the upgrade's result on its own).
    void ReportResult(bool success, Operation operation);

    // One radio operation at a time: true when `operation` may start now. Otherwise the
    // refusal is reported (failure of kind Port naming the running operation, then the error
    // status of `operation`, or UpgradeFinished(false) for the upgrade) and false returned.
    // EndOperation frees the slot again.
    bool BeginOperation(Operation operation);
    void EndOperation();
    // The end of the firmware upgrade on its worker thread: the failure's cause, the result
    // to the host (UpgradeFinished, which shows it on the host's own thread), then the port
    // is closed if the host left it open, and the slot is freed. Touches no status line.
    void FinishUpgrade(bool success);

    // Records why the running operation fails, unless a cause is recorded already; the first
    // cause is the one reported. TakeFailure returns it (or a general one) and forgets it.
    void NoteFailure(FailureKind kind, const std::string& detail);
    Failure TakeFailure();
    // Records the problem of the last exchange (time-out, missing token) as the cause.
    void NoteExchangeFailure();
    // Records that the last reply was not what the step needed ("lacks \"OK\""), or the
    // exchange's own problem when there was no reply.
    void NoteBadReply(const std::string& what);
    // Sends a command and checks its reply for a token; a miss records the cause.
    bool Expect(const std::string& command, const char* token);
    // The port as named in failure texts: its device path.
    std::string PortLabel() const;

    // Waits until nothing has arrived for kDrainQuiet (at most kDrainLimit), then forgets
    // whatever was received: a late reply cannot become the next command's answer. Exchange
    // does it by itself before the command that follows a time-out.
    void DrainLine();

    // True when the field has a selection or a text; otherwise shows the label's text and the
    // invalid word in an error box and returns false.
    bool CheckNotEmpty(const ISelector* field, const ILabel* label);
    bool CheckNotEmpty(const ITextField* field, const ILabel* label);

    // The user operations; each opens the port, talks, reports and leaves the port closed.
    // The result is what the status line shows. A failure's cause reaches the host through
    // ReportFailure just before the status.
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
    // Reports the failure and the result of the running operation and frees its slot.
    bool Finish(bool success, Operation operation);
    // The status line alone: caption and success or error word, green or red.
    void ShowStatus(bool success, Operation operation);

    IRadioHost& m_host;
    RadioSettings& m_settings;

    mutable std::mutex m_replyLock;
    std::condition_variable m_replyDone;
    CReplyAssembler m_reply; // guarded by m_replyLock

    std::string m_openPort;
    int m_openBaud = 0;

    // The operation that holds the slot, and the one that opened the port (-1: none).
    std::atomic<int> m_running{-1};
    std::atomic<int> m_portOwner{-1};
    // Touched only by the operation that holds the slot.
    std::optional<Failure> m_failure;
    std::string m_lastCommand;            // the last command sent, escaped
    std::string m_lastProblem;            // why the last exchange failed ("" when it did not)
    bool m_drainBeforeNext = false;       // the last exchange timed out
    std::atomic<int64_t> m_lastByteNs{0}; // steady clock of the last received byte

    std::atomic<int64_t> m_commands{0};
    std::atomic<int64_t> m_bytesSent{0};
    std::atomic<int64_t> m_bytesReceived{0};
    std::atomic<int64_t> m_replyBytes{0};

    // Last member: destroyed first, so the serial thread stops before the reply goes.
    CSerialPort m_port;
};

} // namespace radio
