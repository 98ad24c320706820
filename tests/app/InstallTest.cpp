// The install tree: cmake --install into a temporary prefix gives the programs, a valid desktop
// entry that opens .vrl documents and track files, the file type "Vorlan Document" and the track
// file types, the icons of the hicolor theme and the user guide where the help commands look
// for it, naming every menu command.
#include "CMenuTemplate.h"
#include "Resource.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The keys of the [Desktop Entry] group.
std::map<QString, QString> DesktopEntry(const QString& path) {
    std::map<QString, QString> keys;
    bool bInGroup = false;
    for (const QByteArray& raw : ReadAll(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            bInGroup = line == QStringLiteral("[Desktop Entry]");
        else if (bInGroup && line.contains(QLatin1Char('=')))
            keys[line.section(QLatin1Char('='), 0, 0)] = line.section(QLatin1Char('='), 1);
    }
    return keys;
}

// Runs a program; its exit status (-1 if it did not run) and its output.
int RunProgram(const QString& program, const QStringList& args, QString* pstrOutput) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(120000))
        return -1;
    *pstrOutput = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pPrefix = new QTemporaryDir;
        s_nInstallStatus =
            RunProgram(QStringLiteral(VORLAN_CMAKE),
                       {QStringLiteral("--install"), QStringLiteral(VORLAN_BUILD_DIR),
                        QStringLiteral("--prefix"), s_pPrefix->path()},
                       s_pInstallOutput);
    }
    static void TearDownTestSuite() {
        delete s_pPrefix;
        s_pPrefix = nullptr;
    }
    void SetUp() override { ASSERT_EQ(s_nInstallStatus, 0) << qPrintable(*s_pInstallOutput); }
    static QString Installed(const QString& path) { return s_pPrefix->filePath(path); }

    static QTemporaryDir* s_pPrefix;
    static int s_nInstallStatus;
    static QString* s_pInstallOutput;
};

QTemporaryDir* InstallTest::s_pPrefix = nullptr;
int InstallTest::s_nInstallStatus = -1;
QString* InstallTest::s_pInstallOutput = new QString;

TEST_F(InstallTest, ProgramsAreInstalled) {
    for (const char* name : {"bin/vorlan", "bin/vorlan-cli"}) {
        const QFileInfo file(Installed(QString::fromLatin1(name)));
        EXPECT_TRUE(file.isFile()) << name;
        EXPECT_TRUE(file.isExecutable()) << name;
    }
    QString output;
    EXPECT_EQ(
        RunProgram(Installed(QStringLiteral("bin/vorlan")), {QStringLiteral("--version")}, &output),
        0);
    EXPECT_EQ(output, QStringLiteral("vorlan " VORLAN_VERSION "\n"));
}

TEST_F(InstallTest, DesktopEntryOpensVorlanDocuments) {
    const QString path = Installed(QStringLiteral("share/applications/vorlan.desktop"));
    // The program names this entry, so that the window manager finds its icon.
    EXPECT_EQ(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"),
              QFileInfo(path).fileName());
    std::map<QString, QString> keys = DesktopEntry(path);
    EXPECT_EQ(keys[QStringLiteral("Type")], QStringLiteral("Application"));
    EXPECT_EQ(keys[QStringLiteral("Name")], QStringLiteral("Vorlan"));
    EXPECT_EQ(keys[QStringLiteral("Exec")], QStringLiteral("vorlan %F"));
    EXPECT_EQ(keys[QStringLiteral("Icon")], QStringLiteral("vorlan"));
    EXPECT_TRUE(keys[QStringLiteral("MimeType")]
                    .split(QLatin1Char(';'))
                    .contains(QStringLiteral("application/x-vorlan-document")));
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    QString output;
    EXPECT_EQ(RunProgram(validator, {path}, &output), 0) << qPrintable(output);
    EXPECT_TRUE(output.trimmed().isEmpty()) << qPrintable(output);
}

TEST_F(InstallTest, FileTypeRegistersVrlAsVorlanDocument) {
    const QString path = Installed(QStringLiteral("share/mime/packages/vorlan.xml"));
    const QByteArray xml = ReadAll(path);
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_TRUE(xml.contains("Vorlan.Document"));
    QXmlStreamReader reader(xml);
    QString root;
    QStringList types;
    QString comment;
    QStringList globs;
    QString icon;
    // The document's type comes first; the track file types follow it.
    const auto inDocumentType = [&types] { return types.size() == 1; };
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QStringLiteral("mime-info"))
            root = reader.namespaceUri().toString();
        else if (reader.name() == QStringLiteral("mime-type"))
            types << reader.attributes().value(QStringLiteral("type")).toString();
        else if (reader.name() == QStringLiteral("comment") && inDocumentType())
            comment = reader.readElementText();
        else if (reader.name() == QStringLiteral("glob") && inDocumentType())
            globs << reader.attributes().value(QStringLiteral("pattern")).toString();
        else if (reader.name() == QStringLiteral("icon") && inDocumentType())
            icon = reader.attributes().value(QStringLiteral("name")).toString();
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    EXPECT_EQ(root, QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    EXPECT_EQ(types.value(0), QStringLiteral("application/x-vorlan-document"));
    EXPECT_EQ(comment, QStringLiteral("Vorlan Document"));
    EXPECT_EQ(globs, QStringList{QStringLiteral("*.vrl")});
    EXPECT_EQ(icon, QStringLiteral("application-x-vorlan-document"));

    // The install updated the MIME database under the prefix, which took the package.
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
        GTEST_SKIP() << "update-mime-database (shared-mime-info) is not installed";
    EXPECT_TRUE(ReadAll(Installed(QStringLiteral("share/mime/globs2")))
                    .contains("application/x-vorlan-document:*.vrl"));
    EXPECT_TRUE(ReadAll(Installed(QStringLiteral("share/mime/application/x-vorlan-document.xml")))
                    .contains("Vorlan Document"));
}

// The track files the shared MIME database does not know get their types by name from ours,
// and the desktop entry offers to open them and the two it knows (GPX, KML).
TEST_F(InstallTest, TrackFileTypesResolveByNameAndTheEntryOpensThem) {
    const char* const ownTypes[][2] = {
        {"application/vnd.ant.fit", "*.fit"}, {"application/vnd.garmin.tcx+xml", "*.tcx"},
        {"application/vnd.fai.igc", "*.igc"}, {"application/x-nmea", "*.nmea"},
        {"application/x-nmea", "*.nma"},
    };
    std::map<QString, QString> entry =
        DesktopEntry(Installed(QStringLiteral("share/applications/vorlan.desktop")));
    const QStringList entryTypes = entry[QStringLiteral("MimeType")].split(QLatin1Char(';'));
    for (const char* type : {"application/gpx+xml", "application/vnd.google-earth.kml+xml"})
        EXPECT_TRUE(entryTypes.contains(QLatin1String(type))) << type;
    for (const auto& own : ownTypes)
        EXPECT_TRUE(entryTypes.contains(QLatin1String(own[0]))) << own[0];
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
        GTEST_SKIP() << "update-mime-database (shared-mime-info) is not installed";
    const QList<QByteArray> globs =
        ReadAll(Installed(QStringLiteral("share/mime/globs2"))).split('\n');
    for (const auto& own : ownTypes)
        EXPECT_TRUE(globs.contains(QByteArray("50:") + own[0] + ':' + own[1])) << own[0];
}

TEST_F(InstallTest, IconsOfTheHicolorThemeAreThere) {
    const QString base = QStringLiteral("share/icons/hicolor/");
    for (int size : {16, 32, 48}) {
        for (const char* name :
             {"apps/vorlan.png", "mimetypes/application-x-vorlan-document.png"}) {
            const QString path =
                Installed(base + QStringLiteral("%1x%1/").arg(size) + QString::fromLatin1(name));
            const QImage image(path);
            ASSERT_FALSE(image.isNull()) << qPrintable(path);
            EXPECT_EQ(image.size(), QSize(size, size)) << qPrintable(path);
            EXPECT_TRUE(image.hasAlphaChannel()) << qPrintable(path);
            int nPainted = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    nPainted += qAlpha(image.pixel(x, y)) > 0;
            EXPECT_GT(nPainted, size * size / 3) << qPrintable(path);
        }
    }
    for (const char* name :
         {"scalable/apps/vorlan.svg", "scalable/mimetypes/application-x-vorlan-document.svg"}) {
        QXmlStreamReader reader(ReadAll(Installed(base + QString::fromLatin1(name))));
        ASSERT_TRUE(reader.readNextStartElement()) << name;
        EXPECT_EQ(reader.name(), QStringLiteral("svg")) << name;
        EXPECT_EQ(reader.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg")) << name;
        EXPECT_EQ(reader.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 32 32"))
            << name;
        while (!reader.atEnd())
            reader.readNext();
        EXPECT_FALSE(reader.hasError()) << name << ": " << qPrintable(reader.errorString());
    }
}

// The guide lies where the installed program's help commands look for it, with its pictures.
TEST_F(InstallTest, UserGuideIsWhereHelpLooks) {
    const QString dir = Installed(QStringLiteral("bin/" VORLAN_DOC_FROM_BIN));
    const QString guide = dir + QStringLiteral("/user-guide.html");
    EXPECT_EQ(QFileInfo(guide).canonicalFilePath(),
              QFileInfo(Installed(QStringLiteral("share/doc/vorlan/user-guide.html")))
                  .canonicalFilePath());
    const QString html = QString::fromUtf8(ReadAll(guide));
    ASSERT_FALSE(html.isEmpty());
    const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
    int nImages = 0;
    for (const QRegularExpressionMatch& m : image.globalMatch(html)) {
        ++nImages;
        EXPECT_FALSE(QImage(dir + QLatin1Char('/') + m.captured(1)).isNull())
            << qPrintable(m.captured(1));
    }
    EXPECT_EQ(nImages, 6);
}

// "&Open...\tCtrl+O" is "Open..." in the guide: no access key marker, no keys, the dots kept.
QString MenuCaption(const char* pszCaption) {
    return QString::fromLatin1(pszCaption)
        .section(QLatin1Char('\t'), 0, 0)
        .remove(QLatin1Char('&'));
}

// Every command of both menu bars, and every submenu and its items, is named in the guide as a
// whole phrase of its text.
TEST_F(InstallTest, UserGuideNamesEveryMenuCommand) {
    const QString html =
        QString::fromUtf8(ReadAll(Installed(QStringLiteral("share/doc/vorlan/user-guide.html"))));
    ASSERT_FALSE(html.isEmpty());
    const QString text = QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
    QStringList captions;
    for (const UINT nMenu : {IDR_MAINFRAME, IDR_VORLANTYPE})
        for (const MenuPopup& popup : CMenuTemplate::Menu(nMenu))
            for (const MenuItem& item : popup.items) {
                if (item.pszCaption)
                    captions << MenuCaption(item.pszCaption);
                if (item.pSubMenu)
                    for (const MenuItem& sub : *item.pSubMenu)
                        captions << MenuCaption(sub.pszCaption);
            }
    captions.removeDuplicates();
    EXPECT_EQ(captions.size(), 62);
    for (const QString& caption : captions) {
        const QRegularExpression phrase(QStringLiteral("(?<!\\w)") +
                                        QRegularExpression::escape(caption) +
                                        QStringLiteral("(?!\\w)"));
        EXPECT_TRUE(text.contains(phrase)) << qPrintable(caption);
    }
}
} // namespace
