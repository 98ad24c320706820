// A text file read line by line with the text-mode rules of the exports' home platform
// (CR LF read as LF), in pieces of at most nMax - 1 characters like fgets.
#pragma once

#include "WinDef.h"

#include <cstddef>
#include <cstdio>

class CStdioFile {
public:
    CStdioFile() = default;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;
    ~CStdioFile();

    BOOL Open(const char* pszPath);
    void Close();

    // Reads the next line (with its '\n' when it fits) or piece of a line into pBuf, at most
    // nMax - 1 characters, NUL-terminated. Returns pBuf, or nullptr at the end of the file.
    char* ReadString(char* pBuf, int nMax);

private:
    BOOL Fill();
    int Peek();

    std::FILE* m_fp = nullptr;
    char m_buf[65536];
    std::size_t m_nPos = 0;
    std::size_t m_nLen = 0;
};
