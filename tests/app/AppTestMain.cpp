// The shell tests' main: the offscreen platform unless a display is chosen, settings in Qt's
// test location, one application object for all tests.
#include "CVorlanApp.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {
// The offscreen platform warns about every window that wants size hints passed on, about every
// mouse and keyboard grab and about raising a window.
QtMessageHandler s_defaultHandler = nullptr;
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (!msg.contains(QLatin1String("propagateSizeHints")) &&
        !msg.startsWith(QLatin1String("This plugin does not support grabbing")) &&
        !msg.startsWith(QLatin1String("This plugin does not support raise")))
        s_defaultHandler(type, context, msg);
}
} // namespace

int main(int argc, char** argv) {
    s_defaultHandler = qInstallMessageHandler(FilterMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    // Without a session Qt makes its runtime folder in the temporary folder and leaves it there;
    // the tests give it one that goes when they end, for this process and those it starts.
    std::optional<QTemporaryDir> runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtimeDir.emplace();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
    }
    // Later starts hand their documents to this process under a name of its own, never to a
    // Vorlan the user is running; the programs the tests start inherit it.
    qputenv("VORLAN_INSTANCE_NAME",
            "vorlan-test-" + QByteArray::number(QCoreApplication::applicationPid()));
    ::testing::InitGoogleTest(&argc, argv);
    CVorlanApp app(argc, argv);
    // ctest runs the tests as processes side by side: each keeps its settings in a folder of
    // its own, so that one test's clearing them never meets another's reading them.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    return RUN_ALL_TESTS();
}
