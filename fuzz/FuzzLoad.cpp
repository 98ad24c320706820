// libFuzzer target: CTrack::Load on arbitrary document bytes. A rejected file must leave the
// track exactly as it was; an accepted one must give finite values and save back to the same
// bytes (the stored legs excepted, which loading recomputes).
#include "CArchive.h"
#include "CTrack.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The track that every input is loaded over: a short real track with its derived series, and
// scratch text in the line buffer.
const CTrack& Before() {
    static CTrack track;
    static bool bMade = false;
    if (!bMade) {
        const float lat[] = {47.42f, 47.421f, 47.4231f, 47.4229f};
        const float lon[] = {-121.446f, -121.4452f, -121.4448f, -121.4461f};
        const float elev[] = {2164, 2170, 2191, 2188};
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
        bMade = true;
    }
    return track;
}

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

void CopyTrack(CTrack& to, const CTrack& from) {
    EachField(to, from, [](void* a, const void* b, size_t n) { std::memcpy(a, b, n); });
}

bool SameTrack(CTrack& a, const CTrack& b) {
    bool bSame = true;
    EachField(a, b, [&](const void* x, const void* y, size_t n) {
        bSame = bSame && std::memcmp(x, y, n) == 0;
    });
    return bSame;
}

// What Save writes of the track, plus the 12 view bytes of the input, which Load leaves alone.
std::vector<uint8_t> Saved(const CTrack& track, const uint8_t* view) {
    char* pBuf = nullptr;
    size_t nLen = 0;
    std::FILE* fp = open_memstream(&pBuf, &nLen);
    FuzzCheck(fp != nullptr, "open_memstream");
    CArchive ar(fp, CArchive::store);
    track.Save(ar);
    ar.Write(view, 12);
    FuzzCheck(ar.Flush() != 0, "save into memory");
    std::fclose(fp);
    std::vector<uint8_t> bytes(pBuf, pBuf + nLen);
    std::free(pBuf);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTrack track; // 320 KB of arrays: never on the stack
    CopyTrack(track, Before());

    // fmemopen wants at least one byte; an empty document is read from /dev/null.
    std::FILE* fp =
        size > 0 ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::fopen("/dev/null", "rb");
    FuzzCheck(fp != nullptr, "open the input");
    CArchive ar(fp, CArchive::load);
    const short nResult = track.Load(ar);
    std::fclose(fp);

    if (nResult == 0) {
        FuzzCheck(SameTrack(track, Before()), "a rejected file changes nothing");
        return 0;
    }
    FuzzCheck(nResult == 1, "result 0 or 1");
    CheckTrackIsSound(track);
    FuzzCheck(size == 14 + 20 * static_cast<size_t>(track.m_nCount), "size 14 + 20n");

    // Count, elevation, distance, coordinates and view bytes come back as they were read.
    const std::vector<uint8_t> saved = Saved(track, data + size - 12);
    FuzzCheck(saved.size() == size, "saved size");
    const size_t n4 = 4 * static_cast<size_t>(track.m_nCount);
    FuzzCheck(std::memcmp(saved.data(), data, 2 + 2 * n4) == 0, "count, elevation, distance");
    FuzzCheck(std::memcmp(saved.data() + 2 + 3 * n4, data + 2 + 3 * n4, 2 * n4 + 12) == 0,
              "coordinates and view");
    return 0;
}
