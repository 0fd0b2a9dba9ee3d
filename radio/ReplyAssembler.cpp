#include "radio/ReplyAssembler.h"

namespace radio {

bool CReplyAssembler::Feed(uint8_t byte) {
    if (byte == '\r') {
        if (m_buffer.empty()) {
            m_buffer.push_back('\r'); // a reply starts
        } else if (m_buffer.size() > 1 && !m_complete) {
            m_complete = true;
            return true;
        }
        // A buffer holding only the opening carriage return skips empty lines.
        return false;
    }
    if (byte == '\n')
        return false;
    // Bytes before the first carriage return, and after the reply, are not part of it.
    if (m_complete || m_buffer.empty() || m_buffer.size() >= kMaxReply)
        return false;
    m_buffer.push_back(static_cast<char>(byte));
    if (byte == 'K' && m_buffer.size() >= 3 &&
        m_buffer.compare(m_buffer.size() - 3, 3, "ACK") == 0) {
        m_complete = true;
        return true;
    }
    return false;
}

void CReplyAssembler::Clear() {
    m_buffer.clear();
    m_complete = false;
}

} // namespace radio
