// The desktop program: answers --help and --version, otherwise starts the application with the
// documents named on the command line (or one new document), or prints them and ends.
#include "CCommandLineInfo.h"
#include "CVorlanApp.h"

namespace {
// Printing from the command line shows no window, so it also works without a display.
void UseOffscreenPlatformWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
} // namespace

int main(int argc, char** argv) {
    int nExitCode = 0;
    if (CCommandLineInfo::HandleInfoOptions(argc, argv, &nExitCode))
        return nExitCode;
    if (CCommandLineInfo::IsPrintCommand(argc, argv))
        UseOffscreenPlatformWithoutDisplay();
    int nQtArgc = CCommandLineInfo::OptionsEnd(argc, argv);
    const QStringList afterOptions = CCommandLineInfo::Arguments(argc, argv, nQtArgc);
    CVorlanApp app(nQtArgc, argv);
    if (!app.InitInstance(app.arguments() + afterOptions))
        return app.ExitCode();
    return app.exec();
}
