// The FIT file of the FIT benchmarks: an activity as a bike computer writes it, a point a second
// with time, position, distance, altitude, speed, heart rate, cadence, power and temperature (30
// bytes a point), a lap every 1000 points and a session. FormatsBench times reading it;
// vorlan-bench-fit-file writes it for the whole-process comparison with gpsbabel.
#pragma once

#include "FitWriter.h"

#include <cmath>
#include <cstdint>
#include <string>

inline std::string BenchFitFile(std::uint32_t nPoints) {
    using F = FitWriter;
    constexpr std::uint32_t kStart = 1000000000;
    constexpr std::uint32_t kLapPoints = 1000;
    FitWriter w;
    w.Define(0, 0, {{0, 1, F::kEnum}, {1, 2, F::kUint16}, {2, 2, F::kUint16}});
    w.Data(0, {4, 1, 3121});
    w.Define(1, 20,
             {{253, 4, F::kUint32},
              {0, 4, F::kSint32},
              {1, 4, F::kSint32},
              {5, 4, F::kUint32},
              {78, 4, F::kUint32},
              {73, 4, F::kUint32},
              {3, 1, F::kUint8},
              {4, 1, F::kUint8},
              {7, 2, F::kUint16},
              {13, 1, F::kSint8}});
    w.Define(2, 19, {{253, 4, F::kUint32}, {2, 4, F::kUint32}, {7, 4, F::kUint32}});
    double lat = 46.5, lon = 8.0, heading = 0, distance = 0;
    for (std::uint32_t i = 0; i < nPoints; ++i) {
        heading += 0.05 * std::sin(i * 0.013);
        lat += 0.00004 * std::cos(heading);
        lon += 0.00006 * std::sin(heading);
        distance += 5.2;
        const double ele = 1500 + 300 * std::sin(i * 0.002);
        w.Data(1, {kStart + i, F::Semicircles(lat), F::Semicircles(lon),
                   static_cast<std::uint64_t>(distance * 100),
                   static_cast<std::uint64_t>((ele + 500) * 5), 5200 + i % 700, 120 + i % 50,
                   85 + i % 10, 180 + i % 90, static_cast<std::uint64_t>(20 - i % 7)});
        if ((i + 1) % kLapPoints == 0 || i + 1 == nPoints)
            w.Data(2,
                   {kStart + i, kStart + i / kLapPoints * kLapPoints, (i % kLapPoints + 1) * 1000});
    }
    w.Define(3, 18,
             {{253, 4, F::kUint32},
              {2, 4, F::kUint32},
              {7, 4, F::kUint32},
              {9, 4, F::kUint32},
              {22, 2, F::kUint16}});
    w.Data(3, {kStart + nPoints, kStart, nPoints * 1000ull,
               static_cast<std::uint64_t>(distance * 100), 1234});
    return w.File();
}
