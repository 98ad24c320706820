// vorlan-bench-fit-file PATH [POINTS]: writes the benchmarks' FIT activity (BenchFitFile.h) of
// POINTS points (100000 by default), for whole-process comparisons with gpsbabel
// (bench/fit_vs_gpsbabel.sh).
#include "BenchFitFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: vorlan-bench-fit-file PATH [POINTS]\n");
        return 2;
    }
    const auto nPoints = static_cast<std::uint32_t>(argc == 3 ? std::atol(argv[2]) : 100000);
    if (!(std::ofstream(argv[1], std::ios::binary) << BenchFitFile(nPoints))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
