#include "CCsvWriter.h"

#include "CGeodesy.h"
#include "TimeText.h"

#include <cctype>
#include <cmath>
#include <string>

namespace {

// "heart_rate_bpm": the channel's key with its unit, as a spreadsheet column title.
std::string Column(const CTrackRecord::SensorInfo& info) {
    const char* unit = info.sensor == Sensor::temperature ? "c"
                       : info.sensor == Sensor::speed     ? "m_s"
                                                          : info.pszUnit;
    std::string column = info.pszKey;
    column += '_';
    for (const char* p = unit; *p != '\0'; ++p)
        column += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    return column;
}

template <typename T> void Cell(CTextSink& out, T value) {
    out << ",";
    if (!std::isnan(value))
        out.Number(value);
}

} // namespace

bool CCsvWriter::Write(const CTrackRecord& record, CTextSink& out) {
    out << "track,segment,time_utc,latitude_deg,longitude_deg,distance_m";
    if (record.HasElevation())
        out << ",elevation_m";
    for (const CTrackRecord::SensorInfo& info : CTrackRecord::Sensors())
        if (record.HasSensor(info.sensor))
            out << "," << Column(info);
    out << "\n";
    const std::vector<double> metres = CGeodesy::CumulativeMetres(record);
    const auto& trackStarts = record.TrackStarts();
    std::size_t t = 0;
    for (std::size_t s = 0; s < record.SegmentStarts().size(); ++s) {
        while (t + 1 < trackStarts.size() && trackStarts[t + 1] <= s)
            ++t;
        for (std::size_t i = record.SegmentStarts()[s]; i < record.SegmentEnd(s); ++i) {
            const RecordPoint p = record.PointAt(i);
            out.Number(t + 1) << ",";
            out.Number(s + 1) << ",";
            if (p.time != kNoTime)
                out << FormatIsoUtc(p.time);
            Cell(out, p.lat);
            Cell(out, p.lon);
            Cell(out, std::round(metres[i] * 1000) / 1000);
            if (record.HasElevation())
                Cell(out, p.ele);
            for (const CTrackRecord::SensorInfo& info : CTrackRecord::Sensors())
                if (record.HasSensor(info.sensor))
                    Cell(out, p.At(info.sensor));
            out << "\n";
            if (!out.Flush())
                return false;
        }
    }
    return out.Flush(true);
}
