// The desktop around the program: files dropped on the main window or named on the command line,
// track files of every format with the Import dialog's filters, a second start handing its
// documents to the running instance (only in a private folder, only between processes of the
// user, whatever else connects), and the help commands.
#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CMultiDocTemplate.h"
#include "CSingleInstance.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <QUrl>
#include <QWhatsThis>

#include <algorithm>
#include <memory>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

// Stands in for the desktop's viewer: keeps the file URLs the program asks to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> m_urls;
public slots:
    void Open(const QUrl& url) { m_urls << url; }
};

namespace {
// Time for a vorlan of the test's own to start, hand over or open its files.
constexpr int kProgramMs = 20000;

// Tells when some process opens the file.
class OpenWatch {
public:
    explicit OpenWatch(const QString& path) : m_nFd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(m_nFd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenWatch() { close(m_nFd); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;
    bool Opened() const {
        char events[sizeof(inotify_event) + NAME_MAX + 1];
        return read(m_nFd, events, sizeof events) > 0;
    }

private:
    int m_nFd;
};

// The test's own connections to a socket, held while this lives. Each connect waits at most a
// moment for room in the server's queue; one that fails (the server is gone) is not held.
class HeldConnections {
public:
    HeldConnections(const QString& path, int nCount) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::copy(name.begin(), name.end(), address.sun_path);
        const timeval wait{2, 0};
        for (int i = 0; i < nCount; ++i) {
            const int nFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            setsockopt(nFd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
            if (connect(nFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
                m_fds.push_back(nFd);
            else
                close(nFd);
        }
    }
    ~HeldConnections() {
        for (const int nFd : m_fds)
            close(nFd);
    }
    HeldConnections(const HeldConnections&) = delete;
    HeldConnections& operator=(const HeldConnections&) = delete;

private:
    std::vector<int> m_fds;
};

// While it lives this process can open no descriptor: the soft file limit is lowered to the
// lowest free one.
class NoFreeDescriptors {
public:
    NoFreeDescriptors() {
        getrlimit(RLIMIT_NOFILE, &m_saved);
        const int nLowestFree = dup(STDERR_FILENO);
        close(nLowestFree);
        const rlimit none{rlim_t(nLowestFree), m_saved.rlim_max};
        setrlimit(RLIMIT_NOFILE, &none);
    }
    ~NoFreeDescriptors() { setrlimit(RLIMIT_NOFILE, &m_saved); }
    NoFreeDescriptors(const NoFreeDescriptors&) = delete;
    NoFreeDescriptors& operator=(const NoFreeDescriptors&) = delete;

private:
    rlimit m_saved{};
};

// The environment of a vorlan of the test's own whose channel, if any, is "vorlan.socket" in
// runtimeFolder (unset when empty), with its settings in configDir.
QProcessEnvironment OwnChannel(const QString& runtimeFolder, const QString& configDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    env.remove(QStringLiteral("VORLAN_INSTANCE_NAME"));
    if (runtimeFolder.isEmpty())
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    else
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return env;
}

QString MakeFolder(const QString& path, mode_t mode) {
    const QByteArray name = QFile::encodeName(path);
    EXPECT_EQ(mkdir(name.constData(), mode), 0) << qPrintable(path);
    EXPECT_EQ(chmod(name.constData(), mode), 0) << qPrintable(path); // whatever the umask
    return path;
}

class DesktopTest : public AppTest {
protected:
    QList<CDocument*> Documents() { return VorlanApp()->GetDocTemplate()->GetDocuments(); }
    QString SaveSample(const QString& name) {
        ImportSample(50);
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(Doc()->DoSave(path));
        Command(ID_FILE_CLOSE);
        return QFileInfo(path).absoluteFilePath();
    }
    // Drags the files onto the main window and drops them; true when the window took them.
    bool Drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        const QPoint pt = Frame()->rect().center();
        QDragEnterEvent enter(pt, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Frame(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(pt), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Frame(), &drop);
        // The documents open once the drop is over.
        QApplication::processEvents();
        return drop.isAccepted();
    }
};

TEST_F(DesktopTest, DroppedDocumentsAndExportsOpen) {
    const QString vrl = SaveSample(QStringLiteral("dropped.vrl"));
    const QString txt = WriteTrackFile(m_dir.filePath(QStringLiteral("Dropped.TXT")), 80);
    const int nBefore = Documents().size();
    ASSERT_TRUE(Drop({vrl, txt}));
    ASSERT_EQ(Documents().size(), nBefore + 2);

    auto* pOpened = static_cast<CVorlanDoc*>(Documents()[nBefore]);
    EXPECT_EQ(pOpened->GetPathName(), vrl);
    EXPECT_EQ(pOpened->m_nPlotMode, CVorlanDoc::kPlot3D);
    // The export is imported into a new, untitled document.
    auto* pImported = static_cast<CVorlanDoc*>(Documents()[nBefore + 1]);
    EXPECT_TRUE(pImported->GetPathName().isEmpty());
    EXPECT_EQ(pImported->m_bLoaded, 1);
    EXPECT_EQ(pImported->m_track.m_nCount, 80);
    EXPECT_EQ(pImported->m_nPlotMode, CVorlanDoc::kPlot3D);
    EXPECT_EQ(Doc(), pImported);
    EXPECT_EQ(Frame()->CurrentMenu(), IDR_VORLANTYPE);
}

TEST_F(DesktopTest, DroppedFilesThatCannotBeReadAreReported) {
    const int nBefore = Documents().size();
    QString message;
    DismissNextModal(&message);
    const QString missing = m_dir.filePath(QStringLiteral("gone.txt"));
    ASSERT_TRUE(Drop({missing}));
    EXPECT_TRUE(message.contains(missing)) << qPrintable(message);
    EXPECT_EQ(Documents().size(), nBefore);

    // Neither a track file nor a document: refused like File, Open refuses it.
    const QString text = WriteTrackFile(m_dir.filePath(QStringLiteral("track.csv")), 5);
    DismissNextModal(&message);
    ASSERT_TRUE(Drop({text}));
    EXPECT_TRUE(message.contains(QStringLiteral("Unexpected file format"))) << qPrintable(message);
    EXPECT_EQ(Documents().size(), nBefore);

    // Only local files are taken.
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.org/a.vrl"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Frame(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

// A GPX file named on the command line or dropped becomes a new document titled after the file,
// with what was read in the status bar; Save As proposes that name as a document.
TEST_F(DesktopTest, GpxFromTheCommandLineOrADropIsImportedAndTitledAfterTheFile) {
    const QString gpx = QStringLiteral(VORLAN_SAMPLES "/two-tracks.gpx");
    VorlanApp()->ExitInstance();
    ASSERT_TRUE(VorlanApp()->InitInstance({QStringLiteral("vorlan"), gpx}));
    ASSERT_EQ(Documents().size(), 1);
    EXPECT_EQ(Doc()->m_track.m_nCount, 2400);
    EXPECT_EQ(Doc()->m_nPlotMode, CVorlanDoc::kPlot3D);
    EXPECT_TRUE(Doc()->GetPathName().isEmpty());
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("two-tracks"));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Vorlan - [two-tracks]"));
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), QStringLiteral("GPX: 2400 points read."));

    const QString copy = m_dir.filePath(QStringLiteral("Long Ride.GPX"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORLAN_SAMPLES "/long-30000.gpx"), copy));
    ASSERT_TRUE(Drop({copy}));
    ASSERT_EQ(Documents().size(), 2);
    EXPECT_EQ(Doc()->m_track.m_nCount, 10000);
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("Long Ride"));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Vorlan - [Long Ride]"));
    EXPECT_EQ(Frame()->statusBar()->currentMessage(),
              QStringLiteral("GPX: 30000 points read.  Simplified from 30000 to 10000 points."));

    QString proposed;
    OnNextModal(QStringLiteral("the Save As dialog"), [&proposed](QWidget* pModal) {
        // The name box as the user sees it (the dialog adds the suffix to its result anyway).
        if (auto* pEdit = pModal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            proposed = pEdit->text();
        static_cast<QDialog*>(pModal)->reject();
    });
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(proposed, QStringLiteral("Long Ride.vrl"));
    ASSERT_TRUE(Doc()->DoSave(m_dir.filePath(QStringLiteral("ride.vrl"))));
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("ride.vrl"));
}

// A GPX file that gives no track opens no document; Import leaves the empty document as it was.
TEST_F(DesktopTest, AGpxFileWithoutATrackOpensNoDocument) {
    const QString empty = m_dir.filePath(QStringLiteral("empty.gpx"));
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<gpx version=\"1.1\"><trk><trkseg/></trk></gpx>\n");
    file.close();
    const int nBefore = Documents().size();
    QString message;
    DismissNextModal(&message);
    ASSERT_TRUE(Drop({empty}));
    // The file is named once.
    EXPECT_EQ(message, QStringLiteral("No track points in ") + empty + QLatin1Char('.'));
    EXPECT_EQ(Documents().size(), nBefore);

    QString error;
    EXPECT_FALSE(Doc()->ImportFile(empty, &error));
    EXPECT_EQ(error, message);
    EXPECT_EQ(Doc()->m_bLoaded, 0);
    EXPECT_TRUE(Enabled(ID_FILE_IMPORT));
}

// Among files named on the command line or dropped, those that cannot be opened are listed in
// one message and the others open; the program runs on with them. A drop that opens nothing
// leaves the active window as it was.
TEST_F(DesktopTest, OneBadFileAmongManyStillOpensTheOthers) {
    const QString good = QStringLiteral(VORLAN_SAMPLES "/two-tracks.gpx");
    const QString broken = m_dir.filePath(QStringLiteral("broken.gpx"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"></trk></gpx>\n");
    file.close();
    const QString ride = WriteTrackFile(m_dir.filePath(QStringLiteral("ride.txt")), 60);
    VorlanApp()->ExitInstance();
    QString message;
    DismissNextModal(&message);
    ASSERT_TRUE(VorlanApp()->InitInstance({QStringLiteral("vorlan"), good, broken, ride}));
    ASSERT_EQ(Documents().size(), 2);
    EXPECT_TRUE(message.startsWith(broken + QLatin1Char('\n'))) << qPrintable(message);
    EXPECT_EQ(Doc()->GetTitle(), QStringLiteral("ride"));

    const QString missing = m_dir.filePath(QStringLiteral("gone.gpx"));
    DismissNextModal(&message);
    ASSERT_TRUE(Drop({broken, good, missing}));
    EXPECT_EQ(Documents().size(), 3);
    EXPECT_TRUE(
        message.startsWith(QStringLiteral("2 of 3 files could not be opened:\n\n") + broken))
        << qPrintable(message);
    EXPECT_TRUE(message.contains(missing)) << qPrintable(message);

    CVorlanDoc* pActive = Doc();
    ASSERT_TRUE(ActiveChild()->isMaximized());
    DismissNextModal();
    ASSERT_TRUE(Drop({broken}));
    EXPECT_EQ(Documents().size(), 3);
    EXPECT_EQ(Doc(), pActive);
    EXPECT_TRUE(ActiveChild()->isMaximized());
}

// The Import dialog lists every track file first and MapSource exports second, then one filter
// per other format and all files last.
TEST_F(DesktopTest, ImportDialogFiltersEveryTrackFormat) {
    QStringList filters;
    OnNextModal(QStringLiteral("the Import dialog"), [&filters](QWidget* pModal) {
        if (auto* pDialog = qobject_cast<QFileDialog*>(pModal))
            filters = pDialog->nameFilters();
        static_cast<QDialog*>(pModal)->reject();
    });
    Command(ID_FILE_IMPORT);
    ASSERT_EQ(filters.size(), 10) << qPrintable(filters.join(QLatin1Char('|')));
    EXPECT_EQ(filters[0], QStringLiteral("All Track Files (*.txt *.TXT *.gpx *.GPX *.fit *.FIT "
                                         "*.tcx *.TCX *.kml *.KML *.igc *.IGC *.nmea *.NMEA "
                                         "*.nma *.NMA *.gdb *.GDB *.geojson *.GEOJSON *.gtm *.GTM "
                                         "*.ht *.HT *.mmo *.MMO *.plt *.PLT *.rdn *.RDN *.tr7 "
                                         "*.TR7 *.usr *.USR)"));
    EXPECT_EQ(filters[1], QStringLiteral("MapSource Exported Files (*.txt; *.TXT)"));
    EXPECT_EQ(filters[2], QStringLiteral("GPX Files (*.gpx *.GPX)"));
    EXPECT_EQ(filters[7], QStringLiteral("NMEA Files (*.nmea *.NMEA *.nma *.NMA)"));
    EXPECT_TRUE(filters[8].startsWith(QStringLiteral("Other formats (GPSBabel) (*.gdb *.GDB ")))
        << qPrintable(filters[8]);
    EXPECT_EQ(filters[9], QStringLiteral("All Files (*)"));
}

// A second start with a document hands it to this instance and ends; --new-instance keeps it.
TEST_F(DesktopTest, SecondStartHandsItsDocumentsToTheRunningInstance) {
    ASSERT_TRUE(VorlanApp()->IsShellOpenServer());
    const QString vrl = SaveSample(QStringLiteral("handed.vrl"));
    const int nBefore = Documents().size();

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(m_dir.path());
    // A name relative to the second program's folder.
    second.start(QStringLiteral(VORLAN_EXE), {QStringLiteral("handed.vrl")});
    // This process must keep handling events while the second one waits for its answer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000))
        << "the second start did not end";
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents().size() == nBefore + 1; }, 5000))
        << "the handed document did not open";
    EXPECT_EQ(Documents().last()->GetPathName(), vrl);
    EXPECT_EQ(Doc(), Documents().last());
}

TEST_F(DesktopTest, NewInstanceSwitchOpensTheDocumentItself) {
    const QString vrl = SaveSample(QStringLiteral("own.vrl"));
    VorlanApp()->ExitInstance();
    // Another instance listens under the name.
    CSingleInstance other;
    ASSERT_TRUE(other.Listen());
    QStringList received;
    QObject::connect(&other, &CSingleInstance::filesReceived,
                     [&](const QStringList& paths) { received = paths; });
    ASSERT_TRUE(VorlanApp()->InitInstance(
        {QStringLiteral("vorlan"), QStringLiteral("--new-instance"), vrl}));
    QApplication::processEvents();
    EXPECT_TRUE(received.isEmpty());
    ASSERT_EQ(Documents().size(), 1);
    EXPECT_EQ(Documents().first()->GetPathName(), vrl);
    // The name was taken, so this instance does not listen.
    EXPECT_FALSE(VorlanApp()->IsShellOpenServer());
}

// An instance that ended without closing its socket leaves the file behind; the next one takes
// the name over.
TEST_F(DesktopTest, LeftOverSocketIsTakenOver) {
    VorlanApp()->ExitInstance();
    const QString name = CSingleInstance::ServerName();
    ASSERT_FALSE(name.isEmpty());
    {
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(VorlanApp()->InitInstance({QStringLiteral("vorlan")}));
    EXPECT_TRUE(VorlanApp()->IsShellOpenServer());
    QLocalSocket socket;
    socket.connectToServer(name);
    EXPECT_TRUE(socket.waitForConnected(1000));
}

// Only a real folder of the user's with mode 0700 holds the channel: elsewhere another user
// could listen in the user's place, or plant a socket there.
TEST(SingleInstanceTest, OnlyAPrivateFolderOfTheUserHoldsTheChannel) {
    constexpr uid_t kUser = 1000;
    constexpr uid_t kOther = 1001;
    const struct {
        uid_t owner;
        mode_t mode;
        bool bPrivate;
    } rows[] = {
        {kUser, S_IFDIR | 0700, true},   {kOther, S_IFDIR | 0700, false},
        {kUser, S_IFDIR | 0755, false},  {kUser, S_IFDIR | 0777, false},
        {kUser, S_IFDIR | 01777, false}, {kUser, S_IFLNK | 0777, false},
        {kUser, S_IFREG | 0700, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CSingleInstance::IsPrivateFolder(row.owner, row.mode, kUser), row.bPrivate)
            << row.owner << " " << std::oct << row.mode;
}

// A connection whose other end runs as another user is not trusted (a socket pair of this
// process stands in for it by asking for another user id); nor is anything without credentials.
TEST(SingleInstanceTest, OnlyAPeerOfTheUserIsTrusted) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    EXPECT_TRUE(CSingleInstance::PeerIsUser(pair[0], geteuid()));
    EXPECT_FALSE(CSingleInstance::PeerIsUser(pair[0], geteuid() + 1));
    EXPECT_FALSE(CSingleInstance::PeerIsUser(pipeEnds[0], geteuid()));
    EXPECT_FALSE(CSingleInstance::PeerIsUser(-1, geteuid()));
    for (const int nFd : {pair[0], pair[1], pipeEnds[0], pipeEnds[1]})
        close(nFd);
}

// Without a private runtime folder a start never talks to whoever listens where the channel
// would be (a shared folder, one open to others, the end of a link): it opens its files itself.
TEST_F(DesktopTest, NoHandOverOutsideAPrivateFolder) {
    const QString track = m_dir.filePath(QStringLiteral("mine.txt"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORLAN_SAMPLES "/ridge-dm.txt"), track));
    const passwd* pUser = getpwuid(geteuid());
    ASSERT_NE(pUser, nullptr);
    // Where Qt falls back to without XDG_RUNTIME_DIR: here a file stands in for a folder of
    // another user's, which a test cannot make.
    {
        QFile taken(
            m_dir.filePath(QStringLiteral("runtime-") + QString::fromLocal8Bit(pUser->pw_name)));
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    }
    const QString linked = MakeFolder(m_dir.filePath(QStringLiteral("linked")), 0700);
    const QString link = m_dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(linked, link));
    const struct {
        QString runtime;   // XDG_RUNTIME_DIR, unset when empty
        QString listening; // where another user's process would listen
    } rows[] = {
        {QString(), m_dir.path()},
        {MakeFolder(m_dir.filePath(QStringLiteral("open")), 0777),
         m_dir.filePath(QStringLiteral("open"))},
        {MakeFolder(m_dir.filePath(QStringLiteral("readable")), 0755),
         m_dir.filePath(QStringLiteral("readable"))},
        {link, linked},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(qPrintable(row.runtime));
        QLocalServer listener;
        ASSERT_TRUE(listener.listen(row.listening + QStringLiteral("/vorlan.socket")));
        OpenWatch watch(track);
        QProcess start;
        QProcessEnvironment env = OwnChannel(row.runtime, m_dir.path());
        env.insert(QStringLiteral("TMPDIR"), m_dir.path());
        start.setProcessEnvironment(env);
        start.start(QStringLiteral(VORLAN_EXE), {track});
        EXPECT_TRUE(QTest::qWaitFor([&watch] { return watch.Opened(); }, kProgramMs))
            << "the start did not open its file";
        start.kill();
        start.waitForFinished();
        EXPECT_FALSE(listener.waitForNewConnection(0)) << "the start talked to the listener";
    }
}

// Past the limit the oldest connections that have not sent their message go at once, as does one
// whose message is longer than any of ours; the rest go when they have been idle too long, a
// message begun and never finished included.
TEST_F(DesktopTest, ShellOpenServerCapsAndTimesOutIdleConnections) {
    ASSERT_TRUE(VorlanApp()->IsShellOpenServer());
    constexpr int kExtra = 8;
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < CSingleInstance::kMaxConnections + kExtra; ++i) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(CSingleInstance::ServerName());
        ASSERT_TRUE(sockets.back()->waitForConnected(1000)) << i;
        QApplication::processEvents();
    }
    sockets.back()->write("VO");
    // A message's start, "VORL" and one path, but a path of 2 MiB.
    const int nTooLong = kExtra;
    sockets[nTooLong]->write(QByteArray("VORL\0\0\0\1\0\x20\0\0", 12) + QByteArray(1 << 20, 'x'));
    const auto closed = [&sockets](int nFrom, int nTo) {
        for (int i = nFrom; i < nTo; ++i)
            if (sockets[std::size_t(i)]->state() != QLocalSocket::UnconnectedState)
                return false;
        return true;
    };
    // Well before the idle time-out.
    constexpr int kAtOnceMs = CSingleInstance::kIdleMs / 2;
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed(0, nTooLong + 1); }, kAtOnceMs));
    EXPECT_LT(timer.elapsed(), kAtOnceMs);
    for (std::size_t i = nTooLong + 1; i < sockets.size(); ++i)
        EXPECT_EQ(sockets[i]->state(), QLocalSocket::ConnectedState) << i;
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed(nTooLong + 1, int(sockets.size())); },
                                2 * CSingleInstance::kIdleMs));
}

// A failed accept (no descriptor left while a start waits) does not end the server: a later start
// still hands its document over.
TEST_F(DesktopTest, ShellOpenServerOutlivesAFailedAccept) {
    const QString vrl = SaveSample(QStringLiteral("after.vrl"));
    const int nBefore = Documents().size();
    QLocalSocket waiting;
    waiting.connectToServer(CSingleInstance::ServerName());
    ASSERT_TRUE(waiting.waitForConnected(1000));
    {
        const NoFreeDescriptors full;
        QApplication::processEvents();
    }
    ASSERT_TRUE(VorlanApp()->IsShellOpenServer());

    QProcess later;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
    later.setProcessEnvironment(env);
    later.start(QStringLiteral(VORLAN_EXE), {vrl});
    ASSERT_TRUE(
        QTest::qWaitFor([&later] { return later.state() == QProcess::NotRunning; }, kProgramMs))
        << "the later start did not hand its document over";
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(Documents().size(), nBefore + 1);
}

// A vorlan whose file limit is passed by the connections another program of the user's holds
// still takes a later start's files, under a limit above the connections it holds and under one
// below them.
TEST_F(DesktopTest, ShellOpenServerKeepsServingAtTheFileLimit) {
    const QString track = m_dir.filePath(QStringLiteral("handed.txt"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORLAN_SAMPLES "/ridge-dm.txt"), track));
    constexpr int kAbove = 64; // connections beyond the limit
    for (const rlim_t nLimit : {rlim_t(2 * CSingleInstance::kMaxConnections), rlim_t(40)}) {
        SCOPED_TRACE(nLimit);
        const QString folder = MakeFolder(m_dir.filePath(QString::number(nLimit)), 0700);
        const QString socket = folder + QStringLiteral("/vorlan.socket");
        const QProcessEnvironment env = OwnChannel(folder, m_dir.path());
        QProcess server;
        server.setProcessEnvironment(env);
        server.setChildProcessModifier([nLimit] {
            const rlimit limit{nLimit, nLimit};
            setrlimit(RLIMIT_NOFILE, &limit);
        });
        server.start(QStringLiteral(VORLAN_EXE), {});
        ASSERT_TRUE(QTest::qWaitFor(
            [&socket] {
                QLocalSocket probe;
                probe.connectToServer(socket);
                return probe.waitForConnected(100);
            },
            kProgramMs))
            << "the server did not start";
        const HeldConnections flood(socket, int(nLimit) + kAbove);
        QProcess later;
        later.setProcessEnvironment(env);
        later.start(QStringLiteral(VORLAN_EXE), {track});
        EXPECT_TRUE(
            QTest::qWaitFor([&later] { return later.state() == QProcess::NotRunning; }, kProgramMs))
            << "the later start did not hand its file over";
        EXPECT_EQ(later.exitCode(), 0);
        later.kill();
        later.waitForFinished();
        server.kill();
        server.waitForFinished();
    }
}
TEST_F(DesktopTest, HelpCommandsOpenTheUserGuide) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    Command(ID_HELP_FINDER);
    ImportSample(50);
    Command(ID_HELP);
    Command(ID_PLOT_ELEVATION);
    Frame()->Action(ID_HELP)->trigger(); // F1
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    ASSERT_EQ(catcher.m_urls.size(), 3);
    const QString guide = CMainFrame::HelpFilePath();
    ASSERT_FALSE(guide.isEmpty());
    EXPECT_TRUE(guide.endsWith(QStringLiteral("/user-guide.html")));
    for (const QUrl& url : catcher.m_urls)
        EXPECT_EQ(url.toLocalFile(), guide);
    EXPECT_EQ(catcher.m_urls[0].fragment(), QString());
    EXPECT_EQ(catcher.m_urls[1].fragment(), QStringLiteral("3d-view"));
    EXPECT_EQ(catcher.m_urls[2].fragment(), QStringLiteral("elevation-chart"));
    // Every part that F1 leads to is in the guide.
    QFile file(guide);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray html = file.readAll();
    for (const char* id : {"importing", "3d-view", "elevation-chart"})
        EXPECT_TRUE(html.contains(QByteArray("id=\"") + id + '"')) << id;
}

TEST_F(DesktopTest, ContextHelpAsksForAnObject) {
    EXPECT_EQ(Frame()->StatusText(), QStringLiteral("For Help, press F1"));
    EXPECT_EQ(Frame()->Action(ID_CONTEXT_HELP)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    Command(ID_CONTEXT_HELP);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(Frame()->StatusText(), QStringLiteral("Select an object on which to get Help"));
    QHelpEvent query(QEvent::QueryWhatsThis, QPoint(5, 5), View()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(View(), &query);
    EXPECT_TRUE(query.isAccepted());
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(Frame()->StatusText(), QStringLiteral("For Help, press F1"));
}
// What's This explains each command in a sentence of its own, not the prompt or tooltip again,
// with the keys and mouse gestures that belong to it.
TEST_F(DesktopTest, WhatsThisExplainsEveryCommand) {
    for (const UINT nMenu : {IDR_MAINFRAME, IDR_VORLANTYPE})
        for (QMenu* pMenu : Frame()->Menus(nMenu))
            for (QAction* pAction : pMenu->actions()) {
                if (pAction->isSeparator() || !pAction->isVisible())
                    continue;
                const QString text = pAction->whatsThis();
                EXPECT_NE(text, pAction->statusTip()) << qPrintable(pAction->text());
                EXPECT_NE(text, pAction->toolTip()) << qPrintable(pAction->text());
                EXPECT_TRUE(text.endsWith(QLatin1Char('.'))) << qPrintable(text);
            }
    const QString plot3D = Frame()->Action(ID_PLOT_3D)->whatsThis();
    EXPECT_TRUE(plot3D.contains(QStringLiteral("arrow keys")) &&
                plot3D.contains(QStringLiteral("Home")))
        << qPrintable(plot3D);
    const QString zoom = Frame()->Action(ID_ZOOM_IN)->whatsThis();
    EXPECT_TRUE(zoom.contains(QStringLiteral("rectangle")) && zoom.contains(QStringLiteral("Esc")))
        << qPrintable(zoom);
}

// Without a desktop viewer (the offscreen platform has none) the message says where the guide
// is.
TEST_F(DesktopTest, HelpWithoutABrowserNamesTheGuide) {
    const QString guide = CMainFrame::HelpFilePath();
    ASSERT_FALSE(guide.isEmpty());
    QString message;
    DismissNextModal(&message);
    Frame()->Action(ID_HELP)->trigger();
    EXPECT_EQ(message, QStringLiteral("Failed to launch help.\nThe user guide is %1; open it in a "
                                      "web browser.")
                           .arg(guide));
}

// A second start whose file the running instance cannot open reports it there and ends with
// status 1.
TEST_F(DesktopTest, SecondStartWithAFileThatCannotBeOpenedFails) {
    ASSERT_TRUE(VorlanApp()->IsShellOpenServer());
    const QString bad = m_dir.filePath(QStringLiteral("bad.vrl"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a document");
    }
    const int nBefore = Documents().size();
    QString message;
    DismissNextModal(&message);
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(VORLAN_EXE), {bad});
    QElapsedTimer timer;
    timer.start();
    while (second.state() != QProcess::NotRunning && timer.elapsed() < 20000)
        QTest::qWait(20);
    ASSERT_EQ(second.state(), QProcess::NotRunning) << "the second start did not end";
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(message.contains(bad)) << qPrintable(message);
    EXPECT_EQ(Documents().size(), nBefore);
}
} // namespace

#include "DesktopTest.moc"
