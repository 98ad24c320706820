// File names between Qt and the core. The core takes a name as the bytes the file system uses;
// Qt holds it as a QString. A name that is not valid UTF-8 ("lat\xe9.vrl", from an older system)
// keeps each stray byte as one of the lone surrogates U+DC80..U+DCFF, as other programs do, so
// that a name from the command line, a drop or another instance comes back as the same bytes.
// Used wherever the desktop program hands a path to the core or takes one from it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

// The bytes of a name held as a QString.
std::string LocalPath(const QString& strPath);
// The QString that holds the bytes of a name (or of a message that quotes one).
QString QtPath(const QByteArray& bytes);
inline QString QtPath(const std::string& bytes) {
    return QtPath(QByteArray::fromStdString(bytes));
}
// strPath made absolute against the current folder and cleaned ("a/../b" is "b"), keeping the
// bytes of both (QFileInfo's absoluteFilePath loses those that are not UTF-8).
QString AbsolutePath(const QString& strPath);
// The program's arguments argv[nFirst..argc) as QStrings that keep their bytes.
QStringList QtArguments(int argc, char** argv, int nFirst = 0);
