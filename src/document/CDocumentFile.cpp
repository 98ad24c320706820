#include "CDocumentFile.h"

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CInputFile.h"
#include "CTrack.h"

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

// The stored sections in file order; the legs are recomputed on loading, so whatever that
// section holds is never looked at.
constexpr const char* kSectionNames[] = {"elevation", "distance", nullptr, "latitude", "longitude"};

float FloatAt(const std::string& bytes, long offset) {
    float f = 0;
    std::memcpy(&f, bytes.data() + offset, sizeof f);
    return f;
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// The count and the length: "the point count 12000 is above 10000", "it has 33 bytes, but a
// document of 1 point has 34".
std::string CheckSize(const std::string& bytes, long nSize, bool bCapped, short& n) {
    if (nSize < CDocumentFile::kCountBytes)
        return "it has " + std::to_string(nSize) + " bytes, too few for a point count";
    std::memcpy(&n, bytes.data(), sizeof n);
    if (n < 0)
        return "the point count " + std::to_string(n) + " is below 0";
    if (n > CTrack::kMaxPoints)
        return "the point count " + std::to_string(n) + " is above " +
               std::to_string(CTrack::kMaxPoints);
    const long nExpected = CDocumentFile::SizeFor(n);
    if (nSize != nExpected || bCapped)
        return "it has " + std::string(bCapped ? "more than " : "") + std::to_string(nSize) +
               " bytes, but a document of " + std::to_string(n) +
               (n == 1 ? " point has " : " points has ") + std::to_string(nExpected);
    return std::string();
}

std::string CheckTrackValues(const std::string& bytes, short n) {
    for (long section = 0; section < 5; ++section) {
        if (!kSectionNames[section])
            continue;
        for (long i = 0; i < n; ++i)
            if (!std::isfinite(FloatAt(bytes, CDocumentFile::kCountBytes + 4 * (section * n + i))))
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

bool LoadTrack(const std::string& bytes, CTrack& track) {
    std::FILE* fp = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!fp)
        return false;
    CArchive ar(fp, CArchive::load);
    const bool ok = track.Load(ar) != 0;
    std::fclose(fp);
    return ok;
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

CFileResult CDocumentFile::Read(const std::string& path, CTrack& track, CViewValues& view) {
    try {
        return ReadFile(path, track, view);
    } catch (const std::bad_alloc&) {
        return CFileResult::Failure(Fault::memory, path, std::string());
    }
}

CFileResult CDocumentFile::ReadFile(const std::string& path, CTrack& track, CViewValues& view) {
    CInputFile file;
    if (CFileResult r = file.Open(path); !r.Ok())
        return r;
    // One byte more than the largest document tells a file that is too long, without reading
    // all of a huge one.
    std::string bytes(static_cast<std::size_t>(SizeFor(CTrack::kMaxPoints)) + 1, '\0');
    errno = 0;
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), file.Stream());
    if (std::ferror(file.Stream()))
        return CFileResult::SystemFailure(Fault::read, path, errno != 0 ? errno : EIO);
    bytes.resize(n);
    return Parse(path, bytes, track, view);
}

CFileResult CDocumentFile::Parse(const std::string& path, const std::string& bytes, CTrack& track,
                                 CViewValues& view) {
    const long nSize = static_cast<long>(bytes.size());
    short n = 0;
    std::string reason = CheckSize(bytes, nSize, nSize > SizeFor(CTrack::kMaxPoints), n);
    CViewValues read;
    if (reason.empty()) {
        const long at = SizeFor(n) - kViewBytes;
        read.m_fZoom = FloatAt(bytes, at);
        read.m_fAzimuth = FloatAt(bytes, at + 4);
        read.m_fElevation = FloatAt(bytes, at + 8);
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
    return CFileResult();
}

std::string CDocumentFile::Bytes(const CTrack& track, const CViewValues& view) {
    char* pBytes = nullptr;
    std::size_t nBytes = 0;
    std::FILE* fp = open_memstream(&pBytes, &nBytes);
    if (!fp)
        return std::string();
    CArchive ar(fp, CArchive::store);
    track.Save(ar);
    ar.Write(&view.m_fZoom, sizeof view.m_fZoom);
    ar.Write(&view.m_fAzimuth, sizeof view.m_fAzimuth);
    ar.Write(&view.m_fElevation, sizeof view.m_fElevation);
    const bool stored = ar.Flush() != 0;
    std::fclose(fp);
    std::string bytes = stored ? std::string(pBytes, nBytes) : std::string();
    std::free(pBytes);
    return bytes;
}

CFileResult CDocumentFile::Write(const std::string& path, const CTrack& track,
                                 const CViewValues& view) {
    const std::string bytes = Bytes(track, view);
    if (bytes.empty())
        return CFileResult::Failure(Fault::write, path, "out of memory");
    return CAtomicFile::Replace(path, bytes);
}
