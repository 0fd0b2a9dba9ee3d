#pragma once

#include "tools/zelta-radiosim/Faults.h"
#include "tools/zelta-radiosim/SimRadio.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>

namespace radiosim {

struct LineOptions {
    std::string statePath;    // load at start, save at exit ("" = none)
    std::string firmwarePath; // the image received by the boot loader ("" = none)
    std::string logPath;      // every received byte, escaped, a line per command ("" = none)
    std::string faultPath;    // fault file, read at start and again on SIGUSR1 ("" = none)
};

// The simulated radio's end of the wire: a pseudo-terminal whose slave side the client opens.
// Runs a single-threaded loop that delays every received byte and every sent byte by its wire
// time at the rate the client set on the line (10 bits a byte; the boot loader always at
// 115200), and applies the faults to each answer.
class CSimLine {
public:
    CSimLine(CSimRadio& radio, CFaultSet& faults, LineOptions options);
    ~CSimLine();
    CSimLine(const CSimLine&) = delete;
    CSimLine& operator=(const CSimLine&) = delete;

    // Creates the pseudo-terminal; returns false with error set on failure.
    bool Open(std::string& error);
    const std::string& SlavePath() const { return m_slavePath; }

    // Serves the line until SIGTERM or SIGINT (returns 0) or until a vanish fault closed it.
    int Run();

    // Writes the state and image files asked for; false if one could not be written.
    bool SaveFiles();

private:
    struct TimedByte {
        int64_t dueUs;
        uint8_t byte;
    };

    int LineRate() const;
    int64_t ByteTimeUs() const;
    void ReadInput(int64_t nowUs);
    void ProcessInput(int64_t nowUs);
    void WriteOutput(int64_t nowUs);
    void Log(const std::string& text);
    // Logs the raw bytes received since the last command; `summary` stands for them when
    // they are a binary page frame.
    void LogReceived(const std::string& summary);
    void ReloadFaults();
    void CloseLine();

    CSimRadio& m_radio;
    CFaultSet& m_faults;
    LineOptions m_options;
    std::string m_slavePath;
    int m_master = -1;
    int m_slave = -1; // held open so the line survives the client's close and keeps its settings
    int m_signals = -1;
    FILE* m_log = nullptr;
    bool m_vanished = false;

    std::string m_received; // raw bytes fed to the radio since the last logged command
    std::deque<TimedByte> m_input;
    int64_t m_inputFreeUs = 0; // when the wire towards the radio is free again
    std::deque<TimedByte> m_output;
    int64_t m_outputFreeUs = 0;
};

// Monotonic microseconds.
int64_t NowUs();

} // namespace radiosim
