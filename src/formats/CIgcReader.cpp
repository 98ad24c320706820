#include "CIgcReader.h"

#include <charconv>

namespace {

// A B record and its line end: no file has more fixes than its size over this.
constexpr std::size_t kMinFixBytes = CIgcReader::kFixBytes + 2;
// The three-letter code of an H record ("DTE" of "HFDTE150722"), after the H and its source.
constexpr std::size_t kHeaderCodeAt = 2;
constexpr std::size_t kHeaderCodeBytes = 3;
constexpr int kMilliminutesPerDegree = 60'000;
constexpr std::size_t kMilliminuteDigits = 5;

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "HFPLTPILOTINCHARGE:Jane Doe" -> "Jane Doe"; an old header without the long name has its
// value right after the code.
std::string_view HeaderValue(std::string_view line) {
    const std::size_t colon = line.find(':');
    return Trimmed(colon == std::string_view::npos ? line.substr(kHeaderCodeAt + kHeaderCodeBytes)
                                                   : line.substr(colon + 1));
}

bool Digits(std::string_view s, int& value) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() && s.front() != '-';
}

// "4724123N" (degrees, then minutes in thousandths) -> 47 + 24123 / 60000; nDegreeDigits is 2
// for a latitude, 3 for a longitude.
bool Angle(std::string_view s, std::size_t nDegreeDigits, char negative, double& value) {
    int degrees = 0, milliminutes = 0;
    const char hemisphere = s.back();
    if (!Digits(s.substr(0, nDegreeDigits), degrees) ||
        !Digits(s.substr(nDegreeDigits, kMilliminuteDigits), milliminutes) ||
        milliminutes >= kMilliminutesPerDegree ||
        (hemisphere != negative && hemisphere != (negative == 'S' ? 'N' : 'E')))
        return false;
    value = degrees + static_cast<double>(milliminutes) / kMilliminutesPerDegree;
    if (hemisphere == negative)
        value = -value;
    return true;
}

// "01234" or "-0012" metres.
bool Altitude(std::string_view s, double& metres) {
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    metres = value;
    return ec == std::errc() && end == s.data() + s.size();
}

} // namespace

CIgcReader::CIgcReader(std::size_t nExpectedBytes) {
    m_record.Reserve(nExpectedBytes / kMinFixBytes);
}

std::unique_ptr<CTrackReader> CIgcReader::Make(std::size_t nFileBytes) {
    return std::make_unique<CIgcReader>(nFileBytes);
}

bool CIgcReader::Feed(std::span<const char> bytes) {
    m_lines.Feed(bytes, [this](std::string_view line) { TakeLine(line); });
    return true;
}

void CIgcReader::TakeLine(std::string_view line) {
    switch (line.front()) {
    case 'A':
        if (m_logger.empty())
            m_logger = Trimmed(line.substr(1));
        break;
    case 'H':
        TakeHeader(line);
        break;
    case 'B':
        TakeFix(line);
        break;
    default:
        break;
    }
}

void CIgcReader::TakeHeader(std::string_view line) {
    if (line.size() < kHeaderCodeAt + kHeaderCodeBytes)
        return;
    const std::string_view code = line.substr(kHeaderCodeAt, kHeaderCodeBytes);
    if (code == "DTE") {
        // "HFDTE150722" or "HFDTEDATE:150722,01" (the flight's number that day after the comma).
        std::string_view date = HeaderValue(line);
        date = date.substr(0, date.find(','));
        TimeMs midnight = 0;
        if (CDayClock::ParseDate(date, midnight))
            m_clock.SetDate(midnight);
    } else if (code == "PLT") {
        m_pilot = HeaderValue(line);
    } else if (code == "GTY") {
        m_glider = HeaderValue(line);
    } else if (code == "FTY") {
        m_recorder = HeaderValue(line);
    }
}

// "B0904514223999S17332999EA0000000049": 09:04:51, 42 deg 23.999' S, 173 deg 32.999' E, a 3D
// fix, pressure altitude 0 m, GNSS altitude 49 m; extensions may follow.
void CIgcReader::TakeFix(std::string_view line) {
    RecordPoint point;
    TimeMs timeOfDay = 0;
    double pressure = 0, gnss = 0;
    const char validity = line.size() >= kFixBytes ? line[24] : '\0';
    if ((validity != 'A' && validity != 'V') ||
        !CDayClock::ParseTimeOfDay(line.substr(1, 6), timeOfDay) ||
        !Angle(line.substr(7, 8), 2, 'S', point.lat) ||
        !Angle(line.substr(15, 9), 3, 'W', point.lon) || !Altitude(line.substr(25, 5), pressure) ||
        !Altitude(line.substr(30, 5), gnss)) {
        ++m_skipped.nUnparsable;
        return;
    }
    if (!m_skipped.InRange(point))
        return;
    const bool bGnss = validity == 'A' && gnss != 0;
    point.ele = bGnss ? gnss : pressure;
    m_nPressure += bGnss ? 0 : 1;
    if (m_clock.HasDate())
        point.time = m_clock.At(timeOfDay);
    else
        ++m_nUndated;
    if (!m_bTrackBegun) {
        std::string name = m_pilot;
        if (!m_glider.empty())
            name += name.empty() ? m_glider : " (" + m_glider + ")";
        m_record.BeginTrack(std::move(name));
        m_bTrackBegun = true;
    }
    m_record.AddPoint(point);
}

std::vector<std::string> CIgcReader::Notes() const {
    std::vector<std::string> notes;
    if (m_nPressure != 0 && m_nPressure == m_record.Size())
        notes.push_back("Elevations from the pressure altitude (no GNSS altitude in this file).");
    else if (m_nPressure != 0)
        notes.push_back("Elevations of " + std::to_string(m_nPressure) +
                        (m_nPressure == 1 ? " point" : " points") +
                        " from the pressure altitude (no valid GNSS altitude there).");
    if (m_nUndated != 0)
        notes.push_back("No date in this file; times are left out.");
    return notes;
}

ReadResult CIgcReader::Finish() {
    m_lines.Finish([this](std::string_view line) { TakeLine(line); });
    ReadResult result;
    result.notes = Notes();
    m_record.m_source.format = "IGC";
    m_record.m_source.creator = m_recorder.empty() ? m_logger : m_recorder;
    result.record = std::move(m_record);
    result.skipped = m_skipped;
    return result;
}
