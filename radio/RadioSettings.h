#pragma once
// RadioSettings: every parameter of the radio as the user edits it, bound to the fields that
// show it, with the value tables and the rules for frequencies, addresses and the link rate.
// The fields belong to whoever bound them (the main window's controls, or CPlainFields) and
// must outlive the record. Used on the thread that owns the fields.

#include "radio/Fields.h"
#include "radio/RadioHost.h"

#include <array>
#include <string>
#include <vector>

namespace radio {

// Channel slots of the record and the file: 0 to 9. The radio uses slots 1 to ChannelCount.
constexpr int kSlotCount = 10;
constexpr int ChannelCount = 8;

constexpr double kMinFrequency = 410.0;
constexpr double kMaxFrequency = 470.0;
constexpr const char* kFrequencyTooltip = "410.00000MHZ～470.00000MHZ";

// Colours of the link-rate row: grey while the rule fixes the rate, the label's own colour
// when the user may choose.
constexpr Colour kLinkRateGrey = 0xA7A6B7;
constexpr Colour kLinkRateLabelColour = 0x386382;

// One entry of a value table: the selector text (with its leading space), the code sent to
// the radio and the names that identify the entry in a radio reply. The index of the entry is
// what the configuration file stores.
struct ProtocolEntry {
    const char* display;
    int code;
    const char* replyName;
};
struct RateEntry {
    const char* display;
    int code;
    const char* replyText;
};
struct CodeEntry {
    const char* display;
    const char* code;
};

extern const std::array<ProtocolEntry, 9> kProtocols;
extern const std::array<RateEntry, 5> kPortRates;
extern const std::array<CodeEntry, 2> kBandwidths;
extern const std::array<CodeEntry, 3> kWorkModes;
extern const std::array<const char*, 3> kHighPowers;
extern const std::array<const char*, 3> kLowPowers;

constexpr int kProtocolHuace = 2;
constexpr int kProtocolSouth = 4;
constexpr int kProtocolTT450S = 8;
constexpr int kDefaultPortRate = 2; // " 38400"

// The link-rate entries before any protocol was chosen, and those of each protocol.
const std::vector<std::string>& InitialLinkRates();
const std::vector<std::string>& LinkRateList(int protocolIndex);
// The radio code of a link-rate entry, taken from its number: 4800 -> 1, 9600 -> 2,
// 19200 -> 3, any other number itself.
int LinkRateCode(const std::string& entryText);
// The radio code of a protocol index (index + 1, but TT450S shares TRIMTALK's 1); -1 for an
// index outside the table.
int ProtocolCode(int protocolIndex);

// Reads a frequency text the way the C library's atof does: the longest leading decimal
// number after white space, 0.0 when there is none.
double ReadFrequency(const std::string& text);
bool FrequencyInRange(double value);
// Reads the leading decimal integer of a text the way atoi does (white space, sign, digits;
// no number gives 0), held at the limits of int instead of overflowing.
int ReadInteger(const std::string& text);

// A frequency as "%0W.5f" would print it (W = width, zero-padded when zeroPad, else
// blank-padded), with a decimal point whatever the C library's locale says.
std::string FormatFrequency(double value, int width, bool zeroPad);

// The addresses a write sends: an empty text becomes `whenEmpty`, a number below 0 becomes
// "0", one above `highest` becomes `highest`; any other text stays as it is.
constexpr int kMaxSourceAddress = 254;
constexpr int kMaxDestinationAddress = 255;
std::string NormalisedAddress(const std::string& text, int highest, const char* whenEmpty);

// The ten default frequencies (MHz, by slot), the built-in ones and those of a profile file:
// section "Defaults", keys "Frequency0" to "Frequency9". A value that is missing, not a
// number or outside the band keeps the built-in value of its slot.
using FrequencyTable = std::array<double, kSlotCount>;
const FrequencyTable& BuiltInDefaultFrequencies();
FrequencyTable LoadDefaultFrequencies(const std::string& profilePath);
// The profile beside the program: <program folder>/zelta-rct.ini.
std::string DefaultProfilePath();

class RadioSettings {
public:
    RadioSettings() = default;
    // Not copyable: the selection rules connected below refer to this record.
    RadioSettings(const RadioSettings&) = delete;
    RadioSettings& operator=(const RadioSettings&) = delete;

    // Fields in the order of the record. Every pointer must be bound before an operation runs.
    std::array<ITextField*, kSlotCount> Channel{};
    std::array<ITextField*, kSlotCount> RXChannel{};
    ISelector* ProtocolType = nullptr;
    ISelector* CurrentChannel = nullptr;
    ISelector* PortBaudRate = nullptr;
    ISelector* LinkBaudRate = nullptr;
    ISelector* Bandwidth = nullptr;
    ISelector* workMode = nullptr;
    ITextField* SRC = nullptr;
    ITextField* DST = nullptr;
    ISelector* HighPower = nullptr;
    ISelector* LowPower = nullptr;
    ITextField* SerialNumber = nullptr;
    ITextField* HardwareVersion = nullptr;
    ITextField* FirmwareVersion = nullptr;
    ITextField* SubFirmwareVersion = nullptr;

    // The labels that name fields in messages; the link-rate label is also coloured by the
    // link-rate rule. A missing label names its field with an empty text.
    ILabel* ProtocolTypeLabel = nullptr;
    ILabel* CurrentChannelLabel = nullptr;
    ILabel* PortBaudRateLabel = nullptr;
    ILabel* LinkBaudRateLabel = nullptr;
    ILabel* workModeLabel = nullptr;
    ILabel* HighPowerLabel = nullptr;
    ILabel* LowPowerLabel = nullptr;
    ILabel* SerialNumberLabel = nullptr;
    ILabel* HardwareVersionLabel = nullptr;

    // Run-time unlocks of the identity fields (never saved); cleared after every write.
    bool SerialNumberUnlocked = false;
    bool HardwareUnlocked = false;

    FrequencyTable DefaultFrequencies = BuiltInDefaultFrequencies();

    // The text field of a slot, transmit or receive; null for a slot outside 0 to 9.
    ITextField* FrequencyField(int slot, bool transmit) const;

    // Fills the value-table selectors with their entries (protocols, port rates, link rates
    // before any protocol, bandwidths, work modes, powers, and `channelNames`, texts as shown
    // with their leading space, for the current channel) and leaves them unselected.
    void FillLists(const std::vector<std::string>& channelNames);

    // Connects the protocol and bandwidth selectors' change handlers to SelectProtocol and
    // ApplyLinkRateRule, for hosts whose controls do not report changes themselves.
    void ConnectSelectionRules();

    // Checks and reformats a frequency field the user has left: empty (or blanks only) is
    // accepted unchanged; a value in the band is rewritten as "%09.5f"; anything else shows
    // the invalid-frequency message, gives the focus back to the field and returns false,
    // leaving the text as typed.
    bool ValidateFrequencyField(IRadioHost& host, int slot, bool transmit);

    // Writes DefaultFrequencies ("%9.5f") into slots 0 to ChannelCount of the transmit or
    // receive fields; slot 9 is left alone.
    void FillDefaults(bool transmit);

    // Enforces the link rate the bandwidth and protocol allow, with the row's colours and
    // mouse state.
    void ApplyLinkRateRule();

    // Replaces the link-rate entries by the protocol's list, then applies the rule.
    void SelectProtocol(int protocolIndex);

    // Brings SRC into 0..254 and DST into 0..255 (empty: "0" and "255").
    void NormaliseAddresses();

    // Every used slot's transmit then receive text must read as a frequency in the band; the
    // first that does not shows "Channel%d: Invalid!" and fails the check.
    bool CheckFrequenciesForWrite(IRadioHost& host) const;
};

} // namespace radio
