#include "CCommandLineInfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {
void SetUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Shows GPS tracks exported as MapSource text as an elevation chart and a 3D view, and "
        "keeps them as .vrl documents."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Vorlan documents (.vrl) to open."),
                                 QStringLiteral("[FILE.vrl...]"));
}

QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
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

bool CCommandLineInfo::ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    SetUpParser(parser);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "vorlan: %s\nTry 'vorlan --help'.\n", qPrintable(parser.errorText()));
        return false;
    }
    m_strFileNames = parser.positionalArguments();
    m_nShellCommand = m_strFileNames.isEmpty() ? FileNew : FileOpen;
    return true;
}
