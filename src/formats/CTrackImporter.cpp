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
    return Points(s.Total()) + " skipped: " + why + ".";
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
    result.nRead = read.record.Size();
    result.bRoute = read.bRoute;
    const BuildResult built = CTrackBuilder::Build(read.record, track);
    result.nSimplifiedFrom = built.bSimplified ? result.nRead : 0;
    result.bNoElevation = built.bNoElevation;
    if (read.record.m_source.format.empty())
        read.record.m_source.format = result.format;
    result.record = std::move(read.record);
    result.bOk = true;
    return result;
}

} // namespace

std::vector<std::string> ImportResult::Notes() const {
    std::vector<std::string> notes;
    notes.push_back(format + ": " + Points(nRead) + " read" +
                    (bRoute ? " from routes (the file has no track points)." : "."));
    if (skipped.Total() != 0)
        notes.push_back(SkippedNote(skipped));
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
