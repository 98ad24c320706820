// The chart object of a document: up to ten series, titles, the view state (zoom, view angles,
// zoom requests) and the results of the last layout. Draws the elevation chart (Draw2D) and the
// 3D scene (Draw3D, in this chart library's CPlot3D.cpp, with the camera of the 3D view library)
// on any CDC, with the palette its caller owns.
#pragma once

#include "CGraphPoints.h"
#include "CGraphs.h"
#include "CGroundGrid.h"
#include "CRectTracker.h"
#include "CTimeAxis.h"
#include "CTrackColours.h"
#include "Units.h"
#include "WinDef.h"

#include <memory>
#include <vector>

class CBrush;
class CDC;
class CDrawTools;
class CGroundHeights;
class CProjector;
class CTrack;
class CTrackRecord;

class CPlot {
public:
    static constexpr int kMaxSeries = 10;
    // The most points of a series that the plot converts into its own arrays (a track's most).
    static constexpr int kMaxPoints = 10000;

    // Zoom In doubles the zoom factor while it is at most kMaxZoom, so one more step can reach
    // kMaxDocumentZoom, the most a document file may hold; a rubber band stops at kMaxZoom.
    // Zoom Out halves it while it is at least kMinZoomOut. Within kZoomTolerance of 1 the
    // zoom counts as restored.
    static constexpr float kZoomStep = 2.0f;
    static constexpr float kMaxZoom = 8.0f;
    static constexpr float kMaxDocumentZoom = kMaxZoom * kZoomStep;
    static constexpr float kMinZoomOut = 1.01f;
    static constexpr float kZoomTolerance = 0.001f;

    // The 3D view angles in degrees: the home view (at rest within kHomeTolerance), the steps
    // of the rotation buttons and of the arrow keys, the furthest the buttons turn either way,
    // and the full turn that the keys wrap at.
    static constexpr float kHomeAzimuth = 30.0f;
    static constexpr float kHomeElevation = 20.0f;
    static constexpr float kHomeTolerance = 0.1f;
    static constexpr float kRotateStepButton = 5.0f;
    static constexpr float kRotateStepKey = 1.0f;
    static constexpr float kMaxRotation = 90.0f;
    static constexpr float kFullTurn = 360.0f;

    CPlot();
    CPlot(const CPlot&) = delete;
    CPlot& operator=(const CPlot&) = delete;
    virtual ~CPlot();

    // The plot commands' filling of the model from a track. The elevation chart shows the track
    // in m_units: imperial series are the track's own arrays, metric ones converted copies.
    void FillElevation(const CTrack& track);
    // The same over m_xAxis: over time, the track's points at the times the record gives them
    // (track.m_nRecordIndex), where the record has times; else over distance, as above.
    void FillElevation(const CTrack& track, const CTrackRecord* pRecord);
    void Fill3D(const CTrack& track);
    // Gives box side nAxis the given size around its value when it has none.
    void WidenEmptySide(int nAxis, double size);

    // The page a window's client area of cxClient x cyClient pixels at these resolutions gets
    // on the screen at zoom fZoom (both plots lay out the same page): what a picture of it
    // measures, without drawing it.
    static CSize ScreenPageSize(int nDpiX, int nDpiY, int cxClient, int cyClient, float fZoom);

    void ComputeRanges();
    short NiceScale(float* pMin, float* pMax, float* pStep, int* pCount, char* pszFormat);

    void Layout2D(CDC* pDC);
    void DrawAxes2D(CDC* pDC, const CDrawTools& tools);
    void Draw2D(CDC* pDC, const CDrawTools& tools);

    void ZoomToRect(CDC* pDC);
    void Recenter(CDC* pDC);
    BOOL UpdateScrollPos(CDC* pDC);

    void Layout3D(CDC* pDC, const CDrawTools& tools, float xmin, float ymin, float zmin, float xmax,
                  float ymax, float zmax);
    void DrawHiddenFaces(CDC* pDC, const CDrawTools& tools);
    void DrawVisibleFaces(CDC* pDC, const CDrawTools& tools);
    void Draw3D(CDC* pDC, const CDrawTools& tools);
    void DrawLabels3D(CDC* pDC, float xmin, float ymin, float zmin, float xmax, float ymax,
                      float zmax);

    int m_nSeries = 0;
    int m_nPoints[kMaxSeries] = {};
    int m_bMarkers[kMaxSeries] = {};
    const float* m_pX[kMaxSeries] = {};
    const float* m_pY[kMaxSeries] = {};
    const float* m_pZ[kMaxSeries] = {};
    float m_fBoxMin[3] = {};
    float m_fBoxMax[3] = {};
    char m_szTitle[128] = {};
    char m_szYLabel[32] = {};
    char m_szXLabel[32] = {};
    char m_szLegend[kMaxSeries][16] = {};
    char m_szXFormat[16] = {};
    char m_szYFormat[16] = {};
    // The units of every number the plots show; set before filling.
    Units m_units = Units::imperial;
    // What the elevation chart's x axis shows; set before filling. m_bTimeAxis: the series are
    // over time (the record had times).
    XAxis m_xAxis = XAxis::distance;
    bool m_bTimeAxis = false;
    float m_fUnitTime[kMaxPoints] = {};
    // A coloured track (View, Colour Track By): the colour step of every point and the scale's
    // bar, or nullptr for the designed single colour.
    const std::uint8_t* m_pColourSteps = nullptr;
    ColourBar m_colourBar;
    // The elevation series drawn with each pixel column's run of points cut to its first,
    // lowest, highest and last: the same pixels from the 2-pixel pens of a raster surface
    // without smoothing, at a fraction of the lines. Set for a screen's drawing only; paper, the
    // exported files and the recorded drawings keep every point.
    bool m_bColumnSeries = false;
    // How many points the last line drawn by pixel columns kept.
    int ColumnPointsKept() const { return static_cast<int>(m_columnPoints.size()); }

    // The graphs stacked under the elevation chart (View, Graphs), on its x axis: each with its
    // values at the track's points (for the readout), the line it draws (the record's points
    // where the record stands behind the track, else the track's), and from the last layout its
    // frame and y axis.
    static constexpr int kMaxGraphs = kGraphKinds;
    struct Graph {
        GraphKind kind = GraphKind::speed;
        char szTitle[48] = {};
        RECT rc{};
        float fYMin = 0, fYMax = 0, fYStep = 0;
        float fYScale = 1, fYOffset = 0;
        int nYTicks = 0;
        char szYFormat[16] = {};
        const float* pX = nullptr;
        const float* pY = nullptr;
        int nPoints = 0;
        // The lowest and highest of the nPoints values, and whether pX never decreases (not so
        // where a file's clock went back), found once when the graph is added.
        float fValueMin = 0, fValueMax = 0;
        bool bAscendingX = false;
    };
    Graph m_graphs[kMaxGraphs];
    int m_nGraphs = 0;
    float m_fGraphValues[kMaxGraphs][kMaxPoints] = {};
    CGraphPoints m_graphPoints;
    // Adds a graph of kind under the elevation chart, after FillElevation (which removes them);
    // false where the record has no data for it.
    bool AddGraph(GraphKind kind, const CTrack& track, const CTrackRecord* pRecord);
    // The ground under the track from elevation tiles (View, Terrain): a third, dashed series of
    // the elevation chart, "Terrain", in feet at every track point (NaN where no tile covers
    // it, a gap in the line), after FillElevation; false without any height.
    bool AddTerrainSeries(const float* pFeet, int nPoints);
    int m_nTerrainSeries = -1;
    float m_fUnitGround[kMaxPoints] = {};
    // The elevation chart's series in metric units: distance in km, elevations in metres.
    float m_fUnitDist[kMaxPoints] = {};
    float m_fUnitElev[kMaxPoints] = {};
    float m_fUnitSmooth[kMaxPoints] = {};
    // The ground in the 3D scene, from whoever sets it (View, Terrain); nullptr draws the
    // designed scene.
    CGroundHeights* m_pGround = nullptr;
    // True Proportions: 0 fits each screen direction of the 3D scene on its own (the designed
    // scene); 1, 2 or 5 gives the box's three axes one scale, the height exaggerated so often.
    int m_nExaggeration = 0;
    // The ground's cells: at most kMaxGroundCells a side, and about one every
    // kPixelsPerGroundCell pixels of the plot frame's longer side.
    static constexpr int kMaxGroundCells = 200;
    static constexpr int kMinGroundCells = 2;
    static constexpr int kPixelsPerGroundCell = 6;
    // From the last 3D layout: the heights the box showed (the track's box, widened to the
    // ground inside it) and what a height in feet is multiplied by before it is projected (1
    // unless True Proportions is on), for whoever projects more points into the scene.
    float m_fSceneZMin = 0;
    float m_fSceneZMax = 0;
    float m_fHeightScale = 1.0f;
    float m_fAzimuth = kHomeAzimuth;
    float m_fElevation = kHomeElevation;
    float m_fZoom = 1.0f;
    CSize m_sizeTotal;
    CRectTracker m_tracker;
    short m_bZoomRect = 0;
    short m_bRecenter = 0;
    float m_fCenterX = 0;
    float m_fCenterY = 0;
    POINT m_ptScroll;
    POINT m_ptFloor[4];
    POINT m_ptFace[6][4];
    short m_bFaceVisible[6] = {};
    RECT m_rcPlot;
    float m_fXMin = 0;
    float m_fXMax = 0;
    float m_fYMin = 0;
    float m_fYMax = 0;
    float m_fXScale = 1.0f;
    float m_fXOffset = 1.0f;
    float m_fYScale = 1.0f;
    float m_fYOffset = 1.0f;
    int m_nLegendX = 0;
    float m_fPixPerMMX = 0;
    float m_fPixPerMMY = 0;
    int m_nXTicks = 0;
    int m_nYTicks = 0;
    float m_fXStep = 0;
    float m_fYStep = 0;
    // The camera of the 3D scene; always present.
    const std::unique_ptr<CProjector> m_pProjector;

private:
    // The start of both layouts: pixels per millimetre, the pending zoom requests (answered with
    // the mapping of the picture on show), the page (printed, or the zoomed client area), the
    // plot frame and m_sizeTotal. On screen the frame's right margin is nRightMarginMM.
    void LayoutPage(CDC* pDC, int nRightMarginMM);
    // The three strings that both plot commands write, in m_units.
    void SetTitles(const CTrack& track);
    // The same for the elevation chart over time, from the first n times in m_fUnitTime.
    void SetTimeTitles(int n);
    // The track's distance and elevations in metric units into the m_fUnit arrays; returns the
    // number of points converted.
    int ConvertToMetric(const CTrack& track);
    // Fills slot m_nSeries and counts it.
    void AddSeries(const float* pX, const float* pY, int nPoints, const char* pszLegend);
    // One legend entry of the 2D chart at m_nLegendX, which then moves on.
    void DrawLegendEntry(CDC* pDC, int s);
    // Series s as one polyline through the mapped points.
    void DrawSeries(CDC* pDC, int s);
    // The terrain series: a polyline through each run of points with a height.
    void DrawTerrainSeries(CDC* pDC, int s);
    // The colour bar of a coloured track in one line from (x, y): its title, the numbers of the
    // scale's ends and its steps between them.
    void DrawColourBar(CDC* pDC, const CDrawTools& tools, int x, int y);
    // Series s with the colour of every point's step.
    void DrawColouredSeries(CDC* pDC, const CDrawTools& tools, int s);
    // The stacked graphs: the page's frame shared between the elevation chart (twice a graph's
    // height) and the graphs, then each graph's y axis from its values.
    void LayoutGraphs();
    void DrawXTickLabels(CDC* pDC, int y);
    void DrawGraph(CDC* pDC, const CDrawTools& tools, int g);

    // What a graph's (or a series') line keeps of its points, drawn again at every paint.
    std::vector<POINT> m_columnPoints;

    // The 3D scene beyond the page: the camera, the faces and the mapping of the box.
    void LayoutBox3D(CDC* pDC, const CDrawTools& tools, float xmin, float ymin, float zmin,
                     float xmax, float ymax, float zmax);
    // True Proportions: one scale for both screen directions, the projected box centred.
    void FitProportions();
    // The ground's cells for the plot frame, asked of m_pGround; widens [zmin, zmax] to cover them.
    void FetchGround(float& zmin, float& zmax);
    // The ground's cells back to front, each filled with the brush of its shade.
    void DrawGround(CDC* pDC, const CDrawTools& tools);
    // The walls under the ground's edges that face the eye, from the edges down to the floor
    // zmin; after DrawGround, whose projected corners they share.
    void DrawGroundWalls(CDC* pDC, const CDrawTools& tools, float zmin);
    void DrawGroundWall(CDC* pDC, CBrush* pBrush, int nWall, float zmin);
    // Corner k along a wall: on the ground's edge (as DrawGround projected it), and on the floor.
    POINT WallEdgePoint(int nWall, int k) const;
    POINT WallFloorPoint(int nWall, int k, float zmin) const;
    // The track over the ground: where the ground hides it from the eye, with the lighter pen.
    void DrawTrackOverGround(CDC* pDC, const CDrawTools& tools, float zmin, float zmax);
    CGroundGrid m_ground;
    std::vector<POINT> m_groundCorners;
    std::vector<std::uint8_t> m_trackSteps;
};
