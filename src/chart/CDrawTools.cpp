#include "CDrawTools.h"

#include "CTrackColours.h"

namespace {
struct PenSpec {
    int nStyle;
    int nWidth;
    COLORREF crColor;
};

// Slot order; series s of the elevation chart draws with pen s.
constexpr PenSpec kPenSpecs[CDrawTools::kPens] = {
    {PS_SOLID, 2, 0x000000FF}, // red: "Raw"
    {PS_SOLID, 2, 0x00FF0000}, // blue: "Smoothed", the 3D track
    {PS_SOLID, 2, 0x0000DADA}, // dark yellow
    {PS_SOLID, 2, 0x00FFFF00}, // cyan
    {PS_SOLID, 2, 0x00FF00FF}, // magenta
    {PS_SOLID, 2, 0x00000080}, // maroon
    {PS_DOT, 1, 0x0000FF00},   // green dotted: hidden faces of the 3D box
    {PS_SOLID, 2, 0x00800000}, // navy
    {PS_SOLID, 2, 0x0000FF00}, // green: grid, visible faces of the 3D box
    {PS_SOLID, 2, 0x00008080}, // olive
    {PS_SOLID, 2, 0x00808000}, // teal
    {PS_SOLID, 2, 0x00800080}, // purple
    {PS_SOLID, 1, 0x00DCC8C8}, // light greyish blue: shadows of the 3D track
};

// The track pen's blue, lightened.
constexpr COLORREF kHiddenTrackColour = 0x00FFC8A0;

constexpr COLORREF kBrushColors[CDrawTools::kBrushes] = {
    0x000000FF, 0x0000FF00, 0x00FF0000, 0x00000080,
    0x00008000, 0x00800000, 0x0000FFFF, 0x00FFFFC8, // pale cyan: the floor of the 3D box
    0x00FF00FF, 0x00008080, 0x00808000, 0x00800080,
};

// Both y-axis title fonts run upward (escapement 900); the printer's takes the device's
// default size.
void CreateTitleFont(CFont& font, int nSize) {
    font.CreateFont(nSize, nSize, 900, 900, 400, 0, 0, 0, 1, 5, 0, 2, 0, "Roman");
}
} // namespace

CDrawTools::CDrawTools() {
    for (int i = 0; i < kPens; ++i) {
        m_pens[i].CreatePen(kPenSpecs[i].nStyle, kPenSpecs[i].nWidth, kPenSpecs[i].crColor);
        m_pPen[i] = &m_pens[i];
    }
    m_nPens = kPens;
    for (int i = 0; i < kBrushes; ++i) {
        m_brushes[i].CreateSolidBrush(kBrushColors[i]);
        m_pBrush[i] = &m_brushes[i];
    }
    m_nBrushes = kBrushes;
    for (int d = 0; d < 2; ++d)
        for (int k = 0; k < kRampSteps; ++k) {
            const COLORREF c = CTrackColours::StepColour(d == 1, k);
            m_rampPens[d][k].CreatePen(PS_SOLID, 2, c);
            m_rampBrushes[d][k].CreateSolidBrush(c);
            m_pRampPen[d][k] = &m_rampPens[d][k];
            m_pRampBrush[d][k] = &m_rampBrushes[d][k];
        }
    for (int t = 0; t < CGroundGrid::kTints; ++t)
        for (int l = 0; l < CGroundGrid::kLights; ++l) {
            m_groundBrushes[t][l].CreateSolidBrush(CGroundGrid::ShadeColour(t, l));
            m_pGroundBrush[t][l] = &m_groundBrushes[t][l];
        }
    for (int w = 0; w < CGroundGrid::kWalls; ++w) {
        m_wallBrushes[w].CreateSolidBrush(CGroundGrid::WallColour(w));
        m_pWallBrush[w] = &m_wallBrushes[w];
    }
    m_hiddenTrackPen.CreatePen(PS_SOLID, 2, kHiddenTrackColour);
    m_terrainPen.CreatePen(PS_DASH, 2, RGB(139, 90, 43));
    CreateTitleFont(m_fontScreen, 11);
    CreateTitleFont(m_fontPrinter, 0);
}

CDrawTools::~CDrawTools() {
    for (int i = 0; i < m_nPens; ++i)
        m_pPen[i]->DeleteObject();
    for (int i = 0; i < m_nBrushes; ++i)
        m_pBrush[i]->DeleteObject();
    m_fontScreen.DeleteObject();
    m_fontPrinter.DeleteObject();
}
