#pragma once
// The window the pane benchmarks draw in: a plain framework window whose UI manager handles
// every message it knows, as a program's window does.
#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"

namespace bench {

class Host : public Pane::CWindowWnd {
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

} // namespace bench
