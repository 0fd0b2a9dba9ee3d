// Imports arbitrary bytes as a .cfg file into a fresh set of fields. Checks that every
// selection stays inside its entries, that no imported text is longer than a line may be,
// that exporting and importing again is a fixed point, and that a file the write checks let
// through plans only whole command lines.
#include "radio/ConfigFile.h"
#include "radio/PlainFields.h"
#include "radio/Protocol.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void CheckSelector(const radio::ISelector& selector) {
    Check(selector.selected() >= -1 && selector.selected() < selector.count());
}

void CheckFields(const radio::CPlainFields& fields) {
    for (const radio::CPlainSelector* selector :
         {&fields.protocolType, &fields.currentChannel, &fields.portBaudRate, &fields.linkBaudRate,
          &fields.bandwidth, &fields.workMode, &fields.highPower, &fields.lowPower})
        CheckSelector(*selector);
    for (int slot = 0; slot < radio::kSlotCount; ++slot) {
        for (const std::string& text : {fields.channel[slot].text(), fields.rxChannel[slot].text()})
            Check(text.size() < radio::kMaxConfigLine &&
                  text.find_first_of(std::string_view(",\n\0", 3)) == std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    radio::CPlainFields first;
    radio::ImportConfigText(first.settings, input);
    CheckFields(first);

    std::string once = radio::FormatConfig(first.settings);
    radio::CPlainFields second;
    radio::ImportConfigText(second.settings, once);
    CheckFields(second);
    std::string twice = radio::FormatConfig(second.settings);

    radio::CPlainFields third;
    radio::ImportConfigText(third.settings, twice);
    Check(radio::FormatConfig(third.settings) == twice);

    // The unlocks are not in the file; with them on, the identity texts are checked too.
    first.settings.SerialNumberUnlocked = size > 0 && (data[0] & 1);
    first.settings.HardwareUnlocked = size > 0 && (data[0] & 2);
    if (radio::CheckWriteValues(first.settings).empty()) {
        for (const std::string& line : radio::PlanWrite(first.settings)) {
            for (unsigned char c : line)
                Check(c >= 0x20 && c != 0x7F);
        }
    }
    return 0;
}
