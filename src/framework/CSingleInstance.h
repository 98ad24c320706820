// The shell-open channel between instances of the program: a second start with document names
// hands them to the instance already running, which opens them and comes to the front. A local
// socket per user carries the names. Used by the application's start-up.
#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(QObject* pParent = nullptr);
    ~CSingleInstance() override;

    // The channel's name: $VORLAN_INSTANCE_NAME when set (the tests use their own), otherwise
    // a socket in the user's private runtime folder.
    static QString ServerName();
    // Hands the absolute paths to the running instance; true once it has taken them, false
    // when no instance answers.
    static bool SendToRunningInstance(const QStringList& paths);

    // Listens for later starts; false when another instance listens already. A socket left
    // behind by an instance that ended without closing it is taken over.
    bool Listen();
    bool IsListening() const;

signals:
    // Paths handed over by a later start.
    void filesReceived(const QStringList& paths);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* pSocket);

    QLocalServer* m_pServer;
};
