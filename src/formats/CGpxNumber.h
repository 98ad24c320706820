// The numbers of a GPX file (positions and elevations) as the GPX reader takes them: a decimal
// or double with blanks around it, never infinite or NaN. Its own class so that the benchmarks
// can time it.
#pragma once

#include <string_view>

class CGpxNumber {
public:
    // An xsd:decimal or xsd:double as GPX writes them ("47.1234567", " +1e3 "); false for
    // anything else.
    static bool Parse(const char* psz, double& value);

    // A plain decimal of at most 15 digits ("-121.4459970"); false for anything else (an
    // exponent, more digits, "5." or ".5"), which Parse leaves to std::from_chars.
    static bool ParseShortDecimal(std::string_view s, double& value);
};
