// Replaces a file the careful way, for document saves (both programs), the SVG drawings of
// vorlan-cli and the PDF files the desktop program prints: the bytes go to a hidden temporary
// file beside the real target (symbolic links resolved), are synced, take the old file's mode and
// owner, and are renamed over the target; the folder is synced after. Every failure removes the
// temporary file and leaves the old file.
#pragma once

#include "CFileResult.h"

#include <string>

class CAtomicFile {
public:
    // Links followed before the target counts as a loop, as the kernel's own limit.
    static constexpr int kMaxLinks = 40;
    // "<folder>/.vorlan-XXXXXX": short, so that any name the folder takes can be replaced.
    static constexpr const char* kTempPrefix = ".vorlan-";

    CAtomicFile() = default;
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;
    // A replacement begun and never committed leaves no temporary file.
    ~CAtomicFile();

    // The replacement in steps, for a writer that opens the file by its name itself (the PDF
    // printer): Begin checks the target and creates the empty temporary file TempPath() beside
    // it; the caller writes that file and then calls Commit, or Abandon when the writing failed.
    CFileResult Begin(const std::string& path);
    const std::string& TempPath() const { return m_tmp; }
    // The temporary file's descriptor, open until Commit or Abandon.
    int Descriptor() const { return m_fd; }
    // Syncs the temporary file, gives it the old file's mode and owner and renames it over the
    // target.
    CFileResult Commit();
    void Abandon();

    // All steps at once for bytes held in memory.
    static CFileResult Replace(const std::string& path, const std::string& data);

    // Refuses an output that is the input file itself (the same device and inode, through any
    // name or link): writing it would destroy what is being read.
    static CFileResult CheckNotInput(const std::string& inputPath, const std::string& outputPath);

    // Refuses an existing output that is read-only (no write permission for the caller; for
    // root, no write permission for anyone), which the rename would otherwise replace without a
    // word. vorlan-cli refuses such a file; the desktop program asks first.
    static CFileResult CheckNotReadOnly(const std::string& path);

    // The file a write to path reaches: path with its symbolic links followed, into target.
    // Fails when a link cannot be read, the links loop, or a link is one that the kernel would
    // not follow for this process (MayFollowLink).
    static CFileResult ResolveLinks(const std::string& path, std::string& target);
    // The kernel's rule for links in shared folders (protected_symlinks), which a program that
    // reads links itself must apply itself: a link in a sticky, world-writable folder (/tmp) is
    // followed only by its owner or when the folder's owner owns it, so that another user
    // cannot plant a link there that leads a write elsewhere.
    static bool MayFollowLink(unsigned int nLinkOwner, unsigned int nFolderOwner,
                              unsigned int nFolderMode, unsigned int nFollower);

private:
    CFileResult Fail(int nError);

    std::string m_path;   // as the caller named it, for messages
    std::string m_target; // the file renamed over: m_path with its links followed
    std::string m_tmp;
    int m_fd = -1;
    bool m_bExists = false; // the target exists; its mode and owner follow
    unsigned int m_nMode = 0;
    unsigned int m_nUid = 0;
    unsigned int m_nGid = 0;
};
