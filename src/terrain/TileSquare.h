// A one-degree square of the earth, named as elevation tiles are named: after its south-west
// corner ("N47E011" covers 47..48 N, 11..12 E). The terrain layer indexes its tiles by these
// and names the missing ones by them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct TileSquare {
    int nLat = 0; // south edge, -90..89
    int nLon = 0; // west edge, -180..179

    // The square a position lies in: the floor of both, the longitude taken into -180..180 first
    // and the north pole counted to the last row of squares (a NaN counts as 0).
    static TileSquare Of(double lat, double lon);
    // The square of a name that starts like "N47E011" or "s12w077" (any case); nullopt for any
    // other name.
    static std::optional<TileSquare> FromName(std::string_view name);
    // "N47E011", "S12W077".
    std::string Name() const;
    // A number per square, for indexing: 0..64799.
    int Key() const { return (nLat + 90) * 360 + (nLon + 180); }

    auto operator<=>(const TileSquare&) const = default;
};

// The name of the square a position lies in: TileName(47.3, 11.9) is "N47E011",
// TileName(-11.5, -76.2) is "S12W077".
std::string TileName(double lat, double lon);

// A longitude taken into -180 <= lon < 180.
double NormalLongitude(double lon);
