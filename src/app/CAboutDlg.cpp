#include "CAboutDlg.h"

#include "CButtonImages.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

const char* const CAboutDlg::kVersionText = "VORLAN  Version 1.1";
const char* const CAboutDlg::kNotices[3] = {
    "GPS tracks in 2D and 3D",
    "For MapSource text exports",
    "Copyright (C) Vorlan authors",
};

CAboutDlg::CAboutDlg(QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("About Vorlan"));
    setModal(true);
    QFont dialogFont = font();
    dialogFont.setStyleHint(QFont::SansSerif);
    dialogFont.setPointSize(8);
    setFont(dialogFont);

    // A horizontal dialog unit is a quarter of the font's average character width, a vertical
    // one an eighth of its height.
    const QFontMetricsF fm(dialogFont);
    m_fBaseX = fm.horizontalAdvance(
                   QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
               52.0 / 4.0;
    m_fBaseY = fm.height() / 8.0;
    setFixedSize(DluRect(0, 0, 235, 70).size());

    auto* pIcon = new QLabel(this);
    const QRect iconRect = DluRect(11, 17, 21, 20);
    const int side = std::min(iconRect.width(), iconRect.height());
    pIcon->setGeometry(QRect(iconRect.topLeft(), QSize(side, side)));
    pIcon->setPixmap(CButtonImages::Icon(CButtonImages::Image::MainIcon).pixmap(side, side));

    auto* pVersion = new QLabel(QString::fromLatin1(kVersionText), this);
    pVersion->setObjectName(QStringLiteral("version"));
    pVersion->setTextFormat(Qt::PlainText);
    pVersion->setGeometry(DluRect(40, 10, 119, 8));

    for (int i = 0; i < 3; ++i) {
        auto* pLine = new QLabel(QString::fromLatin1(kNotices[i]), this);
        pLine->setTextFormat(Qt::PlainText);
        pLine->setGeometry(DluRect(40, 23 + 13 * i, 119, 8));
    }

    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setGeometry(DluRect(178, 7, 50, 14));
    pOk->setDefault(true);
    pOk->setAutoDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
}

QRect CAboutDlg::DluRect(int x, int y, int cx, int cy) const {
    return QRect(qRound(x * m_fBaseX), qRound(y * m_fBaseY), qRound(cx * m_fBaseX),
                 qRound(cy * m_fBaseY));
}
