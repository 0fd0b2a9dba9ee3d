#include "TreeTestSupport.h"

#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Pane::test {
namespace {

using plat::POINT;
using plat::RECT;

// Three controls side by side, each 100 wide, in a root container; a, b and c are tab stops
// unless told otherwise.
class ManagerTest : public TreeTest {
protected:
    void Build(bool tabStops = true, int width = 300, int height = 100) {
        m_root = new CContainerUI;
        m_root->SetBkColor(0xFFFFFFFF);
        const char* names[] = {"a", "b", "c"};
        for (int i = 0; i < 3; ++i) {
            auto* control = new LoggingControl(names[i], &m_log, tabStops);
            control->SetAttribute("float", "true");
            control->SetFixedXY(plat::SIZE{i * 100, 0});
            control->SetFixedWidth(100);
            control->SetFixedHeight(100);
            m_root->Add(control);
            m_controls[i] = control;
        }
        Attach(m_root, width, height);
        m_log.clear();
        m_notes.entries.clear();
    }

    // The entries of the event log that match one of the kinds.
    std::vector<std::string> Events(std::initializer_list<const char*> kinds) const {
        std::vector<std::string> out;
        for (const std::string& entry : m_log) {
            for (const char* kind : kinds) {
                if (entry.substr(entry.find(':') + 1) == kind) {
                    out.push_back(entry);
                }
            }
        }
        return out;
    }

    CContainerUI* m_root = nullptr;
    CControlUI* m_controls[3] = {};
    std::vector<std::string> m_log;
};

TEST_F(ManagerTest, FirstLayoutSendsWindowInitOnce) {
    auto* root = new CContainerUI;
    root->SetName("root");
    Attach(root);
    EXPECT_EQ(std::count(m_notes.entries.begin(), m_notes.entries.end(), "windowinit:root"), 1);
    EXPECT_EQ(root->Position().right, 400);
    plat::InvalidateRect(m_host->GetHWND(), nullptr, false);
    Pump();
    EXPECT_EQ(std::count(m_notes.entries.begin(), m_notes.entries.end(), "windowinit:root"), 1);
}

TEST_F(ManagerTest, EveryControlOfTheTreeIsInitialisedOnce) {
    struct Count {
        int calls = 0;
        bool OnInit(void*) {
            ++calls;
            return true;
        }
    } rootInits, childInits;
    auto* root = new CContainerUI;
    auto* child = new CControlUI;
    root->Add(child);
    root->OnInit += MakeDelegate(&rootInits, &Count::OnInit);
    child->OnInit += MakeDelegate(&childInits, &Count::OnInit);
    Attach(root);
    EXPECT_EQ(rootInits.calls, 1);
    EXPECT_EQ(childInits.calls, 1);
}

// While restless, asks for another layout each time it is laid out.
class Restless : public CControlUI {
public:
    void SetPosition(RECT rc) override {
        CControlUI::SetPosition(rc);
        ++layouts;
        if (restless) {
            NeedUpdate();
        }
    }
    bool restless = false;
    int layouts = 0;
};

TEST_F(ManagerTest, AControlThatAlwaysWantsLayoutCannotHangAPaint) {
    auto* root = new CContainerUI;
    auto* restless = new Restless;
    root->Add(restless);
    Attach(root);
    restless->restless = true;
    restless->NeedUpdate();
    const int before = restless->layouts;
    // One paint message returns; the window keeps asking to be painted meanwhile.
    plat::UpdateWindow(m_host->GetHWND());
    EXPECT_GT(restless->layouts, before);
    EXPECT_LE(restless->layouts, before + 1000);
    restless->restless = false;
    Pump();
}

TEST_F(ManagerTest, HoverMovesFromControlToControl) {
    Build();
    MoveTo(m_controls[0]);
    MoveTo(m_controls[1]);
    EXPECT_EQ(Events({"enter", "leave"}),
              (std::vector<std::string>{"a:enter", "a:leave", "b:enter"}));
    EXPECT_EQ(m_manager->GetHoverControl(), m_controls[1]);
    // Resting there gives the hover; leaving the window ends it.
    m_log.clear();
    plat::headless::AdvanceClock(plat::kDefaultHoverMs + 10);
    EXPECT_EQ(Events({"hover"}), std::vector<std::string>{"b:hover"});
    plat::headless::MouseMove(1000, 1000);
    EXPECT_EQ(Events({"leave"}), std::vector<std::string>{"b:leave"});
    EXPECT_EQ(m_manager->GetHoverControl(), nullptr);
}

TEST_F(ManagerTest, APressedControlKeepsTheMouseUntilRelease) {
    Build();
    const POINT a = Centre(m_controls[0]);
    const POINT c = Centre(m_controls[2]);
    plat::headless::MouseMove(a.x, a.y);
    plat::headless::MouseDown(a.x, a.y);
    EXPECT_TRUE(m_manager->IsCaptured());
    m_log.clear();
    plat::headless::MouseMove(c.x, c.y);
    plat::headless::MouseUp(c.x, c.y);
    // Hover follows the pointer, but the moves and the release go to the pressed control.
    EXPECT_EQ(Events({"move", "up", "enter"}),
              (std::vector<std::string>{"c:enter", "a:move", "a:up"}));
    EXPECT_FALSE(m_manager->IsCaptured());
    EXPECT_EQ(m_manager->GetPressedControl(), nullptr);
    EXPECT_EQ(m_manager->GetFocus(), m_controls[0]);
}

TEST_F(ManagerTest, TabWalksTheTabStopsAndWraps) {
    Build();
    // The first paint moved the focus to the first tab stop.
    EXPECT_EQ(m_manager->GetFocus(), m_controls[0]);
    RouteKey(plat::VK_TAB);
    EXPECT_EQ(m_manager->GetFocus(), m_controls[1]);
    RouteKey(plat::VK_TAB);
    RouteKey(plat::VK_TAB);
    EXPECT_EQ(m_manager->GetFocus(), m_controls[0]);
    plat::headless::KeyDown(plat::VK_SHIFT);
    RouteKey(plat::VK_TAB);
    plat::headless::KeyUp(plat::VK_SHIFT);
    EXPECT_EQ(m_manager->GetFocus(), m_controls[2]);
    EXPECT_EQ(m_notes.entries,
              (std::vector<std::string>{"killfocus:a", "setfocus:b", "killfocus:b", "setfocus:c",
                                        "killfocus:c", "setfocus:a", "killfocus:a", "setfocus:c"}));
    // A hidden control takes no focus: the old one only loses it.
    m_notes.entries.clear();
    m_controls[1]->SetVisible(false);
    m_manager->SetFocus(m_controls[1]);
    EXPECT_EQ(m_manager->GetFocus(), nullptr);
    EXPECT_EQ(m_notes.entries, std::vector<std::string>{"killfocus:c"});
}

TEST_F(ManagerTest, KeysGoToTheFocusedControlAndReleaseToTheOneThatGotThem) {
    Build();
    m_controls[1]->SetFocus();
    m_log.clear();
    plat::headless::KeyDown('X');
    m_controls[2]->SetFocus();
    plat::headless::KeyUp('X');
    EXPECT_EQ(Events({"keydown", "keyup"}), (std::vector<std::string>{"b:keydown", "b:keyup"}));
}

TEST_F(ManagerTest, FocusNeededPicksTheControlAtTheNextPaint) {
    Build();
    m_manager->SetFocusNeeded(m_controls[2]);
    EXPECT_EQ(m_manager->GetFocus(), m_controls[1]);
    EXPECT_FALSE(m_controls[1]->IsFocused());
    Pump();
    EXPECT_EQ(m_manager->GetFocus(), m_controls[2]);
    EXPECT_TRUE(m_controls[2]->IsFocused());
}

TEST_F(ManagerTest, AltWithAShortcutFocusesAndTriggersItsControl) {
    Build();
    m_controls[2]->SetShortcut('r');
    plat::MSG msg;
    msg.hwnd = m_host->GetHWND();
    msg.message = plat::WM_SYSCHAR;
    msg.wParam = 'R';
    EXPECT_TRUE(CUIManager::TranslateMessage(&msg));
    EXPECT_EQ(m_manager->GetFocus(), m_controls[2]);
    msg.wParam = 'Q';
    EXPECT_FALSE(CUIManager::TranslateMessage(&msg));
}

TEST_F(ManagerTest, TimerIdsCountFromTheCounterAndRestartAfterKill) {
    Build();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(m_manager->SetTimer(m_controls[i], 1, 1000));
    }
    auto* late = new LoggingControl("d", &m_log);
    m_root->Add(late);
    ASSERT_TRUE(m_manager->SetTimer(late, 1, 1000));
    // The fourth timer runs under platform id 20: a timer message of that id reaches it.
    m_log.clear();
    plat::SendMessage(m_host->GetHWND(), plat::WM_TIMER, 20, 0);
    EXPECT_EQ(Events({"timer"}), std::vector<std::string>{"d:timer"});

    EXPECT_FALSE(m_manager->SetTimer(m_controls[0], 1, 500));
    EXPECT_TRUE(m_manager->KillTimer(m_controls[0], 1));
    EXPECT_FALSE(m_manager->KillTimer(m_controls[0], 1));
    EXPECT_TRUE(m_manager->SetTimer(m_controls[0], 1, 500));

    m_log.clear();
    m_notes.entries.clear();
    plat::headless::AdvanceClock(500);
    EXPECT_EQ(Events({"timer"}), std::vector<std::string>{"a:timer"});
    EXPECT_EQ(m_notes.entries, std::vector<std::string>{"timer:a"});

    // A control that goes takes its timers along.
    m_root->SetDelayedDestroy(false);
    m_root->Remove(late);
    m_log.clear();
    plat::headless::AdvanceClock(1000);
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "d:timer"), 0);
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "b:timer"), 1);
}

TEST_F(ManagerTest, AControlRemovedFromItsClickHandlerIsFreedAfterTheMessage) {
    Build();
    struct Remover {
        CContainerUI* root = nullptr;
        bool destroyed = false;
        bool destroyedDuringHandler = true;
        bool OnEvent(void* param) {
            auto* event = static_cast<UIEvent*>(param);
            if (event->type == kEventButtonUp) {
                root->Remove(event->sender);
                destroyedDuringHandler = destroyed;
            }
            return true;
        }
        bool OnDestroy(void*) {
            destroyed = true;
            return true;
        }
    } remover;
    remover.root = m_root;
    m_controls[1]->OnEvent += MakeDelegate(&remover, &Remover::OnEvent);
    m_controls[1]->OnDestroy += MakeDelegate(&remover, &Remover::OnDestroy);
    Click(m_controls[1]);
    EXPECT_FALSE(remover.destroyedDuringHandler);
    EXPECT_TRUE(remover.destroyed);
    EXPECT_EQ(m_manager->FindControl("b"), nullptr);
    EXPECT_EQ(m_manager->GetPressedControl(), nullptr);
    EXPECT_EQ(m_manager->GetFocus(), nullptr);
}

TEST_F(ManagerTest, OptionGroupsGoWithTheirLastOption) {
    Build();
    EXPECT_TRUE(m_manager->AddOptionGroup("g", m_controls[0]));
    EXPECT_FALSE(m_manager->AddOptionGroup("g", m_controls[0]));
    EXPECT_TRUE(m_manager->AddOptionGroup("g", m_controls[1]));
    ASSERT_NE(m_manager->GetOptionGroup("g"), nullptr);
    EXPECT_EQ(m_manager->GetOptionGroup("g")->GetSize(), 2);
    m_manager->RemoveOptionGroup("g", m_controls[0]);
    EXPECT_EQ(m_manager->GetOptionGroup("g")->GetSize(), 1);
    m_manager->RemoveOptionGroup("g", m_controls[1]);
    EXPECT_EQ(m_manager->GetOptionGroup("g"), nullptr);
}

// Listeners that record their turn; one of them leaves during the delivery.
struct Listener : INotifyUI {
    Listener(int id, std::vector<int>* order) : id(id), order(order) {}
    void Notify(NotifyMessage&) override {
        order->push_back(id);
        if (leave != nullptr) {
            leave->RemoveNotifier(this);
        }
    }
    int id;
    std::vector<int>* order;
    CUIManager* leave = nullptr;
};

TEST_F(ManagerTest, ListenersHearInTheOrderAddedEvenWhenOneLeaves) {
    Build();
    std::vector<int> order;
    Listener one(1, &order), two(2, &order), three(3, &order);
    m_manager->RemoveNotifier(&m_notes);
    m_manager->AddNotifier(&one);
    m_manager->AddNotifier(&two);
    m_manager->AddNotifier(&three);
    EXPECT_FALSE(m_manager->AddNotifier(&two));
    two.leave = m_manager;
    struct Own {
        std::vector<int>* order;
        bool OnNotify(void*) {
            order->push_back(0);
            return true;
        }
    } own{&order};
    m_controls[0]->OnNotify += MakeDelegate(&own, &Own::OnNotify);
    m_manager->SendNotify(m_controls[0], "click");
    m_manager->SendNotify(m_controls[0], "click");
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 0, 1, 3}));
}

TEST_F(ManagerTest, VirtualWindowNamesTravelWithNotifications) {
    Build();
    m_root->SetAttribute("virtualwnd", "page");
    m_manager->SendNotify(m_controls[0], "click");
    EXPECT_STREQ(m_notes.records.back().virtualWnd, "page");
}

TEST_F(ManagerTest, MessageFiltersSeeMessagesFirst) {
    Build();
    struct Eater : IMessageFilterUI {
        plat::LRESULT MessageHandler(plat::UINT msg, plat::WPARAM, plat::LPARAM,
                                     bool& handled) override {
            handled = msg == plat::WM_LBUTTONDOWN;
            return 0;
        }
    } eater;
    m_manager->AddMessageFilter(&eater);
    Click(m_controls[0]);
    EXPECT_TRUE(Events({"down"}).empty());
    EXPECT_EQ(Events({"up"}).size(), 0u);
    m_manager->RemoveMessageFilter(&eater);
    // Past the double-click time, so the next press is a plain one.
    plat::headless::AdvanceClock(1000);
    Click(m_controls[0]);
    EXPECT_EQ(Events({"down"}), std::vector<std::string>{"a:down"});
}

TEST_F(ManagerTest, APaintCopiesOnlyTheUpdateRectangle) {
    Build();
    m_controls[0]->SetBkColor(0xFF00FF00);
    m_controls[2]->SetBkColor(0xFF0000FF);
    Pump();
    // Spoil the window's pixels, then change one control: only its rectangle comes back.
    plat::POINT offset;
    plat::Bitmap* window = plat::GetWindowBuffer(m_host->GetHWND(), &offset);
    ASSERT_NE(window, nullptr);
    for (uint32_t& pixel : window->pixels) {
        pixel = 0xFF123456;
    }
    m_controls[1]->SetBkColor(0xFFFF0000);
    Pump();
    int copied = 0;
    for (uint32_t pixel : window->pixels) {
        copied += (pixel | 0xFF000000) != 0xFF123456 ? 1 : 0;
    }
    EXPECT_EQ(copied, 100 * 100);
    EXPECT_EQ(Pixel(150, 50), 0xFFFF0000u);
    EXPECT_EQ(Pixel(50, 50), 0xFF123456u);
}

TEST_F(ManagerTest, WheelAndContextMenuReachTheControlUnderThePointer) {
    Build();
    m_controls[1]->SetContextMenuUsed(true);
    const POINT b = Centre(m_controls[1]);
    plat::headless::Wheel(b.x, b.y, -plat::WHEEL_DELTA);
    EXPECT_EQ(Events({"wheel"}), std::vector<std::string>{"b:wheel"});
    plat::headless::MouseDown(b.x, b.y, plat::MouseButton::Right);
    plat::SendMessage(m_host->GetHWND(), plat::WM_CONTEXTMENU,
                      reinterpret_cast<plat::WPARAM>(m_host->GetHWND()),
                      plat::MAKELPARAM(b.x, b.y));
    EXPECT_EQ(Events({"rdown", "menu"}), (std::vector<std::string>{"b:rdown", "b:menu"}));
    EXPECT_EQ(m_notes.entries.back(), "menu:b");
}

TEST_F(ManagerTest, ATooltipShowsOnHoverAndHidesOnLeave) {
    Build();
    m_controls[1]->SetToolTip("Read<n>the radio");
    MoveTo(m_controls[1]);
    const plat::DWORD delay = 600;
    plat::headless::AdvanceClock(delay);
    const plat::HWND tip = m_manager->GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(plat::IsWindowVisible(tip));
    // Two lines in the window's font: taller than one line, no wider than the tip width.
    RECT tipRect;
    plat::GetWindowRect(tip, &tipRect);
    EXPECT_GT(tipRect.bottom - tipRect.top, 2 * m_manager->GetDefaultFontInfo()->tm.tmHeight);
    EXPECT_LE(tipRect.right - tipRect.left, m_controls[1]->ToolTipWidth() + 16);
    plat::headless::SavePng(tip, std::string(ZELTA_BIN_DIR) + "/ManagerTooltip.png");
    plat::headless::MouseMove(1000, 1000);
    EXPECT_FALSE(plat::IsWindowVisible(tip));
}

TEST_F(ManagerTest, ResizingLaysTheTreeOutAgain) {
    Build();
    auto* filler = new CControlUI;
    m_root->Add(filler);
    Pump();
    EXPECT_EQ(filler->Position().right, 300);
    plat::SetWindowPos(m_host->GetHWND(), nullptr, 0, 0, 500, 200,
                       plat::SWP_NOMOVE | plat::SWP_NOZORDER);
    Pump();
    EXPECT_EQ(filler->Position().right, 500);
    EXPECT_EQ(filler->Position().bottom, 200);
}

CUIManager* g_painted = nullptr;

TEST_F(ManagerTest, ThePaintHookAndTheListOfManagersServeAutomation) {
    CUIManager::SetPaintHook([](CUIManager* manager) { g_painted = manager; });
    Build();
    CUIManager::SetPaintHook(nullptr);
    EXPECT_EQ(g_painted, m_manager);
    ASSERT_GE(CUIManager::GetManagerCount(), 1);
    EXPECT_EQ(CUIManager::GetManager(CUIManager::GetManagerCount() - 1), m_manager);
    EXPECT_EQ(CUIManager::GetManager(CUIManager::GetManagerCount()), nullptr);
}

TEST_F(ManagerTest, ANewRootSendsTheOldOneToTheCleanUp) {
    Build();
    DestroyWatch watch(*m_root);
    auto* next = new CContainerUI;
    next->SetName("next");
    m_manager->AttachDialog(next);
    EXPECT_FALSE(watch.destroyed);
    EXPECT_EQ(m_manager->GetFocus(), nullptr);
    Pump();
    EXPECT_TRUE(watch.destroyed);
    EXPECT_EQ(m_manager->FindControl("a"), nullptr);
    EXPECT_EQ(m_manager->FindControl("next"), next);
    EXPECT_EQ(std::count(m_notes.entries.begin(), m_notes.entries.end(), "windowinit:next"), 1);
}

TEST_F(ManagerTest, SizeLimitsAndCursorsAnswerTheWindowSystem) {
    Build();
    m_manager->SetMinInfo(200, 0);
    m_manager->SetMaxInfo(600, 400);
    plat::MINMAXINFO info;
    info.ptMinTrackSize = POINT{1, 1};
    info.ptMaxTrackSize = POINT{9999, 9999};
    plat::SendMessage(m_host->GetHWND(), plat::WM_GETMINMAXINFO, 0,
                      reinterpret_cast<plat::LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 1); // zero is no limit
    EXPECT_EQ(info.ptMaxTrackSize.x, 600);
    EXPECT_EQ(info.ptMaxTrackSize.y, 400);

    // Only a control that sets its own cursor gets the set-cursor event.
    struct Pointer : LoggingControl {
        using LoggingControl::LoggingControl;
        unsigned int ControlFlags() const override { return kFlagSetCursor; }
    };
    auto* pointer = new Pointer("p", &m_log);
    pointer->SetAttribute("float", "true");
    pointer->SetAttribute("pos", "0,0,50,50");
    m_root->Add(pointer);
    Pump();
    for (CControlUI* target : {static_cast<CControlUI*>(pointer), m_controls[2]}) {
        MoveTo(target);
        m_log.clear();
        const plat::LRESULT handled =
            plat::SendMessage(m_host->GetHWND(), plat::WM_SETCURSOR,
                              reinterpret_cast<plat::WPARAM>(m_host->GetHWND()), plat::HTCLIENT);
        EXPECT_EQ(handled != 0, target == pointer);
    }
    MoveTo(pointer);
    m_log.clear();
    plat::SendMessage(m_host->GetHWND(), plat::WM_SETCURSOR,
                      reinterpret_cast<plat::WPARAM>(m_host->GetHWND()), plat::HTCLIENT);
    EXPECT_EQ(Events({"cursor"}), std::vector<std::string>{"p:cursor"});
}

TEST_F(ManagerTest, ResourcesAndColoursReachUpTheParentChain) {
    CUIManager top;
    CUIManager child;
    ASSERT_TRUE(child.UseParentResource(&top));
    EXPECT_FALSE(top.UseParentResource(&child)); // no loops
    top.SetDefaultFontColor(0xFF112233);
    child.SetDefaultFontColor(0xFF445566);
    EXPECT_EQ(child.GetDefaultFontColor(), 0xFF112233u);
    EXPECT_EQ(child.GetDefaultDisabledColor(), 0xFFA7A6AAu);

    ASSERT_TRUE(top.AddDefaultAttributeList("Button", "width=\"1\""));
    EXPECT_FALSE(top.AddDefaultAttributeList("Button", "width=\"2\""));
    EXPECT_STREQ(child.GetDefaultAttributeList("Button"), "width=\"1\"");
    EXPECT_EQ(child.GetDefaultAttributeList("Label"), nullptr);

    const plat::HFONT bold = top.AddFont("Sans", 13, true, false, false);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(child.FindFont("Sans", 13, true, false, false), bold);
    EXPECT_NE(child.GetFontInfo(bold), nullptr);
    // Out of range is the default font, always the top-most manager's.
    EXPECT_EQ(child.GetFont(5), top.GetDefaultFontInfo()->hFont);
    EXPECT_EQ(top.GetFont(0), bold);

    auto image = std::make_unique<ImageInfo>();
    image->bitmap = plat::Bitmap(2, 2, 0xFFFFFFFF);
    image->width = image->height = 2;
    ASSERT_NE(child.AddImage("dot", std::move(image)), nullptr);
    EXPECT_EQ(child.AddImage("dot", std::make_unique<ImageInfo>()), nullptr);
    EXPECT_NE(child.GetImage("dot"), nullptr);
    EXPECT_EQ(top.GetImage("dot"), nullptr);

    CUIManager::SetResourcePath("skins");
    EXPECT_STREQ(CUIManager::GetResourcePath(), "skins/");
    CUIManager::SetResourcePath("");
    const CUIString instance = CUIManager::GetInstancePath();
    ASSERT_FALSE(instance.IsEmpty());
    EXPECT_EQ(instance.GetAt(instance.GetLength() - 1), '/');
}

TEST_F(ManagerTest, BackgroundCaptureTransparencyAndDirtyOutlines) {
    ASSERT_NE(m_host->Open(100, 60), nullptr);
    plat::POINT offset;
    plat::Bitmap* window = plat::GetWindowBuffer(m_host->GetHWND(), &offset);
    ASSERT_NE(window, nullptr);
    for (uint32_t& pixel : window->pixels) {
        pixel = 0xFF204060;
    }
    m_manager->SetBackgroundTransparent(true);
    m_manager->SetShowUpdateRect(true);
    m_manager->SetTransparent(128);
    auto* root = new CContainerUI;
    auto* patch = new CControlUI;
    patch->ApplyAttributeList("float=\"true\" pos=\"40,20,60,40\" bkcolor=\"#FF00FF00\"");
    root->Add(patch);
    m_manager->AttachDialog(root);
    Pump();
    // What the window showed before stays behind the tree; the painted rectangle is outlined.
    EXPECT_EQ(Pixel(20, 30), 0xFF204060u);
    EXPECT_EQ(Pixel(50, 30), 0xFF00FF00u);
    EXPECT_EQ(Pixel(0, 30), 0xFFDC0000u);
    plat::headless::NativeState state;
    ASSERT_TRUE(plat::headless::GetNativeState(m_host->GetHWND(), &state));
    EXPECT_EQ(state.opacity, 128);
    EXPECT_NE(plat::GetWindowLongPtr(m_host->GetHWND(), plat::GWL_EXSTYLE) & plat::WS_EX_LAYERED,
              0);
}

} // namespace
} // namespace Pane::test
