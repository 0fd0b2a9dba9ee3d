#include "pane/core/Xml.h"

#include "pane/core/ResourcePath.h"
#include "platform/base/TextUtf8.h"
#include "platform/sys/File.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Pane {

namespace {

bool IsBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

// Letters and digits in the multi-byte sense: every byte of a non-ASCII UTF-8 character counts.
struct IdentifierTable {
    bool bytes[256] = {};
    IdentifierTable() {
        for (int u = 0; u < 256; ++u) {
            bytes[u] = u >= 0x80 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                       (u >= '0' && u <= '9') || u == '_' || u == ':';
        }
    }
};
const IdentifierTable kIdentifier;

bool IsIdentifierChar(char c) {
    return kIdentifier.bytes[static_cast<unsigned char>(c)];
}

// Copies at most `limit` bytes of text, cutting before a character that would not fit whole.
void CopyWhole(char* out, const char* text, std::size_t limit) {
    const std::size_t n = plat::Utf8PrefixLength(text, strnlen(text, limit + 1), limit);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

} // namespace

// --- CXmlElement ---------------------------------------------------------------------------

CXmlElement CXmlElement::GetSibling() const {
    if (m_doc == nullptr || m_doc->m_elements[m_index].sibling == 0) {
        return {};
    }
    return {m_doc, m_doc->m_elements[m_index].sibling};
}

CXmlElement CXmlElement::GetChild() const {
    if (m_doc == nullptr || m_doc->m_elements[m_index].child == 0) {
        return {};
    }
    return {m_doc, m_doc->m_elements[m_index].child};
}

bool CXmlElement::HasChildren() const {
    return m_doc != nullptr && m_doc->m_elements[m_index].child != 0;
}

const char* CXmlElement::GetName() const {
    return m_doc == nullptr ? nullptr : m_doc->m_buffer.data() + m_doc->m_elements[m_index].name;
}

const char* CXmlElement::GetValue() const {
    return m_doc == nullptr ? nullptr : m_doc->m_buffer.data() + m_doc->m_elements[m_index].content;
}

int CXmlElement::GetAttributeCount() const {
    return m_doc == nullptr ? 0 : static_cast<int>(m_doc->m_elements[m_index].attributeCount);
}

const char* CXmlElement::GetAttributeName(int index) const {
    if (m_doc == nullptr) {
        return nullptr;
    }
    const auto& e = m_doc->m_elements[m_index];
    if (index < 0 || static_cast<uint32_t>(index) >= e.attributeCount) {
        return "";
    }
    return m_doc->m_buffer.data() + m_doc->m_attributes[e.firstAttribute + index].name;
}

const char* CXmlElement::GetAttributeValue(int index) const {
    if (m_doc == nullptr) {
        return nullptr;
    }
    const auto& e = m_doc->m_elements[m_index];
    if (index < 0 || static_cast<uint32_t>(index) >= e.attributeCount) {
        return "";
    }
    return m_doc->m_buffer.data() + m_doc->m_attributes[e.firstAttribute + index].value;
}

bool CXmlElement::GetAttributeValue(const char* name, char* buffer, std::size_t size) const {
    if (m_doc == nullptr || name == nullptr || buffer == nullptr || size == 0) {
        return false;
    }
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(GetAttributeName(i), name) == 0) {
            const std::size_t limit =
                size - 1 < CXmlDoc::kMaxValueLength ? size - 1 : CXmlDoc::kMaxValueLength;
            CopyWhole(buffer, GetAttributeValue(i), limit);
            return true;
        }
    }
    return false;
}

// --- CXmlDoc -------------------------------------------------------------------------------

void CXmlDoc::Release() {
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_elements.clear();
    m_elements.shrink_to_fit();
    m_attributes.clear();
    m_end = nullptr;
}

CXmlElement CXmlDoc::GetRoot() const {
    if (m_elements.size() < 2) {
        return {};
    }
    return {this, 1};
}

bool CXmlDoc::Load(const char* text) {
    Release();
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    m_buffer.assign(text, text + length);
    m_buffer.push_back('\0');
    return Parse();
}

bool CXmlDoc::LoadFromMem(const uint8_t* bytes, std::size_t length) {
    Release();
    if (bytes == nullptr) {
        length = 0;
    }
    if (length > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        length -= 3;
    }
    // The system code page is UTF-8, so the round trip through UTF-16 keeps valid text as it is
    // and turns each invalid sequence into U+FFFD. A NUL byte ends the text, as it would there.
    m_buffer.reserve(length + 1);
    const char* p = reinterpret_cast<const char*>(bytes);
    const char* end = p + strnlen(p, length);
    while (p < end) {
        const char* start = p;
        // A one-byte U+FFFD is a byte that formed no character; a literal U+FFFD takes three.
        if (plat::Utf8Decode(p, end) == plat::kReplacementChar && p - start == 1) {
            m_buffer.insert(m_buffer.end(), {'\xEF', '\xBF', '\xBD'});
        } else {
            m_buffer.insert(m_buffer.end(), start, p);
        }
    }
    m_buffer.push_back('\0');
    return Parse();
}

bool CXmlDoc::LoadFromFile(const char* name) {
    CUIString path = GetResourcePath();
    path += name != nullptr ? name : "";
    return LoadFromPath(path.GetData());
}

bool CXmlDoc::LoadFromPath(const char* path) {
    Release();
    // The file is looked at first for the error texts (the reader answers only yes or no);
    // the read itself then checks the size again on what it gets.
    const int fd = path != nullptr ? ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
    struct stat info {};
    const bool regular = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (fd >= 0) {
        ::close(fd);
    }
    if (!regular) {
        return Fail("Error opening file", nullptr);
    }
    if (info.st_size == 0) {
        return Fail("File is empty", nullptr);
    }
    if (static_cast<uint64_t>(info.st_size) > kMaxFileSize) {
        return Fail("File too large", nullptr);
    }
    std::vector<uint8_t> bytes;
    if (!plat::ReadFileBytes(path, &bytes, kMaxFileSize) ||
        bytes.size() != static_cast<std::size_t>(info.st_size)) {
        return Fail("Could not read file", nullptr);
    }
    return LoadFromMem(bytes.data(), bytes.size());
}

bool CXmlDoc::Fail(const char* message, const char* at) {
    CopyWhole(m_errorMessage, message, sizeof m_errorMessage - 1);
    if (at != nullptr && at < m_end) {
        CopyWhole(m_errorExcerpt, at, sizeof m_errorExcerpt - 1);
    } else {
        m_errorExcerpt[0] = '\0';
    }
    Release();
    return false;
}

void CXmlDoc::GrowElements() {
    if (m_elements.size() == m_elements.capacity()) {
        const std::size_t capacity = m_elements.capacity();
        m_elements.reserve(capacity + capacity / 2 + 500);
    }
}

namespace {

// Bytes that end a plain run while decoding: the text's end, both stop bytes and "&"; the
// second table adds the space for documents that collapse whitespace.
struct SpecialTables {
    bool plain[256] = {};
    bool collapsing[256] = {};
    SpecialTables() {
        for (unsigned char c : {'\0', '<', '"', '&'}) {
            plain[c] = collapsing[c] = true;
        }
        collapsing[static_cast<unsigned char>(' ')] = true;
    }
};
const SpecialTables kSpecial;

// Decodes one of the five entities at p (which points at "&"); returns its length, 0 if none.
std::size_t MatchEntity(const char* p, char& value) {
    switch (p[1]) {
        case 'a':
            if (std::memcmp(p + 1, "amp;", 4) == 0) {
                value = '&';
                return 5;
            }
            if (std::memcmp(p + 1, "apos;", 5) == 0) {
                value = '\'';
                return 6;
            }
            return 0;
        case 'l':
            if (p[2] == 't' && p[3] == ';') {
                value = '<';
                return 4;
            }
            return 0;
        case 'g':
            if (p[2] == 't' && p[3] == ';') {
                value = '>';
                return 4;
            }
            return 0;
        case 'q':
            if (std::memcmp(p + 1, "quot;", 5) == 0) {
                value = '"';
                return 6;
            }
            return 0;
        default:
            return 0;
    }
}

} // namespace

bool CXmlDoc::DecodeText(char*& cursor, char stop) {
    // Nothing ahead of the cursor has been written yet, so the only zero byte ahead is the
    // text's end, and every comparison below stays inside the buffer. memcmp reads of an
    // entity stop at the first differing byte, which the terminator guarantees.
    const bool* special = m_preserveWhitespace ? kSpecial.plain : kSpecial.collapsing;
    char* out = cursor;
    for (;;) {
        if (out == cursor) {
            while (!special[static_cast<unsigned char>(*cursor)]) {
                ++cursor;
            }
            out = cursor;
        } else {
            while (!special[static_cast<unsigned char>(*cursor)]) {
                *out++ = *cursor++;
            }
        }
        if (cursor >= m_end || *cursor == stop) {
            break;
        }
        char value = 0;
        std::size_t length = 0;
        if (*cursor == '&' && (length = MatchEntity(cursor, value)) != 0) {
            *out++ = value;
            cursor += length;
        } else if (*cursor == ' ') {
            *out++ = *cursor++;
            while (cursor < m_end && IsBlank(*cursor)) {
                ++cursor;
            }
        } else {
            // A literal "&" or the other stop byte.
            *out++ = *cursor++;
        }
    }
    // The decoded text ends where the copy ends; the bytes up to the cursor become blanks so
    // that scans over the buffer read them as separators.
    if (out < cursor) {
        *out = '\0';
        for (char* p = out + 1; p < cursor; ++p) {
            *p = ' ';
        }
    }
    return cursor < m_end;
}

bool CXmlDoc::CloseElement(char*& cursor, uint32_t index) {
    // At "</": the element's content ends here.
    *cursor = '\0';
    cursor += 2;
    while (cursor < m_end && IsBlank(*cursor)) {
        ++cursor;
    }
    const char* name = m_buffer.data() + m_elements[index].name;
    const std::size_t length = std::strlen(name);
    if (static_cast<std::size_t>(m_end - cursor) < length || std::memcmp(cursor, name, length)) {
        return Fail("Unmatched closing tag", cursor);
    }
    cursor += length;
    while (cursor < m_end && IsBlank(*cursor)) {
        ++cursor;
    }
    if (cursor >= m_end || *cursor != '>') {
        return Fail("Unmatched closing tag", cursor);
    }
    ++cursor;
    return true;
}

bool CXmlDoc::Parse() {
    m_errorMessage[0] = '\0';
    m_errorExcerpt[0] = '\0';
    m_elements.clear();
    m_attributes.clear();
    GrowElements();
    m_elements.emplace_back(); // entry 0: "none"

    // The buffer holds the text and its terminator; zero padding behind it lets entity
    // comparisons near the end read whole words without leaving the buffer.
    const std::size_t length = m_buffer.size() - 1;
    m_buffer.resize(m_buffer.size() + 8, '\0');
    char* const base = m_buffer.data();
    m_end = base + length;
    char* cursor = base;
    const auto offset = [base](const char* p) { return static_cast<uint32_t>(p - base); };

    // The open elements, innermost last, with the last child seen at each level. Level 0 is
    // the document itself.
    struct Level {
        uint32_t parent;
        uint32_t previous;
    };
    std::vector<Level> levels{{0, 0}};

    for (;;) {
        Level& level = levels.back();
        while (cursor < m_end && IsBlank(*cursor)) {
            ++cursor;
        }
        if (cursor >= m_end) {
            if (level.parent < 2) {
                return true;
            }
            return Fail("Expected start tag", cursor);
        }
        if (*cursor != '<') {
            return Fail("Expected start tag", cursor);
        }
        if (cursor[1] == '/') {
            if (levels.size() == 1) {
                return true;
            }
            const uint32_t closing = level.parent;
            levels.pop_back();
            if (!CloseElement(cursor, closing)) {
                return false;
            }
            continue;
        }
        *cursor++ = '\0';
        while (cursor < m_end && IsBlank(*cursor)) {
            ++cursor;
        }
        if (cursor < m_end && (*cursor == '!' || *cursor == '?')) {
            const char closer = *cursor == '!' ? '-' : '?';
            ++cursor;
            while (cursor < m_end && !(cursor[0] == closer && cursor[1] == '>')) {
                ++cursor;
            }
            cursor = cursor < m_end ? cursor + 2 : m_end;
            continue;
        }

        GrowElements();
        const auto index = static_cast<uint32_t>(m_elements.size());
        Element element;
        element.name = offset(cursor);
        element.parent = level.parent;
        element.firstAttribute = static_cast<uint32_t>(m_attributes.size());
        m_elements.push_back(element);
        if (level.previous != 0) {
            m_elements[level.previous].sibling = index;
        } else if (level.parent != 0) {
            m_elements[level.parent].child = index;
        }
        level.previous = index;

        char* nameStart = cursor;
        while (cursor < m_end && IsIdentifierChar(*cursor)) {
            ++cursor;
        }
        if (cursor == nameStart) {
            return Fail("Error parsing element name", cursor);
        }
        if (cursor < m_end && *cursor != '>') {
            // Attributes: name = "value" pairs up to ">" or "/". A "/" right after the name is
            // kept: it is the empty-element close, and its terminator ends the name.
            if (IsBlank(*cursor)) {
                *cursor++ = '\0';
            }
            for (;;) {
                while (cursor < m_end && IsBlank(*cursor)) {
                    ++cursor;
                }
                if (cursor >= m_end || *cursor == '>' || *cursor == '/') {
                    break;
                }
                char* attributeName = cursor;
                while (cursor < m_end && IsIdentifierChar(*cursor)) {
                    ++cursor;
                }
                char* nameEnd = cursor;
                while (cursor < m_end && IsBlank(*cursor)) {
                    ++cursor;
                }
                if (cursor >= m_end || *cursor != '=') {
                    return Fail("Error while parsing attributes", cursor);
                }
                *cursor++ = ' ';
                *nameEnd = '\0';
                while (cursor < m_end && IsBlank(*cursor)) {
                    ++cursor;
                }
                if (cursor >= m_end || *cursor != '"') {
                    return Fail("Expected attribute value", cursor);
                }
                char* value = ++cursor;
                if (!DecodeText(cursor, '"')) {
                    return Fail("Error while parsing attribute string", value);
                }
                if (*cursor == '"') {
                    // Not shortened by decoding: the closing quote becomes the terminator.
                    *cursor = '\0';
                } else {
                    *cursor = ' ';
                }
                ++cursor;
                Element& current = m_elements[index];
                if (current.attributeCount < static_cast<uint32_t>(kMaxAttributes)) {
                    m_attributes.push_back({offset(attributeName), offset(value)});
                    ++current.attributeCount;
                }
            }
        }
        while (cursor < m_end && IsBlank(*cursor)) {
            ++cursor;
        }
        if (cursor < m_end && cursor[0] == '/' && cursor[1] == '>') {
            m_elements[index].content = offset(cursor);
            *cursor = '\0';
            cursor += 2;
            continue;
        }
        if (cursor >= m_end || *cursor != '>') {
            return Fail("Expected start-tag closing", cursor);
        }
        // The name may run up to the ">" when there are no attributes: end it there.
        *cursor++ = '\0';
        m_elements[index].content = offset(cursor);
        // Content stops only at "<" or at the end of the text. Ending inside the content is
        // tolerated down to the root's children, as between elements; deeper, an element
        // start or end tag was due.
        if (!DecodeText(cursor, '<')) {
            if (m_elements[index].parent < 2) {
                return true;
            }
            return Fail("Expected start tag", cursor);
        }
        if (cursor[1] != '/') {
            levels.push_back({index, 0});
            continue;
        }
        if (!CloseElement(cursor, index)) {
            return false;
        }
    }
}

} // namespace Pane
