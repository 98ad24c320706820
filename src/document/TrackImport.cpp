#include "TrackImport.h"

#include "CGpsbabelFormats.h"
#include "CInputFile.h"
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "CTrackFileTypes.h"
#include "CTrackImporter.h"
#include "CTrackReader.h"

#include <cerrno>
#include <new>
#include <span>

namespace {

CFileResult FromImport(const std::string& path, const ImportResult& imported, CTrack& track) {
    if (!imported.bOk) {
        track.Clear();
        return CFileResult::Failure(CFileResult::Fault::track, path, imported.error);
    }
    CFileResult r;
    r.m_notes = imported.Notes();
    return r;
}

// A file our own reader of its type reads, fed to it a piece at a time.
CFileResult ImportNativeFile(const std::string& path, const TrackFileType& type, CTrack& track) {
    CInputFile file;
    CFileResult r = file.Open(path);
    if (!r.Ok()) {
        track.Clear();
        return r;
    }
    const std::unique_ptr<CTrackReader> reader = type.makeReader(file.Size());
    r = file.ReadPieces(kMaxTrackFileBytes,
                        [&reader](std::span<const char> piece) { return reader->Feed(piece); });
    if (!r.Ok()) {
        track.Clear();
        return r;
    }
    return FromImport(path, CTrackImporter::ImportRead(*reader, path, type.description, track),
                      track);
}

// GPSBabel opens the file itself; it is checked here first so that a FIFO or a folder gets the
// same refusal as everywhere else instead of a converter that waits or fails obscurely.
CFileResult ImportConvertedFile(const std::string& path, const std::string& gpsbabelFormat,
                                CTrack& track) {
    if (CFileResult r = CInputFile().Open(path); !r.Ok()) {
        track.Clear();
        return r;
    }
    return FromImport(path, CTrackImporter().ImportConverted(path, gpsbabelFormat, track), track);
}

CFileResult ImportMapSourceFile(const std::string& path, CTrack& track, CMapSourceFormat& format) {
    CInputFile file;
    CFileResult r = file.Open(path);
    if (r.Ok())
        r = file.CheckSize(kMaxTrackFileBytes);
    if (!r.Ok()) {
        track.Clear();
        return r;
    }
    CMapSourceFormat next = format;
    long nInFile = 0;
    if (!track.ImportFile(file.Stream(), next, &nInFile))
        return CFileResult::SystemFailure(CFileResult::Fault::read, path, errno);
    format = next;
    if (track.m_nCount == 0)
        r.m_notes.push_back("No track points in " + path + ".");
    if (nInFile > track.m_nCount)
        r.m_notes.push_back("Only the first " + std::to_string(track.m_nCount) + " of " +
                            std::to_string(nInFile) + " track points were read.");
    return r;
}

} // namespace

CFileResult ImportTrackFile(const std::string& path, CTrack& track, CMapSourceFormat& format) {
    const TrackFileType* type = CTrackFileTypes::Of(path);
    // What the import set aside is given back as the exception unwinds, so there is memory for
    // the message again.
    try {
        if (const GpsbabelFormat* other = type ? nullptr : CGpsbabelFormats::Of(path))
            return ImportConvertedFile(path, other->gpsbabelName, track);
        switch (type ? type->reader : TrackReaderKind::mapSource) {
        case TrackReaderKind::native:
            return ImportNativeFile(path, *type, track);
        case TrackReaderKind::gpsbabel:
            return ImportConvertedFile(path, type->gpsbabelName, track);
        case TrackReaderKind::mapSource:
            break;
        }
        return ImportMapSourceFile(path, track, format);
    } catch (const std::bad_alloc&) {
        track.Clear();
        return CFileResult::Failure(CFileResult::Fault::memory, path, std::string());
    }
}
