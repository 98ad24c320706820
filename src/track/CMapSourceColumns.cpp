#include "CMapSourceColumns.h"

#include <charconv>
#include <cstring>
#include <ctime>
#include <string>

namespace {
constexpr int kUsualPosition = 1;
constexpr int kUsualTime = 2;
constexpr int kUsualAltitude = 3;
constexpr int kUsualDepth = 4;
constexpr int kUsualLeg = 5;
constexpr TimeMs kMsPerSecond = 1000;
constexpr int kHoursPerHalfDay = 12;
constexpr int kFirstTmYear = 1900;
// Two-digit years are of this century.
constexpr int kCentury = 2000;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// The numbers of "a<sep>b<sep>c" (the last may be followed by text); false unless all three are
// there.
bool ThreeNumbers(std::string_view s, char sep, int (&n)[3]) {
    const char* p = s.data();
    const char* end = p + s.size();
    for (int k = 0; k < 3; ++k) {
        const auto [next, ec] = std::from_chars(p, end, n[k]);
        if (ec != std::errc())
            return false;
        p = next;
        if (k < 2) {
            if (p == end || *p != sep)
                return false;
            ++p;
        }
    }
    return true;
}

bool ReadDate(std::string_view date, std::tm& tm) {
    int n[3] = {};
    if (ThreeNumbers(date, '/', n)) {
        tm.tm_mon = n[0] - 1, tm.tm_mday = n[1], tm.tm_year = n[2];
    } else if (ThreeNumbers(date, '-', n)) {
        tm.tm_year = n[0], tm.tm_mon = n[1] - 1, tm.tm_mday = n[2];
    } else if (ThreeNumbers(date, '.', n)) {
        tm.tm_mday = n[0], tm.tm_mon = n[1] - 1, tm.tm_year = n[2];
    } else {
        return false;
    }
    if (tm.tm_year < 100)
        tm.tm_year += kCentury;
    tm.tm_year -= kFirstTmYear;
    return tm.tm_mon >= 0 && tm.tm_mon < 12 && tm.tm_mday >= 1 && tm.tm_mday <= 31;
}

bool ReadTime(std::string_view time, std::string_view half, std::tm& tm) {
    int n[3] = {};
    if (!ThreeNumbers(time, ':', n) || n[0] < 0 || n[0] > 23 || n[1] < 0 || n[1] > 59 || n[2] < 0 ||
        n[2] > 60)
        return false;
    const bool bPm = half == "PM" || half == "pm";
    const bool bAm = half == "AM" || half == "am";
    if ((bAm || bPm) && (n[0] < 1 || n[0] > kHoursPerHalfDay))
        return false;
    tm.tm_hour = (bAm || bPm) ? n[0] % kHoursPerHalfDay + (bPm ? kHoursPerHalfDay : 0) : n[0];
    tm.tm_min = n[1];
    tm.tm_sec = n[2];
    return true;
}
} // namespace

bool CMapSourceColumns::Read(const char* pszHeader) {
    if (std::strncmp(pszHeader, "Header\t", 7) != 0)
        return false;
    CMapSourceColumns found;
    for (int k = 1;; ++k) {
        const std::string_view name = Trim(Field(pszHeader, k));
        if (name.empty() && Field(pszHeader, k).data() == nullptr)
            break;
        if (name == "Position")
            found.m_nPosition = k;
        else if (name == "Time")
            found.m_nTime = k;
        else if (name == "Altitude")
            found.m_nAltitude = k;
        else if (name == "Depth")
            found.m_nDepth = k;
        else if (name == "Leg Length")
            found.m_nLeg = k;
    }
    if (!found.IsKnown())
        return false;
    *this = found;
    return true;
}

bool CMapSourceColumns::ReadsByName(const char* pszLine) const {
    if (!IsKnown() || Field(pszLine, 0) != "Trackpoint")
        return false;
    const bool bUsual = m_nPosition == kUsualPosition && m_nTime == kUsualTime &&
                        m_nAltitude == kUsualAltitude && m_nDepth == kUsualDepth &&
                        m_nLeg == kUsualLeg;
    return !bUsual || !Trim(Field(pszLine, m_nDepth)).empty();
}

std::string_view CMapSourceColumns::Field(const char* pszLine, int nField) {
    if (nField < 0)
        return {};
    const char* p = pszLine;
    for (int k = 0; k < nField; ++k) {
        p = std::strchr(p, '\t');
        if (!p)
            return {};
        ++p;
    }
    const char* end = std::strchr(p, '\t');
    return end ? std::string_view(p, static_cast<std::size_t>(end - p)) : std::string_view(p);
}

TimeMs CMapSourceColumns::TimeOf(const char* pszLine) const {
    if (IsKnown() && m_nTime > 0 && Field(pszLine, 0) == "Trackpoint")
        return TimeOfField(Field(pszLine, m_nTime));
    for (int k = 1;; ++k) {
        const std::string_view field = Field(pszLine, k);
        if (field.data() == nullptr)
            return kNoTime;
        if (const TimeMs t = TimeOfField(field); t != kNoTime)
            return t;
    }
}

TimeMs CMapSourceColumns::TimeOfField(std::string_view text) {
    const std::string_view field = Trim(text);
    const std::size_t blank = field.find(' ');
    if (blank == std::string_view::npos)
        return kNoTime;
    const std::string_view date = field.substr(0, blank);
    std::string_view rest = Trim(field.substr(blank + 1));
    const std::size_t blank2 = rest.find(' ');
    const std::string_view time = rest.substr(0, blank2);
    const std::string_view half =
        blank2 == std::string_view::npos ? std::string_view() : Trim(rest.substr(blank2 + 1));
    std::tm tm{};
    if (!ReadDate(date, tm) || !ReadTime(time, half, tm))
        return kNoTime;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? kNoTime : static_cast<TimeMs>(t) * kMsPerSecond;
}
