// Zoom and scroll geometry: the rubber-band zoom, the zoom command's centre and the scroll
// position computed after a drawing.
#include "CDrawTools.h"
#include "CPlot.h"
#include "CRecordingDC.h"
#include "DrawToolNames.h"
#include "TestTracks.h"

#include <gtest/gtest.h>

namespace {

class PlotZoomTest : public testing::Test {
protected:
    PlotZoomTest() : m_track(SampleTrack()) { m_plot.FillElevation(*m_track); }

    // Draws once at the current zoom on a window of 800 x 600, so that a mapping is in force.
    void DrawOnce() { m_plot.Draw2D(&m_dc, m_tools); }

    float ZoomFor(RECT band, float zoom) {
        m_plot.m_fZoom = zoom;
        m_plot.m_tracker.m_rect = band;
        m_plot.m_bZoomRect = 1;
        m_plot.ZoomToRect(&m_dc);
        EXPECT_EQ(0, m_plot.m_bZoomRect);
        return m_plot.m_fZoom;
    }

    CDrawTools m_tools;
    std::unique_ptr<CTrack> m_track;
    CPlot m_plot;
    CRecordingDC m_dc = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
};

TEST_F(PlotZoomTest, RubberBandFillsTheWindowWhereItFitsFirst) {
    // 200 x 100 on 800 x 600: 4 across, 6 down; the smaller wins.
    EXPECT_EQ(4.0f, ZoomFor({100, 100, 300, 200}, 1.0f));
    // Dragged up and to the left: the same band.
    EXPECT_EQ(4.0f, ZoomFor({300, 200, 100, 100}, 1.0f));
    // Equal ratios.
    EXPECT_EQ(4.0f, ZoomFor({0, 0, 200, 150}, 1.0f));
    // 300 x 250: 2.666.. across, 2.4 down.
    EXPECT_EQ(2.4f, ZoomFor({0, 0, 300, 250}, 1.0f));
    // 300 x 200: 2.666.. across, 3 down.
    EXPECT_EQ(2.6666667f, ZoomFor({0, 0, 300, 200}, 1.0f));
    // The factor multiplies the zoom in force, up to 8.
    EXPECT_EQ(6.0f, ZoomFor({100, 100, 300, 200}, 1.5f));
    EXPECT_EQ(8.0f, ZoomFor({100, 100, 300, 200}, 2.0f));
    EXPECT_EQ(8.0f, ZoomFor({100, 100, 300, 200}, 3.0f));
}

TEST_F(PlotZoomTest, RubberBandCentreIsTakenInLogicalUnits) {
    DrawOnce();
    const float xScale = m_plot.m_fXScale, xOffset = m_plot.m_fXOffset;
    const float yScale = m_plot.m_fYScale, yOffset = m_plot.m_fYOffset;
    m_dc.SetViewportOrg(-120, -80); // scrolled to (120, 80)
    ZoomFor({100, 100, 300, 200}, 1.0f);
    const RECT& r = m_plot.m_tracker.m_rect;
    EXPECT_EQ(220, r.left);
    EXPECT_EQ(180, r.top);
    EXPECT_EQ(420, r.right);
    EXPECT_EQ(280, r.bottom);
    // The band's middle (320, 230) in chart values: about 0.8800 miles and 778.70 ft.
    EXPECT_EQ(static_cast<float>((320.0 - xOffset) / xScale), m_plot.m_fCenterX);
    EXPECT_EQ(static_cast<float>((230.0 - yOffset) / yScale), m_plot.m_fCenterY);
    EXPECT_NEAR(0.8800, m_plot.m_fCenterX, 1e-4);
    EXPECT_NEAR(778.70, m_plot.m_fCenterY, 1e-2);
}

TEST_F(PlotZoomTest, ZoomCommandKeepsTheMiddleOfTheWindowInTheMiddle) {
    DrawOnce();
    const float xScale = m_plot.m_fXScale, xOffset = m_plot.m_fXOffset;
    const float yScale = m_plot.m_fYScale, yOffset = m_plot.m_fYOffset;
    m_plot.UpdateScrollPos(&m_dc);

    // Zoom In at scroll position (0, 0): the value at logical (400, 300) is remembered before the
    // page doubles.
    m_plot.m_fZoom = 2.0f;
    m_plot.m_bRecenter = 1;
    DrawOnce();
    EXPECT_EQ(static_cast<float>((400.0 - xOffset) / xScale), m_plot.m_fCenterX);
    EXPECT_EQ(static_cast<float>((300.0 - yOffset) / yScale), m_plot.m_fCenterY);
    EXPECT_EQ(1600, m_plot.m_sizeTotal.cx);
    EXPECT_EQ(1200, m_plot.m_sizeTotal.cy);
    EXPECT_EQ(1, m_plot.m_bRecenter) << "kept until the scroll position is computed";

    EXPECT_NE(0, m_plot.UpdateScrollPos(&m_dc));
    EXPECT_EQ(0, m_plot.m_bRecenter);
    // The remembered point on the doubled page, less half the client area.
    const int sx =
        static_cast<int>(double(m_plot.m_fXScale) * m_plot.m_fCenterX + m_plot.m_fXOffset + 0.5);
    const int sy =
        static_cast<int>(double(m_plot.m_fYScale) * m_plot.m_fCenterY + m_plot.m_fYOffset + 0.5);
    EXPECT_EQ(sx - 400, m_plot.m_ptScroll.x);
    EXPECT_EQ(sy - 300, m_plot.m_ptScroll.y);
    EXPECT_EQ(408, m_plot.m_ptScroll.x);
    EXPECT_EQ(311, m_plot.m_ptScroll.y);
}

TEST_F(PlotZoomTest, RubberBandZoomAppliedByTheNextLayout) {
    DrawOnce();
    const float xScale = m_plot.m_fXScale, xOffset = m_plot.m_fXOffset;
    m_plot.m_tracker.m_rect = {100, 100, 300, 200};
    m_plot.m_bZoomRect = 1;
    m_plot.m_bRecenter = 1; // both pending: the band's centre wins
    DrawOnce();
    EXPECT_EQ(4.0f, m_plot.m_fZoom);
    EXPECT_EQ(0, m_plot.m_bZoomRect);
    EXPECT_EQ(3200, m_plot.m_sizeTotal.cx);
    EXPECT_EQ(2400, m_plot.m_sizeTotal.cy);
    EXPECT_EQ(static_cast<float>((200.0 - xOffset) / xScale), m_plot.m_fCenterX);
    m_plot.UpdateScrollPos(&m_dc);
    const int sx =
        static_cast<int>(double(m_plot.m_fXScale) * m_plot.m_fCenterX + m_plot.m_fXOffset + 0.5);
    EXPECT_EQ(sx - 400, m_plot.m_ptScroll.x);
}

TEST_F(PlotZoomTest, PrinterDrawingLeavesRequestsAndScrollPositionAlone) {
    DrawOnce();
    m_plot.m_fZoom = 2.0f;
    m_plot.m_bRecenter = 1;
    m_plot.m_bZoomRect = 1;
    m_plot.m_tracker.m_rect = {100, 100, 300, 200};
    m_plot.m_ptScroll = {17, 23};
    m_plot.m_fCenterX = 1.5f;
    CRecordingDC printer = CRecordingDC::Printer(600, 4800, 6600, DrawToolNames(m_tools));
    m_plot.Draw2D(&printer, m_tools);
    EXPECT_EQ(0, m_plot.UpdateScrollPos(&printer));
    m_plot.Recenter(&printer);
    m_plot.ZoomToRect(&printer);
    EXPECT_EQ(1, m_plot.m_bRecenter);
    EXPECT_EQ(1, m_plot.m_bZoomRect);
    EXPECT_EQ(2.0f, m_plot.m_fZoom);
    EXPECT_EQ(1.5f, m_plot.m_fCenterX);
    EXPECT_EQ(17, m_plot.m_ptScroll.x);
    EXPECT_EQ(23, m_plot.m_ptScroll.y);
    EXPECT_EQ(100, m_plot.m_tracker.m_rect.left);
}

TEST_F(PlotZoomTest, FlatBandIsDroppedWithoutChangingTheZoom) {
    EXPECT_EQ(1.0f, ZoomFor({100, 100, 100, 200}, 1.0f));
    EXPECT_EQ(1.0f, ZoomFor({100, 100, 300, 100}, 1.0f));
}

} // namespace
