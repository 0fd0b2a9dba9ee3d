// The open dialog on a folder of 5,000 files: created, listed, laid out and painted.
#include "BenchHost.h"

#include "pane/core/Automation.h"
#include "pane/dialogs/FileDialog.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

std::string MakeFolder() {
    char templ[] = "/tmp/pane-dialog-bench-XXXXXX";
    if (::mkdtemp(templ) == nullptr)
        std::abort();
    for (int i = 0; i < 5000; ++i) {
        const std::string path = std::string(templ) + "/channel-" + std::to_string(i) + ".cfg";
        if (FILE* f = std::fopen(path.c_str(), "w"))
            std::fclose(f);
    }
    return templ;
}

void BM_OpenDialogOn5000Files(benchmark::State& state) {
    auto host = bench::OpenHost(200, 100);
    const std::string folder = MakeFolder();
    Pane::FileDialogOptions options;
    options.pattern = "*.cfg";
    options.initialFolder = folder;
    for (auto _ : state) {
        Pane::CFileDialogWnd dialog(options);
        if (!dialog.CreateDialog(nullptr))
            std::abort();
        dialog.ShowWindow(true);
        Pane::PumpMessages();
        benchmark::DoNotOptimize(dialog.Listing().entries.size());
        state.PauseTiming();
        plat::DestroyWindow(dialog.GetHWND());
        Pane::PumpMessages();
        state.ResumeTiming();
    }
    std::system(("rm -rf '" + folder + "'").c_str());
}
BENCHMARK(BM_OpenDialogOn5000Files)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
