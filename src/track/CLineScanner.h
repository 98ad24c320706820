// Reads the blank-separated words and numbers of one export line the way the reader's scan
// formats do ("%s", "%*s", "%f"), with words bounded to the 16-byte token buffers.
#pragma once

class CLineScanner {
public:
    static constexpr int kTokenSize = 16;

    explicit CLineScanner(const char* pszLine);

    // "%*s": skips one word; false when the line has no more words.
    bool SkipWord();
    // "%s" into a 16-byte token: at most 15 characters are kept, the rest of the word is cut.
    bool Word(char* pszToken);
    // "%f": reads a number; false (and nothing stored) when none starts here. A number that is
    // not finite in single precision (nan, inf, 1e39) counts as read but stores 0.
    bool Number(float& f);
    // True when the next word starts with something "%f" would read.
    bool NextIsNumber() const;

    // "%f" of a whole text, as used on the coordinate tokens; leaves f alone when nothing parses.
    static void ScanFloat(const char* psz, float& f);

private:
    void SkipBlanks();
    // Parses a number at p, reading no further than pEnd (the end of the text).
    static const char* ParseNumber(const char* p, const char* pEnd, float& f);

    const char* m_p;
    const char* m_pEnd;
};
