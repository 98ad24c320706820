// The shell-open channel between instances of the program: a second start with document names
// hands them to the instance already running, which opens them, comes to the front and answers
// whether it could open them all. A local socket in the user's private runtime folder carries the
// names, between processes of that user only. Used by the application's start-up.
#pragma once

#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <map>
#include <sys/types.h>

class QSocketNotifier;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    // At most this many connections are held at once (fewer under a low file limit: a quarter
    // of it), so that a client that opens many cannot take the descriptors the program needs:
    // past it the oldest idle connection is closed.
    static constexpr int kMaxConnections = 64;
    // A connection that has not sent its whole message within this time is closed; a later
    // start sends it as soon as it is connected.
    static constexpr int kIdleMs = 3000;

    explicit CSingleInstance(QObject* pParent = nullptr);
    ~CSingleInstance() override;

    // The channel's socket: $VORLAN_INSTANCE_NAME (the tests use their own) or "vorlan.socket"
    // in the runtime folder $XDG_RUNTIME_DIR, which the program's start names when the session
    // has none. Empty when that folder is not private to the user: the program then runs without
    // the channel, as anywhere else another user could listen or plant a socket.
    static QString ServerName();

    // Whether a folder with this owner and mode (from lstat) may hold the socket for the user:
    // only a real folder of the user's with mode 0700, never a link.
    static bool IsPrivateFolder(uid_t owner, mode_t mode, uid_t user);
    // The same for the folder at the path and the effective user.
    static bool IsPrivateFolder(const QString& path);
    // True when the process at the other end of the connected local socket runs as the user.
    static bool PeerIsUser(qintptr descriptor, uid_t user);

    // What became of paths handed to a running instance.
    enum class HandOver {
        NoInstance, // nobody (of this user) took them: this start opens them itself
        Opened,     // the running instance opened them (or still has them after a long wait)
        Refused,    // the running instance could not open at least one of them
    };
    // Hands the absolute paths to the running instance and waits for its answer.
    static HandOver SendToRunningInstance(const QStringList& paths);

    // Listens for later starts; false when another instance listens already or there is no
    // private folder. A socket left behind by an instance that ended without removing it is
    // taken over.
    bool Listen();
    bool IsListening() const;

    // Tells the start that handed over request nRequest whether its paths opened.
    void Answer(quint64 nRequest, bool bOpened);

signals:
    // Paths handed over by a later start, which waits for Answer(nRequest, ...).
    void filesReceived(const QStringList& paths, quint64 nRequest);

private:
    void Close();
    void OnAcceptReady();
    void Adopt(int nDescriptor);
    int HeldConnections();
    bool DropOldestIdle();
    void PauseAccepting();
    bool IsWaiting(const QLocalSocket* pSocket) const;
    void OnReadyRead(QLocalSocket* pSocket);

    int m_nListenDescriptor = -1;
    int m_nMaxConnections = kMaxConnections;
    QByteArray m_socketPath;
    QSocketNotifier* m_pNotifier = nullptr;
    // The connections taken, oldest first.
    std::deque<QPointer<QLocalSocket>> m_connections;
    // The connections that wait for an answer, by request.
    std::map<quint64, QPointer<QLocalSocket>> m_waiting;
    quint64 m_nNextRequest = 1;
};
