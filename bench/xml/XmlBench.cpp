// Markup parse throughput of CXmlDoc beside a reference parser's default parse, on a generated
// document of about 1 MB; prints the ratio after the run.
#include "pane/core/Xml.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <string>

namespace {

const std::string& Document() {
    static const std::string text = [] {
        std::string out = "<?xml version=\"1.0\"?>\n<Window size=\"779,509\">\n";
        int n = 0;
        while (out.size() < 1000000) {
            out += "  <VerticalLayout name=\"group" + std::to_string(n) +
                   "\" inset=\"2,2,2,2\" bkcolor=\"#FFD1E8F5\">\n";
            for (int i = 0; i < 8; ++i) {
                out += "    <Label name=\"l" + std::to_string(i) +
                       "\" text=\"Channel &amp; frequency &lt;" + std::to_string(i) +
                       "&gt;\" width=\"60\" height=\"22\">value " + std::to_string(n * 8 + i) +
                       " MHz</Label>\n";
            }
            out += "    <!-- group end -->\n  </VerticalLayout>\n";
            ++n;
        }
        return out + "</Window>\n";
    }();
    return text;
}

double g_paneRate = 0;
double g_pugiRate = 0;

void BM_CXmlDoc(benchmark::State& state) {
    const std::string& text = Document();
    for (auto _ : state) {
        Pane::CXmlDoc doc;
        bool ok = doc.Load(text.c_str());
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_Pugixml(benchmark::State& state) {
    const std::string& text = Document();
    for (auto _ : state) {
        pugi::xml_document doc;
        auto result = doc.load_buffer(text.data(), text.size());
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Records each run's throughput so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto it = run.counters.find("bytes_per_second");
            if (it == run.counters.end()) {
                continue;
            }
            const double mbps = it->second.value / 1e6;
            if (run.benchmark_name().find("CXmlDoc") != std::string::npos) {
                g_paneRate = mbps;
            } else {
                g_pugiRate = mbps;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

BENCHMARK(BM_CXmlDoc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_pugiRate > 0) {
        std::printf("document %zu bytes: CXmlDoc %.1f MB/s, reference %.1f MB/s, ratio %.2f\n",
                    Document().size(), g_paneRate, g_pugiRate, g_paneRate / g_pugiRate);
    }
    return 0;
}
