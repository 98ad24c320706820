// The drawing surface over QPainter: device capabilities, origin, pens, rectangles, region fill,
// text alignment, background mode and the palette's fonts.
#include "CDrawTools.h"
#include "CQtDC.h"
#include "CRecordingDC.h"
#include "ClippedPolyline.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {
class Client : public CWnd {
public:
    void GetClientRect(RECT* lpRect) const override { *lpRect = RECT{0, 0, 300, 200}; }
};

QImage White(int cx = 300, int cy = 200) {
    QImage image(cx, cy, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// The box around every pixel that is not white.
QRect Ink(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!IsWhite(image, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(QtDCTest, DeviceCapsComeFromThePaintDevice) {
    QImage image = White(640, 480);
    image.setDotsPerMeterX(4724); // 120 dpi
    image.setDotsPerMeterY(3780); // 96 dpi
    QPainter painter(&image);
    Client wnd;
    CQtDC dc(&painter, &wnd, 0);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 120);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 640);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 480);
    EXPECT_EQ(dc.GetWindow(), &wnd);
    EXPECT_EQ(dc.m_bPrinting, 0);
    CQtDC printer(&painter, nullptr, 1);
    EXPECT_EQ(printer.GetWindow(), nullptr);
    EXPECT_EQ(printer.m_bPrinting, 1);
}

// Logical = device - origin: with the origin at minus the scroll position (30, 40), logical
// (50, 60) lands on pixel (20, 20).
TEST(QtDCTest, ViewportOriginMovesTheDrawing) {
    QImage image = White();
    {
        QPainter painter(&image);
        CQtDC dc(&painter, nullptr, 0);
        dc.SetViewportOrg(-30, -40);
        POINT pt{20, 20};
        dc.DPtoLP(&pt);
        EXPECT_EQ(pt.x, 50);
        EXPECT_EQ(pt.y, 60);
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
        dc.SelectObject(&pen);
        dc.MoveTo(50, 60);
        dc.LineTo(60, 60);
    }
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));
    // As LineTo does, the line stops short of its end point.
    EXPECT_EQ(Ink(image), QRect(20, 20, 10, 1));
}

// A pen is as wide as the painter's scale makes it: an image exported at 3 times the window's
// size shows a 2-pixel line 6 pixels wide, the picture of the window only finer.
TEST(QtDCTest, PensScaleWithThePainterWithTheirWidthAndStyle) {
    QImage image = White();
    {
        QPainter painter(&image);
        painter.scale(3, 3);
        CQtDC dc(&painter, nullptr, 0);
        CPen wide, dotted;
        wide.CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
        dotted.CreatePen(PS_DOT, 1, RGB(0, 255, 0));
        dc.SelectObject(&wide);
        dc.MoveTo(10, 10);
        dc.LineTo(50, 10);
        dc.SelectObject(&dotted);
        dc.MoveTo(10, 40);
        dc.LineTo(80, 40);
    }
    int nBlueRows = 0;
    for (int y = 20; y < 40; ++y)
        nBlueRows += image.pixel(60, y) == qRgb(0, 0, 255);
    EXPECT_EQ(nBlueRows, 6);
    int nGreen = 0;
    for (int x = 30; x < 240; ++x)
        nGreen += image.pixel(x, 120) == qRgb(0, 255, 0);
    EXPECT_GT(nGreen, 30);
    EXPECT_LT(nGreen, 150);
}

// A 2-pixel pen is 2 pixels wide at 1x and 4 device pixels at 2x, and 25 dots on a 1200-dpi
// printer; a print preview replays that page at its zoom (here the page at 96 dpi), where the
// line is 2 pixels again, not a 25-pixel band. Smoothed lines blend into the background.
TEST(QtDCTest, PenWidthsFollowTheDevice) {
    struct Row {
        qreal fRatio;
        int nDpi;
        BOOL bPrinting;
        qreal fZoom;
        int nRows;
    };
    const Row rows[] = {
        {1, 96, 0, 1, 2}, {2, 96, 0, 1, 4}, {1, 1200, 1, 1, 25}, {1, 1200, 1, 96.0 / 1200, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.fRatio << "x " << r.nDpi << " dpi at " << r.fZoom);
        QImage image = White(static_cast<int>(100 * r.fRatio), static_cast<int>(100 * r.fRatio));
        image.setDevicePixelRatio(r.fRatio);
        image.setDotsPerMeterX(qRound(r.nDpi / 0.0254));
        image.setDotsPerMeterY(qRound(r.nDpi / 0.0254));
        {
            QPainter painter(&image);
            painter.scale(r.fZoom, r.fZoom);
            CQtDC dc(&painter, nullptr, r.bPrinting);
            CPen pen;
            pen.CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
            dc.SelectObject(&pen);
            dc.MoveTo(0, qRound(50 / r.fZoom));
            dc.LineTo(qRound(100 / r.fZoom), qRound(50 / r.fZoom));
        }
        int nRows = 0;
        for (int y = 0; y < image.height(); ++y)
            nRows += image.pixel(image.width() / 4, y) == qRgb(0, 0, 0);
        EXPECT_EQ(nRows, r.nRows);
    }

    QImage smooth = White();
    {
        QPainter painter(&smooth);
        CQtDC dc(&painter, nullptr, 0);
        dc.SetSmoothLines(true);
        CPen pen;
        pen.CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        dc.MoveTo(0, 0);
        dc.LineTo(290, 97);
    }
    int nGrey = 0;
    for (int y = 0; y < smooth.height(); ++y)
        for (int x = 0; x < smooth.width(); ++x)
            nGrey += qGray(smooth.pixel(x, y)) > 0 && qGray(smooth.pixel(x, y)) < 255;
    EXPECT_GT(nGrey, 100);
}

// Segments are drawn in batches: the last of many still arrives.
TEST(QtDCTest, LongPolylinesAreDrawnCompletely) {
    QImage image = White();
    {
        QPainter painter(&image);
        CQtDC dc(&painter, nullptr, 0);
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        dc.MoveTo(0, 0);
        for (int i = 1; i <= 1000; ++i)
            dc.LineTo(i % 2 ? 150 : 0, i / 5);
    }
    EXPECT_EQ(Ink(image), QRect(0, 0, 151, 200));
}

// A graph's line (a 2-pixel pen) cut to each pixel column's first, lowest, highest and last
// point draws the same pixels as the line through all of its 100000 points: at 1x, at a 2x
// screen, on a printer with its wide pens, and in a zoomed-in window that shows a part of the
// page.
TEST(QtDCTest, ColumnReducedLinesDrawTheSamePixelsAsEveryPoint) {
    std::mt19937 random(7);
    std::normal_distribution<double> step(0.0, 3.0);
    std::vector<POINT> points(100000);
    double y = 100;
    for (std::size_t i = 0; i < points.size(); ++i) {
        y = std::clamp(y + step(random), 5.0, 195.0);
        // Spikes and runs of one value, as a heart rate or a power meter gives them.
        const double v = i % 997 == 0 ? 190 : i % 331 < 40 ? std::round(y / 10) * 10 : y;
        points[i] = POINT{static_cast<int>(10 + i * 280 / points.size()), static_cast<int>(v)};
    }
    struct Row {
        qreal fRatio;
        BOOL bPrinting;
        bool bClip;
    };
    for (const Row& r : {Row{1, 0, false}, Row{2, 0, false}, Row{1, 1, false}, Row{1, 0, true}}) {
        SCOPED_TRACE(testing::Message() << r.fRatio << "x, printing " << r.bPrinting);
        std::vector<POINT> kept;
        const auto draw = [&](bool bReduce) {
            QImage image =
                White(static_cast<int>(300 * r.fRatio), static_cast<int>(200 * r.fRatio));
            image.setDevicePixelRatio(r.fRatio);
            image.setDotsPerMeterX(qRound((r.bPrinting ? 300 : 96) / 0.0254));
            QPainter painter(&image);
            if (r.bClip)
                painter.setClipRect(QRect(40, 30, 120, 90));
            CQtDC dc(&painter, nullptr, r.bPrinting);
            CPen pen;
            pen.CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
            dc.SelectObject(&pen);
            const auto at = [&](int i) { return points[i]; };
            if (bReduce)
                DrawColumnPolyline(&dc, static_cast<int>(points.size()), at, kept);
            else
                DrawClippedPolyline(&dc, static_cast<int>(points.size()), at);
            dc.Flush();
            painter.end();
            return image;
        };
        EXPECT_TRUE(draw(true) == draw(false));
        EXPECT_LE(kept.size(), 4u * 281);
    }
    // Found by bisection where x never decreases, the runs keep the very same points, from
    // a point a column (zoomed in) to hundreds.
    CRecordingDC recording = CRecordingDC::Screen(96, 300, 200);
    const auto same = [](POINT a, POINT b) { return a.x == b.x && a.y == b.y; };
    for (const int nPerColumn : {1, 3, 357}) {
        std::vector<POINT> byStep, byBisection;
        const int n = static_cast<int>(points.size());
        const auto x = [&](int i) { return i / nPerColumn; };
        const auto y = [&](int i) { return points[i].y; };
        const auto pointAt = [&](int i) { return POINT{x(i), y(i)}; };
        DrawColumnPolyline(&recording, n, pointAt, byStep);
        DrawAscendingColumnPolyline(&recording, n, x, y, byBisection);
        EXPECT_TRUE(
            std::equal(byStep.begin(), byStep.end(), byBisection.begin(), byBisection.end(), same))
            << nPerColumn;
    }
}

// The outline and interior stay inside left..right-1, top..bottom-1.
TEST(QtDCTest, RectangleExcludesRightAndBottomEdges) {
    QImage image = White();
    {
        QPainter painter(&image);
        CQtDC dc(&painter, nullptr, 0);
        CPen pen;
        CBrush brush;
        pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        brush.CreateSolidBrush(RGB(255, 255, 0));
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
        dc.Rectangle(10, 20, 30, 50);
    }
    EXPECT_EQ(Ink(image), QRect(10, 20, 20, 30));
    EXPECT_EQ(image.pixel(10, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(29, 49), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20, 30), qRgb(255, 255, 0));
}

TEST(QtDCTest, RegionFillUsesTheBrushAndNoOutline) {
    QImage image = White();
    {
        QPainter painter(&image);
        CQtDC dc(&painter, nullptr, 0);
        CBrush brush;
        brush.CreateSolidBrush(RGB(200, 255, 255));
        CRgn rgn;
        const POINT pts[4] = {{10, 10}, {110, 10}, {110, 60}, {10, 60}};
        rgn.CreatePolygonRgn(pts, 4, ALTERNATE);
        dc.FillRgn(&rgn, &brush);
    }
    EXPECT_EQ(image.pixel(60, 30), qRgb(200, 255, 255));
    const QRect ink = Ink(image);
    EXPECT_NEAR(ink.width(), 100, 1);
    EXPECT_NEAR(ink.height(), 50, 1);
}

// Text at (150, 100): TA_TOP puts the cell below the point, TA_BOTTOM above it, TA_CENTER
// centres it horizontally.
QRect TextInk(UINT nAlign, CFont* pFont = nullptr, int nBkMode = TRANSPARENT) {
    QImage image = White();
    {
        QPainter painter(&image);
        CQtDC dc(&painter, nullptr, 0);
        dc.SetTextAlign(nAlign);
        dc.SetBkMode(nBkMode);
        if (pFont)
            dc.SelectObject(pFont);
        dc.TextOut(150, 100, "Elevation", 9);
    }
    return Ink(image);
}

TEST(QtDCTest, TextAlignmentPlacesTheCell) {
    const QRect topLeft = TextInk(TA_LEFT | TA_TOP);
    EXPECT_GE(topLeft.left(), 150);
    EXPECT_GE(topLeft.top(), 100);
    const QRect bottom = TextInk(TA_LEFT | TA_BOTTOM);
    EXPECT_LT(bottom.bottom(), 100);
    const QRect centre = TextInk(TA_CENTER | TA_TOP);
    EXPECT_LT(centre.left(), 150);
    EXPECT_NEAR(centre.center().x(), 150, 2);
    EXPECT_NEAR(topLeft.width(), centre.width(), 1);
}

TEST(QtDCTest, OpaqueBackgroundFillsTheCell) {
    const QRect opaque = TextInk(TA_LEFT | TA_TOP, nullptr, OPAQUE);
    const QRect transparent = TextInk(TA_LEFT | TA_TOP, nullptr, TRANSPARENT);
    EXPECT_EQ(opaque, transparent); // the cell is white on white
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::blue);
    {
        QPainter painter(&image);
        CQtDC dc(&painter, nullptr, 0);
        dc.SetBkMode(OPAQUE);
        dc.TextOut(10, 10, "i", 1);
    }
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
}

// The palette's y-axis fonts run upward; the screen's is 11 logical units high.
TEST(QtDCTest, PaletteFontsAreRotatedAndSized) {
    CDrawTools tools;
    QImage image = White();
    QPainter painter(&image);
    CQtDC dc(&painter, nullptr, 0);
    const QFont screen = dc.QtFont(&tools.m_fontScreen);
    EXPECT_NEAR(QFontMetrics(screen, &image).height(), 11, 1);
    EXPECT_EQ(screen.styleHint(), QFont::Serif);
    const QFont printer = dc.QtFont(&tools.m_fontPrinter);
    EXPECT_EQ(printer.pointSizeF(), QGuiApplication::font().pointSizeF());
    EXPECT_EQ(dc.QtFont(nullptr), QGuiApplication::font());
    painter.end();

    const QRect upward = TextInk(TA_LEFT | TA_TOP, &tools.m_fontScreen);
    EXPECT_GT(upward.height(), upward.width());
    EXPECT_LE(upward.bottom(), 100);
    EXPECT_GE(upward.left(), 150);
}
} // namespace
