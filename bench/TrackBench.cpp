// Timing of the track import on the 10000-point sample export: reading, smoothing, geometry and
// the whole import as the Import command runs it; and the whole import of the 30000-point GPX
// sample, whose file buffer and parsed document are mapped afresh (first touch included) on
// every run.
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "TrackImport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

const std::string kLongSample = std::string(VORLAN_SAMPLES) + "/long-10000.txt";
const std::string kLongGpx = std::string(VORLAN_SAMPLES) + "/long-30000.gpx";

// 320 KB of arrays: one static track, never one on the stack.
CTrack& Track() {
    static CTrack track;
    return track;
}

void ImportOnce(benchmark::State& state) {
    CMapSourceFormat format;
    if (!ImportTrackFile(kLongSample, Track(), format).Ok() ||
        Track().m_nCount != CTrack::kMaxPoints)
        state.SkipWithError("samples/long-10000.txt did not read as 10000 points");
}

void BM_ReadMapSource(benchmark::State& state) {
    CMapSourceFormat format;
    for (auto _ : state) {
        std::FILE* fp = std::fopen(kLongSample.c_str(), "rb");
        Track().ReadMapSource(fp, format);
        std::fclose(fp);
        benchmark::DoNotOptimize(Track().m_fLat[CTrack::kMaxPoints - 1]);
    }
    state.SetItemsProcessed(state.iterations() * Track().m_nCount);
}

void BM_Smooth(benchmark::State& state) {
    ImportOnce(state);
    for (auto _ : state) {
        Track().Smooth();
        benchmark::DoNotOptimize(Track().m_fSmooth[CTrack::kMaxPoints - 1]);
    }
    state.SetItemsProcessed(state.iterations() * Track().m_nCount);
}

void BM_ComputeGeometry(benchmark::State& state) {
    ImportOnce(state);
    for (auto _ : state) {
        Track().ComputeGeometry();
        benchmark::DoNotOptimize(Track().m_fRange[0][0]);
    }
    state.SetItemsProcessed(state.iterations() * Track().m_nCount);
}

void BM_ImportFile(benchmark::State& state) {
    ImportOnce(state);
    CMapSourceFormat format;
    for (auto _ : state) {
        ImportTrackFile(kLongSample, Track(), format);
        benchmark::DoNotOptimize(Track().m_fSmooth[CTrack::kMaxPoints - 1]);
    }
    state.SetItemsProcessed(state.iterations() * Track().m_nCount);
}

void BM_ImportGpxFile(benchmark::State& state) {
    CMapSourceFormat format;
    for (auto _ : state) {
        if (!ImportTrackFile(kLongGpx, Track(), format).Ok()) {
            state.SkipWithError("samples/long-30000.gpx did not import");
            break;
        }
        benchmark::DoNotOptimize(Track().m_fSmooth[CTrack::kMaxPoints - 1]);
    }
    state.SetItemsProcessed(state.iterations() * 30000);
}

} // namespace

BENCHMARK(BM_ReadMapSource)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Smooth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeGeometry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportGpxFile)->Unit(benchmark::kMillisecond);
