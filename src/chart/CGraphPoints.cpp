#include "CGraphPoints.h"

#include "CGeodesy.h"
#include "CTrack.h"

namespace {

// The track's points are record points in file order.
bool IndicesInOrder(const CTrack& track, std::size_t nRecordSize) {
    if (track.m_nCount < 1 || track.m_nRecordIndex[track.m_nCount - 1] >= nRecordSize)
        return false;
    for (int i = 1; i < track.m_nCount; ++i)
        if (track.m_nRecordIndex[i] < track.m_nRecordIndex[i - 1])
            return false;
    return true;
}

} // namespace

bool CGraphPoints::Fill(int g, GraphKind kind, const CTrack& track, const CTrackRecord& record,
                        const float* pTrackX, XAxis axis, bool bTimeAxis, Units units) {
    if (g < 0 || g >= kMaxGraphs || !CGraphs::OfRecord(kind) ||
        !FillX(track, record, pTrackX, axis, bTimeAxis))
        return false;
    m_y[g].resize(m_x.size());
    const std::size_t nFirst = track.m_nRecordIndex[0];
    return CGraphs::RecordValues(kind, record, units, nFirst, nFirst + m_x.size() - 1,
                                 m_y[g].data());
}

bool CGraphPoints::FillX(const CTrack& track, const CTrackRecord& record, const float* pTrackX,
                         XAxis axis, bool bTimeAxis) {
    if (!m_x.empty())
        return true;
    if (!IndicesInOrder(track, record.Size()))
        return false;
    const std::size_t nFirst = track.m_nRecordIndex[0];
    const std::size_t nLast = track.m_nRecordIndex[track.m_nCount - 1];
    if (!bTimeAxis) {
        m_x.resize(nLast - nFirst + 1);
        FillDistanceX(track, record, pTrackX);
        return true;
    }
    std::vector<double> seconds;
    if (!CTimeAxis::Seconds(record, axis, seconds))
        return false;
    m_x.assign(seconds.begin() + static_cast<std::ptrdiff_t>(nFirst),
               seconds.begin() + static_cast<std::ptrdiff_t>(nLast) + 1);
    return true;
}

// Between two track points the record's points take the share of the way that the record's
// distance gives them, so that every track point keeps the x the elevation chart draws it at.
void CGraphPoints::FillDistanceX(const CTrack& track, const CTrackRecord& record,
                                 const float* pTrackX) {
    const std::vector<double> metres = CGeodesy::CumulativeMetres(record);
    const std::size_t nFirst = track.m_nRecordIndex[0];
    for (int i = 0; i + 1 < track.m_nCount; ++i) {
        const std::size_t a = track.m_nRecordIndex[i], b = track.m_nRecordIndex[i + 1];
        const double x0 = pTrackX[i], span = static_cast<double>(pTrackX[i + 1]) - x0;
        const double m0 = metres[a], way = metres[b] - m0;
        for (std::size_t r = a; r < b; ++r)
            m_x[r - nFirst] = static_cast<float>(way > 0 ? x0 + span * (metres[r] - m0) / way : x0);
    }
    m_x.back() = pTrackX[track.m_nCount - 1];
}
