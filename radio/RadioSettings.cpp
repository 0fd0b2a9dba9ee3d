#include "radio/RadioSettings.h"

#include "platform/sys/Profile.h"
#include "platform/sys/ProgramFolder.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

namespace radio {

const std::array<ProtocolEntry, 9> kProtocols = {{
    {" TRIMTALK", 1, "TRIMTALK"},
    {" TRANSMDS", 2, "TRANSMDS"},
    {" HUACE", 3, "HUACE"},
    {" TRIMMK3", 4, "TRIMMK3"},
    {" SOUTH", 5, "SOUTH"},
    {" HI-TARGET", 6, "HI-TARGET"},
    {" BURN-IN", 7, "BURN-IN"},
    {" TRANSEOT", 8, "TRANSEOT"},
    // Radios of this kind take TRIMTALK's code.
    {" TT450S", 1, "TT450S"},
}};

const std::array<RateEntry, 5> kPortRates = {{
    {" 9600", 1, "9600"},
    {" 19200", 2, "19200"},
    {" 38400", 3, "38400"},
    {" 57600", 4, "57600"},
    {" 115200", 5, "115200"},
}};

const std::array<CodeEntry, 2> kBandwidths = {{{" 12.5", "12.5"}, {" 25.0", "25.0"}}};

const std::array<CodeEntry, 3> kWorkModes = {
    {{" TX only", "tx"}, {" duplex", "duplex"}, {" repeater", "repeater"}}};

const std::array<const char*, 3> kHighPowers = {" 45W", " 30W", " 25W"};
const std::array<const char*, 3> kLowPowers = {" 15W", " 10W", " 5W"};

const std::vector<std::string>& InitialLinkRates() {
    static const std::vector<std::string> rates = {" 4800", " 9600", " 19200"};
    return rates;
}

const std::vector<std::string>& LinkRateList(int protocolIndex) {
    static const std::vector<std::string> low = {" 4800", " 9600"};
    static const std::vector<std::string> all = {" 4800", " 9600", " 19200"};
    static const std::vector<std::string> high = {" 4800", " 19200"};
    switch (protocolIndex) {
        case kProtocolHuace:
        case kProtocolSouth:
            return all;
        case 3: // TRIMMK3
        case 5: // HI-TARGET
            return high;
        case 0:
        case 1:
        case 6:
        case 7:
        case kProtocolTT450S:
            return low;
        default:
            return InitialLinkRates();
    }
}

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The offset of the first character after leading white space and one optional sign, as the
// C library's number readers skip them; `negative` tells which sign it was.
size_t SkipSpaceAndSign(const std::string& text, bool& negative) {
    size_t i = 0;
    negative = false;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

// The leading number of `text` by the C library's atof rules (white space, optional sign,
// decimal or hexadecimal digits, exponent, inf and nan), independent of the locale. Sets
// `end` to the offset after the number, 0 when there is none.
double ParseLeadingDouble(const std::string& text, size_t& end) {
    end = 0;
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double value = 0.0;
    if (last - first >= 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        auto [ptr, ec] = std::from_chars(first + 2, last, value, std::chars_format::hex);
        if (ec == std::errc() || ec == std::errc::result_out_of_range) {
            end = static_cast<size_t>(ptr - text.data());
        } else {
            // "0x" without hexadecimal digits reads as the 0 before the x.
            value = 0.0;
            end = i + 1;
        }
    } else {
        if (first < last && (*first == '+' || *first == '-'))
            return 0.0; // a second sign: no number
        auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (ec == std::errc::result_out_of_range) {
            end = static_cast<size_t>(ptr - text.data());
            value = std::numeric_limits<double>::infinity();
        } else if (ec == std::errc()) {
            end = static_cast<size_t>(ptr - text.data());
        } else {
            return 0.0;
        }
    }
    return negative ? -value : value;
}

long long ReadLongInteger(const std::string& text) {
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < (1LL << 40))
            value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

} // namespace

std::string FormatFrequency(double value, int width, bool zeroPad) {
    // std::to_chars ignores the locale, unlike printf's %f.
    char buffer[400];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 5);
    std::string text = ec == std::errc() ? std::string(buffer, end) : std::string("0.00000");
    if (static_cast<int>(text.size()) >= width)
        return text;
    size_t pad = static_cast<size_t>(width) - text.size();
    if (!zeroPad)
        return std::string(pad, ' ') + text;
    // Zeros go after the sign, as printf puts them.
    size_t at = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.compare(at, 3, "inf") == 0 || text.compare(at, 3, "nan") == 0)
        return std::string(pad, ' ') + text;
    text.insert(at, pad, '0');
    return text;
}

std::string NormalisedAddress(const std::string& text, int highest, const char* whenEmpty) {
    if (text.empty())
        return whenEmpty;
    int value = ReadInteger(text);
    if (value < 0)
        return "0";
    if (value > highest)
        return std::to_string(highest);
    return text;
}

int ReadInteger(const std::string& text) {
    long long value = ReadLongInteger(text);
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

int LinkRateCode(const std::string& entryText) {
    int v = ReadInteger(entryText);
    switch (v) {
        case 4800:
            return 1;
        case 9600:
            return 2;
        case 19200:
            return 3;
        default:
            return v;
    }
}

int ProtocolCode(int protocolIndex) {
    if (protocolIndex < 0 || protocolIndex >= static_cast<int>(kProtocols.size()))
        return -1;
    return kProtocols[static_cast<size_t>(protocolIndex)].code;
}

double ReadFrequency(const std::string& text) {
    size_t end = 0;
    return ParseLeadingDouble(text, end);
}

bool FrequencyInRange(double value) {
    return value >= kMinFrequency && value <= kMaxFrequency;
}

const FrequencyTable& BuiltInDefaultFrequencies() {
    static const FrequencyTable table = {430.0,   431.025, 432.05,  433.075, 434.1,
                                         435.125, 436.15,  437.175, 438.2,   439.225};
    return table;
}

FrequencyTable LoadDefaultFrequencies(const std::string& profilePath) {
    FrequencyTable table = BuiltInDefaultFrequencies();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        char key[16];
        std::snprintf(key, sizeof key, "Frequency%d", slot);
        char buffer[64];
        plat::GetPrivateProfileString("Defaults", key, "", buffer, sizeof buffer,
                                      profilePath.c_str());
        std::string text = buffer;
        size_t end = 0;
        double value = ParseLeadingDouble(text, end);
        // Only a value that is a number as a whole, inside the band, replaces the built-in.
        while (end < text.size() && IsCSpace(text[end]))
            ++end;
        if (end == 0 || end != text.size() || !FrequencyInRange(value))
            continue;
        table[static_cast<size_t>(slot)] = value;
    }
    return table;
}

std::string DefaultProfilePath() {
    std::string folder = plat::GetProgramFolder();
    if (folder.empty())
        return "zelta-rct.ini";
    if (folder.back() != '/')
        folder += '/';
    return folder + "zelta-rct.ini";
}

ITextField* RadioSettings::FrequencyField(int slot, bool transmit) const {
    if (slot < 0 || slot >= kSlotCount)
        return nullptr;
    return transmit ? Channel[static_cast<size_t>(slot)] : RXChannel[static_cast<size_t>(slot)];
}

void RadioSettings::FillLists(const std::vector<std::string>& channelNames) {
    auto fill = [](ISelector* selector, auto&& texts) {
        selector->clear();
        for (const auto& text : texts)
            selector->add(text);
    };
    ProtocolType->clear();
    for (const auto& p : kProtocols)
        ProtocolType->add(p.display);
    fill(CurrentChannel, channelNames);
    PortBaudRate->clear();
    for (const auto& r : kPortRates)
        PortBaudRate->add(r.display);
    fill(LinkBaudRate, InitialLinkRates());
    Bandwidth->clear();
    for (const auto& b : kBandwidths)
        Bandwidth->add(b.display);
    workMode->clear();
    for (const auto& m : kWorkModes)
        workMode->add(m.display);
    fill(HighPower, kHighPowers);
    fill(LowPower, kLowPowers);
}

void RadioSettings::ConnectSelectionRules() {
    ProtocolType->setChangeHandler([this](int index) { SelectProtocol(index); });
    Bandwidth->setChangeHandler([this](int) { ApplyLinkRateRule(); });
}

bool RadioSettings::ValidateFrequencyField(IRadioHost& host, int slot, bool transmit) {
    ITextField* field = FrequencyField(slot, transmit);
    if (!field)
        return true;
    std::string text = field->text();
    if (text.find_first_not_of(" \t") == std::string::npos)
        return true;
    double value = ReadFrequency(text);
    if (FrequencyInRange(value)) {
        field->setText(FormatFrequency(value, 9, true));
        return true;
    }
    std::string message = host.Text(transmit ? TextId::MsgLaunchCh : TextId::MsgReceiveCh) +
                          std::to_string(slot) + host.Text(TextId::MsgInvalid);
    host.MessageBox(message, host.Text(TextId::MsgError), MessageIcon::Error);
    field->setFocus();
    return false;
}

void RadioSettings::FillDefaults(bool transmit) {
    for (int slot = 0; slot <= ChannelCount; ++slot)
        FrequencyField(slot, transmit)
            ->setText(FormatFrequency(DefaultFrequencies[static_cast<size_t>(slot)], 9, false));
}

void RadioSettings::ApplyLinkRateRule() {
    int bandwidth = Bandwidth->selected();
    if (bandwidth < 0)
        return;
    if (LinkBaudRateLabel)
        LinkBaudRateLabel->setTextColour(kLinkRateGrey);
    LinkBaudRate->setTextColour(kLinkRateGrey);
    int protocol = ProtocolType->selected();
    if (protocol < 0)
        return;
    if (bandwidth == 0) {
        LinkBaudRate->setMouseEnabled(false);
        LinkBaudRate->select(0);
    } else if (bandwidth == 1) {
        if (protocol == kProtocolHuace || protocol == kProtocolSouth) {
            if (LinkBaudRateLabel)
                LinkBaudRateLabel->setTextColour(kLinkRateLabelColour);
            LinkBaudRate->setTextColour(0);
            LinkBaudRate->setMouseEnabled(true);
        } else {
            LinkBaudRate->setMouseEnabled(false);
            LinkBaudRate->select(1);
        }
    }
}

void RadioSettings::SelectProtocol(int protocolIndex) {
    LinkBaudRate->clear();
    for (const auto& rate : LinkRateList(protocolIndex))
        LinkBaudRate->add(rate);
    ApplyLinkRateRule();
}

void RadioSettings::NormaliseAddresses() {
    SRC->setText(NormalisedAddress(SRC->text(), kMaxSourceAddress, "0"));
    DST->setText(NormalisedAddress(DST->text(), kMaxDestinationAddress, "255"));
}

bool RadioSettings::CheckFrequenciesForWrite(IRadioHost& host) const {
    for (int slot = 1; slot <= ChannelCount; ++slot) {
        for (bool transmit : {true, false}) {
            if (FrequencyInRange(ReadFrequency(FrequencyField(slot, transmit)->text())))
                continue;
            bool chinese = host.IsChinese();
            char message[64];
            std::snprintf(message, sizeof message,
                          chinese ? "频道%d: 无效！" : "Channel%d: Invalid!", slot);
            host.MessageBox(message, chinese ? "错误" : "Error", MessageIcon::Error);
            return false;
        }
    }
    return true;
}

} // namespace radio
