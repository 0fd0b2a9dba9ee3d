#include "platform/win/TextEdit.h"

#include "platform/base/TextUtf8.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace plat::detail {

// The string the editing engine works on: characters with their display widths, and the rows
// they are laid out in.
struct TextStore {
    std::u32string text;
    std::vector<float> widths; // display width of each character; 0 for a newline
    TextEdit::Measure measure;
    float lineHeight = 16;
    float viewWidth = 0;
    float viewHeight = 0;
    bool multiLine = false;
    bool wordWrap = false;
    char32_t passwordChar = 0;
    TextEdit::Align align = TextEdit::Align::Left;
    unsigned changes = 0; // bumped by every insertion and deletion

    // The displayed rows: where each starts and how wide it is. A row runs to the next row's
    // start; the last row of a paragraph holds its '\n'. Text that is empty or ends with '\n'
    // has an empty last row at its end. There is always a row. Every change lays out only the
    // rows it touches (Relayout), so that typing into a long text does not lay out all of it.
    std::vector<std::size_t> rowStarts{0};
    std::vector<float> rowWidths{0.0f};

    float Width(char32_t ch) const {
        if (ch == U'\n')
            return 0;
        const char32_t shown = passwordChar != 0 ? passwordChar : ch;
        return measure ? measure(shown) : 8.0f;
    }
    void Remeasure() {
        widths.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            widths[i] = Width(text[i]);
        Layout();
    }
    float WidthOf(std::size_t from, std::size_t to) const {
        float w = 0;
        for (std::size_t i = from; i < to; ++i)
            w += widths[i];
        return w;
    }
    float AlignOffset(float lineWidth) const {
        if (align == TextEdit::Align::Left || viewWidth <= lineWidth)
            return 0;
        const float spare = viewWidth - lineWidth;
        // Right-aligned text leaves one pixel for the caret after the last character.
        return align == TextEdit::Align::Center ? std::floor(spare / 2) : spare - 1;
    }

    bool Wraps() const { return multiLine && wordWrap && viewWidth > 0; }
    static bool BreaksAfter(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

    // Lays out the row starting at `start`: its width, and where the next row starts (past the
    // '\n' that ends a paragraph), or text.size() + 1 after the last row.
    std::size_t NextRow(std::size_t start, float* width) const {
        const bool wrap = Wraps();
        float x = 0;
        std::size_t breakAt = 0; // after the row's last blank; 0: none yet
        float breakX = 0;
        for (std::size_t i = start; i < text.size(); ++i) {
            const char32_t c = text[i];
            if (c == U'\n') {
                *width = x;
                return i + 1;
            }
            // Blanks may hang past the edge; anything else that would leave no pixel for the
            // caret starts a new row, after the last blank, or right there in a word longer
            // than a row. A row holds at least one character.
            if (wrap && i > start && !BreaksAfter(c) && x + widths[i] + 1 > viewWidth) {
                *width = breakAt > start ? breakX : x;
                return breakAt > start ? breakAt : i;
            }
            x += widths[i];
            if (BreaksAfter(c)) {
                breakAt = i + 1;
                breakX = x;
            }
        }
        *width = x;
        return text.size() + 1;
    }
    void Layout() {
        rowStarts.clear();
        rowWidths.clear();
        for (std::size_t start = 0; start <= text.size();) {
            float width = 0;
            const std::size_t next = NextRow(start, &width);
            rowStarts.push_back(start);
            rowWidths.push_back(width);
            start = next;
        }
    }
    // After `removed` characters at `at` were replaced by `inserted` ones: lays the rows out
    // again from the one before the change until a row starts where an old one did, past the
    // change (from there on nothing differs but the position), and moves the rest.
    void Relayout(std::size_t at, std::size_t removed, std::size_t inserted) {
        // A row's end depends on the text up to the first word of the next row, so the row
        // before the changed one may change as well, but none before it.
        std::size_t first = RowOf(at);
        if (first > 0)
            --first;
        std::vector<std::size_t> starts;
        std::vector<float> newWidths;
        std::size_t old = first + 1; // the first old row not yet passed
        for (std::size_t pos = rowStarts[first];;) {
            float width = 0;
            const std::size_t next = NextRow(pos, &width);
            starts.push_back(pos);
            newWidths.push_back(width);
            if (next > text.size()) {
                old = rowStarts.size();
                break;
            }
            if (next >= at + inserted) {
                const std::size_t oldNext = next + removed - inserted;
                while (old < rowStarts.size() && rowStarts[old] < oldNext)
                    ++old;
                if (old < rowStarts.size() && rowStarts[old] == oldNext)
                    break;
            }
            pos = next;
        }
        const auto from = static_cast<std::ptrdiff_t>(first);
        const auto to = static_cast<std::ptrdiff_t>(old);
        rowStarts.erase(rowStarts.begin() + from, rowStarts.begin() + to);
        rowStarts.insert(rowStarts.begin() + from, starts.begin(), starts.end());
        rowWidths.erase(rowWidths.begin() + from, rowWidths.begin() + to);
        rowWidths.insert(rowWidths.begin() + from, newWidths.begin(), newWidths.end());
        for (std::size_t r = first + starts.size(); r < rowStarts.size(); ++r)
            rowStarts[r] = rowStarts[r] + inserted - removed;
    }

    std::size_t RowCount() const { return rowStarts.size(); }
    // The row showing the character at `index`; a position where a row wraps belongs to the
    // row it starts.
    std::size_t RowOf(std::size_t index) const {
        const auto after = std::upper_bound(rowStarts.begin(), rowStarts.end(), index);
        return static_cast<std::size_t>(after - rowStarts.begin()) - 1;
    }
    std::size_t RowNext(std::size_t row) const {
        return row + 1 < rowStarts.size() ? rowStarts[row + 1] : text.size();
    }
    // The end of a row's characters, without its '\n'.
    std::size_t RowEnd(std::size_t row) const {
        const std::size_t next = RowNext(row);
        return next > rowStarts[row] && text[next - 1] == U'\n' ? next - 1 : next;
    }
    // The last caret position on a row: before its '\n', or before the character at which it
    // wraps (the position after it is the start of the next row); the end of the text on the
    // last row.
    std::size_t RowCaretEnd(std::size_t row) const {
        return row + 1 < rowStarts.size() ? rowStarts[row + 1] - 1 : text.size();
    }
    float XOf(std::size_t index) const {
        const std::size_t row = RowOf(index);
        return AlignOffset(rowWidths[row]) + WidthOf(rowStarts[row], index);
    }
    // The caret position on `row` nearest to `x` (view coordinates, scroll not applied).
    std::size_t PositionInRow(std::size_t row, float x) const {
        const std::size_t end = RowCaretEnd(row);
        float left = AlignOffset(rowWidths[row]);
        std::size_t pos = rowStarts[row];
        while (pos < end && x >= left + widths[pos] / 2)
            left += widths[pos++];
        return pos;
    }
};

} // namespace plat::detail

using plat::detail::TextStore;

namespace {

constexpr int kKeyDown = 0x01000000; // above every code point: never a character
constexpr int kShift = 0x02000000;
constexpr int kCtrl = 0x04000000;

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == 0x3000;
}

} // namespace

#define STB_TEXTEDIT_CHARTYPE char32_t
#define STB_TEXTEDIT_POSITIONTYPE int
#define STB_TEXTEDIT_STRING TextStore
#define STB_TEXTEDIT_memmove std::memmove
#define STB_TEXTEDIT_STRINGLEN(s) (static_cast<int>((s)->text.size()))
#define STB_TEXTEDIT_LAYOUTROW(r, s, n) LayoutRow((r), (s), (n))
#define STB_TEXTEDIT_GETWIDTH(s, n, i) GetWidth((s), (n), (i))
#define STB_TEXTEDIT_GETWIDTH_NEWLINE (-1.0f)
#define STB_TEXTEDIT_KEYTOTEXT(k) (((k)&kKeyDown) ? -1 : (k))
#define STB_TEXTEDIT_GETCHAR(s, i) ((s)->text[static_cast<std::size_t>(i)])
#define STB_TEXTEDIT_NEWLINE U'\n'
#define STB_TEXTEDIT_IS_SPACE(c) IsSpace(c)
#define STB_TEXTEDIT_DELETECHARS(s, i, n) DeleteChars((s), (i), (n))
#define STB_TEXTEDIT_INSERTCHARS(s, i, c, n) InsertChars((s), (i), (c), (n))
#define STB_TEXTEDIT_K_SHIFT kShift
#define STB_TEXTEDIT_K_LEFT (kKeyDown | 1)
#define STB_TEXTEDIT_K_RIGHT (kKeyDown | 2)
#define STB_TEXTEDIT_K_UP (kKeyDown | 3)
#define STB_TEXTEDIT_K_DOWN (kKeyDown | 4)
#define STB_TEXTEDIT_K_PGUP (kKeyDown | 5)
#define STB_TEXTEDIT_K_PGDOWN (kKeyDown | 6)
#define STB_TEXTEDIT_K_LINESTART (kKeyDown | 7)
#define STB_TEXTEDIT_K_LINEEND (kKeyDown | 8)
#define STB_TEXTEDIT_K_TEXTSTART (kKeyDown | kCtrl | 7)
#define STB_TEXTEDIT_K_TEXTEND (kKeyDown | kCtrl | 8)
#define STB_TEXTEDIT_K_DELETE (kKeyDown | 9)
#define STB_TEXTEDIT_K_BACKSPACE (kKeyDown | 10)
#define STB_TEXTEDIT_K_UNDO (kKeyDown | 11)
#define STB_TEXTEDIT_K_REDO (kKeyDown | 12)
#define STB_TEXTEDIT_K_WORDLEFT (kKeyDown | kCtrl | 1)
#define STB_TEXTEDIT_K_WORDRIGHT (kKeyDown | kCtrl | 2)

#include "stb_textedit.h" // the state and row types

namespace {

void LayoutRow(StbTexteditRow* row, TextStore* s, int start) {
    const std::size_t r = s->RowOf(static_cast<std::size_t>(start));
    const float width = s->rowWidths[r];
    row->x0 = s->AlignOffset(width);
    row->x1 = row->x0 + width;
    row->baseline_y_delta = s->lineHeight;
    row->ymin = 0;
    row->ymax = s->lineHeight;
    row->num_chars = static_cast<int>(s->RowNext(r) - static_cast<std::size_t>(start));
}

float GetWidth(TextStore* s, int start, int i) {
    const auto at = static_cast<std::size_t>(start + i);
    return s->text[at] == U'\n' ? STB_TEXTEDIT_GETWIDTH_NEWLINE : s->widths[at];
}

void DeleteChars(TextStore* s, int at, int n) {
    const auto pos = static_cast<std::ptrdiff_t>(at);
    s->text.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(n));
    s->widths.erase(s->widths.begin() + pos, s->widths.begin() + pos + n);
    s->Relayout(static_cast<std::size_t>(at), static_cast<std::size_t>(n), 0);
    ++s->changes;
}

int InsertChars(TextStore* s, int at, const char32_t* chars, int n) {
    const auto pos = static_cast<std::size_t>(at);
    s->text.insert(pos, chars, static_cast<std::size_t>(n));
    std::vector<float> w(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        w[static_cast<std::size_t>(i)] = s->Width(chars[i]);
    s->widths.insert(s->widths.begin() + static_cast<std::ptrdiff_t>(pos), w.begin(), w.end());
    s->Relayout(pos, 0, static_cast<std::size_t>(n));
    ++s->changes;
    return 1;
}

} // namespace

#define STB_TEXTEDIT_IMPLEMENTATION
#include "stb_textedit.h" // the engine, as functions local to this file

namespace plat {

struct TextEdit::Impl {
    TextStore store;
    STB_TexteditState state{};
    std::size_t limit = kDefaultLimit;
    bool numberOnly = false;
    bool readOnly = false;
    bool autoScroll = true;
    bool modified = false;
    float scrollX = 0;
    float scrollY = 0;

    void Reset() {
        stb_textedit_initialize_state(&state, store.multiLine ? 0 : 1);
        SetPageRows();
    }
    void SetPageRows() {
        const float rows = store.lineHeight > 0 ? store.viewHeight / store.lineHeight : 1;
        state.row_count_per_page = std::max(1, static_cast<int>(rows));
    }
    // Up and down through the displayed rows, keeping the column the caret came from. The
    // engine's own version treats the end of the text as a row of its own, so a caret at the
    // very end would go to the start of its own row instead of the row above.
    bool hasGoalX = false;
    bool movingLines = false;
    float goalX = 0;

    void MoveLines(long rows, bool shift) {
        const std::size_t caret = static_cast<std::size_t>(state.cursor);
        const long count = static_cast<long>(store.RowCount());
        const long row = static_cast<long>(store.RowOf(caret));
        const long target = std::clamp(row + rows, 0L, count - 1);
        if (!hasGoalX) {
            goalX = store.XOf(caret);
            hasGoalX = true;
        }
        MoveCaret(store.PositionInRow(static_cast<std::size_t>(target), goalX), shift);
    }
    // The caret to `pos`; with shift the selection stretches from where it was anchored.
    void MoveCaret(std::size_t pos, bool shift) {
        const int anchor =
            state.select_start != state.select_end ? state.select_start : state.cursor;
        state.cursor = static_cast<int>(pos);
        state.select_start = shift ? anchor : state.cursor;
        state.select_end = state.cursor;
    }

    std::size_t SelectionLength() const {
        return static_cast<std::size_t>(std::abs(state.select_end - state.select_start));
    }
};

namespace {

std::u32string Decode(std::string_view utf8) {
    std::u32string out;
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p < end)
        out += static_cast<char32_t>(Utf8Decode(p, end));
    return out;
}

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// Line breaks as the edit keeps them: "\r\n" and a lone '\r' become '\n'.
std::u32string NormaliseBreaks(const std::u32string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\r') {
            out += U'\n';
            if (i + 1 < text.size() && text[i + 1] == U'\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// What the user may put into the text: single-line text stops at its first line break;
// control characters other than tab (and newline in multi-line text) are dropped.
std::u32string CleanInput(const std::u32string& raw, bool multiLine) {
    std::u32string text = NormaliseBreaks(raw);
    if (!multiLine) {
        const std::size_t nl = text.find(U'\n');
        if (nl != std::u32string::npos)
            text.resize(nl);
    }
    std::u32string out;
    for (char32_t c : text)
        if (!(c < 0x20 || c == 0x7F) || c == U'\t' || (c == U'\n' && multiLine))
            out += c;
    return out;
}

} // namespace

TextEdit::TextEdit(bool multiLine) : m_impl(std::make_unique<Impl>()) {
    m_impl->store.multiLine = multiLine;
    m_impl->Reset();
}

TextEdit::~TextEdit() = default;

bool TextEdit::MultiLine() const {
    return m_impl->store.multiLine;
}

void TextEdit::SetText(std::string_view utf8) {
    TextStore& s = m_impl->store;
    std::u32string text = NormaliseBreaks(Decode(utf8));
    if (!s.multiLine) {
        const std::size_t nl = text.find(U'\n');
        if (nl != std::u32string::npos)
            text.resize(nl);
    }
    s.text = std::move(text);
    s.Remeasure();
    ++s.changes;
    m_impl->Reset();
    m_impl->scrollX = m_impl->scrollY = 0;
    ScrollToCaret();
}

std::string TextEdit::Text() const {
    const std::u32string& text = m_impl->store.text;
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else
            Utf8Append(out, c);
    }
    return out;
}

std::size_t TextEdit::Length() const {
    return m_impl->store.text.size();
}

char32_t TextEdit::DisplayChar(std::size_t index) const {
    const TextStore& s = m_impl->store;
    if (index >= s.text.size())
        return 0;
    return s.passwordChar != 0 ? s.passwordChar : s.text[index];
}

std::u32string TextEdit::DisplayText() const {
    const TextStore& s = m_impl->store;
    if (s.passwordChar != 0)
        return std::u32string(s.text.size(), s.passwordChar);
    return s.text;
}

void TextEdit::SetLimit(std::size_t characters) {
    m_impl->limit = characters == 0 ? kDefaultLimit : std::min(characters, kDefaultLimit);
}

std::size_t TextEdit::Limit() const {
    return m_impl->limit;
}

void TextEdit::SetNumberOnly(bool on) {
    m_impl->numberOnly = on;
}

bool TextEdit::NumberOnly() const {
    return m_impl->numberOnly;
}

void TextEdit::SetReadOnly(bool on) {
    m_impl->readOnly = on;
}

bool TextEdit::ReadOnly() const {
    return m_impl->readOnly;
}

void TextEdit::SetPasswordChar(char32_t ch) {
    m_impl->store.passwordChar = ch;
    m_impl->store.Remeasure();
    ScrollToCaret();
}

char32_t TextEdit::PasswordChar() const {
    return m_impl->store.passwordChar;
}

void TextEdit::SetAutoScroll(bool on) {
    m_impl->autoScroll = on;
    ScrollToCaret();
}

void TextEdit::SetAlign(Align align) {
    m_impl->store.align = align;
    ScrollToCaret();
}

void TextEdit::SetWordWrap(bool on) {
    TextStore& s = m_impl->store;
    if (s.wordWrap == on)
        return;
    s.wordWrap = on;
    s.Layout();
    ScrollToCaret();
}

bool TextEdit::WordWrap() const {
    return m_impl->store.Wraps();
}

void TextEdit::SetMeasure(Measure measure, float lineHeight) {
    m_impl->store.measure = std::move(measure);
    m_impl->store.lineHeight = lineHeight > 0 ? lineHeight : 1;
    m_impl->store.Remeasure();
    m_impl->SetPageRows();
    ScrollToCaret();
}

void TextEdit::SetViewSize(float width, float height) {
    TextStore& s = m_impl->store;
    const bool wrapped = s.Wraps();
    const float oldWidth = s.viewWidth;
    s.viewWidth = std::max(0.0f, width);
    s.viewHeight = std::max(0.0f, height);
    // Wrapped rows follow the width.
    if ((wrapped || s.Wraps()) && s.viewWidth != oldWidth)
        s.Layout();
    m_impl->SetPageRows();
    ScrollToCaret();
}

float TextEdit::LineHeight() const {
    return m_impl->store.lineHeight;
}

void TextEdit::SetSelection(long start, long end) {
    STB_TexteditState& st = m_impl->state;
    const long length = static_cast<long>(Length());
    if (start < 0) {
        st.select_start = st.select_end = st.cursor;
    } else {
        if (end < 0 || end > length)
            end = length;
        start = std::min(start, length);
        st.select_start = static_cast<int>(start);
        st.select_end = static_cast<int>(end);
        st.cursor = static_cast<int>(end);
    }
    st.has_preferred_x = 0;
    ScrollToCaret();
}

void TextEdit::GetSelection(std::size_t& start, std::size_t& end) const {
    const STB_TexteditState& st = m_impl->state;
    if (st.select_start == st.select_end) {
        start = end = static_cast<std::size_t>(st.cursor);
        return;
    }
    start = static_cast<std::size_t>(std::min(st.select_start, st.select_end));
    end = static_cast<std::size_t>(std::max(st.select_start, st.select_end));
}

bool TextEdit::HasSelection() const {
    return m_impl->state.select_start != m_impl->state.select_end;
}

std::size_t TextEdit::Caret() const {
    return static_cast<std::size_t>(m_impl->state.cursor);
}

void TextEdit::SelectAll() {
    SetSelection(0, -1);
}

std::string TextEdit::SelectedText() const {
    std::size_t start = 0, end = 0;
    GetSelection(start, end);
    std::string out;
    for (std::size_t i = start; i < end; ++i)
        Utf8Append(out, m_impl->store.text[i]);
    return out;
}

// Decides how much of `text` may go in place of the selection; `keep` receives the number of
// leading characters to insert.
bool TextEdit::AcceptsInsert(const std::u32string& text, std::size_t& keep) const {
    const Impl& m = *m_impl;
    keep = 0;
    if (m.readOnly || text.empty())
        return false;
    if (m.numberOnly && !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    const std::size_t remaining = Length() - m.SelectionLength();
    if (remaining >= m.limit)
        return false;
    keep = std::min(text.size(), m.limit - remaining);
    if (!m.autoScroll && !m.store.multiLine && m.store.viewWidth > 0) {
        std::size_t start = 0, end = 0;
        GetSelection(start, end);
        float width = m.store.WidthOf(0, Length()) - m.store.WidthOf(start, end);
        for (std::size_t i = 0; i < keep; ++i)
            width += m.store.Width(text[i]);
        // The caret needs a pixel after the last character.
        if (width + 1 > m.store.viewWidth)
            return false;
    }
    return keep > 0;
}

bool TextEdit::InsertText(std::string_view utf8) {
    const std::u32string text = CleanInput(Decode(utf8), MultiLine());
    std::size_t keep = 0;
    if (!AcceptsInsert(text, keep))
        return false;
    // Typed and composed text is all or nothing: a partial word would be a surprise.
    if (keep < text.size())
        return false;
    stb_textedit_paste(&m_impl->store, &m_impl->state, text.data(), static_cast<int>(keep));
    m_impl->modified = true;
    ScrollToCaret();
    return true;
}

bool TextEdit::Type(char32_t ch) {
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return false;
    if (ch == U'\r')
        ch = U'\n';
    if (ch == U'\t' && !MultiLine())
        return false; // a tab moves the focus in a dialog; it is never typed into one line
    std::string utf8;
    Utf8Append(utf8, ch);
    return InsertText(utf8);
}

bool TextEdit::PressKey(Key key, bool shift, bool ctrl) {
    Impl& m = *m_impl;
    int code = 0;
    switch (key) {
        case Key::Left:
            code = STB_TEXTEDIT_K_LEFT | (ctrl ? kCtrl : 0);
            break;
        case Key::Right:
            code = STB_TEXTEDIT_K_RIGHT | (ctrl ? kCtrl : 0);
            break;
        case Key::Up:
            code = STB_TEXTEDIT_K_UP;
            break;
        case Key::Down:
            code = STB_TEXTEDIT_K_DOWN;
            break;
        case Key::PageUp:
        case Key::PageDown:
            // One line has no pages; the engine's page move would read a row position that
            // single-line layout never sets.
            if (!m.store.multiLine)
                return false;
            code = key == Key::PageUp ? STB_TEXTEDIT_K_PGUP : STB_TEXTEDIT_K_PGDOWN;
            break;
        case Key::Home:
            code = ctrl ? STB_TEXTEDIT_K_TEXTSTART : STB_TEXTEDIT_K_LINESTART;
            break;
        case Key::End:
            code = ctrl ? STB_TEXTEDIT_K_TEXTEND : STB_TEXTEDIT_K_LINEEND;
            break;
        case Key::Delete:
        case Key::Backspace:
        case Key::Undo:
        case Key::Redo:
            if (m.readOnly)
                return false;
            code = key == Key::Delete      ? STB_TEXTEDIT_K_DELETE
                   : key == Key::Backspace ? STB_TEXTEDIT_K_BACKSPACE
                   : key == Key::Undo      ? STB_TEXTEDIT_K_UNDO
                                           : STB_TEXTEDIT_K_REDO;
            shift = false;
            break;
    }
    // Home and End go to the ends of the displayed row, which wrapping may have cut short of
    // the paragraph's.
    if ((key == Key::Home || key == Key::End) && !ctrl && m.store.multiLine) {
        const std::size_t row = m.store.RowOf(Caret());
        m.MoveCaret(key == Key::Home ? m.store.rowStarts[row] : m.store.RowCaretEnd(row), shift);
        ScrollToCaret();
        return false;
    }
    const bool vertical =
        key == Key::Up || key == Key::Down || key == Key::PageUp || key == Key::PageDown;
    if (vertical && m.store.multiLine) {
        const long page = m.state.row_count_per_page;
        const long rows = key == Key::Up       ? -1
                          : key == Key::Down   ? 1
                          : key == Key::PageUp ? -page
                                               : page;
        m.MoveLines(rows, shift);
        m.movingLines = true;
        ScrollToCaret();
        m.movingLines = false;
        return false;
    }
    if (shift)
        code |= kShift;
    const unsigned before = m.store.changes;
    stb_textedit_key(&m.store, &m.state, code);
    ScrollToCaret();
    const bool changed = m.store.changes != before;
    if (changed)
        m.modified = true;
    return changed;
}

std::string TextEdit::Copy() const {
    if (m_impl->store.passwordChar != 0)
        return {};
    return SelectedText();
}

bool TextEdit::Cut(std::string& taken) {
    taken.clear();
    if (m_impl->readOnly || m_impl->store.passwordChar != 0 || !HasSelection())
        return false;
    taken = SelectedText();
    stb_textedit_cut(&m_impl->store, &m_impl->state);
    m_impl->modified = true;
    ScrollToCaret();
    return true;
}

bool TextEdit::Paste(std::string_view utf8) {
    const std::u32string text = CleanInput(Decode(utf8), MultiLine());
    std::size_t keep = 0;
    if (!AcceptsInsert(text, keep))
        return false;
    stb_textedit_paste(&m_impl->store, &m_impl->state, text.data(), static_cast<int>(keep));
    m_impl->modified = true;
    ScrollToCaret();
    return true;
}

bool TextEdit::Undo() {
    return PressKey(Key::Undo, false, false);
}

void TextEdit::EmptyUndo() {
    const int cursor = m_impl->state.cursor;
    const int start = m_impl->state.select_start, end = m_impl->state.select_end;
    m_impl->Reset();
    m_impl->state.cursor = cursor;
    m_impl->state.select_start = start;
    m_impl->state.select_end = end;
}

std::size_t TextEdit::PositionAt(float x, float y) const {
    const TextStore& s = m_impl->store;
    const float top = y + m_impl->scrollY;
    std::size_t row = 0;
    if (s.multiLine && top > 0)
        row = std::min(static_cast<std::size_t>(top / s.lineHeight), s.RowCount() - 1);
    return s.PositionInRow(row, x + m_impl->scrollX);
}

void TextEdit::Click(float x, float y) {
    STB_TexteditState& st = m_impl->state;
    st.cursor = st.select_start = st.select_end = static_cast<int>(PositionAt(x, y));
    st.has_preferred_x = 0;
    ScrollToCaret();
}

void TextEdit::Drag(float x, float y) {
    STB_TexteditState& st = m_impl->state;
    if (st.select_start == st.select_end)
        st.select_start = st.cursor;
    st.cursor = st.select_end = static_cast<int>(PositionAt(x, y));
    ScrollToCaret();
}

void TextEdit::SelectWordAt(float x, float y) {
    Click(x, y);
    const std::u32string& t = m_impl->store.text;
    std::size_t start = Caret(), end = Caret();
    // The run of the same kind (word or blanks) around the point; a point after the last
    // character selects the run before it.
    const std::size_t probe = start < t.size() ? start : (start > 0 ? start - 1 : 0);
    if (t.empty() || t[probe] == U'\n')
        return;
    const bool space = IsSpace(t[probe]);
    start = end = probe;
    while (start > 0 && t[start - 1] != U'\n' && IsSpace(t[start - 1]) == space)
        --start;
    while (end < t.size() && t[end] != U'\n' && IsSpace(t[end]) == space)
        ++end;
    SetSelection(static_cast<long>(start), static_cast<long>(end));
}

bool TextEdit::Modified() const {
    return m_impl->modified;
}

void TextEdit::SetModified(bool modified) {
    m_impl->modified = modified;
}

float TextEdit::XOfIndex(std::size_t index) const {
    return m_impl->store.XOf(std::min(index, Length())) - m_impl->scrollX;
}

float TextEdit::YOfIndex(std::size_t index) const {
    const TextStore& s = m_impl->store;
    return static_cast<float>(s.RowOf(std::min(index, Length()))) * s.lineHeight - m_impl->scrollY;
}

float TextEdit::CaretX() const {
    return XOfIndex(Caret());
}

float TextEdit::CaretY() const {
    return YOfIndex(Caret());
}

float TextEdit::ScrollX() const {
    return m_impl->scrollX;
}

float TextEdit::ScrollY() const {
    return m_impl->scrollY;
}

std::size_t TextEdit::LineCount() const {
    return m_impl->store.RowCount();
}

std::size_t TextEdit::LineStart(std::size_t line) const {
    const TextStore& s = m_impl->store;
    return line < s.RowCount() ? s.rowStarts[line] : s.text.size();
}

std::size_t TextEdit::LineEnd(std::size_t line) const {
    const TextStore& s = m_impl->store;
    return line < s.RowCount() ? s.RowEnd(line) : s.text.size();
}

std::size_t TextEdit::LineOfIndex(std::size_t index) const {
    return m_impl->store.RowOf(std::min(index, Length()));
}

float TextEdit::AdvanceOf(std::size_t index) const {
    const TextStore& s = m_impl->store;
    return index < s.widths.size() ? s.widths[index] : 0.0f;
}

float TextEdit::TextWidth() const {
    const std::vector<float>& widths = m_impl->store.rowWidths;
    return *std::max_element(widths.begin(), widths.end());
}

float TextEdit::TextHeight() const {
    return static_cast<float>(LineCount()) * m_impl->store.lineHeight;
}

float TextEdit::AlignOffset(std::size_t line) const {
    const TextStore& s = m_impl->store;
    return line < s.RowCount() ? s.AlignOffset(s.rowWidths[line]) : 0.0f;
}

void TextEdit::ScrollTo(float x, float y) {
    Impl& m = *m_impl;
    m.scrollX = x;
    m.scrollY = y;
    ClampScroll();
}

void TextEdit::ClampScroll() {
    Impl& m = *m_impl;
    const TextStore& s = m.store;
    if (s.viewWidth <= 0 || s.Wraps())
        m.scrollX = 0;
    else
        m.scrollX =
            std::floor(std::clamp(m.scrollX, 0.0f, std::max(0.0f, TextWidth() + 1 - s.viewWidth)));
    if (!s.multiLine || s.viewHeight <= 0)
        m.scrollY = 0;
    else
        m.scrollY = std::clamp(m.scrollY, 0.0f, std::max(0.0f, TextHeight() - s.viewHeight));
}

void TextEdit::ScrollToCaret() {
    Impl& m = *m_impl;
    if (!m.movingLines) // any other caret change forgets the column
        m.hasGoalX = false;
    const TextStore& s = m.store;
    if (s.viewWidth > 0 && !s.Wraps()) {
        const float x = s.XOf(Caret());
        const float view = s.viewWidth;
        // Jump a quarter of the view at a time, as the caret leaves it on either side.
        if (x < m.scrollX)
            m.scrollX = std::max(0.0f, x - view / 4);
        else if (x + 1 > m.scrollX + view)
            m.scrollX = x + 1 - view + view / 4;
        // Never leave blank room on the right while text is hidden on the left.
        m.scrollX = std::min(m.scrollX, std::max(0.0f, TextWidth() + 1 - view));
        m.scrollX = std::max(m.scrollX, std::max(0.0f, x + 1 - view));
    }
    if (s.multiLine && s.viewHeight > 0) {
        const float y = static_cast<float>(s.RowOf(Caret())) * s.lineHeight;
        if (y < m.scrollY)
            m.scrollY = y;
        else if (y + s.lineHeight > m.scrollY + s.viewHeight)
            m.scrollY = y + s.lineHeight - s.viewHeight;
    }
    ClampScroll();
}

} // namespace plat
