#include "CTrack.h"
#include <benchmark/benchmark.h>
static void BM_Placeholder(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CTrack::s_nCoordFormat);
}
BENCHMARK(BM_Placeholder);
