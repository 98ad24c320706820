#include "CPlotExporter.h"

#include "CAtomicFile.h"
#include "CPlot.h"
#include "CPrintFile.h"
#include "CQtDC.h"
#include "CSvgDC.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "LocalPath.h"
#include "UnitsAndEarth.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace {
constexpr double kPointsPerInch = 72.0;

// The window the plot is laid out for: only its client size matters.
class ExportWnd : public CWnd {
public:
    explicit ExportWnd(QSize size) : m_size(size) {}
    void GetClientRect(RECT* lpRect) const override {
        *lpRect = RECT{0, 0, m_size.width(), m_size.height()};
    }

private:
    QSize m_size;
};

} // namespace

CPlotExporter::Format CPlotExporter::FormatOf(const QString& strPath) {
    const QString suffix = QFileInfo(strPath).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Format::png;
    if (suffix == QLatin1String("svg"))
        return Format::svg;
    if (suffix == QLatin1String("pdf"))
        return Format::pdf;
    return Format::none;
}

CPlotExporter::CPlotExporter(CVorlanDoc& doc, CPlot& plot, short nMode, QSize sizeClient, int nDpi)
    : m_doc(doc), m_plot(plot), m_nMode(nMode), m_sizeClient(sizeClient), m_nDpi(nDpi) {}

void CPlotExporter::Draw(CDC* pDC) {
    CPlot& plot = m_plot;
    const CDrawTools& tools = VorlanApp()->m_tools;
    if (m_nMode == CVorlanDoc::kPlotElevation)
        plot.Draw2D(pDC, tools);
    else if (m_nMode == CVorlanDoc::kPlot3D)
        plot.Draw3D(pDC, tools);
}

// vorlan-cli render's surface for a window of this client size.
std::string CPlotExporter::Svg() {
    const RECT client{0, 0, m_sizeClient.width(), m_sizeClient.height()};
    CSvgDC dc(m_nDpi, m_nDpi, client.right, client.bottom, 0, &client);
    Draw(&dc);
    return dc.Document(m_plot.m_sizeTotal);
}

QSize CPlotExporter::PageSize() {
    const CSize size = CPlot::ScreenPageSize(m_nDpi, m_nDpi, m_sizeClient.width(),
                                             m_sizeClient.height(), m_plot.m_fZoom);
    return QSize(size.cx, size.cy);
}

// A picture of the whole zoomed page can be far larger than any screen (a 16x zoom of a
// 2000 x 2000 window is 32000 x 32000 pixels, 4 GB): past kMaxImagePixels it is refused before
// anything is drawn, with its size.
QString CPlotExporter::TooLargeText(int nScale) {
    const QSize size = PageSize() * nScale;
    if (static_cast<qint64>(size.width()) * size.height() <= kMaxImagePixels)
        return QString();
    return QStringLiteral("The image would be %1 x %2 pixels, too large to make; choose a smaller "
                          "scale, size or zoom.")
        .arg(size.width())
        .arg(size.height());
}

// The plot is laid out in logical units at the window's resolution, and the painter scales it
// onto the larger image: the picture of the screen, only finer.
QImage CPlotExporter::Image(int nScale) {
    const QSize page = PageSize();
    QImage image(page * nScale, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDotsPerMeterX(qRound(m_nDpi / kMetresPerInch));
    image.setDotsPerMeterY(qRound(m_nDpi / kMetresPerInch));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(nScale, nScale);
    ExportWnd wnd(m_sizeClient);
    {
        CQtDC dc(&painter, &wnd, 0);
        Draw(&dc);
    }
    return image;
}

QString CPlotExporter::Save(const QString& strPath, int nScale) {
    // The document's own file or its track file is never replaced by its picture, a read-only
    // file only when the user agrees; a "no" is no failure.
    if (QString error; !m_doc.MayExportTo(strPath, &error))
        return error;
    CFileResult result;
    switch (FormatOf(strPath)) {
    case Format::png: {
        const QString tooLarge = TooLargeText(nScale);
        if (!tooLarge.isEmpty())
            return AbsolutePath(strPath) + QLatin1Char('\n') + tooLarge;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!Image(nScale).save(&buffer, "PNG"))
            return AbsolutePath(strPath) + QStringLiteral("\nThe image could not be encoded.");
        result = CAtomicFile::Replace(LocalPath(strPath), bytes.toStdString());
        break;
    }
    case Format::svg:
        result = CAtomicFile::Replace(LocalPath(strPath), Svg());
        break;
    case Format::pdf:
        return SavePdf(strPath);
    case Format::none:
        return AbsolutePath(strPath) + QStringLiteral("\nName a .png, .svg or .pdf file.");
    }
    return result.Ok() ? QString() : CVorlanDoc::ErrorText(strPath, result);
}

// One page of exactly the plot's size, at the window's resolution, drawn as on screen.
QString CPlotExporter::SavePdf(const QString& strPath) {
    const QSize page = PageSize();
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(AbsolutePath(strPath));
    printer.setResolution(m_nDpi);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(
        QSizeF(page.width() * kPointsPerInch / m_nDpi, page.height() * kPointsPerInch / m_nDpi),
        QPageSize::Point));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    // Titled after the document, as a printed PDF is.
    printer.setDocName(m_doc.GetTitle());
    CPrintFile file(&printer);
    const QString strError = file.Begin();
    if (!strError.isEmpty())
        return strError;
    QPainter painter;
    bool bPainted = painter.begin(&printer);
    if (bPainted) {
        ExportWnd wnd(m_sizeClient);
        {
            CQtDC dc(&painter, &wnd, 0);
            Draw(&dc);
        }
        bPainted = painter.end();
    }
    return file.Finish(bPainted);
}
