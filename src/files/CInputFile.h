// A file opened for reading through the file layer (documents and track files alike): only a
// regular file is read, and opening never blocks, so a FIFO, a device or a folder is refused at
// once with what it is.
#pragma once

#include "CFileResult.h"

#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

class CInputFile {
public:
    CInputFile() = default;
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;
    ~CInputFile();

    CFileResult Open(const std::string& path);
    // The open stream, or nullptr before a successful Open.
    std::FILE* Stream() const { return m_fp; }
    // Refuses the open file when it is larger than nMaxBytes ("is larger than 1 GiB, the most
    // this program reads"), for a reader that reads the stream itself.
    CFileResult CheckSize(std::size_t nMaxBytes) const;
    // The file's size when it was opened.
    std::size_t Size() const { return m_nSize; }
    // Reads the rest of the open file a piece at a time, handing each piece to take, which
    // returns false when it wants no more. A file larger than nMaxBytes is refused before any
    // of it is read (and again should it grow while being read); a read error fails the whole
    // read.
    CFileResult ReadPieces(std::size_t nMaxBytes,
                           const std::function<bool(std::span<const char>)>& take);

    // "is a directory", "is not a regular file (a FIFO)": what the file of mode is, or an empty
    // string for a regular file.
    static std::string WhatIsNotRegular(unsigned int mode);

private:
    CFileResult TooBig(std::size_t nMaxBytes) const;

    std::FILE* m_fp = nullptr;
    std::string m_path;
    std::size_t m_nSize = 0;
};
