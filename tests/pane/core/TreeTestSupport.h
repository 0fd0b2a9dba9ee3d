#pragma once
// Fixtures for the control tree tests on the headless backend: a framework window whose messages
// go to its UI manager, a recorder of notifications, a control that logs the events it gets,
// and a minimal scroll bar made through the control factory.

#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"
#include "platform/backends/Headless.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Pane::test {

// A borderless window at the screen's corner (client = screen coordinates) hosting a manager.
class HostWindow : public CWindowWnd {
public:
    CUIManager manager;

    plat::HWND Open(int width, int height);

protected:
    const char* GetWindowClassName() const override { return "PaneTreeTestHost"; }
    plat::UINT GetClassStyle() const override { return plat::CS_DBLCLKS; }
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
};

// Every notification as "type:sender-name".
class NotifyLog : public INotifyUI {
public:
    void Notify(NotifyMessage& msg) override;
    std::vector<std::string> entries;
    std::vector<NotifyMessage> records;
};

// Logs "name:event" for every event it handles (after the base handling) and can be a tab stop.
class LoggingControl : public CControlUI {
public:
    LoggingControl(const char* name, std::vector<std::string>* log, bool tabStop = false);
    unsigned int ControlFlags() const override {
        return m_tabStop ? static_cast<unsigned int>(kFlagTabStop) : 0u;
    }
    void HandleEvent(UIEvent& event) override;

private:
    std::vector<std::string>* m_log;
    bool m_tabStop;
};

// Tells whether a control has been destroyed (through its on-destroy delegates).
struct DestroyWatch {
    explicit DestroyWatch(CControlUI& control) {
        control.OnDestroy += MakeDelegate(this, &DestroyWatch::OnDestroy);
    }
    bool OnDestroy(void*) {
        destroyed = true;
        return true;
    }
    bool destroyed = false;
};

// The smallest scroll bar a container can use: a range and a clamped position.
class TestScrollBar : public CControlUI, public IScrollBarUI {
public:
    TestScrollBar() { m_fixedSize = plat::SIZE{10, 10}; }
    const char* ClassName() const override { return "ScrollBarUI"; }
    void* Interface(const char* name) override;
    void SetOwner(CContainerUI* owner) override { m_owner = owner; }
    void SetHorizontal(bool horizontal) override { m_horizontal = horizontal; }
    int ScrollRange() const override { return m_range; }
    void SetScrollRange(int range) override;
    int ScrollPos() const override { return m_pos; }
    void SetScrollPos(int pos) override;

    CContainerUI* m_owner = nullptr;
    bool m_horizontal = false;
    int m_range = 0;
    int m_pos = 0;
};

// Installs a factory that makes TestScrollBar for "ScrollBar" while it lives.
class ScrollBarFactoryScope {
public:
    ScrollBarFactoryScope();
    ~ScrollBarFactoryScope();
};

// Starts the headless window system around each test and opens one host window.
class TreeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the host window of that client size and attaches root as its tree; lays out and
    // paints once.
    void Attach(CControlUI* root, int width = 400, int height = 300);
    // Runs every pending message and paint.
    static void Pump() { plat::headless::PumpMessages(); }
    // The centre of a control in screen coordinates.
    plat::POINT Centre(const CControlUI* control) const;
    void Click(const CControlUI* control);
    void MoveTo(const CControlUI* control);
    // A key routed as the message loop routes it: the manager's pre-message handling first.
    void RouteKey(int vk);
    // The window's pixel at client coordinates, as ARGB.
    uint32_t Pixel(int x, int y) const;
#ifdef ZELTA_BIN_DIR
    // Writes the window as PNG beside the test programs; returns the path.
    std::string Shot(const char* name) const {
        const std::string path = std::string(ZELTA_BIN_DIR) + "/" + name + ".png";
        plat::headless::SavePng(m_host->GetHWND(), path);
        return path;
    }
#endif

    std::unique_ptr<HostWindow> m_host;
    CUIManager* m_manager = nullptr;
    NotifyLog m_notes;
};

} // namespace Pane::test
