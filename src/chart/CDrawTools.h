// The palette of pens, brushes and fonts that chart and 3D drawing select by slot. Owned by the
// application (and by vorlan-cli render) and handed to every drawing call of CPlot.
#pragma once

#include "CBrush.h"
#include "CFont.h"
#include "CGroundGrid.h"
#include "CObject.h"
#include "CPen.h"

class CDrawTools : public CObject {
public:
    static constexpr int kPens = 13;
    static constexpr int kBrushes = 12;
    // The steps of the two colour scales of a coloured track (CTrackColours): [0] sequential,
    // [1] diverging.
    static constexpr int kRampSteps = 11;

    CDrawTools();
    ~CDrawTools() override;

    CBrush m_brushes[kBrushes];
    CPen m_pens[kPens];
    CFont m_fontScreen;
    CFont m_fontPrinter;
    CBrush* m_pBrush[kBrushes] = {};
    CPen* m_pPen[kPens] = {};
    // The y-axis title fonts, selected through these like the pens and brushes.
    CFont* m_pFontScreen = &m_fontScreen;
    CFont* m_pFontPrinter = &m_fontPrinter;
    int m_nPens = 0;
    int m_nBrushes = 0;
    CPen m_rampPens[2][kRampSteps];
    CBrush m_rampBrushes[2][kRampSteps];
    CPen* m_pRampPen[2][kRampSteps] = {};
    CBrush* m_pRampBrush[2][kRampSteps] = {};
    // The 3D scene's ground: a brush for each tint of height and level of light
    // (CGroundGrid::ShadeColour), and the track where the ground hides it, light blue.
    CBrush m_groundBrushes[CGroundGrid::kTints][CGroundGrid::kLights];
    CBrush* m_pGroundBrush[CGroundGrid::kTints][CGroundGrid::kLights] = {};
    CPen m_hiddenTrackPen;
    CPen* m_pHiddenTrackPen = &m_hiddenTrackPen;
    // The walls under the ground's edges, a darker earth, one brush for each way a wall faces
    // (CGroundGrid::WallColour).
    CBrush m_wallBrushes[CGroundGrid::kWalls];
    CBrush* m_pWallBrush[CGroundGrid::kWalls] = {};
    // The elevation chart's "Terrain" series: the ground under the track, dashed brown.
    CPen m_terrainPen;
    CPen* m_pTerrainPen = &m_terrainPen;
};
