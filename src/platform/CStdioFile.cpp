#include "CStdioFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

BOOL CStdioFile::Fill() {
    if (!m_fp || m_nError != 0)
        return 0;
    errno = 0;
    m_nLen = std::fread(m_buf, 1, sizeof m_buf, m_fp);
    m_nPos = 0;
    // What arrived before the error is still handed out; the next fill ends the reading.
    if (std::ferror(m_fp))
        m_nError = errno != 0 ? errno : EIO;
    return m_nLen > 0;
}

int CStdioFile::Peek() {
    if (m_nPos >= m_nLen && !Fill())
        return -1;
    return static_cast<unsigned char>(m_buf[m_nPos]);
}

char* CStdioFile::ReadString(char* pBuf, int nMax) {
    if (nMax <= 1)
        return nullptr;
    const std::size_t nRoom = static_cast<std::size_t>(nMax) - 1;
    std::size_t n = 0;
    // Copy whole runs of the buffer up to the next line end at once.
    while (n < nRoom && Peek() >= 0) {
        const char* p = m_buf + m_nPos;
        const std::size_t nAvail = std::min(m_nLen - m_nPos, nRoom - n);
        const char* pEnd = static_cast<const char*>(std::memchr(p, '\n', nAvail));
        const std::size_t nTake = pEnd ? static_cast<std::size_t>(pEnd - p) + 1 : nAvail;
        std::memcpy(pBuf + n, p, nTake);
        n += nTake;
        m_nPos += nTake;
        if (pEnd) {
            // Text mode reads CR LF as LF, also when the CR came with the previous run.
            if (n >= 2 && pBuf[n - 2] == '\r') {
                pBuf[n - 2] = '\n';
                --n;
            }
            break;
        }
    }
    // A CR that filled the last place still pairs with the LF that follows it.
    if (n == nRoom && pBuf[n - 1] == '\r' && Peek() == '\n') {
        ++m_nPos;
        pBuf[n - 1] = '\n';
    }
    if (n == 0)
        return nullptr;
    pBuf[n] = '\0';
    return pBuf;
}
