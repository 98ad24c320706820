// One GPS track in fixed arrays: the MapSource text reader, the derived geometry and smoothing,
// and the track's part of the document file. Embedded in every document.
#pragma once

#include "CObject.h"
#include "CTrackRecord.h"

#include <cstdint>
#include <cstdio>
#include <vector>

class CArchive;
class CLineScanner;
class CMapSourceColumns;
class CMapSourceFormat;

class CTrack : public CObject {
public:
    static constexpr int kMaxPoints = 10000;

    CTrack();
    ~CTrack() override = default;

    // Count 0 and elevation, cumulative distance and leg set to 0; the other arrays keep theirs.
    void Clear();
    // Reads a MapSource text export from an open stream with the format of earlier imports,
    // which the first Trackpoint line may change; 1 when the whole stream was read (also for no
    // points), 0 after a read error, with errno set to its cause. Ends with ComputeGeometry; the
    // smoothed series is left to the caller. Reading stops at kMaxPoints points; with
    // pnPointsInFile the rest of the stream is read too and *pnPointsInFile receives the track
    // points the file holds, those beyond the cap counted without being stored.
    // With pTimes, it receives the time of each point read (kNoTime where a line has none).
    short ReadMapSource(std::FILE* fp, CMapSourceFormat& format, long* pnPointsInFile = nullptr,
                        std::vector<TimeMs>* pTimes = nullptr);
    // The import of a chosen file: Clear, ReadMapSource, Smooth, ComputeGeometry. 0 after a read
    // error (errno says why), and the track is then left empty.
    short ImportFile(std::FILE* fp, CMapSourceFormat& format, long* pnPointsInFile = nullptr,
                     std::vector<TimeMs>* pTimes = nullptr);

    short ComputeLegs();
    void ComputeGeometry();
    short Smooth();

    void Save(CArchive& ar) const;
    // Reads a track written by Save and derives its series again; the file is checked by
    // CDocumentFile before. A count outside 0..10000, which the arrays cannot hold, gives 0 and
    // leaves the track as it was; bytes the archive does not deliver leave the values as they were.
    short Load(CArchive& ar);

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
    // Which point of the record behind the track each point is (its index there), so that the
    // charts' readout can say what the file said of it; not part of the designed document.
    std::uint32_t m_nRecordIndex[kMaxPoints] = {};
    // The track's points are the record's first ones, one for one.
    void IndexRecordInOrder();
    char m_szLine[256] = {};

private:
    struct Tokens;
    static bool ScanPosition(CLineScanner& scan, int nFormat, Tokens& tok);
    void ParsePoint(int i, int nFormat, Tokens& tok);
    void ParsePointByColumns(int i, int nFormat, Tokens& tok, const CMapSourceColumns& columns);
    void ConvertPoint(int i, int nFormat, Tokens& tok);
    void ComputePlane();
    void SumDistances();
};
