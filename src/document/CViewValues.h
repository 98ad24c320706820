// The view values a document file keeps after its track: the zoom factor and the two view
// angles of the 3D view, with the limits a document must keep, and (version 2) every window of
// the document with its panes. Read and written by CDocumentFile; the programs copy them to and
// from their chart objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A pane as a document keeps it: the plot it shows (-1 none, 0 the elevation chart, 3 the 3D
// view, as the desktop numbers them) with its zoom and view angles, and the graphs stacked under
// its chart (a bit each, in the order of the desktop's View, Graphs menu).
struct PaneView {
    std::int8_t nPlot = -1;
    float fZoom = 1.0f;
    float fAzimuth = 30.0f;
    float fElevation = 20.0f;
    std::uint8_t nGraphs = 0;
};

// A window: one or two rows and columns of panes (row by row) and where it is split, as a share
// of its height and of its width.
struct WindowView {
    std::uint8_t nRows = 1;
    std::uint8_t nCols = 1;
    float fRowShare = 0.5f;
    float fColShare = 0.5f;
    std::vector<PaneView> panes;
};

struct CViewValues {
    // The zoom commands reach 16 at most; a larger zoom would make a page too large to draw.
    static constexpr float kMaxZoom = 16.0f;
    // Zoom Out halves the zoom factor only from 1.01 up, so the smallest zoom the commands reach
    // is 1.01 / 2; a smaller one makes a page of next to no pixels (1e-30 gives 0 x 0).
    static constexpr float kMinZoom = 0.505f;
    static constexpr float kDefaultZoom = 1.0f;
    static constexpr float kDefaultAzimuth = 30.0f;
    static constexpr float kDefaultElevation = 20.0f;

    // The most windows a document keeps.
    static constexpr std::size_t kMaxWindows = 64;
    // The graphs a pane can stack under its chart, a bit each.
    static constexpr unsigned kGraphBits = 6;

    float m_fZoom = kDefaultZoom;
    float m_fAzimuth = kDefaultAzimuth;
    float m_fElevation = kDefaultElevation;
    // The document's windows when it was saved (version 2); none for a version 1 document.
    std::vector<WindowView> m_windows;
};
