// Opening a combo of 200 rows: from the trigger to the pop-up's first paint, on the headless
// backend, in a window the size of the main window. The pop-up is closed again untimed.
#include "pane/controls/Combo.h"
#include "pane/controls/List.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"

#include "BenchHost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Window {
    std::unique_ptr<bench::Host> host = bench::OpenHost(779, 509);
    Pane::CComboUI* combo = nullptr;

    Window() {
        auto* root = new Pane::CContainerUI;
        root->SetBkColor(0xFFF0F4F8);
        combo = new Pane::CComboUI;
        combo->SetFloat(true);
        combo->SetFixedXY(plat::SIZE{16, 16});
        combo->SetFixedWidth(180);
        combo->SetFixedHeight(24);
        combo->SetBorderSize(1);
        root->Add(combo);
        host->manager.AttachDialog(root);
        for (int i = 0; i < 200; ++i) {
            auto* row = new Pane::CListLabelElementUI;
            row->SetText(("Channel " + std::to_string(i + 1)).c_str());
            row->SetFixedHeight(20);
            combo->Add(row);
        }
        combo->SelectItem(100);
        plat::headless::PumpMessages();
    }
};

void BM_OpenComboToFirstPaint(benchmark::State& state) {
    static Window window;
    for (auto _ : state) {
        if (!window.combo->Trigger()) {
            state.SkipWithError("the combo did not open");
            break;
        }
        // Creating, laying out and painting the pop-up are all queued work.
        plat::headless::PumpMessages();
        state.PauseTiming();
        plat::headless::NativeState shown;
        if (window.combo->DropDownWindow() == nullptr ||
            !plat::headless::GetNativeState(window.combo->DropDownWindow()->GetHWND(), &shown) ||
            shown.presents == 0) {
            state.SkipWithError("the pop-up was not painted");
            break;
        }
        window.combo->DropDownWindow()->PostMessage(plat::WM_CLOSE);
        plat::headless::PumpMessages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenComboToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
