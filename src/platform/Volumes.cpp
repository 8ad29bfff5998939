#include "Volumes.h"

#include "Error.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>

namespace platform::volumes {

namespace {

bool isPseudo(const QStorageInfo &volume)
{
    static const QSet<QByteArray> pseudoTypes = {
        "proc",       "sysfs",     "cgroup",  "cgroup2",     "devpts",          "devtmpfs",
        "securityfs", "pstore",    "debugfs", "tracefs",     "configfs",        "fusectl",
        "mqueue",     "hugetlbfs", "bpf",     "binfmt_misc", "autofs",          "rpc_pipefs",
        "nsfs",       "efivarfs",  "ramfs",   "selinuxfs",   "fuse.gvfsd-fuse", "fuse.portal"};
    if (pseudoTypes.contains(volume.fileSystemType()))
        return true;
    const QString root = volume.rootPath();
    static const QStringList systemTrees = {QStringLiteral("/proc"), QStringLiteral("/sys"),
                                            QStringLiteral("/dev"), QStringLiteral("/run")};
    for (const QString &tree : systemTrees) {
        if (root == tree || root.startsWith(tree + u'/'))
            return true;
    }
    // Single files bind-mounted over others (common in containers) are no volumes.
    return !QFileInfo(root).isDir();
}

QHash<QString, QString> &lastFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

QStringList roots()
{
    QStringList result;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (isPseudo(volume) || result.contains(volume.rootPath()))
            continue;
        result << volume.rootPath();
    }
    result.removeAll(QStringLiteral("/"));
    std::sort(result.begin(), result.end());
    result.prepend(QStringLiteral("/"));
    return result;
}

QString rootOf(const QString &path)
{
    QString existing = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/")) {
        const int cut = existing.lastIndexOf(u'/');
        existing = cut <= 0 ? QStringLiteral("/") : existing.left(cut);
    }
    const QString root = QStorageInfo(existing).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void requireReady(const QString &root)
{
    const QStorageInfo volume(root);
    const QFileInfo info(root);
    // A folder with no mount entry (a chroot, a build sandbox) is ready when it can be read.
    const bool mountedButNotReady = volume.isValid() && !volume.isReady();
    if (mountedButNotReady || !info.isDir() || !info.isReadable())
        throw Error(Error::DeviceUnavailable,
                    QStringLiteral("The volume \"%1\" is not available.").arg(root));
}

QString currentFolder(const QString &root)
{
    const QString folder = lastFolders().value(root);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return root;
}

void rememberFolder(const QString &folder)
{
    lastFolders().insert(rootOf(folder), folder);
}

} // namespace platform::volumes
