// The ground in the 3D scene and True Proportions: the scene without a ground source is the
// designed one, the ground's grid follows the window and the box's height covers it, cells are
// tinted by height and lit from the north-west, the track behind a ridge takes the lighter pen,
// and True Proportions gives the box's three axes one scale.
#include "CDrawTools.h"
#include "CGroundGrid.h"
#include "CGroundHeights.h"
#include "CPlot.h"
#include "CProjector.h"
#include "CRecordingDC.h"
#include "CSvgDC.h"
#include "DrawToolNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// An analytic ground, which remembers the grid it was last asked for.
class FakeGround : public CGroundHeights {
public:
    using Surface = std::function<float(double south, double east)>;
    explicit FakeGround(Surface f) : m_f(std::move(f)) {}
    void GridFeet(float fSouthMin, float fSouthMax, float fEastMin, float fEastMax, int nRows,
                  int nCols, float* pFeet) override {
        m_nRows = nRows;
        m_nCols = nCols;
        m_box = {fSouthMin, fSouthMax, fEastMin, fEastMax};
        for (int r = 0; r < nRows; ++r)
            for (int c = 0; c < nCols; ++c)
                pFeet[r * nCols + c] =
                    m_f(fSouthMin + (static_cast<double>(fSouthMax) - fSouthMin) * r / (nRows - 1),
                        fEastMin + (static_cast<double>(fEastMax) - fEastMin) * c / (nCols - 1));
    }
    int m_nRows = 0, m_nCols = 0;
    std::vector<float> m_box;

private:
    Surface m_f;
};

// 2000 ft at the middle, falling 10 ft a plane unit (10 m) to the box's edges 100 units away:
// four faces turned north, west, south and east.
float Pyramid(double s, double e) {
    return static_cast<float>(2000 - 10 * std::max(std::fabs(s), std::fabs(e)));
}

class Ground3DTest : public testing::Test {
protected:
    void SetScene(std::vector<float> x, std::vector<float> y, std::vector<float> z,
                  const float (&min)[3], const float (&max)[3]) {
        m_x = std::move(x);
        m_y = std::move(y);
        m_z = std::move(z);
        m_plot.m_pX[0] = m_x.data();
        m_plot.m_pY[0] = m_y.data();
        m_plot.m_pZ[0] = m_z.data();
        m_plot.m_nPoints[0] = static_cast<int>(m_x.size());
        std::copy(min, min + 3, m_plot.m_fBoxMin);
        std::copy(max, max + 3, m_plot.m_fBoxMax);
    }
    void SetTowerScene() {
        SetScene({-80, 0, 60, 90}, {-90, 20, 50, 80}, {1000, 1200, 1300, 1500}, {-100, -100, 1000},
                 {100, 100, 1500});
    }
    std::string Svg() {
        CSvgDC svg = CSvgDC::Screen(96, 800, 600);
        m_plot.Draw3D(&svg, m_tools);
        return svg.Document(m_plot.m_sizeTotal);
    }
    // A recording surface that names every ground brush "ground".
    CRecordingDC Surface(int cx, int cy) {
        CSurfaceNames names = DrawToolNames(m_tools);
        for (int t = 0; t < CGroundGrid::kTints; ++t)
            for (int l = 0; l < CGroundGrid::kLights; ++l)
                names.AddBrush(m_tools.m_pGroundBrush[t][l], "ground");
        return CRecordingDC::Screen(96, cx, cy, std::move(names));
    }

    CDrawTools m_tools;
    CPlot m_plot;
    std::vector<float> m_x, m_y, m_z;
};

// The number of lines drawn with each pen.
std::map<std::string, int> LinesByPen(const CRecordingDC& dc) {
    std::map<std::string, int> lines;
    std::string pen;
    for (const std::string& line : dc.m_log)
        if (line.rfind("SelectPen ", 0) == 0)
            pen = line.substr(10);
        else if (line.rfind("LineTo", 0) == 0)
            ++lines[pen];
    return lines;
}

// A filled polygon of an SVG document: its corners, its fill and where it stands in the document.
struct SvgPolygon {
    std::vector<POINT> pts;
    std::string fill;
    std::size_t at;
};

std::vector<SvgPolygon> Polygons(const std::string& svg) {
    const std::string start = "<polygon points=\"";
    std::vector<SvgPolygon> polygons;
    for (std::size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
        const std::size_t from = at + start.size();
        std::istringstream points(svg.substr(from, svg.find('"', from) - from));
        SvgPolygon polygon{{}, {}, at};
        POINT pt;
        char comma;
        while (points >> pt.x >> comma >> pt.y)
            polygon.pts.push_back(pt);
        polygon.fill = svg.substr(svg.find("fill=\"", from) + 6, 7);
        polygons.push_back(std::move(polygon));
    }
    return polygons;
}

// Whether the polygon covers (x, y), by the number of its edges that a ray to the right crosses.
bool Covers(const std::vector<POINT>& pts, double x, double y) {
    bool bInside = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++)
        if ((pts[i].y > y) != (pts[j].y > y) &&
            x < pts[j].x + (pts[i].x - pts[j].x) * (y - pts[j].y) / (pts[i].y - pts[j].y))
            bInside = !bInside;
    return bInside;
}

std::string SvgColour(COLORREF c) {
    char sz[8];
    std::snprintf(sz, sizeof sz, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return sz;
}

// The first line from nFrom on that is the given call with the given first words.
std::size_t Find(const CRecordingDC& dc, const std::string& call, std::size_t nFrom = 0) {
    for (std::size_t i = nFrom; i < dc.m_log.size(); ++i)
        if (dc.m_log[i] == call || dc.m_log[i].rfind(call + " ", 0) == 0)
            return i;
    return dc.m_log.size();
}
} // namespace

TEST_F(Ground3DTest, WithoutAGroundSourceTheSceneIsTheDesignedOne) {
    SetTowerScene();
    const std::string designed = Svg();
    FakeGround ground(Pyramid);
    m_plot.m_pGround = &ground;
    const std::string withGround = Svg();
    EXPECT_NE(designed, withGround);
    m_plot.m_pGround = nullptr;
    EXPECT_EQ(designed, Svg());
}

// The plot frame of 800 x 600 is 714 pixels wide: 119 cells a side; at 1920 x 1080 it is 1834,
// and the grid stops at 200. The cells of a band from 20 to 40 east have no ground and are left
// out (13 columns of 119, 20 of 200). The ground rises to the south-east, 1 m in 2, from -2030 ft
// to 4530 ft, its top cells as light as cells get; the track from 1000 to 1500 ft.
TEST_F(Ground3DTest, GridFollowsTheWindowAndTheBoxCoversTheGround) {
    SetTowerScene();
    FakeGround ground([](double s, double e) {
        return e > 20 && e < 40 ? kNaN : static_cast<float>(1250 + 16.4 * (s + e));
    });
    m_plot.m_pGround = &ground;
    const struct {
        int cx, cy, nCells, nDrawnColumns;
    } windows[] = {{800, 600, 119, 106}, {1920, 1080, 200, 180}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.cx);
        CRecordingDC dc = Surface(w.cx, w.cy);
        m_plot.Draw3D(&dc, m_tools);
        EXPECT_EQ(ground.m_nRows, w.nCells + 1);
        EXPECT_EQ(ground.m_nCols, w.nCells + 1);
        EXPECT_EQ(ground.m_box, (std::vector<float>{-100, 100, -100, 100}));
        const std::vector<std::string> fills = dc.Lines("FillRgn");
        EXPECT_EQ(std::count_if(
                      fills.begin(), fills.end(),
                      [](const std::string& f) { return f.rfind("FillRgn brush ground", 0) == 0; }),
                  w.nCells * w.nDrawnColumns);

        EXPECT_EQ(m_plot.m_fSceneZMin, -2030.0f);
        EXPECT_EQ(m_plot.m_fSceneZMax, 4530.0f);
        EXPECT_NE(dc.Lines("TextOut").back().find("\"6560 ft\""), std::string::npos);

        // Floor, shadows, ground, track, visible faces.
        const std::size_t nFloor = Find(dc, "FillRgn brush 7");
        const std::size_t nGround = Find(dc, "FillRgn brush ground", nFloor);
        EXPECT_LT(Find(dc, "SelectPen 12", nFloor), nGround);
        EXPECT_EQ(Find(dc, "SelectPen 12", nGround), dc.m_log.size());
        const std::size_t nTrack =
            std::min(Find(dc, "SelectPen 1", nGround), Find(dc, "SelectPen hidden", nGround));
        EXPECT_LT(nTrack, Find(dc, "SelectPen 8", nTrack));
        EXPECT_LT(Find(dc, "SelectPen 8", nTrack), dc.m_log.size());
    }
}

// Flat ground 60 ft over a floor at 0 ft, with no ground from 20 to 40 east, seen from the
// south-east 10 degrees up: walls stand under the south and east edges, in polygons of at most
// five cells, and none under the north and west edges. The south wall leaves out the band's 13
// cells of 119: 71 cells west of it (15 polygons), 35 east of it (7); the east wall has all 119
// (24). Half-way down the south wall at 0 east, where the eye looked under the ground's edge at
// the floor, the wall shows, and under the band the floor still shows; the track is drawn over
// the walls.
TEST_F(Ground3DTest, WallsUnderTheNearEdgesCoverTheFloor) {
    SetScene({-80, 0, 60, 90}, {-90, 20, 50, 80}, {10, 20, 30, 40}, {-100, -100, 0},
             {100, 100, 100});
    FakeGround ground([](double, double e) { return e > 20 && e < 40 ? kNaN : 60.0f; });
    m_plot.m_pGround = &ground;
    m_plot.m_fElevation = 10;
    const std::string svg = Svg();
    const std::vector<SvgPolygon> polygons = Polygons(svg);

    std::string walls[CGroundGrid::kWalls];
    for (int w = 0; w < CGroundGrid::kWalls; ++w)
        walls[w] = SvgColour(CGroundGrid::WallColour(w));
    const auto isWall = [&](const SvgPolygon& p) {
        return std::find(std::begin(walls), std::end(walls), p.fill) != std::end(walls);
    };
    std::map<std::string, int> fills;
    for (const SvgPolygon& p : polygons)
        ++fills[p.fill];
    EXPECT_EQ(fills[walls[CGroundGrid::kSouthWall]], 22);
    EXPECT_EQ(fills[walls[CGroundGrid::kEastWall]], 24);
    EXPECT_EQ(fills[walls[CGroundGrid::kNorthWall]], 0);
    EXPECT_EQ(fills[walls[CGroundGrid::kWestWall]], 0);

    const auto topmost = [&](float east, bool bWalls) {
        CProjector& proj = *m_plot.m_pProjector;
        proj.Project(100, east, 30 * m_plot.m_fHeightScale);
        const double x = proj.m_fProjX * m_plot.m_fXScale + m_plot.m_fXOffset;
        const double y = proj.m_fProjY * m_plot.m_fYScale + m_plot.m_fYOffset;
        std::string fill;
        for (const SvgPolygon& p : polygons)
            if ((bWalls || !isWall(p)) && Covers(p.pts, x, y))
                fill = p.fill;
        return fill;
    };
    const std::string floorColour = SvgColour(m_tools.m_pBrush[7]->m_crColor);
    EXPECT_EQ(topmost(0, false), floorColour);
    EXPECT_EQ(topmost(0, true), walls[CGroundGrid::kSouthWall]);
    EXPECT_EQ(topmost(30, true), floorColour);

    std::size_t nLastWall = 0;
    for (const SvgPolygon& p : polygons)
        if (isWall(p))
            nLastWall = p.at;
    const auto firstStroke = [&](const CPen& pen) {
        return svg.find("stroke=\"" + SvgColour(pen.m_crColor));
    };
    const std::size_t nTrack =
        std::min(firstStroke(*m_tools.m_pPen[1]), firstStroke(m_tools.m_hiddenTrackPen));
    EXPECT_LT(nLastWall, nTrack);
    EXPECT_NE(nTrack, std::string::npos);
}

// Ten cells a side over the pyramid: the four faces' middle cells at its foot, and a top cell.
// Flat ground gets light 5; the faces turned north and west more, south and east less.
TEST(GroundGrid, TintByHeightAndLightFromTheNorthWest) {
    FakeGround ground(Pyramid);
    CGroundGrid grid;
    grid.Fetch(ground, -100, 100, -100, 100, 10);
    const auto shade = [&](int row, int col) {
        const int s = grid.Shade(row, col);
        return std::pair(s / CGroundGrid::kLights, s % CGroundGrid::kLights);
    };
    EXPECT_EQ(shade(0, 4), std::pair(3, 6)); // north face: 1100 ft of 1000 to 2000
    EXPECT_EQ(shade(4, 0), std::pair(3, 6)); // west
    EXPECT_EQ(shade(9, 5), std::pair(3, 4)); // south
    EXPECT_EQ(shade(5, 9), std::pair(3, 4)); // east
    EXPECT_EQ(shade(4, 4).first, 27);        // 1850 ft
}

// Cells 50 units a side; the eye far south and 10 east of the middle: rows from the north, and
// columns whose middles (-75, -25, 25, 75) lie farthest from 10 first.
TEST(GroundGrid, CellsFarthestFromTheEyeFirst) {
    FakeGround ground(Pyramid);
    CGroundGrid grid;
    grid.Fetch(ground, -100, 100, -100, 100, 4);
    grid.OrderFrom(5000, 10);
    EXPECT_EQ(grid.RowOrder(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(grid.ColOrder(), (std::vector<int>{0, 3, 1, 2}));
}

// A ridge of 2000 ft across the box at x = 0, the track 100 ft high: north of the ridge the eye
// (south-east, 20 degrees up) looks at it through the ridge; south of it, and under the ground
// there, it is seen.
TEST_F(Ground3DTest, TrackBehindARidgeTakesTheLighterPen) {
    FakeGround ground([](double s, double) { return std::fabs(s) < 10 ? 2000.0f : 0.0f; });
    m_plot.m_pGround = &ground;
    const struct {
        float x, z;
        bool bHidden;
    } tracks[] = {{-300, 100, true}, {300, 100, false}, {300, -50, false}};
    for (const auto& t : tracks) {
        SCOPED_TRACE(t.x);
        SetScene(std::vector<float>(6, t.x), {-400, -300, -200, -100, 0, 100},
                 std::vector<float>(6, t.z), {-500, -500, -100}, {500, 500, 500});
        CRecordingDC dc = Surface(800, 600);
        m_plot.Draw3D(&dc, m_tools);
        const std::map<std::string, int> lines = LinesByPen(dc);
        EXPECT_EQ(lines.count("hidden") ? lines.at("hidden") : 0, t.bHidden ? 5 : 0);
        EXPECT_EQ(lines.count("1") ? lines.at("1") : 0, t.bHidden ? 0 : 5);
    }
}

// A box 10 km square and 100 m high, seen level: in true proportions it stays flat, and five
// times exaggerated it is five times as tall; both ways one scale, the box centred in the frame
// (30, 37, 744, 544).
TEST_F(Ground3DTest, TrueProportionsGiveTheAxesOneScale) {
    m_plot.m_fElevation = 0;
    SetScene({0, 1000}, {0, 1000}, {0, 328.084f}, {0, 0, 0}, {1000, 1000, 328.084f});
    double ratio[2];
    for (const int nExaggeration : {1, 5}) {
        m_plot.m_nExaggeration = nExaggeration;
        CRecordingDC dc = Surface(800, 600);
        m_plot.Draw3D(&dc, m_tools);
        EXPECT_EQ(m_plot.m_fXScale, -m_plot.m_fYScale);
        ratio[nExaggeration == 5] = (static_cast<double>(m_plot.m_fYMax) - m_plot.m_fYMin) /
                                    (static_cast<double>(m_plot.m_fXMax) - m_plot.m_fXMin);
        int left = INT32_MAX, right = INT32_MIN, top = INT32_MAX, bottom = INT32_MIN;
        for (const auto& face : m_plot.m_ptFace)
            for (const POINT& pt : face) {
                left = std::min(left, pt.x), right = std::max(right, pt.x);
                top = std::min(top, pt.y), bottom = std::max(bottom, pt.y);
            }
        EXPECT_NEAR(left, 30, 1);
        EXPECT_NEAR(right, 744, 1);
        EXPECT_NEAR((top + bottom) / 2.0, (37 + 544) / 2.0, 1);
    }
    EXPECT_LT(ratio[0], 0.01);
    EXPECT_NEAR(ratio[1] / ratio[0], 5, 0.01);
}
