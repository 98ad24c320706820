// A logical font with the parameters it was created from.
#pragma once

#include "CGdiObject.h"

#include <cstring>

// The parameters of a logical font; heights and widths are logical units, angles tenths of a
// degree counter-clockwise.
struct LOGFONT {
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 0;
    unsigned char lfItalic = 0;
    unsigned char lfUnderline = 0;
    unsigned char lfStrikeOut = 0;
    unsigned char lfCharSet = 0;
    unsigned char lfOutPrecision = 0;
    unsigned char lfClipPrecision = 0;
    unsigned char lfQuality = 0;
    unsigned char lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    unsigned char bItalic, unsigned char bUnderline, unsigned char cStrikeOut,
                    unsigned char nCharSet, unsigned char nOutPrecision,
                    unsigned char nClipPrecision, unsigned char nQuality,
                    unsigned char nPitchAndFamily, const char* lpszFacename) {
        m_logfont = LOGFONT{
            nHeight,         nWidth,     nEscapement, nOrientation,  nWeight,        bItalic,
            bUnderline,      cStrikeOut, nCharSet,    nOutPrecision, nClipPrecision, nQuality,
            nPitchAndFamily, {}};
        std::strncpy(m_logfont.lfFaceName, lpszFacename, sizeof m_logfont.lfFaceName - 1);
        return m_bCreated = 1;
    }
    LOGFONT m_logfont;
};
