// A file opened for reading by the document module (documents and track exports alike): only a
// regular file is read, and opening never blocks, so a FIFO, a device or a folder is refused at
// once with what it is.
#pragma once

#include "CFileResult.h"

#include <cstdio>
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

    // "is a directory", "is not a regular file (a FIFO)": what the file of mode is, or an empty
    // string for a regular file.
    static std::string WhatIsNotRegular(unsigned int mode);

private:
    std::FILE* m_fp = nullptr;
};
