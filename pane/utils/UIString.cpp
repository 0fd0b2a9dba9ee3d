#include "pane/utils/UIString.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace Pane {

namespace {

char* Reallocate(char* block, size_t bytes) {
    char* p = static_cast<char*>(std::realloc(block, bytes));
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

// Length of text limited to at most `limit` bytes (never reads past the terminator).
size_t BoundedLength(const char* text, int limit) {
    if (limit < 0) {
        return std::strlen(text);
    }
    return strnlen(text, static_cast<size_t>(limit));
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

CUIString::CUIString() : m_data(m_buffer) {
    m_buffer[0] = '\0';
}

CUIString::CUIString(const char* text, int length) : CUIString() {
    Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : CUIString() {
    Assign(other.m_data);
}

CUIString::CUIString(CUIString&& other) noexcept : CUIString() {
    *this = std::move(other);
}

CUIString::~CUIString() {
    if (m_data != m_buffer) {
        std::free(m_data);
    }
}

CUIString& CUIString::operator=(const char* text) {
    Assign(text);
    return *this;
}

CUIString& CUIString::operator=(const CUIString& other) {
    if (this != &other) {
        Assign(other.m_data);
    }
    return *this;
}

CUIString& CUIString::operator=(CUIString&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    if (other.m_data == other.m_buffer) {
        // Inline texts are at most 62 bytes; copying them cannot allocate.
        if (m_data != m_buffer) {
            std::free(m_data);
            m_data = m_buffer;
        }
        std::memcpy(m_buffer, other.m_buffer, std::strlen(other.m_buffer) + 1);
    } else {
        if (m_data != m_buffer) {
            std::free(m_data);
        }
        m_data = other.m_data;
        other.m_data = other.m_buffer;
        other.m_buffer[0] = '\0';
    }
    return *this;
}

CUIString& CUIString::operator+=(const char* text) {
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(const CUIString& other) {
    Append(other.m_data);
    return *this;
}

CUIString CUIString::operator+(const char* text) const {
    CUIString result(*this);
    result.Append(text);
    return result;
}

CUIString CUIString::operator+(const CUIString& other) const {
    return *this + other.m_data;
}

bool CUIString::operator==(const char* text) const {
    return std::strcmp(m_data, text == nullptr ? "" : text) == 0;
}

void CUIString::Assign(const char* text, int length) {
    if (text == nullptr) {
        text = "";
    }
    const size_t newLength = BoundedLength(text, length);
    // The source may lie inside this string's own storage (s = s.Mid(...).GetData() or a
    // pointer into it); take a copy before the storage can move or be freed.
    const char* end = m_data + std::strlen(m_data) + 1;
    std::string aliasCopy;
    if (text >= m_data && text < end) {
        aliasCopy.assign(text, newLength);
        text = aliasCopy.c_str();
    }
    if (newLength > static_cast<size_t>(kMaxInlineLength)) {
        if (m_data == m_buffer) {
            m_data = Reallocate(nullptr, newLength + 1);
        } else if (std::strlen(m_data) < newLength) {
            m_data = Reallocate(m_data, newLength + 1);
        }
    } else if (m_data != m_buffer) {
        std::free(m_data);
        m_data = m_buffer;
    }
    std::memmove(m_data, text, newLength);
    m_data[newLength] = '\0';
}

void CUIString::Append(const char* text) {
    if (text == nullptr) {
        return;
    }
    const size_t oldLength = std::strlen(m_data);
    const size_t addLength = std::strlen(text);
    std::string aliasCopy;
    if (text >= m_data && text <= m_data + oldLength) {
        aliasCopy.assign(text, addLength);
        text = aliasCopy.c_str();
    }
    const size_t total = oldLength + addLength;
    if (total > static_cast<size_t>(kMaxInlineLength)) {
        if (m_data == m_buffer) {
            char* block = Reallocate(nullptr, total + 1);
            std::memcpy(block, m_buffer, oldLength);
            m_data = block;
        } else {
            m_data = Reallocate(m_data, total + 1);
        }
    }
    std::memcpy(m_data + oldLength, text, addLength + 1);
}

void CUIString::Empty() {
    if (m_data != m_buffer) {
        std::free(m_data);
        m_data = m_buffer;
    }
    m_buffer[0] = '\0';
}

int CUIString::GetLength() const {
    return static_cast<int>(std::strlen(m_data));
}

char CUIString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) {
        return '\0';
    }
    return m_data[index];
}

int CUIString::Compare(const char* text) const {
    return std::strcmp(m_data, text == nullptr ? "" : text);
}

int CUIString::CompareNoCase(const char* text) const {
    if (text == nullptr) {
        text = "";
    }
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_data);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(text);
    for (;; ++a, ++b) {
        const unsigned char ca = static_cast<unsigned char>(FoldAscii(static_cast<char>(*a)));
        const unsigned char cb = static_cast<unsigned char>(FoldAscii(static_cast<char>(*b)));
        if (ca != cb || ca == 0) {
            return static_cast<int>(ca) - static_cast<int>(cb);
        }
    }
}

CUIString CUIString::Left(int count) const {
    const int length = GetLength();
    if (count < 0) {
        count = 0;
    }
    if (count > length) {
        count = length;
    }
    return CUIString(m_data, count);
}

CUIString CUIString::Mid(int position, int count) const {
    const int length = GetLength();
    // A start outside the text would read outside the buffer; clamp it to the text.
    if (position < 0) {
        position = 0;
    }
    if (position > length) {
        position = length;
    }
    if (count < 0 || count > length - position) {
        count = length - position;
    }
    if (count <= 0) {
        return CUIString();
    }
    return CUIString(m_data + position, count);
}

CUIString CUIString::Right(int count) const {
    const int length = GetLength();
    if (count < 0) {
        count = 0;
    }
    if (count > length) {
        count = length;
    }
    return CUIString(m_data + length - count, count);
}

int CUIString::Find(const char* text, int start) const {
    if (text == nullptr || start < 0 || start > GetLength()) {
        return -1;
    }
    const char* hit = std::strstr(m_data + start, text);
    return hit == nullptr ? -1 : static_cast<int>(hit - m_data);
}

int CUIString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    const char* hit = std::strchr(m_data + start, ch);
    return (hit == nullptr || ch == '\0') ? -1 : static_cast<int>(hit - m_data);
}

int CUIString::Replace(const char* from, const char* to) {
    // An empty pattern would match everywhere without advancing: nothing to replace.
    if (from == nullptr || from[0] == '\0') {
        return 0;
    }
    if (to == nullptr) {
        to = "";
    }
    const size_t fromLength = std::strlen(from);
    const size_t toLength = std::strlen(to);
    std::string result;
    int replaced = 0;
    const char* cursor = m_data;
    while (const char* hit = std::strstr(cursor, from)) {
        result.append(cursor, static_cast<size_t>(hit - cursor));
        result.append(to, toLength);
        cursor = hit + fromLength; // the inserted text is never searched again
        ++replaced;
    }
    if (replaced > 0) {
        result.append(cursor);
        Assign(result.c_str(), static_cast<int>(result.size()));
    }
    return replaced;
}

int CUIString::Format(const char* format, ...) {
    char buffer[kFormatBufferSize];
    buffer[0] = '\0';
    va_list args;
    va_start(args, format);
    const int result = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Assign(buffer);
    return result;
}

} // namespace Pane
