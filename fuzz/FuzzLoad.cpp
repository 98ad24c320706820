// libFuzzer target: CDocumentFile::Parse, the document module's reading of a document of either
// version with all its checks, on arbitrary bytes, and on the same bytes with every checksum of a
// versioned document made right, so that the chunks' contents are reached past their checksums.
// A refused document must leave the track, record and view exactly as they were. An accepted one
// must give a sound track, and saved again in its version it must open to the same track, record
// and view; a version 1 document must save back to its own bytes, the stored legs excepted,
// which loading recomputes.
#include "CChunkedFile.h"
#include "CCrc32.h"
#include "CDocumentFile.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "FuzzCheck.h"
#include "RecordOfTrack.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct Contents {
    CTrack track; // 320 KB of arrays: these live in statics, never on the stack
    CTrackRecord record;
    CViewValues view;
};

template <typename F> void EachField(CTrack& a, const CTrack& b, F f) {
    f(&a.m_nCount, &b.m_nCount, sizeof a.m_nCount);
    f(a.m_fRange, b.m_fRange, sizeof a.m_fRange);
    f(a.m_fLat, b.m_fLat, sizeof a.m_fLat);
    f(a.m_fLon, b.m_fLon, sizeof a.m_fLon);
    f(a.m_fSouth, b.m_fSouth, sizeof a.m_fSouth);
    f(a.m_fEast, b.m_fEast, sizeof a.m_fEast);
    f(a.m_fElev, b.m_fElev, sizeof a.m_fElev);
    f(a.m_fDist, b.m_fDist, sizeof a.m_fDist);
    f(a.m_fLeg, b.m_fLeg, sizeof a.m_fLeg);
    f(a.m_fSmooth, b.m_fSmooth, sizeof a.m_fSmooth);
    f(a.m_szLine, b.m_szLine, sizeof a.m_szLine);
}

void CopyContents(Contents& to, const Contents& from) {
    EachField(to.track, from.track, [](void* a, const void* b, size_t n) { std::memcpy(a, b, n); });
    to.record = from.record;
    to.view = from.view;
}

bool SameContents(Contents& a, const Contents& b) {
    bool bSame = true;
    EachField(a.track, b.track, [&](const void* x, const void* y, size_t n) {
        bSame = bSame && std::memcmp(x, y, n) == 0;
    });
    return bSame && a.record == b.record && a.view.m_fZoom == b.view.m_fZoom &&
           a.view.m_fAzimuth == b.view.m_fAzimuth && a.view.m_fElevation == b.view.m_fElevation;
}

// What every input is read over: a short real track with its derived series and record, scratch
// text in the line buffer and a turned view.
const Contents& Before() {
    static Contents before;
    static bool bMade = false;
    if (!bMade) {
        const float lat[] = {47.42f, 47.421f, 47.4231f, 47.4229f};
        const float lon[] = {-121.446f, -121.4452f, -121.4448f, -121.4461f};
        const float elev[] = {2164, 2170, 2191, 2188};
        CTrack& track = before.track;
        track.m_nCount = 4;
        for (int i = 0; i < 4; ++i) {
            track.m_fLat[i] = lat[i];
            track.m_fLon[i] = lon[i];
            track.m_fElev[i] = elev[i];
            track.m_fDist[i] = 0.02f * static_cast<float>(i + 1);
        }
        track.Smooth();
        track.ComputeGeometry();
        std::strcpy(track.m_szLine, "Trackpoint\tN47 25.260 W121 26.766\r\n");
        before.record = RecordOfTrack(track, "before");
        before.view.m_fZoom = 2.0f;
        before.view.m_fAzimuth = 40.0f;
        before.view.m_fElevation = 10.0f;
        bMade = true;
    }
    return before;
}

void PutCrc(std::string& bytes, std::size_t nAt, std::uint32_t crc) {
    std::memcpy(&bytes[nAt], &crc, sizeof crc);
}

// The header's checksum and that of every whole chunk made right.
std::string Resealed(std::string bytes) {
    constexpr std::size_t kChecked = CChunkedFile::kHeaderBytes - sizeof(std::uint32_t);
    constexpr std::size_t kTagAndLength = CChunkedFile::kChunkHeaderBytes - sizeof(std::uint32_t);
    const std::string_view view(bytes);
    PutCrc(bytes, kChecked, CCrc32::Of(view.substr(0, kChecked)));
    std::size_t nAt = CChunkedFile::kHeaderBytes;
    while (bytes.size() - nAt >= CChunkedFile::kChunkHeaderBytes) {
        std::uint32_t nLength = 0;
        std::memcpy(&nLength, &bytes[nAt + CChunkedFile::kTagBytes], sizeof nLength);
        if (nLength > bytes.size() - nAt - CChunkedFile::kChunkHeaderBytes)
            break;
        const std::string_view contents =
            view.substr(nAt + CChunkedFile::kChunkHeaderBytes, nLength);
        PutCrc(bytes, nAt + kTagAndLength,
               CCrc32::Of(contents, CCrc32::Of(view.substr(nAt, kTagAndLength))));
        nAt += CChunkedFile::kChunkHeaderBytes + nLength;
    }
    return bytes;
}

void Check(const std::string& bytes) {
    static Contents read, again;
    CopyContents(read, Before());
    int nVersion = 0;
    const CFileResult r =
        CDocumentFile::Parse("fuzz.vrl", bytes, read.track, read.record, read.view, &nVersion);
    if (!r.Ok()) {
        FuzzCheck(r.GetFault() == CFileResult::Fault::format && !r.GetReason().empty(),
                  "a refusal is a format fault with a reason");
        FuzzCheck(SameContents(read, Before()), "a refused document changes nothing");
        return;
    }
    CheckTrackIsSound(read.track);
    FuzzCheck(nVersion == 1 || nVersion == 2, "version 1 or 2");

    const std::string saved = CDocumentFile::Bytes(read.track, read.record, read.view, nVersion);
    CopyContents(again, Before());
    FuzzCheck(CDocumentFile::Parse("fuzz.vrl", saved, again.track, again.record, again.view).Ok(),
              "a saved document opens");
    FuzzCheck(SameContents(again, read), "a saved document opens to what was saved");
    if (nVersion == 1) {
        const size_t n4 = 4 * static_cast<size_t>(read.track.m_nCount);
        FuzzCheck(saved.size() == bytes.size(), "version 1 saved size");
        FuzzCheck(std::memcmp(saved.data(), bytes.data(), 2 + 2 * n4) == 0,
                  "count, elevation, distance");
        FuzzCheck(std::memcmp(saved.data() + 2 + 3 * n4, bytes.data() + 2 + 3 * n4, 2 * n4 + 12) ==
                      0,
                  "coordinates and view");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    if (CChunkedFile::IsVersioned(bytes) && bytes.size() >= CChunkedFile::kHeaderBytes)
        Check(Resealed(bytes));
    return 0;
}
