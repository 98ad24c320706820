#include "CTrackImporter.h"

#include "CGpsbabelFormats.h"
#include "CGpxReader.h"
#include "CTrack.h"
#include "CTrackBuilder.h"
#include "CTrackFileTypes.h"
#include "MessageText.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// GPSBabel's warnings quoted when it gives no points: its first lines say why.
constexpr std::size_t kMaxWarningLines = 2;

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

CFileResult TrackFailure(const std::string& fileName, const std::string& line) {
    return CFileResult::Failure(CFileResult::Fault::track, fileName, line);
}

std::string ReadError(const std::string& fileName, const ReadResult& read) {
    std::string line = fileName + ": " + read.error;
    if (read.errorLine != 0)
        line += " on line " + std::to_string(read.errorLine);
    return line + ".";
}

// "nmea: No date found within track (all points dropped)! / nmea: Please use option ..."
std::string QuotedWarnings(std::string_view text) {
    std::string quoted;
    std::size_t nLines = 0;
    while (!text.empty() && nLines < kMaxWarningLines) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.remove_suffix(1);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front())))
            line.remove_prefix(1);
        if (line.empty())
            continue;
        quoted += (nLines++ == 0 ? "" : " / ") + QuotedText(line);
    }
    return quoted;
}

// warnings: what the converter said about a file it read.
ImportResult Import(ReadResult read, const std::string& fileName, std::string format, CTrack& track,
                    std::string_view warnings = {}) {
    ImportResult result;
    result.format = std::move(format);
    if (read.Failed()) {
        result.outcome = TrackFailure(fileName, ReadError(fileName, read));
        return result;
    }
    result.skipped = read.skipped;
    result.readerNotes = std::move(read.notes);
    if (read.record.Empty()) {
        const std::string why = QuotedWarnings(warnings);
        result.outcome = TrackFailure(fileName, "No track points in " + fileName + "." +
                                                    (why.empty() ? "" : " GPSBabel said: " + why));
        return result;
    }
    result.skipped.nAtZero = RemoveZeroFixes(read.record);
    result.nRead = read.record.Size();
    result.bRoute = read.bRoute;
    const BuildResult built = CTrackBuilder::Build(read.record, track);
    result.nSimplifiedFrom = built.bSimplified ? result.nRead : 0;
    result.bNoElevation = built.bNoElevation;
    if (read.record.m_source.format.empty())
        read.record.m_source.format = result.format;
    result.record = std::move(read.record);
    result.outcome = CFileResult();
    return result;
}

// The format's name in the notes: the description of one offered through GPSBabel, else
// GPSBabel's own name of it.
std::string ConvertedFormatName(const std::string& gpsbabelFormat) {
    if (const GpsbabelFormat* other = CGpsbabelFormats::Named(gpsbabelFormat))
        return other->description;
    return gpsbabelFormat;
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

ImportResult CTrackImporter::ImportGpx(std::span<const char> bytes, const std::string& fileName,
                                       CTrack& track) const {
    CGpxReader reader(bytes.size());
    reader.Feed(bytes);
    return ImportRead(reader, fileName, "GPX", track);
}

ImportResult CTrackImporter::ImportRead(CTrackReader& reader, const std::string& fileName,
                                        std::string format, CTrack& track) {
    return Import(reader.Finish(), fileName, std::move(format), track);
}

ImportResult
CTrackImporter::ImportConverted(const std::string& path, const std::string& gpsbabelFormat,
                                CTrack& track,
                                const std::function<void(std::uint64_t)>& progress) const {
    CGpxReader reader;
    std::uint64_t nConverted = 0;
    ConversionResult converted =
        m_gpsbabel.ToGpx(path, gpsbabelFormat, path, [&](std::span<const char> gpx) {
            if (!gpx.empty())
                reader.Feed(gpx);
            nConverted += gpx.size();
            if (progress)
                progress(nConverted);
        });
    if (!converted.error.empty()) {
        ImportResult result;
        result.outcome = TrackFailure(path, converted.error);
        return result;
    }
    return Import(reader.Finish(), path, ConvertedFormatName(gpsbabelFormat) + " via GPSBabel",
                  track, converted.warnings);
}
