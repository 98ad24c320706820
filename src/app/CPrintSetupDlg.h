// File, Print Setup: chooses the printer (an installed printer or a PDF file), the paper size and
// the orientation of the application's printer, which keeps them for the rest of the session.
// Run by the application's Print Setup command.
#pragma once

#include <QDialog>
#include <QPageSize>

class QComboBox;
class QLabel;
class QPrinter;
class QRadioButton;

class CPrintSetupDlg : public QDialog {
    Q_OBJECT
public:
    CPrintSetupDlg(QPrinter* pPrinter, QWidget* pParent);

    // Gives the printer the choices made (after OK).
    void Apply();

    // The name the printer list shows for writing a PDF file.
    static QString PdfPrinterName();

    QComboBox* PrinterBox() const { return m_pPrinterBox; }
    QComboBox* PaperBox() const { return m_pPaperBox; }
    QRadioButton* PortraitButton() const { return m_pPortrait; }
    QRadioButton* LandscapeButton() const { return m_pLandscape; }

private:
    void FillPaperSizes(QPageSize::PageSizeId nSelect);
    void OnPrinterChanged();
    bool PdfChosen() const;

    QPrinter* m_pPrinter;
    QComboBox* m_pPrinterBox;
    QLabel* m_pWhere;
    QComboBox* m_pPaperBox;
    QRadioButton* m_pPortrait;
    QRadioButton* m_pLandscape;
};
