// The command line of the desktop program: --help and --version, answered before any window
// exists; the documents to open or print at start-up; the print and export switches with --dem,
// and --new-instance.
// Used by main() and the application's start-up.
#pragma once

#include <QSize>
#include <QStringList>

class QCommandLineParser;

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileExport };

    // Handles --help and --version without a display: prints to stdout and returns true with
    // the exit status in *pnExitCode. False: start the program.
    static bool HandleInfoOptions(int argc, char** argv, int* pnExitCode);
    // The index of "--" in argv, or argc when there is none. The Qt application is given only
    // the arguments before it, so that it takes none of the files after it for its own options
    // (a file named "-reverse").
    static int OptionsEnd(int argc, char** argv);
    // True when the command line asks to print (--print or --print-to), which needs no display.
    static bool IsPrintCommand(int argc, char** argv);
    // True when the command line asks to export an image (--export), which needs no display.
    static bool IsExportCommand(int argc, char** argv);

    // The exit status of a usage error (an unknown option, a switch without its file).
    static constexpr int kUsageError = 2;

    // Parses the arguments left after the Qt application took its own (the program name
    // first); false on a usage error, reported on stderr. Options are never bundled and "--"
    // ends them.
    bool ParseCommandLine(const QStringList& arguments);

    // A printer name ending in ".pdf" (any case) is a PDF file to write.
    bool PrintsToPdf() const;

    ShellCommand m_nShellCommand = FileNew;
    QStringList m_strFileNames;
    QString m_strPrinterName; // --print-to
    bool m_bNewInstance = false;
    // --export OUT [--size WxH] [--plot elevation|3d]: the image file, the window size it is
    // laid out for and the plot drawn.
    QString m_strExportFile;
    QSize m_sizeExport{800, 600};
    bool m_bExport3D = true;
    // The largest window side --size takes.
    static constexpr int kMaxExportSize = 20000;
    // --dem DIR with --export or printing: the folder of elevation tiles for this run, the
    // terrain shown whatever the settings say; empty without it.
    QString m_strDemFolder;

private:
    bool ParseExportOptions(const QCommandLineParser& parser);
    bool ParseDemOption(const QCommandLineParser& parser);
};
