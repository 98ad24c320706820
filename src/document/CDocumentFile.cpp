#include "CDocumentFile.h"

#include "CArchive.h"
#include "CArrayCodec.h"
#include "CAtomicFile.h"
#include "CByteReader.h"
#include "CByteWriter.h"
#include "CChunkedFile.h"
#include "CInputFile.h"
#include "CRecordChunks.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "RecordOfTrack.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
using Fault = CFileResult::Fault;

constexpr std::string_view kViewTag = "VIEW";
constexpr std::string_view kTrackTag = "TRAK";
// Which of the record's points each point of the track is; a document without it (or with a
// damaged one) finds them by position.
constexpr std::string_view kRecordIndexTag = "TIDX";
// The document's windows and their panes; a document without it opens in one window.
constexpr std::string_view kWindowsTag = "WIND";
// The graphs of every pane of WIND, in its order (a chunk of its own, so that a reader of the
// first version 2 files, which wants WIND to end with its panes, skips it).
constexpr std::string_view kGraphsTag = "GRPH";
// The five arrays of the designed track, one float per point each.
constexpr long kTrackArrays = 5;

// The stored sections in file order; the legs are recomputed on loading, so whatever that
// section holds is never looked at.
constexpr const char* kSectionNames[] = {"elevation", "distance", nullptr, "latitude", "longitude"};

float FloatAt(std::string_view bytes, long offset) {
    float f = 0;
    std::memcpy(&f, bytes.data() + offset, sizeof f);
    return f;
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "the point count 12000 is above 10000"
std::string CheckCount(short n) {
    if (n < 0)
        return "the point count " + std::to_string(n) + " is below 0";
    if (n > CTrack::kMaxPoints)
        return "the point count " + std::to_string(n) + " is above " +
               std::to_string(CTrack::kMaxPoints);
    return std::string();
}

// The count and the length: "the point count 12000 is above 10000", "it has 33 bytes, but a
// document of 1 point has 34".
std::string CheckSize(const std::string& bytes, long nSize, bool bCapped, short& n) {
    if (nSize < CDocumentFile::kCountBytes)
        return "it has " + std::to_string(nSize) + " bytes, too few for a point count";
    std::memcpy(&n, bytes.data(), sizeof n);
    if (std::string reason = CheckCount(n); !reason.empty())
        return reason;
    const long nExpected = CDocumentFile::SizeFor(n);
    if (nSize != nExpected || bCapped)
        return "it has " + std::string(bCapped ? "more than " : "") + std::to_string(nSize) +
               " bytes, but a document of " + std::to_string(n) +
               (n == 1 ? " point has " : " points has ") + std::to_string(nExpected);
    return std::string();
}

// The arrays of a track block: the count, then n floats of each section.
std::string CheckTrackValues(std::string_view block, short n) {
    for (long section = 0; section < kTrackArrays; ++section) {
        if (!kSectionNames[section])
            continue;
        for (long i = 0; i < n; ++i)
            if (!std::isfinite(FloatAt(block, CDocumentFile::kCountBytes + 4 * (section * n + i))))
                return std::string("the ") + kSectionNames[section] + " of point " +
                       std::to_string(i + 1) + " is not a finite number";
    }
    return std::string();
}

std::string CheckView(const CViewValues& view) {
    if (!std::isfinite(view.m_fZoom))
        return "the zoom factor is not a finite number";
    if (view.m_fZoom < CViewValues::kMinZoom || view.m_fZoom > CViewValues::kMaxZoom)
        return "the zoom factor " + Number(view.m_fZoom) + " is not at least " +
               Number(CViewValues::kMinZoom) + " and at most " + Number(CViewValues::kMaxZoom);
    if (!std::isfinite(view.m_fAzimuth))
        return "the azimuth is not a finite number";
    if (!std::isfinite(view.m_fElevation))
        return "the elevation angle is not a finite number";
    return std::string();
}

void AddWindows(const std::vector<WindowView>& windows, CChunkedFile& file) {
    if (windows.empty())
        return;
    std::string contents;
    CByteWriter out(contents);
    out.Put(static_cast<std::uint16_t>(windows.size()));
    for (const WindowView& w : windows) {
        out.Put(w.nRows);
        out.Put(w.nCols);
        out.Put(w.fRowShare);
        out.Put(w.fColShare);
        for (const PaneView& p : w.panes) {
            out.Put(p.nPlot);
            out.Put(p.fZoom);
            out.Put(p.fAzimuth);
            out.Put(p.fElevation);
        }
    }
    file.Add(kWindowsTag, contents);
}

void AddGraphs(const std::vector<WindowView>& windows, CChunkedFile& file) {
    std::string contents;
    bool bAny = false;
    for (const WindowView& w : windows)
        for (const PaneView& p : w.panes) {
            contents.push_back(static_cast<char>(p.nGraphs));
            bAny = bAny || p.nGraphs != 0;
        }
    if (bAny)
        file.Add(kGraphsTag, contents);
}

std::string CheckPane(const PaneView& pane) {
    if (pane.nPlot != -1 && pane.nPlot != 0 && pane.nPlot != 3)
        return "a pane's plot " + std::to_string(pane.nPlot) + " is none that the program shows";
    CViewValues values;
    values.m_fZoom = pane.fZoom;
    values.m_fAzimuth = pane.fAzimuth;
    values.m_fElevation = pane.fElevation;
    return CheckView(values);
}

std::string ReadWindow(CByteReader& in, WindowView& w) {
    w.nRows = in.Get<std::uint8_t>();
    w.nCols = in.Get<std::uint8_t>();
    w.fRowShare = in.Get<float>();
    w.fColShare = in.Get<float>();
    if (in.Failed())
        return "is too short for its windows";
    if (w.nRows < 1 || w.nRows > 2 || w.nCols < 1 || w.nCols > 2)
        return "has a window of " + std::to_string(w.nRows) + " by " + std::to_string(w.nCols) +
               " panes";
    if (!(w.fRowShare > 0 && w.fRowShare < 1 && w.fColShare > 0 && w.fColShare < 1))
        return "has a window split outside it";
    w.panes.resize(static_cast<std::size_t>(w.nRows) * w.nCols);
    for (PaneView& p : w.panes) {
        p.nPlot = in.Get<std::int8_t>();
        p.fZoom = in.Get<float>();
        p.fAzimuth = in.Get<float>();
        p.fElevation = in.Get<float>();
        if (in.Failed())
            return "is too short for its panes";
        if (std::string reason = CheckPane(p); !reason.empty())
            return "has a pane where " + reason;
    }
    return std::string();
}

std::string ReadWindows(const std::vector<FileChunk>& chunks, std::vector<WindowView>& windows) {
    std::string_view contents;
    bool bFound = false;
    if (std::string reason =
            CChunkedFile::FindOne(chunks, kWindowsTag, "windows", false, contents, &bFound);
        !reason.empty() || !bFound)
        return reason;
    CByteReader in(contents);
    const auto n = in.Get<std::uint16_t>();
    if (in.Failed() || n > CViewValues::kMaxWindows)
        return "its windows chunk holds no count of at most " +
               std::to_string(CViewValues::kMaxWindows) + " windows";
    windows.resize(n);
    for (WindowView& w : windows)
        if (std::string reason = ReadWindow(in, w); !reason.empty())
            return "its windows chunk " + reason;
    if (in.Left() != 0)
        return "its windows chunk has bytes after its windows";
    return std::string();
}

std::string ReadGraphs(const std::vector<FileChunk>& chunks, std::vector<WindowView>& windows) {
    std::string_view contents;
    bool bFound = false;
    if (std::string reason =
            CChunkedFile::FindOne(chunks, kGraphsTag, "graphs", false, contents, &bFound);
        !reason.empty() || !bFound)
        return reason;
    std::size_t nPanes = 0;
    for (const WindowView& w : windows)
        nPanes += w.panes.size();
    if (contents.size() != nPanes)
        return "its graphs chunk holds " + std::to_string(contents.size()) + " panes for " +
               std::to_string(nPanes);
    std::size_t k = 0;
    for (WindowView& w : windows)
        for (PaneView& p : w.panes) {
            p.nGraphs = static_cast<std::uint8_t>(contents[k++]);
            if (p.nGraphs >> CViewValues::kGraphBits)
                return "its graphs chunk names a graph this program does not draw";
        }
    return std::string();
}

CViewValues ViewAt(std::string_view bytes) {
    CViewValues view;
    view.m_fZoom = FloatAt(bytes, 0);
    view.m_fAzimuth = FloatAt(bytes, 4);
    view.m_fElevation = FloatAt(bytes, 8);
    return view;
}

// A checked track block (count and arrays, as version 1 stores them) into the track.
bool LoadTrack(std::string_view block, CTrack& track) {
    std::FILE* fp = fmemopen(const_cast<char*>(block.data()), block.size(), "rb");
    if (!fp)
        return false;
    CArchive ar(fp, CArchive::load);
    const bool ok = track.Load(ar) != 0;
    std::fclose(fp);
    return ok;
}

// The track's count and arrays as CTrack::Save writes them, and the view values after them when
// given: version 1 whole, or the block version 2 keeps.
std::string DesignedBytes(const CTrack& track, const CViewValues* pView) {
    char* pBytes = nullptr;
    std::size_t nBytes = 0;
    std::FILE* fp = open_memstream(&pBytes, &nBytes);
    if (!fp)
        throw std::bad_alloc();
    CArchive ar(fp, CArchive::store);
    track.Save(ar);
    if (pView) {
        ar.Write(&pView->m_fZoom, sizeof pView->m_fZoom);
        ar.Write(&pView->m_fAzimuth, sizeof pView->m_fAzimuth);
        ar.Write(&pView->m_fElevation, sizeof pView->m_fElevation);
    }
    const bool stored = ar.Flush() != 0;
    std::fclose(fp);
    std::string bytes = stored ? std::string(pBytes, nBytes) : std::string();
    std::free(pBytes);
    if (!stored)
        throw std::bad_alloc();
    return bytes;
}

CFileResult ParseDesigned(const std::string& path, const std::string& bytes, CTrack& track,
                          CTrackRecord& record, CViewValues& view) {
    const long nSize = static_cast<long>(bytes.size());
    short n = 0;
    std::string reason =
        CheckSize(bytes, nSize, nSize > CDocumentFile::SizeFor(CTrack::kMaxPoints), n);
    CViewValues read;
    if (reason.empty()) {
        read = ViewAt(
            std::string_view(bytes).substr(CDocumentFile::SizeFor(n) - CDocumentFile::kViewBytes));
        reason = CheckTrackValues(bytes, n);
    }
    if (reason.empty())
        reason = CheckView(read);
    // Everything was checked before the track is touched, so a refusal changes nothing.
    if (reason.empty() && !LoadTrack(bytes, track))
        reason = "the track cannot be read";
    if (!reason.empty())
        return CFileResult::Failure(Fault::format, path, reason);
    view = read;
    record = RecordOfTrack(track, CDocumentFile::kDesignedFormat);
    track.IndexRecordInOrder();
    record.m_source.fileName = FileNameOf(path);
    return CFileResult();
}

std::string ReadView(const std::vector<FileChunk>& chunks, CViewValues& view) {
    std::string_view contents;
    if (std::string reason = CChunkedFile::FindOne(chunks, kViewTag, "view values", true, contents);
        !reason.empty())
        return reason;
    if (contents.size() != static_cast<std::size_t>(CDocumentFile::kViewBytes))
        return "its view values chunk has " + std::to_string(contents.size()) + " bytes, not " +
               std::to_string(CDocumentFile::kViewBytes);
    view = ViewAt(contents);
    return CheckView(view);
}

// The designed track's block, count and arrays as version 1 holds them, checked as version 1
// checks them.
std::string ReadTrackBlock(const std::vector<FileChunk>& chunks, std::string& block) {
    std::string_view contents;
    if (std::string reason = CChunkedFile::FindOne(chunks, kTrackTag, "track", true, contents);
        !reason.empty())
        return reason;
    CByteReader in(contents);
    const auto n = in.Get<short>();
    if (in.Failed())
        return "its track chunk is too short for a point count";
    if (std::string reason = CheckCount(n); !reason.empty())
        return reason;
    block.assign(contents.substr(0, CDocumentFile::kCountBytes));
    block.resize(static_cast<std::size_t>(CDocumentFile::SizeFor(n) - CDocumentFile::kViewBytes));
    if (std::string reason =
            CArrayCodec::Decode(in.GetBytes(in.Left()), block.data() + CDocumentFile::kCountBytes,
                                static_cast<std::size_t>(kTrackArrays * n), sizeof(float));
        !reason.empty())
        return "its track chunk " + reason;
    return CheckTrackValues(block, n);
}

// Which record point each track point is: the document's own list where it has a sound one (one
// index a point, ascending, within the record), else found by position.
void ReadRecordIndex(const std::vector<FileChunk>& chunks, CTrack& track,
                     const CTrackRecord& record) {
    const auto n = static_cast<std::size_t>(std::max<short>(track.m_nCount, 0));
    std::vector<std::uint32_t> index(n);
    std::string_view contents;
    bool bSound =
        CChunkedFile::FindOne(chunks, kRecordIndexTag, "record index", false, contents).empty() &&
        !contents.empty() &&
        CArrayCodec::Decode(contents, index.data(), n, sizeof(std::uint32_t)).empty();
    for (std::size_t k = 0; bSound && k < n; ++k)
        bSound = index[k] < record.Size() && (k == 0 || index[k] > index[k - 1]);
    if (!bSound) {
        IndexRecordByPosition(track, record);
        return;
    }
    std::copy(index.begin(), index.end(), track.m_nRecordIndex);
}

CFileResult ParseVersioned(const std::string& path, const std::string& bytes, CTrack& track,
                           CTrackRecord& record, CViewValues& view, int* pnVersion) {
    DocumentVersion version;
    std::vector<FileChunk> chunks;
    CViewValues readView;
    std::string block;
    CTrackRecord readRecord;
    std::string reason = CChunkedFile::Split(bytes, CDocumentFile::kNewestVersion, version, chunks);
    if (reason.empty())
        reason = ReadView(chunks, readView);
    if (reason.empty())
        reason = ReadWindows(chunks, readView.m_windows);
    if (reason.empty())
        reason = ReadGraphs(chunks, readView.m_windows);
    if (reason.empty())
        reason = ReadTrackBlock(chunks, block);
    if (reason.empty())
        reason = CRecordChunks::Read(chunks, readRecord);
    if (reason.empty() && !LoadTrack(block, track))
        reason = "the track cannot be read";
    if (!reason.empty())
        return CFileResult::Failure(Fault::format, path, reason);
    view = readView;
    record = std::move(readRecord);
    ReadRecordIndex(chunks, track, record);
    if (pnVersion)
        *pnVersion = version.major;
    return CFileResult();
}

std::string VersionedBytes(const CTrack& track, const CTrackRecord& record,
                           const CViewValues& view) {
    CChunkedFile file({static_cast<std::uint16_t>(CDocumentFile::kNewestVersion), 0});
    std::string contents;
    CByteWriter out(contents);
    out.Put(view.m_fZoom);
    out.Put(view.m_fAzimuth);
    out.Put(view.m_fElevation);
    file.Add(kViewTag, contents);
    AddWindows(view.m_windows, file);
    AddGraphs(view.m_windows, file);

    const std::string block = DesignedBytes(track, nullptr);
    contents.clear();
    out.PutBytes(std::string_view(block).substr(0, CDocumentFile::kCountBytes));
    CArrayCodec::Encode(contents, block.data() + CDocumentFile::kCountBytes,
                        static_cast<std::size_t>(kTrackArrays * track.m_nCount), sizeof(float));
    file.Add(kTrackTag, contents);

    CRecordChunks::Add(record, file);
    contents.clear();
    CArrayCodec::Encode(contents, track.m_nRecordIndex,
                        static_cast<std::size_t>(std::max<short>(track.m_nCount, 0)),
                        sizeof(std::uint32_t));
    file.Add(kRecordIndexTag, contents);
    return file.Finish();
}
} // namespace

bool CDocumentFile::IsDocumentPath(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".vrl";
}

CFileResult CDocumentFile::Read(const std::string& path, CTrack& track, CTrackRecord& record,
                                CViewValues& view, int* pnVersion) {
    try {
        return ReadFile(path, track, record, view, pnVersion);
    } catch (const std::bad_alloc&) {
        return CFileResult::Failure(Fault::memory, path, std::string());
    }
}

CFileResult CDocumentFile::Read(const std::string& path, CTrack& track, CViewValues& view) {
    CTrackRecord record;
    return Read(path, track, record, view);
}

CFileResult CDocumentFile::ReadFile(const std::string& path, CTrack& track, CTrackRecord& record,
                                    CViewValues& view, int* pnVersion) {
    CInputFile file;
    if (CFileResult r = file.Open(path); !r.Ok())
        return r;
    // One byte more than the largest version 1 document tells a file that is too long, without
    // reading all of a huge one; only a versioned document is read on from there.
    std::string bytes(static_cast<std::size_t>(SizeFor(CTrack::kMaxPoints)) + 1, '\0');
    errno = 0;
    std::size_t n = std::fread(bytes.data(), 1, bytes.size(), file.Stream());
    if (n == bytes.size() && CChunkedFile::IsVersioned(bytes)) {
        if (CFileResult r = file.CheckSize(kMaxBytes); !r.Ok())
            return r;
        bytes.resize(std::max(file.Size(), n) + 1);
        n += std::fread(bytes.data() + n, 1, bytes.size() - n, file.Stream());
    }
    if (std::ferror(file.Stream()))
        return CFileResult::SystemFailure(Fault::read, path, errno != 0 ? errno : EIO);
    bytes.resize(n);
    return Parse(path, bytes, track, record, view, pnVersion);
}

CFileResult CDocumentFile::Parse(const std::string& path, const std::string& bytes, CTrack& track,
                                 CTrackRecord& record, CViewValues& view, int* pnVersion) {
    if (CChunkedFile::IsVersioned(bytes))
        return ParseVersioned(path, bytes, track, record, view, pnVersion);
    CFileResult r = ParseDesigned(path, bytes, track, record, view);
    if (r.Ok() && pnVersion)
        *pnVersion = kDesignedVersion;
    return r;
}

CFileResult CDocumentFile::Parse(const std::string& path, const std::string& bytes, CTrack& track,
                                 CViewValues& view) {
    CTrackRecord record;
    return Parse(path, bytes, track, record, view);
}

std::string CDocumentFile::Bytes(const CTrack& track, const CTrackRecord& record,
                                 const CViewValues& view, int nVersion) {
    return nVersion == kDesignedVersion ? DesignedBytes(track, &view)
                                        : VersionedBytes(track, record, view);
}

CFileResult CDocumentFile::Write(const std::string& path, const CTrack& track,
                                 const CTrackRecord& record, const CViewValues& view,
                                 int nVersion) {
    if (nVersion != kDesignedVersion && nVersion != kNewestVersion)
        return CFileResult::Failure(Fault::write, path,
                                    "there is no document version " + std::to_string(nVersion) +
                                        "; versions 1 and 2 are written");
    if (nVersion != kDesignedVersion && record.Size() > CRecordChunks::kMaxPoints)
        return CFileResult::Failure(Fault::write, path,
                                    "its track has " + std::to_string(record.Size()) +
                                        " points, more than a document keeps (" +
                                        std::to_string(CRecordChunks::kMaxPoints) + ")");
    std::string bytes;
    try {
        bytes = Bytes(track, record, view, nVersion);
    } catch (const std::bad_alloc&) {
        return CFileResult::Failure(Fault::write, path, "out of memory");
    }
    return CAtomicFile::Replace(path, bytes);
}

CFileResult CDocumentFile::Write(const std::string& path, const CTrack& track,
                                 const CViewValues& view) {
    return Write(path, track, CTrackRecord(), view, kDesignedVersion);
}
