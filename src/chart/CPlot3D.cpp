// The 3D scene of CPlot: the track of slot 0 inside its bounding box, seen in perspective, with
// its shadows on the floor and on two walls and the compass and extent labels.
#include "CPlot.h"

#include "CDC.h"
#include "CDrawTools.h"
#include "CProjector.h"
#include "ChartMath.h"
#include "ClippedPolyline.h"
#include "TrackGeometry.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// Palette slots used by the scene.
constexpr int kPenTrack = 1;
constexpr int kPenHiddenFace = 6;
constexpr int kPenVisibleFace = 8;
constexpr int kPenShadow = 12;
constexpr int kBrushFloor = 7;

// On screen the plot ends 15 mm before the page's right edge (12 mm for the elevation chart).
constexpr int kRightMarginMM = 15;
// The camera stands this many box diagonals from the origin of the data.
constexpr double kCameraDiagonals = 10;
// The most float steps LandOnEdges takes. Three are the most that real tracks need; on a page
// beyond float precision (a huge zoom) the edges cannot be met exactly, and it stops here.
constexpr int kMaxEdgeSteps = 16;

// The most corners on the ground's edge that one polygon of a wall takes: a region's most,
// less the two on the floor.
constexpr int kMaxWallCorners = CRgn::kMaxPoints - 2;

// Label units: the box is in tens of metres horizontally and in feet vertically.
constexpr double kTensOfMetresPerKm = 100.0;
constexpr double kMetresPerTenMetres = 10.0;

// True Proportions gives a foot of height the scale of this many plane units (0.03048).
constexpr double kPlaneUnitsPerFoot = kMetresPerFoot * kPlaneUnitsPerKm / 1000.0;
// A line of sight hidden by less ground than this share of the box's height still counts as
// seen, so that the track on the ground is not drawn as hidden where the two differ a little.
constexpr double kHiddenTolerance = 0.02;

struct Point3 {
    float x;
    float y;
    float z;
};

// The eight box corners in projection order: the top face (z = zmax) counter-clockwise from
// the north-west corner, then the floor (z = zmin) the same way. Each flag picks the maximum.
struct CornerPick {
    bool bXMax;
    bool bYMax;
    bool bZMax;
};
constexpr CornerPick kCorners[8] = {
    {false, false, true},  {false, true, true},  {true, true, true},  {true, false, true},
    {false, false, false}, {false, true, false}, {true, true, false}, {true, false, false},
};

// Corners of faces 2 to 5 (south, north, west, east); faces 0 and 1 are the corners themselves.
constexpr int kSideFaceCorners[4][4] = {{7, 3, 2, 6}, {4, 0, 1, 5}, {7, 3, 0, 4}, {6, 2, 1, 5}};

// The logical coordinate of a projected value: every corner, track point and label of the
// scene is mapped this way.
int ToLogical(float v, float fScale, float fOffset) {
    return TruncToInt(static_cast<double>(v) * fScale + fOffset);
}

// The offset that puts vMax on edgeMax at the given scale.
float OffsetFor(int edgeMax, float vMax, float fScale) {
    return static_cast<float>(edgeMax - static_cast<double>(vMax) * fScale);
}

// Storing scale and offset as floats can leave an end of the span just short of its edge, so
// that truncation puts it one unit off (743.99997 becomes 743 instead of 744). The offset, then
// the scale, is moved one float step at a time until both ends truncate onto their edges. A
// step changes the mapped values by the rounding error of the stored floats, so points inside
// the rectangle almost never change their coordinates.
void LandOnEdges(int edgeMin, int edgeMax, float vMin, float vMax, float& fScale, float& fOffset) {
    for (int i = 0; i < kMaxEdgeSteps; ++i) {
        const int nMax = ToLogical(vMax, fScale, fOffset);
        const int nMin = ToLogical(vMin, fScale, fOffset);
        if (nMax != edgeMax) {
            fOffset = std::nextafter(fOffset, nMax < edgeMax ? FLT_MAX : -FLT_MAX);
        } else if (nMin != edgeMin) {
            // With vMax held on its edge, a larger scale moves vMin down.
            const float fNext = std::nextafter(fScale, nMin < edgeMin ? -FLT_MAX : FLT_MAX);
            if (fNext == 0.0f)
                return;
            fScale = fNext;
            fOffset = OffsetFor(edgeMax, vMax, fScale);
        } else {
            return;
        }
    }
}

// Maps [vMin, vMax] onto the edges so that vMax lands on edgeMax and vMin on edgeMin. Fails,
// leaving scale and offset alone, when the span is empty or the mapping would not be finite.
bool FitAxis(int edgeMin, int edgeMax, float vMin, float vMax, float& fScale, float& fOffset) {
    const double span = static_cast<double>(vMax) - vMin;
    if (!(span > 0) || !std::isfinite(span))
        return false;
    const double scale = (static_cast<double>(edgeMax) - edgeMin) / span;
    if (!(std::fabs(scale) <= FLT_MAX) || static_cast<float>(scale) == 0.0f)
        return false;
    const float fFitScale = static_cast<float>(scale);
    const double offset = edgeMax - static_cast<double>(vMax) * fFitScale;
    if (!(std::fabs(offset) <= FLT_MAX))
        return false;
    fScale = fFitScale;
    fOffset = static_cast<float>(offset);
    LandOnEdges(edgeMin, edgeMax, vMin, vMax, fScale, fOffset);
    return true;
}

// For a span that cannot be fitted (all corners project to one line, or the box is not finite):
// puts the middle of the span in the middle of the edges, with the given scale magnitude.
void CentreAxis(int edgeMin, int edgeMax, float vMin, float vMax, float fMagnitude, float& fScale,
                float& fOffset) {
    const double centre = (static_cast<double>(edgeMin) + edgeMax) * 0.5;
    const float fSign = edgeMax < edgeMin ? -1.0f : 1.0f;
    double mid = (static_cast<double>(vMin) + vMax) * 0.5;
    if (!std::isfinite(mid))
        mid = 0;
    fScale = fSign * fMagnitude;
    double offset = centre - mid * fScale;
    if (!(std::fabs(offset) <= FLT_MAX)) {
        fScale = fSign;
        offset = centre - mid * fScale;
    }
    fOffset = static_cast<float>(offset);
}

// The extent of a horizontal box side, in tens of metres: miles above one mile, feet up to it;
// in metric units kilometres above one kilometre, metres up to it.
void FormatHorizontalExtent(char* pszText, std::size_t nSize, double d, Units units) {
    if (units == Units::metric) {
        if (d > kTensOfMetresPerKm)
            std::snprintf(pszText, nSize, "%.2f km", d / kTensOfMetresPerKm);
        else
            std::snprintf(pszText, nSize, "%.0f m", d * kMetresPerTenMetres);
    } else if (d > static_cast<double>(kBoxTensOfMetresPerMile)) {
        std::snprintf(pszText, nSize, "%.2f mi", d * static_cast<double>(kBoxMilesPerTenMetres));
    } else {
        std::snprintf(pszText, nSize, "%.0f ft", d * static_cast<double>(kBoxFeetPerTenMetres));
    }
}

// The extent of the box's height, given in feet.
void FormatVerticalExtent(char* pszText, std::size_t nSize, double feet, Units units) {
    std::snprintf(pszText, nSize, "%.0f %s", ElevationIn(units, feet), ElevationUnit(units));
}

// The logical point of the projector's last result under the plot's current mapping.
POINT ProjectedPoint(const CPlot& plot) {
    const CProjector& proj = *plot.m_pProjector;
    return POINT{ToLogical(proj.m_fProjX, plot.m_fXScale, plot.m_fXOffset),
                 ToLogical(proj.m_fProjY, plot.m_fYScale, plot.m_fYOffset)};
}

// z is a height in feet: True Proportions scales it before the projection.
POINT ProjectToLogical(const CPlot& plot, float x, float y, float z) {
    plot.m_pProjector->Project(x, y, z * plot.m_fHeightScale);
    return ProjectedPoint(plot);
}

// One projected polyline through the n points that pointAt(i) gives: a move to the first, a line
// to each of the others. Fewer than two points draw no line.
template <class PointAt>
void DrawProjectedPolyline(CDC* pDC, const CPlot& plot, int n, PointAt pointAt) {
    DrawClippedPolyline(pDC, n, [&](int i) {
        const Point3 p = pointAt(i);
        return ProjectToLogical(plot, p.x, p.y, p.z);
    });
}

// The eye of the camera in the scene's units.
CGroundGrid::Point EyeOf(const CProjector& proj) {
    const double d = proj.m_fDistance;
    return {d * proj.m_fCosAzCosEl, d * proj.m_fSinAzCosEl, d * proj.m_fSinEl};
}

// True when the quadrilateral lies wholly beyond one edge of box.
bool QuadOutside(const RECT& box, const POINT (&pt)[4]) {
    const auto all = [&](auto beyond) {
        return beyond(pt[0]) && beyond(pt[1]) && beyond(pt[2]) && beyond(pt[3]);
    };
    return all([&](POINT p) { return p.x < box.left; }) ||
           all([&](POINT p) { return p.x > box.right; }) ||
           all([&](POINT p) { return p.y < box.top; }) ||
           all([&](POINT p) { return p.y > box.bottom; });
}

void DrawClosedOutline(CDC* pDC, const POINT (&pt)[4]) {
    pDC->MoveTo(pt[0].x, pt[0].y);
    pDC->LineTo(pt[1].x, pt[1].y);
    pDC->LineTo(pt[2].x, pt[2].y);
    pDC->LineTo(pt[3].x, pt[3].y);
    pDC->LineTo(pt[0].x, pt[0].y);
}
} // namespace

void CPlot::Layout3D(CDC* pDC, const CDrawTools& tools, float xmin, float ymin, float zmin,
                     float xmax, float ymax, float zmax) {
    // The page and plot rectangle of the elevation chart, with a 15 mm right margin on screen.
    LayoutPage(pDC, kRightMarginMM);
    LayoutBox3D(pDC, tools, xmin, ymin, zmin, xmax, ymax, zmax);
}

void CPlot::LayoutBox3D(CDC* pDC, const CDrawTools& tools, float xmin, float ymin, float zmin,
                        float xmax, float ymax, float zmax) {
    CPen* pOldPen = pDC->SelectObject(tools.m_pPen[kPenVisibleFace]);
    m_fSceneZMin = zmin;
    m_fSceneZMax = zmax;
    m_fHeightScale =
        m_nExaggeration > 0 ? static_cast<float>(m_nExaggeration * kPlaneUnitsPerFoot) : 1.0f;
    zmin *= m_fHeightScale;
    zmax *= m_fHeightScale;

    const double dx = static_cast<double>(xmax) - xmin;
    const double dy = static_cast<double>(ymax) - ymin;
    const double dz = static_cast<double>(zmax) - zmin;
    const double diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
    m_pProjector->SetView(m_fAzimuth, m_fElevation,
                          static_cast<float>(diagonal * kCameraDiagonals));

    float px[8];
    float py[8];
    for (int k = 0; k < 8; ++k) {
        m_pProjector->Project(kCorners[k].bXMax ? xmax : xmin, kCorners[k].bYMax ? ymax : ymin,
                              kCorners[k].bZMax ? zmax : zmin);
        px[k] = m_pProjector->m_fProjX;
        py[k] = m_pProjector->m_fProjY;
    }

    // A face is seen when the eye lies strictly outside the box beyond its plane.
    const double eyeX = m_pProjector->m_fEyeX;
    const double eyeY = m_pProjector->m_fEyeY;
    const double eyeZ = m_pProjector->m_fEyeZ;
    m_bFaceVisible[0] = eyeZ - zmax > 0;
    m_bFaceVisible[1] = zmin - eyeZ > 0;
    m_bFaceVisible[2] = eyeX - xmax > 0;
    m_bFaceVisible[3] = xmin - eyeX > 0;
    m_bFaceVisible[4] = ymin - eyeY > 0;
    m_bFaceVisible[5] = eyeY - ymax > 0;

    m_fXMin = m_fXMax = px[0];
    m_fYMin = m_fYMax = py[0];
    for (int k = 0; k < 8; ++k) {
        if (m_fXMin > px[k])
            m_fXMin = px[k];
        if (m_fXMax < px[k])
            m_fXMax = px[k];
        if (m_fYMin > py[k])
            m_fYMin = py[k];
        if (m_fYMax < py[k])
            m_fYMax = py[k];
    }

    // Each direction is stretched on its own so that the projected box fills the plot
    // rectangle. A direction in which the box has no extent (a one-point track, a track
    // seen exactly edge-on) is centred instead, at the other direction's scale. True Proportions
    // keeps one scale for both.
    if (m_nExaggeration > 0) {
        FitProportions();
    } else {
        const bool bFitX =
            FitAxis(m_rcPlot.left, m_rcPlot.right, m_fXMin, m_fXMax, m_fXScale, m_fXOffset);
        const bool bFitY =
            FitAxis(m_rcPlot.bottom, m_rcPlot.top, m_fYMin, m_fYMax, m_fYScale, m_fYOffset);
        if (!bFitX)
            CentreAxis(m_rcPlot.left, m_rcPlot.right, m_fXMin, m_fXMax,
                       bFitY ? std::fabs(m_fYScale) : 1.0f, m_fXScale, m_fXOffset);
        if (!bFitY)
            CentreAxis(m_rcPlot.bottom, m_rcPlot.top, m_fYMin, m_fYMax,
                       bFitX ? std::fabs(m_fXScale) : 1.0f, m_fYScale, m_fYOffset);
    }

    for (int k = 0; k < 8; ++k)
        m_ptFace[k / 4][k % 4] =
            POINT{ToLogical(px[k], m_fXScale, m_fXOffset), ToLogical(py[k], m_fYScale, m_fYOffset)};
    for (int f = 2; f < 6; ++f)
        for (int i = 0; i < 4; ++i) {
            const int k = kSideFaceCorners[f - 2][i];
            m_ptFace[f][i] = m_ptFace[k / 4][k % 4];
        }
    for (int i = 0; i < 4; ++i)
        m_ptFloor[i] = m_ptFace[1][i];

    pDC->SetBkMode(TRANSPARENT);
    pDC->SelectObject(pOldPen);
}

// The scale of the direction that fits first, for both; a direction without extent takes the
// other's.
void CPlot::FitProportions() {
    double scale = FLT_MAX;
    const double spans[2][2] = {{static_cast<double>(m_rcPlot.right) - m_rcPlot.left,
                                 static_cast<double>(m_fXMax) - m_fXMin},
                                {static_cast<double>(m_rcPlot.bottom) - m_rcPlot.top,
                                 static_cast<double>(m_fYMax) - m_fYMin}};
    for (const auto& span : spans)
        if (span[1] > 0 && std::isfinite(span[1]))
            scale = std::min(scale, std::fabs(span[0]) / span[1]);
    const float fScale = scale < FLT_MAX && scale > 0 ? static_cast<float>(scale) : 1.0f;
    CentreAxis(m_rcPlot.left, m_rcPlot.right, m_fXMin, m_fXMax, fScale, m_fXScale, m_fXOffset);
    CentreAxis(m_rcPlot.bottom, m_rcPlot.top, m_fYMin, m_fYMax, fScale, m_fYScale, m_fYOffset);
}

void CPlot::DrawHiddenFaces(CDC* pDC, const CDrawTools& tools) {
    pDC->SelectObject(tools.m_pPen[kPenHiddenFace]);
    for (int f = 0; f < 6; ++f)
        if (!m_bFaceVisible[f])
            DrawClosedOutline(pDC, m_ptFace[f]);

    // The floor is filled whichever way it faces; the fill covers the dotted edges inside it.
    CRgn rgn;
    if (rgn.CreatePolygonRgn(m_ptFloor, 4, ALTERNATE)) {
        pDC->FillRgn(&rgn, tools.m_pBrush[kBrushFloor]);
        rgn.DeleteObject();
    }
}

void CPlot::DrawVisibleFaces(CDC* pDC, const CDrawTools& tools) {
    pDC->SelectObject(tools.m_pPen[kPenVisibleFace]);
    for (int f = 0; f < 6; ++f)
        if (m_bFaceVisible[f])
            DrawClosedOutline(pDC, m_ptFace[f]);
}

void CPlot::Draw3D(CDC* pDC, const CDrawTools& tools) {
    const float xmin = m_fBoxMin[0];
    const float ymin = m_fBoxMin[1];
    float zmin = m_fBoxMin[2];
    float zmax = m_fBoxMax[2];
    if (m_pGround) {
        // The ground's grid follows the plot frame, and the box's height follows the ground.
        LayoutPage(pDC, kRightMarginMM);
        FetchGround(zmin, zmax);
        LayoutBox3D(pDC, tools, xmin, ymin, zmin, m_fBoxMax[0], m_fBoxMax[1], zmax);
    } else {
        Layout3D(pDC, tools, xmin, ymin, zmin, m_fBoxMax[0], m_fBoxMax[1], zmax);
    }
    const bool bGround = m_pGround && m_ground.Any();

    CPen* pOldPen = pDC->SelectObject(tools.m_pPen[kPenShadow]);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetROP2(R2_COPYPEN);
    DrawHiddenFaces(pDC, tools);

    const float* x = m_pX[0];
    const float* y = m_pY[0];
    const float* z = m_pZ[0];
    const int n = (x && y && z) ? m_nPoints[0] : 0;

    // The shadows lie on the floor and on the west and north walls, whichever way the box is
    // turned; the track is drawn over them.
    pDC->SelectObject(tools.m_pPen[kPenShadow]);
    DrawProjectedPolyline(pDC, *this, n, [&](int i) { return Point3{x[i], y[i], zmin}; });
    DrawProjectedPolyline(pDC, *this, n, [&](int i) { return Point3{x[i], ymin, z[i]}; });
    DrawProjectedPolyline(pDC, *this, n, [&](int i) { return Point3{xmin, y[i], z[i]}; });
    // The ground and the walls under its edges cover them, and the track is drawn over both.
    if (bGround) {
        DrawGround(pDC, tools);
        DrawGroundWalls(pDC, tools, zmin);
        DrawTrackOverGround(pDC, tools, zmin, zmax);
    } else {
        pDC->SelectObject(tools.m_pPen[kPenTrack]);
        if (m_pColourSteps && n > 0) {
            DrawSteppedPolyline(
                pDC, n, [&](int i) { return ProjectToLogical(*this, x[i], y[i], z[i]); },
                m_pColourSteps, tools.m_pRampPen[m_colourBar.bDiverging ? 1 : 0]);
        } else {
            DrawProjectedPolyline(pDC, *this, n, [&](int i) { return Point3{x[i], y[i], z[i]}; });
        }
    }

    DrawVisibleFaces(pDC, tools);
    DrawLabels3D(pDC, xmin, ymin, zmin, m_fBoxMax[0], m_fBoxMax[1], zmax);
    if (m_pColourSteps)
        DrawColourBar(pDC, tools, m_rcPlot.left,
                      m_rcPlot.bottom + MillimetresToPixels(9, m_fPixPerMMY));
    pDC->SelectObject(pOldPen);
}

void CPlot::FetchGround(float& zmin, float& zmax) {
    const int nLonger = std::max(m_rcPlot.right - m_rcPlot.left, m_rcPlot.bottom - m_rcPlot.top);
    const int nCells = std::clamp(nLonger / kPixelsPerGroundCell, kMinGroundCells, kMaxGroundCells);
    m_ground.Fetch(*m_pGround, m_fBoxMin[0], m_fBoxMax[0], m_fBoxMin[1], m_fBoxMax[1], nCells);
    if (!m_ground.Any())
        return;
    zmin = std::min(zmin, m_ground.Lowest());
    zmax = std::max(zmax, m_ground.Highest());
}

void CPlot::DrawGround(CDC* pDC, const CDrawTools& tools) {
    const int n = m_ground.Cells();
    const int nSide = n + 1;
    m_groundCorners.resize(static_cast<std::size_t>(nSide) * nSide);
    for (int row = 0; row <= n; ++row) {
        const float x = static_cast<float>(m_ground.X(row));
        for (int col = 0; col <= n; ++col)
            m_groundCorners[static_cast<std::size_t>(row) * nSide + col] = ProjectToLogical(
                *this, x, static_cast<float>(m_ground.Y(col)), m_ground.Height(row, col));
    }
    const CGroundGrid::Point eye = EyeOf(*m_pProjector);
    m_ground.OrderFrom(eye.x, eye.y);
    const auto corner = [&](int row, int col) {
        return m_groundCorners[static_cast<std::size_t>(row) * nSide + col];
    };
    RECT clip;
    const bool bClip = pDC->GetClipBox(&clip);
    CRgn rgn;
    for (const int row : m_ground.RowOrder())
        for (const int col : m_ground.ColOrder()) {
            const std::uint16_t shade = m_ground.Shade(row, col);
            if (shade == CGroundGrid::kNoShade)
                continue;
            const POINT pt[4] = {corner(row, col), corner(row, col + 1), corner(row + 1, col + 1),
                                 corner(row + 1, col)};
            if ((bClip && QuadOutside(clip, pt)) || !rgn.CreatePolygonRgn(pt, 4, ALTERNATE))
                continue;
            const int nTint = shade / CGroundGrid::kLights;
            pDC->FillRgn(&rgn, tools.m_pGroundBrush[nTint][shade % CGroundGrid::kLights]);
        }
    rgn.DeleteObject();
}

// A wall's plane parts the eye from every cell, so no cell stands in front of a wall that faces
// the eye: drawn after the cells, the walls cover only what lies behind them.
void CPlot::DrawGroundWalls(CDC* pDC, const CDrawTools& tools, float zmin) {
    const CGroundGrid::Point eye = EyeOf(*m_pProjector);
    for (int w = 0; w < CGroundGrid::kWalls; ++w)
        if (m_ground.WallSeenFrom(w, eye.x, eye.y))
            DrawGroundWall(pDC, tools.m_pWallBrush[w], w, zmin);
}

// The wall under each run of edge cells that have a shade, in polygons of as many corners as a
// region holds: the run's corners on the edge, then the floor under its ends (a straight line).
// A polygon of five cells rather than five quadrilaterals spares the raster engine most of the
// scan lines of a tall wall.
void CPlot::DrawGroundWall(CDC* pDC, CBrush* pBrush, int nWall, float zmin) {
    const int n = m_ground.Cells();
    POINT pt[CRgn::kMaxPoints];
    int nCorners = 0; // of the run on the edge, not yet filled
    int kFirst = 0;   // the run's first corner
    CRgn rgn;
    const auto fillRun = [&](int kLast) {
        pt[nCorners] = WallFloorPoint(nWall, kLast, zmin);
        pt[nCorners + 1] = WallFloorPoint(nWall, kFirst, zmin);
        if (rgn.CreatePolygonRgn(pt, nCorners + 2, ALTERNATE))
            pDC->FillRgn(&rgn, pBrush);
        nCorners = 0;
    };
    for (int k = 0; k < n; ++k) {
        const CGroundGrid::RowCol cell = m_ground.WallCell(nWall, k);
        if (m_ground.Shade(cell.row, cell.col) == CGroundGrid::kNoShade) {
            if (nCorners > 0)
                fillRun(k);
            continue;
        }
        if (nCorners == 0) {
            kFirst = k;
            pt[nCorners++] = WallEdgePoint(nWall, k);
        }
        pt[nCorners++] = WallEdgePoint(nWall, k + 1);
        if (nCorners == kMaxWallCorners)
            fillRun(k + 1);
    }
    if (nCorners > 0)
        fillRun(n);
    rgn.DeleteObject();
}

POINT CPlot::WallEdgePoint(int nWall, int k) const {
    const CGroundGrid::RowCol c = m_ground.WallCorner(nWall, k);
    return m_groundCorners[static_cast<std::size_t>(c.row) * (m_ground.Cells() + 1) + c.col];
}

POINT CPlot::WallFloorPoint(int nWall, int k, float zmin) const {
    const CGroundGrid::RowCol c = m_ground.WallCorner(nWall, k);
    return ProjectToLogical(*this, static_cast<float>(m_ground.X(c.row)),
                            static_cast<float>(m_ground.Y(c.col)), zmin);
}

void CPlot::DrawTrackOverGround(CDC* pDC, const CDrawTools& tools, float zmin, float zmax) {
    const float* x = m_pX[0];
    const float* y = m_pY[0];
    const float* z = m_pZ[0];
    const int n = (x && y && z) ? m_nPoints[0] : 0;
    const CGroundGrid::Point eye = EyeOf(*m_pProjector);
    const double hs = m_fHeightScale;
    const double tolerance = kHiddenTolerance * (static_cast<double>(zmax) - zmin) * hs;
    // A step per point as a coloured track has them, one more for hidden: each line takes the
    // step of the point it ends at.
    CPen* pens[CDrawTools::kRampSteps + 1] = {tools.m_pPen[kPenTrack]};
    int nHidden = 1;
    if (m_pColourSteps) {
        for (int k = 0; k < CDrawTools::kRampSteps; ++k)
            pens[k] = tools.m_pRampPen[m_colourBar.bDiverging ? 1 : 0][k];
        nHidden = CDrawTools::kRampSteps;
    }
    pens[nHidden] = tools.m_pHiddenTrackPen;
    m_trackSteps.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        int nStep = m_pColourSteps ? m_pColourSteps[i] : 0;
        if (m_ground.Hides({x[i], y[i], z[i] * hs}, eye, hs, tolerance))
            nStep = nHidden;
        m_trackSteps[i] = static_cast<std::uint8_t>(nStep);
    }
    DrawSteppedPolyline(
        pDC, n, [&](int i) { return ProjectToLogical(*this, x[i], y[i], z[i]); },
        m_trackSteps.data(), pens);
}

void CPlot::DrawLabels3D(CDC* pDC, float xmin, float ymin, float zmin, float xmax, float ymax,
                         float zmax) {
    const float xmid = static_cast<float>((static_cast<double>(xmin) + xmax) * 0.5);
    const float ymid = static_cast<float>((static_cast<double>(ymin) + ymax) * 0.5);
    const float zmid = static_cast<float>((static_cast<double>(zmin) + zmax) * 0.5);

    char szXExtent[32];
    char szYExtent[32];
    char szZExtent[32];
    FormatHorizontalExtent(szXExtent, sizeof szXExtent, static_cast<double>(xmax) - xmin, m_units);
    FormatHorizontalExtent(szYExtent, sizeof szYExtent, static_cast<double>(ymax) - ymin, m_units);
    FormatVerticalExtent(szZExtent, sizeof szZExtent, static_cast<double>(zmax) - zmin, m_units);

    // Compass letters at the centres of the side faces; the extents along the bottom edges of
    // the east and south faces and up the north-east edge.
    const struct {
        const char* pszText;
        Point3 anchor;
    } labels[7] = {
        {"W", {xmid, ymin, zmid}},       {"E", {xmid, ymax, zmid}},
        {szXExtent, {xmid, ymax, zmin}}, {"S", {xmax, ymid, zmid}},
        {szYExtent, {xmax, ymid, zmin}}, {"N", {xmin, ymid, zmid}},
        {szZExtent, {xmin, ymax, zmid}},
    };
    for (const auto& label : labels) {
        const POINT pt = ProjectToLogical(*this, label.anchor.x, label.anchor.y, label.anchor.z);
        pDC->TextOut(pt.x, pt.y, label.pszText, static_cast<int>(std::strlen(label.pszText)));
    }
}
