// A vertical layout of 1,000 one-line captions with its scroll bar, in a 400 x 600 window on
// the headless backend: a whole layout pass, and a scroll by one line with the repaint of what
// shows, as the wheel does it.
#include "BenchHost.h"

#include "pane/core/Builder.h"
#include "pane/core/Render.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/backends/Headless.h"
#include "platform/gfx/Text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 600;
constexpr int kRows = 1000;

// A one-line caption drawn in the default font, as a label draws its text.
class Caption : public Pane::CControlUI {
public:
    void PaintText(plat::HDC hDC) override {
        plat::RECT rc = m_rcItem;
        Pane::CUIRender::DrawText(hDC, m_manager, rc, m_text, 0xFF222222, -1,
                                  plat::DT_SINGLELINE | plat::DT_VCENTER);
    }
};

struct Column {
    std::unique_ptr<bench::Host> host;
    Pane::CVerticalLayoutUI* root = nullptr;

    Column() {
        Pane::SetControlFactory(&Pane::CreateControlOfClass);
        host = bench::OpenHost(kWidth, kHeight);
        root = new Pane::CVerticalLayoutUI;
        root->SetBkColor(0xFFFFFFFF);
        root->SetAttribute("vscrollbar", "true");
        for (int i = 0; i < kRows; ++i) {
            auto* caption = new Caption;
            char text[32];
            std::snprintf(text, sizeof text, "Channel %d", i + 1);
            caption->SetText(text);
            caption->SetFixedHeight(20);
            root->Add(caption);
        }
        host->manager.AttachDialog(root);
        plat::headless::PumpMessages();
        if (root->ScrollRange().cy != kRows * 20 - kHeight) {
            std::abort();
        }
    }
};

Column& TheColumn() {
    static Column column;
    return column;
}

void BM_LayoutThousandCaptions(benchmark::State& state) {
    Column& column = TheColumn();
    const plat::RECT client{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        column.root->SetPosition(client);
    }
    plat::headless::PumpMessages();
}
BENCHMARK(BM_LayoutThousandCaptions)->Unit(benchmark::kMicrosecond);

// One line down or up in turn, every child moved, and the window painted.
void BM_ScrollOneLineAndRepaint(benchmark::State& state) {
    Column& column = TheColumn();
    const plat::HWND hWnd = column.host->GetHWND();
    bool down = true;
    for (auto _ : state) {
        if (down) {
            column.root->LineDown();
        } else {
            column.root->LineUp();
        }
        down = !down;
        plat::UpdateWindow(hWnd);
    }
    plat::RECT pending;
    if (plat::GetUpdateRect(hWnd, &pending, false)) {
        state.SkipWithError("the paint is still pending");
    }
}
BENCHMARK(BM_ScrollOneLineAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
