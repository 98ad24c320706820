#include "CPropertiesDlg.h"

#include "CMainFrame.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Wide enough for the longest value (a steepest grade with where it is) without a scroll bar.
constexpr int kMinTableWidth = 520;
} // namespace

CPropertiesDlg::CPropertiesDlg(const QString& strTitle, const std::vector<Row>& rows,
                               QWidget* pParent)
    : QDialog(pParent) {
    setWindowTitle(strTitle);
    m_pTable = new QTableWidget(static_cast<int>(rows.size()), 2, this);
    m_pTable->horizontalHeader()->hide();
    m_pTable->verticalHeader()->hide();
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setShowGrid(false);
    m_pTable->setWordWrap(false);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        m_pTable->setItem(i, 0, new QTableWidgetItem(rows[i].first));
        m_pTable->setItem(i, 1, new QTableWidgetItem(rows[i].second));
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setMinimumWidth(kMinTableWidth);
    m_pTable->setMinimumHeight(m_pTable->verticalHeader()->length() + 2 * m_pTable->frameWidth());

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTable);
    const QString guide = CMainFrame::HelpFilePath();
    if (!guide.isEmpty()) {
        QUrl url = QUrl::fromLocalFile(guide);
        url.setFragment(QStringLiteral("statistics"));
        auto* pLink = new QLabel(QStringLiteral("<a href=\"%1\">How these numbers are measured</a>")
                                     .arg(url.toString().toHtmlEscaped()),
                                 this);
        pLink->setOpenExternalLinks(true);
        pLayout->addWidget(pLink);
    }
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pLayout->addWidget(pButtons);
}

std::vector<CPropertiesDlg::Row> CPropertiesDlg::Rows() const {
    std::vector<Row> rows;
    for (int i = 0; i < m_pTable->rowCount(); ++i)
        rows.emplace_back(m_pTable->item(i, 0)->text(), m_pTable->item(i, 1)->text());
    return rows;
}
