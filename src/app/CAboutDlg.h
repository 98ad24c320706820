// The About box "About Vorlan": the main icon, the program name and version, three notice lines
// and an OK button, laid out in dialog units. Run modally by the application's About command.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

    static const char* const kVersionText;
    static const char* const kNotices[3];

private:
    // Dialog units of the dialog's font to pixels.
    QRect DluRect(int x, int y, int cx, int cy) const;

    qreal m_fBaseX = 1;
    qreal m_fBaseY = 1;
};
