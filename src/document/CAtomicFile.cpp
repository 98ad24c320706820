#include "CAtomicFile.h"

#include "CInputFile.h"
#include "CPendingTempFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Fault = CFileResult::Fault;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Names that cannot be a file before the system is asked: "" and "folder/".
CFileResult CheckName(const std::string& path) {
    if (path.empty())
        return CFileResult::Failure(Fault::refused, path, "the output file name is empty");
    if (path.back() == '/')
        return CFileResult::Failure(Fault::refused, path, "names a folder, not a file");
    return CFileResult();
}

// An existing target must be a regular file; st is filled when it exists.
CFileResult CheckTarget(const std::string& target, const std::string& path, struct stat& st,
                        bool& bExists) {
    // A target that cannot be looked at is left to creating the temporary file to report.
    bExists = stat(target.c_str(), &st) == 0;
    if (!bExists)
        return CFileResult();
    if (const std::string what = CInputFile::WhatIsNotRegular(st.st_mode); !what.empty())
        return CFileResult::Failure(Fault::refused, path, what);
    return CFileResult();
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t nDone = 0;
    while (nDone < data.size()) {
        const ssize_t n = write(fd, data.data() + nDone, data.size() - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        nDone += static_cast<std::size_t>(n);
    }
    return true;
}

// A new file gets the mode the umask allows; a replaced one keeps its mode, and its owner and
// group where the process may give them (an ordinary user may not: EPERM is no failure).
bool SetModeAndOwner(int fd, bool bExists, const struct stat& old) {
    if (!bExists) {
        const mode_t mask = umask(0);
        umask(mask);
        return fchmod(fd, 0666 & ~mask) == 0;
    }
    if (fchmod(fd, old.st_mode & 07777) != 0)
        return false;
    return fchown(fd, old.st_uid, old.st_gid) == 0 || errno == EPERM;
}

// The rename is only durable once the folder's entry is on disk. Some file systems cannot sync
// a folder (EINVAL); the file is in place by then either way.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}
} // namespace

std::string CAtomicFile::ResolveLinks(const std::string& path, int& nError) {
    std::string target = path;
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat st {};
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target; // a missing file is created under this name
        char buf[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), buf, sizeof buf - 1);
        if (n < 0) {
            nError = errno;
            return std::string();
        }
        const std::string link(buf, static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
    }
    nError = ELOOP;
    return std::string();
}

CFileResult CAtomicFile::CheckNotInput(const std::string& inputPath,
                                       const std::string& outputPath) {
    struct stat in {
    }, out{};
    if (stat(inputPath.c_str(), &in) == 0 && stat(outputPath.c_str(), &out) == 0 &&
        in.st_dev == out.st_dev && in.st_ino == out.st_ino)
        return CFileResult::Failure(Fault::refused, outputPath,
                                    "is the input file; choose another output file");
    return CFileResult();
}

CFileResult CAtomicFile::Replace(const std::string& path, const std::string& data) {
    if (CFileResult r = CheckName(path); !r.Ok())
        return r;
    int nError = 0;
    const std::string target = ResolveLinks(path, nError);
    if (target.empty())
        return CFileResult::SystemFailure(Fault::write, path, nError);
    struct stat old {};
    bool bExists = false;
    if (CFileResult r = CheckTarget(target, path, old, bExists); !r.Ok())
        return r;

    const std::string folder = FolderOf(target);
    std::string tmp = folder + "/" + kTempPrefix + "XXXXXX";
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return CFileResult::SystemFailure(Fault::write, path, errno);
    CPendingTempFile::Set(tmp.c_str());

    errno = 0;
    bool ok = SetModeAndOwner(fd, bExists, old) && WriteAll(fd, data) && fsync(fd) == 0;
    nError = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        nError = errno;
    }
    if (ok && rename(tmp.c_str(), target.c_str()) != 0) {
        ok = false;
        nError = errno;
    }
    if (!ok)
        unlink(tmp.c_str());
    CPendingTempFile::Clear();
    if (!ok)
        return CFileResult::SystemFailure(Fault::write, path, nError != 0 ? nError : EIO);
    SyncFolder(folder);
    return CFileResult();
}
