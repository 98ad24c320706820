#include "CPlot.h"

#include "CArchive.h"
#include "CProjector.h"
#include "CTrack.h"

#include <cstdio>
#include <new>

CPlot::CPlot() {
    std::snprintf(m_szXLabel, sizeof m_szXLabel, "x");
    std::snprintf(m_szYLabel, sizeof m_szYLabel, "y");
    std::snprintf(m_szTitle, sizeof m_szTitle, "Title");
    m_nSeries = 0;
    for (int i = 0; i < kMaxSeries; ++i)
        std::snprintf(m_szLegend[i], sizeof m_szLegend[i], "L%d", i);
    m_pProjector = new (std::nothrow) CProjector;
}

CPlot::~CPlot() { delete m_pProjector; }

void CPlot::SaveView(CArchive& ar) const {
    ar.Write(&m_fZoom, sizeof m_fZoom);
    ar.Write(&m_fAzimuth, sizeof m_fAzimuth);
    ar.Write(&m_fElevation, sizeof m_fElevation);
}

void CPlot::LoadView(CArchive& ar) {
    ar.Read(&m_fZoom, sizeof m_fZoom);
    ar.Read(&m_fAzimuth, sizeof m_fAzimuth);
    ar.Read(&m_fElevation, sizeof m_fElevation);
}
