// The output file of a print job: a PDF printer writes a hidden temporary file beside its target,
// which replaces the target only once the job has ended and the file is complete, so that a failed
// job (a full disk) leaves the old file as it was. Other printers pass through. Used by the scroll
// view's printing: the print dialog, the print switches and the preview's Print button.
#pragma once

#include "CAtomicFile.h"

#include <QString>
#include <QStringList>

#include <string>

class QPrinter;

class CPrintFile {
public:
    // inputs: the files the page was made from, which a PDF file must not replace.
    explicit CPrintFile(QPrinter* pPrinter, QStringList inputs = {});
    // Gives the printer back the file name it had.
    ~CPrintFile();
    CPrintFile(const CPrintFile&) = delete;
    CPrintFile& operator=(const CPrintFile&) = delete;

    // Points a PDF printer at the temporary file. Returns the message when the job cannot
    // start ("/x/out.pdf\nCould not start the print job: No such file or directory."), else an
    // empty string.
    QString Begin();
    // After the page was drawn (bPainted: the painter began and ended well), replaces the target
    // with the complete file. Returns the message when the job failed, else an empty string.
    QString Finish(bool bPainted);

    // Qt's PDF writer reports no failed write, so the file has to prove itself complete: it ends
    // with "startxref", an offset and "%%EOF", and the cross-reference table starts at that
    // offset. A write lost anywhere (a full disk) cuts the trailer off or moves the table.
    static bool IsCompletePdf(const std::string& path);

private:
    void RestoreFileName();

    QPrinter* m_pPrinter;
    QStringList m_inputs;
    QString m_strFileName; // the printer's file name as it was set
    QString m_strTarget;   // that file's absolute path; empty for a real printer
    CAtomicFile m_file;
};
