// Typing into an open edit: one character from the input queue to the repainted window, on the
// headless backend, in a window the size of the main window with a row of edits like its
// parameter fields. The text is emptied (untimed) every 64 characters, the length of a long
// field. Then the same into a rich edit holding 1 MB of text, in its middle, as lines of 80
// characters and as one paragraph that wraps.
#include "pane/controls/Edit.h"
#include "pane/controls/RichEdit.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"

#include "BenchHost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using bench::Host;

struct Window {
    std::unique_ptr<Host> host;
    Pane::CEditUI* edit = nullptr;

    Window() {
        setenv("PANE_BACKEND", "headless", 1);
        if (!plat::Initialise())
            std::abort();
        host = std::make_unique<Host>();
        if (host->Create(nullptr, "bench", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, 779, 509) ==
            nullptr)
            std::abort();
        auto* root = new Pane::CContainerUI;
        root->SetBkColor(0xFFF0F4F8);
        for (int i = 0; i < 8; ++i) {
            auto* field = new Pane::CEditUI;
            field->SetFloat(true);
            field->SetFixedXY(plat::SIZE{16 + (i % 4) * 190, 16 + (i / 4) * 40});
            field->SetFixedWidth(180);
            field->SetFixedHeight(24);
            field->SetBorderSize(1);
            field->SetBorderColor(0xFF7A8A99);
            field->SetText("12.500");
            root->Add(field);
            if (i == 0)
                edit = field;
        }
        host->manager.AttachDialog(root);
        plat::headless::PumpMessages();
        edit->SetFocus();
        plat::headless::PumpMessages();
        if (edit->GetEditWindow() == nullptr)
            std::abort();
    }
};

void BM_TypeCharacterToRepaint(benchmark::State& state) {
    static Window window;
    const plat::HWND editor = window.edit->GetEditWindow()->GetHWND();
    int typed = 0;
    for (auto _ : state) {
        if (++typed == 64) {
            state.PauseTiming();
            plat::SetWindowText(editor, "");
            plat::headless::PumpMessages();
            typed = 0;
            state.ResumeTiming();
        }
        plat::headless::Char(U'7');
        plat::headless::PumpMessages();
    }
    if (window.edit->GetText().IsEmpty())
        state.SkipWithError("typing did not reach the edit");
}
BENCHMARK(BM_TypeCharacterToRepaint);

// A 400 x 300 rich edit with a scroll bar, 1 MB of text, the caret in the middle.
struct LongText {
    std::unique_ptr<Host> host;
    Pane::CRichEditUI* edit = nullptr;

    explicit LongText(bool lines) {
        host = bench::OpenHost(779, 509);
        auto* root = new Pane::CContainerUI;
        edit = new Pane::CRichEditUI;
        edit->SetFloat(true);
        edit->SetFixedXY(plat::SIZE{16, 16});
        edit->SetFixedWidth(400);
        edit->SetFixedHeight(300);
        edit->SetAttribute("vscrollbar", "true");
        std::string text;
        const std::string line = "Channel 12: 145.500 MHz, power 2 W, squelch 3, call sign ZR-7";
        while (text.size() < (1u << 20)) {
            text += line;
            text += lines ? std::string(80 - line.size() - 1, ' ') + "\n" : " ";
        }
        edit->SetLimitText(0x7FFFFFFF);
        edit->SetText(text.c_str());
        root->Add(edit);
        host->manager.AttachDialog(root);
        plat::headless::PumpMessages();
        edit->SetFocus();
        edit->SetSel(static_cast<long>(text.size() / 2), static_cast<long>(text.size() / 2));
        plat::headless::PumpMessages();
        if (edit->GetHostWindow() == nullptr)
            std::abort();
    }
};

void TypeIntoLongText(benchmark::State& state, LongText& window) {
    for (auto _ : state) {
        plat::headless::Char(U'7');
        plat::headless::PumpMessages();
    }
    if (window.edit->GetText().GetLength() <= (1 << 20))
        state.SkipWithError("typing did not reach the rich edit");
}

void BM_TypeIntoMegabyteOfLines(benchmark::State& state) {
    static LongText window(true);
    TypeIntoLongText(state, window);
}
BENCHMARK(BM_TypeIntoMegabyteOfLines)->Unit(benchmark::kMillisecond);

void BM_TypeIntoMegabyteParagraph(benchmark::State& state) {
    static LongText window(false);
    TypeIntoLongText(state, window);
}
BENCHMARK(BM_TypeIntoMegabyteParagraph)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
