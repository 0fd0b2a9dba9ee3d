#pragma once
// What the command-line tool prints of a set of radio parameters: readable lines, the .cfg
// lines with the read-only values after them, or one JSON object; and the fields in which two
// sets differ (diff, and the check after a write).

#include "radio/PlainFields.h"

#include <string>
#include <vector>

namespace cli {

// "Protocol: TRIMTALK", "Radio baud rate: 38400", "Channel 1: TX 430.12500 MHz, RX …", one a
// line; "(none)" for what the radio did not give.
std::string FormatReadable(const radio::CPlainFields& fields);

// The lines of a .cfg file as the file holds them (without CR), then Bandwidth, SerialNumber,
// HardwareVersion, FirmwareVersion and SubFirmwareVersion.
std::string FormatCfgLines(const radio::CPlainFields& fields);

// One JSON object, ending in a line feed. Texts the radio gave (frequencies, addresses, versions)
// are JSON strings; rates and the channel number are numbers; null for what is not known.
std::string FormatJson(const radio::CPlainFields& fields);

// A text as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

struct Difference {
    std::string field;    // named as the .cfg file names it ("Channel3", "ProtocolType")
    std::string expected; // as the file or the write has it, readable
    std::string actual;   // as the radio has it, readable
};

// The fields of `expected` that a write of it would send (used slots with a frequency,
// selections made, addresses, the identity texts when unlocked) whose value in `actual`
// differs. Frequencies are compared as numbers, addresses as integers, the protocol and the
// link rate by the code the radio is sent (TT450S and TRIMTALK share one).
std::vector<Difference> CompareFields(const radio::CPlainFields& expected,
                                      const radio::CPlainFields& actual, bool serialNumberUnlocked,
                                      bool hardwareUnlocked);

} // namespace cli
