#include "CExportDlg.h"

#include "CPlotExporter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

namespace {
const QString kFolderKey = QStringLiteral("Export/Folder");
const QString kSuffixKey = QStringLiteral("Export/Suffix");
const QString kScaleKey = QStringLiteral("Export/Scale");
} // namespace

CExportDlg::CExportDlg(const QString& strTitle, QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("Export Image"));
    const QSettings settings;
    const QString folder = settings.value(kFolderKey, QDir::currentPath()).toString();
    const QString suffix = settings.value(kSuffixKey, QStringLiteral("png")).toString();
    m_pPath = new QLineEdit(QDir(folder).filePath(strTitle + QLatin1Char('.') + suffix), this);
    m_pPath->setMinimumWidth(m_pPath->fontMetrics().averageCharWidth() * 48);
    auto* pBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    auto* pFileRow = new QHBoxLayout;
    pFileRow->addWidget(m_pPath);
    pFileRow->addWidget(pBrowse);
    m_pScale = new QComboBox(this);
    for (int nScale : CPlotExporter::kScales)
        m_pScale->addItem(QStringLiteral("%1 x the window's size").arg(nScale), nScale);
    m_pScale->setCurrentIndex(std::max(0, m_pScale->findData(settings.value(kScaleKey, 1))));

    // A label for a row of several widgets needs its buddy named, or its "&" shows as it is.
    auto* pFileLabel = new QLabel(QStringLiteral("&File:"), this);
    pFileLabel->setBuddy(m_pPath);
    auto* pForm = new QFormLayout;
    pForm->addRow(pFileLabel, pFileRow);
    pForm->addRow(QStringLiteral("PNG &scale:"), m_pScale);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);

    connect(pBrowse, &QPushButton::clicked, this, &CExportDlg::OnBrowse);
    connect(m_pPath, &QLineEdit::textChanged, this, &CExportDlg::OnPathChanged);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    OnPathChanged();
}

void CExportDlg::accept() {
    const QFileInfo file(Path());
    QSettings settings;
    settings.setValue(kFolderKey, file.absolutePath());
    settings.setValue(kSuffixKey, file.suffix().toLower());
    settings.setValue(kScaleKey, Scale());
    QDialog::accept();
}

QString CExportDlg::Path() const {
    return m_pPath->text();
}

int CExportDlg::Scale() const {
    return m_pScale->currentData().toInt();
}

QString CExportDlg::Filters() {
    return QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
}

void CExportDlg::OnBrowse() {
    QFileDialog dlg(this, QStringLiteral("Export Image"), QFileInfo(Path()).absolutePath(),
                    Filters());
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(QStringLiteral("png"));
    dlg.selectFile(Path());
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        m_pPath->setText(dlg.selectedFiles().first());
}

// The scale applies to images only; an unknown extension cannot be exported.
void CExportDlg::OnPathChanged() {
    const CPlotExporter::Format format = CPlotExporter::FormatOf(Path());
    m_pScale->setEnabled(format == CPlotExporter::Format::png);
    if (auto* pBox = findChild<QDialogButtonBox*>())
        pBox->button(QDialogButtonBox::Ok)->setEnabled(format != CPlotExporter::Format::none);
}
