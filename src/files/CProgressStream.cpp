#include "CProgressStream.h"

#include <utility>

CProgressStream::CProgressStream(std::FILE* source, std::uint64_t nTotal, Progress progress)
    : m_source(source), m_nTotal(nTotal), m_progress(std::move(progress)) {
    const cookie_io_functions_t functions{&CProgressStream::Read, nullptr, nullptr, nullptr};
    m_fp = fopencookie(this, "r", functions);
    // Pieces as large as the other readers', so that progress is told now and then, not often.
    if (m_fp)
        std::setvbuf(m_fp, nullptr, _IOFBF, kBufferBytes);
}

CProgressStream::~CProgressStream() {
    if (m_fp)
        std::fclose(m_fp);
}

// A read error of the source is this stream's, with its errno; a stop reads as the file's end.
ssize_t CProgressStream::Read(void* pCookie, char* pBuffer, std::size_t nBytes) {
    auto* self = static_cast<CProgressStream*>(pCookie);
    if (self->m_bStopped)
        return 0;
    const std::size_t nRead = std::fread(pBuffer, 1, nBytes, self->m_source);
    if (nRead == 0)
        return std::ferror(self->m_source) ? -1 : 0;
    self->m_nDone += nRead;
    if (self->m_progress && !self->m_progress(self->m_nDone, self->m_nTotal)) {
        self->m_bStopped = true;
        return 0;
    }
    return static_cast<ssize_t>(nRead);
}
