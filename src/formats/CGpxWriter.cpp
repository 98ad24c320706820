#include "CGpxWriter.h"

#include "TimeText.h"

#include <cmath>

namespace {

// Text as XML character data or an attribute value; control characters XML cannot hold go.
std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n')
                out += c;
        }
    }
    return out;
}

void Position(CTextSink& out, const char* element, double lat, double lon) {
    out << "<" << element << " lat=\"";
    out.Number(lat) << "\" lon=\"";
    out.Number(lon) << "\">";
}

void ElevationAndTime(CTextSink& out, double ele, TimeMs time) {
    if (!std::isnan(ele)) {
        out << "<ele>";
        out.Number(ele) << "</ele>";
    }
    if (time != kNoTime)
        out << "<time>" << FormatIsoUtc(time) << "</time>";
}

void Sensor(CTextSink& out, const char* element, float value) {
    if (std::isnan(value))
        return;
    out << "<gpxtpx:" << element << ">";
    out.Number(value) << "</gpxtpx:" << element << ">";
}

void Extensions(CTextSink& out, const RecordPoint& p) {
    const float power = p.At(Sensor::power);
    const bool bGarmin = !std::isnan(p.At(Sensor::heartRate)) ||
                         !std::isnan(p.At(Sensor::cadence)) ||
                         !std::isnan(p.At(Sensor::temperature)) || !std::isnan(p.At(Sensor::speed));
    if (std::isnan(power) && !bGarmin)
        return;
    out << "<extensions>";
    if (!std::isnan(power)) {
        out << "<power>";
        out.Number(power) << "</power>";
    }
    if (bGarmin) {
        // In the order the schema gives.
        out << "<gpxtpx:TrackPointExtension>";
        Sensor(out, "atemp", p.At(Sensor::temperature));
        Sensor(out, "hr", p.At(Sensor::heartRate));
        Sensor(out, "cad", p.At(Sensor::cadence));
        Sensor(out, "speed", p.At(Sensor::speed));
        out << "</gpxtpx:TrackPointExtension>";
    }
    out << "</extensions>";
}

void Waypoints(const CTrackRecord& record, CTextSink& out) {
    for (const RecordWaypoint& w : record.m_waypoints) {
        out << " ";
        Position(out, "wpt", w.lat, w.lon);
        ElevationAndTime(out, w.ele, w.time);
        if (!w.name.empty())
            out << "<name>" << Escaped(w.name) << "</name>";
        out << "</wpt>\n";
    }
}

bool Segment(const CTrackRecord& record, std::size_t s, CTextSink& out) {
    out << "  <trkseg>\n";
    for (std::size_t i = record.SegmentStarts()[s]; i < record.SegmentEnd(s); ++i) {
        const RecordPoint p = record.PointAt(i);
        out << "   ";
        Position(out, "trkpt", p.lat, p.lon);
        ElevationAndTime(out, p.ele, p.time);
        Extensions(out, p);
        out << "</trkpt>\n";
        if (!out.Flush())
            return false;
    }
    out << "  </trkseg>\n";
    return true;
}

} // namespace

bool CGpxWriter::Write(const CTrackRecord& record, const std::string& creator, CTextSink& out) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<gpx version=\"1.1\" creator=\"" << Escaped(creator)
        << "\" xmlns=\"http://www.topografix.com/GPX/1/1\""
           " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n";
    Waypoints(record, out);
    const auto& trackStarts = record.TrackStarts();
    for (std::size_t t = 0; t < trackStarts.size(); ++t) {
        out << " <trk>\n";
        if (!record.TrackNames()[t].empty())
            out << "  <name>" << Escaped(record.TrackNames()[t]) << "</name>\n";
        const std::size_t end =
            t + 1 < trackStarts.size() ? trackStarts[t + 1] : record.SegmentStarts().size();
        for (std::size_t s = trackStarts[t]; s < end; ++s)
            if (!Segment(record, s, out))
                return false;
        out << " </trk>\n";
    }
    out << "</gpx>\n";
    return out.Flush(true);
}
