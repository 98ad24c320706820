// The coordinate format of MapSource text exports as the last import found it; it carries over
// to the next import, which reads its points with it until its own first line says otherwise.
// Held by whoever imports (the desktop application, the command-line tool, a test).
#pragma once

class CMapSourceFormat {
public:
    static constexpr int kNone = 0;
    static constexpr int kDegrees = 1; // decimal degrees
    static constexpr int kMinutes = 2; // degrees and decimal minutes
    static constexpr int kSeconds = 3; // degrees, minutes and decimal seconds

    explicit CMapSourceFormat(int nFormat = kNone) : m_nFormat(nFormat) {}

    int Get() const { return m_nFormat; }
    bool IsKnown() const { return m_nFormat != kNone; }

    // Takes the format of a Trackpoint line: the blanks counted from its first N/S letter to its
    // first E/W letter. Any other count leaves the format as it was.
    void Detect(const char* pszLine);

private:
    int m_nFormat;
};
