// One GPS track in fixed arrays: the MapSource text reader, the derived geometry and smoothing,
// and the track's part of the document file. Embedded in every document.
#pragma once

#include "CObject.h"

class CArchive;

class CTrack : public CObject {
public:
    static constexpr int kMaxPoints = 10000;

    CTrack();
    ~CTrack() override = default;

    // Count 0 and elevation, cumulative distance and leg set to 0; the other arrays keep theirs.
    void Clear();
    // Reads a MapSource text export; 0 when the file cannot be opened, else 1 (also for no
    // points). Ends with ComputeGeometry; the smoothed series is left to the caller.
    short ReadMapSource(const char* pszPath);
    // The import of a chosen file: Clear, ReadMapSource, Smooth, ComputeGeometry. 0 when the
    // file cannot be opened.
    short ImportFile(const char* pszPath);

    short ComputeLegs();
    void ComputeGeometry();
    short Smooth();

    void Save(CArchive& ar) const;
    // Reads a track written by Save and derives its series again. A file whose count lies outside
    // 0..10000, whose length is not that of a document of that count, or whose values are not
    // finite is rejected: the result is 0 and the track is left as it was.
    short Load(CArchive& ar);

    // Coordinate format of the last detection of this run: 0 none, 1 decimal degrees,
    // 2 degrees and decimal minutes, 3 degrees, minutes and decimal seconds.
    static int s_nCoordFormat;

    short m_nCount = 0;
    float m_fRange[3][2] = {};
    float m_fLat[kMaxPoints] = {};
    float m_fLon[kMaxPoints] = {};
    float m_fSouth[kMaxPoints] = {};
    float m_fEast[kMaxPoints] = {};
    float m_fElev[kMaxPoints] = {};
    float m_fDist[kMaxPoints] = {};
    float m_fLeg[kMaxPoints] = {};
    float m_fSmooth[kMaxPoints] = {};
    char m_szLine[256] = {};

private:
    struct Tokens;
    static void DetectFormat(const char* pszLine);
    void ParsePoint(int i, Tokens& tok);
    void SumDistances();
};
