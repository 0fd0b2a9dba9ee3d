// Arbitrary line bytes through the reply assembler, and every completed reply (and the
// unfinished rest) through the parsers of the read. Checks the assembler's invariants: the
// buffer stays bounded, starts with its carriage return and holds no line feed.

#include "radio/Replies.h"
#include "radio/ReplyAssembler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

volatile size_t g_sink;

void Check(const radio::CReplyAssembler& reply) {
    const std::string& buffer = reply.Buffer();
    if (buffer.size() > radio::CReplyAssembler::kMaxReply)
        std::abort();
    if (!buffer.empty() && buffer[0] != '\r')
        std::abort();
    if (buffer.find('\n') != std::string::npos)
        std::abort();
    if (buffer.size() > 1 && buffer.find('\r', 1) != std::string::npos)
        std::abort();
}

void Parse(const radio::CReplyAssembler& reply, int slot) {
    const std::string& buffer = reply.Buffer();
    std::string text = reply.Text();
    size_t sum = 0;
    if (!buffer.empty()) {
        if (auto channel = radio::CurrentChannelIndex(buffer))
            sum += static_cast<size_t>(*channel);
    }
    sum += static_cast<size_t>(radio::ProtocolIndexOf(buffer) + 1);
    sum += static_cast<size_t>(radio::PortRateIndexOf(buffer) + 1);
    sum += static_cast<size_t>(radio::BandwidthIndexOf(buffer) + 1);
    sum += radio::LinkRateTextOf(buffer).size();
    sum += static_cast<size_t>(radio::PowerIndexOf(text));
    if (auto frequency = radio::FrequencyOf(buffer, slot)) {
        if (frequency->size() >= buffer.size())
            std::abort();
        sum += frequency->size();
    }
    sum += static_cast<size_t>(radio::WorkModeIndexOf(buffer) + 1);
    std::string cut = radio::CutText(text, 9);
    if (cut.size() > 9 || text.compare(0, cut.size(), cut) != 0)
        std::abort();
    g_sink = sum + cut.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    int slot = 1 + data[0] % 8;
    radio::CReplyAssembler reply;
    for (size_t i = 1; i < size; ++i) {
        bool completed = reply.Feed(data[i]);
        Check(reply);
        if (completed) {
            if (!reply.Complete())
                std::abort();
            Parse(reply, slot);
            reply.Clear();
        }
    }
    Parse(reply, slot);
    return 0;
}
