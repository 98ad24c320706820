// File, Export Image: asks for the file to write (PNG, SVG or PDF, by its extension, with a
// Browse button) and, for a PNG, the scale of the window's size (1, 2 or 4). It proposes the
// document's title in the folder, format and scale of the last export, which the settings keep.
// Used by the chart view's command.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

class CExportDlg : public QDialog {
    Q_OBJECT
public:
    // strTitle names the file proposed: "ride" gives "<last folder>/ride.png".
    CExportDlg(const QString& strTitle, QWidget* pParent = nullptr);

    QString Path() const;
    int Scale() const;
    // OK keeps the folder, format and scale for the next export.
    void accept() override;

    // The file dialog's filters, in the order of the formats.
    static QString Filters();

private:
    void OnBrowse();
    void OnPathChanged();

    QLineEdit* m_pPath = nullptr;
    QComboBox* m_pScale = nullptr;
};
