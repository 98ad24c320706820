#include "CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// The message: a tag, then the list of paths. The answer is two bytes: one as soon as the paths
// are taken, one once they have been opened (or refused).
constexpr quint32 kTag = 0x564f524c; // "VORL"
constexpr char kAck = '1';
constexpr char kOpened = 'o';
constexpr char kRefused = 'r';
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 5000;
// Opening waits for a dialog in progress and for the user to read any message, so the result
// may take a while; past this the files count as handed over.
constexpr int kResultMs = 120000;
// Room for the names of thousands of files; a longer message is not one of ours, and holding it
// whole would let a client fill the memory.
constexpr qint64 kMaxMessageBytes = 1 << 20;
// After a failed accept the server waits this long before it accepts again, so that a
// descriptor given back goes to the program first.
constexpr int kAcceptRetryMs = 200;
// The connections take at most this share of the file limit.
constexpr rlim_t kDescriptorShare = 4;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kPrivateMode = 0700;
constexpr const char* kDefaultSocketName = "vorlan.socket";

// The next byte from the socket, or 0 when none comes within nMs.
char ReadAnswer(QLocalSocket& socket, int nMs) {
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(nMs))
            return 0;
    char answer = 0;
    return socket.getChar(&answer) ? answer : 0;
}

bool SomeoneListens(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(kConnectMs);
}

// False when the path does not fit in an address.
bool MakeAddress(const QByteArray& path, sockaddr_un* pAddress) {
    *pAddress = sockaddr_un{};
    pAddress->sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof pAddress->sun_path))
        return false;
    std::memcpy(pAddress->sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

// A socket listening at the address, or -1 with errno set.
int ListeningSocket(const sockaddr_un& address) {
    const int nDescriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (nDescriptor < 0)
        return -1;
    const auto* pAddress = reinterpret_cast<const sockaddr*>(&address);
    if (bind(nDescriptor, pAddress, sizeof address) == 0) {
        if (listen(nDescriptor, SOMAXCONN) == 0)
            return nDescriptor;
        unlink(address.sun_path);
    }
    const int nError = errno;
    close(nDescriptor);
    errno = nError;
    return -1;
}

int ConnectionLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return CSingleInstance::kMaxConnections;
    return int(
        std::clamp<rlim_t>(limit.rlim_cur / kDescriptorShare, 1, CSingleInstance::kMaxConnections));
}

bool IsOutOfResources(int nError) {
    return nError == EMFILE || nError == ENFILE || nError == ENOBUFS || nError == ENOMEM;
}
} // namespace

CSingleInstance::CSingleInstance(QObject* pParent) : QObject(pParent) {}

CSingleInstance::~CSingleInstance() {
    Close();
    // The connections go while the members their handlers use are still there.
    for (const QPointer<QLocalSocket>& pSocket : m_connections)
        delete pSocket.data();
}

QString CSingleInstance::ServerName() {
    const QString folder = QDir::cleanPath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (!QDir::isAbsolutePath(folder) || !IsPrivateFolder(folder))
        return {};
    // Only a file name: the socket stays in the private folder whatever the variable says.
    QString name = QFileInfo(qEnvironmentVariable("VORLAN_INSTANCE_NAME")).fileName();
    if (name.isEmpty())
        name = QLatin1String(kDefaultSocketName);
    return QDir(folder).filePath(name);
}

bool CSingleInstance::IsPrivateFolder(uid_t owner, mode_t mode, uid_t user) {
    return S_ISDIR(mode) && owner == user && (mode & kPermissionBits) == kPrivateMode;
}

bool CSingleInstance::IsPrivateFolder(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 &&
           IsPrivateFolder(st.st_uid, st.st_mode, geteuid());
}

bool CSingleInstance::PeerIsUser(qintptr descriptor, uid_t user) {
    ucred peer{};
    socklen_t nSize = sizeof peer;
    return getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &nSize) == 0 &&
           nSize == sizeof peer && peer.uid == user;
}

CSingleInstance::HandOver CSingleInstance::SendToRunningInstance(const QStringList& paths) {
    const QString name = ServerName();
    if (name.isEmpty())
        return HandOver::NoInstance;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectMs))
        return HandOver::NoInstance;
    // What the user opens is told to no other user's process (root's included); this start
    // then opens the files itself.
    if (!PeerIsUser(socket.socketDescriptor(), geteuid()))
        return HandOver::NoInstance;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << kTag << paths;
    socket.write(message);
    if (!socket.waitForBytesWritten(kAnswerMs) || ReadAnswer(socket, kAnswerMs) != kAck)
        return HandOver::NoInstance;
    const char result = ReadAnswer(socket, kResultMs);
    if (result == kRefused)
        return HandOver::Refused;
    // A running instance that ends before it answers has not opened them.
    if (result != kOpened && socket.state() != QLocalSocket::ConnectedState)
        return HandOver::Refused;
    return HandOver::Opened;
}

// The socket is made here rather than by QLocalServer, which closes for good on the first failed
// accept (one descriptor too many is enough) and removes the socket file.
bool CSingleInstance::Listen() {
    Close();
    const QString name = ServerName();
    sockaddr_un address;
    if (name.isEmpty() || !MakeAddress(QFile::encodeName(name), &address))
        return false;
    int nDescriptor = ListeningSocket(address);
    if (nDescriptor < 0 && errno == EADDRINUSE && !SomeoneListens(name) &&
        unlink(address.sun_path) == 0)
        nDescriptor = ListeningSocket(address);
    if (nDescriptor < 0)
        return false;
    m_nListenDescriptor = nDescriptor;
    m_nMaxConnections = ConnectionLimit();
    m_socketPath = address.sun_path;
    m_pNotifier = new QSocketNotifier(nDescriptor, QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CSingleInstance::OnAcceptReady);
    return true;
}

bool CSingleInstance::IsListening() const {
    return m_nListenDescriptor >= 0;
}

void CSingleInstance::Close() {
    delete m_pNotifier;
    m_pNotifier = nullptr;
    if (m_nListenDescriptor < 0)
        return;
    close(m_nListenDescriptor);
    unlink(m_socketPath.constData());
    m_nListenDescriptor = -1;
}

// A failed accept never ends the server: it waits a moment and accepts again, and the starts
// that connect meanwhile wait in the queue. Out of descriptors (EMFILE) it also closes the
// oldest idle connection.
void CSingleInstance::OnAcceptReady() {
    // At most a full set per wake-up, so that a client that connects without pause cannot hold
    // the event loop.
    for (int n = 0; n < m_nMaxConnections; ++n) {
        const int nDescriptor =
            accept4(m_nListenDescriptor, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (nDescriptor >= 0) {
            Adopt(nDescriptor);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            if (IsOutOfResources(errno))
                DropOldestIdle();
            PauseAccepting();
        }
        return;
    }
}

// A connection from another user's process is closed unread. At the limit the oldest idle
// connection makes room; when every one held waits for its answer, the new one goes.
void CSingleInstance::Adopt(int nDescriptor) {
    if (!PeerIsUser(nDescriptor, geteuid()) ||
        (HeldConnections() >= m_nMaxConnections && !DropOldestIdle())) {
        close(nDescriptor);
        return;
    }
    auto* pSocket = new QLocalSocket(this);
    if (!pSocket->setSocketDescriptor(nDescriptor)) {
        close(nDescriptor);
        delete pSocket;
        return;
    }
    pSocket->setReadBufferSize(kMaxMessageBytes);
    m_connections.push_back(pSocket);
    connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] { OnReadyRead(pSocket); });
    connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
    QTimer::singleShot(kIdleMs, pSocket, [this, pSocket] {
        if (!IsWaiting(pSocket))
            pSocket->abort();
    });
}

int CSingleInstance::HeldConnections() {
    std::erase_if(m_connections,
                  [](const QPointer<QLocalSocket>& pSocket) { return pSocket.isNull(); });
    return int(std::count_if(m_connections.begin(), m_connections.end(),
                             [](const QPointer<QLocalSocket>& pSocket) {
                                 return pSocket->state() == QLocalSocket::ConnectedState;
                             }));
}

// Idle: connected, and the whole message has not come yet.
bool CSingleInstance::DropOldestIdle() {
    for (const QPointer<QLocalSocket>& pSocket : m_connections)
        if (pSocket && pSocket->state() == QLocalSocket::ConnectedState && !IsWaiting(pSocket)) {
            pSocket->abort();
            return true;
        }
    return false;
}

void CSingleInstance::PauseAccepting() {
    m_pNotifier->setEnabled(false);
    QTimer::singleShot(kAcceptRetryMs, m_pNotifier,
                       [pNotifier = m_pNotifier] { pNotifier->setEnabled(true); });
}

bool CSingleInstance::IsWaiting(const QLocalSocket* pSocket) const {
    return std::any_of(m_waiting.begin(), m_waiting.end(),
                       [pSocket](const auto& waiting) { return waiting.second == pSocket; });
}

// The message may arrive in pieces: it is read once it is complete. Anything that is not our
// message, or is longer than ours can be, closes the connection; one message per connection.
void CSingleInstance::OnReadyRead(QLocalSocket* pSocket) {
    if (IsWaiting(pSocket))
        return;
    QDataStream in(pSocket);
    in.startTransaction();
    quint32 tag = 0;
    QStringList paths;
    in >> tag >> paths;
    if (!in.commitTransaction()) {
        if ((tag != 0 && tag != kTag) || pSocket->bytesAvailable() >= kMaxMessageBytes)
            pSocket->abort();
        return;
    }
    if (tag != kTag) {
        pSocket->abort();
        return;
    }
    pSocket->putChar(kAck);
    pSocket->flush();
    const quint64 nRequest = m_nNextRequest++;
    m_waiting[nRequest] = pSocket;
    emit filesReceived(paths, nRequest);
}

// The answer is the last word: the connection closes once it is written.
void CSingleInstance::Answer(quint64 nRequest, bool bOpened) {
    const auto it = m_waiting.find(nRequest);
    if (it == m_waiting.end())
        return;
    if (QLocalSocket* pSocket = it->second) {
        pSocket->putChar(bOpened ? kOpened : kRefused);
        pSocket->disconnectFromServer();
    }
    m_waiting.erase(it);
}
