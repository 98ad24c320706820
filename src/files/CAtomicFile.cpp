#include "CAtomicFile.h"

#include "CInputFile.h"
#include "CPendingTempFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// The temporary file's mode at creation, before the kernel takes the umask off. A new file
// gets what any new file gets (0666 less the umask: 0640 under umask 027) without the program
// reading the umask, which can only be done by setting it, for every thread at once. Replacing a
// file, the new bytes are never open to more than the old ones were (a private 0600 document
// stays private while it is written), and the owner may always write, since a writer may open
// the file again by its name (the PDF printer); Commit gives the old mode itself.
mode_t CreationMode(bool bExists, mode_t oldMode) {
    constexpr mode_t kNewFileMode = 0666;
    return bExists ? (oldMode & 0777) | S_IRUSR | S_IWUSR : kNewFileMode;
}

// A new file keeps the mode it was created with; a replaced one gets its old mode, and its owner
// and group where the process may give them (an ordinary user may not: EPERM is no failure).
bool SetModeAndOwner(int fd, bool bExists, mode_t mode, uid_t uid, gid_t gid) {
    if (!bExists)
        return true;
    if (fchmod(fd, mode & 07777) != 0)
        return false;
    return fchown(fd, uid, gid) == 0 || errno == EPERM;
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

// The refusal of a link that another user planted, naming it when it is not the output itself.
std::string ForeignLink(const std::string& path, const std::string& link) {
    const char* kWhy = "a link owned by another user in a shared folder; not followed";
    return link == path ? std::string("is ") + kWhy : "leads to " + link + ", which is " + kWhy;
}

// Root may write any file, so for root a file counts as read-only when nobody may write it, as
// editors judge it; anyone else asks the kernel, which knows groups and access lists.
bool IsReadOnly(const std::string& path, const struct stat& st) {
    if (geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}
} // namespace

bool CAtomicFile::MayFollowLink(unsigned int nLinkOwner, unsigned int nFolderOwner,
                                unsigned int nFolderMode, unsigned int nFollower) {
    const bool bShared = (nFolderMode & S_ISVTX) != 0 && (nFolderMode & S_IWOTH) != 0;
    return !bShared || nLinkOwner == nFollower || nLinkOwner == nFolderOwner;
}

CFileResult CAtomicFile::ResolveLinks(const std::string& path, std::string& target) {
    target = path;
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat st {};
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return CFileResult(); // a missing file is created under this name
        struct stat folder {};
        if (stat(FolderOf(target).c_str(), &folder) == 0 &&
            !MayFollowLink(st.st_uid, folder.st_uid, folder.st_mode, geteuid()))
            return CFileResult::Failure(Fault::refused, path, ForeignLink(path, target));
        char buf[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), buf, sizeof buf - 1);
        if (n < 0)
            return CFileResult::SystemFailure(Fault::write, path, errno);
        const std::string link(buf, static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
    }
    return CFileResult::SystemFailure(Fault::write, path, ELOOP);
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

CFileResult CAtomicFile::CheckNotReadOnly(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && IsReadOnly(path, st))
        return CFileResult::Failure(Fault::refused, path, "is read-only");
    return CFileResult();
}

CAtomicFile::~CAtomicFile() {
    Abandon();
}

CFileResult CAtomicFile::Begin(const std::string& path) {
    Abandon();
    if (CFileResult r = CheckName(path); !r.Ok())
        return r;
    std::string target;
    if (CFileResult r = ResolveLinks(path, target); !r.Ok())
        return r;
    struct stat old {};
    bool bExists = false;
    if (CFileResult r = CheckTarget(target, path, old, bExists); !r.Ok())
        return r;

    std::string tmp = FolderOf(target) + "/" + kTempPrefix +
                      std::string(CPendingTempFile::kNameLength, 'X');
    const int fd = CPendingTempFile::Create(tmp, CreationMode(bExists, old.st_mode));
    if (fd < 0)
        return CFileResult::SystemFailure(Fault::write, path, errno);
    m_path = path;
    m_target = target;
    m_tmp = tmp;
    m_fd = fd;
    m_bExists = bExists;
    m_nMode = old.st_mode;
    m_nUid = old.st_uid;
    m_nGid = old.st_gid;
    return CFileResult();
}

CFileResult CAtomicFile::Commit() {
    errno = 0;
    if (!SetModeAndOwner(m_fd, m_bExists, m_nMode, m_nUid, m_nGid) || fsync(m_fd) != 0)
        return Fail(errno);
    const int fd = std::exchange(m_fd, -1);
    if (close(fd) != 0 || rename(m_tmp.c_str(), m_target.c_str()) != 0)
        return Fail(errno);
    m_tmp.clear();
    CPendingTempFile::Clear();
    SyncFolder(FolderOf(m_target));
    return CFileResult();
}

void CAtomicFile::Abandon() {
    if (m_fd >= 0)
        close(std::exchange(m_fd, -1));
    if (m_tmp.empty())
        return;
    unlink(m_tmp.c_str());
    m_tmp.clear();
    CPendingTempFile::Clear();
}

CFileResult CAtomicFile::Fail(int nError) {
    Abandon();
    return CFileResult::SystemFailure(Fault::write, m_path, nError != 0 ? nError : EIO);
}

CFileResult CAtomicFile::Replace(const std::string& path, const std::string& data) {
    CAtomicFile file;
    if (CFileResult r = file.Begin(path); !r.Ok())
        return r;
    errno = 0;
    if (!WriteAll(file.m_fd, data))
        return file.Fail(errno);
    return file.Commit();
}
