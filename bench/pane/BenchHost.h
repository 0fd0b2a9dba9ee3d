#pragma once
// The window the control-tree benchmarks run in: a headless popup whose messages go to its UI
// manager, as a framework window's do.
#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"

class BenchHost : public Pane::CWindowWnd {
public:
    Pane::CUIManager manager;

protected:
    const char* GetWindowClassName() const override { return "PaneBenchHost"; }
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override {
        if (msg == plat::WM_CREATE) {
            manager.Init(m_hWnd);
            return 0;
        }
        plat::LRESULT result = 0;
        return manager.MessageHandler(msg, wParam, lParam, result)
                   ? result
                   : CallDefault(msg, wParam, lParam);
    }
};
