#pragma once
// CXmlDoc parses window markup (a small XML subset: nested elements, double-quoted attributes,
// text, five entities, comments and processing instructions skipped) into one text buffer and a
// flat element table; CXmlElement is a cheap handle to one element. Names and values are
// zero-terminated strings inside the document's buffer, valid while the document lives and is
// not reloaded. Parsing uses no recursion, so nesting depth is bounded only by memory.
// UI thread only; a document is not shared between threads.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Pane {

class CXmlDoc;

class CXmlElement {
public:
    CXmlElement() = default;

    bool IsValid() const { return m_doc != nullptr; }
    CXmlElement GetSibling() const;
    CXmlElement GetChild() const;
    bool HasChildren() const;

    // Null for an invalid handle.
    const char* GetName() const;
    const char* GetValue() const; // the text content; empty when none

    int GetAttributeCount() const;
    bool HasAttributes() const { return GetAttributeCount() > 0; }
    // An index outside 0..count-1 gives ""; an invalid handle gives null.
    const char* GetAttributeName(int index) const;
    const char* GetAttributeValue(int index) const;
    // Exact, case-sensitive name. Copies at most 499 bytes (never half a character, never more
    // than size - 1) and terminates; false when the element has no such attribute.
    bool GetAttributeValue(const char* name, char* buffer, std::size_t size) const;

private:
    friend class CXmlDoc;
    CXmlElement(const CXmlDoc* doc, uint32_t index) : m_doc(doc), m_index(index) {}

    const CXmlDoc* m_doc = nullptr;
    uint32_t m_index = 0;
};

class CXmlDoc {
public:
    static constexpr int kMaxAttributes = 64;
    static constexpr std::size_t kMaxValueLength = 499;
    static constexpr std::size_t kMaxFileSize = 4 * 1024 * 1024;

    CXmlDoc() = default;
    CXmlDoc(const CXmlDoc&) = delete;
    CXmlDoc& operator=(const CXmlDoc&) = delete;

    // Text already in the system code page (UTF-8), zero-terminated.
    bool Load(const char* text);
    // UTF-8 bytes; a byte-order mark is skipped and invalid sequences become U+FFFD.
    bool LoadFromMem(const uint8_t* bytes, std::size_t length);
    // A file name relative to the framework's resource path.
    bool LoadFromFile(const char* name);
    // A file path used as it is (for tools).
    bool LoadFromPath(const char* path);

    void Release();
    bool IsValid() const { return !m_elements.empty(); }
    CXmlElement GetRoot() const;
    std::size_t GetElementCount() const { return m_elements.empty() ? 0 : m_elements.size() - 1; }

    const char* GetLastErrorMessage() const { return m_errorMessage; }
    const char* GetLastErrorLocation() const { return m_errorExcerpt; }

    void SetPreserveWhitespace(bool preserve) { m_preserveWhitespace = preserve; }

private:
    friend class CXmlElement;

    struct Element {
        uint32_t name = 0;    // offset of the element name
        uint32_t child = 0;   // first child, 0 = none
        uint32_t sibling = 0; // next sibling, 0 = none
        uint32_t parent = 0;  // 0 = top level
        uint32_t content = 0; // offset of the text content
        uint32_t firstAttribute = 0;
        uint32_t attributeCount = 0; // visible ones, at most kMaxAttributes
    };
    struct Attribute {
        uint32_t name = 0;
        uint32_t value = 0;
    };

    bool Parse();
    bool Fail(const char* message, const char* at);
    void GrowElements();
    // Decodes text or an attribute value in place up to `stop`; returns false at end of text.
    bool DecodeText(char*& cursor, char stop);
    bool CloseElement(char*& cursor, uint32_t index);

    std::vector<char> m_buffer; // the text plus a terminator
    char* m_end = nullptr;      // first byte past the text
    std::vector<Element> m_elements;
    std::vector<Attribute> m_attributes;
    bool m_preserveWhitespace = true;
    char m_errorMessage[100] = {};
    char m_errorExcerpt[50] = {};
};

} // namespace Pane
