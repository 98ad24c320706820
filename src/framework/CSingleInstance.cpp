#include "CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

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
    const QString name = qEnvironmentVariable("VORLAN_INSTANCE_NAME");
    if (!name.isEmpty())
        return name;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime.isEmpty() ? QDir::tempPath() : runtime)
        .filePath(QStringLiteral("vorlan.socket"));
}

CSingleInstance::HandOver CSingleInstance::SendToRunningInstance(const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kConnectMs))
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
    if (SomeoneListens(name))
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

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
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
