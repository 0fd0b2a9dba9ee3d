// A list of 10,000 label rows in a 400 x 600 window on the headless backend: a scroll by one
// line with the repaint of what shows, as the wheel does it, and a selection moved by the Down
// key (the row scrolled into view and repainted).
#include "BenchHost.h"

#include "pane/controls/List.h"
#include "pane/core/Builder.h"
#include "platform/backends/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 600;
constexpr int kRows = 10000;

struct ListWindow {
    std::unique_ptr<bench::Host> host;
    Pane::CListUI* list = nullptr;

    ListWindow() {
        Pane::SetControlFactory(&Pane::CreateControlOfClass);
        host = bench::OpenHost(kWidth, kHeight);
        list = new Pane::CListUI;
        list->SetBkColor(0xFFFFFFFF);
        list->SetAttribute("header", "hidden");
        list->SetAttribute("vscrollbar", "true");
        list->SetAttribute("itemaltbk", "true");
        list->SetAttribute("itembkcolor", "#FFF2F6FA");
        for (int i = 0; i < kRows; ++i) {
            auto* row = new Pane::CListLabelElementUI;
            char text[32];
            std::snprintf(text, sizeof text, "Channel %d", i + 1);
            row->SetText(text);
            list->Add(row);
        }
        host->manager.AttachDialog(list);
        plat::headless::PumpMessages();
        if (list->ScrollRange().cy <= 0 || list->GetRowCount() != kRows) {
            std::abort();
        }
    }
};

ListWindow& TheList() {
    static ListWindow window;
    return window;
}

void BM_ListScrollOneLineAndRepaint(benchmark::State& state) {
    ListWindow& window = TheList();
    const plat::HWND hWnd = window.host->GetHWND();
    bool down = true;
    for (auto _ : state) {
        if (down) {
            window.list->LineDown();
        } else {
            window.list->LineUp();
        }
        down = !down;
        plat::UpdateWindow(hWnd);
    }
    plat::RECT pending;
    if (plat::GetUpdateRect(hWnd, &pending, false)) {
        state.SkipWithError("the paint is still pending");
    }
}
BENCHMARK(BM_ListScrollOneLineAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_ListSelectNextRowAndRepaint(benchmark::State& state) {
    ListWindow& window = TheList();
    const plat::HWND hWnd = window.host->GetHWND();
    int index = 0;
    for (auto _ : state) {
        index = (index + 1) % kRows;
        window.list->SelectItem(index);
        plat::UpdateWindow(hWnd);
    }
}
BENCHMARK(BM_ListSelectNextRowAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
