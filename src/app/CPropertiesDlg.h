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

    // selection: the selected stretch's numbers, by the labels of rows (and rows of their own
    // where rows has no such label), shown in a "Selection" column; none without a stretch.
    CPropertiesDlg(const QString& strTitle, const std::vector<Row>& rows, const Table& laps = {},
                   const std::vector<Row>& selection = {}, QWidget* pParent = nullptr);

    // The rows as shown: label and value.
    std::vector<Row> Rows() const;
    // The Laps page as shown, empty when there is none.
    Table Laps() const;
    // The Selection column as shown: label and value of every row that has one.
    std::vector<Row> Selection() const;

private:
    QWidget* StatisticsTable(std::vector<Row> rows, const std::vector<Row>& selection);
    QWidget* LapsTable(const Table& laps);

    QTableWidget* m_pTable = nullptr;
    QTableWidget* m_pLaps = nullptr;
};
