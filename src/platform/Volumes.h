#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Mounted volumes stand in for drives: a volume's root is its mount point.
namespace volumes {

// Mount points of the real file systems, "/" first.
QStringList roots();

// The mount point of the volume that holds a path (the path need not exist:
// its nearest existing ancestor decides).
QString rootOf(const QString &path);

// Throws Error 68 when the volume is not ready or its root cannot be read.
void requireReady(const QString &root);

// The folder last opened on a volume during this run, else its root.
QString currentFolder(const QString &root);
void rememberFolder(const QString &folder);

} // namespace volumes
} // namespace platform
