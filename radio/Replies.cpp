#include "radio/Replies.h"

#include "platform/base/TextUtf8.h"
#include "radio/RadioSettings.h"

#include <limits>

namespace radio {

namespace {

bool Has(const std::string& reply, const char* token) {
    return reply.find(token) != std::string::npos;
}

} // namespace

std::optional<int> CurrentChannelIndex(const std::string& reply) {
    if (!Has(reply, "current channel"))
        return std::nullopt;
    return static_cast<unsigned char>(reply.back()) - '1';
}

int ProtocolIndexOf(const std::string& reply) {
    for (int i = 0; i < static_cast<int>(kProtocols.size()); ++i) {
        if (Has(reply, kProtocols[static_cast<size_t>(i)].replyName))
            return i;
        // The short names some radios report, tried right after TRIMTALK.
        if (Has(reply, "TRIMA"))
            return 3;
        if (Has(reply, "SOTH"))
            return 4;
    }
    return -1;
}

int PortRateIndexOf(const std::string& reply) {
    for (int i = 0; i < static_cast<int>(kPortRates.size()); ++i) {
        if (Has(reply, kPortRates[static_cast<size_t>(i)].replyText))
            return i;
    }
    return -1;
}

int BandwidthIndexOf(const std::string& reply) {
    if (Has(reply, "12.5"))
        return 0;
    if (Has(reply, "25.0"))
        return 1;
    return -1;
}

std::string LinkRateTextOf(const std::string& reply) {
    std::string text;
    if (Has(reply, "4800"))
        text = " 4800";
    if (Has(reply, "9600"))
        text = " 9600";
    if (Has(reply, "19200"))
        text = " 19200";
    return text;
}

int PowerIndexOf(const std::string& text) {
    int value = ReadInteger(text);
    // Held off the lower limit so the minus one cannot overflow.
    return value == std::numeric_limits<int>::min() ? value : value - 1;
}

std::optional<std::string> FrequencyOf(const std::string& reply, int slot) {
    std::string token = std::to_string(slot) + " ";
    size_t at = reply.find(token);
    if (at == std::string::npos)
        return std::nullopt;
    return reply.substr(at + token.size());
}

int WorkModeIndexOf(const std::string& reply) {
    if (Has(reply, "tx"))
        return 0;
    if (Has(reply, "duplex"))
        return 1;
    if (Has(reply, "repeater"))
        return 2;
    return -1;
}

std::string CutText(const std::string& text, size_t maxBytes) {
    return text.substr(0, plat::Utf8PrefixLength(text.data(), text.size(), maxBytes));
}

} // namespace radio
