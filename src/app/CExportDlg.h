// File, Export Image: asks for the file to write (PNG, SVG or PDF, by its extension, with a
// Browse button) and, for a PNG, the scale of the window's size (1, 2 or 4). Used by the chart
// view's command.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

class CExportDlg : public QDialog {
    Q_OBJECT
public:
    CExportDlg(const QString& strPath, QWidget* pParent = nullptr);

    QString Path() const;
    int Scale() const;

    // The file dialog's filters, in the order of the formats.
    static QString Filters();

private:
    void OnBrowse();
    void OnPathChanged();

    QLineEdit* m_pPath = nullptr;
    QComboBox* m_pScale = nullptr;
};
