// A file name as the core's file functions take it: the bytes the file system uses for it.
// Used wherever the desktop program hands a path to the core.
#pragma once

#include <QFile>
#include <QString>

#include <string>

inline std::string LocalPath(const QString& strPath) {
    return QFile::encodeName(strPath).toStdString();
}
