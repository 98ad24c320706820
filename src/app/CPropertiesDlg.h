// File, Properties: a dialog that lists a document's numbers, one row each (where the track came
// from, its statistics in the user's units), with a link to how they are measured. Opened by the
// document's Properties command; the tests read its rows.
#pragma once

#include <QDialog>
#include <QString>

#include <utility>
#include <vector>

class QTableWidget;

class CPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    using Row = std::pair<QString, QString>;

    CPropertiesDlg(const QString& strTitle, const std::vector<Row>& rows,
                   QWidget* pParent = nullptr);

    // The rows as shown: label and value.
    std::vector<Row> Rows() const;

private:
    QTableWidget* m_pTable = nullptr;
};
