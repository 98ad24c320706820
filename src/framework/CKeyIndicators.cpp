#include "CKeyIndicators.h"

#include <QGuiApplication>

#ifdef VORLAN_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
// X11 last: its macros (None, Bool, KeyPress) collide with Qt's names.
#include <X11/XKBlib.h>
#endif

bool CKeyIndicators::Query(bool* pCaps, bool* pNum, bool* pScroll) {
#if defined(VORLAN_HAVE_X11) && QT_CONFIG(xcb)
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    struct Indicator {
        const char* pszName;
        bool* pState;
    };
    const Indicator indicators[] = {
        {"Caps Lock", pCaps}, {"Num Lock", pNum}, {"Scroll Lock", pScroll}};
    for (const Indicator& ind : indicators) {
        const Atom atom = XInternAtom(display, ind.pszName, True);
        int on = 0;
        if (atom != 0 && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
            *ind.pState = on != 0;
    }
    return true;
#else
    (void)pCaps;
    (void)pNum;
    (void)pScroll;
    return false;
#endif
}
