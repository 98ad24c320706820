// Printing: the one page on a PDF printer from the command line and from the document (page
// count and size from pdfinfo, the frame and the series on the page rendered by pdftoppm), the
// print dialog, Print Setup, the print preview, and what printing leaves of the view's state.
#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CExportDlg.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CPlot.h"
#include "CPrintSetupDlg.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {
bool HavePoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

QString Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// One field of pdfinfo's report, such as "Pages" or "Page size".
QString PdfField(const QString& pdf, const QString& field) {
    for (const QString& line : Run(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return QString();
}

// The first page at 72 dots per inch (a pixel per point), without antialiasing so that lines
// finer than a pixel keep their colour.
QImage RenderPage(const QString& pdf) {
    const QString prefix = pdf + QStringLiteral("-page");
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-aa"), QStringLiteral("no"),
         QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-png"),
         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
         prefix});
    return QImage(prefix + QStringLiteral("-1.png")).convertToFormat(QImage::Format_RGB32);
}

// Where the frame of the printed page lies on the sheet, in points: 25 mm in from the left,
// right and top of the printable area and 0.618 times as tall as it is wide, computed in
// printer dots as the layout does.
QRect PrintedFrame(QPrinter& printer) {
    const double px = printer.logicalDpiX() * static_cast<double>(0.03937008f);
    const int m = static_cast<int>(25 * px);
    const int right = printer.width() - m;
    const int bottom = m + static_cast<int>(static_cast<double>(0.618f) * (right - m));
    const double k = 72.0 / printer.logicalDpiX();
    const QPointF origin = printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
    return QRect(QPoint(qRound(origin.x() + m * k), qRound(origin.y() + m * k)),
                 QPoint(qRound(origin.x() + right * k), qRound(origin.y() + bottom * k)));
}

// Pixels of colour c in the rectangle r (clipped to the image).
int Count(const QImage& image, const QRect& r, QRgb c) {
    int n = 0;
    const QRect clipped = r.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
    return n;
}

// Pixels of the image whose colour is mostly the given channel's (one of 0xFF0000, 0xFF00,
// 0xFF): smoothed lines in a preview blend their edges, so no exact colour is asked for.
int CountMostly(const QImage& image, QRgb channel) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int c = channel == 0xFF0000 ? qRed(p) : channel == 0xFF00 ? qGreen(p) : qBlue(p);
            const int others = qRed(p) + qGreen(p) + qBlue(p) - c;
            n += c > 150 && others < 200;
        }
    return n;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kFloor = qRgb(200, 255, 255);

// The edges of frame, each a band 3 points wide, and its inside.
QRect LeftEdge(const QRect& f) {
    return QRect(f.left() - 1, f.top() + 2, 3, f.height() - 4);
}
QRect RightEdge(const QRect& f) {
    return QRect(f.right() - 1, f.top() + 2, 3, f.height() - 4);
}
QRect TopEdge(const QRect& f) {
    return QRect(f.left() + 2, f.top() - 1, f.width() - 4, 3);
}
QRect BottomEdge(const QRect& f) {
    return QRect(f.left() + 2, f.bottom() - 1, f.width() - 4, 3);
}

// The smallest rectangle holding every pixel of colour c.
QRect Bounds(const QImage& image, QRgb c) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF))
                r |= QRect(x, y, 1, 1);
    return r;
}

// Checks a printed 3D view: the projected box fills the frame exactly, so its green edges reach
// all four sides of it and no further; the blue track and the floor lie inside.
void Expect3DPage(const QImage& page, const QRect& frame) {
    const QRect box = Bounds(page, kGreen);
    EXPECT_NEAR(box.left(), frame.left(), 1);
    EXPECT_NEAR(box.right(), frame.right(), 1);
    EXPECT_NEAR(box.top(), frame.top(), 1);
    EXPECT_NEAR(box.bottom(), frame.bottom(), 1);
    EXPECT_GT(Count(page, frame, kBlue), 100);
    EXPECT_TRUE(frame.adjusted(-2, -2, 2, 2).contains(Bounds(page, kBlue)));
    EXPECT_GT(Count(page, frame, kFloor), 20);
}

// Files written past this many bytes fail (EFBIG) as on a full disk; a page is several times
// larger.
constexpr rlim_t kFullDiskBytes = 8192;

// Makes the calling process write files as onto a full disk. The signal the kernel sends for
// such a write is ignored, so that the write reports the error instead.
void FillTheDisk() {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = kFullDiskBytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

// The disk of this process is full while this lives.
class FullDisk {
public:
    FullDisk() : m_pOldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        FillTheDisk();
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_pOldHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    void (*m_pOldHandler)(int);
    rlimit m_old{};
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The temporary files left in folder.
QStringList TemporaryFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".vorlan-*")}, QDir::Files | QDir::Hidden);
}

class PrintTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        // The session's printer writes A4 PDF files here, whatever an earlier test chose.
        QPrinter* pPrinter = VorlanApp()->GetPrinter();
        pPrinter->setOutputFormat(QPrinter::PdfFormat);
        pPrinter->setPageSize(QPageSize(QPageSize::A4));
        pPrinter->setPageOrientation(QPageLayout::Portrait);
        pPrinter->setCopyCount(1);
        m_strPdf = m_dir.filePath(QStringLiteral("page.pdf"));
        pPrinter->setOutputFileName(m_strPdf);
    }
    CPlot* Plot() { return View()->Plot(); }
    QPrinter* Printer() { return VorlanApp()->GetPrinter(); }
    // A saved document of the sample track.
    QString SaveSample() {
        ImportSample(400);
        const QString path = m_dir.filePath(QStringLiteral("sample.vrl"));
        EXPECT_TRUE(Doc()->DoSave(path));
        return path;
    }

    QString m_strPdf;
};

TEST_F(PrintTest, CommandLinePrintsOnePageToAPdfFile) {
    if (!HavePoppler())
        GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are needed";
    const QString doc = SaveSample();
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    QString error;
    ASSERT_EQ(RunVorlan({QStringLiteral("--print-to"), pdf, doc}, m_dir.path(), &error), 0)
        << qPrintable(error);
    EXPECT_EQ(PdfField(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    EXPECT_EQ(PdfField(pdf, QStringLiteral("Page size")), QStringLiteral("595 x 842 pts (A4)"));
    // The program's printer is an A4 PDF printer at high resolution like this one.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QImage page = RenderPage(pdf);
    ASSERT_EQ(page.size(), QSize(595, 842));
    Expect3DPage(page, PrintedFrame(printer));
}

TEST_F(PrintTest, CommandLinePrintFailuresEndWithAnError) {
    const QString doc = SaveSample();
    QString error;
    const QString missing = m_dir.filePath(QStringLiteral("missing.vrl"));
    EXPECT_EQ(
        RunVorlan({QStringLiteral("--print-to"), m_dir.filePath(QStringLiteral("a.pdf")), missing},
                  m_dir.path(), &error),
        1);
    EXPECT_TRUE(error.contains(missing)) << qPrintable(error);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("a.pdf"))));

    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), QStringLiteral("No Such Printer 7"), doc},
                        m_dir.path(), &error),
              1);
    EXPECT_TRUE(error.contains(QStringLiteral("No Such Printer 7: There is no printer")))
        << qPrintable(error);
    // Usage errors.
    EXPECT_EQ(RunVorlan({QStringLiteral("--print")}, m_dir.path(), &error), 2);
    EXPECT_EQ(RunVorlan({QStringLiteral("--print"), QStringLiteral("--print-to"),
                         QStringLiteral("x.pdf"), doc},
                        m_dir.path(), &error),
              2);
}

// A PDF file is replaced only by a complete one: a job that cannot write the whole file and a
// link to /dev/full end with status 1 and a message and leave the old file as it was; a job that
// ends well keeps the old file's mode. No temporary file stays behind.
TEST_F(PrintTest, CommandLineReplacesAPdfOnlyWithACompleteOne) {
    const QString doc = SaveSample();
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    QString error;
    ASSERT_EQ(RunVorlan({QStringLiteral("--print-to"), pdf, doc}, m_dir.path(), &error), 0)
        << qPrintable(error);
    namespace fs = std::filesystem;
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(pdf.toStdString(), mode);
    const QByteArray old = Contents(pdf);

    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), pdf, doc}, m_dir.path(), &error,
                        [](QProcess& process) { process.setChildProcessModifier(FillTheDisk); }),
              1);
    EXPECT_TRUE(error.endsWith(QStringLiteral("vorlan: ") + pdf +
                               QStringLiteral(": Could not write the PDF file: it was cut short "
                                              "(is the disk full?).\n")))
        << qPrintable(error);
    EXPECT_EQ(Contents(pdf), old);

    const QString full = m_dir.filePath(QStringLiteral("full.pdf"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), full));
    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), full, doc}, m_dir.path(), &error), 1);
    EXPECT_TRUE(error.endsWith(QStringLiteral("vorlan: ") + full +
                               QStringLiteral(": Could not start the print job: it is not a "
                                              "regular file (a character device).\n")))
        << qPrintable(error);

    ASSERT_EQ(RunVorlan({QStringLiteral("--print-to"), pdf, doc}, m_dir.path(), &error), 0)
        << qPrintable(error);
    EXPECT_EQ(fs::status(pdf.toStdString()).permissions(), mode);
    EXPECT_EQ(TemporaryFiles(m_dir.path()), QStringList());
}

// The print dialog's Print to File takes the same care: a file that cannot be written to the
// end is reported, and the old PDF stays as it was.
TEST_F(PrintTest, PrintToFileKeepsTheOldPdfWhenTheDiskIsFull) {
    ImportSample(400);
    {
        QFile file(m_strPdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4 the old file\n");
    }
    QString message;
    OnNextModal(QStringLiteral("the print dialog"), [this, &message](QWidget* pModal) {
        auto* pDialog = qobject_cast<QPrintDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        pDialog->accept();
        DismissNextModal(&message);
    });
    {
        FullDisk full;
        Command(ID_FILE_PRINT);
    }
    EXPECT_EQ(message, m_strPdf + QStringLiteral("\nCould not write the PDF file: it was cut "
                                                 "short (is the disk full?)."));
    EXPECT_EQ(Contents(m_strPdf), QByteArray("%PDF-1.4 the old file\n"));
    EXPECT_EQ(Printer()->outputFileName(), m_strPdf);
    EXPECT_EQ(TemporaryFiles(m_dir.path()), QStringList());
}

// A PDF job that cannot start says why, on the command line and after the print dialog.
TEST_F(PrintTest, PdfJobThatCannotStartSaysWhy) {
    const QString doc = SaveSample();
    const QString missing = m_dir.filePath(QStringLiteral("no/such/folder/a.pdf"));
    QString error;
    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), missing, doc}, m_dir.path(), &error), 1);
    EXPECT_TRUE(error.endsWith(QStringLiteral("vorlan: ") + missing +
                               QStringLiteral(": Could not start the print job: No such file or "
                                              "directory.\n")))
        << qPrintable(error);
    const QString folder = m_dir.filePath(QStringLiteral("folder.pdf"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), folder, doc}, m_dir.path(), &error), 1);
    EXPECT_TRUE(error.endsWith(QStringLiteral("vorlan: ") + folder +
                               QStringLiteral(": Could not start the print job: it is a "
                                              "directory.\n")))
        << qPrintable(error);

    Printer()->setOutputFileName(missing);
    QString message;
    OnNextModal(QStringLiteral("the print dialog"), [this, &message](QWidget* pModal) {
        auto* pDialog = qobject_cast<QPrintDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        pDialog->accept();
        DismissNextModal(&message);
    });
    Command(ID_FILE_PRINT);
    EXPECT_EQ(message, missing + QStringLiteral("\nCould not start the print job: No such file "
                                                "or directory."));
}

// Options are never bundled: "-hike.vrl" is an unknown option (status 2, with the way to name
// such a file), not -h, -i, ..., -v. Qt's own options still count before "--"; after it every
// argument is a file, even one Qt would take for its option.
TEST_F(PrintTest, OptionsAreNeverBundledAndDashDashEndsThem) {
    const QString doc = SaveSample();
    ASSERT_TRUE(QFile::copy(doc, m_dir.filePath(QStringLiteral("-hike.vrl"))));
    ASSERT_TRUE(QFile::copy(doc, m_dir.filePath(QStringLiteral("-reverse"))));
    const QString pdf = m_dir.filePath(QStringLiteral("o.pdf"));
    const auto inScratch = [this](QProcess& process) { process.setWorkingDirectory(m_dir.path()); };
    const QString unknown = QStringLiteral(
        "vorlan: Unknown option '-hike.vrl'. To open a file whose name starts with '-', write "
        "'./-hike.vrl' or put '--' before it.\nTry 'vorlan --help'.\n");
    QString error;
    EXPECT_EQ(RunVorlan({QStringLiteral("-hike.vrl")}, m_dir.path(), &error, inScratch), 2);
    EXPECT_TRUE(error.endsWith(unknown)) << qPrintable(error);
    EXPECT_EQ(RunVorlan({QStringLiteral("--print-to"), pdf, QStringLiteral("-hike.vrl")},
                        m_dir.path(), &error, inScratch),
              2);
    EXPECT_TRUE(error.endsWith(unknown)) << qPrintable(error);
    EXPECT_FALSE(QFile::exists(pdf));

    EXPECT_EQ(RunVorlan({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                         QStringLiteral("--print-to"), pdf, QStringLiteral("--"),
                         QStringLiteral("-reverse")},
                        m_dir.path(), &error, inScratch),
              0)
        << qPrintable(error);
    EXPECT_TRUE(QFile::exists(pdf));
}

// In-process: the print switch opens the document unseen, prints it and asks the program to
// end with status 0; no window is shown and no document stays open.
TEST_F(PrintTest, PrintSwitchShowsNoWindowAndEnds) {
    const QString doc = SaveSample();
    VorlanApp()->ExitInstance();
    const QString pdf = m_dir.filePath(QStringLiteral("switch.pdf"));
    EXPECT_FALSE(VorlanApp()->InitInstance(
        {QStringLiteral("vorlan"), QStringLiteral("--print-to"), pdf, doc}));
    EXPECT_EQ(VorlanApp()->ExitCode(), 0);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_TRUE(VorlanApp()->GetDocTemplate()->GetDocuments().isEmpty());
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST_F(PrintTest, PrintCommandPrintsTheElevationChartAfterTheDialog) {
    ImportSample(400);
    Command(ID_PLOT_ELEVATION);
    View()->RedrawWindow();
    const CSize sizeScreen = View()->GetTotalSize();
    const int nScrollX = View()->horizontalScrollBar()->maximum();
    const int nScrollY = View()->verticalScrollBar()->maximum();
    const int nPrinted = View()->PrintCount();
    OnNextModal(QStringLiteral("the print dialog"), [](QWidget* pModal) {
        auto* pDialog = qobject_cast<QPrintDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        pDialog->accept();
    });
    Command(ID_FILE_PRINT);
    EXPECT_EQ(View()->PrintCount(), nPrinted + 1);
    ASSERT_TRUE(QFile::exists(m_strPdf));

    // The paper's size never reaches the window: its scroll sizes and bars stay the screen's.
    EXPECT_EQ(View()->GetTotalSize().cx, sizeScreen.cx);
    EXPECT_EQ(View()->GetTotalSize().cy, sizeScreen.cy);
    EXPECT_EQ(View()->horizontalScrollBar()->maximum(), nScrollX);
    EXPECT_EQ(View()->verticalScrollBar()->maximum(), nScrollY);

    if (!HavePoppler())
        GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are needed";
    EXPECT_EQ(PdfField(m_strPdf, QStringLiteral("Pages")), QStringLiteral("1"));
    const QImage page = RenderPage(m_strPdf);
    const QRect frame = PrintedFrame(*Printer());
    // The frame's black outline, the green grid inside it, the red and blue series.
    EXPECT_GT(Count(page, LeftEdge(frame), kBlack), frame.height() * 3 / 4);
    EXPECT_GT(Count(page, TopEdge(frame), kBlack), frame.width() * 3 / 4);
    EXPECT_GT(Count(page, RightEdge(frame).translated(-1, 0), kBlack), frame.height() * 3 / 4);
    EXPECT_GT(Count(page, BottomEdge(frame).translated(0, -1), kBlack), frame.width() * 3 / 4);
    EXPECT_GT(Count(page, frame, kGreen), 100);
    EXPECT_GT(Count(page, frame, kRed), 100);
    EXPECT_GT(Count(page, frame, kBlue), 100);
    // Above the frame's bottom the series stay inside it; below it are the legend's samples.
    const QRect inside = frame.adjusted(-2, -2, 2, 2);
    const QRect upper(0, 0, page.width(), inside.bottom() + 1);
    EXPECT_EQ(Count(page, upper, kRed), Count(page, inside, kRed));
    EXPECT_EQ(Count(page, upper, kBlue), Count(page, inside, kBlue));
    EXPECT_GT(Count(page, QRect(0, inside.bottom() + 1, page.width(), 100), kRed), 0);
}

TEST_F(PrintTest, CancelledPrintDialogDrawsNothing) {
    ImportSample(100);
    const int nPrinted = View()->PrintCount();
    DismissNextModal();
    Command(ID_FILE_PRINT);
    EXPECT_EQ(View()->PrintCount(), nPrinted);
    EXPECT_FALSE(QFile::exists(m_strPdf));
}

// A printer surface belongs to no window: the zoom requests wait for the next drawing on the
// screen and the scroll position stays.
TEST_F(PrintTest, PendingZoomRequestsSurvivePrinting) {
    ImportSample(100);
    View()->RedrawWindow();
    Plot()->m_bRecenter = 1;
    Plot()->m_bZoomRect = 1;
    Plot()->m_ptScroll = POINT{17, 23};
    EXPECT_TRUE(View()->DoFilePrint(true));
    EXPECT_EQ(Plot()->m_bRecenter, 1);
    EXPECT_EQ(Plot()->m_bZoomRect, 1);
    EXPECT_EQ(Plot()->m_ptScroll.x, 17);
    EXPECT_EQ(Plot()->m_ptScroll.y, 23);
    // The printed layout ignores the zoom factor.
    Plot()->m_fZoom = 4.0f;
    EXPECT_TRUE(View()->DoFilePrint(true));
    EXPECT_EQ(Plot()->m_sizeTotal.cx, Printer()->width());
}

TEST_F(PrintTest, PrintSetupKeepsThePaperForTheSession) {
    ImportSample(100);
    OnNextModal(QStringLiteral("the print setup dialog"), [](QWidget* pModal) {
        auto* pDialog = qobject_cast<CPrintSetupDlg*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        QComboBox* pPrinters = pDialog->PrinterBox();
        EXPECT_EQ(pPrinters->currentText(), CPrintSetupDlg::PdfPrinterName());
        QComboBox* pPaper = pDialog->PaperBox();
        EXPECT_EQ(pPaper->currentData().toInt(), static_cast<int>(QPageSize::A4));
        pPaper->setCurrentIndex(pPaper->findData(static_cast<int>(QPageSize::Letter)));
        pDialog->LandscapeButton()->setChecked(true);
        pDialog->accept();
    });
    Command(ID_FILE_PRINT_SETUP);
    EXPECT_EQ(Printer()->pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(Printer()->pageLayout().orientation(), QPageLayout::Landscape);

    // Cancelled, the dialog changes nothing.
    OnNextModal(QStringLiteral("the print setup dialog"), [](QWidget* pModal) {
        auto* pDialog = qobject_cast<CPrintSetupDlg*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        pDialog->PortraitButton()->setChecked(true);
        pDialog->reject();
    });
    Command(ID_FILE_PRINT_SETUP);
    EXPECT_EQ(Printer()->pageLayout().orientation(), QPageLayout::Landscape);

    EXPECT_TRUE(View()->DoFilePrint(true));
    if (!HavePoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed";
    EXPECT_EQ(PdfField(m_strPdf, QStringLiteral("Page size")),
              QStringLiteral("792 x 612 pts (letter)"));
}

// The PDF carries the document's title; the preview's orientation buttons turn the preview only,
// never the next print.
TEST_F(PrintTest, PdfTitleAndPreviewOrientation) {
    ImportSample(50);
    OnNextModal(QStringLiteral("the print dialog"),
                [](QWidget* pModal) { static_cast<QDialog*>(pModal)->accept(); });
    Command(ID_FILE_PRINT);
    ASSERT_TRUE(QFile::exists(m_strPdf));

    OnNextModal(QStringLiteral("the print preview"), [](QWidget* pModal) {
        auto* pPreview = pModal->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pPreview, nullptr);
        pPreview->setLandscapeOrientation();
        static_cast<QDialog*>(pModal)->reject();
    });
    Command(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(Printer()->pageLayout().orientation(), QPageLayout::Portrait);

    if (!HavePoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed";
    EXPECT_EQ(PdfField(m_strPdf, QStringLiteral("Title")), Doc()->GetTitle());
}

// Export Image proposes the document's title in the folder, format and scale of the last export,
// shows its labels as labels, and titles a PDF after the document as printing does.
TEST_F(PrintTest, ExportImageRemembersItsChoicesAndTitlesItsPdf) {
    ImportSample(100);
    const QString folder = m_dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pdf = QDir(folder).filePath(QStringLiteral("plot.pdf"));
    OnNextModal(QStringLiteral("the Export Image dialog"), [&pdf](QWidget* pModal) {
        auto* pDialog = qobject_cast<CExportDlg*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        auto* pEdit = pDialog->findChild<QLineEdit*>();
        for (const QLabel* pLabel : pDialog->findChildren<QLabel*>()) {
            if (pLabel->text() == QStringLiteral("&File:")) {
                EXPECT_EQ(pLabel->buddy(), pEdit);
            }
        }
        pDialog->findChild<QComboBox*>()->setCurrentIndex(2);
        pEdit->setText(pdf);
        pDialog->accept();
    });
    Command(ID_FILE_EXPORT_IMAGE);
    ASSERT_TRUE(QFile::exists(pdf));
    QString proposed;
    int nScale = 0;
    OnNextModal(QStringLiteral("the Export Image dialog"), [&](QWidget* pModal) {
        auto* pDialog = qobject_cast<CExportDlg*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        proposed = pDialog->Path();
        nScale = pDialog->Scale();
        pDialog->reject();
    });
    Command(ID_FILE_EXPORT_IMAGE);
    EXPECT_EQ(proposed, QDir(folder).filePath(QStringLiteral("sample.pdf")));
    EXPECT_EQ(nScale, 4);
    if (!HavePoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed";
    EXPECT_EQ(PdfField(pdf, QStringLiteral("Title")), QStringLiteral("sample"));
}

TEST_F(PrintTest, PreviewShowsTheOnePageAndPrintsIt) {
    ImportSample(200);
    // However many copies the printer is to make.
    Printer()->setCopyCount(3);
    const int nPrinted = View()->PrintCount();
    int nPages = 0;
    int nBlue = 0;
    int nGreen = 0;
    int nArea = 0;
    bool bFileBeforePrint = true;
    OnNextModal(QStringLiteral("the print preview"), [&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QPrintPreviewDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        auto* pPreview = pDialog->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pPreview, nullptr);
        QApplication::processEvents();
        nPages = pPreview->pageCount();
        const QImage image = pPreview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        nBlue = CountMostly(image, 0xFF);
        nGreen = CountMostly(image, 0xFF00);
        nArea = image.width() * image.height();
        bFileBeforePrint = QFile::exists(m_strPdf);
        // The preview's Print button prints on the printer: a PDF file, which cannot make
        // copies itself, gets the page once per copy.
        pPreview->print();
        pDialog->reject();
    });
    Command(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(nPages, 1);
    // The page at the preview's zoom: the track and the box's edges are lines of a pixel or
    // two, not bands 25 screen pixels wide (which covered 2 % and 8 % of the preview).
    EXPECT_GT(nBlue, 0);
    EXPECT_LT(nBlue, nArea / 100);
    EXPECT_LT(nGreen, nArea / 50);
    EXPECT_FALSE(bFileBeforePrint);
    EXPECT_GE(View()->PrintCount(), nPrinted + 1 + 3);
    ASSERT_TRUE(QFile::exists(m_strPdf));
    if (!HavePoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed";
    EXPECT_EQ(PdfField(m_strPdf, QStringLiteral("Pages")), QStringLiteral("3"));
}
} // namespace
