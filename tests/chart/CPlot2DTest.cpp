// The elevation chart's layout in millimetres and its drawing, through the recording surface.
//
// Golden drawing: tests/data/chart/elevation-800x600.log is the recording of Draw2D of the sample
// track on a 96-dpi window of 800 x 600. After an intended change of the drawing, refresh it with
//   VORLAN_REFRESH_GOLDEN=1 <build>/tests/chart/chart_layout_test --gtest_filter='*Golden*'
// and review `git diff tests/data/chart` line by line before committing it.
#include "CDrawTools.h"
#include "CPlot.h"
#include "CRecordingDC.h"
#include "CSvgDC.h"
#include "DrawToolNames.h"
#include "TestTracks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kGolden = std::string(VORLAN_TEST_DATA) + "/chart/elevation-800x600.log";

struct Scale {
    float first, last, step;
    int count;
    bool operator==(const Scale&) const = default;
};

Scale Nice(float lo, float hi, int wanted) {
    CPlot plot;
    Scale s{lo, hi, 0.0f, wanted};
    char format[16];
    plot.NiceScale(&s.first, &s.last, &s.step, &s.count, format);
    return s;
}

// A raw range from 0 on which the wanted counts n and n - 1 give different grids: the
// interval (range / n) crosses the half decade 10^0.5 between them.
float RangeTellingApart(int n) {
    return (n - 0.5f) * 3.1623f;
}

struct LayoutRow {
    const char* name;
    bool printer;
    int dpi, cx, cy;
    float zoom;
    float px;
    RECT frame;
    CSize page;
    int wantedX, wantedY;
};

const LayoutRow kLayouts[] = {
    {"screen 800x600", false, 96, 800, 600, 1.0f, 3.7795277f, {30, 37, 755, 544}, {800, 600}, 8, 6},
    // The page grows to the 120 x 80 mm minimum.
    {"screen 300x200", false, 96, 300, 200, 1.0f, 3.7795277f, {30, 37, 408, 246}, {453, 302}, 4, 3},
    {"screen zoom 2",
     false,
     96,
     800,
     600,
     2.0f,
     3.7795277f,
     {30, 37, 1555, 1144},
     {1600, 1200},
     16,
     12},
    // Paper ignores the zoom; the frame is 0.618 times as tall as wide.
    {"printer 600 dpi",
     true,
     600,
     4800,
     6600,
     3.0f,
     23.622047f,
     {590, 590, 4210, 2827},
     {4800, 6600},
     8,
     11},
};

CRecordingDC Surface(const LayoutRow& row) {
    return row.printer ? CRecordingDC::Printer(row.dpi, row.cx, row.cy)
                       : CRecordingDC::Screen(row.dpi, row.cx, row.cy);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Plot2DTest : public testing::Test {
protected:
    CDrawTools m_tools;
};

TEST_F(Plot2DTest, LayoutInMillimetres) {
    for (const LayoutRow& row : kLayouts) {
        SCOPED_TRACE(row.name);
        const float rx = RangeTellingApart(row.wantedX), ry = RangeTellingApart(row.wantedY);
        auto track = MakeTrack({0.0f, rx}, {0.0f, ry}, {0.0f, ry});
        CPlot plot;
        plot.FillElevation(*track);
        plot.m_fZoom = row.zoom;
        CRecordingDC dc = Surface(row);
        plot.Layout2D(&dc);

        EXPECT_EQ(row.px, plot.m_fPixPerMMX);
        EXPECT_EQ(row.px, plot.m_fPixPerMMY);
        EXPECT_EQ(row.frame.left, plot.m_rcPlot.left);
        EXPECT_EQ(row.frame.top, plot.m_rcPlot.top);
        EXPECT_EQ(row.frame.right, plot.m_rcPlot.right);
        EXPECT_EQ(row.frame.bottom, plot.m_rcPlot.bottom);
        EXPECT_EQ(row.page.cx, plot.m_sizeTotal.cx);
        EXPECT_EQ(row.page.cy, plot.m_sizeTotal.cy);
        EXPECT_EQ(row.frame.left, plot.m_nLegendX);
        EXPECT_TRUE(dc.m_log.empty()) << "the layout draws nothing";

        // The grids are those of the wanted interval counts, one per 25 mm of page.
        ASSERT_NE(Nice(0, rx, row.wantedX), Nice(0, rx, row.wantedX - 1));
        ASSERT_NE(Nice(0, ry, row.wantedY), Nice(0, ry, row.wantedY - 1));
        EXPECT_EQ(Nice(0, rx, row.wantedX),
                  (Scale{plot.m_fXMin, plot.m_fXMax, plot.m_fXStep, plot.m_nXTicks}));
        EXPECT_EQ(Nice(0, ry, row.wantedY),
                  (Scale{plot.m_fYMin, plot.m_fYMax, plot.m_fYStep, plot.m_nYTicks}));

        // The last ticks fall on the right and top edges; y grows upward.
        EXPECT_NEAR(plot.m_rcPlot.right, plot.m_fXMax * plot.m_fXScale + plot.m_fXOffset, 1e-3);
        EXPECT_NEAR(plot.m_rcPlot.left, plot.m_fXMin * plot.m_fXScale + plot.m_fXOffset, 1e-3);
        EXPECT_NEAR(plot.m_rcPlot.top, plot.m_fYMax * plot.m_fYScale + plot.m_fYOffset, 1e-3);
        EXPECT_LT(plot.m_fYScale, 0.0f);
    }
}

TEST_F(Plot2DTest, SmallPrinterPageGrowsToTheMinimum) {
    auto track = SampleTrack();
    CPlot plot;
    plot.FillElevation(*track);
    CRecordingDC dc = CRecordingDC::Printer(600, 1000, 1000, DrawToolNames(m_tools));
    plot.Layout2D(&dc);
    // 160 x 100 mm at 23.622047 dots per millimetre.
    EXPECT_EQ(3779, plot.m_sizeTotal.cx);
    EXPECT_EQ(2362, plot.m_sizeTotal.cy);
    EXPECT_EQ(3779 - 590, plot.m_rcPlot.right);
}

TEST_F(Plot2DTest, DrawingMatchesTheGoldenRecording) {
    auto track = SampleTrack();
    CPlot plot;
    plot.FillElevation(*track);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    plot.Draw2D(&dc, m_tools);
    if (std::getenv("VORLAN_REFRESH_GOLDEN")) {
        std::ofstream(kGolden, std::ios::binary) << dc.Text();
        GTEST_SKIP() << "refreshed " << kGolden;
    }
    EXPECT_EQ(ReadFile(kGolden), dc.Text());
}

// What the golden recording must keep whenever it is refreshed.
TEST_F(Plot2DTest, PensFontsAndAlignmentsInDrawingOrder) {
    auto track = SampleTrack();
    CPlot plot;
    plot.FillElevation(*track);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    plot.Draw2D(&dc, m_tools);
    using Lines = std::vector<std::string>;

    EXPECT_EQ("Rectangle 30 37 755 544", dc.m_log.front()) << "the frame comes first";
    // Grid in pen 8; series s and its legend sample in pen s; the previous pen back after each.
    EXPECT_EQ((Lines{"SelectPen 8", "SelectPen none", "SelectPen 0", "SelectPen 0", "SelectPen 1",
                     "SelectPen none"}),
              dc.Lines("SelectPen"));
    EXPECT_EQ((Lines{"SelectFont screen", "SelectFont none"}), dc.Lines("SelectFont"));
    // x labels, y labels, x-axis title, chart title (y-axis title alike), legend.
    EXPECT_EQ((Lines{"SetTextAlign 6", "SetTextAlign 8", "SetTextAlign 6", "SetTextAlign 14",
                     "SetTextAlign 0"}),
              dc.Lines("SetTextAlign"));

    // Inner grid lines only, then two 7 mm legend samples 20 mm apart, each series a polyline.
    const Lines lines = dc.Lines("LineTo");
    const std::size_t grid = plot.m_nXTicks - 1 + plot.m_nYTicks - 1;
    ASSERT_EQ(grid + 2 * (1 + 5), lines.size());
    EXPECT_EQ("LineTo 56 589", lines[grid]);
    EXPECT_EQ("LineTo 131 589", lines[grid + 6]);

    // 0 .. 2.2 miles in 22 steps of 0.1. The last label's value, 22 * 0.1f in double, lies just
    // below 2.2f, so it is placed at 754 while the frame edge is at 755.
    const Lines text = dc.Lines("TextOut");
    ASSERT_EQ(22, plot.m_nXTicks);
    EXPECT_EQ("TextOut 30 547 align 6 \"0.0\"", text[0]);
    EXPECT_EQ("TextOut 754 547 align 6 \"2.2\"", text[22]);
    EXPECT_EQ("TextOut 758 547 align 8 \"500\"", text[23]);
    EXPECT_EQ("TextOut 27 290 align 14 \"Elevation, ft\"", text[text.size() - 3]);
}

// Metric units convert what the charts show: the titles, the series (so the ticks are laid out
// on kilometres and metres) and the 3D extent labels; the track stays in feet and miles.
TEST_F(Plot2DTest, MetricTextsTicksAndSeries) {
    auto track = SampleTrack();
    CPlot plot;
    plot.m_units = Units::metric;
    plot.FillElevation(*track);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    plot.Draw2D(&dc, m_tools);
    using Lines = std::vector<std::string>;
    Lines xTicks, yTicks, titles;
    for (const std::string& line : dc.Lines("TextOut")) {
        const std::string text = line.substr(line.find('"'));
        if (line.find(" 547 align 6 ") != std::string::npos)
            xTicks.push_back(text);
        else if (line.find(" align 8 ") != std::string::npos)
            yTicks.push_back(text);
        else
            titles.push_back(line);
    }
    // 2.2 miles are 3.5405568 km: 0 .. 4 in steps of 0.5. 500 .. 905 ft are 152.4 .. 275.844 m:
    // the low end is floored to 152 and the grid steps by 10.
    EXPECT_EQ((Lines{"\"0.0\"", "\"0.5\"", "\"1.0\"", "\"1.5\"", "\"2.0\"", "\"2.5\"", "\"3.0\"",
                     "\"3.5\"", "\"4.0\""}),
              xTicks);
    EXPECT_EQ((Lines{"\"152\"", "\"162\"", "\"172\"", "\"182\"", "\"192\"", "\"202\"", "\"212\"",
                     "\"222\"", "\"232\"", "\"242\"", "\"252\"", "\"262\"", "\"272\"", "\"282\""}),
              yTicks);
    EXPECT_EQ((Lines{"TextOut 392 562 align 6 \"Distance, km\"",
                     "TextOut 392 34 align 14 \"Elevation vs Distance (3.54 km)\"",
                     "TextOut 27 290 align 14 \"Elevation, m\"", "TextOut 59 582 align 0 \"Raw\"",
                     "TextOut 134 582 align 0 \"Smoothed\""}),
              titles);
    // The smoothed series ends at 3.54 km and 266.7 m, short of the 4 km right edge.
    EXPECT_EQ("LineTo 671 96", dc.Lines("LineTo").back());
    EXPECT_EQ(2.2f, track->m_fDist[5]) << "the track keeps its miles";

    // A box of 250 by 80 tens of metres and 405 ft: kilometres above 1 km, metres below.
    track->m_fRange[0][1] = 250.0f;
    track->m_fRange[1][1] = 80.0f;
    track->m_fRange[2][0] = 500.0f;
    track->m_fRange[2][1] = 905.0f;
    Lines extents[2];
    for (const Units units : {Units::imperial, Units::metric}) {
        CPlot plot3D;
        plot3D.m_units = units;
        plot3D.Fill3D(*track);
        CRecordingDC dc3D = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
        plot3D.Draw3D(&dc3D, m_tools);
        for (const std::string& line : dc3D.Lines("TextOut"))
            if (line.find(' ', line.find('"')) != std::string::npos)
                extents[units == Units::metric].push_back(line.substr(line.find('"')));
    }
    EXPECT_EQ((Lines{"\"1.55 mi\"", "\"2625 ft\"", "\"405 ft\""}), extents[0]);
    EXPECT_EQ((Lines{"\"2.50 km\"", "\"800 m\"", "\"123 m\""}), extents[1]);
}

TEST_F(Plot2DTest, PrinterUsesThePrinterFontAndIgnoresTheZoom) {
    auto track = SampleTrack();
    CPlot plot;
    plot.FillElevation(*track);
    plot.m_fZoom = 4.0f;
    CRecordingDC dc = CRecordingDC::Printer(600, 4800, 6600, DrawToolNames(m_tools));
    plot.Draw2D(&dc, m_tools);
    EXPECT_EQ("Rectangle 590 590 4210 2827", dc.m_log.front());
    const std::vector<std::string> fonts = dc.Lines("SelectFont");
    EXPECT_EQ((std::vector<std::string>{"SelectFont printer", "SelectFont none"}), fonts);
    EXPECT_EQ(4.0f, plot.m_fZoom);
}

TEST_F(Plot2DTest, OneXIntervalDrawsNoVerticalGridLineButTwoLabels) {
    auto track = SampleTrack();
    CPlot plot;
    plot.FillElevation(*track);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    plot.Layout2D(&dc);
    plot.m_nXTicks = 1;
    plot.m_fXStep = plot.m_fXMax - plot.m_fXMin;
    plot.DrawAxes2D(&dc, m_tools);
    for (const std::string& line : dc.Lines("LineTo"))
        EXPECT_EQ(0u, line.rfind("LineTo 755 ", 0)) << "only horizontal grid lines: " << line;
    EXPECT_EQ(static_cast<std::size_t>(plot.m_nYTicks - 1), dc.Lines("LineTo").size());
    int xLabels = 0;
    for (const std::string& line : dc.Lines("TextOut"))
        xLabels += line.find(" 547 align 6 ") != std::string::npos;
    EXPECT_EQ(2, xLabels);
}

TEST_F(Plot2DTest, EmptyTrackDrawsAxesAndLegendButNoSeries) {
    auto track = MakeTrack({}, {}, {});
    CPlot plot;
    plot.FillElevation(*track);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    plot.Draw2D(&dc, m_tools);
    // The range 0 .. 0 is widened to 0 .. 0.01 on both axes.
    EXPECT_EQ(0.0f, plot.m_fXMin);
    EXPECT_EQ(0.010000001f, plot.m_fXMax);
    EXPECT_EQ(10, plot.m_nXTicks);
    const std::size_t grid = plot.m_nXTicks - 1 + plot.m_nYTicks - 1;
    EXPECT_EQ(grid + 2, dc.Lines("LineTo").size()) << "grid and two legend samples only";
    EXPECT_EQ(grid + 2, dc.Lines("MoveTo").size());
    const std::vector<std::string> text = dc.Lines("TextOut");
    EXPECT_NE(text.end(),
              std::find(text.begin(), text.end(),
                        "TextOut 392 34 align 14 \"Elevation vs Distance (0.00 miles)\""));
}

struct Line {
    POINT from, to;
    bool operator==(const Line& o) const {
        return from.x == o.from.x && from.y == o.from.y && to.x == o.to.x && to.y == o.to.y;
    }
};

// The lines of a recording, each from the position the calls before it left.
std::vector<Line> RecordedLines(const std::vector<std::string>& log) {
    std::vector<Line> lines;
    POINT at;
    for (const std::string& entry : log) {
        std::istringstream in(entry);
        std::string call;
        POINT pt;
        in >> call >> pt.x >> pt.y;
        if (call == "LineTo")
            lines.push_back(Line{at, pt});
        if (call == "LineTo" || call == "MoveTo")
            at = pt;
    }
    return lines;
}

// A window on a page zoomed 16 times shows a 256th of it. With that window as the clip box a long
// series draws only the lines that can reach into it: the same lines there as without a clip
// box, out of a small part of the calls. A clip box holding the whole page changes nothing.
TEST_F(Plot2DTest, AClipBoxLeavesOutTheSeriesLinesWhollyOutsideIt) {
    std::vector<float> dist(10000), elev(10000);
    for (std::size_t i = 0; i < dist.size(); ++i) {
        dist[i] = static_cast<float>(i) * 0.001f;
        elev[i] = 500.0f + 400.0f * static_cast<float>(std::sin(static_cast<double>(i) * 0.05));
    }
    const auto track = MakeTrack(dist, elev, elev);
    CPlot plot;
    plot.m_fZoom = 16.0f;
    plot.FillElevation(*track);
    const auto draw = [&](const RECT* pClip) {
        CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
        dc.SetClipBox(pClip);
        plot.Draw2D(&dc, m_tools);
        return dc.m_log;
    };
    const RECT page{0, 0, 12800, 9600}, window{6000, 4500, 6800, 5100};
    const auto inWindow = [&](const std::vector<std::string>& log) {
        std::vector<Line> lines = RecordedLines(log);
        std::erase_if(lines, [&](const Line& l) {
            return std::max(l.from.x, l.to.x) < window.left ||
                   std::min(l.from.x, l.to.x) > window.right ||
                   std::max(l.from.y, l.to.y) < window.top ||
                   std::min(l.from.y, l.to.y) > window.bottom;
        });
        return lines;
    };

    const std::vector<std::string> all = draw(nullptr), part = draw(&window);
    EXPECT_EQ(all, draw(&page));
    const std::vector<Line> shown = inWindow(all);
    EXPECT_GT(shown.size(), 50u);
    EXPECT_TRUE(shown == inWindow(part));
    EXPECT_LT(RecordedLines(part).size(), RecordedLines(all).size() / 20);
}

} // namespace

// The page a picture of the screen measures is known without drawing it, for either plot.
TEST(PlotLayout, TheScreenPageSizeIsWhatTheDrawingLaysOut) {
    const CDrawTools tools;
    const auto track = SampleTrack();
    const int sizes[][2] = {{800, 600}, {300, 200}, {1920, 1080}};
    for (const auto& [cx, cy] : sizes)
        for (const float fZoom : {1.0f, 2.0f, 0.505f})
            for (const bool b3D : {false, true}) {
                CPlot plot;
                plot.m_fZoom = fZoom;
                const RECT client{0, 0, cx, cy};
                CSvgDC dc(96, 96, cx, cy, 0, &client);
                if (b3D) {
                    plot.Fill3D(*track);
                    plot.Draw3D(&dc, tools);
                } else {
                    plot.FillElevation(*track);
                    plot.Draw2D(&dc, tools);
                }
                const CSize size = CPlot::ScreenPageSize(96, 96, cx, cy, fZoom);
                EXPECT_EQ(plot.m_sizeTotal.cx, size.cx) << cx << " " << fZoom << " " << b3D;
                EXPECT_EQ(plot.m_sizeTotal.cy, size.cy) << cy << " " << fZoom << " " << b3D;
            }
}
