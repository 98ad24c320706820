// The toolbar button images and the two icons, painted as vector drawings on the button's
// 16 x 15 grid (icons on 32 x 32) so that they stay crisp at every screen scale. Used by the
// main frame, the document windows and the About box.
#pragma once

#include <QIcon>

class QPainter;

class CButtonImages {
public:
    enum class Image {
        None,
        New,
        Open,
        Save,
        Print,
        About,
        ContextHelp,
        Import,
        PlotElevation,
        Plot3D,
        ZoomIn,
        ZoomOut,
        ZoomRestore,
        RotateLeft,
        RotateRight,
        RotateUp,
        RotateDown,
        RotateRestore,
        MainIcon,    // IDR_MAINFRAME: the main window and the About box
        DocumentIcon // IDR_VORLANTYPE: document windows and document files
    };
    static constexpr int kButtonWidth = 16;
    static constexpr int kButtonHeight = 15;
    static constexpr int kIconSize = 32;

    // An icon that paints the image at whatever size and scale it is asked for; disabled buttons
    // get a grey, lightened copy.
    static QIcon Icon(Image image);
    // Paints the image into rect (its grid scaled to fill the rectangle).
    static void Paint(QPainter& painter, const QRectF& rect, Image image);
};
