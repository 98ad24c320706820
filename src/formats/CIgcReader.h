// Reads an IGC flight log (the gliding recorders' text format) into the record as its bytes come
// in: one flight, one track of the B records' fixes, in file order. A fix's elevation is its GNSS
// altitude where that is valid (an A fix, not zero), else its pressure altitude, and the notes
// say when the pressure altitude was used; times take the date of the HFDTE header and roll over
// at midnight. The flight recorder (HFFTY, else the A record) is the record's creator, the pilot
// and glider type (HFPLT, HFGTY) name the track. Used by the table of track file types.
#pragma once

#include "CDayClock.h"
#include "CLineSplitter.h"
#include "CTrackReader.h"

#include <memory>
#include <string>

class CIgcReader : public CTrackReader {
public:
    // The fixed part of a B record: B, time, latitude, longitude, validity and the two altitudes.
    static constexpr std::size_t kFixBytes = 35;

    // nExpectedBytes: the file's size when known, so that room for its points is set aside once.
    explicit CIgcReader(std::size_t nExpectedBytes = 0);
    static std::unique_ptr<CTrackReader> Make(std::size_t nFileBytes);

    bool Feed(std::span<const char> bytes) override;
    ReadResult Finish() override;

private:
    void TakeLine(std::string_view line);
    void TakeHeader(std::string_view line);
    void TakeFix(std::string_view line);
    std::vector<std::string> Notes() const;

    CLineSplitter m_lines;
    CTrackRecord m_record;
    SkippedPoints m_skipped;
    CDayClock m_clock;
    std::string m_logger;   // the A record, after its letter
    std::string m_recorder; // the flight recorder's type (HFFTY)
    std::string m_pilot;
    std::string m_glider;
    bool m_bTrackBegun = false;
    std::size_t m_nPressure = 0; // fixes whose elevation is the pressure altitude
    std::size_t m_nUndated = 0;  // fixes with a time of day and no date to go with it
};
