#include "FuzzCheck.h"

#include "CTrack.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

void FuzzCheck(bool bOk, const char* pszWhat) {
    if (bOk)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", pszWhat);
    std::abort();
}

void CheckTrackIsSound(const CTrack& t) {
    FuzzCheck(t.m_nCount >= 0 && t.m_nCount <= CTrack::kMaxPoints, "count within 0..10000");
    const float* arrays[] = {t.m_fLat,  t.m_fLon,  t.m_fSouth, t.m_fEast,
                             t.m_fElev, t.m_fDist, t.m_fLeg,   t.m_fSmooth};
    for (const float* a : arrays)
        for (int i = 0; i < t.m_nCount; ++i)
            FuzzCheck(std::isfinite(a[i]), "finite point values");
    for (int i = 0; i < t.m_nCount; ++i)
        FuzzCheck(t.m_fLeg[i] >= 0.0f, "legs not negative");
    for (const auto& pair : t.m_fRange) {
        FuzzCheck(std::isfinite(pair[0]) && std::isfinite(pair[1]), "finite bounds");
        FuzzCheck(pair[0] <= pair[1], "ordered bounds");
    }
}
