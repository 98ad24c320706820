#include "CPrintSetupDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// The paper sizes offered for a PDF file, which takes any size.
constexpr QPageSize::PageSizeId kPdfSizes[] = {
    QPageSize::A3,     QPageSize::A4,    QPageSize::A5,        QPageSize::B5,
    QPageSize::Letter, QPageSize::Legal, QPageSize::Executive, QPageSize::Tabloid,
};
} // namespace

QString CPrintSetupDlg::PdfPrinterName() {
    return QStringLiteral("PDF file");
}

CPrintSetupDlg::CPrintSetupDlg(QPrinter* pPrinter, QWidget* pParent)
    : QDialog(pParent), m_pPrinter(pPrinter) {
    setWindowTitle(QStringLiteral("Print Setup"));

    auto* pPrinterGroup = new QGroupBox(QStringLiteral("Printer"));
    m_pPrinterBox = new QComboBox;
    m_pWhere = new QLabel;
    auto* pPrinterForm = new QFormLayout(pPrinterGroup);
    pPrinterForm->addRow(QStringLiteral("&Name:"), m_pPrinterBox);
    pPrinterForm->addRow(QStringLiteral("Where:"), m_pWhere);

    auto* pPaperGroup = new QGroupBox(QStringLiteral("Paper"));
    m_pPaperBox = new QComboBox;
    auto* pPaperForm = new QFormLayout(pPaperGroup);
    pPaperForm->addRow(QStringLiteral("Si&ze:"), m_pPaperBox);

    auto* pOrientationGroup = new QGroupBox(QStringLiteral("Orientation"));
    m_pPortrait = new QRadioButton(QStringLiteral("P&ortrait"));
    m_pLandscape = new QRadioButton(QStringLiteral("L&andscape"));
    auto* pOrientationLayout = new QVBoxLayout(pOrientationGroup);
    pOrientationLayout->addWidget(m_pPortrait);
    pOrientationLayout->addWidget(m_pLandscape);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLower = new QHBoxLayout;
    pLower->addWidget(pPaperGroup, 1);
    pLower->addWidget(pOrientationGroup);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pPrinterGroup);
    pLayout->addLayout(pLower);
    pLayout->addWidget(pButtons);

    // The installed printers, then the PDF file; the printer's current choice is selected.
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        m_pPrinterBox->addItem(name, name);
    m_pPrinterBox->addItem(PdfPrinterName(), QString());
    const bool bPdf = m_pPrinter->outputFormat() == QPrinter::PdfFormat;
    const int nCurrent =
        bPdf ? m_pPrinterBox->count() - 1 : m_pPrinterBox->findData(m_pPrinter->printerName());
    m_pPrinterBox->setCurrentIndex(std::max(0, nCurrent));
    FillPaperSizes(m_pPrinter->pageLayout().pageSize().id());
    OnPrinterChanged();
    connect(m_pPrinterBox, &QComboBox::currentIndexChanged, this, [this] {
        FillPaperSizes(static_cast<QPageSize::PageSizeId>(m_pPaperBox->currentData().toInt()));
        OnPrinterChanged();
    });

    const bool bLandscape = m_pPrinter->pageLayout().orientation() == QPageLayout::Landscape;
    (bLandscape ? m_pLandscape : m_pPortrait)->setChecked(true);
}

bool CPrintSetupDlg::PdfChosen() const {
    return m_pPrinterBox->currentIndex() == m_pPrinterBox->count() - 1;
}

void CPrintSetupDlg::OnPrinterChanged() {
    if (PdfChosen()) {
        const QString file = m_pPrinter->outputFileName();
        m_pWhere->setText(file.isEmpty() ? QStringLiteral("asked when printing") : file);
        return;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_pPrinterBox->currentData().toString());
    m_pWhere->setText(info.location());
}

// The sizes the chosen printer takes, keeping nSelect selected when it is one of them.
void CPrintSetupDlg::FillPaperSizes(QPageSize::PageSizeId nSelect) {
    QList<QPageSize> sizes;
    if (!PdfChosen())
        sizes =
            QPrinterInfo::printerInfo(m_pPrinterBox->currentData().toString()).supportedPageSizes();
    if (sizes.isEmpty())
        for (QPageSize::PageSizeId id : kPdfSizes)
            sizes.append(QPageSize(id));
    const QSignalBlocker block(m_pPaperBox);
    m_pPaperBox->clear();
    for (const QPageSize& size : sizes)
        if (m_pPaperBox->findData(static_cast<int>(size.id())) < 0)
            m_pPaperBox->addItem(size.name(), static_cast<int>(size.id()));
    const int nIndex = m_pPaperBox->findData(static_cast<int>(nSelect));
    m_pPaperBox->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
}

void CPrintSetupDlg::Apply() {
    if (PdfChosen()) {
        m_pPrinter->setOutputFormat(QPrinter::PdfFormat);
    } else {
        // A printer given a file name writes the file instead: the last PDF would be
        // overwritten without any dialog naming it.
        m_pPrinter->setOutputFileName(QString());
        m_pPrinter->setOutputFormat(QPrinter::NativeFormat);
        m_pPrinter->setPrinterName(m_pPrinterBox->currentData().toString());
    }
    m_pPrinter->setPageSize(
        QPageSize(static_cast<QPageSize::PageSizeId>(m_pPaperBox->currentData().toInt())));
    m_pPrinter->setPageOrientation(m_pLandscape->isChecked() ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
}
