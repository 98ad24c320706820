// Saving and opening a 100000-point document with every channel (version 2), each a whole call
// as the programs make it: Write builds the bytes and replaces the file through a synced
// temporary file, Read reads, checks and loads it. The counter "bytes/point" is the file's size
// over its points. The same ride with its shape only (position and elevation), and version 1 of
// its track, are timed beside it.
#include "CDocumentFile.h"
#include "CTrack.h"
#include "CTrackBuilder.h"
#include "CTrackRecord.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kPoints = 100000;

// A value as a logger writes it and a reader reads it back: rounded to its decimals in text.
double Written(const char* pszFormat, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pszFormat, value);
    return std::strtod(text, nullptr);
}

// A ride of a point a second over hills, with time, heart rate, cadence, power, temperature and
// speed unless it is the shape only.
CTrackRecord Ride(bool bAllChannels) {
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 1);
    CTrackRecord record;
    record.Reserve(kPoints);
    record.BeginTrack("Long ride");
    double lat = 46.5, lon = 8.0, heading = 0;
    for (std::size_t i = 0; i < kPoints; ++i) {
        const double t = static_cast<double>(i);
        heading += 0.05 * noise(rng);
        lat += 0.00004 * std::cos(heading);
        lon += 0.00006 * std::sin(heading);
        RecordPoint p;
        p.lat = Written("%.7f", lat);
        p.lon = Written("%.7f", lon);
        p.ele = Written("%.1f", 1500 + 800 * std::sin(t / 9000) + 40 * std::sin(t / 700) +
                                    0.5 * noise(rng));
        if (bAllChannels) {
            p.time = 1625097600000 + 1000 * static_cast<TimeMs>(i);
            p.At(Sensor::heartRate) = static_cast<float>(120 + (i / 7) % 40);
            p.At(Sensor::cadence) = static_cast<float>(85 + std::lround(3 * noise(rng)));
            p.At(Sensor::power) = static_cast<float>(200 + std::lround(30 * noise(rng)));
            p.At(Sensor::temperature) = static_cast<float>(18 + (i / 3000) % 5);
            p.At(Sensor::speed) = static_cast<float>(Written("%.3f", 7 + 0.3 * noise(rng)));
        }
        record.AddPoint(p);
    }
    record.m_source = {"ride.fit", "FIT", "bench"};
    return record;
}

struct Document {
    explicit Document(bool bAllChannels) : record(Ride(bAllChannels)) {
        CTrackBuilder::Build(record, *track);
    }
    ~Document() { std::filesystem::remove(path); }

    CTrackRecord record;
    std::unique_ptr<CTrack> track = std::make_unique<CTrack>();
    CViewValues view;
    std::string path = (std::filesystem::temp_directory_path() /
                        ("vorlan-bench-" + std::to_string(getpid()) + ".vrl"))
                           .string();
};

Document& Doc(bool bAllChannels = true) {
    static Document all(true), shape(false);
    return bAllChannels ? all : shape;
}

void Save(benchmark::State& state, int nVersion, bool bAllChannels = true) {
    Document& doc = Doc(bAllChannels);
    for (auto _ : state)
        if (!CDocumentFile::Write(doc.path, *doc.track, doc.record, doc.view, nVersion).Ok())
            state.SkipWithError("the document was not written");
    state.counters["bytes/point"] =
        static_cast<double>(std::filesystem::file_size(doc.path)) / static_cast<double>(kPoints);
}

void Open(benchmark::State& state, int nVersion) {
    Document& doc = Doc();
    if (!CDocumentFile::Write(doc.path, *doc.track, doc.record, doc.view, nVersion).Ok())
        state.SkipWithError("the document was not written");
    auto track = std::make_unique<CTrack>();
    CTrackRecord record;
    CViewValues view;
    for (auto _ : state) {
        if (!CDocumentFile::Read(doc.path, *track, record, view).Ok())
            state.SkipWithError("the document was not read");
        benchmark::DoNotOptimize(record.Size());
    }
}

void BM_SaveDocument(benchmark::State& state) {
    Save(state, CDocumentFile::kNewestVersion);
}
void BM_OpenDocument(benchmark::State& state) {
    Open(state, CDocumentFile::kNewestVersion);
}
void BM_SaveDocumentShapeOnly(benchmark::State& state) {
    Save(state, CDocumentFile::kNewestVersion, false);
}
void BM_SaveDocumentVersion1(benchmark::State& state) {
    Save(state, CDocumentFile::kDesignedVersion);
}
void BM_OpenDocumentVersion1(benchmark::State& state) {
    Open(state, CDocumentFile::kDesignedVersion);
}

} // namespace

BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocumentShapeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocumentVersion1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocumentVersion1)->Unit(benchmark::kMillisecond);
