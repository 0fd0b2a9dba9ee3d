#pragma once
// The editing engine behind the native edit control, free of any window: UTF-8 text held as
// characters, caret and selection, keyboard moves, word moves, undo and redo, the length limit
// (in characters), digits-only input, read-only mode, password masking, word wrap of multi-line
// text at the view's width, and horizontal (and, for multi-line text, vertical) scrolling that
// keeps the caret in view. Positions and lengths are in characters; "lines" are the rows as
// displayed, which wrapping may cut out of one paragraph. Layout needs only the advance width
// of each character and the line height, supplied by the owner (the control measures with its
// font). Changes lay out only the rows they touch. Used on one thread by its owner.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace plat {

class TextEdit {
public:
    enum class Align { Left, Center, Right };
    enum class Key {
        Left,
        Right,
        Up,
        Down,
        Home,
        End,
        PageUp,
        PageDown,
        Delete,
        Backspace,
        Undo,
        Redo,
    };
    // Advance width in pixels of one character as displayed.
    using Measure = std::function<float(char32_t)>;

    static constexpr std::size_t kDefaultLimit = 0x7FFFFFFE;

    explicit TextEdit(bool multiLine = false);
    ~TextEdit();
    TextEdit(const TextEdit&) = delete;
    TextEdit& operator=(const TextEdit&) = delete;

    bool MultiLine() const;

    // Replaces the whole text (not limited, not filtered), clears the selection and the undo
    // history and puts the caret at the start. Multi-line text keeps '\n' and drops '\r';
    // single-line text keeps only the first line.
    void SetText(std::string_view utf8);
    std::string Text() const;
    std::size_t Length() const; // in characters
    // The text as painted: password characters instead of the text when masking.
    std::u32string DisplayText() const;
    char32_t DisplayChar(std::size_t index) const; // 0 past the end

    // The most characters the user may enter; 0 restores the default. Text already there and
    // text given to SetText are not cut.
    void SetLimit(std::size_t characters);
    std::size_t Limit() const;
    void SetNumberOnly(bool on);
    bool NumberOnly() const;
    void SetReadOnly(bool on);
    bool ReadOnly() const;
    // 0 turns masking off.
    void SetPasswordChar(char32_t ch);
    char32_t PasswordChar() const;
    // Without automatic scrolling a single line refuses text that would not fit its width.
    void SetAutoScroll(bool on);
    void SetAlign(Align align);
    // Multi-line text breaks its paragraphs into rows no wider than the view (after blanks, or
    // inside a word longer than a row) and never scrolls sideways. True only while it applies:
    // multi-line text and a view of some width.
    void SetWordWrap(bool on);
    bool WordWrap() const;

    // Layout: character widths, line height and the visible size of the text area.
    void SetMeasure(Measure measure, float lineHeight);
    void SetViewSize(float width, float height);
    float LineHeight() const;

    // Selection as the edit messages take it: start -1 removes the selection (the caret stays),
    // end -1 (or any end past the text) means the end of the text. The caret goes to `end`.
    void SetSelection(long start, long end);
    // Ordered selection (start <= end); equal when nothing is selected.
    void GetSelection(std::size_t& start, std::size_t& end) const;
    bool HasSelection() const;
    std::size_t Caret() const;
    void SelectAll();
    std::string SelectedText() const;

    // Editing by the user. Each returns true when the text changed. Refused input (limit,
    // non-digit in a digits-only field, read-only, no room without auto-scroll) changes nothing.
    // Typed or IME text replaces the selection; control characters other than a newline in a
    // multi-line edit are dropped.
    bool InsertText(std::string_view utf8);
    bool Type(char32_t ch);
    // Moves, selections (shift) and word moves (ctrl); deletions and undo.
    bool PressKey(Key key, bool shift, bool ctrl);
    // Clipboard halves: Copy gives the selected text (empty when masking); Cut also removes it;
    // Paste inserts as much of the text as the limit allows (digits-only refuses text with any
    // non-digit).
    std::string Copy() const;
    bool Cut(std::string& taken);
    bool Paste(std::string_view utf8);
    bool Undo();
    // Clears the undo history (text replaced from outside).
    void EmptyUndo();

    // Mouse, in view coordinates (the top left of the text area is 0,0).
    // The caret position nearest to a point.
    std::size_t PositionAt(float x, float y) const;
    void Click(float x, float y);
    void Drag(float x, float y);
    void SelectWordAt(float x, float y);

    // Modified since the owner last cleared it (set by every change made by the user).
    bool Modified() const;
    void SetModified(bool modified);

    // Positions in view coordinates, scroll applied.
    float CaretX() const;
    float CaretY() const;
    float XOfIndex(std::size_t index) const; // on its own line
    float YOfIndex(std::size_t index) const;
    float ScrollX() const;
    float ScrollY() const;
    // Scrolls the view, kept within the text (as far as the last line at the bottom).
    void ScrollTo(float x, float y);
    // The displayed lines: how many, where each starts and ends, which one shows a position.
    std::size_t LineCount() const;
    std::size_t LineStart(std::size_t line) const;
    std::size_t LineEnd(std::size_t line) const; // before the newline
    std::size_t LineOfIndex(std::size_t index) const;
    float AdvanceOf(std::size_t index) const; // display width of one character
    float TextWidth() const;                  // widest line
    float TextHeight() const;                 // all lines
    float AlignOffset(std::size_t line) const;

private:
    struct Impl;
    bool AcceptsInsert(const std::u32string& text, std::size_t& keep) const;
    void ScrollToCaret();
    void ClampScroll();

    std::unique_ptr<Impl> m_impl;
};

} // namespace plat
