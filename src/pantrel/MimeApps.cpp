#include "MimeApps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>

namespace pantrel::mimeapps {

namespace {

QStringList pathList(const char *variable, const QString &fallback)
{
    QStringList folders = qEnvironmentVariable(variable).split(u':', Qt::SkipEmptyParts);
    return folders.isEmpty() ? fallback.split(u':') : folders;
}

QString configHome()
{
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    return home.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : home;
}

QString dataHome()
{
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    return home.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : home;
}

// The ids listed for a type in one group of a mimeapps.list style file.
QStringList idsIn(const QString &file, const QString &group, const QString &type)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return {};
    QString current;
    QStringList ids;
    while (!input.atEnd()) {
        const QString line = QString::fromUtf8(input.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            current = line.mid(1, line.indexOf(u']') - 1);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current == group && equals > 0 && line.left(equals).trimmed() == type)
            ids << line.mid(equals + 1).split(u';', Qt::SkipEmptyParts);
    }
    return ids;
}

QString defaultForExactly(const QString &type)
{
    const QStringList lists = listFiles();
    for (const QString &list : lists) {
        for (const QString &id : idsIn(list, QStringLiteral("Default Applications"), type)) {
            if (!entryFile(id).isEmpty())
                return id;
        }
    }
    // No default: any program associated with the type that was not removed.
    QSet<QString> removed;
    QStringList candidates;
    for (const QString &list : lists) {
        for (const QString &id : idsIn(list, QStringLiteral("Removed Associations"), type))
            removed.insert(id);
        candidates << idsIn(list, QStringLiteral("Added Associations"), type);
    }
    for (const QString &folder : applicationFolders())
        candidates << idsIn(folder + QStringLiteral("/mimeinfo.cache"),
                            QStringLiteral("MIME Cache"), type);
    for (const QString &id : candidates) {
        if (!removed.contains(id) && !entryFile(id).isEmpty())
            return id;
    }
    return {};
}

} // namespace

QStringList applicationFolders()
{
    QStringList folders{dataHome() + QStringLiteral("/applications")};
    for (const QString &data :
         pathList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        folders << data + QStringLiteral("/applications");
    return folders;
}

QStringList listFiles()
{
    QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    QStringList configFolders{configHome()};
    configFolders << pathList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    QStringList files;
    const auto add = [&](const QString &folder) {
        for (const QString &desktop : desktops)
            files << folder + u'/' + desktop.toLower() + QStringLiteral("-mimeapps.list");
        files << folder + QStringLiteral("/mimeapps.list");
    };
    for (const QString &folder : configFolders)
        add(folder);
    for (const QString &folder : applicationFolders())
        add(folder);
    return files;
}

QString entryFile(const QString &desktopId)
{
    if (desktopId.isEmpty() || desktopId.contains(u'/'))
        return {};
    // An id "vendor-app.desktop" may also live as vendor/app.desktop.
    QStringList relatives{desktopId};
    if (const qsizetype dash = desktopId.indexOf(u'-'); dash > 0)
        relatives << desktopId.left(dash) + u'/' + desktopId.mid(dash + 1);
    for (const QString &folder : applicationFolders()) {
        for (const QString &relative : relatives) {
            const QString file = folder + u'/' + relative;
            if (QFileInfo(file).isFile())
                return file;
        }
    }
    return {};
}

QString defaultFor(const QString &mimeType)
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    QStringList types{mimeType};
    if (type.isValid())
        types << type.allAncestors();
    for (const QString &name : types) {
        if (QString id = defaultForExactly(name); !id.isEmpty())
            return id;
    }
    return {};
}

} // namespace pantrel::mimeapps
