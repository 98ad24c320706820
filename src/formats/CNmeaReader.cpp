#include "CNmeaReader.h"

#include "CGpxNumber.h"

#include <algorithm>
#include <charconv>

namespace {

// A GGA sentence and its line end: no log has more fixes than its size over this.
constexpr std::size_t kMinFixBytes = 64;
constexpr std::size_t kAddressBytes = 5; // "GPRMC": the talker, then the sentence
constexpr std::size_t kChecksumDigits = 2;
constexpr double kMinutesPerDegree = 60.0;
constexpr std::size_t kMinuteDigits = 2;

// Splits a sentence at its commas; fields beyond the array's size are dropped.
template <std::size_t N> void Split(std::string_view s, std::array<std::string_view, N>& fields) {
    fields.fill({});
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t comma = s.find(',');
        fields[i] = s.substr(0, comma);
        if (comma == std::string_view::npos)
            return;
        s.remove_prefix(comma + 1);
    }
}

// "4724.0060" with "N" -> 47 + 24.006 / 60; nothing but the minutes' two digits may follow the
// degrees, and the minutes are read as the text gives them.
bool Angle(std::string_view text, std::string_view hemisphere, char negative, char positive,
           double& value) {
    const std::size_t point = std::min(text.find('.'), text.size());
    if (point < kMinuteDigits || hemisphere.size() != 1 ||
        (hemisphere[0] != negative && hemisphere[0] != positive))
        return false;
    int degrees = 0;
    const std::string_view degreeText = text.substr(0, point - kMinuteDigits);
    if (!degreeText.empty()) {
        const auto [end, ec] =
            std::from_chars(degreeText.data(), degreeText.data() + degreeText.size(), degrees);
        if (ec != std::errc() || end != degreeText.data() + degreeText.size() || degrees < 0)
            return false;
    }
    double minutes = 0;
    const std::string_view minuteText = text.substr(point - kMinuteDigits);
    if (minuteText.front() < '0' || minuteText.front() > '9' ||
        !CGpxNumber::Parse(minuteText, minutes) || minutes >= kMinutesPerDegree)
        return false;
    value = degrees + minutes / kMinutesPerDegree;
    if (hemisphere[0] == negative)
        value = -value;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The sentence without its checksum, when the checksum is right or there is none; false when it
// is wrong. The checksum is the XOR of every character between "$" and "*".
bool CheckSum(std::string_view& s) {
    const std::size_t star = s.find('*');
    if (star == std::string_view::npos)
        return true;
    const std::string_view digits = s.substr(star + 1);
    if (digits.size() != kChecksumDigits || HexDigit(digits[0]) < 0 || HexDigit(digits[1]) < 0)
        return false;
    unsigned sum = 0;
    for (const char c : s.substr(0, star))
        sum ^= static_cast<unsigned char>(c);
    s = s.substr(0, star);
    return sum == static_cast<unsigned>(HexDigit(digits[0]) * 16 + HexDigit(digits[1]));
}

} // namespace

CNmeaReader::CNmeaReader(std::size_t nExpectedBytes) {
    m_record.Reserve(nExpectedBytes / kMinFixBytes);
}

std::unique_ptr<CTrackReader> CNmeaReader::Make(std::size_t nFileBytes) {
    return std::make_unique<CNmeaReader>(nFileBytes);
}

bool CNmeaReader::Feed(std::span<const char> bytes) {
    m_lines.Feed(bytes, [this](std::string_view line) { TakeLine(line); });
    return true;
}

// A line may hold garbage before a sentence, or two sentences run together: each "$" starts one.
void CNmeaReader::TakeLine(std::string_view line) {
    std::size_t at = line.find('$');
    while (at != std::string_view::npos) {
        const std::size_t next = line.find('$', at + 1);
        TakeSentence(line.substr(at + 1, next == std::string_view::npos ? next : next - at - 1));
        at = next;
    }
}

void CNmeaReader::TakeSentence(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (!CheckSum(s)) {
        ++m_nBadChecksums;
        return;
    }
    Fields f;
    Split(s, f);
    if (f[0].size() != kAddressBytes || f[0][0] == 'P') // 'P': a maker's own sentence
        return;
    const std::string_view type = f[0].substr(2);
    if (type == "RMC")
        TakeRmc(f);
    else if (type == "GGA")
        TakeGga(f);
}

// A new time of day closes the fix before; a sentence without a time is a fix of its own.
void CNmeaReader::OpenFix(std::string_view time) {
    TimeMs timeOfDay = kNoTime;
    if (!CDayClock::ParseTimeOfDay(time, timeOfDay))
        timeOfDay = kNoTime;
    if (m_fix.bOpen && (timeOfDay != m_fix.timeOfDay || timeOfDay == kNoTime))
        CloseFix();
    if (!m_fix.bOpen) {
        m_fix = Fix();
        m_fix.bOpen = true;
        m_fix.timeOfDay = timeOfDay;
    }
}

bool CNmeaReader::TakePosition(std::string_view lat, std::string_view ns, std::string_view lon,
                               std::string_view ew) {
    if (m_fix.bPosition)
        return true;
    RecordPoint& p = m_fix.point;
    m_fix.bPosition = Angle(lat, ns, 'S', 'N', p.lat) && Angle(lon, ew, 'W', 'E', p.lon);
    return m_fix.bPosition;
}

// $GPRMC,hhmmss.ss,A,llll.ll,N,yyyyy.yy,W,knots,course,ddmmyy,variation,E[,mode]
void CNmeaReader::TakeRmc(const Fields& f) {
    OpenFix(f[1]);
    // NMEA 2.3 adds a mode: N is a fix that is not valid whatever the status says.
    if (f[2] != "A" || f[12] == "N" || !TakePosition(f[3], f[4], f[5], f[6])) {
        m_fix.bVoid = true;
    } else {
        double knots = 0;
        if (CGpxNumber::Parse(f[7], knots))
            m_fix.point.At(Sensor::speed) = static_cast<float>(knots * kMetresPerSecondPerKnot);
        TimeMs midnight = 0;
        if (CDayClock::ParseDate(f[9], midnight))
            m_fix.midnight = midnight;
    }
    if (m_fix.timeOfDay == kNoTime)
        CloseFix();
}

// $GPGGA,hhmmss.ss,llll.ll,N,yyyyy.yy,W,quality,satellites,hdop,altitude,M,geoid,M,age,station
void CNmeaReader::TakeGga(const Fields& f) {
    OpenFix(f[1]);
    if (f[6].empty() || f[6] == "0" || !TakePosition(f[2], f[3], f[4], f[5])) {
        m_fix.bVoid = true;
    } else {
        double altitude = 0;
        if ((f[10] == "M" || f[10].empty()) && CGpxNumber::Parse(f[9], altitude))
            m_fix.point.ele = altitude;
    }
    if (m_fix.timeOfDay == kNoTime)
        CloseFix();
}

// A fix with a position is a point, whatever else its other sentence said; one without is
// void.
void CNmeaReader::CloseFix() {
    if (!m_fix.bOpen)
        return;
    m_fix.bOpen = false;
    if (!m_fix.bPosition) {
        ++m_skipped.nVoid;
        return;
    }
    RecordPoint& point = m_fix.point;
    if (m_fix.timeOfDay != kNoTime && m_fix.midnight != kNoTime) {
        m_clock.SetDate(m_fix.midnight, m_fix.timeOfDay);
        point.time = m_fix.midnight + m_fix.timeOfDay;
    } else if (m_fix.timeOfDay != kNoTime && m_clock.HasDate()) {
        point.time = m_clock.At(m_fix.timeOfDay);
    } else if (m_fix.timeOfDay != kNoTime) {
        ++m_nUndated;
    }
    if (m_skipped.InRange(point))
        m_record.AddPoint(point);
}

std::vector<std::string> CNmeaReader::Notes() const {
    std::vector<std::string> notes;
    const auto count = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    if (m_nBadChecksums != 0)
        notes.push_back(count(m_nBadChecksums, "sentence", "sentences") +
                        " with a wrong checksum left out.");
    if (m_nUndated != 0 && !m_record.HasTime())
        notes.push_back("No date in this file; times are left out.");
    else if (m_nUndated != 0)
        notes.push_back(count(m_nUndated, "point", "points") +
                        " before the file's first date without a time.");
    return notes;
}

ReadResult CNmeaReader::Finish() {
    m_lines.Finish([this](std::string_view line) { TakeLine(line); });
    CloseFix();
    ReadResult result;
    result.notes = Notes();
    m_record.m_source.format = "NMEA";
    result.record = std::move(m_record);
    result.skipped = m_skipped;
    return result;
}
