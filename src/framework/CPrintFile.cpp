#include "CPrintFile.h"

#include "LocalPath.h"

#include <QFile>
#include <QPrinter>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace {
// The trailer "startxref\n<offset>\n%%EOF\n" lies in the last few bytes of the file.
constexpr std::streamoff kTrailerBytes = 64;

// "No such file or directory" from the system; "is a directory" about the file itself.
QString Why(const CFileResult& result) {
    const QString reason = QtPath(result.GetReason());
    return result.GetFault() == CFileResult::Fault::refused ? QStringLiteral("it ") + reason
                                                            : reason;
}
} // namespace

CPrintFile::CPrintFile(QPrinter* pPrinter, QStringList inputs)
    : m_pPrinter(pPrinter), m_inputs(std::move(inputs)) {
    m_strFileName = pPrinter->outputFileName();
    if (pPrinter->outputFormat() == QPrinter::PdfFormat && !m_strFileName.isEmpty())
        m_strTarget = AbsolutePath(m_strFileName);
}

CPrintFile::~CPrintFile() {
    RestoreFileName();
}

QString CPrintFile::Begin() {
    if (m_strTarget.isEmpty())
        return QString();
    const auto cannotStart = [this](const CFileResult& r) {
        return m_strTarget + QStringLiteral("\nCould not start the print job: ") + Why(r) +
               QLatin1Char('.');
    };
    for (const QString& input : m_inputs)
        if (const CFileResult r =
                CAtomicFile::CheckNotInput(LocalPath(input), LocalPath(m_strTarget));
            !r.Ok())
            return cannotStart(r);
    if (const CFileResult r = m_file.Begin(LocalPath(m_strTarget)); !r.Ok())
        return cannotStart(r);
    // Qt opens the file by a name it encodes as UTF-8; in a folder whose name is not UTF-8 it is
    // reached through the descriptor open on it instead.
    const std::string tmp = m_file.TempPath();
    const bool bNameKept = QFile::encodeName(QtPath(tmp)).toStdString() == tmp;
    m_pPrinter->setOutputFileName(
        bNameKept ? QtPath(tmp) : QStringLiteral("/proc/self/fd/%1").arg(m_file.Descriptor()));
    return QString();
}

QString CPrintFile::Finish(bool bPainted) {
    if (m_strTarget.isEmpty())
        return bPainted
                   ? QString()
                   : m_pPrinter->printerName() + QStringLiteral("\nCould not start the print job.");
    const std::string tmp = m_file.TempPath();
    RestoreFileName();
    const QString failed = m_strTarget + QStringLiteral("\nCould not write the PDF file: ");
    if (!bPainted || m_pPrinter->printerState() == QPrinter::Error) {
        m_file.Abandon();
        return failed + QStringLiteral("the print job failed.");
    }
    if (!IsCompletePdf(tmp)) {
        m_file.Abandon();
        return failed + QStringLiteral("it was cut short (is the disk full?).");
    }
    if (const CFileResult r = m_file.Commit(); !r.Ok())
        return failed + Why(r) + QLatin1Char('.');
    return QString();
}

bool CPrintFile::IsCompletePdf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::streamoff size = file.seekg(0, std::ios::end).tellg();
    if (!file || size <= 0)
        return false;
    const std::streamoff start = std::max<std::streamoff>(0, size - kTrailerBytes);
    std::string tail(static_cast<std::size_t>(size - start), '\0');
    if (!file.seekg(start).read(tail.data(), static_cast<std::streamsize>(tail.size())))
        return false;
    const std::size_t keyword = tail.rfind("startxref");
    const std::size_t eof = tail.rfind("%%EOF");
    if (keyword == std::string::npos || eof == std::string::npos || eof < keyword ||
        tail.find_first_not_of("\r\n", eof + 5) != std::string::npos)
        return false;
    char* end = nullptr;
    const long long offset = std::strtoll(tail.c_str() + keyword + 9, &end, 10);
    if (end == tail.c_str() + keyword + 9 || offset < 0 || offset >= size)
        return false;
    std::string table(4, '\0');
    return file.seekg(offset).read(table.data(), 4) && table == "xref";
}

void CPrintFile::RestoreFileName() {
    if (!m_strTarget.isEmpty() && m_pPrinter->outputFileName() != m_strFileName)
        m_pPrinter->setOutputFileName(m_strFileName);
}
