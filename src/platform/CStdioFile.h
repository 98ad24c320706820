// A text stream read line by line with the text-mode rules of the exports' home platform
// (CR LF read as LF), in pieces of at most nMax - 1 characters like fgets. The MapSource reader
// reads through it; whoever opened the stream closes it.
#pragma once

#include "WinDef.h"

#include <cstddef>
#include <cstdio>

class CStdioFile {
public:
    explicit CStdioFile(std::FILE* fp) : m_fp(fp) {}
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // Reads the next line (with its '\n' when it fits) or piece of a line into pBuf, at most
    // nMax - 1 characters, NUL-terminated. Returns pBuf, or nullptr at the end of the file or
    // after a read error (see GetError).
    char* ReadString(char* pBuf, int nMax);
    // The errno of a failed read, 0 while every read succeeded.
    int GetError() const { return m_nError; }

private:
    BOOL Fill();
    int Peek();

    std::FILE* m_fp = nullptr;
    char m_buf[65536];
    std::size_t m_nPos = 0;
    std::size_t m_nLen = 0;
    int m_nError = 0;
};
