// How long the screen takes to answer the user: from Qt's delivery of a mouse move or a resize of
// a window to the end of the repaint it caused, the display server's part included. Logged to
// the "vorlan.timing" category, which is off unless QT_LOGGING_RULES="vorlan.timing=true":
//   move 0.412 ms
//   resize 1920x1080 12.840 ms
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSize>

class CScreenTiming : public QObject {
public:
    explicit CScreenTiming(QObject* pParent);

    // Watches the application's events when the category is on; otherwise does nothing.
    static void InstallIfWanted(QObject* pApp);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    enum class Kind { Idle, Move, Resize };

    void Start(Kind kind, QSize size);
    // Runs once the paint that answered the event has been handed to the display server.
    void Finish();
    static void WaitForDisplayServer();

    QElapsedTimer m_clock;
    Kind m_kind = Kind::Idle;
    QSize m_size;
    bool m_bFinishQueued = false;
};
