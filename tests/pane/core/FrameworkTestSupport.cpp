#include "FrameworkTestSupport.h"

#include "pane/core/Automation.h"
#include "pane/core/Container.h"
#include "platform/backends/Headless.h"

#include <cstdlib>
#include <cstring>

namespace Pane::test {

void FrameworkTest::SetUp() {
    ::setenv("PANE_BACKEND", "headless", 1);
    ASSERT_TRUE(plat::Initialise());
    ASSERT_TRUE(plat::headless::Active());
}

void FrameworkTest::TearDown() {
    plat::Shutdown();
}

void ProbeControl::HandleEvent(UIEvent& event) {
    events.push_back(event.type);
    records.push_back(event);
    CControlUI::HandleEvent(event);
}

void* StateProbe::Interface(const char* name) {
    if (std::strcmp(name, kAutomationStateInterface) == 0)
        return static_cast<IAutomationStateUI*>(this);
    return ProbeControl::Interface(name);
}

CControlUI* ProbeCallback::CreateControl(const char* className) {
    asked.emplace_back(className);
    if (std::strcmp(className, "State") == 0)
        return new StateProbe;
    if (std::strcmp(className, "Probe") == 0)
        return new ProbeControl;
    if (std::strcmp(className, "Button") == 0)
        return new ProbeControl("ButtonUI");
    if (std::strcmp(className, "text") == 0)
        return new ProbeControl("textui");
    if (std::strcmp(className, "VerticalLayout") == 0)
        return new CContainerUI;
    return nullptr;
}

bool MarkupWindow::Open(int width, int height) {
    if (Create(nullptr, "test window", plat::WS_OVERLAPPEDWINDOW, 0, 0, 0, width, height) ==
        nullptr)
        return false;
    ShowWindow(true);
    PumpMessages();
    return true;
}

void MarkupWindow::Notify(NotifyMessage& msg) {
    notifications.push_back(std::string(msg.type.GetData()) + " " +
                            (msg.sender != nullptr ? msg.sender->Name().GetData() : ""));
    WindowImplBase::Notify(msg);
}

plat::LRESULT MarkupWindow::OnClose(plat::UINT, plat::WPARAM wParam, plat::LPARAM, bool& handled) {
    closes.push_back(wParam);
    handled = false;
    return 0;
}

} // namespace Pane::test
