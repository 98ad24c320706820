// The numbers of a GPX file (positions and elevations) as the GPX reader takes them: a decimal
// or double with blanks around it, never infinite or NaN. Its own class so that the benchmarks
// can time it.
#pragma once

#include <string_view>

class CGpxNumber {
public:
    // An xsd:decimal or xsd:double as GPX writes them ("47.1234567", " +1e3 "), read with
    // std::from_chars (the double nearest the text); false for anything else.
    static bool Parse(std::string_view s, double& value);
};
