// A polygon region, filled by CDC::FillRgn (the floor of the 3D box).
#pragma once

#include "CGdiObject.h"

class CRgn : public CGdiObject {
public:
    static constexpr int kMaxPoints = 8;
    BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nPolyFillMode) {
        if (nCount < 3 || nCount > kMaxPoints)
            return 0;
        for (int i = 0; i < nCount; ++i)
            m_pt[i] = lpPoints[i];
        m_nCount = nCount;
        m_nFillMode = nPolyFillMode;
        return m_bCreated = 1;
    }
    POINT m_pt[kMaxPoints];
    int m_nCount = 0;
    int m_nFillMode = ALTERNATE;
};
