#include "CScreenTiming.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QResizeEvent>
#include <QTimer>

#ifdef VORLAN_HAVE_X11
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
// X11 last: its macros (None, Bool, KeyPress) collide with Qt's names.
#include <X11/Xlib.h>
#endif

namespace {
Q_LOGGING_CATEGORY(lcTiming, "vorlan.timing", QtWarningMsg)

constexpr double kNanosecondsPerMillisecond = 1e6;
} // namespace

CScreenTiming::CScreenTiming(QObject* pParent) : QObject(pParent) {}

void CScreenTiming::InstallIfWanted(QObject* pApp) {
    if (lcTiming().isInfoEnabled())
        pApp->installEventFilter(new CScreenTiming(pApp));
}

// The clock starts where the window system's event reaches a window, before any widget sees
// it; events that come while a repaint is on its way are answered by it and timed from the
// first. A move that has changed nothing on the screen by the next one is not timed.
bool CScreenTiming::eventFilter(QObject* pWatched, QEvent* pEvent) {
    const bool bUnanswered = m_kind == Kind::Idle || (m_kind == Kind::Move && !m_bFinishQueued);
    if (pWatched->isWindowType() && bUnanswered) {
        if (pEvent->type() == QEvent::MouseMove)
            Start(Kind::Move, QSize());
        else if (pEvent->type() == QEvent::Resize)
            Start(Kind::Resize, static_cast<QResizeEvent*>(pEvent)->size());
    } else if (pEvent->type() == QEvent::Paint && m_kind != Kind::Idle && !m_bFinishQueued) {
        // The paints of one update and the copy to the window run in one go; the queued call
        // comes after them.
        m_bFinishQueued = true;
        QTimer::singleShot(0, this, &CScreenTiming::Finish);
    }
    return false;
}

void CScreenTiming::Start(Kind kind, QSize size) {
    m_kind = kind;
    m_size = size;
    m_clock.start();
}

void CScreenTiming::Finish() {
    const double msOwn = static_cast<double>(m_clock.nsecsElapsed()) / kNanosecondsPerMillisecond;
    WaitForDisplayServer();
    const double ms = static_cast<double>(m_clock.nsecsElapsed()) / kNanosecondsPerMillisecond;
    if (m_kind == Kind::Move)
        qCInfo(lcTiming, "move %.3f ms (%.3f ms before the server)", ms, msOwn);
    else
        qCInfo(lcTiming, "resize %dx%d %.3f ms (%.3f ms before the server)", m_size.width(),
               m_size.height(), ms, msOwn);
    m_kind = Kind::Idle;
    m_bFinishQueued = false;
}

// A round trip to the X server: its answer comes once it has put the window's new picture on
// the screen, which Qt only sent.
void CScreenTiming::WaitForDisplayServer() {
#if defined(VORLAN_HAVE_X11) && QT_CONFIG(xcb)
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (Display* display = x11 ? x11->display() : nullptr)
        XSync(display, False);
#endif
}
