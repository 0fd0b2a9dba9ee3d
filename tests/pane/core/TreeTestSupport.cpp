#include "TreeTestSupport.h"

#include "platform/base/Rect.h"

#include <cstdlib>
#include <cstring>

namespace Pane::test {

plat::HWND HostWindow::Open(int width, int height) {
    return Create(nullptr, "tree test", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, width, height);
}

plat::LRESULT HostWindow::HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
    if (msg == plat::WM_CREATE) {
        manager.Init(m_hWnd);
        return 0;
    }
    plat::LRESULT result = 0;
    if (manager.MessageHandler(msg, wParam, lParam, result)) {
        return result;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void NotifyLog::Notify(NotifyMessage& msg) {
    entries.push_back(std::string(msg.type.GetData()) + ":" +
                      (msg.sender != nullptr ? msg.sender->Name().GetData() : ""));
    records.push_back(msg);
}

LoggingControl::LoggingControl(const char* name, std::vector<std::string>* log, bool tabStop)
    : m_log(log), m_tabStop(tabStop) {
    SetName(name);
}

void LoggingControl::HandleEvent(UIEvent& event) {
    static const char* const kNames[] = {
        "",      "",      "",          "keydown",  "keyup", "char",   "syskey", "",         "",
        "move",  "leave", "enter",     "hover",    "down",  "up",     "rdown",  "dblclick", "menu",
        "wheel", "",      "killfocus", "setfocus", "size",  "cursor", "timer"};
    if (event.type >= 0 && event.type < static_cast<int>(std::size(kNames))) {
        m_log->push_back(std::string(Name().GetData()) + ":" + kNames[event.type]);
    }
    CControlUI::HandleEvent(event);
}

void* TestScrollBar::Interface(const char* name) {
    if (std::strcmp(name, "IScrollBar") == 0) {
        return static_cast<IScrollBarUI*>(this);
    }
    return CControlUI::Interface(name);
}

void TestScrollBar::SetScrollRange(int range) {
    m_range = range < 0 ? 0 : range;
    SetScrollPos(m_pos);
}

void TestScrollBar::SetScrollPos(int pos) {
    m_pos = pos < 0 ? 0 : (pos > m_range ? m_range : pos);
}

ScrollBarFactoryScope::ScrollBarFactoryScope() {
    SetControlFactory([](const char* tag) -> CControlUI* {
        return std::strcmp(tag, "ScrollBar") == 0 ? new TestScrollBar : nullptr;
    });
}

ScrollBarFactoryScope::~ScrollBarFactoryScope() {
    SetControlFactory(nullptr);
}

void TreeTest::SetUp() {
    setenv("PANE_BACKEND", "headless", 1);
    ASSERT_TRUE(plat::Initialise());
    m_host = std::make_unique<HostWindow>();
    m_manager = &m_host->manager;
}

void TreeTest::TearDown() {
    if (m_host != nullptr && m_host->GetHWND() != nullptr) {
        plat::DestroyWindow(m_host->GetHWND());
    }
    m_host.reset();
    plat::Shutdown();
}

void TreeTest::Attach(CControlUI* root, int width, int height) {
    ASSERT_NE(m_host->Open(width, height), nullptr);
    m_manager->AddNotifier(&m_notes);
    m_manager->AttachDialog(root);
    Pump();
}

plat::POINT TreeTest::Centre(const CControlUI* control) const {
    const plat::RECT& rc = control->Position();
    plat::POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    plat::ClientToScreen(m_host->GetHWND(), &pt);
    return pt;
}

void TreeTest::Click(const CControlUI* control) {
    const plat::POINT pt = Centre(control);
    plat::headless::Click(pt.x, pt.y);
}

void TreeTest::MoveTo(const CControlUI* control) {
    const plat::POINT pt = Centre(control);
    plat::headless::MouseMove(pt.x, pt.y);
}

void TreeTest::RouteKey(int vk) {
    for (plat::UINT msg : {plat::WM_KEYDOWN, plat::WM_KEYUP}) {
        plat::MSG m;
        m.hwnd = m_host->GetHWND();
        m.message = msg;
        m.wParam = static_cast<plat::WPARAM>(vk);
        if (!CUIManager::TranslateMessage(&m)) {
            plat::DispatchMessage(&m);
        }
    }
    Pump();
}

uint32_t TreeTest::Pixel(int x, int y) const {
    const plat::Bitmap* pixels = plat::headless::Pixels(m_host->GetHWND());
    if (pixels == nullptr || x < 0 || y < 0 || x >= pixels->width || y >= pixels->height) {
        return 0;
    }
    return pixels->At(x, y) | 0xFF000000u;
}

} // namespace Pane::test
