#pragma once
// UTF-8 helpers for the system code page, which is UTF-8 here: decoding with U+FFFD for bytes
// that do not form a character, encoding, byte limits that never cut a character in half, and
// the width in bytes a text would have on the original two-byte code page. Stateless.

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

constexpr uint32_t kReplacementChar = 0xFFFD;

// Decodes the character at p (p < end) and advances p past it. A malformed or truncated
// sequence, an overlong form, a surrogate or a value above U+10FFFF yields U+FFFD and advances
// by one byte, so every byte is consumed exactly once.
inline uint32_t Utf8Decode(const char*& p, const char* end) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const auto* e = reinterpret_cast<const unsigned char*>(end);
    const unsigned c = s[0];
    if (c < 0x80) {
        ++p;
        return c;
    }
    int n = 0;
    uint32_t cp = 0, min = 0;
    if ((c & 0xE0) == 0xC0) {
        n = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 3, cp = c & 0x07, min = 0x10000;
    } else {
        ++p;
        return kReplacementChar;
    }
    if (e - s <= n) {
        ++p;
        return kReplacementChar;
    }
    for (int i = 1; i <= n; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            ++p;
            return kReplacementChar;
        }
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++p;
        return kReplacementChar;
    }
    p += n + 1;
    return cp;
}

inline void Utf8Append(std::string& out, uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacementChar;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The number of bytes of the character at p (p < end) as Utf8Decode reads it: a byte that
// does not start a well-formed sequence is a character of its own.
inline std::size_t Utf8CharLength(const char* p, const char* end) {
    const char* next = p;
    Utf8Decode(next, end);
    return static_cast<std::size_t>(next - p);
}

// The longest prefix of at most maxBytes bytes that ends on a character boundary, characters
// counted as Utf8Decode reads them: only a well-formed sequence that straddles the limit moves
// the cut back, so malformed text (stray continuation bytes) is never cut to nothing.
inline std::size_t Utf8PrefixLength(const char* text, std::size_t length, std::size_t maxBytes) {
    if (length <= maxBytes)
        return length;
    const char* end = text + length;
    std::size_t n = 0;
    while (n < maxBytes) {
        const std::size_t step = Utf8CharLength(text + n, end);
        if (n + step > maxBytes)
            break;
        n += step;
    }
    return n;
}

// Length in bytes on the original code page: ASCII one byte, any other character two.
inline std::size_t CodePageLength(const char* text, std::size_t length) {
    std::size_t n = 0;
    const char* p = text;
    const char* end = text + length;
    while (p < end)
        n += Utf8Decode(p, end) < 0x80 ? 1 : 2;
    return n;
}

} // namespace plat
