// The cursor readout of one chart view: the mapping of the picture the view last drew (kept per
// view, since the panes and windows of one document differ in size, zoom and scroll), the track
// point under a mouse position, and the cursor painted over the view's cached picture: in the
// elevation chart a vertical line with a label, in the 3D view a marker with a line down to the
// floor. Used by CVorlanView and the cursor benchmark.
#pragma once

#include "CProjector.h"
#include "CTrackReadout.h"
#include "Units.h"
#include "WinDef.h"

#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>

#include <vector>

class CPlot;
class CTrack;
class QFontMetrics;
class QPainter;

class CReadoutOverlay {
public:
    // In the 3D view the mouse selects the nearest drawn track point within this many pixels.
    static constexpr int kPickRadius = 8;
    // The most graphs whose values the cursor marks.
    static constexpr int kMaxGraphMarks = 6;

    enum class Mode { none, elevation, scene3D };

    // Takes the mapping of the picture just drawn from the plot, in the plot mode shown. In the
    // 3D view the camera is kept; every track point is projected at the first hover after the
    // drawing (a resize draws again and again without one), then hovering costs no projection.
    // pRecord, the record behind the track, gives the readout the points' times and sensors;
    // pGroundFeet, the ground under every track point (NaN where unknown), its ground height and
    // the height above it.
    void TakeMapping(const CPlot& plot, Mode mode, const CTrackRecord* pRecord = nullptr,
                     const float* pGroundFeet = nullptr);
    Mode GetMode() const { return m_mode; }

    // The readout under ptLogical (client pixels plus the scroll position). In the chart: the
    // point nearest by distance, while the mouse is inside the plot frame or a graph's. In 3D: the
    // drawn point nearest to the mouse within kPickRadius. bFound is false elsewhere.
    TrackReadout ReadoutAt(POINT ptLogical, const CTrack& track, Units units) const;
    // The readout of point nIndex.
    TrackReadout ReadoutOf(const CTrack& track, int nIndex, Units units) const;

    // Paints the cursor of point nIndex with its label; returns the client area it covers
    // (empty when nothing was painted). ptScroll is the scroll position.
    QRegion Paint(QPainter* pPainter, POINT ptScroll, int nIndex, const CTrack& track,
                  Units units) const;
    // Paints the selected stretch from point nFirst to nLast: shaded across the chart's frame, or
    // the 3D track drawn thicker along it.
    void PaintStretch(QPainter* pPainter, POINT ptScroll, int nFirst, int nLast,
                      const CTrack& track, Units units) const;
    // The chart's point at the mouse's distance or time, the mouse taken into the frame; -1
    // outside the chart.
    int ChartPointAt(POINT ptLogical, const CTrack& track, Units units) const;
    // The client area that Paint would cover, to repaint no more than that.
    QRegion Bounds(const QFontMetrics& metrics, POINT ptScroll, int nIndex, const CTrack& track,
                   Units units) const;

    // The point whose x of the ascending series pX (n points) is nearest x, the first of equals;
    // -1 for none.
    static int NearestX(const float* pX, int n, double x);

    // Chart coordinates (distance and elevation, or the projection's coordinates in 3D) at a
    // logical point, and back: the point that the wheel zoom keeps under the mouse.
    QPointF ToChart(QPointF ptLogical) const;
    QPointF ToLogical(QPointF ptChart) const;

private:
    // Where the cursor of a point goes, in client pixels.
    struct Cursor {
        QPoint top;    // the line's upper end: the point in 3D, the frame's top in 2D
        QPoint bottom; // its lower end: the floor below the point, the frame's bottom
        // The markers: the point (3D); raw and smoothed elevation, then each graph's value (2D).
        QPoint marks[2 + kMaxGraphMarks];
        int nMarks = 0;
        QRect label; // the label's box
    };
    bool CursorOf(const QFontMetrics& metrics, POINT ptScroll, int nIndex, const CTrack& track,
                  Units units, Cursor* pCursor, TrackReadout* pReadout) const;
    POINT MapPoint(float x, float y) const;
    // 3D: the logical point of a scene point (z in feet) and of the track's point i or its foot
    // on the floor.
    POINT ProjectedPoint(float fSouth, float fEast, float fHeightFeet) const;
    POINT TrackPoint(const CTrack& track, int i) const;
    POINT FloorPoint(const CTrack& track, int i) const;
    // 3D: every track point, projected at the first call after TakeMapping.
    const std::vector<POINT>& TrackPoints(const CTrack& track) const;
    bool OverChart(POINT ptLogical) const;
    QSize LabelSize(const QFontMetrics& metrics, const QString& strLabel) const;
    static QRegion AreaOf(const Cursor& c);

    Mode m_mode = Mode::none;
    const CTrackRecord* m_pRecord = nullptr;
    const float* m_pGroundFeet = nullptr;
    // The readout with the ground under its point after the chart's part: "ground 1180 ft (54
    // ft above)".
    TrackReadout WithGround(TrackReadout readout, const CTrack& track, Units units) const;
    // The chart's x values of the track's points while its axis is one of time.
    const float* m_pTimeX = nullptr;
    int m_nTimeX = 0;
    // The graphs stacked under the chart: each one's mapping of its values, and the bottom of the
    // last, where the cursor line ends.
    struct GraphMap {
        float fYScale = 1, fYOffset = 0;
        const float* pY = nullptr;
        int nTop = 0, nBottom = 0; // its frame's
    };
    std::vector<GraphMap> m_graphs;
    // The label last measured, and its size.
    mutable QString m_strSizedLabel;
    mutable int m_nSizedLineSpacing = 0;
    mutable QSize m_sizedLabel;
    int m_nCursorBottom = 0;
    RECT m_rcPlot{0, 0, 0, 0};
    float m_fXScale = 1;
    float m_fXOffset = 0;
    float m_fYScale = 1;
    float m_fYOffset = 0;
    // 3D: the camera of the picture, True Proportions' height scale and the floor's height in
    // feet; the track's points in logical coordinates once projected.
    mutable CProjector m_projector;
    float m_fHeightScale = 1;
    float m_fFloorFeet = 0;
    mutable std::vector<POINT> m_points;
    mutable bool m_bPointsProjected = false;
};
