#include "TrackImport.h"

#include "CGpsbabelFormats.h"
#include "CInputFile.h"
#include "CMapSourceFormat.h"
#include "CProgressStream.h"
#include "CTrack.h"
#include "CTrackFileTypes.h"
#include "CTrackImporter.h"
#include "CTrackReader.h"
#include "CTrackRecord.h"
#include "RecordOfTrack.h"
#include "UnitsAndEarth.h"

#include <cerrno>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace {

// Thrown out of the reading when the progress asks to stop: whatever was set aside is given back
// as it unwinds.
struct ImportCancelled {};

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

CFileResult FromImport(ImportResult& imported, CTrackRecord& record, CTrack& track) {
    if (!imported.Ok()) {
        track.Clear();
        return imported.outcome;
    }
    CFileResult r;
    r.m_notes = imported.Notes();
    record = std::move(imported.record);
    return r;
}

// A file our own reader of its type reads, fed to it a piece at a time.
CFileResult ImportNativeFile(const std::string& path, const TrackFileType& type,
                             CTrackRecord& record, CTrack& track, const ImportProgress& progress) {
    CInputFile file;
    CFileResult r = file.Open(path);
    if (!r.Ok()) {
        track.Clear();
        return r;
    }
    const std::unique_ptr<CTrackReader> reader = type.makeReader(file.Size());
    std::uint64_t nDone = 0;
    r = file.ReadPieces(kMaxTrackFileBytes, [&](std::span<const char> piece) {
        nDone += piece.size();
        if (progress && !progress(nDone, file.Size()))
            throw ImportCancelled();
        return reader->Feed(piece);
    });
    if (!r.Ok()) {
        track.Clear();
        return r;
    }
    ImportResult imported = CTrackImporter::ImportRead(*reader, path, type.description, track);
    return FromImport(imported, record, track);
}

// GPSBabel opens the file itself; it is checked here first so that a FIFO or a folder gets the
// same refusal as everywhere else instead of a converter that waits or fails obscurely.
CFileResult ImportConvertedFile(const std::string& path, const std::string& gpsbabelFormat,
                                CTrackRecord& record, CTrack& track,
                                const ImportProgress& progress) {
    if (CFileResult r = CInputFile().Open(path); !r.Ok()) {
        track.Clear();
        return r;
    }
    // How much of the conversion is still to come is not known.
    const auto converted = [&progress](std::uint64_t nDone) {
        if (progress && !progress(nDone, 0))
            throw ImportCancelled();
    };
    ImportResult imported =
        CTrackImporter().ImportConverted(path, gpsbabelFormat, track, converted);
    return FromImport(imported, record, track);
}

CFileResult ImportMapSourceFile(const std::string& path, CTrackRecord& record, CTrack& track,
                                CMapSourceFormat& format, const ImportProgress& progress) {
    CInputFile file;
    CFileResult r = file.Open(path);
    if (r.Ok())
        r = file.CheckSize(kMaxTrackFileBytes);
    if (!r.Ok()) {
        track.Clear();
        return r;
    }
    // Read straight from the file unless someone follows the progress.
    std::optional<CProgressStream> followed;
    std::FILE* fp = file.Stream();
    if (progress) {
        fp = followed.emplace(file.Stream(), file.Size(), progress).Stream();
        if (!fp) {
            track.Clear();
            return CFileResult::SystemFailure(CFileResult::Fault::read, path, errno);
        }
    }
    CMapSourceFormat next = format;
    long nInFile = 0;
    std::vector<TimeMs> times;
    const bool bRead = track.ImportFile(fp, next, &nInFile, &times);
    if (followed && followed->Stopped())
        throw ImportCancelled();
    if (!bRead)
        return CFileResult::SystemFailure(CFileResult::Fault::read, path, errno);
    format = next;
    record = RecordOfTrack(track, "MapSource text export", times);
    track.IndexRecordInOrder();
    // The export's own leg lengths, which the designed track sums, stand beside the distance
    // measured from the positions.
    if (track.m_nCount > 0)
        record.m_totals.distanceM = track.m_fDist[track.m_nCount - 1] * kMetresPerMile;
    if (track.m_nCount == 0)
        r.m_notes.push_back("No track points in " + path + ".");
    if (nInFile > track.m_nCount)
        r.m_notes.push_back("Only the first " + std::to_string(track.m_nCount) + " of " +
                            std::to_string(nInFile) + " track points were read.");
    return r;
}

} // namespace

CFileResult ImportTrackFile(const std::string& path, CTrack& track, CMapSourceFormat& format) {
    CTrackRecord record;
    return ImportTrackFile(path, record, track, format);
}

CFileResult ImportTrackFile(const std::string& path, CTrackRecord& record, CTrack& track,
                            CMapSourceFormat& format, const ImportProgress& progress) {
    record.Clear();
    const TrackFileType* type = CTrackFileTypes::Of(path);
    // What the import set aside is given back as the exception unwinds, so there is memory for
    // the message again.
    try {
        CFileResult r;
        // A format of ours by the table, another that GPSBabel reads, or else a MapSource export.
        if (const GpsbabelFormat* other = type ? nullptr : CGpsbabelFormats::Of(path))
            r = ImportConvertedFile(path, other->gpsbabelName, record, track, progress);
        else if (type && type->reader == TrackReaderKind::native)
            r = ImportNativeFile(path, *type, record, track, progress);
        else
            r = ImportMapSourceFile(path, record, track, format, progress);
        if (r.Ok())
            record.m_source.fileName = FileNameOf(path);
        return r;
    } catch (const std::bad_alloc&) {
        track.Clear();
        record.Clear();
        return CFileResult::Failure(CFileResult::Fault::memory, path, std::string());
    } catch (const ImportCancelled&) {
        track.Clear();
        record.Clear();
        return CFileResult::Failure(CFileResult::Fault::cancelled, path, std::string());
    }
}
