// The checks of a version 1 document: each refused file with the exact reason the user is told,
// and a refused file leaves the track and view as they were.
#include "CDocumentFile.h"
#include "CTrack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace {

std::string OnePoint(float fZoom, float fAzimuth, float fElevation, float fLat = 47.5f,
                     float fLeg = 0.0f) {
    std::string bytes("\x01\x00", 2);
    for (float v : {100.0f, 0.5f, fLeg, fLat, -122.25f, fZoom, fAzimuth, fElevation})
        bytes.append(reinterpret_cast<const char*>(&v), 4);
    return bytes;
}

// A point's value at offset 2 + 4 section of a one-point document, replaced.
std::string WithValue(std::size_t nSection, float value) {
    std::string bytes = OnePoint(1, 30, 20);
    std::memcpy(&bytes[2 + 4 * nSection], &value, 4);
    return bytes;
}

TEST(DocumentFile, RefusalsSayWhatIsWrong) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::string tooMany(CDocumentFile::SizeFor(10001), '\0');
    const short n = 10001;
    std::memcpy(tooMany.data(), &n, 2);
    const struct {
        std::string bytes, reason;
    } cases[] = {
        {std::string(), "it has 0 bytes, too few for a point count"},
        {std::string(1, '\x01'), "it has 1 bytes, too few for a point count"},
        {OnePoint(1, 30, 20).substr(0, 33), "it has 33 bytes, but a document of 1 point has 34"},
        {OnePoint(1, 30, 20) + '\0', "it has 35 bytes, but a document of 1 point has 34"},
        {tooMany, "the point count 10001 is above 10000"},
        {std::string("\xff\xff", 2) + std::string(12, '\0'), "the point count -1 is below 0"},
        {OnePoint(1, 30, 20, nan), "the latitude of point 1 is not a finite number"},
        {WithValue(0, inf), "the elevation of point 1 is not a finite number"},
        {WithValue(1, -inf), "the distance of point 1 is not a finite number"},
        {WithValue(4, nan), "the longitude of point 1 is not a finite number"},
        // Below what Zoom Out reaches (1.01 / 2), down to a page of 0 x 0 pixels.
        {OnePoint(0.5f, 30, 20), "the zoom factor 0.5 is not at least 0.505 and at most 16"},
        {OnePoint(1e-30f, 30, 20), "the zoom factor 1e-30 is not at least 0.505 and at most 16"},
        {OnePoint(16.5f, 30, 20), "the zoom factor 16.5 is not at least 0.505 and at most 16"},
        {OnePoint(nan, 30, 20), "the zoom factor is not a finite number"},
        {OnePoint(1, nan, 20), "the azimuth is not a finite number"},
        {OnePoint(1, 30, nan), "the elevation angle is not a finite number"},
    };
    auto track = std::make_unique<CTrack>();
    CViewValues view;
    ASSERT_TRUE(CDocumentFile::Parse("good.vrl", OnePoint(2, 30, 20), *track, view).Ok());
    for (const auto& c : cases) {
        const CFileResult r = CDocumentFile::Parse("bad.vrl", c.bytes, *track, view);
        EXPECT_EQ(CFileResult::Fault::format, r.GetFault());
        EXPECT_EQ(c.reason, r.GetReason());
        EXPECT_EQ(1, track->m_nCount);
        EXPECT_EQ(100.0f, track->m_fElev[0]);
        EXPECT_EQ(2.0f, view.m_fZoom);
    }
    EXPECT_EQ("Unexpected file format. The zoom factor 1e-30 is not at least 0.505 and at most 16.",
              CDocumentFile::Parse("bad.vrl", cases[11].bytes, *track, view).Sentence());
}

// The legs are recomputed on loading, so the file's leg section is never checked.
TEST(DocumentFile, AcceptsAnyLegAndTheZoomsTheCommandsReach) {
    auto track = std::make_unique<CTrack>();
    CViewValues view;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(
        CDocumentFile::Parse("a.vrl", OnePoint(16, 400, -400, 47.5f, nan), *track, view).Ok());
    EXPECT_EQ(1, track->m_nCount);
    EXPECT_EQ(0.0f, track->m_fLeg[0]);
    EXPECT_EQ(16.0f, view.m_fZoom);
    EXPECT_EQ(400.0f, view.m_fAzimuth);
    ASSERT_TRUE(CDocumentFile::Parse("a.vrl", OnePoint(0.505f, 30, 20), *track, view).Ok());
    EXPECT_EQ(0.505f, view.m_fZoom);
}

} // namespace
