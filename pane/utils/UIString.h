#pragma once
// The framework's 8-bit string in the system code page. Texts of up to 62 bytes live in the
// string's own 64-byte buffer; longer ones on the heap. A plain value owned by its holder, used
// on the UI thread (nothing in it is shared).

#include <cstddef>

namespace Pane {

class CUIString {
public:
    // Texts of this many bytes or fewer stay in the inline buffer.
    static constexpr int kMaxInlineLength = 62;
    // Format builds its text in a buffer of this size, so it keeps at most 63 characters.
    static constexpr int kFormatBufferSize = 64;

    CUIString();
    // Copies at most `length` bytes of text (all of it up to the terminator when negative).
    CUIString(const char* text, int length = -1);
    CUIString(const CUIString& other);
    CUIString(CUIString&& other) noexcept;
    ~CUIString();

    CUIString& operator=(const char* text);
    CUIString& operator=(const CUIString& other);
    CUIString& operator=(CUIString&& other) noexcept;
    CUIString& operator+=(const char* text);
    CUIString& operator+=(const CUIString& other);
    CUIString operator+(const char* text) const;
    CUIString operator+(const CUIString& other) const;

    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator==(const CUIString& other) const { return *this == other.GetData(); }
    bool operator!=(const CUIString& other) const { return !(*this == other.GetData()); }
    operator const char*() const { return m_data; }

    // A null text empties the string; a negative length takes the whole text.
    void Assign(const char* text, int length = -1);
    void Append(const char* text);
    // Frees the heap block and returns to the inline buffer.
    void Empty();

    bool IsEmpty() const { return m_data[0] == '\0'; }
    int GetLength() const;
    const char* GetData() const { return m_data; }
    // The byte at index, or 0 outside the text.
    char GetAt(int index) const;
    // True while the text lives in the inline buffer (62 bytes or fewer).
    bool IsInline() const { return m_data == m_buffer; }

    // Byte-wise comparisons with strcmp's sign; the second folds ASCII letters.
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    CUIString Left(int count) const;
    // count characters from position; negative count = to the end.
    CUIString Mid(int position, int count = -1) const;
    CUIString Right(int count) const;

    // Byte position of the first occurrence at or after start, or -1.
    int Find(const char* text, int start = 0) const;
    int Find(char ch, int start = 0) const;
    // Replaces every occurrence of from by to (null to removes); returns the number replaced.
    int Replace(const char* from, const char* to);

    // printf-style; the result is cut at 63 characters. Returns the formatter's result.
    int Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

private:
    char* m_data;
    char m_buffer[64];
};

} // namespace Pane
