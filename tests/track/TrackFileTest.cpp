// The track's part of the document file: byte layout, round trip, and a count beyond the arrays.
#include "CArchive.h"
#include "CTrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const unsigned char kViewBytes[12] = {0x00, 0x00, 0x80, 0x3f, 0x00, 0x00,
                                      0xf0, 0x41, 0x00, 0x00, 0xa0, 0x41};

Bytes SaveBytes(const CTrack& track) {
    std::FILE* fp = std::tmpfile();
    CArchive ar(fp, CArchive::store);
    track.Save(ar);
    ar.Write(kViewBytes, sizeof kViewBytes);
    ar.Flush();
    Bytes bytes(static_cast<size_t>(std::ftell(fp)));
    std::rewind(fp);
    EXPECT_EQ(bytes.size(), std::fread(bytes.data(), 1, bytes.size(), fp));
    std::fclose(fp);
    return bytes;
}

short LoadBytes(CTrack& track, const Bytes& bytes) {
    std::FILE* fp = std::tmpfile();
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), fp);
    std::rewind(fp);
    CArchive ar(fp, CArchive::load);
    const short r = track.Load(ar);
    std::fclose(fp);
    return r;
}

std::unique_ptr<CTrack> ThreePoints() {
    auto t = std::make_unique<CTrack>();
    t->m_nCount = 3;
    const float lat[] = {47.5f, 47.51f, 47.52f}, lon[] = {-122.25f, -122.24f, -122.26f};
    const float elev[] = {100, 180, 150}, dist[] = {0.5f, 1.0f, 1.7f};
    for (int i = 0; i < 3; ++i) {
        t->m_fLat[i] = lat[i];
        t->m_fLon[i] = lon[i];
        t->m_fElev[i] = elev[i];
        t->m_fDist[i] = dist[i];
    }
    t->Smooth();
    t->ComputeGeometry();
    return t;
}

TEST(TrackFile, OnePointIsTheDocumented34Bytes) {
    auto t = std::make_unique<CTrack>();
    t->m_nCount = 1;
    t->m_fElev[0] = 100.0f;
    t->m_fDist[0] = 0.5f;
    t->m_fLeg[0] = 0.0f;
    t->m_fLat[0] = 47.5f;
    t->m_fLon[0] = -122.25f;
    const Bytes expected = {0x01, 0x00, 0x00, 0x00, 0xc8, 0x42, 0x00, 0x00, 0x00, 0x3f, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x3e, 0x42, 0x00, 0x80, 0xf4, 0xc2, 0x00, 0x00,
                            0x80, 0x3f, 0x00, 0x00, 0xf0, 0x41, 0x00, 0x00, 0xa0, 0x41};
    EXPECT_EQ(expected, SaveBytes(*t));
}

TEST(TrackFile, RoundTripRecomputesTheDerivedSeries) {
    auto saved = ThreePoints();
    const Bytes bytes = SaveBytes(*saved);
    ASSERT_EQ(74u, bytes.size());

    auto loaded = std::make_unique<CTrack>();
    ASSERT_EQ(1, LoadBytes(*loaded, bytes));
    ASSERT_EQ(3, loaded->m_nCount);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(saved->m_fElev[i], loaded->m_fElev[i]);
        EXPECT_EQ(saved->m_fDist[i], loaded->m_fDist[i]);
        EXPECT_EQ(saved->m_fLat[i], loaded->m_fLat[i]);
        EXPECT_EQ(saved->m_fLon[i], loaded->m_fLon[i]);
        EXPECT_EQ(saved->m_fLeg[i], loaded->m_fLeg[i]);
        EXPECT_EQ(saved->m_fSouth[i], loaded->m_fSouth[i]);
        EXPECT_EQ(saved->m_fEast[i], loaded->m_fEast[i]);
        EXPECT_EQ(saved->m_fSmooth[i], loaded->m_fSmooth[i]);
    }
    EXPECT_EQ(0, std::memcmp(saved->m_fRange, loaded->m_fRange, sizeof saved->m_fRange));
}

TEST(TrackFile, StoredLegsAreIgnored) {
    auto saved = ThreePoints();
    Bytes bytes = SaveBytes(*saved);
    const float junk = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < 3; ++i)
        std::memcpy(&bytes[2 + 8 * 3 + 4 * i], &junk, 4);
    auto loaded = std::make_unique<CTrack>();
    ASSERT_EQ(1, LoadBytes(*loaded, bytes));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(saved->m_fLeg[i], loaded->m_fLeg[i]);
}

TEST(TrackFile, EmptyTrackIsFourteenBytes) {
    auto t = std::make_unique<CTrack>();
    const Bytes bytes = SaveBytes(*t);
    EXPECT_EQ(14u, bytes.size());
    auto loaded = ThreePoints();
    EXPECT_EQ(1, LoadBytes(*loaded, bytes));
    EXPECT_EQ(0, loaded->m_nCount);
}

// The document's checks are CDocumentFile's (tests/document); Load only never fills the arrays
// beyond their end.
TEST(TrackFile, ACountTheArraysCannotHoldLeavesTheTrack) {
    for (const short n : {short{-1}, short{10001}}) {
        Bytes bytes(sizeof n);
        std::memcpy(bytes.data(), &n, sizeof n);
        auto t = ThreePoints();
        EXPECT_EQ(0, LoadBytes(*t, bytes)) << n;
        EXPECT_EQ(3, t->m_nCount) << n;
        EXPECT_EQ(100.0f, t->m_fElev[0]) << n;
    }
}

TEST(TrackFile, AcceptsTheLargestTrack) {
    auto t = std::make_unique<CTrack>();
    t->m_nCount = CTrack::kMaxPoints;
    for (int i = 0; i < CTrack::kMaxPoints; ++i) {
        t->m_fLat[i] = 10.0f + i * 1e-4f;
        t->m_fLon[i] = 20.0f;
        t->m_fElev[i] = static_cast<float>(i % 300);
        t->m_fDist[i] = i * 0.01f;
    }
    const Bytes bytes = SaveBytes(*t);
    ASSERT_EQ(14u + 20u * CTrack::kMaxPoints, bytes.size());
    auto loaded = std::make_unique<CTrack>();
    EXPECT_EQ(1, LoadBytes(*loaded, bytes));
    EXPECT_EQ(CTrack::kMaxPoints, loaded->m_nCount);
}

} // namespace
