// The command line of the desktop program: --help and --version, answered before any window
// exists, and the documents to open at start-up. Used by main() and the application's start-up.
#pragma once

#include <QStringList>

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };

    // Handles --help and --version without a display: prints to stdout and returns true with
    // the exit status in *pnExitCode. False: start the program.
    static bool HandleInfoOptions(int argc, char** argv, int* pnExitCode);

    // Parses the arguments left after the Qt application took its own (the program name
    // first); false on a usage error, reported on stderr.
    bool ParseCommandLine(const QStringList& arguments);

    ShellCommand m_nShellCommand = FileNew;
    QStringList m_strFileNames;
};
