#include "CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
// The message: a tag, then the list of paths. The answer is one byte.
constexpr quint32 kTag = 0x564f524c; // "VORL"
constexpr char kAck = '1';
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 5000;

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

bool CSingleInstance::SendToRunningInstance(const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kConnectMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << kTag << paths;
    socket.write(message);
    if (!socket.waitForBytesWritten(kAnswerMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(kAnswerMs))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kAck;
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
    emit filesReceived(paths);
}
