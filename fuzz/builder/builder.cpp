// Fuzzes the dialog builder: any markup is built into the UI manager of a headless window, laid
// out, painted and destroyed. Includes of files resolve in an empty folder, so nothing but the
// input is read.
#include "pane/core/Builder.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/win/Window.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

Pane::CUIManager* g_manager = nullptr;

plat::LRESULT FuzzProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
    plat::LRESULT result = 0;
    if (g_manager != nullptr && g_manager->GetPaintWindow() == hwnd &&
        g_manager->MessageHandler(msg, wParam, lParam, result))
        return result;
    return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

bool Start() {
    ::setenv("PANE_BACKEND", "headless", 1);
    if (!plat::Initialise())
        std::abort();
    static char folder[] = "/tmp/fuzz-builder-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        std::abort();
    Pane::CUIManager::SetResourcePath(folder);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = &FuzzProc;
    wc.lpszClassName = "FuzzBuilder";
    return plat::RegisterClass(wc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = Start();
    (void)started;
    const plat::HWND hwnd = plat::CreateWindowEx(0, "FuzzBuilder", "", plat::WS_POPUP, 0, 0, 64, 48,
                                                 nullptr, 0, nullptr, nullptr);
    {
        auto manager = std::make_unique<Pane::CUIManager>();
        g_manager = manager.get();
        manager->Init(hwnd);
        Pane::CUIBuilder builder;
        if (builder.GetMarkup()->LoadFromMem(data, size)) {
            Pane::CControlUI* root = builder.Create(nullptr, manager.get());
            if (root != nullptr)
                manager->AttachDialog(root);
            plat::ShowWindow(hwnd, plat::SW_SHOWNOACTIVATE);
            plat::InvalidateRect(hwnd, nullptr, false);
            plat::headless::PumpMessages();
        }
        g_manager = nullptr;
    }
    plat::DestroyWindow(hwnd);
    plat::headless::PumpMessages();
    return 0;
}
