#include "CTrack.h"

#include "CArchive.h"
#include "CLineScanner.h"
#include "CMapSourceColumns.h"
#include "CMapSourceFormat.h"
#include "CStdioFile.h"
#include "TrackGeometry.h"
#include "UnitsAndEarth.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

static_assert(std::endian::native == std::endian::little, "document files are little-endian");

namespace {
constexpr float kMargin = 0.1f;

bool IsTrackpoint(const char* psz) {
    return std::strncmp(psz, "Trackpoint", 10) == 0;
}

// A value that overflowed single precision (an absurd export) is stored as a missing field.
float Finite(double v) {
    const float f = static_cast<float>(v);
    return std::isfinite(f) ? f : 0.0f;
}

// Widening of one pair of bounds: the minimum moves down by a tenth of the range, the maximum
// up by a tenth of the already widened span (0 .. 100 becomes -10 .. 111).
void Widen(float& fMin, float& fMax) {
    constexpr float kMax = std::numeric_limits<float>::max();
    const double lo = fMin - static_cast<double>(kMargin) * (static_cast<double>(fMax) - fMin);
    fMin =
        static_cast<float>(std::clamp(lo, -static_cast<double>(kMax), static_cast<double>(kMax)));
    const double hi = fMax + static_cast<double>(kMargin) * (static_cast<double>(fMax) - fMin);
    fMax =
        static_cast<float>(std::clamp(hi, -static_cast<double>(kMax), static_cast<double>(kMax)));
}

// Whether lon lies east of lon0 (or on its meridian), going the short way round. Away from the
// 180th meridian this is lon >= lon0.
bool EastOf(float lon0, float lon) {
    const double d = static_cast<double>(lon) - lon0;
    return d > 180.0 ? false : d < -180.0 ? true : d >= 0.0;
}

void Bounds(const float* v, int n, float& fMin, float& fMax) {
    fMin = fMax = v[0];
    for (int i = 1; i < n; ++i) {
        if (v[i] <= fMin)
            fMin = v[i];
        if (v[i] >= fMax)
            fMax = v[i];
    }
}
} // namespace

// The reader's token buffers: they live for one reading and are not cleared between lines, so a
// line that lacks a field keeps the previous line's word.
struct CTrack::Tokens {
    char szLatDeg[CLineScanner::kTokenSize] = {};
    char szLatMin[CLineScanner::kTokenSize] = {};
    char szLatSec[CLineScanner::kTokenSize] = {};
    char szLonDeg[CLineScanner::kTokenSize] = {};
    char szLonMin[CLineScanner::kTokenSize] = {};
    char szLonSec[CLineScanner::kTokenSize] = {};
    char szElevUnit[CLineScanner::kTokenSize] = {};
    char szLegUnit[CLineScanner::kTokenSize] = {};
};

CTrack::CTrack() = default;

void CTrack::IndexRecordInOrder() {
    for (int i = 0; i < kMaxPoints; ++i)
        m_nRecordIndex[i] = static_cast<std::uint32_t>(i);
}

void CTrack::Clear() {
    m_nCount = 0;
    std::memset(m_fElev, 0, sizeof m_fElev);
    std::memset(m_fDist, 0, sizeof m_fDist);
    std::memset(m_fLeg, 0, sizeof m_fLeg);
}

short CTrack::ImportFile(std::FILE* fp, CMapSourceFormat& format, long* pnPointsInFile,
                         std::vector<TimeMs>* pTimes) {
    Clear();
    if (!ReadMapSource(fp, format, pnPointsInFile, pTimes)) {
        const int nError = errno;
        Clear();
        errno = nError;
        return 0;
    }
    Smooth();
    ComputeGeometry();
    return 1;
}

short CTrack::ReadMapSource(std::FILE* fp, CMapSourceFormat& format, long* pnPointsInFile,
                            std::vector<TimeMs>* pTimes) {
    CStdioFile file(fp);
    Clear();
    if (pTimes)
        pTimes->clear();

    Tokens tok;
    CMapSourceColumns columns;
    bool bProbe = false;
    while (file.ReadString(m_szLine, sizeof m_szLine)) {
        columns.Read(m_szLine);
        if (IsTrackpoint(m_szLine)) {
            bProbe = true;
            break;
        }
    }
    if (bProbe) {
        // The probe line only sets the format and the default unit words.
        CLineScanner scan(m_szLine);
        scan.SkipWord() && scan.SkipWord() && scan.SkipWord() && scan.Word(tok.szElevUnit) &&
            scan.Word(tok.szLegUnit);
        format.Detect(m_szLine);
    }

    int i = 0;
    while (bProbe && i < kMaxPoints && file.ReadString(m_szLine, sizeof m_szLine)) {
        if (columns.Read(m_szLine) || !IsTrackpoint(m_szLine) || !format.IsKnown())
            continue;
        // Until some import has found a format there is nothing to read the position with. A
        // line is read by its columns' names unless it is the usual export, which is read as it
        // always was.
        if (columns.ReadsByName(m_szLine))
            ParsePointByColumns(i, format.Get(), tok, columns);
        else
            ParsePoint(i, format.Get(), tok);
        if (pTimes)
            pTimes->push_back(columns.TimeOf(m_szLine));
        ++i;
    }
    long nBeyond = 0;
    while (pnPointsInFile && i == kMaxPoints && file.ReadString(m_szLine, sizeof m_szLine))
        if (IsTrackpoint(m_szLine))
            ++nBeyond;
    // A read error is never taken for the end of the file: the track would silently be short.
    if (file.GetError() != 0) {
        errno = file.GetError();
        return 0;
    }
    m_nCount = static_cast<short>(i);
    if (pnPointsInFile)
        *pnPointsInFile = i + nBeyond;
    SumDistances();
    ComputeGeometry();
    return 1;
}

// The words of a position in the format's number of parts, until one is missing.
bool CTrack::ScanPosition(CLineScanner& scan, int fmt, Tokens& tok) {
    return scan.Word(tok.szLatDeg) && (fmt < 2 || scan.Word(tok.szLatMin)) &&
           (fmt < 3 || scan.Word(tok.szLatSec)) && scan.Word(tok.szLonDeg) &&
           (fmt < 2 || scan.Word(tok.szLonMin)) && (fmt < 3 || scan.Word(tok.szLonSec));
}

void CTrack::ParsePoint(int i, int fmt, Tokens& tok) {
    const bool bDated = std::strpbrk(m_szLine, "/:") != nullptr;

    CLineScanner scan(m_szLine);
    bool ok = scan.SkipWord() && ScanPosition(scan, fmt, tok);
    if (ok && bDated) {
        // Date and time, then the AM/PM word (or a zone note) of a 12-hour export; a 24-hour
        // export has no such word and the elevation follows the time.
        ok = scan.SkipWord() && scan.SkipWord();
        if (ok && !scan.NextIsNumber())
            ok = scan.SkipWord();
    }
    // The fields are read in turn until one is missing; a short line keeps what it had.
    if (ok && scan.Number(m_fElev[i]) && scan.Word(tok.szElevUnit) && scan.Number(m_fLeg[i]))
        scan.Word(tok.szLegUnit);
    ConvertPoint(i, fmt, tok);
}

// The position, altitude and leg length from the columns the Header line named, each field read
// as the words of a usual line are: an export with a filled Depth column, or with its columns in
// another order.
void CTrack::ParsePointByColumns(int i, int fmt, Tokens& tok, const CMapSourceColumns& columns) {
    const std::string position(CMapSourceColumns::Field(m_szLine, columns.m_nPosition));
    const std::string altitude(CMapSourceColumns::Field(m_szLine, columns.m_nAltitude));
    const std::string leg(CMapSourceColumns::Field(m_szLine, columns.m_nLeg));
    CLineScanner scan(position.c_str());
    ScanPosition(scan, fmt, tok);
    CLineScanner scanAltitude(altitude.c_str());
    if (scanAltitude.Number(m_fElev[i]))
        scanAltitude.Word(tok.szElevUnit);
    CLineScanner scanLeg(leg.c_str());
    if (scanLeg.Number(m_fLeg[i]))
        scanLeg.Word(tok.szLegUnit);
    ConvertPoint(i, fmt, tok);
}

// The units and the position's parts into feet, miles and signed degrees.
void CTrack::ConvertPoint(int i, int fmt, Tokens& tok) {
    float latDeg = 0, latMin = 0, latSec = 0, lonDeg = 0, lonMin = 0, lonSec = 0;
    if (fmt >= 2) {
        CLineScanner::ScanFloat(tok.szLatMin, latMin);
        CLineScanner::ScanFloat(tok.szLonMin, lonMin);
    }
    if (fmt >= 3) {
        CLineScanner::ScanFloat(tok.szLatSec, latSec);
        CLineScanner::ScanFloat(tok.szLonSec, lonSec);
    }

    if (std::strncmp(tok.szElevUnit, "mi", 2) == 0)
        m_fElev[i] = Finite(m_fElev[i] * kMapSourceFeetPerMile);
    else if (std::strcmp(tok.szElevUnit, "m") == 0)
        m_fElev[i] = Finite(m_fElev[i] * kFeetPerMetre);
    if (std::strncmp(tok.szLegUnit, "ft", 2) == 0)
        m_fLeg[i] = m_fLeg[i] * kMapSourceMilesPerFoot;
    else if (std::strcmp(tok.szLegUnit, "m") == 0)
        m_fLeg[i] = Finite(m_fLeg[i] * kMapSourceMilesPerMetre);
    else if (std::strcmp(tok.szLegUnit, "km") == 0)
        m_fLeg[i] = Finite(m_fLeg[i] * kMapSourceMilesPerKm);

    // The first character of a degree token is the hemisphere letter, never a digit.
    if (tok.szLatDeg[0] != '\0')
        CLineScanner::ScanFloat(tok.szLatDeg + 1, latDeg);
    if (tok.szLonDeg[0] != '\0')
        CLineScanner::ScanFloat(tok.szLonDeg + 1, lonDeg);
    const float lat = Finite(static_cast<double>(latSec) * kMapSourceDegPerSecond +
                             static_cast<double>(latMin) * kMapSourceDegPerMinute + latDeg);
    const float lon = Finite(static_cast<double>(lonSec) * kMapSourceDegPerSecond +
                             static_cast<double>(lonMin) * kMapSourceDegPerMinute + lonDeg);
    m_fLat[i] = (tok.szLatDeg[0] == 'S' || tok.szLatDeg[0] == 's') ? -lat : lat;
    m_fLon[i] = (tok.szLonDeg[0] == 'W' || tok.szLonDeg[0] == 'w') ? -lon : lon;
}

// Cumulative distance: the running sum of the leg lengths written in the file, starting with the
// first point's own leg.
void CTrack::SumDistances() {
    if (m_nCount <= 0)
        return;
    m_fDist[0] = m_fLeg[0];
    for (int j = 1; j < m_nCount; ++j)
        m_fDist[j] = Finite(static_cast<double>(m_fLeg[j]) + m_fDist[j - 1]);
}

short CTrack::ComputeLegs() {
    m_fLeg[0] = 0;
    LatitudeTrig prev = TrigOfLatitude(m_fLat[0]);
    for (int i = 1; i < m_nCount; ++i) {
        const LatitudeTrig here = TrigOfLatitude(m_fLat[i]);
        m_fLeg[i] = LegMiles(prev, m_fLon[i - 1], here, m_fLon[i]);
        prev = here;
    }
    return 1;
}

void CTrack::ComputeGeometry() {
    ComputePlane();
}

// The plane offsets and the legs (as ComputeLegs gives them) in one pass, so that each point's
// latitude needs one sine and cosine.
void CTrack::ComputePlane() {
    m_fSouth[0] = 0;
    m_fEast[0] = 0;
    m_fLeg[0] = 0;
    const LatitudeTrig first = TrigOfLatitude(m_fLat[0]);
    LatitudeTrig prev = first;
    for (int i = 1; i < m_nCount; ++i) {
        const LatitudeTrig here = TrigOfLatitude(m_fLat[i]);
        m_fLeg[i] = LegMiles(prev, m_fLon[i - 1], here, m_fLon[i]);
        prev = here;
        const float s = static_cast<float>(MeridianArc(first, here) * kPlaneUnitsPerKm);
        m_fSouth[i] = m_fLat[i] <= m_fLat[0] ? s : -s;
        const float e =
            static_cast<float>(GreatCircle(here, m_fLon[0], here, m_fLon[i]) * kPlaneUnitsPerKm);
        // East or west the short way round: a track across the 180th meridian does not fold.
        m_fEast[i] = EastOf(m_fLon[0], m_fLon[i]) ? e : -e;
    }
    const int n = m_nCount > 0 ? m_nCount : 1;
    Bounds(m_fSouth, n, m_fRange[0][0], m_fRange[0][1]);
    Bounds(m_fEast, n, m_fRange[1][0], m_fRange[1][1]);
    Bounds(m_fElev, n, m_fRange[2][0], m_fRange[2][1]);
    for (auto& pair : m_fRange)
        Widen(pair[0], pair[1]);
}

short CTrack::Smooth() {
    SmoothSeries(m_fElev, m_fSmooth, m_nCount);
    return 1;
}

void CTrack::Save(CArchive& ar) const {
    ar.Write(&m_nCount, sizeof m_nCount);
    const UINT nBytes = static_cast<UINT>(m_nCount) * sizeof(float);
    ar.Write(m_fElev, nBytes);
    ar.Write(m_fDist, nBytes);
    ar.Write(m_fLeg, nBytes);
    ar.Write(m_fLat, nBytes);
    ar.Write(m_fLon, nBytes);
}

short CTrack::Load(CArchive& ar) {
    short n = 0;
    ar.Read(&n, sizeof n);
    // The document's checks are CDocumentFile's, made before it calls this; the arrays are
    // still never filled beyond their end, whatever the count says.
    if (n < 0 || n > kMaxPoints)
        return 0;
    m_nCount = n;
    const UINT nBytes = static_cast<UINT>(n) * sizeof(float);
    ar.Read(m_fElev, nBytes);
    ar.Read(m_fDist, nBytes);
    ar.Read(m_fLeg, nBytes);
    ar.Read(m_fLat, nBytes);
    ar.Read(m_fLon, nBytes);
    // The stored legs are recomputed from the coordinates, whatever the file holds.
    Smooth();
    ComputeGeometry();
    return 1;
}
