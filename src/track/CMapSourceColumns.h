// The columns of a MapSource text export's track points as its "Header" line names them
// ("Header<TAB>Position<TAB>Time<TAB>Altitude<TAB>Depth<TAB>Leg Length..."), so that a point
// is read by its columns' names: an export whose Depth column is filled, or whose columns come
// in another order, is read by name; the usual one the way it always was. Also the time of a
// point. Used by the track's MapSource reader.
#pragma once

#include "CTrackRecord.h"

#include <string_view>

class CMapSourceColumns {
public:
    // Takes a Header line that names a Position column; false (columns unchanged) for any
    // other line.
    bool Read(const char* pszHeader);
    bool IsKnown() const { return m_nPosition > 0; }
    // Whether a track point line is to be read by the columns' names: its fields are the
    // Header's ("Trackpoint" alone in the first), and it is not the usual export (Position,
    // Time, Altitude, Depth and Leg Length in turn with an empty Depth), whose words read in
    // turn give the same as always.
    bool ReadsByName(const char* pszLine) const;

    // The text of field nField (0 is "Trackpoint") of a tab-separated line; empty when the line
    // has none.
    static std::string_view Field(const char* pszLine, int nField);
    // The time of a track point line (its Time column, or else the first field that reads as a
    // date and time), read as this machine's local time the export was written in; kNoTime
    // without one. Dates are month/day/
    // year with "/", year-month-day with "-" or day.month.year with "."; times h:mm:ss with an
    // optional AM or PM.
    TimeMs TimeOf(const char* pszLine) const;

    // "9/14/2003 7:58:12 AM" as a time, or kNoTime.
    static TimeMs TimeOfField(std::string_view text);

    int m_nPosition = -1;
    int m_nTime = -1;
    int m_nAltitude = -1;
    int m_nDepth = -1;
    int m_nLeg = -1;
};
