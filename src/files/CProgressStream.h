// A stdio stream that reads another and tells how far it has come, for a reader that takes a
// FILE* and should still show its progress and stop when the user cancels.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <sys/types.h>

class CProgressStream {
public:
    // Told the bytes read so far of nTotal; false ends the stream there, as if the file ended.
    using Progress = std::function<bool(std::uint64_t nDone, std::uint64_t nTotal)>;

    // source stays the caller's and open while this stream is used.
    CProgressStream(std::FILE* source, std::uint64_t nTotal, Progress progress);
    CProgressStream(const CProgressStream&) = delete;
    CProgressStream& operator=(const CProgressStream&) = delete;
    ~CProgressStream();

    // The stream to read, or nullptr when none could be made.
    std::FILE* Stream() const { return m_fp; }
    // Whether the progress asked to stop, so that what was read ends short.
    bool Stopped() const { return m_bStopped; }

private:
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    static ssize_t Read(void* pCookie, char* pBuffer, std::size_t nBytes);

    std::FILE* m_source;
    std::uint64_t m_nTotal;
    Progress m_progress;
    std::uint64_t m_nDone = 0;
    bool m_bStopped = false;
    std::FILE* m_fp = nullptr;
};
