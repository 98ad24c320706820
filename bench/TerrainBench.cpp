// The ground from elevation tiles: a folder of four 3 arc-second .hgt tiles opened and indexed,
// the tiles read, and the ground sampled under a 10000-point track across all four plus a
// 200 x 200 grid over it, as the 3D view does on opening a track (target: under 50 ms with the
// tiles in the page cache); then the sampling alone, with the tiles in memory; then the
// 3D-printable model of the track and its STL bytes, with the tiles in memory.
#include "CElevationTiles.h"
#include "CGroundProfile.h"
#include "CStlWriter.h"
#include "CTerrainModel.h"
#include "TileWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kTrackPoints = 10000;
constexpr int kGridSide = 200;
const CElevationTiles::Box kBox{47.5, 11.5, 48.5, 12.5};

// Rolling hills a few hundred metres high.
double Hills(double lat, double lon) {
    return 900 + 350 * std::sin(lat * 9.0) * std::cos(lon * 7.0) +
           120 * std::sin(lat * 31 + lon * 23);
}

// The four tiles of 47..49 N, 11..13 E in a temporary folder, written once and read many times
// (so they stay in the page cache), removed at the end.
class TileFolder {
public:
    TileFolder()
        : m_path(std::filesystem::temp_directory_path() /
                 ("vorlan_terrain_bench_" + std::to_string(getpid()))) {
        const std::string folder = MakeFolder(m_path.string());
        for (const int lat : {47, 48})
            for (const int lon : {11, 12})
                WriteHgt(folder + TileSquare{lat, lon}.Name() + ".hgt",
                         HgtSamples(1201, lat, lon, Hills));
    }
    ~TileFolder() { std::filesystem::remove_all(m_path); }
    TileFolder(const TileFolder&) = delete;
    TileFolder& operator=(const TileFolder&) = delete;
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

// A loop around 48 N 12 E, through all four tiles.
struct Track {
    Track() {
        for (int i = 0; i < kTrackPoints; ++i) {
            const double a = 2 * std::numbers::pi * i / kTrackPoints;
            lat[i] = 48 + 0.4 * std::sin(a) + 0.02 * std::sin(17 * a);
            lon[i] = 12 + 0.45 * std::cos(a) + 0.02 * std::cos(13 * a);
        }
    }
    std::vector<double> lat = std::vector<double>(kTrackPoints);
    std::vector<double> lon = std::vector<double>(kTrackPoints);
};

void BM_OpenIndexAndSample(benchmark::State& state) {
    const TileFolder folder;
    const Track track;
    std::vector<float> grid(kGridSide * kGridSide);
    for (auto _ : state) {
        CElevationTiles tiles(folder.Path());
        const CGroundProfile profile(tiles, track.lat, track.lon);
        tiles.GridHeights(kBox, kGridSide, kGridSide, grid);
        benchmark::DoNotOptimize(profile.AscentM());
        benchmark::DoNotOptimize(grid.data());
    }
}
BENCHMARK(BM_OpenIndexAndSample)->Unit(benchmark::kMillisecond);

void BM_SampleTilesInMemory(benchmark::State& state) {
    const TileFolder folder;
    const Track track;
    std::vector<float> grid(kGridSide * kGridSide);
    CElevationTiles tiles(folder.Path());
    for (auto _ : state) {
        const CGroundProfile profile(tiles, track.lat, track.lon);
        tiles.GridHeights(kBox, kGridSide, kGridSide, grid);
        benchmark::DoNotOptimize(profile.AscentM());
        benchmark::DoNotOptimize(grid.data());
    }
}
BENCHMARK(BM_SampleTilesInMemory)->Unit(benchmark::kMillisecond);

void BM_TerrainModel(benchmark::State& state) {
    const TileFolder folder;
    const Track track;
    CElevationTiles tiles(folder.Path());
    for (auto _ : state) {
        const CTerrainModel model(tiles, track.lat, track.lon, {}, CTerrainModel::Options{});
        benchmark::DoNotOptimize(CStlWriter::Bytes(model).size());
    }
}
BENCHMARK(BM_TerrainModel)->Unit(benchmark::kMillisecond);
} // namespace
