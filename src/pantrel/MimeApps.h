#pragma once

#include <QString>
#include <QStringList>

namespace pantrel::mimeapps {

// The desktop's choice of program per media type, as the XDG MIME
// Applications rules give it: mimeapps.list files in the configuration and
// data folders, then the installed programs' own claims (mimeinfo.cache).

// The "applications" folders, most important first.
QStringList applicationFolders();
// The mimeapps.list files, most important first.
QStringList listFiles();
// The file of an installed desktop entry by its id; empty when not installed.
QString entryFile(const QString &desktopId);
// The desktop entry id of the program that opens the type, or a type it
// derives from; empty when none does.
QString defaultFor(const QString &mimeType);

} // namespace pantrel::mimeapps
