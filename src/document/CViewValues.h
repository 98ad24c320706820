// The view values a document file keeps after its track: the zoom factor and the two view
// angles of the 3D view, with the limits a document must keep. Read and written by
// CDocumentFile; the programs copy them to and from their chart object.
#pragma once

struct CViewValues {
    // The zoom commands reach 16 at most; a larger zoom would make a page too large to draw.
    static constexpr float kMaxZoom = 16.0f;
    static constexpr float kDefaultZoom = 1.0f;
    static constexpr float kDefaultAzimuth = 30.0f;
    static constexpr float kDefaultElevation = 20.0f;

    float m_fZoom = kDefaultZoom;
    float m_fAzimuth = kDefaultAzimuth;
    float m_fElevation = kDefaultElevation;
};
