#include "RecordOfTrack.h"

#include "CTrack.h"
#include "Units.h"

#include <algorithm>

CTrackRecord RecordOfTrack(const CTrack& track, std::string format, std::span<const TimeMs> times) {
    CTrackRecord record;
    record.Reserve(static_cast<std::size_t>(std::max<short>(track.m_nCount, 0)));
    for (int i = 0; i < track.m_nCount; ++i) {
        RecordPoint p;
        p.lat = track.m_fLat[i];
        p.lon = track.m_fLon[i];
        p.ele = track.m_fElev[i] / kFeetPerMetre;
        if (static_cast<std::size_t>(i) < times.size())
            p.time = times[static_cast<std::size_t>(i)];
        record.AddPoint(p);
    }
    record.m_source.format = std::move(format);
    return record;
}

void IndexRecordByPosition(CTrack& track, const CTrackRecord& record) {
    const std::size_t nRecord = record.Size();
    std::size_t j = 0;
    for (int k = 0; k < track.m_nCount; ++k) {
        std::size_t found = j;
        while (found < nRecord && !(static_cast<float>(record.Lat()[found]) == track.m_fLat[k] &&
                                    static_cast<float>(record.Lon()[found]) == track.m_fLon[k]))
            ++found;
        if (found == nRecord)
            found = std::min(j, nRecord == 0 ? 0 : nRecord - 1);
        track.m_nRecordIndex[k] = static_cast<std::uint32_t>(found);
        j = found + 1;
    }
}
