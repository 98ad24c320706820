// The ISO 8601 times of the XML formats: the forms writers use, read to the millisecond, and the
// texts that are no time.
#include "CIsoTime.h"

#include <gtest/gtest.h>

namespace {

TEST(IsoTime, ReadsTheFormsWritersUseAndRefusesTheRest) {
    constexpr TimeMs kT = 1'063'526'292'000; // 2003-09-14T07:58:12Z
    const struct {
        const char* text;
        bool bOk;
        TimeMs time;
    } cases[] = {
        {"2003-09-14T07:58:12Z", true, kT},
        {" \n2003-09-14t07:58:12z\t", true, kT},
        {"2003-09-14T07:58:12", true, kT},
        {"2003-09-14T07:58:12.5Z", true, kT + 500},
        {"2003-09-14T07:58:12.0004999Z", true, kT},
        {"2003-09-14T07:58:12.9995Z", true, kT + 1000},
        {"2003-09-14T09:58:12+02:00", true, kT},
        {"2003-09-14T02:28:12-0530", true, kT},
        {"2003-09-14T08:58:12+01", true, kT},
        {"2003-09-14T23:59:60Z", true, kT + 57'708'000},
        {"1969-12-31T23:59:59.999Z", true, -1},
        {"2024-02-29T00:00:00Z", true, 1'709'164'800'000},
        {"2023-02-29T00:00:00Z", false, 0},
        {"2003-09-14", false, 0},
        {"2003-09-14T07:58Z", false, 0},
        {"2003-09-14T24:00:00Z", false, 0},
        {"2003-13-14T07:58:12Z", false, 0},
        {"2003-09-14T07:58:12.Z", false, 0},
        {"2003-09-14T07:58:12Z junk", false, 0},
        {"2003-09-14T07:58:12+2:00", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        TimeMs time = 0;
        EXPECT_EQ(c.bOk, CIsoTime::Parse(c.text, time)) << c.text;
        if (c.bOk) {
            EXPECT_EQ(c.time, time) << c.text;
        }
    }
}

} // namespace
