// Rich edits in a window: typing and Return in a multi-line field, Return and Ctrl+Return
// reported as "return" by fields that do not want them, tabs typed or moving the focus,
// read-only text, the length limit, password masking, the style word the attributes build, and
// the pixels of the rich edit sample.
#include "CaptionTestSupport.h"

#include "pane/controls/RichEdit.h"
#include "pane/controls/ScrollBar.h"
#include "platform/backends/Headless.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Pane::test {
namespace {

using plat::RECT;

// A selection start past the text: the caret goes to the end.
constexpr long kEnd = 1 << 20;

TEST(RichEditAttributes, StyleWordAndFlags) {
    CRichEditUI edit;
    EXPECT_STREQ(edit.ClassName(), "RichEditUI");
    EXPECT_EQ(edit.GetWinStyle(), 0x4u);
    EXPECT_EQ(edit.GetLimitText(), 32767);
    EXPECT_EQ(edit.Interface("WantTab"), &edit);
    edit.SetAttribute("vscrollbar", "true");
    edit.SetAttribute("autovscroll", "true");
    edit.SetAttribute("hscrollbar", "false"); // only "true" adds
    edit.SetAttribute("readonly", "true");
    edit.SetAttribute("password", "true");
    edit.SetAttribute("align", "right");
    EXPECT_EQ(edit.GetWinStyle(), 0x4u | 0x202000u | 0x40u | 0x800u | 0x20u | 0x2u);
    EXPECT_TRUE(edit.IsReadOnly());
    edit.SetAttribute("align", "center");
    edit.SetAttribute("multiline", "false");
    EXPECT_EQ(edit.GetWinStyle() & 0x7u, 0x1u);
    edit.SetAttribute("wanttab", "false");
    EXPECT_EQ(edit.Interface("WantTab"), nullptr);
    edit.SetAttribute("textcolor", "  #FF102030");
    EXPECT_EQ(edit.GetTextColor(), 0xFF102030u);
}

class RichEditTest : public CaptionTest {
protected:
    void SetUp() override {
        CaptionTest::SetUp();
        std::string markup;
        ASSERT_TRUE(plat::ReadFileText(
            std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/richedit.xml", &markup));
        Open(markup, 420, 300);
    }
    CRichEditUI* Field(const char* name) {
        auto* edit = Find<CRichEditUI>(name);
        EXPECT_NE(edit, nullptr) << name;
        return edit;
    }
    // Clicks a field at the end of its text.
    CRichEditUI* Focus(const char* name) {
        CRichEditUI* edit = Field(name);
        const plat::POINT at = Centre(name);
        Down(at);
        Up(at);
        edit->SetSel(kEnd, -1);
        return edit;
    }
    void Type(const std::string& utf8) {
        plat::headless::Text(utf8);
        PumpMessages();
    }
    void Press(int vk, std::initializer_list<int> modifiers = {}) {
        plat::headless::KeyPress(vk, modifiers);
        PumpMessages();
    }
    // The text's scroll position, as the edit has it.
    static int TextTop(CRichEditUI* edit) {
        plat::POINT at{-1, -1};
        plat::SendMessage(edit->GetHostWindow(), plat::EM_GETSCROLLPOS, 0,
                          reinterpret_cast<plat::LPARAM>(&at));
        return at.y;
    }
    static CScrollBarUI* Bar(CRichEditUI* edit) {
        return static_cast<CScrollBarUI*>(edit->VerticalScrollBar());
    }
    void Wheel(const char* name, int notches) {
        const plat::POINT at = Centre(name);
        const plat::POINT screen = Screen(at.x, at.y);
        plat::headless::Wheel(screen.x, screen.y, notches * plat::WHEEL_DELTA);
        PumpMessages();
    }
    long Count(const std::string& notification) {
        return std::count(m_window->notifications.begin(), m_window->notifications.end(),
                          notification);
    }
};

TEST_F(RichEditTest, TypingAndReturnBreakLinesInAMultiLineField) {
    CRichEditUI* note = Focus("note");
    EXPECT_EQ(m_window->GetManager().GetFocus(), note);
    EXPECT_EQ(plat::GetFocus(), note->GetHostWindow());
    EXPECT_TRUE(note->IsFocused());
    note->SetText("ab");
    note->SetSel(kEnd, -1);
    Type("c");
    Press(plat::VK_RETURN);
    Type("协议");
    Press(plat::VK_RETURN, {plat::VK_CONTROL}); // wanted as well
    Type("d");
    EXPECT_STREQ(note->GetText(), "abc\n协议\nd");
    EXPECT_EQ(note->GetLineCount(), 3);
    EXPECT_EQ(Count("return note"), 0);
    EXPECT_GT(Count("textchanged note"), 0);
    // A wanted tab is typed and the focus stays.
    Press(plat::VK_TAB);
    EXPECT_STREQ(note->GetText(), "abc\n协议\nd\t");
    EXPECT_EQ(m_window->GetManager().GetFocus(), note);
}

TEST_F(RichEditTest, UnwantedReturnsAreReported) {
    CRichEditUI* line = Focus("line");
    Press(plat::VK_RETURN);
    EXPECT_EQ(Count("return line"), 1);
    EXPECT_STREQ(line->GetText(), "Return reports");
    // Tab is not wanted: the manager moves the focus on.
    Press(plat::VK_TAB);
    EXPECT_NE(m_window->GetManager().GetFocus(), line);
    EXPECT_STREQ(line->GetText(), "Return reports");

    CRichEditUI* ctrl = Focus("ctrl");
    Press(plat::VK_RETURN, {plat::VK_CONTROL});
    EXPECT_EQ(Count("return ctrl"), 1);
    EXPECT_STREQ(ctrl->GetText(), "Ctrl+Return reports");
    Press(plat::VK_RETURN);
    EXPECT_EQ(Count("return ctrl"), 1);
    EXPECT_STREQ(ctrl->GetText(), "Ctrl+Return reports\n");
}

TEST_F(RichEditTest, ReadOnlyLimitAndPassword) {
    CRichEditUI* readOnly = Focus("readonly");
    Type("x");
    Press(plat::VK_BACK);
    Press(plat::VK_RETURN);
    Press(plat::VK_TAB);
    EXPECT_STREQ(readOnly->GetText(), "Read only");
    // Text set by the program still goes in.
    readOnly->SetText("Changed");
    EXPECT_STREQ(readOnly->GetText(), "Changed");

    CRichEditUI* limited = Focus("limited");
    Type("abc");
    EXPECT_STREQ(limited->GetText(), "ten charsa");
    limited->SetLimitText(12);
    Type("协议c");
    EXPECT_STREQ(limited->GetText(), "ten charsa协议");

    CRichEditUI* password = Focus("password");
    Type("!");
    EXPECT_STREQ(password->GetText(), "secret!");
    // Only masks are painted: the field looks the same for any text of that length.
    const RECT area = password->Position();
    const plat::Bitmap masked = Pixels(area);
    password->SetText("abcdef!");
    password->SetSel(kEnd, -1);
    EXPECT_EQ(Pixels(area).pixels, masked.pixels);
}

TEST_F(RichEditTest, TheScrollBarFollowsTheTextAndMovesIt) {
    CRichEditUI* note = Field("note");
    CScrollBarUI* bar = Bar(note);
    ASSERT_NE(bar, nullptr);
    plat::EditScrollInfo info;
    ASSERT_TRUE(plat::GetEditScrollInfo(note->GetHostWindow(), &info));
    // The sample's text wraps into more rows than the field shows.
    ASSERT_GT(info.content.cy, info.view.cy);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_TRUE(bar->IsEnabled());
    EXPECT_EQ(bar->ScrollRange(), info.content.cy - info.view.cy);
    // The text sits beside the bar.
    RECT host;
    plat::GetWindowRect(note->GetHostWindow(), &host);
    EXPECT_EQ(Screen(bar->Position().left, 0).x, host.right);

    // The wheel scrolls the text, no further than its end; the bar follows.
    Wheel("note", -1);
    EXPECT_EQ(TextTop(note), bar->ScrollRange());
    EXPECT_EQ(bar->ScrollPos(), bar->ScrollRange());
    Wheel("note", 1);
    EXPECT_EQ(TextTop(note), 0);
    EXPECT_EQ(bar->ScrollPos(), 0);
    // Ctrl+wheel leaves the text where it is.
    plat::headless::KeyDown(plat::VK_CONTROL);
    Wheel("note", -1);
    plat::headless::KeyUp(plat::VK_CONTROL);
    EXPECT_EQ(TextTop(note), 0);
    // The bar's lower button moves the text down by a line.
    const RECT& button = bar->Button2Rect();
    const plat::POINT down{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    Down(down);
    Up(down);
    EXPECT_GT(TextTop(note), 0);
    EXPECT_EQ(bar->ScrollPos(), TextTop(note));

    // Short text: the bar stays (ES_DISABLENOSCROLL) but is disabled; typing lines past the
    // bottom scrolls the text and enables the bar at its end.
    note->SetText("one line");
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_FALSE(bar->IsEnabled());
    EXPECT_EQ(TextTop(note), 0);
    Focus("note");
    for (int i = 0; i < 8; ++i)
        Press(plat::VK_RETURN);
    EXPECT_TRUE(bar->IsEnabled());
    EXPECT_GT(TextTop(note), 0);
    EXPECT_EQ(bar->ScrollPos(), bar->ScrollRange());
    EXPECT_EQ(bar->ScrollPos(), TextTop(note));
}

TEST_F(RichEditTest, WithoutDisableNoScrollTheBarShowsOnlyWhileNeededAndSidewaysStopsWrap) {
    CRichEditUI* big = Field("big");
    big->SetWinStyle(big->GetWinStyle() | plat::WS_VSCROLL);
    ASSERT_NE(Bar(big), nullptr);
    PumpMessages();
    EXPECT_FALSE(Bar(big)->IsVisible());
    const RECT before = big->Position();
    RECT host;
    plat::GetWindowRect(big->GetHostWindow(), &host);
    const int wide = host.right - host.left;
    big->SetText("Bigger, right-aligned text that runs over several lines and more lines still "
                 "until the field cannot show all of it at once");
    PumpMessages();
    EXPECT_GT(big->GetLineCount(), 2);
    EXPECT_TRUE(Bar(big)->IsVisible());
    plat::GetWindowRect(big->GetHostWindow(), &host);
    EXPECT_EQ(host.right - host.left, wide - Bar(big)->FixedWidth());
    EXPECT_EQ(big->Position().right, before.right);
    big->SetText("Short");
    EXPECT_FALSE(Bar(big)->IsVisible());

    // Asked to scroll sideways, several lines no longer wrap.
    big->SetAttribute("hscrollbar", "true");
    big->SetText("Bigger, right-aligned text that runs over several lines");
    EXPECT_EQ(big->GetLineCount(), 1);
}

TEST_F(RichEditTest, SampleMatchesItsReference) {
    // The first field takes the focus when the window opens; its caret blinks.
    m_window->GetManager().SetFocus(nullptr);
    EXPECT_TRUE(MatchesReference(Pixels(RECT{0, 0, 420, 300}), "richedit"));
    // Moving the focus from the top field to a low one repaints the window between them; the
    // fields there keep their text on screen.
    m_window->GetManager().SetFocus(Field("note"));
    PumpMessages();
    const RECT between = Field("ctrl")->Position();
    const plat::Bitmap before = Pixels(between);
    Focus("limited");
    EXPECT_EQ(Pixels(between).pixels, before.pixels);
}

} // namespace
} // namespace Pane::test
