#include "CGraphs.h"

#include "CTrackReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct GraphRow {
    const char* pszMenu;
    const char* pszTitle;
    Sensor sensor; // the record's channel, for the sensor graphs
};

constexpr GraphRow kRows[kGraphKinds] = {
    {"&Speed", "Speed", Sensor::speed},
    {"&Heart Rate", "Heart rate, bpm", Sensor::heartRate},
    {"&Cadence", "Cadence, rpm", Sensor::cadence},
    {"&Power", "Power, W", Sensor::power},
    {"&Temperature", "Temperature", Sensor::temperature},
    {"&Grade", "Grade, %", Sensor::speed},
};

// valueOf(i) for i in 0..n into values, the one before taken where a point has none (the first
// ones take the first there is); false without any.
template <class ValueOf> bool CarriedForward(int n, float* values, ValueOf valueOf) {
    float last = std::nanf("");
    int nFirst = -1;
    for (int i = 0; i < n; ++i) {
        const double v = valueOf(i);
        if (!std::isnan(v)) {
            last = static_cast<float>(v);
            if (nFirst < 0)
                nFirst = i;
        }
        values[i] = last;
    }
    if (nFirst < 0)
        return false;
    std::fill(values, values + nFirst, values[nFirst]);
    return true;
}

} // namespace

const char* CGraphs::MenuName(GraphKind kind) {
    return kRows[static_cast<int>(kind)].pszMenu;
}

void CGraphs::Title(GraphKind kind, Units units, char* pszTitle, std::size_t size) {
    if (kind == GraphKind::speed)
        std::snprintf(pszTitle, size, "Speed, %s", units == Units::metric ? "km/h" : "mph");
    else if (kind == GraphKind::temperature)
        std::snprintf(pszTitle, size, "Temperature, %s",
                      units == Units::metric ? "\u00b0C" : "\u00b0F");
    else
        std::snprintf(pszTitle, size, "%s", kRows[static_cast<int>(kind)].pszTitle);
}

bool CGraphs::HasData(GraphKind kind, const CTrack& track, const CTrackRecord* pRecord) {
    if (track.m_nCount <= 0)
        return false;
    if (kind == GraphKind::grade)
        return true;
    if (!pRecord)
        return false;
    if (kind == GraphKind::speed)
        return pRecord->HasTime() || pRecord->HasSensor(Sensor::speed);
    return pRecord->HasSensor(kRows[static_cast<int>(kind)].sensor);
}

template <class Use>
bool CGraphs::WithValueOf(GraphKind kind, const CTrackRecord& record, Units units, Use use) {
    if (kind == GraphKind::speed) {
        const double perHour = 3600.0 / kMetresPerMile;
        return use([&](std::size_t r) {
            const double v = CTrackReadout::SpeedAt(record, r);
            return v >= 0 ? DistanceIn(units, v * perHour) : std::nan("");
        });
    }
    const Sensor sensor = kRows[static_cast<int>(kind)].sensor;
    const float* pValues = record.SensorValues(sensor).data();
    if (kind == GraphKind::temperature && units == Units::imperial)
        return use([pValues](std::size_t r) { return pValues[r] * 9.0 / 5.0 + 32.0; });
    return use([pValues](std::size_t r) { return static_cast<double>(pValues[r]); });
}

bool CGraphs::Values(GraphKind kind, const CTrack& track, const CTrackRecord* pRecord, Units units,
                     float* values) {
    if (!HasData(kind, track, pRecord))
        return false;
    if (kind == GraphKind::grade) {
        for (int i = 0; i < track.m_nCount; ++i)
            values[i] = static_cast<float>(CTrackReadout::GradeAt(track, i));
        return true;
    }
    const CTrackRecord& record = *pRecord;
    return WithValueOf(kind, record, units, [&](auto valueOf) {
        return CarriedForward(track.m_nCount, values, [&](int i) {
            const std::size_t r = track.m_nRecordIndex[i];
            return r < record.Size() ? valueOf(r) : std::nan("");
        });
    });
}

bool CGraphs::RecordValues(GraphKind kind, const CTrackRecord& record, Units units,
                           std::size_t nFirst, std::size_t nLast, float* values) {
    if (!OfRecord(kind) || nLast >= record.Size() || nFirst > nLast)
        return false;
    if (kind == GraphKind::speed ? !record.HasTime() && !record.HasSensor(Sensor::speed)
                                 : !record.HasSensor(kRows[static_cast<int>(kind)].sensor))
        return false;
    const int n = static_cast<int>(nLast - nFirst + 1);
    return WithValueOf(kind, record, units, [&](auto valueOf) {
        return CarriedForward(n, values, [&](int i) { return valueOf(nFirst + i); });
    });
}
