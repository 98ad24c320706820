// Writes the seed corpus of the FIT reader's fuzz target, fuzz/seeds/fit/: small activities with
// every base type, both byte orders, developer fields, compressed timestamps, a timer pause,
// laps, sessions and a multisport file.
//   fuzz_seed_fit OUTDIR
#include "FitWriter.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using F = FitWriter;
constexpr std::uint32_t kT0 = 1000000029;
constexpr std::uint16_t kFileId = 0, kSession = 18, kLap = 19, kRecord = 20, kEvent = 21;

void Span(FitWriter& w, std::uint8_t nLocal, std::uint16_t nGlobal, std::uint32_t start,
          std::uint32_t end, bool bBigEndian) {
    w.Define(nLocal, nGlobal,
             {{253, 4, F::kUint32},
              {2, 4, F::kUint32},
              {7, 4, F::kUint32},
              {8, 4, F::kUint32},
              {9, 4, F::kUint32},
              {11, 2, F::kUint16},
              {22, 2, F::kUint16},
              {23, 2, F::kUint16}},
             bBigEndian);
    w.Data(nLocal, {end, start, (end - start) * 1000, (end - start) * 900, 12345, 15, 80, 2});
}

// Points with every channel, a pause, compressed timestamps and developer fields.
std::string Activity(bool bBigEndian) {
    FitWriter w;
    w.Define(0, kFileId, {{0, 1, F::kEnum}, {1, 2, F::kUint16}, {2, 2, F::kUint16}});
    w.Data(0, {4, 294, 7}); // manufacturer 294, product 7
    w.Define(3, kEvent, {{253, 4, F::kUint32}, {0, 1, F::kEnum}, {1, 1, F::kEnum}});
    w.Data(3, {kT0, 0, 0});
    w.Define(1, kRecord,
             {{253, 4, F::kUint32},
              {0, 4, F::kSint32},
              {1, 4, F::kSint32},
              {2, 2, F::kUint16},
              {3, 1, F::kUint8},
              {4, 1, F::kUint8},
              {6, 2, F::kUint16},
              {7, 2, F::kUint16},
              {13, 1, F::kSint8},
              {78, 4, F::kUint32},
              {73, 4, F::kUint32}},
             bBigEndian, {2, 1});
    for (std::uint32_t i = 0; i < 4; ++i)
        w.Data(1, {kT0 + i, F::Semicircles(47.25 + i * 1e-4), F::Semicircles(-121.5), 2600 + i,
                   120 + i, 80, 2500, 200, static_cast<std::uint64_t>(-5),
                   i == 2 ? 0xFFFFFFFF : 3000 + i, 3250});
    w.Data(3, {kT0 + 4, 0, 4});
    w.Data(3, {kT0 + 6, 0, 0});
    w.Define(2, kRecord, {{0, 4, F::kSint32}, {1, 4, F::kSint32}, {3, 1, F::kUint8}}, !bBigEndian);
    for (std::uint32_t i = 6; i < 40; i += 3)
        w.Compressed(2, kT0 + i, {F::Semicircles(47.26), F::Semicircles(-121.5 + i * 1e-4), 130});
    Span(w, 4, kLap, kT0, kT0 + 20, bBigEndian);
    Span(w, 4, kLap, kT0 + 20, kT0 + 39, bBigEndian);
    Span(w, 5, kSession, kT0, kT0 + 39, !bBigEndian);
    return w.File();
}

// A record of every other base type: what the reader must decode or pass over.
std::string EveryBaseType() {
    FitWriter w;
    w.Use12ByteHeader();
    w.Define(7, kRecord,
             {{253, 4, F::kUint32z},
              {0, 8, F::kSint64},
              {1, 4, F::kFloat32},
              {2, 8, F::kUint64},
              {3, 2, F::kUint16z},
              {4, 1, F::kUint8z},
              {6, 8, F::kFloat64},
              {7, 8, F::kUint64z},
              {13, 2, F::kSint16},
              {40, 6, F::kString},
              {41, 3, F::kByte},
              {42, 3, F::kUint16}});
    for (std::uint64_t i = 0; i < 3; ++i)
        w.Data(7, {kT0 + i, F::Semicircles(10.5), 0x42F00000, 3000, 150, 90, 0x4004000000000000,
                   250, static_cast<std::uint64_t>(-7), 0x6869, 0xFFFFFF, 0});
    return w.File();
}

// A run and a ride.
std::string Multisport() {
    FitWriter w;
    w.Define(1, kRecord, {{253, 4, F::kUint32}, {0, 4, F::kSint32}, {1, 4, F::kSint32}});
    for (const std::uint32_t t : {kT0, kT0 + 1, kT0 + 2, kT0 + 10, kT0 + 11})
        w.Data(1, {t, F::Semicircles(-33.86 + t * 1e-9), F::Semicircles(151.2)});
    Span(w, 4, kSession, kT0, kT0 + 2, false);
    Span(w, 4, kSession, kT0 + 10, kT0 + 11, false);
    return w.File();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::pair<const char*, std::string> seeds[] = {
        {"activity-little.fit", Activity(false)},
        {"activity-big.fit", Activity(true)},
        {"base-types.fit", EveryBaseType()},
        {"multisport.fit", Multisport()},
    };
    for (const auto& [name, bytes] : seeds)
        if (!(std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary) << bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", argv[1], name);
            return 1;
        }
    return 0;
}
