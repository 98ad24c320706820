// The 3D view: the geometry of one frame (layout and the projections of a full track) and the
// whole scene of a 10000-point track on the recording surface and on the SVG surface; the scene
// over a ground of 200 x 200 cells on a surface that draws nothing, the chart's own share of its
// cost (projecting the cells, their order and the track's lines of sight).
#include "CDrawTools.h"
#include "CFixedDC.h"
#include "CGroundHeights.h"
#include "CPlot.h"
#include "CProjector.h"
#include "CRecordingDC.h"
#include "CSvgDC.h"
#include "DrawToolNames.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kPoints = 10000;

// A winding climb of 10000 points, about 6 km across and 800 ft high, in its widened box.
class Scene {
public:
    Scene() {
        for (int i = 0; i < kPoints; ++i) {
            const double t = i * 0.000628;
            m_x[i] = static_cast<float>(300 * std::sin(t) + 40 * std::sin(7 * t));
            m_y[i] = static_cast<float>(250 * std::sin(2 * t) + 30 * std::cos(11 * t));
            m_z[i] = static_cast<float>(1200 + 400 * std::sin(3 * t) + 20 * std::sin(17 * t));
        }
        const float* series[3] = {m_x.data(), m_y.data(), m_z.data()};
        for (int a = 0; a < 3; ++a) {
            const auto [lo, hi] = std::minmax_element(series[a], series[a] + kPoints);
            const float fMin = static_cast<float>(*lo - 0.1 * (*hi - *lo));
            m_plot.m_fBoxMin[a] = fMin;
            m_plot.m_fBoxMax[a] = static_cast<float>(*hi + 0.1 * (*hi - fMin));
        }
        m_plot.m_pX[0] = m_x.data();
        m_plot.m_pY[0] = m_y.data();
        m_plot.m_pZ[0] = m_z.data();
        m_plot.m_nPoints[0] = kPoints;
    }

    CDrawTools m_tools;
    CPlot m_plot;
    std::vector<float> m_x = std::vector<float>(kPoints);
    std::vector<float> m_y = std::vector<float>(kPoints);
    std::vector<float> m_z = std::vector<float>(kPoints);
};

// Layout3D and the 40000 projections of the three shadows and the track, without drawing.
void BM_FrameGeometry(benchmark::State& state) {
    Scene scene;
    CPlot& plot = scene.m_plot;
    CRecordingDC dc = CRecordingDC::Screen(96, 1280, 960, DrawToolNames(scene.m_tools));
    dc.m_bRecord = false;
    for (auto _ : state) {
        plot.Layout3D(&dc, scene.m_tools, plot.m_fBoxMin[0], plot.m_fBoxMin[1], plot.m_fBoxMin[2],
                      plot.m_fBoxMax[0], plot.m_fBoxMax[1], plot.m_fBoxMax[2]);
        CProjector& proj = *plot.m_pProjector;
        float sum = 0;
        for (int i = 0; i < kPoints; ++i) {
            proj.Project(scene.m_x[i], scene.m_y[i], plot.m_fBoxMin[2]);
            sum += proj.m_fProjX;
            proj.Project(scene.m_x[i], plot.m_fBoxMin[1], scene.m_z[i]);
            sum += proj.m_fProjX;
            proj.Project(plot.m_fBoxMin[0], scene.m_y[i], scene.m_z[i]);
            sum += proj.m_fProjX;
            proj.Project(scene.m_x[i], scene.m_y[i], scene.m_z[i]);
            sum += proj.m_fProjY;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 4 * kPoints);
}
BENCHMARK(BM_FrameGeometry)->Unit(benchmark::kMicrosecond);

// The whole scene on a surface that only counts its calls.
void BM_Draw3D_Counting(benchmark::State& state) {
    Scene scene;
    CRecordingDC dc = CRecordingDC::Screen(96, 1280, 960, DrawToolNames(scene.m_tools));
    dc.m_bRecord = false;
    for (auto _ : state) {
        scene.m_plot.Draw3D(&dc, scene.m_tools);
        benchmark::DoNotOptimize(dc.m_nCalls);
    }
    state.SetItemsProcessed(state.iterations() * 4 * kPoints);
}
BENCHMARK(BM_Draw3D_Counting)->Unit(benchmark::kMicrosecond);

// The whole scene written down as text, one line per call.
void BM_Draw3D_Recording(benchmark::State& state) {
    Scene scene;
    CRecordingDC dc = CRecordingDC::Screen(96, 1280, 960, DrawToolNames(scene.m_tools));
    for (auto _ : state) {
        dc.m_log.clear();
        scene.m_plot.Draw3D(&dc, scene.m_tools);
        benchmark::DoNotOptimize(dc.m_log.data());
    }
    state.SetItemsProcessed(state.iterations() * 4 * kPoints);
}
BENCHMARK(BM_Draw3D_Recording)->Unit(benchmark::kMicrosecond);

// The whole scene as a complete SVG document.
void BM_Draw3D_Svg(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        CSvgDC dc = CSvgDC::Screen(96, 1280, 960);
        scene.m_plot.Draw3D(&dc, scene.m_tools);
        std::string svg = dc.Document(scene.m_plot.m_sizeTotal);
        benchmark::DoNotOptimize(svg.data());
    }
    state.SetItemsProcessed(state.iterations() * 4 * kPoints);
}
BENCHMARK(BM_Draw3D_Svg)->Unit(benchmark::kMicrosecond);

// Hills about as high as the track climbs, computed once, as the tiles' source keeps its grid.
class HillGround : public CGroundHeights {
public:
    void GridFeet(float fSouthMin, float fSouthMax, float fEastMin, float fEastMax, int nRows,
                  int nCols, float* pFeet) override {
        if (m_feet.size() != static_cast<std::size_t>(nRows) * nCols) {
            m_feet.clear();
            for (int r = 0; r < nRows; ++r)
                for (int c = 0; c < nCols; ++c) {
                    const double s = fSouthMin + (fSouthMax - fSouthMin) * r / (nRows - 1.0);
                    const double e = fEastMin + (fEastMax - fEastMin) * c / (nCols - 1.0);
                    m_feet.push_back(
                        static_cast<float>(1200 + 350 * std::sin(s / 60) * std::cos(e / 80)));
                }
        }
        std::copy(m_feet.begin(), m_feet.end(), pFeet);
    }

private:
    std::vector<float> m_feet;
};

// A 1920 x 1080 screen that only counts the cells it is handed.
class NullDC : public CFixedDC {
public:
    NullDC() : CFixedDC(96, 96, kScreen.right, kScreen.bottom, 0, &kScreen) {}
    BOOL Rectangle(int, int, int, int) override { return 1; }
    BOOL TextOut(int, int, const char*, int) override { return 1; }
    BOOL FillRgn(CRgn*, CBrush*) override { return ++m_nFills; }
    int m_nFills = 0;

protected:
    void DrawLine(POINT, POINT) override {}

private:
    static constexpr RECT kScreen{0, 0, 1920, 1080};
};

void BM_Draw3DGround_Null(benchmark::State& state) {
    Scene scene;
    HillGround ground;
    scene.m_plot.m_pGround = &ground;
    NullDC dc;
    for (auto _ : state) {
        scene.m_plot.Draw3D(&dc, scene.m_tools);
        benchmark::DoNotOptimize(dc.m_nFills);
    }
}
BENCHMARK(BM_Draw3DGround_Null)->Unit(benchmark::kMicrosecond);
} // namespace
