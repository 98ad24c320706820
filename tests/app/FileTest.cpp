// Document files: the save/open round trip byte for byte, Save As naming, refused files and
// failed saves, and the command line.
#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CDocumentFile.h"
#include "CFileResult.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CPlot.h"
#include "CTrackRecord.h"
#include "CViewValues.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "LocalPath.h"
#include "Resource.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryFile>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What run writes to the standard error stream, caught in a temporary file.
QString CaptureStderr(const std::function<void()>& run) {
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("(no temporary file)");
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(file.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A one-point document with the given view values.
QByteArray OnePointDocument(float fZoom, float fAzimuth, float fElevation) {
    QByteArray bytes;
    const short n = 1;
    bytes.append(reinterpret_cast<const char*>(&n), 2);
    for (float v : {100.0f, 0.5f, 0.0f, 47.5f, -122.25f, fZoom, fAzimuth, fElevation})
        bytes.append(reinterpret_cast<const char*>(&v), 4);
    return bytes;
}

class FileTest : public AppTest {
protected:
    int DocumentCount() { return VorlanApp()->GetDocTemplate()->GetDocuments().size(); }
    // Opens path expecting a refusal; returns the message shown.
    QString OpenRefused(const QString& path) {
        QString message;
        DismissNextModal(&message);
        EXPECT_EQ(VorlanApp()->OpenDocumentFile(path), nullptr);
        return message;
    }
};

TEST_F(FileTest, SavedDocumentOpensIn3DWithItsViewAndSavesTheSameBytes) {
    ImportSample(300);
    Command(ID_ROTATE_LEFT);
    Command(ID_ROTATE_UP);
    Command(ID_ZOOM_IN);
    Command(ID_PLOT_ELEVATION);
    const QString first = m_dir.filePath(QStringLiteral("first.vrl"));
    ASSERT_TRUE(Doc()->DoSave(first));
    const QByteArray bytes = ReadAll(first);
    // The newest version: a count of -1 first, which the first version's readers refuse.
    ASSERT_TRUE(bytes.startsWith(QByteArray("\xff\xff", 2)));
    EXPECT_EQ(Doc()->GetTitle(), "first.vrl");

    Command(ID_FILE_CLOSE);
    ASSERT_NE(VorlanApp()->OpenDocumentFile(first), nullptr);
    // The document's plot is the 3D view, and its pane shows the chart it showed when saved.
    EXPECT_EQ(Doc()->m_nPlotMode, 3);
    EXPECT_EQ(View()->PlotMode(), CVorlanDoc::kPlotElevation);
    EXPECT_EQ(Doc()->m_bLoaded, 1);
    EXPECT_EQ(View()->Plot()->m_fAzimuth, 35.0f);
    EXPECT_EQ(View()->Plot()->m_fElevation, 15.0f);
    EXPECT_EQ(View()->Plot()->m_fZoom, 2.0f);
    EXPECT_EQ(ActiveChild()->windowTitle(), "first.vrl");

    const QString second = m_dir.filePath(QStringLiteral("second.vrl"));
    ASSERT_TRUE(Doc()->DoSave(second));
    EXPECT_EQ(ReadAll(second), bytes);
    // No temporary files are left behind.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 3);
}

// Save As appends the extension and remembers the version chosen; the first version keeps the
// track's shape only, which the user is told and may still decline.
TEST_F(FileTest, SaveAsAppendsTheExtensionAndOffersTheFirstVersion) {
    ImportSample(20);
    ChooseInNextFileDialog(m_dir.filePath(QStringLiteral("walk")));
    Command(ID_FILE_SAVE_AS);
    const QString walk = m_dir.filePath(QStringLiteral("walk.vrl"));
    EXPECT_TRUE(QFile::exists(walk));
    EXPECT_EQ(Doc()->GetPathName(), walk);
    // Save goes to the document's file without asking.
    Command(ID_ROTATE_DOWN);
    Command(ID_FILE_SAVE);
    CTrackRecord record;
    CViewValues view;
    const auto track = std::make_unique<CTrack>();
    ASSERT_TRUE(CDocumentFile::Read(LocalPath(walk), *track, record, view).Ok());
    EXPECT_EQ(view.m_fElevation, 25.0f);
    EXPECT_TRUE(record.HasTime());

    // Only a Save As that writes makes the first version the document's: one cancelled at the
    // warning, or one that fails, leaves Save writing the newest.
    const QString shape = m_dir.filePath(QStringLiteral("shape.vrl"));
    const QString lost = m_dir.filePath(QStringLiteral("missing-folder/shape.vrl"));
    const std::pair<QString, QMessageBox::StandardButton> tries[] = {
        {shape, QMessageBox::Cancel}, {lost, QMessageBox::Ok}, {shape, QMessageBox::Ok}};
    for (const auto& [target, answer] : tries) {
        QString warning;
        OnNextModal(QStringLiteral("the Save As dialog"), [&](QWidget* pModal) {
            auto* pDialog = qobject_cast<QFileDialog*>(pModal);
            ASSERT_NE(pDialog, nullptr);
            pDialog->selectNameFilter(pDialog->nameFilters().at(1));
            pDialog->selectFile(target);
            OnNextModal(QStringLiteral("the warning"), [&](QWidget* pBox) {
                auto* pMessage = qobject_cast<QMessageBox*>(pBox);
                ASSERT_NE(pMessage, nullptr);
                warning = pMessage->text();
                pMessage->button(answer)->click();
                if (target == lost)
                    DismissNextModal();
            });
            static_cast<QDialog*>(pDialog)->accept();
        });
        Command(ID_FILE_SAVE_AS);
        EXPECT_TRUE(
            warning.startsWith(QStringLiteral("A Vorlan 1 document keeps the track's shape only")));
        if (target != shape || answer != QMessageBox::Ok) {
            EXPECT_FALSE(QFile::exists(shape));
            Command(ID_FILE_SAVE);
            ASSERT_TRUE(CDocumentFile::Read(LocalPath(walk), *track, record, view).Ok());
            EXPECT_TRUE(record.HasTime());
        }
    }
    EXPECT_EQ(ReadAll(shape).size(), 14 + 20 * 20);
}

TEST_F(FileTest, FailedSaveIsReportedAndLeavesTheOldFile) {
    ImportSample(20);
    const QString path = m_dir.filePath(QStringLiteral("keep.vrl"));
    ASSERT_TRUE(Doc()->DoSave(path));
    const QByteArray before = ReadAll(path);
    const QString bad = m_dir.filePath(QStringLiteral("missing-folder/x.vrl"));
    QString message;
    DismissNextModal(&message);
    EXPECT_FALSE(Doc()->DoSave(bad));
    EXPECT_TRUE(message.contains(QStringLiteral("x.vrl")));
    EXPECT_EQ(Doc()->GetPathName(), path);
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(FileTest, RefusedFilesOpenNoDocument) {
    ImportSample(20);
    const int nDocs = DocumentCount();
    const QString path = m_dir.filePath(QStringLiteral("bad.vrl"));
    WriteAll(path, OnePointDocument(1.0f, 30.0f, 20.0f).left(33));
    EXPECT_TRUE(OpenRefused(path).contains(QStringLiteral("bad.vrl")));
    WriteAll(path, OnePointDocument(1e30f, 30.0f, 20.0f));
    EXPECT_TRUE(OpenRefused(path).endsWith(QStringLiteral(
        "\nUnexpected file format. The zoom factor 1e+30 is not at least 0.505 and at most 16.")));
    WriteAll(path, OnePointDocument(0.0f, 30.0f, 20.0f));
    EXPECT_FALSE(OpenRefused(path).isEmpty());
    WriteAll(path, OnePointDocument(1.0f, std::numeric_limits<float>::quiet_NaN(), 20.0f));
    EXPECT_FALSE(OpenRefused(path).isEmpty());
    EXPECT_FALSE(OpenRefused(m_dir.filePath(QStringLiteral("none.vrl"))).isEmpty());
    EXPECT_EQ(DocumentCount(), nDocs);
    EXPECT_EQ(Doc()->m_track.m_nCount, 20);

    // The largest zoom the commands reach is accepted.
    WriteAll(path, OnePointDocument(16.0f, 400.0f, -400.0f));
    ASSERT_NE(VorlanApp()->OpenDocumentFile(path), nullptr);
    EXPECT_EQ(View()->Plot()->m_fZoom, 16.0f);
    EXPECT_EQ(DocumentCount(), nDocs + 1);
}

// An unreadable export names the file and the system's reason; the document stays empty.
TEST_F(FileTest, ImportThatCannotBeReadLeavesTheDocumentEmpty) {
    QString error;
    EXPECT_FALSE(Doc()->ImportFile(QStringLiteral("/proc/self/mem"), &error));
    EXPECT_EQ(error, QStringLiteral("/proc/self/mem\nCannot read this file: Input/output error."));
    EXPECT_EQ(Doc()->m_bLoaded, 0);
    EXPECT_EQ(Doc()->m_track.m_nCount, 0);
    EXPECT_TRUE(Enabled(ID_FILE_IMPORT));
}

// Import of something that cannot be read (a folder, a file that has gone) names it and the
// reason; of a file without track points (empty, a blank line, binary data) says so. Either way
// the document stays empty and can import again.
TEST_F(FileTest, ImportWithoutATrackLeavesTheDocumentEmpty) {
    const QString folder = m_dir.filePath(QStringLiteral("folder.txt"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString gone = m_dir.filePath(QStringLiteral("gone.txt"));
    const QString empty = m_dir.filePath(QStringLiteral("empty.txt"));
    WriteAll(empty, QByteArray(""));
    const QString blank = m_dir.filePath(QStringLiteral("blank.txt"));
    WriteAll(blank, QByteArray("\r\n"));
    const QString binary = m_dir.filePath(QStringLiteral("binary.txt"));
    WriteAll(binary, QByteArray("\x7f"
                                "ELF\x02\x01\0\0\xff",
                                9));
    const std::pair<QString, QString> rows[] = {
        {folder, folder + QStringLiteral("\nCannot use this file: it is a directory.")},
        {gone, gone + QStringLiteral("\nCannot open this file: No such file or directory.")},
        {empty, QStringLiteral("No track points in %1.").arg(empty)},
        {blank, QStringLiteral("No track points in %1.").arg(blank)},
        {binary, QStringLiteral("No track points in %1.").arg(binary)},
    };
    for (const auto& [path, expected] : rows) {
        QString error;
        EXPECT_FALSE(Doc()->ImportFile(path, &error));
        EXPECT_EQ(error, expected) << qPrintable(error);
        EXPECT_EQ(Doc()->m_bLoaded, 0);
        EXPECT_EQ(Doc()->m_nPlotMode, -1);
        EXPECT_TRUE(Enabled(ID_FILE_IMPORT));
    }
    // File, Import shows the message.
    QString message;
    OnNextModal(QStringLiteral("the Import dialog"), [this, &message, blank](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->windowTitle(), QStringLiteral("Import Track"));
        pDialog->selectFile(blank);
        DismissNextModal(&message); // the message box that follows
        static_cast<QDialog*>(pDialog)->accept();
    });
    Command(ID_FILE_IMPORT);
    EXPECT_EQ(message, QStringLiteral("No track points in %1.").arg(blank));
    EXPECT_EQ(Doc()->m_bLoaded, 0);
}

TEST_F(FileTest, OpeningAnOpenDocumentActivatesIt) {
    ImportSample(20);
    const QString path = m_dir.filePath(QStringLiteral("once.vrl"));
    ASSERT_TRUE(Doc()->DoSave(path));
    CVorlanDoc* pDoc = Doc();
    Command(ID_FILE_NEW);
    EXPECT_EQ(VorlanApp()->OpenDocumentFile(path), pDoc);
    EXPECT_EQ(Doc(), pDoc);
    EXPECT_EQ(DocumentCount(), 2);
}

TEST_F(FileTest, StartUpWithADocumentOrAMissingFile) {
    ImportSample(20);
    const QString path = m_dir.filePath(QStringLiteral("start.vrl"));
    ASSERT_TRUE(Doc()->DoSave(path));
    VorlanApp()->ExitInstance();

    ASSERT_TRUE(VorlanApp()->InitInstance({QStringLiteral("vorlan"), path}));
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(Doc()->m_nPlotMode, 3);
    EXPECT_EQ(Frame()->MDIArea()->subWindowList().size(), 1);
    VorlanApp()->ExitInstance();

    // The message box's text is repeated on stderr, its line break turned into ": ".
    QString message;
    DismissNextModal(&message);
    const QString missing = m_dir.filePath(QStringLiteral("missing.vrl"));
    const QString printed = CaptureStderr([&] {
        EXPECT_FALSE(VorlanApp()->InitInstance({QStringLiteral("vorlan"), missing}));
    });
    EXPECT_TRUE(message.contains(missing));
    EXPECT_EQ(printed, QStringLiteral("vorlan: ") +
                           QString(message).replace(QLatin1Char('\n'), QStringLiteral(": ")) +
                           QLatin1Char('\n'));
    EXPECT_EQ(DocumentCount(), 0);
}

TEST(ProgramTest, HelpAndVersionNeedNoWindow) {
    QProcess process;
    process.start(QStringLiteral(VORLAN_EXE), {QStringLiteral("--version")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), "vorlan " VORLAN_VERSION "\n");
    process.start(QStringLiteral(VORLAN_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardOutput().contains("FILE.vrl"));
}

// No export or PDF print replaces the document or track it was made from, whatever name or link
// leads to it: the switches, Export Image and Print to File refuse it as vorlan-cli does.
TEST_F(FileTest, NoExportOrPrintReplacesItsInput) {
    ImportSample(40);
    const QString doc = m_dir.filePath(QStringLiteral("hike.svg"));
    ASSERT_TRUE(Doc()->DoSave(doc));
    const QByteArray bytes = ReadAll(doc);
    const QString link = m_dir.filePath(QStringLiteral("out.png"));
    ASSERT_TRUE(QFile::link(doc, link));
    const QStringList runs[] = {
        {QStringLiteral("--export"), link, doc},
        {QStringLiteral("--export"), doc, doc},
        {QStringLiteral("--print-to"), doc + QStringLiteral(".pdf"), doc + QStringLiteral(".pdf")}};
    ASSERT_TRUE(QFile::copy(doc, doc + QStringLiteral(".pdf")));
    for (const QStringList& args : runs) {
        QString error;
        EXPECT_EQ(RunVorlan(args, m_dir.path(), &error), 1) << qPrintable(args.join(' '));
        EXPECT_TRUE(error.contains(QStringLiteral("it is the input file"))) << qPrintable(error);
        EXPECT_EQ(ReadAll(args[1]), bytes);
    }

    EXPECT_TRUE(View()->ExportImage(link, 1).contains(QStringLiteral("it is the input file")));
    QPrinter* pPrinter = VorlanApp()->GetPrinter();
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    pPrinter->setOutputFileName(doc);
    QString message;
    DismissNextModal(&message);
    EXPECT_FALSE(View()->DoFilePrint(true));
    pPrinter->setOutputFileName(QString());
    pPrinter->setOutputFormat(QPrinter::NativeFormat);
    EXPECT_TRUE(message.contains(QStringLiteral("it is the input file"))) << qPrintable(message);
    EXPECT_EQ(ReadAll(doc), bytes);
}

// Stopped while it writes its PDF (as a time limit on a server stops it), the program takes its
// temporary file with it and dies of the signal. The test waits for the file to appear.
TEST(ProgramTest, AStoppedPrintLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString doc = dir.filePath(QStringLiteral("long.vrl"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORLAN_SAMPLES "/long-10000.txt"),
                            dir.filePath(QStringLiteral("long.txt"))));
    QProcess cli;
    cli.start(QStringLiteral(VORLAN_CLI),
              {QStringLiteral("convert"), dir.filePath(QStringLiteral("long.txt")), doc});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const auto temporaryFiles = [&dir] {
        return QDir(dir.path())
            .entryList({QStringLiteral(".vorlan-*")}, QDir::Files | QDir::Hidden);
    };
    bool bCaught = false;
    for (int nTry = 0; nTry < 20 && !bCaught; ++nTry) {
        QProcess vorlan;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        vorlan.setProcessEnvironment(env);
        vorlan.start(QStringLiteral(VORLAN_EXE),
                     {QStringLiteral("--print-to"), dir.filePath(QStringLiteral("out.pdf")), doc});
        ASSERT_TRUE(vorlan.waitForStarted());
        while (vorlan.state() == QProcess::Running && temporaryFiles().isEmpty())
            QCoreApplication::processEvents();
        bCaught = !temporaryFiles().isEmpty() &&
                  ::kill(static_cast<pid_t>(vorlan.processId()), SIGTERM) == 0;
        ASSERT_TRUE(vorlan.waitForFinished(30000));
        if (bCaught) {
            EXPECT_EQ(vorlan.exitStatus(), QProcess::CrashExit);
            EXPECT_EQ(vorlan.exitCode(), SIGTERM);
        }
    }
    EXPECT_TRUE(bCaught) << "the temporary file was never seen";
    EXPECT_TRUE(temporaryFiles().isEmpty()) << qPrintable(temporaryFiles().join(' '));
}

// A read-only file is replaced only when the user agrees, as editors ask; without a user (the
// command line's jobs) it is refused as vorlan-cli refuses it.
TEST_F(FileTest, ReadOnlyFilesAreReplacedOnlyWhenTheUserAgrees) {
    ImportSample(30);
    const QString doc = m_dir.filePath(QStringLiteral("ro.vrl"));
    const QString png = m_dir.filePath(QStringLiteral("ro.png"));
    for (const QString& path : {doc, png}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
        file.close();
        ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    const auto answer = [this](QMessageBox::StandardButton button, QString* pstrText) {
        OnNextModal(QStringLiteral("the read-only question"), [button, pstrText](QWidget* pModal) {
            auto* pBox = qobject_cast<QMessageBox*>(pModal);
            ASSERT_NE(pBox, nullptr);
            *pstrText = pBox->text();
            pBox->button(button)->click();
        });
    };
    QString question;
    answer(QMessageBox::No, &question);
    EXPECT_FALSE(Doc()->DoSave(doc));
    EXPECT_EQ(question, doc + QStringLiteral("\nThis file is read-only. Replace it anyway?"));
    EXPECT_EQ(ReadAll(doc), QByteArray("old"));
    answer(QMessageBox::No, &question);
    EXPECT_EQ(View()->ExportImage(png, 1), QString());
    EXPECT_EQ(ReadAll(png), QByteArray("old"));
    answer(QMessageBox::Yes, &question);
    EXPECT_TRUE(Doc()->DoSave(doc));
    EXPECT_NE(ReadAll(doc), QByteArray("old"));
    EXPECT_EQ(QFile::permissions(doc) & QFile::WriteOwner, 0);

    QString error;
    EXPECT_EQ(RunVorlan({QStringLiteral("--export"), png, doc}, m_dir.path(), &error), 1);
    EXPECT_EQ(
        error,
        QStringLiteral("vorlan: ") + png + QStringLiteral(": ") +
            QString::fromStdString(
                CFileResult::Failure(CFileResult::Fault::refused, "", "is read-only").Sentence()) +
            QLatin1Char('\n'));
    EXPECT_EQ(ReadAll(png), QByteArray("old"));
}

// A file name that is not UTF-8 keeps its bytes from the command line to the file system, in
// the documents opened and the files written (the names from an older system's disk).
TEST_F(FileTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::string folder = LocalPath(m_dir.path()) + "/d\xe9";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string doc = folder + "/lat\xe9.vrl";
    ImportSample(30);
    ASSERT_TRUE(Doc()->DoSave(QtPath(doc)));
    ASSERT_TRUE(std::filesystem::exists(doc));
    Command(ID_FILE_CLOSE);
    EXPECT_NE(VorlanApp()->OpenDocumentFile(QtPath(doc)), nullptr);

    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("cd \"$(printf 'd\\351')\" && XDG_CONFIG_HOME=.. && export "
                        "XDG_CONFIG_HOME && \"$0\" --export \"$(printf '\\351t\\351.png')\" "
                        "\"$(printf 'lat\\351.vrl')\" && exec \"$0\" --print-to "
                        "\"$(printf '\\351.pdf')\" \"$(printf 'lat\\351.vrl')\""),
         QStringLiteral(VORLAN_EXE)});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    EXPECT_TRUE(std::filesystem::exists(folder + "/\xe9t\xe9.png"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/\xe9.pdf"));
    // Qt's own removal of the scratch folder cannot name these files.
    Command(ID_FILE_CLOSE);
    std::filesystem::remove_all(folder);
}

// Run without XDG_RUNTIME_DIR (on a server), the program's message comes alone, with no warning
// of Qt's before it; the runtime folder Qt then uses is private.
TEST(ProgramTest, MessagesComeWithoutQtWarningsWithoutARuntimeFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.vrl"));
    QString error;
    EXPECT_EQ(
        RunVorlan({QStringLiteral("--print-to"), dir.filePath(QStringLiteral("x.pdf")), missing},
                  dir.path(), &error,
                  [&dir](QProcess& process) {
                      QProcessEnvironment env = process.processEnvironment();
                      env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
                      env.insert(QStringLiteral("TMPDIR"), dir.path());
                      process.setProcessEnvironment(env);
                  }),
        1);
    EXPECT_EQ(error, QStringLiteral("vorlan: ") + missing +
                         QStringLiteral(": Cannot open this file: No such file or directory.\n"))
        << qPrintable(error);
    const QFileInfoList runtime =
        QDir(dir.path()).entryInfoList({QStringLiteral("runtime-*")}, QDir::Dirs);
    ASSERT_EQ(runtime.size(), 1);
    EXPECT_EQ(std::filesystem::status(runtime[0].filePath().toStdString()).permissions(),
              std::filesystem::perms::owner_all);
}
} // namespace
