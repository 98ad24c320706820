// Sequential raw reads and writes of a document file, used by CTrack and CPlot to save and load.
#pragma once

#include "WinDef.h"

#include <cstdio>

class CArchive {
public:
    enum Mode { load = 0, store = 1 };

    // The archive reads from or writes to an open stream; it does not close it.
    CArchive(std::FILE* fp, Mode mode);

    BOOL IsStoring() const { return m_mode == store; }
    BOOL IsLoading() const { return m_mode == load; }

    // Writes nBytes raw bytes; a failed write is remembered (see HasFailed).
    void Write(const void* pBuf, UINT nBytes);
    // Reads up to nBytes raw bytes and returns how many arrived; fewer at the end of the file.
    UINT Read(void* pBuf, UINT nBytes);

    // Bytes left between the current position and the end of a loading archive.
    long GetRemaining() const;
    // Flushes written data; returns 0 when a write or the flush failed.
    BOOL Flush();
    BOOL HasFailed() const { return m_bFailed; }

private:
    std::FILE* m_fp;
    Mode m_mode;
    BOOL m_bFailed = 0;
};
