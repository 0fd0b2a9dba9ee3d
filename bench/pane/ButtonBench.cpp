// A hover change on a grid of 100 image-less buttons with hot colours in a 779 x 509 window on
// the headless backend: the pointer moves onto a button and off it again, and each change is
// repainted. Only the button under the pointer is painted; the counters say how many buttons
// painted their text per change and how many pixels the window's dirty area held.
#include "pane/controls/Button.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"
#include "platform/backends/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kWidth = 779;
constexpr int kHeight = 509;

int g_buttonPaints = 0;

// Counts the paints that reach the button's text, that is every paint that touches it.
class CountedButton : public Pane::CButtonUI {
public:
    void PaintText(plat::HDC hDC) override {
        ++g_buttonPaints;
        CButtonUI::PaintText(hDC);
    }
};

class Host : public Pane::CWindowWnd {
public:
    Pane::CUIManager manager;

protected:
    const char* GetWindowClassName() const override { return "PaneButtonBenchHost"; }
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

struct Grid {
    std::unique_ptr<Host> host;
    CountedButton* target = nullptr;

    Grid() {
        setenv("PANE_BACKEND", "headless", 1);
        if (!plat::Initialise()) {
            std::abort();
        }
        host = std::make_unique<Host>();
        if (host->Create(nullptr, "bench", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, kWidth,
                         kHeight) == nullptr) {
            std::abort();
        }
        auto* root = new Pane::CContainerUI;
        root->SetBkColor(0xFFF0F4F8);
        const int cellW = kWidth / 10;
        const int cellH = kHeight / 10;
        for (int i = 0; i < 100; ++i) {
            auto* button = new CountedButton;
            button->ApplyAttributeList(
                "float=\"true\" bkcolor=\"#FFDDE6EF\" "
                "hotbkcolor=\"#FFBFD4EA\" hottextcolor=\"#FF0050A0\" "
                "bordersize=\"1\" bordercolor=\"#FF7A8A99\" text=\"确定 OK\"");
            button->SetFixedXY(plat::SIZE{(i % 10) * cellW + 4, (i / 10) * cellH + 4});
            button->SetFixedWidth(cellW - 8);
            button->SetFixedHeight(cellH - 8);
            root->Add(button);
            if (i == 55) {
                target = button;
            }
        }
        host->manager.AttachDialog(root);
        plat::headless::PumpMessages();
    }
};

void BM_ButtonHoverChangeAndRepaint(benchmark::State& state) {
    static Grid grid;
    const plat::HWND hWnd = grid.host->GetHWND();
    const plat::RECT rc = grid.target->Position();
    const int y = (rc.top + rc.bottom) / 2;
    // On the button, and in the gap left of it (the background only). Each iteration is two
    // changes: enter and leave.
    const plat::LPARAM points[2] = {plat::MAKELPARAM(rc.left + 5, y),
                                    plat::MAKELPARAM(rc.left - 2, y)};
    // Start off the button, so that every change is a real enter or leave.
    plat::SendMessage(hWnd, plat::WM_MOUSEMOVE, 0, points[1]);
    plat::UpdateWindow(hWnd);
    g_buttonPaints = 0;
    int changes = 0;
    long long dirtyPixels = 0;
    for (auto _ : state) {
        for (plat::LPARAM point : points) {
            plat::SendMessage(hWnd, plat::WM_MOUSEMOVE, 0, point);
            plat::RECT dirty{};
            if (plat::GetUpdateRect(hWnd, &dirty, false)) {
                dirtyPixels +=
                    static_cast<long long>(dirty.right - dirty.left) * (dirty.bottom - dirty.top);
            }
            plat::UpdateWindow(hWnd);
            ++changes;
        }
    }
    const long long buttonPixels =
        static_cast<long long>(rc.right - rc.left) * (rc.bottom - rc.top);
    state.counters["buttons_painted_per_change"] =
        static_cast<double>(g_buttonPaints) / static_cast<double>(changes);
    state.counters["dirty_px_per_change"] =
        static_cast<double>(dirtyPixels) / static_cast<double>(changes);
    state.counters["button_px"] = static_cast<double>(buttonPixels);
    if (g_buttonPaints != changes || dirtyPixels != buttonPixels * changes) {
        state.SkipWithError("a hover change painted more than the button under the pointer");
    }
}
BENCHMARK(BM_ButtonHoverChangeAndRepaint);

} // namespace

BENCHMARK_MAIN();
