#include "CCommandLineInfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {
const QString kPrint = QStringLiteral("print");
const QString kPrintTo = QStringLiteral("print-to");
const QString kNewInstance = QStringLiteral("new-instance");

void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Shows GPS tracks exported as MapSource text as an elevation chart and a 3D view, and "
        "keeps them as .vrl documents."));
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
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Vorlan documents (.vrl) to open or print."),
                                 QStringLiteral("[FILE.vrl...]"));
}

QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

bool UsageError(const QString& text) {
    std::fprintf(stderr, "vorlan: %s\nTry 'vorlan --help'.\n", qPrintable(text));
    return false;
}
} // namespace

bool CCommandLineInfo::HandleInfoOptions(int argc, char** argv, int* pnExitCode) {
    // Unknown options may be the Qt application's own (-platform, -style); they are judged
    // once the application has taken its options out.
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.parse(Arguments(argc, argv));
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

bool CCommandLineInfo::IsPrintCommand(int argc, char** argv) {
    QCommandLineParser parser;
    SetUpParser(parser);
    parser.parse(Arguments(argc, argv));
    return parser.isSet(kPrint) || parser.isSet(kPrintTo);
}

bool CCommandLineInfo::ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    SetUpParser(parser);
    if (!parser.parse(arguments))
        return UsageError(parser.errorText());
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
    return true;
}

bool CCommandLineInfo::PrintsToPdf() const {
    return m_strPrinterName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}
