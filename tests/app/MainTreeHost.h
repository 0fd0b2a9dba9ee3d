#pragma once
// A headless window with the built-in skeleton at the main window's size whose initialisation
// builds the main window's control tree, for the tests of the tree, its composites and the
// radio fields on it.

#include "app/Composites.h"
#include "app/MainTree.h"
#include "pane/core/Automation.h"
#include "pane/utils/WindowImplBase.h"
#include "platform/backends/Headless.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace app::test {

class MainTreeWindow : public Pane::WindowImplBase {
public:
    MainTreeWindow() : WindowImplBase(779, 509) {}

    bool Open() {
        if (Create(nullptr, "Zelta RCT", plat::WS_OVERLAPPEDWINDOW, 0, 0, 0, 779, 509) == nullptr)
            return false;
        ShowWindow(true);
        Pane::PumpMessages();
        return true;
    }

    void Notify(Pane::NotifyMessage& msg) override {
        notifications.push_back(std::string(msg.type.GetData()) + " " +
                                msg.sender->Name().GetData());
        WindowImplBase::Notify(msg);
    }

    MainControls controls;
    std::vector<std::string> notifications; // "type sender-name"

protected:
    const char* GetWindowClassName() const override { return "MainTreeTestWindow"; }
    void InitWindow() override {
        auto* main = static_cast<Pane::CContainerUI*>(m_pm.FindControl("main"));
        BuildMainTree(main, controls);
    }
};

class MainTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("PANE_BACKEND", "headless", 1);
        ASSERT_TRUE(plat::Initialise());
        ASSERT_TRUE(plat::headless::Active());
        window = std::make_unique<MainTreeWindow>();
        ASSERT_TRUE(window->Open());
    }
    void TearDown() override {
        window.reset();
        plat::Shutdown();
    }

    // Lays the tree out and paints it.
    void Settle() {
        window->GetManager().Invalidate();
        Pane::PumpMessages();
    }

    std::unique_ptr<MainTreeWindow> window;
};

} // namespace app::test
