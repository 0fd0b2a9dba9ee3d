#include "platform/win/TextEdit.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using plat::TextEdit;
using Key = TextEdit::Key;

// Every character 8 pixels wide, lines 16 high.
void FixedWidth(TextEdit& e, float viewWidth = 0, float viewHeight = 0) {
    e.SetMeasure([](char32_t) { return 8.0f; }, 16);
    e.SetViewSize(viewWidth, viewHeight);
}

using Range = std::pair<std::size_t, std::size_t>;

Range Sel(const TextEdit& e) {
    std::size_t s = 0, t = 0;
    e.GetSelection(s, t);
    return {s, t};
}

// The displayed lines as "start-end", and where each sits when right-aligned (which depends on
// its width).
std::string Rows(const TextEdit& e) {
    std::string out;
    for (std::size_t line = 0; line < e.LineCount(); ++line)
        out += (out.empty() ? "" : " ") + std::to_string(e.LineStart(line)) + "-" +
               std::to_string(e.LineEnd(line)) + "@" +
               std::to_string(static_cast<int>(e.AlignOffset(line)));
    return out;
}

TEST(EditEngine, LimitCountsCharactersNotBytes) {
    TextEdit e;
    e.SetLimit(3);
    EXPECT_TRUE(e.Type(U'a'));
    EXPECT_TRUE(e.Type(U'协'));
    EXPECT_TRUE(e.InsertText("议"));
    EXPECT_FALSE(e.Type(U'b'));
    EXPECT_EQ(e.Text(), "a协议");
    EXPECT_EQ(e.Length(), 3u);
    // Replacing a selection frees its room first.
    e.SetSelection(1, 2);
    EXPECT_TRUE(e.Type(U'x'));
    EXPECT_EQ(e.Text(), "ax议");
    // Pasted text is cut to the room left; typed or composed text is all or nothing.
    e.SetSelection(1, 3);
    EXPECT_FALSE(e.InsertText("123"));
    EXPECT_TRUE(e.Paste("123"));
    EXPECT_EQ(e.Text(), "a12");
    // Text set from outside is never cut, and the limit only stops growth.
    e.SetText("longer than three");
    EXPECT_EQ(e.Length(), 17u);
    e.PressKey(Key::End, false, false);
    EXPECT_FALSE(e.Type(U'z'));
    EXPECT_TRUE(e.PressKey(Key::Backspace, false, false));
    // Zero restores the default limit.
    e.SetLimit(0);
    EXPECT_EQ(e.Limit(), TextEdit::kDefaultLimit);
}

TEST(EditEngine, NumberOnlyRefusesNonDigitsTypedOrPasted) {
    TextEdit e;
    e.SetNumberOnly(true);
    EXPECT_TRUE(e.Type(U'4'));
    EXPECT_FALSE(e.Type(U'x'));
    EXPECT_FALSE(e.Type(U'-'));
    EXPECT_FALSE(e.Paste("12a"));
    EXPECT_TRUE(e.Paste("0815"));
    EXPECT_FALSE(e.Type(U'５')); // a full-width digit is not one of the digits
    EXPECT_EQ(e.Text(), "40815");
}

TEST(EditEngine, ControlCharactersAndLineBreaksInOneLine) {
    TextEdit e;
    EXPECT_FALSE(e.Type(U'\b'));
    EXPECT_FALSE(e.Type(U'\r'));
    EXPECT_FALSE(e.Type(U'\t'));
    EXPECT_TRUE(e.Paste("first\x01 line\r\nsecond"));
    EXPECT_EQ(e.Text(), "first line");
    e.SetText("one\ntwo");
    EXPECT_EQ(e.Text(), "one");
    // Bytes that are no character arrive as the replacement character, one each.
    e.SetText("a\xC3");
    EXPECT_EQ(e.Length(), 2u);
    EXPECT_EQ(e.Text(), "a\xEF\xBF\xBD");
}

TEST(EditEngine, ReadOnlyAllowsMovingAndCopyingOnly) {
    TextEdit e;
    e.SetText("fixed text");
    e.SetReadOnly(true);
    e.SelectAll();
    EXPECT_FALSE(e.Type(U'a'));
    EXPECT_FALSE(e.Paste("b"));
    EXPECT_FALSE(e.PressKey(Key::Delete, false, false));
    EXPECT_FALSE(e.PressKey(Key::Backspace, false, false));
    std::string taken;
    EXPECT_FALSE(e.Cut(taken));
    EXPECT_EQ(e.Copy(), "fixed text");
    e.PressKey(Key::Home, false, false);
    e.PressKey(Key::Right, true, true);
    EXPECT_EQ(e.SelectedText(), "fixed ");
    EXPECT_EQ(e.Text(), "fixed text");
    EXPECT_FALSE(e.Modified());
}

TEST(EditEngine, PasswordMasksAndNeverGivesTheTextAway) {
    TextEdit e;
    FixedWidth(e);
    e.SetText("s3cr");
    e.SetPasswordChar(U'*');
    EXPECT_EQ(e.DisplayText(), U"****");
    e.SelectAll();
    EXPECT_EQ(e.Copy(), "");
    std::string taken;
    EXPECT_FALSE(e.Cut(taken));
    EXPECT_EQ(e.Text(), "s3cr");
    // Masked characters take the mask's width.
    e.SetMeasure([](char32_t c) { return c == U'*' ? 5.0f : 9.0f; }, 16);
    e.SetSelection(-1, 0);
    e.PressKey(Key::End, false, false);
    EXPECT_FLOAT_EQ(e.CaretX(), 20.0f);
}

TEST(EditEngine, CaretMovesAndShiftSelection) {
    TextEdit e;
    e.SetText("alpha beta  gamma");
    EXPECT_EQ(e.Caret(), 0u);
    e.PressKey(Key::End, false, false);
    EXPECT_EQ(e.Caret(), 17u);
    e.PressKey(Key::Left, false, true);
    EXPECT_EQ(e.Caret(), 12u); // start of "gamma"
    e.PressKey(Key::Left, false, true);
    EXPECT_EQ(e.Caret(), 6u);
    e.PressKey(Key::Right, true, true);
    EXPECT_EQ(e.SelectedText(), "beta  ");
    e.PressKey(Key::Right, true, false);
    EXPECT_EQ(e.SelectedText(), "beta  g");
    e.PressKey(Key::Home, true, false);
    EXPECT_EQ(e.SelectedText(), "alpha ");
    EXPECT_EQ(e.Caret(), 0u);
    // An arrow without shift collapses the selection to its side.
    e.PressKey(Key::Right, false, false);
    EXPECT_FALSE(e.HasSelection());
    EXPECT_EQ(e.Caret(), 6u);
    // Up and down move along one line.
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 7u);
    e.PressKey(Key::End, true, true);
    EXPECT_EQ(Sel(e), Range(7, 17));
    EXPECT_TRUE(e.PressKey(Key::Delete, false, false));
    EXPECT_EQ(e.Text(), "alpha b");
}

TEST(EditEngine, PageKeysLeaveOneLineAlone) {
    // One line has no pages: caret and selection stay, with or without shift, before and after
    // the first layout.
    for (const bool laidOut : {false, true}) {
        TextEdit e;
        if (laidOut)
            FixedWidth(e, 40, 16);
        e.SetText("alpha beta");
        e.SetSelection(2, 6);
        for (const Key key : {Key::PageUp, Key::PageDown}) {
            for (const bool shift : {false, true}) {
                EXPECT_FALSE(e.PressKey(key, shift, false));
                EXPECT_EQ(Sel(e), Range(2, 6));
                EXPECT_EQ(e.Caret(), 6u);
            }
        }
    }
    // Several lines page by the rows that fit the view.
    TextEdit m(true);
    FixedWidth(m, 80, 32);
    m.SetText("1\n2\n3\n4\n5\n6");
    m.PressKey(Key::PageDown, false, false);
    EXPECT_EQ(m.Caret(), 4u); // two rows down: the start of "3"
    m.PressKey(Key::PageUp, true, false);
    EXPECT_EQ(Sel(m), Range(0, 4));
}

TEST(EditEngine, SelectionMessagesClampAndOrder) {
    TextEdit e;
    e.SetText("12345");
    e.SetSelection(0, -1);
    EXPECT_EQ(Sel(e), Range(0, 5));
    e.SetSelection(4, 1); // reversed: ordered when read, caret at the end given
    EXPECT_EQ(Sel(e), Range(1, 4));
    EXPECT_EQ(e.Caret(), 1u);
    e.SetSelection(2, 99);
    EXPECT_EQ(Sel(e), Range(2, 5));
    e.SetSelection(-1, 0);
    EXPECT_FALSE(e.HasSelection());
    EXPECT_EQ(e.Caret(), 5u);
    e.SetSelection(9, 9);
    EXPECT_EQ(e.Caret(), 5u);
    // The empty-text case the framework uses: 0 to 1 selects nothing beyond the end.
    e.SetText("");
    e.SetSelection(0, 1);
    EXPECT_EQ(Sel(e), Range(0, 0));
}

TEST(EditEngine, UndoRestoresAndSetTextForgets) {
    TextEdit e;
    e.Paste("hello");
    e.PressKey(Key::Backspace, false, false);
    e.PressKey(Key::Backspace, false, false);
    EXPECT_EQ(e.Text(), "hel");
    EXPECT_TRUE(e.Undo());
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text(), "hello");
    EXPECT_TRUE(e.PressKey(Key::Redo, false, false));
    EXPECT_EQ(e.Text(), "hell");
    EXPECT_TRUE(e.Undo());
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text(), "");
    EXPECT_FALSE(e.Undo());
    e.Paste("abc");
    e.SetText("fresh");
    EXPECT_FALSE(e.Undo());
    EXPECT_EQ(e.Text(), "fresh");
    // A cut is undone as one step.
    e.SetSelection(1, 4);
    std::string taken;
    EXPECT_TRUE(e.Cut(taken));
    EXPECT_EQ(taken, "res");
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text(), "fresh");
}

TEST(EditEngine, UndoOfChangesLargerThanTheHistory) {
    TextEdit e;
    e.Paste("start ");
    const std::string big(3000, 'x');
    EXPECT_TRUE(e.Paste(big)); // an insertion is remembered by its place alone
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text(), "start ");
    EXPECT_TRUE(e.Paste(big));
    // Deleting more than the history can hold forgets the history instead of keeping a
    // broken step: nothing is undone, and nothing else is taken away.
    e.SelectAll();
    EXPECT_TRUE(e.PressKey(Key::Delete, false, false));
    EXPECT_FALSE(e.Undo());
    EXPECT_EQ(e.Text(), "");
    e.Type(U'!');
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Text(), "");
}

TEST(EditEngine, ModifiedFollowsUserChangesOnly) {
    TextEdit e;
    e.SetText("abc");
    EXPECT_FALSE(e.Modified());
    e.PressKey(Key::End, false, false);
    EXPECT_FALSE(e.Modified());
    e.Type(U'd');
    EXPECT_TRUE(e.Modified());
    e.SetModified(false);
    EXPECT_FALSE(e.PressKey(Key::Delete, false, false)); // nothing after the caret
    EXPECT_FALSE(e.Modified());
}

TEST(EditEngine, AutoScrollKeepsTheCaretInView) {
    TextEdit e;
    FixedWidth(e, 40, 16);
    for (int i = 0; i < 12; ++i)
        e.Type(U'0' + static_cast<char32_t>(i % 10));
    EXPECT_GT(e.ScrollX(), 0.0f);
    EXPECT_GE(e.CaretX(), 0.0f);
    EXPECT_LE(e.CaretX() + 1, 40.0f);
    e.PressKey(Key::Home, false, false);
    EXPECT_EQ(e.ScrollX(), 0.0f);
    EXPECT_EQ(e.CaretX(), 0.0f);
    e.PressKey(Key::End, false, false);
    e.SelectAll();
    e.PressKey(Key::Delete, false, false);
    EXPECT_EQ(e.ScrollX(), 0.0f); // nothing left to hide
    // Clicks are in view coordinates: after scrolling, the view's left edge is not index 0.
    e.SetText("abcdefghijkl");
    e.PressKey(Key::End, false, false);
    const float scroll = e.ScrollX();
    e.Click(1, 5);
    EXPECT_EQ(e.Caret(), static_cast<std::size_t>((scroll + 4) / 8));
}

TEST(EditEngine, WithoutAutoScrollOneLineRefusesWhatDoesNotFit) {
    TextEdit e;
    FixedWidth(e, 33, 16); // four characters and the caret
    e.SetAutoScroll(false);
    EXPECT_TRUE(e.Paste("abcd"));
    EXPECT_FALSE(e.Type(U'e'));
    e.SetSelection(0, 1);
    EXPECT_TRUE(e.Type(U'z'));
    EXPECT_EQ(e.Text(), "zbcd");
}

TEST(EditEngine, AlignmentPlacesTextAndClicks) {
    TextEdit e;
    FixedWidth(e, 100, 16);
    e.SetText("abcd");
    e.SetAlign(TextEdit::Align::Center);
    EXPECT_FLOAT_EQ(e.XOfIndex(0), 34.0f);
    e.Click(35, 8);
    EXPECT_EQ(e.Caret(), 0u);
    e.Click(47, 8);
    EXPECT_EQ(e.Caret(), 2u);
    e.SetAlign(TextEdit::Align::Right);
    EXPECT_FLOAT_EQ(e.XOfIndex(4), 99.0f);
    e.Click(5, 8); // left of the text
    EXPECT_EQ(e.Caret(), 0u);
}

TEST(EditEngine, MouseClickDragAndWordSelection) {
    TextEdit e;
    FixedWidth(e, 200, 16);
    e.SetText("one two three");
    e.Click(13, 8); // past the middle of the second character
    EXPECT_EQ(e.Caret(), 2u);
    e.Drag(60, 8);
    EXPECT_EQ(e.SelectedText(), "e two ");
    e.Click(500, 8);
    EXPECT_EQ(e.Caret(), 13u);
    e.SelectWordAt(43, 8); // inside "two"
    EXPECT_EQ(e.SelectedText(), "two");
    e.SelectWordAt(500, 8);
    EXPECT_EQ(e.SelectedText(), "three");
}

TEST(EditEngine, MultiLineKeepsLinesAndMovesBetweenThem) {
    TextEdit e(true);
    FixedWidth(e, 100, 32); // two lines visible
    e.SetText("first\r\nsecond\rthird");
    EXPECT_EQ(e.Text(), "first\nsecond\nthird");
    EXPECT_EQ(e.LineCount(), 3u);
    EXPECT_EQ(e.LineStart(1), 6u);
    EXPECT_EQ(e.LineEnd(1), 12u);
    e.PressKey(Key::Right, false, false);
    e.PressKey(Key::Right, false, false);
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 8u);
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 15u);
    EXPECT_FLOAT_EQ(e.ScrollY(), 16.0f); // the third line scrolled into view
    EXPECT_FLOAT_EQ(e.CaretY(), 16.0f);
    e.PressKey(Key::End, false, false);
    e.PressKey(Key::Up, true, false);
    EXPECT_EQ(e.SelectedText(), "d\nthird");
    EXPECT_TRUE(e.Type(U'\r')); // Return types a line break here
    EXPECT_EQ(e.Text(), "first\nsecon\n");
    EXPECT_TRUE(e.Paste("a\tb\r\nc"));
    EXPECT_EQ(e.Text(), "first\nsecon\na\tb\nc");
    e.PressKey(Key::Home, false, true);
    e.PressKey(Key::End, false, false);
    EXPECT_EQ(e.Caret(), 5u);
}

TEST(EditEngine, MultiLineKeepsTheColumnAcrossShortLines) {
    TextEdit e(true);
    FixedWidth(e, 100, 32);
    e.SetText("abcdef\nab\nabcdef\nx");
    e.SetSelection(5, 5);
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 9u); // end of the short line
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 15u); // back in the column it came from
    e.PressKey(Key::PageUp, false, false);
    EXPECT_EQ(e.Caret(), 5u); // two visible lines a page
    e.PressKey(Key::Up, false, false);
    EXPECT_EQ(e.Caret(), 5u); // nothing above the first line
    e.PressKey(Key::PageDown, true, false);
    EXPECT_EQ(e.SelectedText(), "f\nab\nabcde");
    e.PressKey(Key::Left, false, false);  // collapses to the start of the selection
    e.PressKey(Key::Right, false, false); // any other move forgets the column
    e.PressKey(Key::Down, false, false);
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 16u);
}

TEST(EditEngine, WordWrapBreaksAfterBlanksAndCutsWordsLongerThanARow) {
    TextEdit e(true);
    FixedWidth(e, 81, 48); // ten characters a row, and the caret's pixel
    e.SetWordWrap(true);
    EXPECT_TRUE(e.WordWrap());
    e.SetText("hello world foo\nabcdefghijklmnop\n中文中文中文中文中文中文");
    EXPECT_EQ(Rows(e), "0-6@0 6-15@0 16-26@0 26-32@0 33-43@0 43-45@0");
    // The caret follows the displayed rows: down keeps the column, End stops before the blank
    // the row wraps at, Home goes to the row's start, a wrap point is the next row's start.
    e.SetSelection(2, 2);
    e.PressKey(Key::End, false, false);
    EXPECT_EQ(e.Caret(), 5u);
    EXPECT_FLOAT_EQ(e.CaretY(), 0.0f);
    e.SetSelection(2, 2);
    e.PressKey(Key::Down, false, false);
    EXPECT_EQ(e.Caret(), 8u);
    e.PressKey(Key::Home, true, false);
    EXPECT_EQ(e.SelectedText(), "wo");
    e.SetSelection(26, 26);
    EXPECT_FLOAT_EQ(e.CaretY(), 32.0f); // the fourth row, with rows 1 to 3 in view
    EXPECT_FLOAT_EQ(e.CaretX(), 0.0f);
    e.Click(17, 36);
    EXPECT_EQ(e.Caret(), 28u);
    e.PressKey(Key::End, false, false);
    EXPECT_EQ(e.Caret(), 32u); // before the line break
    EXPECT_FLOAT_EQ(e.ScrollX(), 0.0f);

    // A narrower view wraps again; right alignment follows each row's width.
    e.SetAlign(TextEdit::Align::Right);
    e.SetViewSize(57, 48);
    EXPECT_EQ(Rows(e).substr(0, 24), "0-6@8 6-12@8 12-15@32 16");
    // Without wrapping, a paragraph is one line and scrolls sideways.
    e.SetWordWrap(false);
    EXPECT_FALSE(e.WordWrap());
    EXPECT_EQ(Rows(e), "0-15@0 16-32@0 33-45@0");
    e.SetSelection(32, 32);
    EXPECT_GT(e.ScrollX(), 0.0f);
}

TEST(EditEngine, EditsLeaveTheSameRowsAsLayingOutTheWholeText) {
    // Changes lay out only the rows they touch; whatever the edits, the rows must match those
    // of the same text laid out afresh.
    const char* pieces[] = {"a",   "bc ", "\n", "word ", "x\ny", "中", "  ", "longerthanarow",
                            "\n\n"};
    std::mt19937 random(7);
    const auto pick = [&](std::size_t below) {
        return static_cast<long>(std::uniform_int_distribution<std::size_t>(0, below)(random));
    };
    for (const bool wrap : {true, false}) {
        TextEdit e(true);
        FixedWidth(e, 81, 48);
        e.SetWordWrap(wrap);
        e.SetAlign(TextEdit::Align::Center);
        for (int step = 0; step < 400; ++step) {
            const long length = static_cast<long>(e.Length());
            switch (pick(3)) {
                case 0:
                case 1: {
                    const long at = pick(static_cast<std::size_t>(length));
                    e.SetSelection(at, at);
                    e.Paste(pieces[pick(std::size(pieces) - 1)]);
                    break;
                }
                case 2: {
                    const long from = pick(static_cast<std::size_t>(length));
                    e.SetSelection(from, std::min(length, from + pick(12)));
                    e.PressKey(Key::Backspace, false, false);
                    break;
                }
                default:
                    e.Undo();
                    break;
            }
            TextEdit fresh(true);
            FixedWidth(fresh, 81, 48);
            fresh.SetWordWrap(wrap);
            fresh.SetAlign(TextEdit::Align::Center);
            fresh.SetText(e.Text());
            ASSERT_EQ(Rows(e), Rows(fresh))
                << "after step " << step << " on \"" << e.Text() << "\"";
        }
    }
}

TEST(EditEngine, TypingPastTheBottomScrollsAndScrollingStaysInsideTheText) {
    TextEdit e(true);
    FixedWidth(e, 81, 48); // three rows in view
    e.SetWordWrap(true);
    for (const char* typed : {"a", "\n", "b", "\n", "c"})
        e.InsertText(typed);
    EXPECT_FLOAT_EQ(e.ScrollY(), 0.0f);
    e.InsertText("\n");
    EXPECT_FLOAT_EQ(e.ScrollY(), 16.0f);
    // A word that wraps onto a new row scrolls as well.
    e.InsertText("d");
    for (int i = 0; i < 10; ++i)
        e.Type(U'e');
    EXPECT_EQ(e.LineCount(), 5u);
    EXPECT_FLOAT_EQ(e.ScrollY(), 32.0f);
    EXPECT_FLOAT_EQ(e.TextHeight(), 80.0f);
    // Scrolling from outside ends with the last row at the bottom, and at the top.
    e.ScrollTo(0, 1000);
    EXPECT_FLOAT_EQ(e.ScrollY(), 32.0f);
    e.ScrollTo(50, -5);
    EXPECT_FLOAT_EQ(e.ScrollY(), 0.0f);
    EXPECT_FLOAT_EQ(e.ScrollX(), 0.0f); // wrapped text never scrolls sideways
    // Deleting rows pulls the view back within the text.
    e.ScrollTo(0, 32);
    e.SetSelection(0, -1);
    e.PressKey(Key::Delete, false, false);
    EXPECT_FLOAT_EQ(e.ScrollY(), 0.0f);
    EXPECT_EQ(e.LineCount(), 1u);
}

} // namespace
