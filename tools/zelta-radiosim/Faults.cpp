#include "tools/zelta-radiosim/Faults.h"

#include <sstream>

namespace radiosim {

namespace {

struct KindName {
    const char* name;
    Fault::Kind kind;
    bool needsNumber;
    int defaultNumber;
    const char* defaultCommand; // nullptr: every command
};

const KindName kKinds[] = {
    {"noreply", Fault::Kind::NoReply, false, 0, nullptr},
    {"delay", Fault::Kind::Delay, true, 0, nullptr},
    {"drop", Fault::Kind::Drop, true, 0, nullptr},
    {"garbage", Fault::Kind::Garbage, false, 8, nullptr},
    {"ack", Fault::Kind::Ack, false, 0, nullptr},
    {"crcrlf", Fault::Kind::CrCrLf, false, 0, nullptr},
    {"unknown-protocol", Fault::Kind::Unknown, false, 0, "cfg_prtl"},
    {"no-link-rate", Fault::Kind::NoLink, false, 0, "cfg_baud"},
    {"bad-sum", Fault::Kind::BadSum, false, 1, nullptr},
    {"vanish", Fault::Kind::Vanish, true, 0, nullptr},
    {"own-rate", Fault::Kind::OwnRate, false, 0, nullptr},
};

// Noise that holds neither a carriage return nor a line feed, so the client's assembler must
// drop it as bytes before the reply.
constexpr char kNoise[] = "#~@%x\x01\xfe*";

} // namespace

bool Fault::Matches(const std::string& command) const {
    if (commands.empty())
        return true;
    for (const std::string& pattern : commands) {
        if (!pattern.empty() && pattern.back() == '*') {
            if (command.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0)
                return true;
        } else if (pattern == command) {
            return true;
        }
    }
    return false;
}

bool CFaultSet::Add(const std::string& spec, std::string& error) {
    std::string head = spec;
    std::string targets;
    size_t at = spec.find('@');
    if (at != std::string::npos) {
        head = spec.substr(0, at);
        targets = spec.substr(at + 1);
    }
    std::string name = head;
    std::string number;
    size_t equals = head.find('=');
    if (equals != std::string::npos) {
        name = head.substr(0, equals);
        number = head.substr(equals + 1);
    }
    const KindName* kind = nullptr;
    for (const KindName& k : kKinds) {
        if (name == k.name)
            kind = &k;
    }
    if (!kind) {
        error = "unknown fault '" + name + "'";
        return false;
    }
    Fault fault;
    fault.kind = kind->kind;
    fault.number = kind->defaultNumber;
    if (!number.empty()) {
        int v = 0;
        for (char c : number) {
            if (c < '0' || c > '9' || v > 10000000) {
                error = "fault '" + name + "': bad number '" + number + "'";
                return false;
            }
            v = v * 10 + (c - '0');
        }
        fault.number = v;
    } else if (kind->needsNumber) {
        error = "fault '" + name + "' needs =N";
        return false;
    }
    if ((fault.kind == Fault::Kind::Drop || fault.kind == Fault::Kind::Vanish ||
         fault.kind == Fault::Kind::BadSum) &&
        fault.number < 1) {
        error = "fault '" + name + "': N must be at least 1";
        return false;
    }
    if (at != std::string::npos) {
        std::string item;
        std::istringstream list(targets);
        while (std::getline(list, item, ','))
            if (!item.empty())
                fault.commands.push_back(item);
        if (fault.commands.empty()) {
            error = "fault '" + name + "': empty command list after @";
            return false;
        }
    } else if (kind->defaultCommand) {
        fault.commands.push_back(kind->defaultCommand);
    }
    m_faults.push_back(std::move(fault));
    return true;
}

bool CFaultSet::LoadFile(const std::string& text, std::string& error) {
    CFaultSet loaded;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        size_t last = line.find_last_not_of(" \t\r");
        if (!loaded.Add(line.substr(first, last - first + 1), error))
            return false;
    }
    m_faults = std::move(loaded.m_faults);
    return true;
}

int CFaultSet::BadPage() const {
    for (const Fault& f : m_faults) {
        if (f.kind == Fault::Kind::BadSum)
            return f.number;
    }
    return 0;
}

bool CFaultSet::OwnRateOnly() const {
    for (const Fault& f : m_faults) {
        if (f.kind == Fault::Kind::OwnRate)
            return true;
    }
    return false;
}

Transmission CFaultSet::Apply(const std::string& command, bool query,
                              const std::optional<std::string>& text) {
    Transmission out;
    for (Fault& f : m_faults) {
        if (f.kind == Fault::Kind::Vanish && f.Matches(command) && ++f.counter == f.number) {
            out.vanish = true;
            return out;
        }
    }
    if (!text)
        return out;
    std::string reply = *text;
    std::string lineEnd = "\r\n";
    std::string prefix;
    bool ack = false;
    for (Fault& f : m_faults) {
        if (!f.Matches(command))
            continue;
        switch (f.kind) {
            case Fault::Kind::NoReply:
                return out;
            case Fault::Kind::NoLink:
                if (query)
                    return out;
                break;
            case Fault::Kind::Drop:
                if (++f.counter % f.number == 0)
                    return out;
                break;
            case Fault::Kind::Delay:
                out.delayMs += f.number;
                break;
            case Fault::Kind::Garbage:
                for (int i = 0; i < f.number; ++i)
                    prefix.push_back(kNoise[i % (sizeof kNoise - 1)]);
                break;
            case Fault::Kind::Ack:
                ack = true;
                break;
            case Fault::Kind::CrCrLf:
                lineEnd = "\r\r\n";
                break;
            case Fault::Kind::Unknown:
                if (query)
                    reply = "UNKNOW";
                break;
            case Fault::Kind::BadSum:
            case Fault::Kind::Vanish:
            case Fault::Kind::OwnRate:
                break;
        }
    }
    out.send = true;
    out.bytes = prefix + lineEnd + reply + (ack ? std::string("ACK") : lineEnd);
    return out;
}

} // namespace radiosim
