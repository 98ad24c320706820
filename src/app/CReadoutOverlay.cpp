#include "CReadoutOverlay.h"

#include "CPlot.h"
#include "CProjector.h"
#include "CTrack.h"
#include "ChartMath.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {
// Orange appears nowhere in the plots, so the cursor's markers stand out (and tests find them).
const QColor kMarkerColour(255, 140, 0);
const QColor kLabelBackground(255, 255, 225);
// The selected stretch: a light shade over the chart, a thick dark line along the 3D track.
const QColor kStretchShade(0, 120, 215, 48);
const QColor kStretchLine(0, 0, 140);
constexpr int kStretchWidth = 4;
constexpr int kMarkerRadius = 4;
// The label's distance from the cursor and its inner margin, in pixels.
constexpr int kLabelGap = 8;
constexpr int kLabelPadding = 3;

QPoint Client(POINT ptLogical, POINT ptScroll) {
    return QPoint(ptLogical.x - ptScroll.x, ptLogical.y - ptScroll.y);
}

// The status bar's line in two: the point on the chart, then what the file says of it.
QString LabelText(const TrackReadout& readout) {
    if (readout.channels.empty())
        return QString::fromUtf8(readout.text.c_str());
    const std::string chart =
        readout.text.substr(0, readout.text.size() - readout.channels.size() - 2);
    return QString::fromUtf8(chart.c_str()) + QLatin1Char('\n') +
           QString::fromUtf8(readout.channels.c_str());
}
} // namespace

void CReadoutOverlay::TakeMapping(const CPlot& plot, Mode mode, const CTrackRecord* pRecord,
                                  const float* pGroundFeet) {
    m_mode = mode;
    m_pRecord = pRecord;
    m_pGroundFeet = pGroundFeet;
    const bool bTime = mode == Mode::elevation && plot.m_bTimeAxis && plot.m_nSeries > 0;
    m_pTimeX = bTime ? plot.m_pX[0] : nullptr;
    m_nTimeX = bTime ? plot.m_nPoints[0] : 0;
    m_graphs.clear();
    m_nCursorBottom = plot.m_rcPlot.bottom;
    if (mode == Mode::elevation)
        for (int g = 0; g < std::min(plot.m_nGraphs, kMaxGraphMarks); ++g) {
            m_graphs.push_back({plot.m_graphs[g].fYScale, plot.m_graphs[g].fYOffset,
                                plot.m_fGraphValues[g], plot.m_graphs[g].rc.top,
                                plot.m_graphs[g].rc.bottom});
            m_nCursorBottom = plot.m_graphs[g].rc.bottom;
        }
    m_rcPlot = plot.m_rcPlot;
    m_fXScale = plot.m_fXScale;
    m_fXOffset = plot.m_fXOffset;
    m_fYScale = plot.m_fYScale;
    m_fYOffset = plot.m_fYOffset;
    m_points.clear();
    m_bPointsProjected = false;
    if (mode != Mode::scene3D)
        return;
    // The scene's own camera as the layout just set it, heights as it scaled them (True
    // Proportions), the floor under the ground too.
    m_projector = *plot.m_pProjector;
    m_fHeightScale = plot.m_fHeightScale;
    m_fFloorFeet = plot.m_fSceneZMin;
}

// The scene's projection, then the plot's mapping, truncated as the scene truncates.
POINT CReadoutOverlay::ProjectedPoint(float fSouth, float fEast, float fHeightFeet) const {
    m_projector.Project(fSouth, fEast, fHeightFeet * m_fHeightScale);
    return MapPoint(m_projector.m_fProjX, m_projector.m_fProjY);
}

POINT CReadoutOverlay::TrackPoint(const CTrack& track, int i) const {
    return ProjectedPoint(track.m_fSouth[i], track.m_fEast[i], track.m_fSmooth[i]);
}

POINT CReadoutOverlay::FloorPoint(const CTrack& track, int i) const {
    return ProjectedPoint(track.m_fSouth[i], track.m_fEast[i], m_fFloorFeet);
}

const std::vector<POINT>& CReadoutOverlay::TrackPoints(const CTrack& track) const {
    if (m_bPointsProjected || m_mode != Mode::scene3D)
        return m_points;
    const int n = std::clamp<int>(track.m_nCount, 0, CTrack::kMaxPoints);
    m_points.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        m_points[static_cast<size_t>(i)] = TrackPoint(track, i);
    m_bPointsProjected = true;
    return m_points;
}

POINT CReadoutOverlay::MapPoint(float x, float y) const {
    return POINT{TruncToInt(static_cast<double>(x) * m_fXScale + m_fXOffset),
                 TruncToInt(static_cast<double>(y) * m_fYScale + m_fYOffset)};
}

QPointF CReadoutOverlay::ToChart(QPointF ptLogical) const {
    return QPointF((ptLogical.x() - static_cast<double>(m_fXOffset)) / m_fXScale,
                   (ptLogical.y() - static_cast<double>(m_fYOffset)) / m_fYScale);
}

QPointF CReadoutOverlay::ToLogical(QPointF ptChart) const {
    return QPointF(ptChart.x() * m_fXScale + m_fXOffset, ptChart.y() * m_fYScale + m_fYOffset);
}

TrackReadout CReadoutOverlay::ReadoutOf(const CTrack& track, int nIndex, Units units) const {
    if (nIndex < 0 || nIndex >= track.m_nCount)
        return TrackReadout();
    return WithGround(
        CTrackReadout::At(track, DistanceIn(units, track.m_fDist[nIndex]), units, m_pRecord), track,
        units);
}

TrackReadout CReadoutOverlay::WithGround(TrackReadout readout, const CTrack& track,
                                         Units units) const {
    if (!readout.bFound || !m_pGroundFeet || std::isnan(m_pGroundFeet[readout.nIndex]))
        return readout;
    const double ground = m_pGroundFeet[readout.nIndex];
    const double above = track.m_fElev[readout.nIndex] - ground;
    const std::string text = "ground " + FormatElevation(units, ground) + " (" +
                             FormatElevation(units, std::fabs(above)) +
                             (above < 0 ? " below)" : " above)");
    const std::size_t nChart = readout.channels.empty()
                                   ? readout.text.size()
                                   : readout.text.size() - readout.channels.size() - 2;
    readout.text.insert(nChart, "  " + text);
    return readout;
}

TrackReadout CReadoutOverlay::ReadoutAt(POINT ptLogical, const CTrack& track, Units units) const {
    if (m_mode == Mode::elevation) {
        if (!OverChart(ptLogical))
            return TrackReadout();
        const double x = ToChart(QPointF(ptLogical.x, ptLogical.y)).x();
        if (m_pTimeX)
            return ReadoutOf(track, NearestX(m_pTimeX, m_nTimeX, x), units);
        return WithGround(CTrackReadout::At(track, x, units, m_pRecord), track, units);
    }
    if (m_mode != Mode::scene3D)
        return TrackReadout();
    const std::vector<POINT>& points = TrackPoints(track);
    int nBest = -1;
    long long best = static_cast<long long>(kPickRadius) * kPickRadius;
    for (int i = 0; i < static_cast<int>(points.size()); ++i) {
        const long long dx = points[static_cast<size_t>(i)].x - ptLogical.x;
        const long long dy = points[static_cast<size_t>(i)].y - ptLogical.y;
        if (dx * dx + dy * dy <= best && (nBest < 0 || dx * dx + dy * dy < best)) {
            best = dx * dx + dy * dy;
            nBest = i;
        }
    }
    return ReadoutOf(track, nBest, units);
}

// Inside the elevation chart's frame or a graph's: they share the x axis.
bool CReadoutOverlay::OverChart(POINT ptLogical) const {
    const RECT& rc = m_rcPlot;
    if (ptLogical.x < rc.left || ptLogical.x > rc.right)
        return false;
    if (ptLogical.y >= rc.top && ptLogical.y <= rc.bottom)
        return true;
    return std::any_of(m_graphs.begin(), m_graphs.end(), [&](const GraphMap& g) {
        return ptLogical.y >= g.nTop && ptLogical.y <= g.nBottom;
    });
}

bool CReadoutOverlay::CursorOf(const QFontMetrics& metrics, POINT ptScroll, int nIndex,
                               const CTrack& track, Units units, Cursor* pCursor,
                               TrackReadout* pReadout) const {
    if (m_mode == Mode::none || nIndex < 0 || nIndex >= track.m_nCount)
        return false;
    *pReadout = ReadoutOf(track, nIndex, units);
    Cursor& c = *pCursor;
    const size_t i = static_cast<size_t>(nIndex);
    if (m_mode == Mode::scene3D) {
        if (nIndex >= std::min<int>(track.m_nCount, CTrack::kMaxPoints))
            return false;
        c.top = Client(TrackPoint(track, nIndex), ptScroll);
        c.bottom = Client(FloorPoint(track, nIndex), ptScroll);
        c.marks[0] = c.top;
        c.nMarks = 1;
    } else {
        // The chart's own values of the point: its series are these floats.
        const float x = m_pTimeX && nIndex < m_nTimeX
                            ? m_pTimeX[i]
                            : static_cast<float>(DistanceIn(units, track.m_fDist[i]));
        const float raw = static_cast<float>(ElevationIn(units, track.m_fElev[i]));
        const float smooth = static_cast<float>(ElevationIn(units, track.m_fSmooth[i]));
        const int cx = MapPoint(x, 0).x;
        c.top = Client(POINT{cx, m_rcPlot.top}, ptScroll);
        c.bottom = Client(POINT{cx, m_nCursorBottom}, ptScroll);
        c.marks[0] = Client(MapPoint(x, raw), ptScroll);
        c.marks[1] = Client(MapPoint(x, smooth), ptScroll);
        c.nMarks = 2;
        for (const GraphMap& g : m_graphs) {
            const double y = static_cast<double>(g.pY[i]) * g.fYScale + g.fYOffset;
            c.marks[c.nMarks++] = Client(POINT{cx, TruncToInt(y)}, ptScroll);
        }
    }
    // Right of the last marker, or left of it where the frame ends; where neither side has room,
    // above it (below it at the top), so that it never covers the point.
    const QSize size = LabelSize(metrics, LabelText(*pReadout));
    // In the chart by the smoothed elevation's marker, whatever graphs lie below.
    const QPoint anchor = c.marks[m_mode == Mode::elevation ? 1 : c.nMarks - 1];
    const int right = m_rcPlot.right - ptScroll.x;
    int left = anchor.x() + kLabelGap;
    int top = anchor.y() - size.height() / 2;
    if (left + size.width() > right) {
        left = anchor.x() - kLabelGap - size.width();
        if (left < 0) {
            left = std::clamp(anchor.x() - size.width() / 2, 0, std::max(right - size.width(), 0));
            top = anchor.y() - kLabelGap - size.height();
            if (top < 0)
                top = anchor.y() + kLabelGap;
        }
    }
    c.label = QRect(QPoint(left, top), size);
    return true;
}

// Laying out the label's lines is most of a readout's time, and each move asks twice for the
// same label: where to repaint, then the paint.
QSize CReadoutOverlay::LabelSize(const QFontMetrics& metrics, const QString& strLabel) const {
    if (strLabel != m_strSizedLabel || metrics.lineSpacing() != m_nSizedLineSpacing) {
        m_strSizedLabel = strLabel;
        m_nSizedLineSpacing = metrics.lineSpacing();
        m_sizedLabel = metrics.size(0, strLabel) + QSize(2 * kLabelPadding, 2 * kLabelPadding);
    }
    return m_sizedLabel;
}

QRegion CReadoutOverlay::Bounds(const QFontMetrics& metrics, POINT ptScroll, int nIndex,
                                const CTrack& track, Units units) const {
    Cursor c;
    TrackReadout readout;
    if (!CursorOf(metrics, ptScroll, nIndex, track, units, &c, &readout))
        return QRegion();
    return AreaOf(c);
}

// The line with its markers, and the label apart: the repaint copies little more than they
// cover, in few rectangles.
QRegion CReadoutOverlay::AreaOf(const Cursor& c) {
    QRect line = QRect(c.top, c.bottom).normalized().adjusted(-1, -1, 1, 1);
    for (int k = 0; k < c.nMarks; ++k)
        line |= QRect(c.marks[k], QSize())
                    .adjusted(-kMarkerRadius - 1, -kMarkerRadius - 1, kMarkerRadius + 1,
                              kMarkerRadius + 1);
    return QRegion(line) + c.label.adjusted(-1, -1, 1, 1);
}

QRegion CReadoutOverlay::Paint(QPainter* pPainter, POINT ptScroll, int nIndex, const CTrack& track,
                               Units units) const {
    Cursor c;
    TrackReadout readout;
    if (!CursorOf(pPainter->fontMetrics(), ptScroll, nIndex, track, units, &c, &readout))
        return QRegion();
    pPainter->save();
    pPainter->setPen(QPen(Qt::black, 1));
    pPainter->drawLine(c.top, c.bottom);
    pPainter->setBrush(kMarkerColour);
    for (int k = 0; k < c.nMarks; ++k)
        pPainter->drawEllipse(c.marks[k], kMarkerRadius, kMarkerRadius);
    pPainter->setBrush(kLabelBackground);
    pPainter->drawRect(c.label.adjusted(0, 0, -1, -1));
    pPainter->drawText(c.label.adjusted(kLabelPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       LabelText(readout));
    pPainter->restore();
    return AreaOf(c);
}

int CReadoutOverlay::NearestX(const float* pX, int n, double x) {
    if (!pX || n <= 0)
        return -1;
    const int j = static_cast<int>(
        std::lower_bound(pX, pX + n, x, [](float v, double target) { return v < target; }) - pX);
    if (j >= n)
        return n - 1;
    return j > 0 && x - pX[j - 1] < pX[j] - x ? j - 1 : j;
}

int CReadoutOverlay::ChartPointAt(POINT ptLogical, const CTrack& track, Units units) const {
    if (m_mode != Mode::elevation)
        return -1;
    const POINT inside{std::clamp(ptLogical.x, m_rcPlot.left, m_rcPlot.right),
                       (m_rcPlot.top + m_rcPlot.bottom) / 2};
    const TrackReadout readout = ReadoutAt(inside, track, units);
    return readout.bFound ? readout.nIndex : -1;
}

void CReadoutOverlay::PaintStretch(QPainter* pPainter, POINT ptScroll, int nFirst, int nLast,
                                   const CTrack& track, Units units) const {
    if (nFirst < 0 || nLast < nFirst || nLast >= track.m_nCount)
        return;
    pPainter->save();
    if (m_mode == Mode::elevation) {
        const auto x = [&](int i) {
            const float v = m_pTimeX && i < m_nTimeX
                                ? m_pTimeX[i]
                                : static_cast<float>(DistanceIn(units, track.m_fDist[i]));
            return Client(MapPoint(v, 0), ptScroll).x();
        };
        const auto shade = [&](int top, int bottom) {
            pPainter->fillRect(
                QRect(QPoint(x(nFirst), top - ptScroll.y), QPoint(x(nLast), bottom - ptScroll.y))
                    .normalized(),
                kStretchShade);
        };
        shade(m_rcPlot.top, m_rcPlot.bottom);
        for (const GraphMap& g : m_graphs)
            shade(g.nTop, g.nBottom);
    } else if (m_mode == Mode::scene3D &&
               nLast < std::min<int>(track.m_nCount, CTrack::kMaxPoints)) {
        QPolygon line;
        for (int i = nFirst; i <= nLast; ++i)
            line << Client(TrackPoint(track, i), ptScroll);
        pPainter->setRenderHint(QPainter::Antialiasing);
        pPainter->setPen(
            QPen(kStretchLine, kStretchWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        pPainter->drawPolyline(line);
    }
    pPainter->restore();
}
