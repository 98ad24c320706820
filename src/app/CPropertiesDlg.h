// File, Properties: a dialog that lists a document's numbers, one row each (where the track came
// from, its statistics in the user's units), with a link to how they are measured, and for a
// track with laps a "Laps" page with a row a lap. Opened by the document's Properties command;
// the tests read its rows.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QTableWidget;

class CPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    using Row = std::pair<QString, QString>;
    // A table under its column titles.
    struct Table {
        QStringList columns;
        std::vector<QStringList> rows;
    };

    CPropertiesDlg(const QString& strTitle, const std::vector<Row>& rows, const Table& laps = {},
                   QWidget* pParent = nullptr);

    // The rows as shown: label and value.
    std::vector<Row> Rows() const;
    // The Laps page as shown, empty when there is none.
    Table Laps() const;

private:
    QWidget* StatisticsTable(const std::vector<Row>& rows);
    QWidget* LapsTable(const Table& laps);

    QTableWidget* m_pTable = nullptr;
    QTableWidget* m_pLaps = nullptr;
};
