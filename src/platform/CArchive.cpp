#include "CArchive.h"

CArchive::CArchive(std::FILE* fp, Mode mode) : m_fp(fp), m_mode(mode) {}

void CArchive::Write(const void* pBuf, UINT nBytes) {
    if (nBytes != 0 && std::fwrite(pBuf, 1, nBytes, m_fp) != nBytes)
        m_bFailed = 1;
}

UINT CArchive::Read(void* pBuf, UINT nBytes) {
    if (nBytes == 0)
        return 0;
    return static_cast<UINT>(std::fread(pBuf, 1, nBytes, m_fp));
}

long CArchive::GetRemaining() const {
    const long here = std::ftell(m_fp);
    if (here < 0 || std::fseek(m_fp, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(m_fp);
    std::fseek(m_fp, here, SEEK_SET);
    return end < 0 ? -1 : end - here;
}

BOOL CArchive::Flush() {
    if (std::fflush(m_fp) != 0 || std::ferror(m_fp))
        m_bFailed = 1;
    return !m_bFailed;
}
