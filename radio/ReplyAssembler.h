#pragma once
// Builds one radio reply from the bytes of the line: the first non-empty line after a carriage
// return, or a line ending in "ACK". Plain logic without locks; CRadioProtocol feeds it on the
// serial thread and reads it on the waiting thread under its own mutex.

#include <cstddef>
#include <cstdint>
#include <string>

namespace radio {

class CReplyAssembler {
public:
    // The most a reply keeps. Replies are short lines; noise without carriage returns stops
    // growing the buffer here (further bytes are dropped until the line ends).
    static constexpr size_t kMaxReply = 1024;

    // Takes one received byte; true when this byte completed the reply.
    bool Feed(uint8_t byte);

    // Forgets the reply before the next command.
    void Clear();

    bool Complete() const { return m_complete; }
    // A carriage return followed by the reply's text once a reply has started; empty before.
    const std::string& Buffer() const { return m_buffer; }
    // The reply without its opening carriage return.
    std::string Text() const { return m_buffer.empty() ? std::string() : m_buffer.substr(1); }
    // Whether the token occurs anywhere in the buffer (case-sensitive).
    bool Contains(const char* token) const { return m_buffer.find(token) != std::string::npos; }

private:
    std::string m_buffer;
    bool m_complete = false;
};

} // namespace radio
