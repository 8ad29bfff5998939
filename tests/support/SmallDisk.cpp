#include "SmallDisk.h"

#include <QDir>
#include <QFile>
#include <sys/mount.h>
#include <sys/statvfs.h>

SmallDisk::SmallDisk(const QString &folder, int kib) : m_folder(folder)
{
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0777";
    m_mounted = ::mount("imagrove-test", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool SmallDisk::fillLeaving(int pages)
{
    empty();
    struct statvfs disk = {};
    if (::statvfs(QFile::encodeName(m_folder).constData(), &disk) != 0)
        return false;
    const qint64 page = qint64(disk.f_bsize);
    const qint64 fill = qint64(disk.f_bavail) * page - pages * page;
    QFile filler(m_folder + QStringLiteral("/.filler"));
    if (fill <= 0)
        return true;
    return filler.open(QIODevice::WriteOnly) && filler.write(QByteArray(fill, 'x')) == fill &&
           filler.flush();
}

void SmallDisk::empty()
{
    QFile::remove(m_folder + QStringLiteral("/.filler"));
}
