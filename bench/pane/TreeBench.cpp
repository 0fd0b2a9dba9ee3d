// The control tree at the size of the main window: 1,000 controls (10 rows of 10 cells of 9
// leaves, all in nested containers) in a 779 x 509 window on the headless backend, laid out,
// painted, hit-tested, notified and hovered through the UI manager as the program does.
#include "BenchHost.h"

#include "pane/core/Container.h"
#include "platform/backends/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kWidth = 779;
constexpr int kHeight = 509;
constexpr uint32_t kNormal = 0xFFE0E8F0;
constexpr uint32_t kHot = 0xFFFFD080;

// A leaf that lights up while the pointer is over it, as buttons do.
class HotLeaf : public Pane::CControlUI {
public:
    void HandleEvent(Pane::UIEvent& event) override {
        if (event.type == Pane::kEventMouseEnter) {
            SetBkColor(kHot);
        } else if (event.type == Pane::kEventMouseLeave) {
            SetBkColor(kNormal);
        } else {
            CControlUI::HandleEvent(event);
        }
    }
};

Pane::CControlUI* Floating(Pane::CControlUI* control, int x, int y, int w, int h) {
    control->SetFloat(true);
    control->SetFixedXY(plat::SIZE{x, y});
    control->SetFixedWidth(w);
    control->SetFixedHeight(h);
    return control;
}

struct Tree {
    std::unique_ptr<BenchHost> host;
    Pane::CContainerUI* root = nullptr;
    Pane::CControlUI* first = nullptr; // searched last by the top-first hit test
    Pane::CControlUI* last = nullptr;
    int controls = 0;

    Tree() {
        setenv("PANE_BACKEND", "headless", 1);
        if (!plat::Initialise()) {
            std::abort();
        }
        host = std::make_unique<BenchHost>();
        if (host->Create(nullptr, "bench", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 0, kWidth,
                         kHeight) == nullptr) {
            std::abort();
        }
        root = new Pane::CContainerUI;
        root->SetBkColor(0xFFF0F4F8);
        controls = 1;
        const int cellW = kWidth / 10;
        const int cellH = kHeight / 10;
        for (int r = 0; r < 10; ++r) {
            auto* row = new Pane::CContainerUI;
            root->Add(Floating(row, 0, r * cellH, kWidth, cellH));
            ++controls;
            for (int c = 0; c < 10; ++c) {
                auto* cell = new Pane::CContainerUI;
                cell->SetAttribute("inset", "2,2,2,2");
                cell->SetAttribute("bordercolor", "#FF768D9B");
                cell->SetAttribute("bordersize", "1");
                row->Add(Floating(cell, c * cellW, 0, cellW, cellH));
                ++controls;
                for (int i = 0; i < 9; ++i) {
                    auto* leaf = new HotLeaf;
                    leaf->SetBkColor(kNormal);
                    cell->Add(Floating(leaf, 3 + (i % 3) * 24, 3 + (i / 3) * 15, 22, 13));
                    first = first != nullptr ? first : leaf;
                    last = leaf;
                    ++controls;
                }
            }
        }
        host->manager.AttachDialog(root);
        plat::headless::PumpMessages();
    }
};

Tree& TheTree() {
    static Tree tree;
    return tree;
}

void BM_FullLayout(benchmark::State& state) {
    Tree& tree = TheTree();
    const plat::RECT client{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        tree.root->SetPosition(client);
    }
    state.counters["controls"] = tree.controls;
    plat::headless::PumpMessages();
}
BENCHMARK(BM_FullLayout);

void BM_FullPaint(benchmark::State& state) {
    Tree& tree = TheTree();
    const plat::HWND hWnd = tree.host->GetHWND();
    for (auto _ : state) {
        plat::InvalidateRect(hWnd, nullptr, false);
        plat::UpdateWindow(hWnd);
    }
}
BENCHMARK(BM_FullPaint);

// Arg 0: the leaf added last (found first); 1: the leaf added first (found last).
void BM_HitTest(benchmark::State& state) {
    Tree& tree = TheTree();
    Pane::CControlUI* target = state.range(0) == 0 ? tree.last : tree.first;
    const plat::RECT& rc = target->Position();
    const plat::POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree.host->manager.FindControl(pt));
    }
    if (tree.host->manager.FindControl(pt) != target) {
        state.SkipWithError("the hit test missed the leaf");
    }
}
BENCHMARK(BM_HitTest)->Arg(0)->Arg(1);

struct Listener : Pane::INotifyUI {
    void Notify(Pane::NotifyMessage& msg) override { benchmark::DoNotOptimize(msg.sender); }
};

void BM_NotifyTenListeners(benchmark::State& state) {
    Tree& tree = TheTree();
    Listener listeners[10];
    for (Listener& l : listeners) {
        tree.host->manager.AddNotifier(&l);
    }
    for (auto _ : state) {
        tree.host->manager.SendNotify(tree.last, "click");
    }
    for (Listener& l : listeners) {
        tree.host->manager.RemoveNotifier(&l);
    }
}
BENCHMARK(BM_NotifyTenListeners);

// The pointer moves from one leaf to its neighbour: leave, enter, and the paint of both.
void BM_HoverChangeAndRepaint(benchmark::State& state) {
    Tree& tree = TheTree();
    const plat::HWND hWnd = tree.host->GetHWND();
    const plat::RECT& rc = tree.last->Position();
    const int y = (rc.top + rc.bottom) / 2;
    const plat::LPARAM points[2] = {plat::MAKELPARAM(rc.left + 5, y),
                                    plat::MAKELPARAM(rc.left - 24 + 5, y)};
    int turn = 0;
    for (auto _ : state) {
        plat::SendMessage(hWnd, plat::WM_MOUSEMOVE, 0, points[turn ^= 1]);
        plat::UpdateWindow(hWnd);
    }
    plat::RECT pending;
    if (tree.host->manager.GetHoverControl() == nullptr ||
        tree.host->manager.GetHoverControl()->BkColor() != kHot ||
        plat::GetUpdateRect(hWnd, &pending, false)) {
        state.SkipWithError("the hover did not light the leaf or its paint is still pending");
    }
}
BENCHMARK(BM_HoverChangeAndRepaint);

} // namespace

BENCHMARK_MAIN();
