#include "CInputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

CInputFile::~CInputFile() {
    if (m_fp)
        std::fclose(m_fp);
}

std::string CInputFile::WhatIsNotRegular(unsigned int mode) {
    if (S_ISREG(mode))
        return std::string();
    if (S_ISDIR(mode))
        return "is a directory";
    const char* kind = S_ISFIFO(mode)   ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "a special file";
    return std::string("is not a regular file (") + kind + ")";
}

// O_NONBLOCK lets a FIFO without a writer open at once, so that fstat can refuse it; for a
// regular file the flag changes nothing and is cleared again. A socket cannot be opened at all
// (ENXIO, "No such device or address"), so what it is comes from stat instead.
CFileResult CInputFile::Open(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int nError = errno;
        struct stat st {};
        if (nError == ENXIO && stat(path.c_str(), &st) == 0)
            if (const std::string what = WhatIsNotRegular(st.st_mode); !what.empty())
                return CFileResult::Failure(CFileResult::Fault::refused, path, what);
        return CFileResult::SystemFailure(CFileResult::Fault::open, path, nError);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int nError = errno;
        close(fd);
        return CFileResult::SystemFailure(CFileResult::Fault::open, path, nError);
    }
    if (const std::string what = WhatIsNotRegular(st.st_mode); !what.empty()) {
        close(fd);
        return CFileResult::Failure(CFileResult::Fault::refused, path, what);
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fp = fdopen(fd, "rb");
    if (!m_fp) {
        const int nError = errno;
        close(fd);
        return CFileResult::SystemFailure(CFileResult::Fault::open, path, nError);
    }
    m_path = path;
    m_nSize = static_cast<std::size_t>(st.st_size);
    return CFileResult();
}

namespace {
// "1 GiB", "64 MiB", "1000 bytes".
std::string SizeText(std::size_t nBytes) {
    constexpr std::size_t kMiB = std::size_t{1} << 20, kGiB = std::size_t{1} << 30;
    if (nBytes % kGiB == 0)
        return std::to_string(nBytes / kGiB) + " GiB";
    if (nBytes % kMiB == 0)
        return std::to_string(nBytes / kMiB) + " MiB";
    return std::to_string(nBytes) + " bytes";
}
} // namespace

CFileResult CInputFile::TooBig(std::size_t nMaxBytes) const {
    return CFileResult::Failure(CFileResult::Fault::refused, m_path,
                                "is larger than " + SizeText(nMaxBytes) +
                                    ", the most this program reads");
}

CFileResult CInputFile::CheckSize(std::size_t nMaxBytes) const {
    return m_nSize > nMaxBytes ? TooBig(nMaxBytes) : CFileResult();
}

namespace {
// Pieces of this size keep the parser that takes them in the processor's cache.
constexpr std::size_t kPieceBytes = 64 * 1024;
} // namespace

CFileResult CInputFile::ReadPieces(std::size_t nMaxBytes,
                                   const std::function<bool(std::span<const char>)>& take) {
    if (CFileResult r = CheckSize(nMaxBytes); !r.Ok())
        return r;
    std::vector<char> piece(kPieceBytes);
    std::size_t nHave = 0;
    for (;;) {
        errno = 0;
        const std::size_t nRead = std::fread(piece.data(), 1, piece.size(), m_fp);
        if (std::ferror(m_fp))
            return CFileResult::SystemFailure(CFileResult::Fault::read, m_path,
                                              errno != 0 ? errno : EIO);
        nHave += nRead;
        if (nHave > nMaxBytes)
            return TooBig(nMaxBytes);
        if (nRead == 0 || !take(std::span<const char>(piece.data(), nRead)) || nRead < piece.size())
            return CFileResult();
    }
}
