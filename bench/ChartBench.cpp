// The elevation chart of a full track: Draw2D of two 10000-point series on the recording surface
// (writing the log, or only counting the calls) and on the SVG surface (with the document).
#include "CDrawTools.h"
#include "CPlot.h"
#include "CRecordingDC.h"
#include "CSvgDC.h"
#include "CTrack.h"
#include "DrawToolNames.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

// A 20-mile ride over rolling hills, with a smoothed copy of the elevation.
const CTrack& FullTrack() {
    static const std::unique_ptr<CTrack> track = [] {
        auto t = std::make_unique<CTrack>();
        t->m_nCount = CTrack::kMaxPoints;
        for (int i = 0; i < CTrack::kMaxPoints; ++i) {
            t->m_fDist[i] = i * 0.002f;
            t->m_fElev[i] = static_cast<float>(1500.0 + 400.0 * std::sin(i * 0.0021) +
                                               35.0 * std::sin(i * 0.093));
            t->m_fSmooth[i] = static_cast<float>(1500.0 + 400.0 * std::sin(i * 0.0021));
        }
        return t;
    }();
    return *track;
}

void BM_Draw2DRecording(benchmark::State& state) {
    CDrawTools tools;
    CPlot plot;
    plot.FillElevation(FullTrack());
    for (auto _ : state) {
        CRecordingDC dc = CRecordingDC::Screen(96, 1280, 960, DrawToolNames(tools));
        plot.Draw2D(&dc, tools);
        benchmark::DoNotOptimize(dc.m_log.data());
    }
    state.SetItemsProcessed(state.iterations() * 2 * CTrack::kMaxPoints);
}
BENCHMARK(BM_Draw2DRecording)->Unit(benchmark::kMillisecond);

void BM_Draw2DCounting(benchmark::State& state) {
    CDrawTools tools;
    CPlot plot;
    plot.FillElevation(FullTrack());
    CRecordingDC dc = CRecordingDC::Screen(96, 1280, 960, DrawToolNames(tools));
    dc.m_bRecord = false;
    for (auto _ : state) {
        plot.Draw2D(&dc, tools);
        benchmark::DoNotOptimize(dc.m_nCalls);
    }
    state.SetItemsProcessed(state.iterations() * 2 * CTrack::kMaxPoints);
}
BENCHMARK(BM_Draw2DCounting)->Unit(benchmark::kMillisecond);

void BM_Draw2DSvg(benchmark::State& state) {
    CDrawTools tools;
    CPlot plot;
    plot.FillElevation(FullTrack());
    std::size_t bytes = 0;
    for (auto _ : state) {
        CSvgDC dc = CSvgDC::Screen(96, 1280, 960);
        plot.Draw2D(&dc, tools);
        const std::string doc = dc.Document(plot.m_sizeTotal);
        bytes = doc.size();
        benchmark::DoNotOptimize(doc.data());
    }
    state.SetItemsProcessed(state.iterations() * 2 * CTrack::kMaxPoints);
    state.counters["svg_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Draw2DSvg)->Unit(benchmark::kMillisecond);

} // namespace
