// The view values a document file keeps after its track: the zoom factor and the two view
// angles of the 3D view, with the limits a document must keep. Read and written by
// CDocumentFile; the programs copy them to and from their chart object.
#pragma once

struct CViewValues {
    // The zoom commands reach 16 at most; a larger zoom would make a page too large to draw.
    static constexpr float kMaxZoom = 16.0f;
    // Zoom Out halves the zoom factor only from 1.01 up, so the smallest zoom the commands reach
    // is 1.01 / 2; a smaller one makes a page of next to no pixels (1e-30 gives 0 x 0).
    static constexpr float kMinZoom = 0.505f;
    static constexpr float kDefaultZoom = 1.0f;
    static constexpr float kDefaultAzimuth = 30.0f;
    static constexpr float kDefaultElevation = 20.0f;

    float m_fZoom = kDefaultZoom;
    float m_fAzimuth = kDefaultAzimuth;
    float m_fElevation = kDefaultElevation;
};
