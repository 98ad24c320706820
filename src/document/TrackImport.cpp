#include "TrackImport.h"

#include "CInputFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"

#include <cerrno>

CFileResult ImportTrackFile(const std::string& path, CTrack& track, CMapSourceFormat& format) {
    CInputFile file;
    if (CFileResult r = file.Open(path); !r.Ok()) {
        track.Clear();
        return r;
    }
    CMapSourceFormat next = format;
    if (!track.ImportFile(file.Stream(), next))
        return CFileResult::SystemFailure(CFileResult::Fault::read, path, errno);
    format = next;
    CFileResult r;
    if (track.m_nCount == 0)
        r.m_notes.push_back("No track points in " + path + ".");
    return r;
}
