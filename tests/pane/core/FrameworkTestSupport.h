#pragma once
// Shared by the builder, window implementation base and automation tests: a fixture running the
// window system on the headless backend, a control that records the events it gets and answers
// to any class name, and a framework window built from markup text.

#include "pane/core/Automation.h"
#include "pane/core/Builder.h"
#include "pane/core/Control.h"
#include "pane/utils/WindowImplBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Pane::test {

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A tab stop that records each event type it handles and reports the class name it was given
// ("ButtonUI" makes it a button for the caption hit test).
class ProbeControl : public CControlUI {
public:
    explicit ProbeControl(const char* className = "ProbeUI") : m_className(className) {}
    const char* ClassName() const override { return m_className.c_str(); }
    unsigned int ControlFlags() const override { return kFlagTabStop; }
    void HandleEvent(UIEvent& event) override;

    std::vector<int> events;
    std::vector<UIEvent> records;

private:
    std::string m_className;
};

// A probe with a checked state and a selection, as options and lists show them to automation.
class StateProbe : public ProbeControl, public IAutomationStateUI {
public:
    StateProbe() : ProbeControl("StateUI") {}
    void* Interface(const char* name) override;
    bool HasCheckedState() const override { return true; }
    bool IsCheckedState() const override { return checked; }
    bool HasSelection() const override { return true; }
    int CurrentSelection() const override { return selection; }

    bool checked = false;
    int selection = -1;
};

// Makes ProbeControl for "Probe", StateProbe for "State", a "ButtonUI" probe for "Button", a
// "TextUI" probe for "text" and a container for "VerticalLayout"; records every name it was asked
// for.
class ProbeCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const char* className) override;
    std::vector<std::string> asked;
};

// A framework window built from markup text; records its notifications and close requests.
class MarkupWindow : public WindowImplBase {
public:
    explicit MarkupWindow(std::string markup) : m_markup(std::move(markup)) {}
    // Creates and shows the window at (0, 0) and pumps until it has painted.
    bool Open(int width = 300, int height = 200);

    CControlUI* CreateControl(const char* className) override {
        return m_callback.CreateControl(className);
    }
    void Notify(NotifyMessage& msg) override;

    std::vector<std::string> notifications; // "type sender"
    std::vector<plat::WPARAM> closes;       // wParam of each WM_CLOSE

protected:
    const char* GetWindowClassName() const override { return "PaneTestWindow"; }
    CUIString GetSkinFile() override { return m_markup.c_str(); }
    int GetResourceType() const override { return 0; }
    plat::LRESULT OnClose(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                          bool& handled) override;

private:
    std::string m_markup;
    ProbeCallback m_callback;
};

} // namespace Pane::test
