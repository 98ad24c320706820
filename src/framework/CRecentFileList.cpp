#include "CRecentFileList.h"
#include "LocalPath.h"

#include <QAction>
#include <QDir>
#include <QSettings>

namespace {
const QString kSection = QStringLiteral("Recent File List");
}

CRecentFileList::CRecentFileList(int nSize) : m_nSize(nSize) {}

void CRecentFileList::Add(const QString& strPath) {
    const QString path = AbsolutePath(strPath);
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > m_nSize)
        m_files.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex < 0 || nIndex >= m_files.size())
        return;
    m_files.removeAt(nIndex);
    WriteList();
}

// Keys File1 .. File4, as many as there are entries.
void CRecentFileList::ReadList() {
    QSettings settings;
    m_files.clear();
    for (int i = 0; i < m_nSize; ++i) {
        const QString path =
            settings.value(kSection + QStringLiteral("/File%1").arg(i + 1)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
}

void CRecentFileList::WriteList() const {
    QSettings settings;
    settings.remove(kSection);
    for (int i = 0; i < m_files.size(); ++i)
        settings.setValue(kSection + QStringLiteral("/File%1").arg(i + 1), m_files[i]);
}

void CRecentFileList::UpdateMenu(QAction* const* pActions, int nCount) const {
    for (int i = 0; i < nCount; ++i) {
        QAction* pAction = pActions[i];
        if (i < m_files.size()) {
            QString name = QDir::toNativeSeparators(m_files[i]);
            name.replace(QLatin1Char('&'), QStringLiteral("&&"));
            pAction->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
            pAction->setVisible(true);
        } else {
            pAction->setText(QStringLiteral("Recent File"));
            pAction->setVisible(i == 0);
        }
    }
}
