// The application's widget style, painting long controls a band at a time. Qt's raster engine
// hands any fill or line of more than 96 pixel rows or columns (a tall scroll bar, the lines
// along a toolbar) to its thread pool and waits for it; on a small machine the hand-overs cost
// more than the painting, and every step of a window's resize paints each bar again. In bands
// of at most 64 the same pixels come out without them. A toolbar or a split bar is painted once
// per band under a clip; a scroll bar, whose style sets clips of its own, into a copy of each
// band of what lies beneath, which is then put back. Everything else goes to the base style
// unchanged. Only Fusion, Qt's own style and the one on a desktop without a theme of its own, is
// painted in bands: other styles may fill with patterns that follow the device, which a band
// painted apart would shift. Set on the application by CWinApp.
#pragma once

#include <QProxyStyle>

#include <functional>

class CBandedStyle : public QProxyStyle {
public:
    // The style named key ("Fusion"), as QStyleFactory makes it.
    explicit CBandedStyle(const QString& key);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* pOption,
                            QPainter* pPainter, const QWidget* pWidget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* pOption, QPainter* pPainter,
                     const QWidget* pWidget = nullptr) const override;

private:
    // Paints a tall control into copies of its rows, a band of them at a time, on an image
    // device without scaling; anywhere else it paints straight.
    static void InRowImages(const QRect& rc, QPainter* pPainter,
                            const std::function<void(QPainter*)>& draw);
    // Runs draw once per band along the longer side of rc. The first and last bands reach past
    // rc and every band spans the whole other way, so a style drawing outside its rectangle
    // loses nothing.
    static void InBands(const QRect& rc, QPainter* pPainter, const std::function<void()>& draw);

    // The wrapped style is one whose bands have been seen to give its very pixels.
    const bool m_bBands;
};
