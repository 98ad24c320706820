// The desktop program: answers --help and --version, otherwise starts the application with the
// documents named on the command line (or one new document), or prints them and ends. Without a
// desktop session it sets up what Qt would otherwise warn about on stderr.
#include "CCommandLineInfo.h"
#include "CPendingTempFile.h"
#include "CSingleInstance.h"
#include "CVorlanApp.h"
#include "LocalPath.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
// Enough for any entry of the password database.
constexpr std::size_t kPasswdBufferSize = 16384;

// Printing or exporting from the command line shows no window, so it also works without a
// display.
void UseOffscreenPlatformWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Qt's own name for the runtime folder it falls back to: "<temp>/runtime-<user>".
QString FallbackRuntimeFolder() {
    const uid_t uid = geteuid();
    QString user = QString::number(uid);
    std::vector<char> buf(kPasswdBufferSize);
    passwd entry{};
    passwd* pEntry = nullptr;
    if (getpwuid_r(uid, &entry, buf.data(), buf.size(), &pEntry) == 0 && pEntry)
        user = QString::fromLocal8Bit(pEntry->pw_name);
    return QDir::tempPath() + QStringLiteral("/runtime-") + user;
}

// Without XDG_RUNTIME_DIR (a server, a cron job) Qt warns on stderr before every message of
// ours, then uses its fallback folder. That folder is made here as Qt requires it and named,
// which silences the warning and gives the single-instance channel its place. One that exists
// but is not private (another user's, a link, open to others: it may hold what others put there)
// is not named and not changed: Qt warns about it, and the program runs without the channel, so
// later starts open their own windows, rather than talk where another user could listen.
void UsePrivateRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString folder = FallbackRuntimeFolder();
    mkdir(QFile::encodeName(folder).constData(), 0700);
    if (CSingleInstance::IsPrivateFolder(folder))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}
} // namespace

int main(int argc, char** argv) {
    int nExitCode = 0;
    // As vorlan-cli: a write past the file-size limit fails with a message, and an interrupted
    // save, export or print leaves no temporary file.
    CPendingTempFile::IgnoreFileSizeSignal();
    CPendingTempFile::InstallSignalHandlers();
    if (CCommandLineInfo::HandleInfoOptions(argc, argv, &nExitCode))
        return nExitCode;
    if (CCommandLineInfo::IsPrintCommand(argc, argv) ||
        CCommandLineInfo::IsExportCommand(argc, argv))
        UseOffscreenPlatformWithoutDisplay();
    UsePrivateRuntimeFolder();
    int nQtArgc = CCommandLineInfo::OptionsEnd(argc, argv);
    const QStringList afterOptions = QtArguments(argc, argv, nQtArgc);
    CVorlanApp app(nQtArgc, argv);
    // Qt has taken its own options out of argv; names keep their bytes, as LocalPath wants them.
    if (!app.InitInstance(QtArguments(nQtArgc, argv) + afterOptions))
        return app.ExitCode();
    return app.exec();
}
