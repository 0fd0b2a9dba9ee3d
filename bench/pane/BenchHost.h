#pragma once
// The window the control-tree benchmarks run in: a plain window whose UI manager handles every
// message it knows, on the headless backend.

#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"
#include "platform/backends/Headless.h"

#include <cstdlib>
#include <memory>

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

// Starts the headless backend and shows a host of that size; aborts when it cannot.
inline std::unique_ptr<Host> OpenHost(int width, int height) {
    setenv("PANE_BACKEND", "headless", 1);
    if (!plat::Initialise()) {
        std::abort();
    }
    auto host = std::make_unique<Host>();
    if (host->Create(nullptr, "bench", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, width, height) ==
        nullptr) {
        std::abort();
    }
    return host;
}

} // namespace bench
