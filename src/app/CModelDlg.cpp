#include "CModelDlg.h"

#include "CTerrainModel.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {
// Tenths are as fine as a print shows; the arrows step by halves.
constexpr int kDecimals = 1;
constexpr double kStep = 0.5;

QDoubleSpinBox* SpinBox(double fMin, double fMax, double fValue, const QString& suffix,
                        QWidget* pParent) {
    auto* pBox = new QDoubleSpinBox(pParent);
    pBox->setDecimals(kDecimals);
    pBox->setRange(fMin, fMax);
    pBox->setSingleStep(kStep);
    pBox->setValue(fValue);
    pBox->setSuffix(suffix);
    return pBox;
}
} // namespace

CModelDlg::CModelDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("Export 3D Model"));
    const CTerrainModel::Options defaults;
    m_pExaggeration = SpinBox(CTerrainModel::kMinExaggeration, CTerrainModel::kMaxExaggeration,
                              defaults.exaggeration, QStringLiteral(" x"), this);
    m_pBase = SpinBox(CTerrainModel::kMinBaseMm, CTerrainModel::kMaxBaseMm, defaults.baseMm,
                      QStringLiteral(" mm"), this);
    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("Vertical &exaggeration:"), m_pExaggeration);
    pForm->addRow(QStringLiteral("&Base thickness:"), m_pBase);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

double CModelDlg::Exaggeration() const {
    return m_pExaggeration->value();
}

double CModelDlg::BaseMm() const {
    return m_pBase->value();
}
