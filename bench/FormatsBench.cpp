// Timing of the GPX import: a 10000-point file of about 1.5 MB (made here, as a logger writes
// one) read into the track with elevation filling, distances, smoothing and geometry, and the
// 30000-point sample, which adds the simplification down to 10000 points. The bytes are fed to
// the reader from memory, in the pieces the file import reads.
//
// The FIT import: a 100000-point activity of 3 MB (BenchFitFile.h, every channel a bike computer
// records) read into the record, and into the record and the designed track (simplified to
// 10000 points). bytes_per_point: what a point of the record takes with those channels.
//
// Beside it, the numbers of such a file one by one ("47.1234567", "-122.9876543", "1234.5"):
// the GPX reader's number parse (blanks, a '+', std::from_chars, a finite value) against
// std::from_chars alone.
#include "BenchFitFile.h"
#include "CFitReader.h"
#include "CGpxNumber.h"
#include "CTrack.h"
#include "CTrackImporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int kPoints = 10000;

std::string LoggedGpx() {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" "
                    "creator=\"bench\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
                    "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n"
                    "  <trk>\n    <name>Bench</name>\n    <trkseg>\n";
    char line[256];
    for (int i = 0; i < kPoints; ++i) {
        const double t = i * 0.001;
        std::snprintf(line, sizeof line,
                      "      <trkpt lat=\"%.7f\" lon=\"%.7f\">\n        <ele>%.1f</ele>\n"
                      "        <time>2021-07-01T%02d:%02d:%02dZ</time>\n"
                      "        <extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>%d</gpxtpx:hr>"
                      "</gpxtpx:TrackPointExtension></extensions>\n      </trkpt>\n",
                      46.5 + 0.02 * std::sin(t), 8.0 + 0.03 * std::cos(t) + t * 0.01,
                      1500 + 300 * std::sin(t * 3), i / 3600 % 24, i / 60 % 60, i % 60,
                      120 + i % 40);
        s += line;
    }
    return s + "    </trkseg>\n  </trk>\n</gpx>\n";
}

std::string ReadSample(const char* name) {
    std::ifstream in(std::string(VORLAN_SAMPLES) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// 320 KB of arrays: one static track, never one on the stack.
CTrack& Track() {
    static CTrack track;
    return track;
}

void RunImport(benchmark::State& state, const std::string& gpx, int expected) {
    const CTrackImporter importer;
    for (auto _ : state) {
        const ImportResult r = importer.ImportGpx(gpx, "bench.gpx", Track());
        if (!r.Ok() || Track().m_nCount != expected) {
            state.SkipWithError("the file did not import as expected");
            break;
        }
        benchmark::DoNotOptimize(Track().m_fSmooth[expected - 1]);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(gpx.size()));
    state.counters["file_MB"] = static_cast<double>(gpx.size()) / 1e6;
}

void BM_ImportGpx10000(benchmark::State& state) {
    static const std::string gpx = LoggedGpx();
    RunImport(state, gpx, kPoints);
}

void BM_ImportGpx30000Simplified(benchmark::State& state) {
    static const std::string gpx = ReadSample("long-30000.gpx");
    RunImport(state, gpx, CTrack::kMaxPoints);
}

constexpr std::uint32_t kFitPoints = 100000;
// The pieces the file import reads.
constexpr std::size_t kPieceBytes = 64 * 1024;

const std::string& FitFile() {
    static const std::string fit = BenchFitFile(kFitPoints);
    return fit;
}

void FeedFit(CFitReader& reader, const std::string& fit) {
    for (std::size_t at = 0; at < fit.size(); at += kPieceBytes)
        reader.Feed(std::span<const char>(fit).subspan(at, std::min(kPieceBytes, fit.size() - at)));
}

void SetFitCounters(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FitFile().size()));
    state.counters["file_MB"] = static_cast<double>(FitFile().size()) / 1e6;
}

void BM_ReadFit100000(benchmark::State& state) {
    const std::string& fit = FitFile();
    std::size_t nBytesPerPoint = 0;
    for (auto _ : state) {
        CFitReader reader(fit.size());
        FeedFit(reader, fit);
        const ReadResult r = reader.Finish();
        if (r.record.Size() != kFitPoints || !r.notes.empty()) {
            state.SkipWithError("the file did not read as expected");
            break;
        }
        nBytesPerPoint = r.record.BytesPerPoint();
        benchmark::DoNotOptimize(r.record.Lat().back());
    }
    SetFitCounters(state);
    state.counters["bytes_per_point"] = static_cast<double>(nBytesPerPoint);
}

void BM_ImportFit100000(benchmark::State& state) {
    const std::string& fit = FitFile();
    for (auto _ : state) {
        CFitReader reader(fit.size());
        FeedFit(reader, fit);
        const ImportResult r = CTrackImporter::ImportRead(reader, "bench.fit", "FIT", Track());
        if (!r.Ok() || r.nRead != kFitPoints || Track().m_nCount != CTrack::kMaxPoints) {
            state.SkipWithError("the file did not import as expected");
            break;
        }
        benchmark::DoNotOptimize(Track().m_fSmooth[CTrack::kMaxPoints - 1]);
    }
    SetFitCounters(state);
}

// The three numbers of each point of the logged file, as it writes them.
std::vector<std::string> LoggedNumbers() {
    std::vector<std::string> numbers;
    char text[32];
    for (int i = 0; i < kPoints; ++i) {
        const double t = i * 0.001;
        for (const auto& [format, value] :
             {std::pair{"%.7f", 46.5 + 0.02 * std::sin(t)},
              std::pair{"%.7f", -122.9 + 0.03 * std::cos(t) + t * 0.01},
              std::pair{"%.1f", 1500 + 300 * std::sin(t * 3)}}) {
            std::snprintf(text, sizeof text, format, value);
            numbers.emplace_back(text);
        }
    }
    return numbers;
}

template <typename Parse> void RunNumbers(benchmark::State& state, Parse parse) {
    static const std::vector<std::string> numbers = LoggedNumbers();
    for (auto _ : state)
        for (const std::string& number : numbers) {
            double value = 0;
            if (!parse(number, value)) {
                state.SkipWithError("a number did not parse");
                return;
            }
            benchmark::DoNotOptimize(value);
        }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(numbers.size()));
}

void BM_GpxNumberParse(benchmark::State& state) {
    RunNumbers(state,
               [](const std::string& s, double& value) { return CGpxNumber::Parse(s, value); });
}

void BM_GpxNumberFromChars(benchmark::State& state) {
    RunNumbers(state, [](const std::string& s, double& value) {
        return std::from_chars(s.data(), s.data() + s.size(), value).ec == std::errc();
    });
}

} // namespace

BENCHMARK(BM_ImportGpx10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportGpx30000Simplified)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFit100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportFit100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GpxNumberParse);
BENCHMARK(BM_GpxNumberFromChars);
