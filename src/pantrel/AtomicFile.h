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

// Removes the temporaries that replaceFile leaves beside "path" when its
// writer is killed: "<name>.XXXXXX" files no writer holds, at least the given
// age old. replaceFile calls it first. Gives how many it removed.
int removeStaleTemporaries(const QString &path, int minimumAgeSeconds = 60);

// A lock on "<path>.lock" between processes, held by the open file: the
// system lets it go when its holder ends, however it ends, so no lock is
// ever left stale. The file itself stays.
class FileLock
{
public:
    explicit FileLock(const QString &path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Waits up to the time given for a live holder to finish.
    bool tryLock(int timeoutMs);

private:
    QByteArray m_path;
    int m_fd = -1;
};

} // namespace pantrel
