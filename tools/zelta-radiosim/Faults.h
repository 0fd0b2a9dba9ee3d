#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace radiosim {

// One switchable misbehaviour of the simulated radio, written KIND[=N][@CMD[,CMD...]].
// CMD is a command name ("cfg_baud", "control", "write page", "page"); a trailing '*' matches
// every name with that prefix. Without @ the fault applies to every command (some kinds have a
// default command list).
struct Fault {
    enum class Kind {
        NoReply, // "noreply": never answer
        Delay,   // "delay=MS": answer after MS milliseconds
        Drop,    // "drop=N": drop every N-th answer
        Garbage, // "garbage=N": N noise bytes before the reply (default 8)
        Ack,     // "ack": end the reply with ACK instead of a line end
        CrCrLf,  // "crcrlf": line ends written as CR CR LF
        Unknown, // "unknown-protocol": answer "UNKNOW" (default @cfg_prtl)
        NoLink,  // "no-link-rate": no answer to the link-rate query (default @cfg_baud)
        BadSum,  // "bad-sum=N": refuse the N-th page frame of an upgrade (default 1)
        Vanish,  // "vanish=N": close the line when the N-th command arrives
        OwnRate, // "own-rate": hear the line only at the radio's own serial rate
    };
    Kind kind = Kind::NoReply;
    int number = 0;
    std::vector<std::string> commands;
    int64_t counter = 0; // commands matched so far (for drop and vanish)

    bool Matches(const std::string& command) const;
};

// What to put on the wire for one answer after the faults have had their say.
struct Transmission {
    bool vanish = false; // close the line instead of answering
    bool send = false;   // false: silence
    int delayMs = 0;     // wait before the first byte
    std::string bytes;   // framed reply
};

// The set of active faults; owned by the line, used on its thread only.
class CFaultSet {
public:
    // Parses one fault text; on failure returns false and sets error.
    bool Add(const std::string& spec, std::string& error);
    void Clear() { m_faults.clear(); }
    bool Empty() const { return m_faults.empty(); }

    // Replaces the faults by those of a file (one spec a line, '#' starts a comment). The old
    // set stays when the file has an error.
    bool LoadFile(const std::string& text, std::string& error);

    // The page number the boot loader should refuse (0 = none).
    int BadPage() const;
    // Whether the radio hears only what comes at its own serial rate (own-rate).
    bool OwnRateOnly() const;

    // Decides what goes on the wire for an answer to command (query tells a parameter query).
    Transmission Apply(const std::string& command, bool query,
                       const std::optional<std::string>& text);

private:
    std::vector<Fault> m_faults;
};

} // namespace radiosim
