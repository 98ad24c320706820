// A small track record with something in every part of it: two named tracks, three segments,
// every point channel (with absent values among them), laps, device totals, waypoints and a
// source. The document tests store it and compare what comes back with it; the frozen document
// tests/data/document/channels-v2.vrl was written from it.
#pragma once

#include "CTrackRecord.h"

#include <cmath>

inline CTrackRecord KnownRecord() {
    const float no = RecordPoint::kAbsentSensor;
    struct Row {
        double lat, lon, ele;
        TimeMs time;
        float hr, cad, power, temp, speed;
    };
    const Row rows[] = {
        {47.4201234, -121.4460001, 660.4, 1625097600000, 121, 80, 190, 18.5f, 5.125f},
        {47.4202468, -121.4458765, 661.2, 1625097601000, 122, 81, 201, 18.5f, 5.25f},
        {47.4203702, -121.4457529, 662.0, 1625097602000, no, 82, 215, 18.0f, 5.5f},
        {47.4211111, -121.4444444, RecordPoint::kAbsent, 1625097700000, 130, no, 240, 17.5f, 6},
        {47.4212222, -121.4433333, 670.6, kNoTime, 131, 84, no, 17.5f, 6.25f},
        {-33.8567844, 151.2152967, 3.5, 1625184000500, 99, 0, 0, 21, no},
        {-33.8568844, 151.2153967, 3.75, 1625184001500, 100, 0, 0, 21, 1.5f},
        {-33.8569844, 179.9999999, -2.25, 1625184002500, 101, 60, 120, -1.5f, 1.75f},
    };
    CTrackRecord record;
    for (int k = 0; k < 8; ++k) {
        if (k == 0)
            record.BeginTrack("Morning loop");
        else if (k == 3)
            record.BeginSegment();
        else if (k == 5)
            record.BeginTrack("Way back");
        const Row& r = rows[k];
        RecordPoint p;
        p.lat = r.lat;
        p.lon = r.lon;
        p.ele = r.ele;
        p.time = r.time;
        const float sensors[] = {r.hr, r.cad, r.power, r.temp, r.speed};
        for (std::size_t s = 0; s < kSensorCount; ++s)
            p.sensors[s] = sensors[s];
        record.AddPoint(p);
    }
    record.m_laps = {{0, 4, 1625097600000, {}}, {5, 7, kNoTime, {}}};
    record.m_totals.distanceM = 1234.5;
    record.m_totals.elapsedS = 86402.5;
    record.m_totals.ascentM = 17;
    record.m_totals.calories = 321;
    record.m_waypoints = {{"Summit", 47.4203702, -121.4457529, 662.0, 1625097602000},
                          {"Ferry", -33.8568844, 151.2153967, RecordPoint::kAbsent, kNoTime}};
    record.m_source = {"ride.fit", "FIT", "Test logger 2"};
    return record;
}
