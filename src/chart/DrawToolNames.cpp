#include "DrawToolNames.h"

#include <string>

CSurfaceNames DrawToolNames(const CDrawTools& tools) {
    CSurfaceNames names;
    for (int i = 0; i < tools.m_nPens; ++i)
        names.AddPen(tools.m_pPen[i], std::to_string(i));
    for (int i = 0; i < tools.m_nBrushes; ++i)
        names.AddBrush(tools.m_pBrush[i], std::to_string(i));
    names.AddPen(tools.m_pHiddenTrackPen, "hidden");
    names.AddFont(&tools.m_fontScreen, "screen");
    names.AddFont(&tools.m_fontPrinter, "printer");
    return names;
}
