// The shell-open channel between instances of the program: a second start with document names
// hands them to the instance already running, which opens them, comes to the front and answers
// whether it could open them all. A local socket per user carries the names. Used by the
// application's start-up.
#pragma once

#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <map>

class QLocalServer;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(QObject* pParent = nullptr);
    ~CSingleInstance() override;

    // The channel's name: $VORLAN_INSTANCE_NAME when set (the tests use their own), otherwise
    // a socket in the user's private runtime folder.
    static QString ServerName();
    // What became of paths handed to a running instance.
    enum class HandOver {
        NoInstance, // nobody took them: this start opens them itself
        Opened,     // the running instance opened them (or still has them after a long wait)
        Refused,    // the running instance could not open at least one of them
    };
    // Hands the absolute paths to the running instance and waits for its answer.
    static HandOver SendToRunningInstance(const QStringList& paths);

    // Listens for later starts; false when another instance listens already. A socket left
    // behind by an instance that ended without closing it is taken over.
    bool Listen();
    bool IsListening() const;

    // Tells the start that handed over request nRequest whether its paths opened.
    void Answer(quint64 nRequest, bool bOpened);

signals:
    // Paths handed over by a later start, which waits for Answer(nRequest, ...).
    void filesReceived(const QStringList& paths, quint64 nRequest);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* pSocket);

    QLocalServer* m_pServer;
    // The connections that wait for an answer, by request.
    std::map<quint64, QPointer<QLocalSocket>> m_waiting;
    quint64 m_nNextRequest = 1;
};
