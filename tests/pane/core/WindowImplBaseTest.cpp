// The window implementation base: creation (styles, the tree from markup, the built-in
// skeleton, failure), the non-client handlers, Escape and the system close, and notification
// dispatch through message maps and virtual windows.
#include "FrameworkTestSupport.h"

#include "pane/core/Automation.h"
#include "pane/core/Xml.h"
#include "platform/backends/Headless.h"

#include <algorithm>
#include <string>

namespace Pane::test {
namespace {

using WindowImplBaseTest = FrameworkTest;

const char* const kCaptionMarkup =
    "<Window caption=\"10,0,20,36\" roundcorner=\"5,6\" mininfo=\"120,90\">"
    "<Container name=\"main\">"
    "<Probe name=\"band\" float=\"true\" pos=\"0,0,300,36\"/>"
    "<Button name=\"close\" float=\"true\" pos=\"200,4,230,30\"/>"
    "<text name=\"title\" float=\"true\" pos=\"100,4,150,30\"/>"
    "<Probe name=\"body\" float=\"true\" pos=\"0,36,300,200\"/>"
    "</Container></Window>";

plat::LRESULT HitTest(plat::HWND hwnd, int x, int y) {
    plat::POINT pt{x, y};
    plat::ClientToScreen(hwnd, &pt);
    return plat::SendMessage(hwnd, plat::WM_NCHITTEST, 0, plat::MAKELPARAM(pt.x, pt.y));
}

TEST_F(WindowImplBaseTest, CreationDropsTheCaptionStylesAndAttachesTheTree) {
    MarkupWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    const auto style = static_cast<plat::DWORD>(plat::GetWindowLongPtr(window, plat::GWL_STYLE));
    EXPECT_EQ(style & plat::WS_CAPTION, 0u);
    EXPECT_EQ(style & (plat::WS_CLIPCHILDREN | plat::WS_CLIPSIBLINGS),
              plat::WS_CLIPCHILDREN | plat::WS_CLIPSIBLINGS);
    ASSERT_NE(window.GetManager().GetRoot(), nullptr);
    EXPECT_STREQ(window.GetManager().GetRoot()->Name().GetData(), "main");
    EXPECT_EQ(window.GetManager().GetPaintWindow(), window.GetHWND());
    EXPECT_TRUE(window.GetManager().IsBackgroundTransparent());
    EXPECT_NE(window.GetManager().FindControl("body"), nullptr);
}

TEST_F(WindowImplBaseTest, CaptionBandDragsExceptOverButtonsOptionsAndText) {
    MarkupWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    EXPECT_EQ(HitTest(window, 50, 10), plat::HTCAPTION);  // the plain control in the band
    EXPECT_EQ(HitTest(window, 215, 10), plat::HTCLIENT);  // a button
    EXPECT_EQ(HitTest(window, 120, 10), plat::HTCLIENT);  // text, class name in other case
    EXPECT_EQ(HitTest(window, 50, 36), plat::HTCLIENT);   // below the band
    EXPECT_EQ(HitTest(window, 5, 10), plat::HTCLIENT);    // left of the left inset
    EXPECT_EQ(HitTest(window, 285, 10), plat::HTCLIENT);  // in the right inset
    EXPECT_EQ(HitTest(window, 279, 10), plat::HTCAPTION); // just inside it
}

TEST_F(WindowImplBaseTest, SizingGivesARoundedRegionAndTheMaximisedLimits) {
    MarkupWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open(300, 200));
    plat::SetWindowPos(window, nullptr, 0, 0, 280, 190, plat::SWP_NOMOVE | plat::SWP_NOZORDER);
    PumpMessages();
    plat::RECT region;
    int ex = 0;
    int ey = 0;
    ASSERT_TRUE(plat::GetWindowRgn(window, &region, &ex, &ey));
    EXPECT_EQ(region.right, 281);
    EXPECT_EQ(region.bottom, 191);
    EXPECT_EQ(ex, 5);
    EXPECT_EQ(ey, 6);

    plat::headless::SetWorkArea(plat::RECT{0, 0, 1000, 700});
    plat::MINMAXINFO info{};
    plat::SendMessage(window, plat::WM_GETMINMAXINFO, 0, reinterpret_cast<plat::LPARAM>(&info));
    EXPECT_EQ(info.ptMaxSize.x, 1000);
    EXPECT_EQ(info.ptMaxSize.y, 700);
    EXPECT_EQ(info.ptMinTrackSize.x, 120);
    EXPECT_EQ(info.ptMinTrackSize.y, 90);

    // No frame: activation does not repaint one, and the caption's double click does nothing.
    EXPECT_EQ(plat::SendMessage(window, plat::WM_NCACTIVATE, 0, 0), 1);
    EXPECT_EQ(plat::SendMessage(window, plat::WM_NCACTIVATE, 1, 0), 0);
    EXPECT_EQ(plat::SendMessage(window, plat::WM_NCLBUTTONDBLCLK, plat::HTCAPTION, 0), 0);
    EXPECT_FALSE(plat::IsZoomed(window));
}

TEST_F(WindowImplBaseTest, EscapeClosesWithResultOneAndReturnIsNotConsumed) {
    MarkupWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    auto* body = static_cast<ProbeControl*>(window.GetManager().FindControl("body"));
    ASSERT_NE(body, nullptr);
    window.GetManager().SetFocus(body);

    plat::InputKey(plat::VK_RETURN, true);
    plat::InputKey(plat::VK_RETURN, false);
    PumpMessages();
    EXPECT_TRUE(window.closes.empty());
    EXPECT_NE(std::find(body->events.begin(), body->events.end(), kEventKeyDown),
              body->events.end());

    plat::InputKey(plat::VK_ESCAPE, true);
    plat::InputKey(plat::VK_ESCAPE, false);
    PumpMessages();
    ASSERT_EQ(window.closes.size(), 1u);
    EXPECT_EQ(window.closes[0], 1u);
    EXPECT_FALSE(plat::IsWindow(window.GetHWND()));
}

TEST_F(WindowImplBaseTest, SystemCloseQuitsTheProgramsMessageLoop) {
    MarkupWindow window(kCaptionMarkup);
    ASSERT_TRUE(window.Open());
    plat::InputCloseRequest(window);
    plat::MSG msg;
    bool quit = false;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
        if (msg.message == plat::WM_QUIT) {
            quit = true;
            break;
        }
        plat::DispatchMessage(&msg);
    }
    EXPECT_TRUE(quit);
    EXPECT_TRUE(window.closes.empty()); // the window itself is not closed
}

TEST_F(WindowImplBaseTest, BuiltinSkeletonHasItsSizeFontsAndTwentyScrollBarImages) {
    const CUIString markup = WindowImplBase::BuiltinMarkup(779, 509);
    EXPECT_NE(std::string(markup.GetData()).find("roundcorner=\"5,5\" size=\"779,509\" sizebox="),
              std::string::npos);

    // Built into a window whose callback stands in for the vertical layout.
    class BuiltinWindow : public MarkupWindow {
    public:
        BuiltinWindow() : MarkupWindow("") {}

    protected:
        int GetResourceType() const override { return kBuiltinMarkup; }
    };
    BuiltinWindow window;
    ASSERT_TRUE(window.Open());
    CUIManager& pm = window.GetManager();
    EXPECT_EQ(pm.GetCaptionRect().bottom, 36);
    EXPECT_EQ(pm.GetInitSize().cx, 0);
    EXPECT_EQ(pm.GetDefaultFontColor(), 0xFF386382u);
    ASSERT_EQ(pm.GetCustomFontCount(), 3);
    EXPECT_EQ(pm.GetFontInfo(1)->size, 13);
    EXPECT_TRUE(pm.GetFontInfo(1)->bold);
    EXPECT_EQ(pm.GetDefaultFontInfo()->size, 12);
    ASSERT_NE(pm.GetRoot(), nullptr);
    EXPECT_STREQ(pm.GetRoot()->Name().GetData(), "main");
    EXPECT_EQ(pm.GetRoot()->BkColor2(), 0xFFC6E0F1u);

    const std::string list = pm.GetDefaultAttributeList("VScrollBar");
    int images = 0;
    for (std::size_t at = list.find("image=\""); at != std::string::npos;
         at = list.find("image=\"", at + 1))
        ++images;
    EXPECT_EQ(images, 20);
    EXPECT_EQ(list.rfind("button1normalimage=\"res='159' restype='png' mask='#FFFF00FF' "
                         "source='0,90,16,106'\" button1hotimage=",
                         0),
              0u);
    EXPECT_NE(list.find(" bkdisabledimage=\"res='159' restype='png' mask='#FFFF00FF' "
                        "source='54,162,70,178' corner='2,2,2,2'\""),
              std::string::npos);
    EXPECT_NE(list.find("thumbpushedimage=\"res='159' restype='png' mask='#FFFF00FF' "
                        "source='36,126,52,142' corner='2,2,2,2'\""),
              std::string::npos);
}

TEST_F(WindowImplBaseTest, ASkinThatCannotBeBuiltEndsTheProgramWithTheLoadFailure) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            MarkupWindow window("no-such-skin.xml");
            window.Open();
        },
        ::testing::ExitedWithCode(1), "Pane: 加载资源文件失败");
}

// Message maps: a window with its own map on top of a base window's map.
class BaseMapWindow : public MarkupWindow {
public:
    BaseMapWindow() : MarkupWindow("<Window><Probe/></Window>") {}
    std::vector<std::string> calls;

    void OnBaseClick(plat::WPARAM wParam, plat::LPARAM) {
        calls.push_back("base-click " + std::to_string(wParam));
    }
    void OnBaseTimer(NotifyMessage& msg) { calls.push_back("base-timer " + std::string(msg.type)); }

    PANE_DECLARE_MESSAGE_MAP()
};

PANE_BEGIN_MESSAGE_MAP(BaseMapWindow, WindowImplBase)
PANE_ON_NOTIFY("click", "", OnBaseClick)
PANE_ON_NOTIFY_MSG("timer", "", OnBaseTimer)
PANE_END_MESSAGE_MAP()

class DerivedMapWindow : public BaseMapWindow {
public:
    void OnOk(plat::WPARAM, plat::LPARAM) { calls.push_back("ok"); }
    void OnAnyFirst(plat::WPARAM, plat::LPARAM) { calls.push_back("any-first"); }
    void OnAnyLast(NotifyMessage& msg) {
        calls.push_back("any-last " + std::string(msg.sender->Name().GetData()));
    }

    PANE_DECLARE_MESSAGE_MAP()
};

PANE_BEGIN_MESSAGE_MAP(DerivedMapWindow, BaseMapWindow)
PANE_ON_NOTIFY("select", "", OnAnyFirst)
PANE_ON_NOTIFY("select", "ok", OnOk)
PANE_ON_NOTIFY_MSG("select", "", OnAnyLast){"stop", "", 7, nullptr, nullptr},
    PANE_END_MESSAGE_MAP()

        class VirtualPump : public CNotifyPump {
public:
    std::vector<std::string> calls;
    void OnClick(plat::WPARAM, plat::LPARAM) { calls.push_back("virtual-click"); }
    PANE_DECLARE_MESSAGE_MAP()
};

PANE_BEGIN_MESSAGE_MAP(VirtualPump, CNotifyPump)
PANE_ON_NOTIFY("click", "inside", OnClick)
PANE_END_MESSAGE_MAP()

NotifyMessage Note(const char* type, CControlUI* sender, plat::WPARAM wParam = 0,
                   const char* virtualWnd = "") {
    NotifyMessage msg;
    msg.type = type;
    msg.sender = sender;
    msg.wParam = wParam;
    msg.virtualWnd = virtualWnd;
    return msg;
}

TEST_F(WindowImplBaseTest, MessageMapsPreferTheNamedEntryThenTheLastAnyEntryThenTheBaseMap) {
    DerivedMapWindow window;
    CControlUI ok;
    ok.SetName("ok");
    CControlUI other;
    other.SetName("other");

    NotifyMessage msg = Note("select", &ok);
    EXPECT_TRUE(window.LoopDispatch(msg));
    msg = Note("select", &other);
    EXPECT_TRUE(window.LoopDispatch(msg));
    msg = Note("click", &other, 42);
    EXPECT_TRUE(window.LoopDispatch(msg)); // only the base map has it
    msg = Note("timer", &ok);
    EXPECT_TRUE(window.LoopDispatch(msg));
    msg = Note("stop", &ok);
    EXPECT_FALSE(window.LoopDispatch(msg)); // an entry of another signature ends it unhandled
    msg = Note("nothing", &ok);
    EXPECT_FALSE(window.LoopDispatch(msg));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"ok", "any-last other", "base-click 42",
                                                      "base-timer timer"}));
}

TEST_F(WindowImplBaseTest, VirtualWindowsGetTheirNotificationsFirstIgnoringCase) {
    DerivedMapWindow window;
    VirtualPump pump;
    EXPECT_TRUE(window.AddVirtualWnd("Panel", &pump));
    EXPECT_FALSE(window.AddVirtualWnd("Panel", &pump));
    CControlUI inside;
    inside.SetName("inside");
    CControlUI elsewhere;
    elsewhere.SetName("elsewhere");

    NotifyMessage msg = Note("click", &inside, 1, "PANEL");
    window.Notify(msg);
    msg = Note("click", &elsewhere, 2, "panel"); // the virtual window has no entry for it
    window.Notify(msg);
    msg = Note("click", &inside, 3); // no virtual window named
    window.Notify(msg);
    EXPECT_EQ(pump.calls, (std::vector<std::string>{"virtual-click"}));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"base-click 2", "base-click 3"}));
    EXPECT_TRUE(window.RemoveVirtualWnd("Panel"));
    EXPECT_FALSE(window.RemoveVirtualWnd("Panel"));
}

} // namespace
} // namespace Pane::test
