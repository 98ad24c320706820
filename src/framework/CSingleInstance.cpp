#include "CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <sys/stat.h>
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
} // namespace

CSingleInstance::CSingleInstance(QObject* pParent)
    : QObject(pParent), m_pServer(new QLocalServer(this)) {
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

CSingleInstance::~CSingleInstance() {
    m_pServer->close();
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

// A server made with access options replaces a socket file of the same name, so the name is
// tried first.
bool CSingleInstance::Listen() {
    const QString name = ServerName();
    if (name.isEmpty() || SomeoneListens(name))
        return false;
    if (m_pServer->listen(name))
        return true;
    if (m_pServer->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(name);
    return m_pServer->listen(name);
}

bool CSingleInstance::IsListening() const {
    return m_pServer->isListening();
}

// A connection from another user's process is closed unread.
void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        if (!PeerIsUser(pSocket->socketDescriptor(), geteuid())) {
            pSocket->abort();
            pSocket->deleteLater();
            continue;
        }
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] { OnReadyRead(pSocket); });
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        if (pSocket->bytesAvailable() > 0)
            OnReadyRead(pSocket);
    }
}

// The message may arrive in pieces: it is read once it is complete. Anything that is not our
// message closes the connection.
void CSingleInstance::OnReadyRead(QLocalSocket* pSocket) {
    QDataStream in(pSocket);
    in.startTransaction();
    quint32 tag = 0;
    QStringList paths;
    in >> tag >> paths;
    if (!in.commitTransaction()) {
        if (tag != 0 && tag != kTag)
            pSocket->disconnectFromServer();
        return;
    }
    if (tag != kTag) {
        pSocket->disconnectFromServer();
        return;
    }
    pSocket->putChar(kAck);
    pSocket->flush();
    const quint64 nRequest = m_nNextRequest++;
    m_waiting[nRequest] = pSocket;
    emit filesReceived(paths, nRequest);
}

void CSingleInstance::Answer(quint64 nRequest, bool bOpened) {
    const auto it = m_waiting.find(nRequest);
    if (it == m_waiting.end())
        return;
    if (QLocalSocket* pSocket = it->second) {
        pSocket->putChar(bOpened ? kOpened : kRefused);
        pSocket->flush();
    }
    m_waiting.erase(it);
}
