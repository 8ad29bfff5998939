#pragma once

#include <QString>

// A file system of a few hundred KiB (a tmpfs of its own), to fill page by
// page and see what every write does when the disk runs out. Needs the
// right to mount (root, as in CI); usable() says whether it was made.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder, int kib = 512);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool usable() const { return m_mounted; }
    // Fills the disk until only so many pages are free.
    bool fillLeaving(int pages);
    // Takes the filling away again.
    void empty();

private:
    QString m_folder;
    bool m_mounted = false;
};
