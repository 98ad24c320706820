// The desktop program: answers --help and --version, otherwise starts the application with the
// documents named on the command line (or one new document).
#include "CCommandLineInfo.h"
#include "CVorlanApp.h"

int main(int argc, char** argv) {
    int nExitCode = 0;
    if (CCommandLineInfo::HandleInfoOptions(argc, argv, &nExitCode))
        return nExitCode;
    CVorlanApp app(argc, argv);
    if (!app.InitInstance(app.arguments()))
        return 1;
    return app.exec();
}
