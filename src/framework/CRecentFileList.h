// The recent-file list: at most four documents, newest first, kept in the settings under
// "Recent File List" and shown in the File menu. Owned by the application.
#pragma once

#include <QString>
#include <QStringList>

class QAction;

class CRecentFileList {
public:
    explicit CRecentFileList(int nSize);

    void Add(const QString& strPath);
    void Remove(int nIndex);
    const QStringList& Files() const { return m_files; }

    void ReadList();
    void WriteList() const;

    // Shows the entries on the File menu's recent-file items (one action per entry): "&1 path",
    // ...; with no entry the first item reads "Recent File".
    void UpdateMenu(QAction* const* pActions, int nCount) const;

private:
    int m_nSize;
    QStringList m_files;
};
