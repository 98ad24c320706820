// Drawing speed of the desktop shell's surface: a full repaint of a 10000-point track at
// 1920x1080 (3D scene: the track and its three shadows; elevation chart: two series) must stay
// under 8 ms. The line-batching benchmarks show why the surface draws polylines in short runs.
// The elevation chart with three stacked graphs (heart rate, cadence, power) of a 100000-point
// record behind the track must repaint in under 16 ms.
// The same 3D scene over the ground (a grid of 200 x 200 cells at 1920x1080 from an analytic
// source, the track's lines of sight through it) must repaint in under 30 ms.
// A move of the cursor readout over a 10000-point track (finding the point, copying the cached
// 1280x960 picture and painting the cursor over it) must stay under 2 ms.
#include "CDrawTools.h"
#include "CGroundHeights.h"
#include "CPlot.h"
#include "CQtDC.h"
#include "CReadoutOverlay.h"
#include "CTrack.h"
#include "CTrackRecord.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kPoints = 10000;

// A hilly loop of 10000 points, about 12 miles long, as an import would leave it.
std::unique_ptr<CTrack> MakeTrack() {
    auto track = std::make_unique<CTrack>();
    track->m_nCount = kPoints;
    for (int i = 0; i < kPoints; ++i) {
        const double t = 2 * M_PI * i / kPoints;
        track->m_fLat[i] = static_cast<float>(47.6 + 0.03 * std::sin(t) + 0.004 * std::sin(9 * t));
        track->m_fLon[i] =
            static_cast<float>(-122.3 + 0.05 * std::cos(t) + 0.006 * std::cos(7 * t));
        track->m_fElev[i] = static_cast<float>(400 + 300 * std::sin(2 * t) + 40 * std::sin(37 * t) +
                                               (i * 7919 % 13));
    }
    track->ComputeLegs();
    for (int i = 1; i < kPoints; ++i)
        track->m_fDist[i] = track->m_fDist[i - 1] + track->m_fLeg[i];
    track->Smooth();
    track->ComputeGeometry();
    return track;
}

// A window of the given client size, as the view is for the surface.
class BenchWnd : public CWnd {
public:
    void GetClientRect(RECT* lpRect) const override { *lpRect = RECT{0, 0, kWidth, kHeight}; }
};

// Four 10000-point lines: a 3D track winding over the screen (bShape 0) or an elevation series,
// dense along x (bShape 1). Consecutive duplicates are dropped, as the surface drops them.
std::vector<std::vector<QPoint>> TestLines(int nShape) {
    std::vector<std::vector<QPoint>> lines(4);
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < kPoints; ++i) {
            const double t = 2 * M_PI * i / kPoints;
            const QPoint p =
                nShape == 0
                    ? QPoint(static_cast<int>(960 + 800 * std::cos(t + k) + 20 * std::sin(41 * t)),
                             static_cast<int>(540 + 450 * std::sin(t) + 15 * std::cos(53 * t + k)))
                    : QPoint(60 + i * 1800 / kPoints,
                             static_cast<int>(540 - 1.2 * (300 * std::sin(2 * t + k) +
                                                           40 * std::sin(37 * t) + i * 7919 % 13)));
            if (lines[k].empty() || lines[k].back() != p)
                lines[k].push_back(p);
        }
    return lines;
}

// The four lines with a cosmetic pen of the given width, batched three ways: nBatch 0 as one
// polyline each, nBatch > 0 as polylines of nBatch points, nBatch < 0 as separate segments
// handed to drawLines -nBatch at a time (what CQtDC does).
void BM_LineBatching(benchmark::State& state) {
    const int nBatch = static_cast<int>(state.range(0));
    const int nWidth = static_cast<int>(state.range(1));
    const auto lines = TestLines(static_cast<int>(state.range(2)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::vector<QLine> segments;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        QPen pen(Qt::blue, nWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setCosmetic(true);
        painter.setPen(pen);
        for (const auto& pts : lines) {
            const int n = static_cast<int>(pts.size());
            if (nBatch == 0) {
                painter.drawPolyline(pts.data(), n);
            } else if (nBatch > 0) {
                for (int i = 0; i + 1 < n; i += nBatch - 1)
                    painter.drawPolyline(&pts[static_cast<size_t>(i)], std::min(nBatch, n - i));
            } else {
                for (int i = 0; i + 1 < n; ++i) {
                    segments.emplace_back(pts[static_cast<size_t>(i)],
                                          pts[static_cast<size_t>(i + 1)]);
                    if (static_cast<int>(segments.size()) == -nBatch || i + 2 == n) {
                        painter.drawLines(segments.data(), static_cast<int>(segments.size()));
                        segments.clear();
                    }
                }
            }
        }
    }
}
BENCHMARK(BM_LineBatching)
    ->ArgNames({"batch", "width", "dense"})
    ->ArgsProduct({{0, 32, 256, -1, -256}, {1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

struct Scene {
    Scene() : track(MakeTrack()) {}
    CDrawTools tools;
    std::unique_ptr<CTrack> track;
    CPlot plot;
    BenchWnd wnd;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};
};

void Repaint(Scene& scene, bool b3D) {
    scene.image.fill(Qt::white);
    QPainter painter(&scene.image);
    CQtDC dc(&painter, &scene.wnd, 0);
    if (b3D)
        scene.plot.Draw3D(&dc, scene.tools);
    else
        scene.plot.Draw2D(&dc, scene.tools);
}

void BM_Repaint3D(benchmark::State& state) {
    Scene scene;
    scene.plot.Fill3D(*scene.track);
    for (auto _ : state)
        Repaint(scene, true);
}
BENCHMARK(BM_Repaint3D)->Unit(benchmark::kMillisecond);

// Rolling hills about as high as the track climbs, some of them above it. The grid is kept, as
// the tiles' source (CTrackGround) keeps it.
class HillGround : public CGroundHeights {
public:
    void GridFeet(float fSouthMin, float fSouthMax, float fEastMin, float fEastMax, int nRows,
                  int nCols, float* pFeet) override {
        const std::vector<float> key{fSouthMin,
                                     fSouthMax,
                                     fEastMin,
                                     fEastMax,
                                     static_cast<float>(nRows),
                                     static_cast<float>(nCols)};
        if (key != m_key) {
            m_key = key;
            m_feet.clear();
            for (int r = 0; r < nRows; ++r)
                for (int c = 0; c < nCols; ++c)
                    m_feet.push_back(Height(
                        fSouthMin + (static_cast<double>(fSouthMax) - fSouthMin) * r / (nRows - 1),
                        fEastMin + (static_cast<double>(fEastMax) - fEastMin) * c / (nCols - 1)));
        }
        std::copy(m_feet.begin(), m_feet.end(), pFeet);
    }

private:
    static float Height(double s, double e) {
        return static_cast<float>(380 + 300 * std::sin(s / 110) * std::cos(e / 140) +
                                  60 * std::sin((s + e) / 45));
    }
    std::vector<float> m_key;
    std::vector<float> m_feet;
};

void BM_Repaint3DTerrain(benchmark::State& state) {
    Scene scene;
    HillGround ground;
    scene.plot.Fill3D(*scene.track);
    scene.plot.m_pGround = &ground;
    for (auto _ : state)
        Repaint(scene, true);
}
BENCHMARK(BM_Repaint3DTerrain)->Unit(benchmark::kMillisecond);

void BM_RepaintElevation(benchmark::State& state) {
    Scene scene;
    scene.plot.FillElevation(*scene.track);
    for (auto _ : state)
        Repaint(scene, false);
}
BENCHMARK(BM_RepaintElevation)->Unit(benchmark::kMillisecond);
// A 100000-point ride behind the track: one record point a second, every tenth of them a track
// point, with heart rate, cadence and power that vary from second to second.
CTrackRecord MakeRecord(CTrack& track) {
    constexpr int kRecordPoints = kPoints * 10;
    CTrackRecord record;
    for (int i = 0; i < kRecordPoints; ++i) {
        const double t = 2 * M_PI * i / kRecordPoints;
        RecordPoint p;
        p.lat = 47.6 + 0.03 * std::sin(t) + 0.004 * std::sin(9 * t);
        p.lon = -122.3 + 0.05 * std::cos(t) + 0.006 * std::cos(7 * t);
        p.ele = 400 + 300 * std::sin(2 * t);
        p.time = 1625126400000 + i * 1000LL;
        p.At(Sensor::heartRate) = static_cast<float>(140 + 25 * std::sin(3 * t) + i * 7 % 11);
        p.At(Sensor::cadence) = static_cast<float>(85 + 10 * std::sin(5 * t) + i * 13 % 7);
        p.At(Sensor::power) = static_cast<float>(220 + 80 * std::sin(11 * t) + i * 31 % 97);
        record.AddPoint(p);
    }
    for (int i = 0; i < kPoints; ++i)
        track.m_nRecordIndex[i] = static_cast<std::uint32_t>(i * 10);
    return record;
}

void FillGraphs(Scene& scene, const CTrackRecord& record) {
    scene.plot.FillElevation(*scene.track, &record);
    for (GraphKind kind : {GraphKind::heartRate, GraphKind::cadence, GraphKind::power})
        scene.plot.AddGraph(kind, *scene.track, &record);
}

void BM_RepaintGraphs(benchmark::State& state) {
    Scene scene;
    const CTrackRecord record = MakeRecord(*scene.track);
    FillGraphs(scene, record);
    for (auto _ : state)
        Repaint(scene, false);
    state.counters["graph_points"] = scene.plot.m_graphs[0].nPoints;
}
BENCHMARK(BM_RepaintGraphs)->Unit(benchmark::kMillisecond);

// Filling the three graphs from the record: when the document or View, Graphs changes.
void BM_FillGraphs(benchmark::State& state) {
    Scene scene;
    const CTrackRecord record = MakeRecord(*scene.track);
    for (auto _ : state)
        FillGraphs(scene, record);
}
BENCHMARK(BM_FillGraphs)->Unit(benchmark::kMillisecond);

// One cursor move in a 1280x960 view: the readout at the mouse, then the paint of the view:
// the cached picture copied whole (the view copies only the part around the old and the new
// cursor) and the cursor over it. bShape 0: the 3D scene, where every drawn point is a
// candidate; 1: the elevation chart, a binary search.
void BM_CursorMove(benchmark::State& state) {
    constexpr int kViewWidth = 1280;
    constexpr int kViewHeight = 960;
    const bool b3D = state.range(0) == 0;
    Scene scene;
    CReadoutOverlay overlay;
    class ViewWnd : public CWnd {
    public:
        void GetClientRect(RECT* lpRect) const override {
            *lpRect = RECT{0, 0, kViewWidth, kViewHeight};
        }
    } wnd;
    QImage cache(kViewWidth, kViewHeight, QImage::Format_RGB32);
    cache.fill(Qt::white);
    {
        QPainter painter(&cache);
        CQtDC dc(&painter, &wnd, 0);
        if (b3D) {
            scene.plot.Fill3D(*scene.track);
            scene.plot.Draw3D(&dc, scene.tools);
        } else {
            scene.plot.FillElevation(*scene.track);
            scene.plot.Draw2D(&dc, scene.tools);
        }
    }
    overlay.TakeMapping(scene.plot,
                        b3D ? CReadoutOverlay::Mode::scene3D : CReadoutOverlay::Mode::elevation);
    QImage screen(kViewWidth, kViewHeight, QImage::Format_RGB32);
    const RECT rc = scene.plot.m_rcPlot;
    int nStep = 0;
    for (auto _ : state) {
        // The mouse sweeps the plot frame, 7 pixels a move.
        const int x = rc.left + (nStep++ * 7) % std::max(1, rc.right - rc.left);
        const int y = (rc.top + rc.bottom) / 2;
        const TrackReadout readout = overlay.ReadoutAt(POINT{x, y}, *scene.track, Units::imperial);
        QPainter painter(&screen);
        painter.drawImage(0, 0, cache);
        overlay.Paint(&painter, POINT{0, 0}, readout.bFound ? readout.nIndex : nStep % kPoints,
                      *scene.track, Units::imperial);
        benchmark::DoNotOptimize(readout.nIndex);
    }
}
BENCHMARK(BM_CursorMove)->ArgName("chart")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    // Text needs the font database of a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
