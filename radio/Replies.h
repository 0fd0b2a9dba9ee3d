#pragma once
// What the read takes from each radio reply. Replies are searched for tokens, never parsed as
// a grammar: `reply` is the assembled buffer (its opening carriage return included), `text`
// the reply without it. Every function takes any bytes.

#include <optional>
#include <string>

namespace radio {

// "cfg_ch_n": the reply names the current channel and ends in its digit. The selector index
// is the last character minus '1' (a final '0' gives -1, no selection).
std::optional<int> CurrentChannelIndex(const std::string& reply);

// "cfg_prtl": the first protocol, in table order, whose reply name occurs in the reply;
// "TRIMA" and "SOTH" are tried right after TRIMTALK's name and stand for TRIMMK3 and SOUTH.
// -1 when the reply names none.
int ProtocolIndexOf(const std::string& reply);

// "cfg_sbau": index of the first port rate ("9600" ... "115200") the reply holds, or -1.
int PortRateIndexOf(const std::string& reply);

// "cfg_bw": 0 for "12.5", else 1 for "25.0", else -1.
int BandwidthIndexOf(const std::string& reply);

// "cfg_baud": " 4800", " 9600" or " 19200", the last of them the reply holds (in that order of
// trying), or "" when it holds none.
std::string LinkRateTextOf(const std::string& reply);

// "cfg_pwrh", "cfg_pwrl": the reply text read as a decimal integer, minus 1.
int PowerIndexOf(const std::string& text);

// "cfg_ch_N", "cfg_rx_ch_N": everything after the first occurrence of the slot digit and a
// space; nothing when the reply lacks them.
std::optional<std::string> FrequencyOf(const std::string& reply, int slot);

// "cfg_mode": 0 for "tx", else 1 for "duplex", else 2 for "repeater", else -1.
int WorkModeIndexOf(const std::string& reply);

// The first `maxBytes` bytes of a text, never cutting a character in two.
std::string CutText(const std::string& text, size_t maxBytes);

} // namespace radio
