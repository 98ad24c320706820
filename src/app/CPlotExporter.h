// Export Image, Copy and the --export switch: draws a document's plot as the screen shows it (the
// page laid out for a window of the given client size, in its zoom, angles and units, without
// the cursor readout) as a PNG image, an SVG drawing (the same as vorlan-cli render's) or a PDF
// page, and writes the file through the safe replacement. Used by the chart view and the
// application's command line.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <string>

class CDC;
class CPlot;
class CVorlanDoc;

class CPlotExporter {
public:
    enum class Format { none, png, svg, pdf };
    // The scales an image can be exported at, times the window's size.
    static constexpr int kScales[] = {1, 2, 4};
    // The resolution of a drawing that no screen gives one (the command line's): vorlan-cli's.
    static constexpr int kDefaultDpi = 96;

    // The format that a file name's extension asks for (any case).
    static Format FormatOf(const QString& strPath);

    // Draws plot, a pane's chart of doc, showing nMode (CVorlanDoc::kPlotElevation or kPlot3D).
    CPlotExporter(CVorlanDoc& doc, CPlot& plot, short nMode, QSize sizeClient, int nDpi);

    // The page in logical units: the client size, enlarged by the zoom, at least the chart's
    // smallest page.
    QSize PageSize();
    // The most pixels an exported or copied image may have (400 MB of memory).
    static constexpr qint64 kMaxImagePixels = 100'000'000;
    // Why the page cannot be made an image nScale times as large (its size), or an empty
    // string when it can.
    QString TooLargeText(int nScale);
    // The page as an image, nScale times as many pixels each way; TooLargeText first.
    QImage Image(int nScale);
    // The page as an SVG document.
    std::string Svg();
    // Writes strPath in the format of its extension (a PNG at nScale); returns the message that
    // says why it failed, or an empty string.
    QString Save(const QString& strPath, int nScale);

private:
    void Draw(CDC* pDC);
    QString SavePdf(const QString& strPath);

    CVorlanDoc& m_doc;
    CPlot& m_plot;
    short m_nMode;
    QSize m_sizeClient;
    int m_nDpi;
};
