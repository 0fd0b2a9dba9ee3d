// The tooltip window driven the way the framework's UI manager drives it: hover tracking with
// the tooltip's initial delay, one tracking tool activated on hover over a control and
// deactivated when the pointer leaves, on the headless backend.

#include "WindowTestSupport.h"

#include "platform/gfx/Font.h"
#include "platform/win/Tooltip.h"

#include <cstdio>
#include <string>

namespace plat::test {
namespace {

constexpr uint32_t kTipBackground = 0xFFFFFFE1;

class TooltipTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        m_top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 400, 300});
        m_tip = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_top, 0,
                               nullptr, nullptr);
        ASSERT_NE(m_tip, nullptr);
        m_tool.uFlags = TTF_IDISHWND;
        m_tool.hwnd = m_top;
        m_tool.uId = reinterpret_cast<UINT_PTR>(m_top);
        m_tool.rect = m_control;
        m_tool.lpszText = "Read the radio\nevery channel";
        ASSERT_EQ(SendMessage(m_tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&m_tool)), 1);
        // The manager's part: hover after the tooltip's initial delay shows the control's tip,
        // leaving hides it.
        m_handler = [this](HWND hwnd, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (hwnd != m_top)
                return std::nullopt;
            if (msg == WM_MOUSEMOVE && !m_tracking) {
                TRACKMOUSEEVENT tme;
                tme.dwFlags = TME_HOVER | TME_LEAVE;
                tme.hwndTrack = hwnd;
                tme.dwHoverTime =
                    static_cast<DWORD>(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
                m_tracking = TrackMouseEvent(&tme);
            } else if (msg == WM_MOUSEHOVER) {
                m_tracking = false;
                const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (PtInRect(m_control, pt)) {
                    SendMessage(m_tip, TTM_SETMAXTIPWIDTH, 0, m_maxWidth);
                    SendMessage(m_tip, TTM_SETTOOLINFO, 0, reinterpret_cast<LPARAM>(&m_tool));
                    SendMessage(m_tip, TTM_TRACKACTIVATE, 1, reinterpret_cast<LPARAM>(&m_tool));
                }
            } else if (msg == WM_MOUSELEAVE) {
                m_tracking = false;
                SendMessage(m_tip, TTM_TRACKACTIVATE, 0, reinterpret_cast<LPARAM>(&m_tool));
            }
            return std::nullopt;
        };
    }

    // Rests the pointer at a point for the initial delay.
    void HoverAt(int x, int y) {
        headless::MouseMove(x, y);
        headless::AdvanceClock(
            static_cast<DWORD>(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0)));
    }

    RECT TipRect() const {
        RECT r;
        GetWindowRect(m_tip, &r);
        return r;
    }

    HWND m_top = nullptr;
    HWND m_tip = nullptr;
    TOOLINFO m_tool;
    RECT m_control{50, 50, 250, 150};
    LPARAM m_maxWidth = -1;
    bool m_tracking = false;
};

TEST_F(TooltipTest, HoverAfterTheInitialDelayShowsTheToolBesideThePointer) {
    SendMessage(m_tip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(300, 0));
    EXPECT_EQ(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 300);
    headless::MouseMove(100, 100);
    headless::AdvanceClock(299);
    EXPECT_FALSE(IsWindowVisible(m_tip));
    headless::AdvanceClock(1);
    ASSERT_TRUE(IsWindowVisible(m_tip));
    const RECT tip = TipRect();
    EXPECT_EQ(tip.left, 100);
    EXPECT_GT(tip.top, 100) << "below the pointer, so it hides nothing the pointer points at";
    // Two lines of text in the default font, with room around them.
    TEXTMETRIC tm;
    GetTextMetrics(GetDefaultGuiFont(), &tm);
    EXPECT_GE(tip.bottom - tip.top, 2 * tm.tmHeight);
    EXPECT_LT(tip.bottom - tip.top, 3 * tm.tmHeight);
    // Shown without taking the keyboard, above its owner.
    EXPECT_EQ(GetActiveWindow(), m_top);
    EXPECT_EQ(GetFocus(), m_top);

    headless::PumpMessages();
    const Bitmap* px = headless::Pixels(m_tip);
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(px->At(2, 2), kTipBackground);
    EXPECT_NE(px->At(0, 0), kTipBackground) << "a frame";
    int ink = 0;
    for (uint32_t p : px->pixels)
        ink += (p & 0xFF) < 0x80;
    EXPECT_GT(ink, 20) << "the text is drawn";
    const std::string picture = testing::TempDir() + "TooltipTest-tip.png";
    EXPECT_TRUE(headless::SavePng(m_tip, picture));
    std::printf("tooltip picture: %s\n", picture.c_str());

    // Leaving the window hides it.
    headless::MouseMove(600, 600);
    EXPECT_FALSE(IsWindowVisible(m_tip));
    // Hovering outside the control shows nothing.
    HoverAt(300, 250);
    EXPECT_FALSE(IsWindowVisible(m_tip));
}

// The pointer moved onto the tip still belongs to the window below: it keeps the hover, gets the
// moves and clicks, and hears of no leave, so the tip does not flicker away.
TEST_F(TooltipTest, ThePointerPassesThroughTheTip) {
    HoverAt(100, 100);
    ASSERT_TRUE(IsWindowVisible(m_tip));
    const RECT tip = TipRect();
    ClearLog();
    const int x = tip.left + 5;
    const int y = tip.top + 5;
    headless::MouseMove(x, y);
    headless::Click(x, y);
    EXPECT_TRUE(Of(WM_MOUSELEAVE).empty());
    ASSERT_FALSE(Of(WM_MOUSEMOVE, m_top).empty());
    EXPECT_EQ(GET_Y_LPARAM(Of(WM_MOUSEMOVE, m_top).back().lParam), y);
    EXPECT_EQ(Of(WM_LBUTTONDOWN, m_top).size(), 1u);
    EXPECT_TRUE(Of(WM_MOUSEMOVE, m_tip).empty());
    EXPECT_TRUE(IsWindowVisible(m_tip));
    EXPECT_EQ(SendMessage(m_tip, WM_NCHITTEST, 0, MAKELPARAM(x, y)), HTTRANSPARENT);
}

TEST_F(TooltipTest, MaximumWidthWrapsAndTheFontSetsTheSize) {
    m_tool.lpszText = "A long description that cannot stay on one line";
    HoverAt(100, 100);
    const RECT wide = TipRect();
    SendMessage(m_tip, TTM_TRACKACTIVATE, 0, reinterpret_cast<LPARAM>(&m_tool));

    m_maxWidth = 120;
    HoverAt(101, 100);
    const RECT narrow = TipRect();
    EXPECT_EQ(SendMessage(m_tip, TTM_GETMAXTIPWIDTH, 0, 0), 120);
    EXPECT_LE(narrow.right - narrow.left, 120 + 2 * 5);
    EXPECT_GT(narrow.bottom - narrow.top, 2 * (wide.bottom - wide.top) - 10);

    // The framework's font: a larger one makes a taller tip.
    HFONT big = CreateFont(FontSpec{"", 24});
    SendMessage(m_tip, WM_SETFONT, reinterpret_cast<WPARAM>(big), 1);
    EXPECT_EQ(SendMessage(m_tip, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
    EXPECT_GT(TipRect().bottom - TipRect().top, narrow.bottom - narrow.top);
    DestroyWindow(m_tip);
    DeleteFont(big);
}

TEST_F(TooltipTest, TheTipStaysInsideTheWorkAreaAndAtItsTrackPosition) {
    headless::SetWorkArea(RECT{0, 0, 400, 160});
    m_control = RECT{0, 0, 400, 300};
    m_tool.rect = m_control;
    HoverAt(390, 140);
    ASSERT_TRUE(IsWindowVisible(m_tip));
    const RECT tip = TipRect();
    EXPECT_LE(tip.right, 400);
    EXPECT_LE(tip.bottom, 140) << "above the pointer when there is no room below";

    SendMessage(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(20, 30));
    EXPECT_EQ(TipRect().left, 20);
    EXPECT_EQ(TipRect().top, 30);
}

TEST_F(TooltipTest, ToolsAreNamedByWindowAndIdAndDelaysHaveDefaults) {
    EXPECT_EQ(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    SendMessage(m_tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(200, 0));
    EXPECT_EQ(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2000);
    EXPECT_EQ(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 40);
    SendMessage(m_tip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(-1, 0));
    EXPECT_EQ(SendMessage(m_tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);

    TOOLINFO other = m_tool;
    other.uId = 7;
    other.lpszText = "other";
    SendMessage(m_tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&other));
    SendMessage(m_tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&m_tool)); // replaces
    EXPECT_EQ(SendMessage(m_tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    TOOLINFO got;
    got.hwnd = m_top;
    got.uId = 7;
    ASSERT_EQ(SendMessage(m_tip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&got)), 1);
    EXPECT_STREQ(got.lpszText, "other");

    // Activating an unknown tool shows nothing; deleting the shown tool hides the tip.
    TOOLINFO unknown = m_tool;
    unknown.uId = 99;
    SendMessage(m_tip, TTM_TRACKACTIVATE, 1, reinterpret_cast<LPARAM>(&unknown));
    EXPECT_FALSE(IsWindowVisible(m_tip));
    SendMessage(m_tip, TTM_TRACKACTIVATE, 1, reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(IsWindowVisible(m_tip));
    SendMessage(m_tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_FALSE(IsWindowVisible(m_tip));
    EXPECT_EQ(SendMessage(m_tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

} // namespace
} // namespace plat::test
