// The SVG surface: the elevation chart of a sample track as a document, the mapping of the
// surface's calls to SVG elements, and the reading of text calls it shares with the Qt surface.
#include "CSvgDC.h"
#include "CDrawTools.h"
#include "CMapSourceFormat.h"
#include "CPlot.h"
#include "CRecordingDC.h"
#include "CTrack.h"
#include "DrawToolNames.h"
#include "TestTracks.h"
#include "TextLayout.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

const std::string kHill = std::string(VORLAN_TEST_DATA) + "/chart/hill.txt";

std::vector<std::smatch> FindAll(const std::string& doc, const std::regex& re) {
    std::vector<std::smatch> found;
    for (auto it = std::sregex_iterator(doc.begin(), doc.end(), re); it != std::sregex_iterator();
         ++it)
        found.push_back(*it);
    return found;
}

int Count(const std::string& doc, const std::string& what) {
    int n = 0;
    for (std::size_t at = doc.find(what); at != std::string::npos; at = doc.find(what, at + 1))
        ++n;
    return n;
}

class SvgDCTest : public testing::Test {
protected:
    CDrawTools m_tools;
};

TEST_F(SvgDCTest, ElevationChartOfASampleTrack) {
    auto track = std::make_unique<CTrack>();
    CMapSourceFormat format;
    ASSERT_TRUE(ImportTrackFile(kHill, *track, format).Ok());
    ASSERT_EQ(14, track->m_nCount);
    CPlot plot;
    plot.FillElevation(*track);
    CSvgDC svg = CSvgDC::Screen(96, 800, 600);
    plot.Draw2D(&svg, m_tools);
    const std::string doc = svg.Document(plot.m_sizeTotal);
    CRecordingDC rec = CRecordingDC::Screen(96, 800, 600, DrawToolNames(m_tools));
    plot.Draw2D(&rec, m_tools);

    EXPECT_EQ(0u, doc.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0));
    EXPECT_NE(std::string::npos, doc.find(" width=\"800\" height=\"600\" viewBox=\"0 0 800 600\""));
    EXPECT_EQ(doc.size() - 7, doc.rfind("</svg>\n"));

    // The frame is the one rectangle: thin black outline, white fill.
    EXPECT_EQ(1, Count(doc, "<rect "));
    EXPECT_NE(std::string::npos,
              doc.find("<rect x=\"30\" y=\"37\" width=\"725\" height=\"507\" "
                       "stroke=\"#000000\" stroke-width=\"1\" fill=\"#FFFFFF\"/>"));

    // Every text of the drawing, in order, at its logical reference point.
    const std::vector<std::smatch> texts =
        FindAll(doc, std::regex("<text x=\"(-?\\d+)\" y=\"(-?\\d+)\"[^>]*>([^<]*)</text>"));
    const std::vector<std::string> outs = rec.Lines("TextOut");
    ASSERT_EQ(outs.size(), texts.size());
    for (std::size_t i = 0; i < outs.size(); ++i) {
        const std::string expected = "TextOut " + texts[i][1].str() + " " + texts[i][2].str();
        EXPECT_EQ(0u, outs[i].rfind(expected, 0)) << outs[i];
        std::string quoted(1, '"');
        quoted.append(texts[i][3].str()).push_back('"');
        EXPECT_NE(std::string::npos, outs[i].find(quoted)) << outs[i];
    }

    // Tick labels: 0.0 .. 3.0 miles under the frame, 410 .. 1210 ft right of it.
    std::string xLabels, yLabels;
    for (const std::smatch& t : texts) {
        if (t[2] == "547" && t.str().find("text-anchor=\"middle\"") != std::string::npos)
            xLabels += t[3].str() + " ";
        if (t[1] == "758")
            yLabels += t[3].str() + " ";
    }
    EXPECT_EQ("0.0 0.5 1.0 1.5 2.0 2.5 3.0 ", xLabels);
    EXPECT_EQ("410 510 610 710 810 910 1010 1110 1210 ", yLabels);
    // Titles: the chart title above the frame, the y-axis title turned to run upward left of the
    // frame in the serif face.
    EXPECT_NE(std::string::npos,
              doc.find("<text x=\"392\" y=\"34\" font-family=\"sans-serif\" font-size=\"13\" "
                       "fill=\"#000000\" text-anchor=\"middle\" "
                       "dominant-baseline=\"text-after-edge\">Elevation vs Distance (2.74 "
                       "miles)</text>"));
    EXPECT_NE(std::string::npos,
              doc.find("<text x=\"27\" y=\"290\" font-family=\"serif\" font-size=\"11\" "
                       "fill=\"#000000\" text-anchor=\"middle\" "
                       "dominant-baseline=\"text-after-edge\" transform=\"rotate(-90 27 290)\">"
                       "Elevation, ft</text>"));

    // One polyline per run: 5 + 7 inner grid lines, then legend sample and series of 14 points
    // for each of the two series.
    const std::vector<std::smatch> lines =
        FindAll(doc, std::regex("<polyline stroke=\"(#[0-9A-F]{6})\" stroke-width=\"(\\d+)\"[^>]*"
                                "points=\"([^\"]*)\"/>"));
    ASSERT_EQ(rec.Lines("MoveTo").size(), lines.size());
    ASSERT_EQ(16u, lines.size());
    std::vector<std::string> colours, expected(12, "#00FF00");
    for (const std::smatch& line : lines)
        colours.push_back(line[1]);
    expected.insert(expected.end(), {"#FF0000", "#FF0000", "#0000FF", "#0000FF"});
    EXPECT_EQ(expected, colours);
    EXPECT_EQ("30,589 56,589", lines[12][3]);
    EXPECT_EQ(0u, lines[13][3].str().rfind("29,542 ", 0));
    EXPECT_EQ(13, Count(lines[13][3], " "));
    EXPECT_EQ(13, Count(lines[15][3], " "));
}

// The document is as large as the page; the printer's title font has the device's default
// size, 10 points: 83 dots at 600 dpi.
TEST_F(SvgDCTest, PrintedPage) {
    auto track = SampleTrack();
    CPlot plot;
    plot.FillElevation(*track);
    CSvgDC paper = CSvgDC::Printer(600, 4800, 6600);
    plot.Draw2D(&paper, m_tools);
    const std::string doc = paper.Document(plot.m_sizeTotal);
    EXPECT_NE(std::string::npos, doc.find("width=\"4800\" height=\"6600\""));
    EXPECT_NE(std::string::npos, doc.find("font-family=\"serif\" font-size=\"83\""));
}

TEST_F(SvgDCTest, LongSeriesIsOnePolyline) {
    std::vector<float> x(10000), y(10000);
    for (int i = 0; i < 10000; ++i) {
        x[i] = i * 0.001f;
        y[i] = static_cast<float>(i % 200);
    }
    CPlot plot;
    plot.m_pX[0] = x.data();
    plot.m_pY[0] = y.data();
    plot.m_nPoints[0] = 10000;
    plot.m_nSeries = 1;
    CSvgDC svg = CSvgDC::Screen(96, 800, 600);
    plot.Draw2D(&svg, m_tools);
    const std::string doc = svg.Document(plot.m_sizeTotal);
    // std::regex recurses per character, so the long element is looked at with find.
    ASSERT_EQ(2, Count(doc, "<polyline stroke=\"#FF0000\"")) << "legend sample and series";
    const std::size_t series = doc.rfind("<polyline stroke=\"#FF0000\"");
    const std::size_t points = doc.find("points=\"", series) + 8;
    const std::string list = doc.substr(points, doc.find('"', points) - points);
    EXPECT_EQ(9999, Count(list, " "));
}

TEST_F(SvgDCTest, CallsBecomeElements) {
    CSvgDC svg = CSvgDC::Printer(300, 1000, 800);
    // Without a pen: thin black.
    svg.MoveTo(1, 2);
    svg.LineTo(3, 4);
    // A new pen ends the run; the dotted pen is dashed.
    svg.SelectObject(m_tools.m_pPen[6]);
    svg.LineTo(5, 6);
    svg.LineTo(7, 8);
    // A MoveTo alone draws nothing.
    svg.MoveTo(100, 100);
    CRgn rgn;
    const POINT pts[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    rgn.CreatePolygonRgn(pts, 4, ALTERNATE);
    svg.FillRgn(&rgn, m_tools.m_pBrush[7]);
    svg.SelectObject(m_tools.m_pBrush[3]);
    svg.Rectangle(50, 60, 20, 10);
    svg.SetTextAlign(TA_CENTER | TA_BOTTOM);
    svg.TextOut(5, 6, "a<b & \"c\"", 9);
    svg.SelectObject(&m_tools.m_fontScreen);
    svg.SetTextAlign(TA_LEFT | TA_TOP);
    svg.TextOut(7, 8, "xyz", 2);
    // No characters: no element.
    svg.TextOut(9, 9, "abc", 0);
    svg.TextOut(9, 9, nullptr, 3);

    const std::string doc = svg.Document(CSize{1000, 800});
    const std::string body = doc.substr(doc.find(">\n", doc.find("<svg ")) + 2);
    EXPECT_EQ(
        "<polyline stroke=\"#000000\" stroke-width=\"1\" fill=\"none\" stroke-linejoin=\"round\" "
        "stroke-linecap=\"round\" points=\"1,2 3,4\"/>\n"
        "<polyline stroke=\"#00FF00\" stroke-width=\"1\" stroke-dasharray=\"2 2\" fill=\"none\" "
        "stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"3,4 5,6 7,8\"/>\n"
        "<polygon points=\"0,0 10,0 10,10 0,10\" fill=\"#C8FFFF\" fill-rule=\"evenodd\" "
        "stroke=\"none\"/>\n"
        "<rect x=\"20\" y=\"10\" width=\"30\" height=\"50\" stroke=\"#00FF00\" stroke-width=\"1\" "
        "stroke-dasharray=\"2 2\" fill=\"#800000\"/>\n"
        "<text x=\"5\" y=\"6\" font-family=\"sans-serif\" font-size=\"41\" fill=\"#000000\" "
        "text-anchor=\"middle\" dominant-baseline=\"text-after-edge\">a&lt;b &amp; "
        "&quot;c&quot;</text>\n"
        "<text x=\"7\" y=\"8\" font-family=\"serif\" font-size=\"11\" fill=\"#000000\" "
        "text-anchor=\"start\" dominant-baseline=\"text-before-edge\" "
        "transform=\"rotate(-90 7 8)\">xy</text>\n"
        "</svg>\n",
        body);
}

// Both surfaces read a text call the same way.
TEST(TextLayoutTest, AlignmentCountAndFontSize) {
    struct Row {
        UINT nFlags;
        TextAnchor anchor;
        TextLine line;
    };
    const Row rows[] = {
        {TA_LEFT | TA_TOP, TextAnchor::Left, TextLine::Top},
        {TA_RIGHT | TA_TOP, TextAnchor::Right, TextLine::Top},
        {TA_CENTER | TA_BOTTOM, TextAnchor::Centre, TextLine::Bottom},
        {TA_RIGHT | TA_BASELINE, TextAnchor::Right, TextLine::Baseline},
        {TA_CENTER | TA_BASELINE | 1u, TextAnchor::Centre, TextLine::Baseline},
    };
    for (const Row& row : rows) {
        const TextAlignment align = DecodeTextAlign(row.nFlags);
        EXPECT_EQ(align.anchor, row.anchor) << row.nFlags;
        EXPECT_EQ(align.line, row.line) << row.nFlags;
    }

    EXPECT_EQ(TextLength("abc", 2), 2);
    EXPECT_EQ(TextLength("abc", -1), 0);
    EXPECT_EQ(TextLength(nullptr, 3), 0);

    CFont font;
    EXPECT_EQ(DecodeFontHeight(&font).nHeight, 0) << "a font never created is no font";
    font.CreateFont(-12, 0, 900, 900, 400, 0, 0, 0, 1, 5, 0, 2, 0, "Roman");
    EXPECT_EQ(DecodeFontHeight(&font).nHeight, 12);
    EXPECT_FALSE(DecodeFontHeight(&font).bCell);
    EXPECT_EQ(TextAngle(&font), 90.0);
    font.m_logfont.lfHeight = 11;
    EXPECT_EQ(DecodeFontHeight(&font).nHeight, 11);
    EXPECT_TRUE(DecodeFontHeight(&font).bCell);
    font.DeleteObject();
    EXPECT_EQ(DecodeFontHeight(&font).nHeight, 0);
    EXPECT_EQ(TextAngle(&font), 0.0);
}

} // namespace
