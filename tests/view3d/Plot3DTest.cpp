// The 3D layout and scene of CPlot on the recording surface: page and plot rectangles, camera and
// face visibility, the mapping of the projected box, the drawing order with its pens, the label
// texts, what the surface keeps afterwards, and boxes that collapse or lie far from the camera.
//
// The golden drawing tests/data/view3d/scene-800x600.log is the recording of a small synthetic
// track. After an intended change of the drawing, refresh it by running this test with
// VORLAN_REFRESH_GOLDEN=1 set in the environment, then review the diff of the log with git before
// committing it.
#include "CDrawTools.h"
#include "CMapSourceFormat.h"
#include "CPlot.h"
#include "CProjector.h"
#include "CRecordingDC.h"
#include "CTrack.h"
#include "DrawToolNames.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {
constexpr int kCoordLimit = 1 << 30;

struct Box {
    float min[3];
    float max[3];
};

// The box of the worked examples: 200 x 200 in the plane, 1000 to 1500 ft high.
constexpr Box kTower = {{-100, -100, 1000}, {100, 100, 1500}};

class Plot3DTest : public ::testing::Test {
protected:
    void SetBox(const Box& box) {
        for (int i = 0; i < 3; ++i) {
            m_plot.m_fBoxMin[i] = box.min[i];
            m_plot.m_fBoxMax[i] = box.max[i];
        }
    }
    void Layout(CDC& dc, const Box& box) {
        SetBox(box);
        m_plot.Layout3D(&dc, m_tools, box.min[0], box.min[1], box.min[2], box.max[0], box.max[1],
                        box.max[2]);
    }
    void SetTrack(const std::vector<float>& x, const std::vector<float>& y,
                  const std::vector<float>& z) {
        m_x = x;
        m_y = y;
        m_z = z;
        m_plot.m_pX[0] = m_x.data();
        m_plot.m_pY[0] = m_y.data();
        m_plot.m_pZ[0] = m_z.data();
        m_plot.m_nPoints[0] = static_cast<int>(m_x.size());
    }
    std::vector<int> Visible() const {
        return std::vector<int>(m_plot.m_bFaceVisible, m_plot.m_bFaceVisible + 6);
    }
    POINT Corner(int k) const { return m_plot.m_ptFace[k / 4][k % 4]; }

    CDrawTools m_tools;
    CPlot m_plot;
    std::vector<float> m_x, m_y, m_z;
};

void ExpectRect(const RECT& rc, int left, int top, int right, int bottom) {
    EXPECT_EQ(rc.left, left);
    EXPECT_EQ(rc.top, top);
    EXPECT_EQ(rc.right, right);
    EXPECT_EQ(rc.bottom, bottom);
}

// Every integer argument of the recorded drawing calls.
std::vector<long long> LoggedCoordinates(const CRecordingDC& dc) {
    std::vector<long long> values;
    for (const std::string& line : dc.m_log) {
        if (line.rfind("MoveTo", 0) != 0 && line.rfind("LineTo", 0) != 0 &&
            line.rfind("FillRgn", 0) != 0 && line.rfind("TextOut", 0) != 0)
            continue;
        std::string text = line.substr(0, line.find('"'));
        for (char& c : text)
            if (c == ',')
                c = ' ';
        std::istringstream in(text);
        std::string word;
        std::string previous;
        for (; in >> word; previous = word) {
            const bool bSetting = previous == "brush" || previous == "mode" || previous == "align";
            if (!bSetting && word.find_first_not_of("-0123456789") == std::string::npos)
                values.push_back(std::stoll(word));
        }
    }
    return values;
}

void ExpectFiniteMapping(const CPlot& plot) {
    EXPECT_TRUE(std::isfinite(plot.m_fXScale) && plot.m_fXScale != 0);
    EXPECT_TRUE(std::isfinite(plot.m_fYScale) && plot.m_fYScale != 0);
    EXPECT_TRUE(std::isfinite(plot.m_fXOffset));
    EXPECT_TRUE(std::isfinite(plot.m_fYOffset));
}

void ExpectCoordinatesWithin(const CRecordingDC& dc, long long limit) {
    for (const long long v : LoggedCoordinates(dc))
        ASSERT_LE(std::llabs(v), limit);
}

TEST_F(Plot3DTest, DefaultViewOfTowerBox) {
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    Layout(dc, kTower);

    const CProjector& proj = *m_plot.m_pProjector;
    EXPECT_EQ(proj.m_fDistance, 5744.5625f);
    EXPECT_NEAR(proj.m_fEyeX, 4974.94, 0.005);
    EXPECT_NEAR(proj.m_fEyeY, 2872.28, 0.005);
    EXPECT_NEAR(proj.m_fEyeZ, 1964.76, 0.005);
    // Top, south and east are turned towards the eye.
    EXPECT_EQ(Visible(), (std::vector<int>{1, 0, 1, 0, 0, 1}));

    // Corner 3 gives the smallest projected x, corner 1 the largest, corner 6 the smallest y
    // and corner 0 the largest; they land on the four edges of the plot rectangle.
    CProjector camera;
    camera.SetView(30, 20, 5744.5625f);
    camera.Project(100, -100, 1500);
    EXPECT_EQ(m_plot.m_fXMin, camera.m_fProjX);
    camera.Project(-100, 100, 1500);
    EXPECT_EQ(m_plot.m_fXMax, camera.m_fProjX);
    camera.Project(100, 100, 1000);
    EXPECT_EQ(m_plot.m_fYMin, camera.m_fProjY);
    camera.Project(-100, -100, 1500);
    EXPECT_EQ(m_plot.m_fYMax, camera.m_fProjY);
    EXPECT_LT(m_plot.m_fYScale, 0);
    // The plot rectangle is (30, 37, 744, 544).
    EXPECT_EQ(Corner(3).x, 30);
    EXPECT_EQ(Corner(1).x, 744);
    EXPECT_EQ(Corner(6).y, 544);
    EXPECT_EQ(Corner(0).y, 37);
}

TEST_F(Plot3DTest, EyeBelowOrAboveTheBoxDecidesTopOrFloor) {
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    m_plot.m_fElevation = -30;
    Layout(dc, kTower);
    EXPECT_NEAR(m_plot.m_pProjector->m_fEyeZ, -2872.28, 0.005);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 1, 0, 0, 1}));

    m_plot.m_fElevation = 20;
    Layout(dc, Box{{-100, -100, 5000}, {100, 100, 5100}});
    EXPECT_EQ(m_plot.m_pProjector->m_fDistance, 3000.0f);
    EXPECT_NEAR(m_plot.m_pProjector->m_fEyeZ, 1026.06, 0.005);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 1, 0, 0, 1}));
}

// Looking along the x axis the eye is at (D, 0, 0): exactly on ymin and zmax of this box, so
// neither face of those two pairs is seen.
TEST_F(Plot3DTest, EyeOnABoundShowsNeitherFace) {
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    m_plot.m_fAzimuth = 0;
    m_plot.m_fElevation = 0;
    Layout(dc, Box{{-100, 0, -50}, {100, 100, 0}});
    EXPECT_EQ(m_plot.m_pProjector->m_fEyeY, 0.0f);
    EXPECT_EQ(m_plot.m_pProjector->m_fEyeZ, 0.0f);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 0, 1, 0, 0, 0}));
}

TEST_F(Plot3DTest, ScreenPageAndPlotRectangle) {
    struct Case {
        int cx, cy;
        float fZoom;
        CSize total;
        RECT plot;
    };
    // 96 dpi: 3.7795277 pixels per mm; margins 30 left, 37 top, 56 right and bottom. A window
    // under 120 x 80 mm (453 x 302) is enlarged before the zoom factor applies.
    const Case cases[] = {
        {800, 600, 1.0f, {800, 600}, {30, 37, 744, 544}},
        {800, 600, 2.0f, {1600, 1200}, {30, 37, 1544, 1144}},
        {400, 250, 1.0f, {453, 302}, {30, 37, 397, 246}},
        {400, 250, 2.0f, {906, 604}, {30, 37, 850, 548}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cx) + "x" + std::to_string(c.cy) + " zoom " +
                     std::to_string(c.fZoom));
        CRecordingDC dc = CRecordingDC::Screen(96, c.cx, c.cy, DrawToolNames(m_tools));
        m_plot.m_fZoom = c.fZoom;
        Layout(dc, kTower);
        EXPECT_EQ(m_plot.m_fPixPerMMX, 3.7795277f);
        EXPECT_EQ(m_plot.m_sizeTotal.cx, c.total.cx);
        EXPECT_EQ(m_plot.m_sizeTotal.cy, c.total.cy);
        ExpectRect(m_plot.m_rcPlot, c.plot.left, c.plot.top, c.plot.right, c.plot.bottom);
    }
}

TEST_F(Plot3DTest, PrinterPageAndPlotRectangle) {
    // 600 dpi: margins of 25 mm are 590 dots; the plot is 0.618 times as tall as it is wide.
    // The zoom factor plays no part on paper.
    m_plot.m_fZoom = 2.0f;
    CRecordingDC page = CRecordingDC::Printer(600, 4800, 6600, DrawToolNames(m_tools));
    Layout(page, kTower);
    EXPECT_EQ(m_plot.m_sizeTotal.cx, 4800);
    EXPECT_EQ(m_plot.m_sizeTotal.cy, 6600);
    ExpectRect(m_plot.m_rcPlot, 590, 590, 4210, 2827);

    // A page under 160 x 100 mm (3779 x 2362 dots) is enlarged first.
    CRecordingDC small = CRecordingDC::Printer(600, 2000, 1000, DrawToolNames(m_tools));
    Layout(small, kTower);
    EXPECT_EQ(m_plot.m_sizeTotal.cx, 3779);
    EXPECT_EQ(m_plot.m_sizeTotal.cy, 2362);
    ExpectRect(m_plot.m_rcPlot, 590, 590, 3189, 2196);
}

TEST_F(Plot3DTest, ExtentLabels) {
    struct Case {
        float fExtent;
        const char* pszText;
    };
    // Tens of metres: miles only above one mile.
    const Case cases[] = {
        {1000, "6.21 mi"}, {100, "3281 ft"}, {161, "1.00 mi"}, {160.9344f, "5280 ft"}, {0, "0 ft"}};
    for (const Case& c : cases) {
        CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
        Layout(dc, kTower);
        dc.m_log.clear();
        m_plot.DrawLabels3D(&dc, 0, 0, 1000, c.fExtent, 50, 1500.4f);
        const std::vector<std::string> text = dc.Lines("TextOut");
        ASSERT_EQ(text.size(), 7u);
        EXPECT_NE(text[2].find(std::string("\"") + c.pszText + "\""), std::string::npos) << text[2];
        EXPECT_NE(text[4].find("\"1640 ft\""), std::string::npos) << text[4];
        EXPECT_NE(text[6].find("\"500 ft\""), std::string::npos) << text[6];
    }
}

// A small loop inside its box, for the golden drawing and the order of the calls.
void SmallLoop(std::vector<float>& x, std::vector<float>& y, std::vector<float>& z) {
    x = {0, 20, 45, 60, 40, 10};
    y = {0, 30, 35, 10, -15, -10};
    z = {1200, 1250, 1320, 1300, 1260, 1210};
}
constexpr Box kLoopBox = {{-10, -20, 1190}, {70, 40, 1330}};

TEST_F(Plot3DTest, DrawingOrderAndPens) {
    std::vector<float> x, y, z;
    SmallLoop(x, y, z);
    SetTrack(x, y, z);
    SetBox(kLoopBox);
    // The scene draws with the palette it is handed, not with the one that was made first.
    const CDrawTools handed;
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(handed));
    m_plot.Draw3D(&dc, handed);

    // Everything but the lines and texts, in order; each run of lines is summarised by its
    // number of moves and lines.
    std::vector<std::string> steps;
    int nMoves = 0, nLines = 0;
    auto flush = [&] {
        if (nMoves + nLines)
            steps.push_back(std::to_string(nMoves) + " moves " + std::to_string(nLines) + " lines");
        nMoves = nLines = 0;
    };
    for (const std::string& line : dc.m_log) {
        if (line.rfind("MoveTo", 0) == 0) {
            ++nMoves;
        } else if (line.rfind("LineTo", 0) == 0) {
            ++nLines;
        } else {
            flush();
            steps.push_back(line.rfind("FillRgn", 0) == 0 ? line.substr(0, 22)
                                                          : line.substr(0, line.find(" \"")));
        }
    }
    flush();
    const std::vector<std::string> expected = {
        // layout
        "SelectPen 8", "SetBkMode 1", "SelectPen none",
        // hidden faces (north, west and floor) and the floor fill
        "SelectPen 12", "SetBkMode 1", "SetROP2 13", "SelectPen 6", "3 moves 12 lines",
        "FillRgn brush 7 mode 1",
        // three shadows, then the track
        "SelectPen 12", "3 moves 15 lines", "SelectPen 1", "1 moves 5 lines",
        // visible faces, labels, the pen of the caller
        "SelectPen 8", "3 moves 12 lines", "TextOut", "TextOut", "TextOut", "TextOut", "TextOut",
        "TextOut", "TextOut", "SelectPen none"};
    std::vector<std::string> got = steps;
    for (std::string& s : got)
        if (s.rfind("TextOut", 0) == 0)
            s = "TextOut";
    EXPECT_EQ(got, expected);
}

TEST_F(Plot3DTest, GoldenDrawing) {
    std::vector<float> x, y, z;
    SmallLoop(x, y, z);
    SetTrack(x, y, z);
    SetBox(kLoopBox);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    m_plot.Draw3D(&dc, m_tools);

    const std::string path = VORLAN_TEST_DATA "/view3d/scene-800x600.log";
    if (std::getenv("VORLAN_REFRESH_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << dc.Text();
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(dc.Text(), golden.str());
}

TEST_F(Plot3DTest, SurfaceKeepsModesAndGetsItsPenBack) {
    std::vector<float> x, y, z;
    SmallLoop(x, y, z);
    SetTrack(x, y, z);
    SetBox(kLoopBox);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    CPen* pCallerPen = m_tools.m_pPen[3];
    dc.SelectObject(pCallerPen);
    dc.SetBkMode(OPAQUE);
    dc.SetROP2(6);
    m_plot.Draw3D(&dc, m_tools);
    EXPECT_EQ(dc.GetCurrentPen(), pCallerPen);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
}

TEST_F(Plot3DTest, TrackOfFewerThanTwoPointsDrawsNoLine) {
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    SetTrack({10}, {10}, {1200});
    SetBox(kLoopBox);
    m_plot.Draw3D(&dc, m_tools);
    // Only the six face outlines: one move and four lines each, plus one move per polyline.
    EXPECT_EQ(dc.Lines("LineTo").size(), 24u);
    EXPECT_EQ(dc.Lines("MoveTo").size(), 6u + 4u);

    CRecordingDC empty = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    SetTrack({}, {}, {});
    m_plot.Draw3D(&empty, m_tools);
    EXPECT_EQ(empty.Lines("LineTo").size(), 24u);
    EXPECT_EQ(empty.Lines("MoveTo").size(), 6u);
}

// Boxes in which the projected corners share one x or one y: the collapsed direction is centred
// in the plot rectangle (30, 37, 744, 544) and the other one still fills it.
TEST_F(Plot3DTest, CollapsedBoxIsCentred) {
    struct Case {
        const char* pszName;
        float fAzimuth, fElevation;
        Box box;
        bool bXCollapsed, bYCollapsed;
    };
    const Case cases[] = {
        {"one point", 30, 20, {{0, 0, 500}, {0, 0, 500}}, true, true},
        {"one horizontal position", 30, 20, {{0, 0, 1000}, {0, 0, 1500}}, true, false},
        {"no east extent seen from the south", 0, 20, {{-100, 0, 0}, {100, 0, 100}}, true, false},
        {"flat track seen level", 30, 0, {{-100, -100, 0}, {100, 100, 0}}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        m_plot.m_fAzimuth = c.fAzimuth;
        m_plot.m_fElevation = c.fElevation;
        SetTrack({c.box.min[0], c.box.max[0]}, {c.box.min[1], c.box.max[1]},
                 {c.box.min[2], c.box.max[2]});
        SetBox(c.box);
        CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
        m_plot.Draw3D(&dc, m_tools);
        ExpectFiniteMapping(m_plot);
        for (int k = 0; k < 8; ++k) {
            if (c.bXCollapsed)
                EXPECT_EQ(Corner(k).x, 387) << k;
            else
                EXPECT_TRUE(Corner(k).x >= 30 && Corner(k).x <= 744) << k;
            if (c.bYCollapsed)
                EXPECT_EQ(Corner(k).y, 290) << k;
            else
                EXPECT_TRUE(Corner(k).y >= 37 && Corner(k).y <= 544) << k;
        }
        for (const long long v : LoggedCoordinates(dc))
            EXPECT_TRUE(v >= 30 && v <= 744) << v;
        EXPECT_EQ(dc.Lines("TextOut").size(), 7u);
    }
}

// A one-point track gets a box 100 m wide, deep and high around it, so that its seven labels
// stand apart in the 3D view; the track itself is left as it was.
TEST_F(Plot3DTest, OnePointTrackKeepsItsLabelsApart) {
    auto track = std::make_unique<CTrack>();
    track->m_nCount = 1;
    track->m_fSouth[0] = 12.0f;
    track->m_fEast[0] = -7.0f;
    track->m_fSmooth[0] = 2168.6f;
    const float range[3][2] = {{12.0f, 12.0f}, {-7.0f, -7.0f}, {2168.6f, 2168.6f}};
    std::memcpy(track->m_fRange, range, sizeof range);
    m_plot.Fill3D(*track);
    EXPECT_EQ(m_plot.m_fBoxMin[0], 7.0f);
    EXPECT_EQ(m_plot.m_fBoxMax[0], 17.0f);
    EXPECT_EQ(m_plot.m_fBoxMin[1], -12.0f);
    EXPECT_EQ(m_plot.m_fBoxMax[1], -2.0f);
    EXPECT_EQ(m_plot.m_fBoxMin[2], static_cast<float>(2168.6f - 164.042));
    EXPECT_EQ(m_plot.m_fBoxMax[2], static_cast<float>(2168.6f + 164.042));
    EXPECT_EQ(track->m_fRange[0][1], 12.0f);

    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    m_plot.Draw3D(&dc, m_tools);
    const std::vector<std::string> labels = dc.Lines("TextOut");
    ASSERT_EQ(labels.size(), 7u);
    std::vector<std::pair<int, int>> points;
    for (const std::string& line : labels) {
        std::istringstream in(line.substr(std::strlen("TextOut ")));
        int x = 0, y = 0;
        in >> x >> y;
        points.emplace_back(x, y);
    }
    // Every two labels at least a line of text (13 pixels) apart.
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j)
            EXPECT_GE(std::abs(points[i].first - points[j].first) +
                          std::abs(points[i].second - points[j].second),
                      13)
                << labels[i] << " / " << labels[j];
}

// The extreme projected corners land exactly on the edges of the plot rectangle, whatever the
// track, window, page or angles; a direction in which the box has no extent is centred.
TEST_F(Plot3DTest, ExtremeCornersLandOnThePlotEdges) {
    std::vector<Box> boxes = {
        kTower, kLoopBox, {{-100, -100, 1000}, {100, 100, 1000}}, {{5, 5, 500}, {5, 5, 500}}};
    for (const char* pszSample : {"long-10000.txt", "ridge-ddd.txt", "ridge-dm.txt",
                                  "ridge-dm-blank.txt", "ridge-dms.txt"}) {
        auto track = std::make_unique<CTrack>();
        CMapSourceFormat format;
        ASSERT_TRUE(
            ImportTrackFile(std::string(VORLAN_SAMPLES "/") + pszSample, *track, format).Ok())
            << pszSample;
        m_plot.Fill3D(*track);
        boxes.push_back(Box{{m_plot.m_fBoxMin[0], m_plot.m_fBoxMin[1], m_plot.m_fBoxMin[2]},
                            {m_plot.m_fBoxMax[0], m_plot.m_fBoxMax[1], m_plot.m_fBoxMax[2]}});
    }
    const struct {
        float fAzimuth, fElevation;
    } views[] = {{30, 20}, {-45, 70}, {90, -90}, {7, 3}, {-85, 45}};
    CRecordingDC surfaces[] = {
        CRecordingDC::Screen(96, 800, 600), CRecordingDC::Screen(96, 1920, 1080),
        CRecordingDC::Screen(120, 641, 479), CRecordingDC::Printer(1200, 9583, 13699)};
    for (std::size_t b = 0; b < boxes.size(); ++b)
        for (const auto& view : views)
            for (CRecordingDC& dc : surfaces) {
                SCOPED_TRACE("box " + std::to_string(b) + " at " + std::to_string(view.fAzimuth) +
                             "/" + std::to_string(view.fElevation) + " on " +
                             std::to_string(dc.GetDeviceCaps(HORZRES)));
                m_plot.m_fAzimuth = view.fAzimuth;
                m_plot.m_fElevation = view.fElevation;
                Layout(dc, boxes[b]);
                const RECT& rc = m_plot.m_rcPlot;
                int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
                for (int k = 0; k < 8; ++k) {
                    left = std::min(left, Corner(k).x);
                    right = std::max(right, Corner(k).x);
                    top = std::min(top, Corner(k).y);
                    bottom = std::max(bottom, Corner(k).y);
                }
                if (m_plot.m_fXMin == m_plot.m_fXMax) {
                    EXPECT_EQ(left, (rc.left + rc.right) / 2);
                    EXPECT_EQ(right, left);
                } else {
                    EXPECT_EQ(left, rc.left);
                    EXPECT_EQ(right, rc.right);
                }
                if (m_plot.m_fYMin == m_plot.m_fYMax) {
                    EXPECT_EQ(top, (rc.top + rc.bottom) / 2);
                    EXPECT_EQ(bottom, top);
                } else {
                    EXPECT_EQ(top, rc.top);
                    EXPECT_EQ(bottom, rc.bottom);
                }
            }
}

TEST_F(Plot3DTest, BoxThatIsNotANumberOrOverflowsStaysOnTheSurface) {
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    const float kInf = std::numeric_limits<float>::infinity();
    const Box boxes[] = {
        {{kNaN, kNaN, kNaN}, {kNaN, kNaN, kNaN}},
        {{-FLT_MAX, -FLT_MAX, -FLT_MAX}, {FLT_MAX, FLT_MAX, FLT_MAX}},
        {{0, 0, -kInf}, {0, 0, kInf}},
        {{-1e-40f, 0, 0}, {1e-40f, 1e-40f, 1e-40f}},
    };
    for (const Box& box : boxes) {
        SetTrack({box.min[0], box.max[0]}, {box.min[1], box.max[1]}, {box.min[2], box.max[2]});
        SetBox(box);
        CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
        m_plot.Draw3D(&dc, m_tools);
        ExpectFiniteMapping(m_plot);
        ExpectCoordinatesWithin(dc, kCoordLimit);
    }
}

// A track point on or behind the camera plane (the track leaves its box) is projected as the
// camera does it; whatever it gives is clamped before it reaches the surface.
TEST_F(Plot3DTest, PointsAtOrBehindTheCameraAreClamped) {
    m_plot.m_fAzimuth = 0;
    m_plot.m_fElevation = 0;
    // Box diagonal 300: the camera stands at (3000, 0, 0), focal factor 1500, u = y, v = z.
    SetTrack({0, 3000, 3000.5f, 1e30f}, {0, 1e6f, 50, 1e30f}, {0, 1e6f, 20, 0});
    SetBox(Box{{-100, -100, -100}, {100, 100, 0}});
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    m_plot.Draw3D(&dc, m_tools);
    ExpectCoordinatesWithin(dc, kCoordLimit);

    std::vector<std::string> track;
    for (auto it = std::find(dc.m_log.begin(), dc.m_log.end(), "SelectPen 1");
         it != dc.m_log.end() && *it != "SelectPen 8"; ++it)
        track.push_back(*it);
    ASSERT_EQ(track.size(), 5u);
    const auto logical = [&](double px, double py) {
        return std::to_string(static_cast<int>(px * m_plot.m_fXScale + m_plot.m_fXOffset)) + " " +
               std::to_string(static_cast<int>(py * m_plot.m_fYScale + m_plot.m_fYOffset));
    };
    EXPECT_EQ(track[1], "MoveTo " + logical(0, 0));
    // On the camera plane: divided by 1, far off the page, clamped.
    EXPECT_EQ(track[2],
              "LineTo " + std::to_string(kCoordLimit) + " " + std::to_string(-kCoordLimit));
    // Half a unit behind the camera: also divided by 1.
    EXPECT_EQ(track[3], "LineTo " + logical(50.0 * 1500, 20.0 * 1500));
    // Far behind the camera, to the east: mirrored to the west of the centre.
    EXPECT_LT(std::stoi(track[4].substr(7)), std::stoi(track[1].substr(7)));
}

TEST_F(Plot3DTest, HugeZoomStaysOnTheSurface) {
    m_plot.m_fZoom = 1e30f;
    SetBox(kTower);
    CRecordingDC dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    m_plot.Draw3D(&dc, m_tools);
    EXPECT_EQ(m_plot.m_sizeTotal.cx, kCoordLimit);
    ExpectCoordinatesWithin(dc, kCoordLimit);
}
} // namespace
