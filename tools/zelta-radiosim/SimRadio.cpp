#include "tools/zelta-radiosim/SimRadio.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace radiosim {

namespace {

// A command line longer than this is noise, not a command: it is answered with an error.
constexpr size_t kMaxLine = 256;
constexpr size_t kFrameSize = 258;
constexpr size_t kPageSize = 256;
// A page frame that stops arriving for this long is dropped, so a client that gave up does not
// leave the boot loader swallowing its next commands as page bytes.
constexpr int64_t kFrameTimeoutMs = 1000;

const char* const kProtocols[] = {"TRIMTALK", "TRANSMDS",  "HUACE",   "TRIMMK3",
                                  "SOUTH",    "HI-TARGET", "BURN-IN", "TRANSEOT"};
const char* const kPortRates[] = {"9600", "19200", "38400", "57600", "115200"};
const char* const kLinkRates[] = {"4800", "9600", "19200"};

// Reads a plain decimal number (digits only, no sign); false for anything else.
bool ParseNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

bool ParseInRange(const std::string& text, int low, int high, int& value) {
    int v = 0;
    if (!ParseNumber(text, v) || v < low || v > high)
        return false;
    value = v;
    return true;
}

// A frequency in MHz within the band; the radio keeps it in its own format.
bool ParseFrequency(const std::string& text, std::string& formatted) {
    if (text.empty() || text.size() > 32)
        return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (end == begin)
        return false;
    while (*end == ' ')
        ++end;
    if (*end != '\0' || !(value >= 410.0 && value <= 470.0))
        return false;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%09.5f", value);
    formatted = buffer;
    return true;
}

bool IsIdentityText(const std::string& text, size_t maxLength) {
    if (text.empty() || text.size() > maxLength)
        return false;
    for (char c : text) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

// The channel slot named by a command such as "cfg_ch_3" after the given prefix, or 0.
int SlotOf(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    char digit = name.back();
    return digit >= '1' && digit <= '8' ? digit - '0' : 0;
}

} // namespace

CSimRadio::CSimRadio() {
    for (int slot = 1; slot <= 8; ++slot) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%09.5f", 430.0 + 0.5 * (slot - 1));
        m_params.txFrequency[slot] = buffer;
        m_params.rxFrequency[slot] = buffer;
    }
}

unsigned CSimRadio::PageSum(const uint8_t* page) {
    unsigned sum = 0;
    for (size_t i = 0; i < kPageSize; ++i)
        sum += page[i];
    return sum;
}

int CSimRadio::SerialRate() const {
    static const int kRates[] = {9600, 19200, 38400, 57600, 115200};
    int index = m_params.portRate - 1;
    return index >= 0 && index < 5 ? kRates[index] : 38400;
}

std::optional<Answer> CSimRadio::Feed(uint8_t byte, int64_t nowMs) {
    if (m_boot != Boot::Off)
        return FeedBoot(byte, nowMs);
    return FeedLine(byte);
}

std::optional<Answer> CSimRadio::FeedLine(uint8_t byte) {
    if (byte == '\n')
        return std::nullopt;
    if (byte == '\r') {
        std::string line;
        line.swap(m_line);
        bool overflow = m_lineOverflow;
        m_lineOverflow = false;
        if (line.empty() && !overflow)
            return std::nullopt;
        if (overflow) {
            Answer answer{"", line.substr(0, 32) + "...", false, std::nullopt};
            if (m_config)
                answer.text = "ERROR";
            return answer;
        }
        return Execute(line);
    }
    if (m_line.size() >= kMaxLine) {
        m_lineOverflow = true;
        return std::nullopt;
    }
    m_line.push_back(static_cast<char>(byte));
    // The boot loader's start text comes without a carriage return.
    static const std::string kBootStart = "boot_start";
    if (m_line.size() >= kBootStart.size() &&
        m_line.compare(m_line.size() - kBootStart.size(), kBootStart.size(), kBootStart) == 0) {
        m_line.clear();
        return EnterBootLoader(kBootStart);
    }
    return std::nullopt;
}

Answer CSimRadio::EnterBootLoader(std::string received) {
    m_boot = Boot::Commands;
    m_bootWindow.clear();
    m_frame.clear();
    m_pending.clear();
    m_pagesThisRun = 0;
    return Answer{"boot_start", std::move(received), false, std::string("boot start")};
}

std::optional<Answer> CSimRadio::FeedBoot(uint8_t byte, int64_t nowMs) {
    if (m_boot == Boot::Frame) {
        if (nowMs - m_lastFrameByteMs > kFrameTimeoutMs) {
            m_frame.clear();
            m_boot = Boot::Commands;
        } else {
            m_lastFrameByteMs = nowMs;
            m_frame.push_back(byte);
            if (m_frame.size() < kFrameSize)
                return std::nullopt;
            m_boot = Boot::Commands;
            ++m_pagesThisRun;
            unsigned sum = PageSum(m_frame.data());
            unsigned sent = (unsigned(m_frame[256]) << 8) | m_frame[257];
            char received[64];
            std::snprintf(received, sizeof received, "<page %d sum %u, frame says %u>",
                          m_pagesThisRun, sum, sent);
            Answer answer{"page", received, false, std::nullopt};
            if (sum == sent && m_pagesThisRun != m_badPage) {
                m_pending.insert(m_pending.end(), m_frame.begin(), m_frame.begin() + kPageSize);
                answer.text = "write OK";
            } else {
                answer.text = "sum error";
            }
            m_frame.clear();
            return answer;
        }
    }
    m_bootWindow.push_back(static_cast<char>(byte));
    if (m_bootWindow.size() > 10)
        m_bootWindow.erase(0, m_bootWindow.size() - 10);
    if (m_bootWindow == "boot_start")
        return EnterBootLoader(m_bootWindow);
    if (m_bootWindow == "write page") {
        m_bootWindow.clear();
        m_boot = Boot::Frame;
        m_frame.clear();
        m_lastFrameByteMs = nowMs;
        return Answer{"write page", "write page", false, std::string("get page")};
    }
    if (m_bootWindow == "ISP finish") {
        m_bootWindow.clear();
        m_boot = Boot::Off;
        m_image = m_pending;
        m_hasImage = true;
        m_pending.clear();
        return Answer{"ISP finish", "ISP finish", false, std::nullopt};
    }
    return std::nullopt;
}

Answer CSimRadio::Execute(const std::string& line) {
    std::string name = line;
    std::string value;
    bool hasValue = false;
    size_t space = line.find(' ');
    if (space != std::string::npos) {
        name = line.substr(0, space);
        value = line.substr(space + 1);
        hasValue = true;
    }
    Answer answer{name, line + "\r", !hasValue, std::nullopt};
    if (name == "control" && !hasValue) {
        m_config = true;
        answer.text = "into config";
        return answer;
    }
    if (name == "exitcnt" && !hasValue) {
        m_config = false;
        answer.text = "exit config";
        return answer;
    }
    // Outside configuration mode the radio passes the line on to the air and says nothing.
    if (!m_config)
        return answer;
    if (hasValue)
        answer.text = Set(name, value) ? "OK" : "ERROR";
    else
        answer.text = Query(name).value_or("ERROR");
    return answer;
}

std::optional<std::string> CSimRadio::Query(const std::string& name) {
    const RadioParams& p = m_params;
    if (name == "cfg_ch_n")
        return "current channel " + std::to_string(p.currentChannel);
    if (name == "cfg_prtl")
        return p.protocol;
    if (name == "cfg_sbau")
        return kPortRates[p.portRate - 1];
    if (name == "cfg_bw")
        return p.bandwidth;
    if (name == "cfg_baud")
        return kLinkRates[p.linkRate - 1];
    if (name == "cfg_pwrh")
        return std::to_string(p.highPower);
    if (name == "cfg_pwrl")
        return std::to_string(p.lowPower);
    if (name == "cfg_firm")
        return p.firmwareVersion;
    if (name == "cfg_hard")
        return p.hardwareVersion;
    if (name == "cfg_sern")
        return p.serialNumber;
    if (name == "SREV")
        return p.subFirmwareVersion;
    if (name == "cfg_mode")
        return p.mode;
    if (name == "cfg_srcx")
        return std::to_string(p.src);
    if (name == "cfg_dstx")
        return std::to_string(p.dst);
    if (int slot = SlotOf(name, "cfg_ch_"))
        return "tx channel " + std::to_string(slot) + " " + p.txFrequency[slot];
    if (int slot = SlotOf(name, "cfg_rx_ch_"))
        return "rx channel " + std::to_string(slot) + " " + p.rxFrequency[slot];
    return std::nullopt;
}

bool CSimRadio::Set(const std::string& name, const std::string& value) {
    RadioParams& p = m_params;
    if (name == "cfg_ch_n")
        return ParseInRange(value, 1, 8, p.currentChannel);
    if (name == "cfg_prtl") {
        int code = 0;
        if (!ParseInRange(value, 1, 8, code))
            return false;
        // A TT450S radio answers to the first code with its own name.
        if (!(code == 1 && p.protocol == "TT450S"))
            p.protocol = kProtocols[code - 1];
        return true;
    }
    if (name == "cfg_sbau")
        return ParseInRange(value, 1, 5, p.portRate);
    if (name == "cfg_bw") {
        if (value != "12.5" && value != "25.0")
            return false;
        p.bandwidth = value;
        return true;
    }
    if (name == "cfg_baud")
        return ParseInRange(value, 1, 3, p.linkRate);
    if (name == "cfg_mode") {
        if (value != "tx" && value != "duplex" && value != "repeater")
            return false;
        p.mode = value;
        return true;
    }
    if (name == "cfg_srcx")
        return ParseInRange(value, 0, 254, p.src);
    if (name == "cfg_dstx")
        return ParseInRange(value, 0, 255, p.dst);
    if (name == "cfg_pwrh")
        return ParseInRange(value, 1, 3, p.highPower);
    if (name == "cfg_pwrl")
        return ParseInRange(value, 1, 3, p.lowPower);
    if (name == "cfg_sern") {
        if (!IsIdentityText(value, 9))
            return false;
        p.serialNumber = value;
        return true;
    }
    if (name == "cfg_hard") {
        if (!IsIdentityText(value, 4))
            return false;
        p.hardwareVersion = value;
        return true;
    }
    if (int slot = SlotOf(name, "cfg_ch_"))
        return ParseFrequency(value, p.txFrequency[slot]);
    if (int slot = SlotOf(name, "cfg_rx_ch_"))
        return ParseFrequency(value, p.rxFrequency[slot]);
    return false;
}

std::string CSimRadio::SaveState() const {
    const RadioParams& p = m_params;
    std::ostringstream out;
    for (int slot = 1; slot <= 8; ++slot)
        out << "tx" << slot << '=' << p.txFrequency[slot] << '\n';
    for (int slot = 1; slot <= 8; ++slot)
        out << "rx" << slot << '=' << p.rxFrequency[slot] << '\n';
    out << "protocol=" << p.protocol << '\n'
        << "channel=" << p.currentChannel << '\n'
        << "portrate=" << p.portRate << '\n'
        << "bandwidth=" << p.bandwidth << '\n'
        << "linkrate=" << p.linkRate << '\n'
        << "mode=" << p.mode << '\n'
        << "src=" << p.src << '\n'
        << "dst=" << p.dst << '\n'
        << "highpower=" << p.highPower << '\n'
        << "lowpower=" << p.lowPower << '\n'
        << "serial=" << p.serialNumber << '\n'
        << "hardware=" << p.hardwareVersion << '\n'
        << "firmware=" << p.firmwareVersion << '\n'
        << "subfirmware=" << p.subFirmwareVersion << '\n';
    return out.str();
}

bool CSimRadio::LoadState(const std::string& text, std::string& error) {
    CSimRadio loaded;
    loaded.m_params = m_params;
    RadioParams& p = loaded.m_params;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t equals = line.find('=');
        bool ok = equals != std::string::npos;
        if (ok) {
            std::string key = line.substr(0, equals);
            std::string value = line.substr(equals + 1);
            if (key.size() == 3 && (key[0] == 't' || key[0] == 'r') && key[2] >= '1' &&
                key[2] <= '8' && (key[1] == 'x')) {
                ok = loaded.Set(std::string(key[0] == 't' ? "cfg_ch_" : "cfg_rx_ch_") + key[2],
                                value);
            } else if (key == "protocol") {
                ok = false;
                for (const char* name : kProtocols)
                    ok = ok || value == name;
                ok = ok || value == "TT450S";
                if (ok)
                    p.protocol = value;
            } else if (key == "channel") {
                ok = loaded.Set("cfg_ch_n", value);
            } else if (key == "portrate") {
                ok = loaded.Set("cfg_sbau", value);
            } else if (key == "bandwidth") {
                ok = loaded.Set("cfg_bw", value);
            } else if (key == "linkrate") {
                ok = loaded.Set("cfg_baud", value);
            } else if (key == "mode") {
                ok = loaded.Set("cfg_mode", value);
            } else if (key == "src") {
                ok = loaded.Set("cfg_srcx", value);
            } else if (key == "dst") {
                ok = loaded.Set("cfg_dstx", value);
            } else if (key == "highpower") {
                ok = loaded.Set("cfg_pwrh", value);
            } else if (key == "lowpower") {
                ok = loaded.Set("cfg_pwrl", value);
            } else if (key == "serial") {
                ok = loaded.Set("cfg_sern", value);
            } else if (key == "hardware") {
                ok = loaded.Set("cfg_hard", value);
            } else if (key == "firmware" || key == "subfirmware") {
                ok = IsIdentityText(value, 32);
                if (ok)
                    (key == "firmware" ? p.firmwareVersion : p.subFirmwareVersion) = value;
            } else {
                ok = false;
            }
        }
        if (!ok) {
            error = "line " + std::to_string(number) + ": " + line.substr(0, 80);
            return false;
        }
    }
    m_params = p;
    return true;
}

} // namespace radiosim
