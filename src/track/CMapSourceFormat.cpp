#include "CMapSourceFormat.h"

#include <cstring>

// The first N/S letter is usually the 'n' of the keyword itself, and a tab after the keyword is
// not counted, so "Trackpoint\tN47 38.938 W122 20.887" counts 2: degrees and minutes.
void CMapSourceFormat::Detect(const char* pszLine) {
    const char* p = std::strpbrk(pszLine, "NSns");
    if (!p)
        return;
    int nBlanks = 0;
    for (; *p != '\0' && !std::strchr("EWew", *p); ++p)
        if (*p == ' ')
            ++nBlanks;
    if (nBlanks >= kDegrees && nBlanks <= kSeconds)
        m_nFormat = nBlanks;
}
