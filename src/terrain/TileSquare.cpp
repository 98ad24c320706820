#include "TileSquare.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace {
// Reads nDigits decimal digits at text[at]; -1 when they are not all digits.
int Digits(std::string_view text, std::size_t at, std::size_t nDigits) {
    int n = 0;
    for (std::size_t i = at; i < at + nDigits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return -1;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

// The floor of v within lo..hi, clamped before it becomes an int; 0 for NaN.
int FloorWithin(double v, int lo, int hi) {
    return std::isnan(v) ? 0 : static_cast<int>(std::clamp(std::floor(v), 1.0 * lo, 1.0 * hi));
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
} // namespace

double NormalLongitude(double lon) {
    if (lon >= -180.0 && lon < 180.0)
        return lon;
    const double wrapped = std::fmod(lon + 180.0, 360.0);
    return (wrapped < 0 ? wrapped + 360.0 : wrapped) - 180.0;
}

TileSquare TileSquare::Of(double lat, double lon) {
    return {FloorWithin(lat, -90, 89), FloorWithin(NormalLongitude(lon), -180, 179)};
}

std::optional<TileSquare> TileSquare::FromName(std::string_view name) {
    if (name.size() < 7)
        return std::nullopt;
    const char ns = Upper(name[0]);
    const char ew = Upper(name[3]);
    const int nLat = Digits(name, 1, 2);
    const int nLon = Digits(name, 4, 3);
    if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W') || nLat < 0 || nLon < 0)
        return std::nullopt;
    const TileSquare square{ns == 'N' ? nLat : -nLat, ew == 'E' ? nLon : -nLon};
    if (square.nLat < -90 || square.nLat > 89 || square.nLon < -180 || square.nLon > 179)
        return std::nullopt;
    return square;
}

std::string TileSquare::Name() const {
    char text[32];
    std::snprintf(text, sizeof text, "%c%02d%c%03d", nLat < 0 ? 'S' : 'N', std::abs(nLat),
                  nLon < 0 ? 'W' : 'E', std::abs(nLon));
    return text;
}

std::string TileName(double lat, double lon) {
    return TileSquare::Of(lat, lon).Name();
}
