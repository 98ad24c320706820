// The one palette of pens, brushes and fonts that all chart and 3D drawing selects by slot.
// Owned by the application (or another single owner) and created before the first drawing.
#pragma once

#include "CBrush.h"
#include "CFont.h"
#include "CObject.h"
#include "CPen.h"

class CDrawTools : public CObject {
public:
    static constexpr int kPens = 13;
    static constexpr int kBrushes = 12;

    CDrawTools();
    ~CDrawTools() override;

    CBrush m_brushes[kBrushes];
    CPen m_pens[kPens];
    CFont m_fontScreen;
    CFont m_fontPrinter;
    CBrush* m_pBrush[kBrushes] = {};
    CPen* m_pPen[kPens] = {};
    int m_nPens = 0;
    int m_nBrushes = 0;

    // The palette that drawing uses; set by the owner for its lifetime.
    static CDrawTools* GetTools() { return s_pTools; }

private:
    static CDrawTools* s_pTools;
};
