#include "CCommandLineInfo.h"

#include "LocalPath.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {
const QString kPrint = QStringLiteral("print");
const QString kPrintTo = QStringLiteral("print-to");
const QString kNewInstance = QStringLiteral("new-instance");
const QString kExport = QStringLiteral("export");
const QString kSize = QStringLiteral("size");
const QString kPlot = QStringLiteral("plot");
const QString kDem = QStringLiteral("dem");

const QString kOptionsEnd = QStringLiteral("--");

void SetUpParser(QCommandLineParser& parser) {
    // "-hike.vrl" is one unknown option, never the switches h, i, k, e, v, r and l.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Shows GPS tracks (GPX, FIT, TCX, KML, IGC, NMEA, MapSource text, and a few other "
        "formats through gpsbabel) as an elevation chart and a 3D view, and keeps them as .vrl "
        "documents."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        kPrint, QStringLiteral("Print the documents on the default printer, then exit.")));
    parser.addOption(QCommandLineOption(
        kPrintTo,
        QStringLiteral("Print the documents on PRINTER, then exit. A PRINTER ending in .pdf is a "
                       "PDF file to write."),
        QStringLiteral("PRINTER")));
    parser.addOption(QCommandLineOption(
        kNewInstance,
        QStringLiteral("Open the documents in a new window even when Vorlan is running.")));
    parser.addOption(QCommandLineOption(
        kExport,
        QStringLiteral("Export the document's plot to OUT (.png, .svg or .pdf), then exit."),
        QStringLiteral("OUT")));
    parser.addOption(QCommandLineOption(
        kSize, QStringLiteral("The window size the exported plot is laid out for (800x600)."),
        QStringLiteral("WxH")));
    parser.addOption(QCommandLineOption(kPlot,
                                        QStringLiteral("The plot to export: elevation or 3d (3d)."),
                                        QStringLiteral("PLOT")));
    parser.addOption(QCommandLineOption(
        kDem,
        QStringLiteral("With --export or printing: the ground from the elevation tiles in DIR, "
                       "as View, Terrain shows it, for this run only (the settings keep their "
                       "folder)."),
        QStringLiteral("DIR")));
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("Vorlan documents (.vrl) to open, print or export, or track files to "
                       "import, each into a new document."),
        QStringLiteral("[FILE.vrl|TRACK...]"));
}

bool UsageError(const QString& text) {
    std::fprintf(stderr, "vorlan: %s\nTry 'vorlan --help'.\n", LocalPath(text).c_str());
    return false;
}

// The argument as it was typed for the option the parser calls name: "-hike.vrl" for
// "hike.vrl", "--x=1" for "x".
QString TypedOption(const QStringList& arguments, const QString& name) {
    for (const QString& arg : arguments.mid(1)) {
        if (arg == kOptionsEnd)
            break;
        const qsizetype nDashes = arg.startsWith(kOptionsEnd) ? 2 : 1;
        if (arg.startsWith(QLatin1Char('-')) &&
            arg.mid(nDashes).section(QLatin1Char('='), 0, 0) == name)
            return arg;
    }
    return QLatin1Char('-') + name;
}

// Most often a file whose name starts with '-': say how to name it.
bool UnknownOptionError(const QStringList& arguments, const QString& name) {
    const QString typed = TypedOption(arguments, name);
    return UsageError(QStringLiteral("Unknown option '%1'. To open a file whose name starts with "
                                     "'-', write './%1' or put '--' before it.")
                          .arg(typed));
}
} // namespace

bool CCommandLineInfo::HandleInfoOptions(int argc, char** argv, int* pnExitCode) {
    // Unknown options may be the Qt application's own (-platform, -style); they are judged
    // once the application has taken its options out.
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.parse(QtArguments(argc, argv));
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("vorlan %s\n", VORLAN_VERSION);
        *pnExitCode = 0;
        return true;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        // The help text takes the program name from a core application.
        QCoreApplication app(argc, argv);
        std::fputs(qPrintable(parser.helpText()), stdout);
        *pnExitCode = 0;
        return true;
    }
    return false;
}

int CCommandLineInfo::OptionsEnd(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (QtPath(QByteArray(argv[i])) == kOptionsEnd)
            return i;
    return argc;
}

bool CCommandLineInfo::IsPrintCommand(int argc, char** argv) {
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.parse(QtArguments(argc, argv));
    return parser.isSet(kPrint) || parser.isSet(kPrintTo);
}

bool CCommandLineInfo::IsExportCommand(int argc, char** argv) {
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.parse(QtArguments(argc, argv));
    return parser.isSet(kExport);
}

namespace {
// "800x600": both sides from 1 to nMax.
bool ParseSize(const QString& text, int nMax, QSize* pSize) {
    const QStringList parts = text.split(QLatin1Char('x'), Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return false;
    bool okW = false;
    bool okH = false;
    const int w = parts[0].toInt(&okW);
    const int h = parts[1].toInt(&okH);
    if (!okW || !okH || w < 1 || h < 1 || w > nMax || h > nMax)
        return false;
    *pSize = QSize(w, h);
    return true;
}
} // namespace

// --export and its options: one document, a file of a format it writes, a size and a plot.
bool CCommandLineInfo::ParseExportOptions(const QCommandLineParser& parser) {
    const bool bExport = parser.isSet(kExport);
    if (!bExport) {
        if (parser.isSet(kSize) || parser.isSet(kPlot))
            return UsageError(QStringLiteral("--size and --plot go with --export."));
        return true;
    }
    if (parser.isSet(kPrint) || parser.isSet(kPrintTo))
        return UsageError(QStringLiteral("--export and printing exclude each other."));
    m_strExportFile = parser.value(kExport);
    const QString suffix = m_strExportFile.section(QLatin1Char('.'), -1).toLower();
    if (!m_strExportFile.contains(QLatin1Char('.')) ||
        (suffix != QLatin1String("png") && suffix != QLatin1String("svg") &&
         suffix != QLatin1String("pdf")))
        return UsageError(QStringLiteral("--export needs a .png, .svg or .pdf file."));
    if (m_strFileNames.size() != 1)
        return UsageError(QStringLiteral("Name the one document to export."));
    if (parser.isSet(kSize) && !ParseSize(parser.value(kSize), kMaxExportSize, &m_sizeExport))
        return UsageError(
            QStringLiteral("--size must be WxH with W and H from 1 to %1.").arg(kMaxExportSize));
    if (parser.isSet(kPlot)) {
        const QString plot = parser.value(kPlot);
        if (plot != QLatin1String("elevation") && plot != QLatin1String("3d"))
            return UsageError(QStringLiteral("--plot must be elevation or 3d."));
        m_bExport3D = plot == QLatin1String("3d");
    }
    m_nShellCommand = FileExport;
    return true;
}

// Whether the folder holds tiles is known only to the terrain module, which the application
// loads once the command line is taken.
bool CCommandLineInfo::ParseDemOption(const QCommandLineParser& parser) {
    if (!parser.isSet(kDem))
        return true;
    if (m_nShellCommand != FileExport && m_nShellCommand != FilePrint &&
        m_nShellCommand != FilePrintTo)
        return UsageError(QStringLiteral("--dem goes with --export or printing."));
    m_strDemFolder = parser.value(kDem);
    if (m_strDemFolder.isEmpty())
        return UsageError(QStringLiteral("--dem needs a folder of elevation tiles."));
    return true;
}

bool CCommandLineInfo::ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    SetUpParser(parser);
    if (!parser.parse(arguments))
        return parser.unknownOptionNames().isEmpty()
                   ? UsageError(parser.errorText())
                   : UnknownOptionError(arguments, parser.unknownOptionNames().first());
    m_strFileNames = parser.positionalArguments();
    m_bNewInstance = parser.isSet(kNewInstance);
    const bool bPrint = parser.isSet(kPrint);
    const bool bPrintTo = parser.isSet(kPrintTo);
    if (bPrint && bPrintTo)
        return UsageError(QStringLiteral("--print and --print-to exclude each other."));
    if ((bPrint || bPrintTo) && m_strFileNames.isEmpty())
        return UsageError(QStringLiteral("Name the document to print."));
    if (bPrintTo) {
        m_strPrinterName = parser.value(kPrintTo);
        if (m_strPrinterName.isEmpty())
            return UsageError(QStringLiteral("--print-to needs a printer name."));
        // Each document would overwrite the one before.
        if (PrintsToPdf() && m_strFileNames.size() > 1)
            return UsageError(QStringLiteral("A PDF file holds one document."));
    }
    if (bPrint)
        m_nShellCommand = FilePrint;
    else if (bPrintTo)
        m_nShellCommand = FilePrintTo;
    else
        m_nShellCommand = m_strFileNames.isEmpty() ? FileNew : FileOpen;
    return ParseExportOptions(parser) && ParseDemOption(parser);
}

bool CCommandLineInfo::PrintsToPdf() const {
    return m_strPrinterName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}
