// Cross-check of the MapSource reader against an independent writer of the format: gpsbabel
// turns the GPX track in tests/data/track into MapSource text in every coordinate grid, both unit
// systems and several clock styles, and the reader must give back the GPX positions and
// elevations. Skipped when gpsbabel is not installed.
#include "CMapSourceFormat.h"
#include "CTrack.h"
#include "ScratchDir.h"
#include "TrackImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct GpxPoint {
    double lat, lon, ele; // degrees, metres
    int track;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<GpxPoint> ReadGpx(const std::string& text) {
    std::vector<GpxPoint> points;
    const std::regex trkpt(R"re(<trkpt lat="([-0-9.]+)" lon="([-0-9.]+)"><ele>([-0-9.]+)</ele>)re");
    int track = -1;
    size_t nextTrack = text.find("<trk>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), trkpt);
         it != std::sregex_iterator(); ++it) {
        while (nextTrack != std::string::npos && nextTrack < static_cast<size_t>(it->position())) {
            ++track;
            nextTrack = text.find("<trk>", nextTrack + 1);
        }
        points.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), track});
    }
    return points;
}

double LegMiles(const GpxPoint& a, const GpxPoint& b) {
    const double k = std::numbers::pi / 180, r = 6371.0088 / 1.609344;
    const double dlat = (b.lat - a.lat) * k, dlon = (b.lon - a.lon) * k;
    const double h = std::pow(std::sin(dlat / 2), 2) +
                     std::cos(a.lat * k) * std::cos(b.lat * k) * std::pow(std::sin(dlon / 2), 2);
    return 2 * r * std::asin(std::sqrt(h));
}

bool HaveGpsbabel() {
    return std::system("command -v gpsbabel >/dev/null 2>&1") == 0;
}

struct Clock {
    const char* options; // gpsbabel's date and time options, empty for a GPX without times
    const char* what;
};

class GpsbabelCrossCheck : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveGpsbabel())
            GTEST_SKIP() << "gpsbabel is not installed";
        const std::string text = ReadText(std::string(VORLAN_TEST_DATA) + "/track/crosscheck.gpx");
        m_points = ReadGpx(text);
        ASSERT_GT(m_points.size(), 100u);
        std::ofstream(m_gpx, std::ios::binary) << text;
        std::ofstream(m_gpxUntimed, std::ios::binary)
            << std::regex_replace(text, std::regex("<time>[^<]*</time>"), "");
    }
    // Converts the GPX track with gpsbabel and reads the result in a fresh run.
    std::unique_ptr<CTrack> Convert(const std::string& grid, char dist, const Clock& clock) {
        const bool timed = clock.options[0] != '\0';
        std::string options =
            "garmin_txt,dist=" + std::string(1, dist) + ",grid=" + grid + ",prec=5";
        if (timed)
            options += std::string(",") + clock.options;
        const std::string cmd = "gpsbabel -t -i gpx -f '" + (timed ? m_gpx : m_gpxUntimed) +
                                "' -o '" + options + "' -F '" + m_out + "'";
        EXPECT_EQ(0, std::system(cmd.c_str())) << cmd;
        m_format = CMapSourceFormat();
        auto track = std::make_unique<CTrack>();
        EXPECT_TRUE(ImportTrackFile(m_out, *track, m_format).Ok());
        return track;
    }

    ScratchDir m_scratch;
    std::vector<GpxPoint> m_points;
    std::string m_gpx = m_scratch.File("track.gpx");
    std::string m_gpxUntimed = m_scratch.File("untimed.gpx");
    CMapSourceFormat m_format;
    std::string m_out = m_scratch.File("track.txt");
};

TEST_F(GpsbabelCrossCheck, ReaderGivesBackTheGpxTrack) {
    const struct {
        const char* grid;
        int format;
    } grids[] = {{"ddd", 1}, {"dmm", 2}, {"dms", 3}};
    // Lower-case "am"/"pm" after a blank-padded hour and a trailing blank, upper-case "AM"/"PM",
    // a 24-hour clock with a dotted date.
    const Clock clocks[] = {{"date=mm/dd/yyyy,time=h:mm:ss xx", "12-hour am/pm"},
                            {"date=mm/dd/yyyy,time=hh:mm:ss XX", "12-hour AM/PM"},
                            {"date=dd.mm.yyyy,time=HH:mm:ss", "24-hour"}};
    for (const auto& g : grids)
        for (char dist : {'s', 'm'})
            for (const Clock& clock : clocks) {
                SCOPED_TRACE(std::string(g.grid) + " dist=" + dist + " " + clock.what);
                const auto t = Convert(g.grid, dist, clock);
                // The first Trackpoint line only sets the format.
                ASSERT_EQ(static_cast<int>(m_points.size()) - 1, t->m_nCount);
                EXPECT_EQ(g.format, m_format.Get());
                // Whole feet, or whole metres converted to feet.
                const double elevTolerance = dist == 's' ? 0.5 + 1e-3 : 0.5 * 3.2808399 + 1e-3;
                double miles = 0;
                for (int i = 0; i < t->m_nCount; ++i) {
                    const GpxPoint& p = m_points[i + 1];
                    ASSERT_NEAR(p.lat, t->m_fLat[i], 1e-5) << i;
                    ASSERT_NEAR(p.lon, t->m_fLon[i], 1.5e-5) << i;
                    ASSERT_NEAR(p.ele * 3.2808399, t->m_fElev[i], elevTolerance) << i;
                    // The first point of the second track has no leg fields: its leg is 0.
                    if (p.track == m_points[i].track)
                        miles += LegMiles(m_points[i], p);
                    else
                        EXPECT_EQ(t->m_fDist[i], t->m_fDist[i - 1]) << i;
                }
                EXPECT_NEAR(miles, t->m_fDist[t->m_nCount - 1], 0.01 * miles);
            }
}

// Without times gpsbabel still writes a leg time of "0:00:00", whose ':' once made the words of
// the line read as dated: the altitude was taken for the time and the leg length for the
// elevation. Its Header line names a Temperature column, so the line is read by the columns'
// names, and the elevations and distances come through.
TEST_F(GpsbabelCrossCheck, UntimedExportIsReadByTheColumnsNames) {
    for (char dist : {'s', 'm'}) {
        SCOPED_TRACE(std::string("dist=") + dist);
        const auto t = Convert("dmm", dist, Clock{"", "untimed"});
        ASSERT_EQ(static_cast<int>(m_points.size()) - 1, t->m_nCount);
        const double elevTolerance = dist == 's' ? 0.5 + 1e-3 : 0.5 * 3.2808399 + 1e-3;
        double miles = 0;
        for (int i = 0; i < t->m_nCount; ++i) {
            const GpxPoint& p = m_points[i + 1];
            ASSERT_NEAR(p.lat, t->m_fLat[i], 1e-5) << i;
            ASSERT_NEAR(p.lon, t->m_fLon[i], 1.5e-5) << i;
            ASSERT_NEAR(p.ele * 3.2808399, t->m_fElev[i], elevTolerance) << i;
            if (p.track == m_points[i].track)
                miles += LegMiles(m_points[i], p);
        }
        EXPECT_NEAR(miles, t->m_fDist[t->m_nCount - 1], 0.01 * miles);
    }
}

} // namespace
