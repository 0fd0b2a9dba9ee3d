#include "tools/zelta-rct-cli/Formats.h"

#include "radio/ConfigFile.h"

#include <cmath>
#include <cstdio>
#include <functional>

namespace cli {

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The selected entry as shown, without its leading space; empty when nothing is selected.
std::string Shown(const radio::ISelector& selector) {
    return Trim(selector.selectedText());
}

std::string OrNone(const std::string& text) {
    return text.empty() ? "(none)" : text;
}

// The protocol as the selector shows it: "UNKNOW" when the radio named none it knows.
std::string ProtocolShown(const radio::CPlainFields& fields) {
    return Trim(fields.protocolType.displayText());
}

// The length of the UTF-8 sequence at `i`, or 0 when the bytes there are not one.
size_t Utf8Length(const std::string& text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = Utf8Length(text, i);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F || length == 0) {
            // Control bytes, and bytes of the 8-bit code page that are no UTF-8, by their
            // value: JSON text must be valid UTF-8.
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
            length = 1;
        } else {
            out.append(text, i, length);
        }
        i += length == 0 ? 1 : length;
    }
    return out + "\"";
}

std::string FormatReadable(const radio::CPlainFields& fields) {
    std::string out;
    auto line = [&](const std::string& name, const std::string& value) {
        out += name + ": " + OrNone(value) + "\n";
    };
    int channel = fields.currentChannel.selected();
    std::string bandwidth = Shown(fields.bandwidth);
    line("Protocol", ProtocolShown(fields));
    line("Current channel", channel >= 0 ? std::to_string(channel + 1) : "");
    line("Radio baud rate", Shown(fields.portBaudRate));
    line("Link baud rate", Shown(fields.linkBaudRate));
    line("Bandwidth", bandwidth.empty() ? "" : bandwidth + " kHz");
    line("Work mode", Shown(fields.workMode));
    line("Source address", fields.src.text());
    line("Destination address", fields.dst.text());
    line("High power", Shown(fields.highPower));
    line("Low power", Shown(fields.lowPower));
    for (int slot = 1; slot <= radio::ChannelCount; ++slot) {
        auto mhz = [](const std::string& text) {
            return text.empty() ? std::string("(none)") : text + " MHz";
        };
        out += "Channel " + std::to_string(slot) + ": TX " + mhz(fields.channel[slot].text()) +
               ", RX " + mhz(fields.rxChannel[slot].text()) + "\n";
    }
    line("Serial number", fields.serialNumber.text());
    line("Hardware version", fields.hardwareVersion.text());
    line("Firmware version", fields.firmwareVersion.text());
    line("Sub-firmware version", fields.subFirmwareVersion.text());
    return out;
}

std::string FormatCfgLines(const radio::CPlainFields& fields) {
    std::string out;
    for (const auto& [key, value] : radio::ConfigEntries(fields.settings))
        out += key + "," + value + "\n";
    out += "Bandwidth," + std::to_string(fields.bandwidth.selected()) + "\n";
    out += "SerialNumber," + fields.serialNumber.text() + "\n";
    out += "HardwareVersion," + fields.hardwareVersion.text() + "\n";
    out += "FirmwareVersion," + fields.firmwareVersion.text() + "\n";
    out += "SubFirmwareVersion," + fields.subFirmwareVersion.text() + "\n";
    return out;
}

std::string FormatJson(const radio::CPlainFields& fields) {
    auto stringOrNull = [](const std::string& text) {
        return text.empty() ? std::string("null") : JsonString(text);
    };
    // A rate entry's number; null for none or "UNKNOW".
    auto rate = [](const std::string& text) {
        int value = radio::ReadInteger(text);
        return value > 0 ? std::to_string(value) : std::string("null");
    };
    std::string protocol = ProtocolShown(fields);
    int channel = fields.currentChannel.selected();
    int bandwidth = fields.bandwidth.selected();
    int mode = fields.workMode.selected();

    std::string out = "{";
    out += "\"protocol\":" + stringOrNull(protocol == "UNKNOW" ? "" : protocol);
    out += ",\"currentChannel\":" + (channel >= 0 ? std::to_string(channel + 1) : "null");
    out += ",\"radioBaudRate\":" + rate(Shown(fields.portBaudRate));
    out += ",\"linkBaudRate\":" + rate(Shown(fields.linkBaudRate));
    out += ",\"bandwidthKHz\":" +
           std::string(bandwidth >= 0 ? radio::kBandwidths[static_cast<size_t>(bandwidth)].code
                                      : "null");
    out += ",\"workMode\":" +
           stringOrNull(mode >= 0 ? radio::kWorkModes[static_cast<size_t>(mode)].code : "");
    out += ",\"sourceAddress\":" + JsonString(fields.src.text());
    out += ",\"destinationAddress\":" + JsonString(fields.dst.text());
    out += ",\"highPower\":" + stringOrNull(Shown(fields.highPower));
    out += ",\"lowPower\":" + stringOrNull(Shown(fields.lowPower));
    out += ",\"channels\":[";
    for (int slot = 1; slot <= radio::ChannelCount; ++slot) {
        out += slot > 1 ? "," : "";
        out += "{\"channel\":" + std::to_string(slot) +
               ",\"txMHz\":" + JsonString(fields.channel[slot].text()) +
               ",\"rxMHz\":" + JsonString(fields.rxChannel[slot].text()) + "}";
    }
    out += "]";
    out += ",\"serialNumber\":" + JsonString(fields.serialNumber.text());
    out += ",\"hardwareVersion\":" + JsonString(fields.hardwareVersion.text());
    out += ",\"firmwareVersion\":" + JsonString(fields.firmwareVersion.text());
    out += ",\"subFirmwareVersion\":" + JsonString(fields.subFirmwareVersion.text());
    return out + "}\n";
}

std::vector<Difference> CompareFields(const radio::CPlainFields& expected,
                                      const radio::CPlainFields& actual, bool serialNumberUnlocked,
                                      bool hardwareUnlocked) {
    std::vector<Difference> differences;
    auto note = [&](const std::string& field, const std::string& want, const std::string& got) {
        differences.push_back({field, OrNone(want), OrNone(got)});
    };
    auto frequency = [&](const std::string& field, const radio::CPlainTextField& want,
                         const radio::CPlainTextField& got) {
        if (Trim(want.text()).empty())
            return;
        double a = radio::ReadFrequency(want.text());
        double b = radio::ReadFrequency(got.text());
        if (Trim(got.text()).empty() || std::fabs(a - b) > 1e-9)
            note(field, want.text(), got.text());
    };
    // A selection the write sends, compared by what the radio is sent for it.
    using Key = std::function<int(const radio::CPlainSelector&)>;
    Key byIndex = [](const radio::CPlainSelector& s) { return s.selected(); };
    auto selection = [&](const std::string& field, const radio::CPlainSelector& want,
                         const radio::CPlainSelector& got, const Key& key) {
        if (want.selected() < 0)
            return;
        if (got.selected() < 0 || key(want) != key(got))
            note(field, Shown(want), Shown(got));
    };
    auto address = [&](const std::string& field, const radio::CPlainTextField& want,
                       const radio::CPlainTextField& got) {
        if (want.text().empty())
            return;
        if (got.text().empty() || radio::ReadInteger(want.text()) != radio::ReadInteger(got.text()))
            note(field, want.text(), got.text());
    };
    auto identity = [&](const std::string& field, const radio::CPlainTextField& want,
                        const radio::CPlainTextField& got) {
        if (want.text() != got.text())
            note(field, want.text(), got.text());
    };

    for (int slot = 1; slot <= radio::ChannelCount; ++slot)
        frequency("Channel" + std::to_string(slot), expected.channel[slot], actual.channel[slot]);
    for (int slot = 1; slot <= radio::ChannelCount; ++slot)
        frequency("RXChannel" + std::to_string(slot), expected.rxChannel[slot],
                  actual.rxChannel[slot]);
    selection("CurrentChannel", expected.currentChannel, actual.currentChannel, byIndex);
    selection("PortBaudRate", expected.portBaudRate, actual.portBaudRate, byIndex);
    selection("LinkBaudRate", expected.linkBaudRate, actual.linkBaudRate,
              [](const radio::CPlainSelector& s) { return radio::LinkRateCode(s.selectedText()); });
    selection("Bandwidth", expected.bandwidth, actual.bandwidth, byIndex);
    selection("workMode", expected.workMode, actual.workMode, byIndex);
    address("SRC", expected.src, actual.src);
    address("DST", expected.dst, actual.dst);
    selection("ProtocolType", expected.protocolType, actual.protocolType,
              [](const radio::CPlainSelector& s) { return radio::ProtocolCode(s.selected()); });
    selection("HighPower", expected.highPower, actual.highPower, byIndex);
    selection("LowPower", expected.lowPower, actual.lowPower, byIndex);
    if (serialNumberUnlocked)
        identity("SerialNumber", expected.serialNumber, actual.serialNumber);
    if (hardwareUnlocked)
        identity("HardwareVersion", expected.hardwareVersion, actual.hardwareVersion);
    return differences;
}

} // namespace cli
