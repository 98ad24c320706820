#include "CStdioFile.h"

#include <cstring>

CStdioFile::~CStdioFile() { Close(); }

BOOL CStdioFile::Open(const char* pszPath) {
    Close();
    m_fp = std::fopen(pszPath, "rb");
    m_nPos = m_nLen = 0;
    return m_fp != nullptr;
}

void CStdioFile::Close() {
    if (m_fp)
        std::fclose(m_fp);
    m_fp = nullptr;
}

BOOL CStdioFile::Fill() {
    if (!m_fp)
        return 0;
    m_nLen = std::fread(m_buf, 1, sizeof m_buf, m_fp);
    m_nPos = 0;
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
    int n = 0;
    while (n < nMax - 1) {
        int c = Peek();
        if (c < 0)
            break;
        ++m_nPos;
        // Text mode reads CR LF as LF.
        if (c == '\r' && Peek() == '\n') {
            ++m_nPos;
            c = '\n';
        }
        pBuf[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (n == 0)
        return nullptr;
    pBuf[n] = '\0';
    return pBuf;
}
