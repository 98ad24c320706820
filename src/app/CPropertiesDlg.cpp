#include "CPropertiesDlg.h"

#include "CMainFrame.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Wide enough for the longest value (a steepest grade with where it is) without a scroll bar.
constexpr int kMinTableWidth = 520;
// Every row of a track with every channel shows at once on a 1080-line screen; more scroll.
constexpr int kMaxTableHeight = 820;

// The width that shows every column whole, with room for a vertical scroll bar.
int ContentWidth(const QTableWidget* pTable) {
    return pTable->horizontalHeader()->length() + 2 * pTable->frameWidth() +
           pTable->verticalScrollBar()->sizeHint().width();
}
} // namespace

CPropertiesDlg::CPropertiesDlg(const QString& strTitle, const std::vector<Row>& rows,
                               const Table& laps, const std::vector<Row>& selection,
                               QWidget* pParent)
    : QDialog(pParent) {
    setWindowTitle(strTitle);
    auto* pLayout = new QVBoxLayout(this);
    QWidget* pStatistics = StatisticsTable(rows, selection);
    if (laps.rows.empty()) {
        pLayout->addWidget(pStatistics);
    } else {
        auto* pPages = new QTabWidget(this);
        pPages->addTab(pStatistics, QStringLiteral("Statistics"));
        pPages->addTab(LapsTable(laps), QStringLiteral("Laps"));
        pLayout->addWidget(pPages);
    }
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

QWidget* CPropertiesDlg::StatisticsTable(std::vector<Row> rows, const std::vector<Row>& selection) {
    for (const Row& s : selection)
        if (std::none_of(rows.begin(), rows.end(),
                         [&s](const Row& r) { return r.first == s.first; }))
            rows.emplace_back(s.first, QString());
    const int nColumns = selection.empty() ? 2 : 3;
    m_pTable = new QTableWidget(static_cast<int>(rows.size()), nColumns, this);
    if (selection.empty())
        m_pTable->horizontalHeader()->hide();
    else
        m_pTable->setHorizontalHeaderLabels(
            {QString(), QStringLiteral("Track"), QStringLiteral("Selection")});
    m_pTable->verticalHeader()->hide();
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setShowGrid(false);
    m_pTable->setWordWrap(false);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        m_pTable->setItem(i, 0, new QTableWidgetItem(rows[i].first));
        m_pTable->setItem(i, 1, new QTableWidgetItem(rows[i].second));
        if (nColumns == 3) {
            const auto it = std::find_if(selection.begin(), selection.end(),
                                         [&](const Row& s) { return s.first == rows[i].first; });
            m_pTable->setItem(i, 2,
                              new QTableWidgetItem(it != selection.end() ? it->second : QString()));
        }
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setMinimumWidth(std::max(kMinTableWidth, ContentWidth(m_pTable)));
    m_pTable->setMinimumHeight(std::min(m_pTable->verticalHeader()->length(), kMaxTableHeight) +
                               2 * m_pTable->frameWidth());
    return m_pTable;
}

// Numbers right-aligned under their titles, so that a column of laps reads down.
QWidget* CPropertiesDlg::LapsTable(const Table& laps) {
    m_pLaps = new QTableWidget(static_cast<int>(laps.rows.size()),
                               static_cast<int>(laps.columns.size()), this);
    m_pLaps->setHorizontalHeaderLabels(laps.columns);
    m_pLaps->verticalHeader()->hide();
    m_pLaps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pLaps->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pLaps->setWordWrap(false);
    for (int r = 0; r < static_cast<int>(laps.rows.size()); ++r)
        for (int c = 0; c < laps.rows[r].size(); ++c) {
            auto* pItem = new QTableWidgetItem(laps.rows[r][c]);
            pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_pLaps->setItem(r, c, pItem);
        }
    m_pLaps->resizeColumnsToContents();
    m_pLaps->setMinimumWidth(ContentWidth(m_pLaps));
    return m_pLaps;
}

std::vector<CPropertiesDlg::Row> CPropertiesDlg::Rows() const {
    std::vector<Row> rows;
    for (int i = 0; i < m_pTable->rowCount(); ++i)
        rows.emplace_back(m_pTable->item(i, 0)->text(), m_pTable->item(i, 1)->text());
    return rows;
}

CPropertiesDlg::Table CPropertiesDlg::Laps() const {
    Table laps;
    if (!m_pLaps)
        return laps;
    for (int c = 0; c < m_pLaps->columnCount(); ++c)
        laps.columns << m_pLaps->horizontalHeaderItem(c)->text();
    for (int r = 0; r < m_pLaps->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m_pLaps->columnCount(); ++c)
            row << m_pLaps->item(r, c)->text();
        laps.rows.push_back(row);
    }
    return laps;
}

std::vector<CPropertiesDlg::Row> CPropertiesDlg::Selection() const {
    std::vector<Row> selection;
    if (m_pTable->columnCount() < 3)
        return selection;
    for (int i = 0; i < m_pTable->rowCount(); ++i)
        if (!m_pTable->item(i, 2)->text().isEmpty())
            selection.emplace_back(m_pTable->item(i, 0)->text(), m_pTable->item(i, 2)->text());
    return selection;
}
