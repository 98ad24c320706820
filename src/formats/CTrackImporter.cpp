#include "CTrackImporter.h"

#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackBuilder.h"

namespace {

std::string Points(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " point" : " points");
}

std::string SkippedNote(const SkippedPoints& s) {
    std::string why;
    const auto add = [&why](std::size_t n, const char* what) {
        if (n == 0)
            return;
        why += (why.empty() ? "" : ", ") + std::to_string(n) + " " + what;
    };
    add(s.nMissing, "without a position");
    add(s.nUnparsable, "with an unreadable position");
    add(s.nOutOfRange, "with a position out of range");
    add(s.nVoid, "marked void by the receiver");
    return Points(s.ByReader()) + " skipped: " + why + ".";
}

bool AtZero(const CTrackRecord& record, std::size_t i) {
    return record.Lat()[i] == 0.0 && record.Lon()[i] == 0.0;
}

// Removes the points at exactly 0,0 from every track that has points elsewhere: a receiver that
// writes zeros until it finds its position would otherwise add a leg to the Gulf of Guinea and
// back. A track wholly at 0,0 stays as it is. Returns the number removed.
std::size_t RemoveZeroFixes(CTrackRecord& record) {
    const auto& segments = record.SegmentStarts();
    const auto& tracks = record.TrackStarts();
    std::vector<std::size_t> trackEnds; // one past the last point of every track
    std::vector<bool> elsewhere;        // the track has points at 0,0 and points elsewhere
    bool bAny = false;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const std::size_t nFirst = segments[tracks[t]];
        trackEnds.push_back(t + 1 < tracks.size() ? segments[tracks[t + 1]] : record.Size());
        std::size_t nZero = 0;
        for (std::size_t i = nFirst; i < trackEnds.back(); ++i)
            nZero += AtZero(record, i) ? 1 : 0;
        elsewhere.push_back(nZero != 0 && nZero != trackEnds.back() - nFirst);
        bAny = bAny || elsewhere.back();
    }
    if (!bAny)
        return 0;
    std::size_t t = 0;
    return record.RemovePoints([&](std::size_t i) {
        while (i >= trackEnds[t])
            ++t;
        return elsewhere[t] && AtZero(record, i);
    });
}

std::string ReadError(const std::string& fileName, const ReadResult& read) {
    std::string line = fileName + ": " + read.error;
    if (read.errorLine != 0)
        line += " on line " + std::to_string(read.errorLine);
    return line + ".";
}

ImportResult Import(CTrackReader& reader, const std::string& fileName, std::string format,
                    CTrack& track) {
    ImportResult result;
    result.format = std::move(format);
    ReadResult read = reader.Finish();
    if (read.Failed()) {
        result.error = ReadError(fileName, read);
        return result;
    }
    result.skipped = read.skipped;
    result.readerNotes = std::move(read.notes);
    if (read.record.Empty()) {
        result.error = "No track points in " + fileName + ".";
        return result;
    }
    result.skipped.nAtZero = RemoveZeroFixes(read.record);
    result.nRead = read.record.Size();
    result.bRoute = read.bRoute;
    const BuildResult built = CTrackBuilder::Build(read.record, track);
    result.nSimplifiedFrom = built.bSimplified ? result.nRead : 0;
    result.bNoElevation = built.bNoElevation;
    result.bOk = true;
    return result;
}

} // namespace

std::vector<std::string> ImportResult::Notes() const {
    std::vector<std::string> notes;
    notes.push_back(format + ": " + Points(nRead) + " read" +
                    (bRoute ? " from routes (the file has no track points)." : "."));
    if (skipped.ByReader() != 0)
        notes.push_back(SkippedNote(skipped));
    if (skipped.nAtZero != 0)
        notes.push_back(Points(skipped.nAtZero) + " at 0,0 skipped.");
    if (nSimplifiedFrom != 0)
        notes.push_back("Simplified from " + std::to_string(nSimplifiedFrom) + " to " +
                        Points(static_cast<std::size_t>(CTrack::kMaxPoints)) + ".");
    if (bNoElevation)
        notes.push_back("No elevation in this file.");
    notes.insert(notes.end(), readerNotes.begin(), readerNotes.end());
    return notes;
}

CTrackImporter::CTrackImporter(CGpsbabel gpsbabel) : m_gpsbabel(std::move(gpsbabel)) {}

const TrackFileType* CTrackImporter::ConvertedFormatOf(std::string_view fileName) {
    const TrackFileType* type = CTrackFileTypes::Of(fileName);
    return type && type->reader == TrackReaderKind::gpsbabel ? type : nullptr;
}

ImportResult CTrackImporter::ImportGpx(std::span<const char> bytes, const std::string& fileName,
                                       CTrack& track) const {
    CGpxReader reader(bytes.size());
    reader.Feed(bytes);
    return ImportRead(reader, fileName, "GPX", track);
}

ImportResult CTrackImporter::ImportRead(CTrackReader& reader, const std::string& fileName,
                                        std::string format, CTrack& track) {
    return Import(reader, fileName, std::move(format), track);
}

ImportResult CTrackImporter::ImportConverted(const std::string& path, CTrack& track) const {
    ImportResult result;
    const TrackFileType* format = ConvertedFormatOf(path);
    if (!format) {
        result.error = "Cannot convert " + path + ": GPSBabel does not read this file type here.";
        return result;
    }
    CGpxReader reader;
    ConversionResult converted =
        m_gpsbabel.ToGpx(path, format->gpsbabelName, path,
                         [&reader](std::span<const char> gpx) { reader.Feed(gpx); });
    if (!converted.error.empty()) {
        result.error = std::move(converted.error);
        return result;
    }
    return Import(reader, path, std::string(format->description) + " via GPSBabel", track);
}
