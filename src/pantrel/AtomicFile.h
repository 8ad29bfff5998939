#pragma once

#include <QByteArray>
#include <QString>

namespace pantrel {

// Replaces a file with new contents, whole or not at all: the contents go
// to a fresh file beside it, are flushed to the disk with every error
// checked, and only then take the file's name. The file's permissions are
// kept (new files get 0644, or 0755 when executable). On failure the old
// file is untouched, the fresh one removed, and errorString says why.
bool replaceFile(const QString &path, const QByteArray &contents, bool executable = false,
                 QString *errorString = nullptr);

} // namespace pantrel
