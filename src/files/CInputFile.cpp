#include "CInputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
// regular file the flag changes nothing and is cleared again.
CFileResult CInputFile::Open(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return CFileResult::SystemFailure(CFileResult::Fault::open, path, errno);
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
    return CFileResult();
}
