#include "CPlot.h"

#include "CProjector.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "ChartMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

static_assert(CPlot::kMaxPoints == CTrack::kMaxPoints);

namespace {
// Tick counts are 16-bit. Asking for at most 10000 intervals keeps the actual count, which can
// reach about 3.2 times the wanted one, below 32768.
constexpr int kMaxWantedTicks = 10000;
// Axis ends beyond this are pulled in, so that rounding a range outward and adding up its steps
// stays within single precision.
constexpr float kMaxAxisValue = 1e37f;

// The size of a side of the 3D box that the track gives no extent: 100 m, in tens of metres
// horizontally and in feet vertically.
constexpr double kMinBoxSide = 10.0;
constexpr double kMinBoxHeight = 328.084;

float AxisValue(float v) {
    if (std::isnan(v))
        return 0.0f;
    return std::clamp(v, -kMaxAxisValue, kMaxAxisValue);
}

// Rounds half away from zero: -2.5 gives -3.
short RoundAway(double x) {
    return static_cast<short>(x > 0 ? TruncToInt(x + 0.5) : TruncToInt(x - 0.5));
}

// The first matching row gives the mantissa of the step.
float StepMantissa(float t) {
    if (t < 0.05f)
        return 0.01f;
    if (t < 0.1f)
        return 0.05f;
    if (t < 0.15f)
        return 0.1f;
    if (t < 0.3f)
        return 0.2f;
    if (t < 0.8f)
        return 0.5f;
    return 1.0f;
}
} // namespace

CPlot::CPlot() : m_pProjector(std::make_unique<CProjector>()) {
    std::snprintf(m_szXLabel, sizeof m_szXLabel, "x");
    std::snprintf(m_szYLabel, sizeof m_szYLabel, "y");
    std::snprintf(m_szTitle, sizeof m_szTitle, "Title");
    m_nSeries = 0;
    for (int i = 0; i < kMaxSeries; ++i)
        std::snprintf(m_szLegend[i], sizeof m_szLegend[i], "L%d", i);
}

CPlot::~CPlot() = default;

void CPlot::SetTitles(const CTrack& track) {
    std::snprintf(m_szXLabel, sizeof m_szXLabel, "Distance, %s", DistanceUnitWord(m_units));
    std::snprintf(m_szYLabel, sizeof m_szYLabel, "Elevation, %s", ElevationUnit(m_units));
    // The total distance is that of the last point; a track without points has none.
    const double dist = track.m_nCount > 0 ? track.m_fDist[track.m_nCount - 1] : 0.0;
    std::snprintf(m_szTitle, sizeof m_szTitle, "Elevation vs Distance (%.2f %s)",
                  DistanceIn(m_units, dist), DistanceUnitWord(m_units));
}

void CPlot::FillElevation(const CTrack& track, const CTrackRecord* pRecord) {
    std::vector<double> seconds;
    if (m_xAxis == XAxis::distance || !pRecord || !CTimeAxis::Seconds(*pRecord, m_xAxis, seconds)) {
        FillElevation(track);
        return;
    }
    m_nSeries = 0;
    m_nGraphs = 0;
    m_nTerrainSeries = -1;
    m_graphPoints.Clear();
    m_bTimeAxis = true;
    const int n = std::clamp<int>(track.m_nCount, 0, kMaxPoints);
    for (int i = 0; i < n; ++i) {
        const std::size_t r = std::min<std::size_t>(track.m_nRecordIndex[i], seconds.size() - 1);
        m_fUnitTime[i] = static_cast<float>(seconds[r]);
    }
    if (n == 0)
        m_fUnitTime[0] = 0.0f;
    SetTimeTitles(n);
    if (m_units == Units::imperial) {
        AddSeries(m_fUnitTime, track.m_fElev, n, "Raw");
        AddSeries(m_fUnitTime, track.m_fSmooth, n, "Smoothed");
        return;
    }
    ConvertToMetric(track);
    AddSeries(m_fUnitTime, m_fUnitElev, n, "Raw");
    AddSeries(m_fUnitTime, m_fUnitSmooth, n, "Smoothed");
}

// "Elevation vs Elapsed Time (1:23:19)", "Elevation vs Time of Day (09:15 to 10:38)".
void CPlot::SetTimeTitles(int n) {
    const bool bClock = m_xAxis == XAxis::timeOfDay;
    std::snprintf(m_szXLabel, sizeof m_szXLabel, "%s", bClock ? "Time of day" : "Elapsed time");
    std::snprintf(m_szYLabel, sizeof m_szYLabel, "Elevation, %s", ElevationUnit(m_units));
    char from[32] = "", to[32] = "";
    const double first = n > 0 ? m_fUnitTime[0] : 0.0, last = n > 0 ? m_fUnitTime[n - 1] : 0.0;
    CTimeAxis::Label(from, sizeof from, m_xAxis, first, 1.0f);
    CTimeAxis::Label(to, sizeof to, m_xAxis, bClock ? last : last - first, 1.0f);
    if (bClock)
        std::snprintf(m_szTitle, sizeof m_szTitle, "Elevation vs Time of Day (%s to %s)", from, to);
    else
        std::snprintf(m_szTitle, sizeof m_szTitle, "Elevation vs Elapsed Time (%s)", to);
}

void CPlot::FillElevation(const CTrack& track) {
    m_nSeries = 0;
    m_nGraphs = 0;
    m_nTerrainSeries = -1;
    m_graphPoints.Clear();
    m_bTimeAxis = false;
    SetTitles(track);
    if (m_units == Units::imperial) {
        AddSeries(track.m_fDist, track.m_fElev, track.m_nCount, "Raw");
        AddSeries(track.m_fDist, track.m_fSmooth, track.m_nCount, "Smoothed");
        return;
    }
    const int n = ConvertToMetric(track);
    AddSeries(m_fUnitDist, m_fUnitElev, n, "Raw");
    AddSeries(m_fUnitDist, m_fUnitSmooth, n, "Smoothed");
}

int CPlot::ConvertToMetric(const CTrack& track) {
    const int n = std::clamp<int>(track.m_nCount, 0, kMaxPoints);
    // The first point is converted even for an empty track: the ranges start from it, as they
    // start from the track's own first values in imperial units.
    for (int i = 0; i < std::max(n, 1); ++i) {
        m_fUnitDist[i] = static_cast<float>(DistanceIn(Units::metric, track.m_fDist[i]));
        m_fUnitElev[i] = static_cast<float>(ElevationIn(Units::metric, track.m_fElev[i]));
        m_fUnitSmooth[i] = static_cast<float>(ElevationIn(Units::metric, track.m_fSmooth[i]));
    }
    return n;
}

bool CPlot::AddTerrainSeries(const float* pFeet, int nPoints) {
    const int n = std::clamp(nPoints, 0, std::min(m_nPoints[0], kMaxPoints));
    bool bAny = false;
    for (int i = 0; i < n; ++i) {
        m_fUnitGround[i] = static_cast<float>(ElevationIn(m_units, pFeet[i]));
        bAny = bAny || !std::isnan(pFeet[i]);
    }
    if (!bAny || m_nSeries >= kMaxSeries)
        return false;
    m_nTerrainSeries = m_nSeries;
    AddSeries(m_pX[0], m_fUnitGround, n, "Terrain");
    return true;
}

bool CPlot::AddGraph(GraphKind kind, const CTrack& track, const CTrackRecord* pRecord) {
    const int g = m_nGraphs;
    if (g >= kMaxGraphs || !CGraphs::Values(kind, track, pRecord, m_units, m_fGraphValues[g]))
        return false;
    Graph& graph = m_graphs[m_nGraphs++];
    graph.kind = kind;
    CGraphs::Title(kind, m_units, graph.szTitle, sizeof graph.szTitle);
    if (pRecord &&
        m_graphPoints.Fill(g, kind, track, *pRecord, m_pX[0], m_xAxis, m_bTimeAxis, m_units)) {
        graph.pX = m_graphPoints.X();
        graph.pY = m_graphPoints.Y(g);
        graph.nPoints = m_graphPoints.Count();
    } else {
        graph.pX = m_pX[0];
        graph.pY = m_fGraphValues[g];
        graph.nPoints = m_nPoints[0];
    }
    const auto [lo, hi] = std::minmax_element(graph.pY, graph.pY + std::max(graph.nPoints, 1));
    graph.fValueMin = *lo;
    graph.fValueMax = *hi;
    graph.bAscendingX = std::is_sorted(graph.pX, graph.pX + graph.nPoints);
    return true;
}

void CPlot::AddSeries(const float* pX, const float* pY, int nPoints, const char* pszLegend) {
    if (m_nSeries >= kMaxSeries)
        return;
    m_pX[m_nSeries] = pX;
    m_pY[m_nSeries] = pY;
    m_nPoints[m_nSeries] = nPoints;
    std::snprintf(m_szLegend[m_nSeries], sizeof m_szLegend[m_nSeries], "%s", pszLegend);
    ++m_nSeries;
}

void CPlot::Fill3D(const CTrack& track) {
    m_nSeries = 0;
    m_nGraphs = 0;
    m_nTerrainSeries = -1;
    SetTitles(track);
    // The 3D scene reads slot 0 directly; the slot does not count as a 2D series.
    m_pX[0] = track.m_fSouth;
    m_pY[0] = track.m_fEast;
    m_pZ[0] = track.m_fSmooth;
    m_nPoints[0] = track.m_nCount;
    for (int axis = 0; axis < 3; ++axis) {
        m_fBoxMin[axis] = track.m_fRange[axis][0];
        m_fBoxMax[axis] = track.m_fRange[axis][1];
    }
    // Without an extent the compass letters and the extents would pile up in one spot: a side
    // of the box without one gets a size of its own around the track. Horizontally that is any
    // side; the height only for a track that stays in one place (one point), since the letters
    // of a flat track that goes somewhere stand apart already.
    const bool bInOnePlace = m_fBoxMin[0] == m_fBoxMax[0] && m_fBoxMin[1] == m_fBoxMax[1];
    WidenEmptySide(0, kMinBoxSide);
    WidenEmptySide(1, kMinBoxSide);
    if (bInOnePlace)
        WidenEmptySide(2, kMinBoxHeight);
}

void CPlot::WidenEmptySide(int nAxis, double size) {
    if (m_fBoxMin[nAxis] != m_fBoxMax[nAxis])
        return;
    const double centre = m_fBoxMin[nAxis];
    m_fBoxMin[nAxis] = static_cast<float>(centre - size / 2);
    m_fBoxMax[nAxis] = static_cast<float>(centre + size / 2);
}

void CPlot::ComputeRanges() {
    // The seed is the first point of slot 0, whether or not the slot is in use. A chart that no
    // plot command has filled starts from 0.
    m_fXMin = m_fXMax = m_pX[0] ? m_pX[0][0] : 0.0f;
    m_fYMin = m_fYMax = m_pY[0] ? m_pY[0][0] : 0.0f;
    const int nSeries = std::min(m_nSeries, kMaxSeries);
    for (int s = 0; s < nSeries; ++s) {
        if (!m_pX[s] || !m_pY[s])
            continue;
        for (int i = 0; i < m_nPoints[s]; ++i) {
            const float x = m_pX[s][i];
            const float y = m_pY[s][i];
            if (m_fXMin > x)
                m_fXMin = x;
            if (m_fXMax < x)
                m_fXMax = x;
            if (m_fYMin > y)
                m_fYMin = y;
            if (m_fYMax < y)
                m_fYMax = y;
        }
    }
}

// Rounds a range outward to a grid of about the wanted number of intervals whose step is 1 or 5
// times a power of ten. Example: 0 .. 26.3 with 8 wanted gives 0 .. 30 in 6 steps of 5.
short CPlot::NiceScale(float* pMin, float* pMax, float* pStep, int* pCount, char* pszFormat) {
    float fMin = AxisValue(*pMin);
    float fMax = AxisValue(*pMax);
    if (fMax < fMin)
        std::swap(fMin, fMax);
    const int n = std::clamp(*pCount, 2, kMaxWantedTicks);

    // An empty span is widened by 0.01; where 0.01 is below the float resolution of the value,
    // by the smallest step that the value can take.
    if (std::fabs(static_cast<double>(fMax) - fMin) < 0.01) {
        fMax = static_cast<float>(fMax + 0.01);
        if (!(fMax > fMin))
            fMax = std::nextafter(fMin, std::numeric_limits<float>::infinity());
    }

    // g is the inverse of the decade unit: 1806 / 6 = 301 gives p = -2 and a unit of 100.
    const short p = RoundAway(-std::log10((static_cast<double>(fMax) - fMin) / n));
    const double g = std::pow(10.0, p);
    const double dMin = std::floor(fMin * (10.0 * g)) / (10.0 * g);
    const double diff = fMax - dMin;
    const float t = static_cast<float>(diff * g / n);
    const float fStep = static_cast<float>(StepMantissa(t) / g);
    const short u = static_cast<short>(TruncToInt(diff / fStep + 0.99));
    float fLast = static_cast<float>(dMin + u * static_cast<double>(fStep));
    if (!(fLast > static_cast<float>(dMin)))
        fLast = std::nextafter(static_cast<float>(dMin), std::numeric_limits<float>::infinity());
    short d = static_cast<short>(TruncToInt(0.99 - std::log10(fStep)));
    if (d < 0)
        d = 0;

    *pMin = static_cast<float>(dMin);
    *pMax = fLast;
    *pStep = fStep;
    *pCount = u;
    std::snprintf(pszFormat, 16, "%%.%df", d);
    return d;
}
