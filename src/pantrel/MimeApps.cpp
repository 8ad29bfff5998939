#include "MimeApps.h"
#include "AtomicFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

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

// The text of a key in one group of a desktop or mimeapps.list style file;
// nothing when the key is not there.
std::optional<QString> valueIn(const QString &file, const QString &group, const QString &key)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString current;
    while (!input.atEnd()) {
        const QString line = QString::fromUtf8(input.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            current = line.mid(1, line.indexOf(u']') - 1);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current == group && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1);
    }
    return std::nullopt;
}

// The ids listed for a type in one group of a mimeapps.list style file.
QStringList idsIn(const QString &file, const QString &group, const QString &type)
{
    return valueIn(file, group, type).value_or(QString()).split(u';', Qt::SkipEmptyParts);
}

} // namespace

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

QString mediaType(const QString &extension)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + extension,
                                                           QMimeDatabase::MatchExtension);
    return type.isValid() && !type.isDefault() ? type.name() : QString();
}

QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (!argument.isEmpty() && std::none_of(argument.begin(), argument.end(),
                                            [](QChar c) { return reserved.contains(c); }))
        return argument;
    QString quoted;
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

QString entryValue(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n"));
}

namespace {

// The value of a key of the [Desktop Entry] group, its escapes undone.
QString entryKey(const QString &file, const QString &key)
{
    QString value = valueIn(file, QStringLiteral("Desktop Entry"), key).value_or(QString());
    value.replace(QStringLiteral("\\\\"), QStringLiteral("\x01"));
    value.replace(QStringLiteral("\\s"), QStringLiteral(" "));
    value.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return value.replace(u'\x01', u'\\');
}

// The first word of an Exec line, its quoting undone.
QString firstWord(const QString &exec)
{
    QString word;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == u'\\' && i + 1 < exec.size()) {
            word += exec[++i];
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c.isSpace() && !quoted) {
            if (!word.isEmpty())
                break;
        } else {
            word += c;
        }
    }
    return word;
}

QString userListFile()
{
    return configHome() + QStringLiteral("/mimeapps.list");
}

} // namespace

QString programOf(const QString &desktopId)
{
    const QString file = entryFile(desktopId);
    if (file.isEmpty())
        return {};
    QString program = firstWord(entryKey(file, QStringLiteral("Exec")));
    if (program.isEmpty())
        return {};
    program.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (QDir::isAbsolutePath(program))
        return QDir::cleanPath(program);
    return QStandardPaths::findExecutable(program);
}

QString entryFor(const QString &program, const QString &mimeType)
{
    const QString wanted = QDir::cleanPath(program);
    const QString base = QFileInfo(wanted).completeBaseName().toLower();
    const QString installed = base + QStringLiteral(".desktop");
    if (programOf(installed) == wanted)
        return installed;
    // A program of its own: named by its path, so two programs of one name
    // keep their entries apart.
    const QByteArray hash =
        QCryptographicHash::hash(wanted.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    QString name = base;
    name.replace(QRegularExpression(QStringLiteral("[^a-z0-9_.+]")), QStringLiteral("_"));
    const QString id = QStringLiteral("pantrel-%1-%2.desktop").arg(name, QLatin1String(hash));
    const QString file = dataHome() + QStringLiteral("/applications/") + id;
    QStringList types = entryKey(file, QStringLiteral("MimeType")).split(u';', Qt::SkipEmptyParts);
    if (!types.contains(mimeType))
        types << mimeType;
    QString exec = execArgument(wanted);
    exec.replace(u'%', QStringLiteral("%%"));
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=") +
                         entryValue(QFileInfo(wanted).completeBaseName()) +
                         QStringLiteral("\nExec=") + entryValue(exec) +
                         QStringLiteral(" %f\nMimeType=") + types.join(u';') +
                         QStringLiteral(";\nNoDisplay=true\nTerminal=false\n");
    if (!QDir().mkpath(QFileInfo(file).path()))
        return {};
    if (!replaceFile(file, text.toUtf8()))
        return {};
    return id;
}

void withdrawType(const QString &mimeType)
{
    const QStringList named =
        userDefault(mimeType).value_or(QString()).split(u';', Qt::SkipEmptyParts);
    const QDir folder(dataHome() + QStringLiteral("/applications"));
    const QStringList ids =
        folder.entryList({QStringLiteral("pantrel-*.desktop")}, QDir::Files | QDir::Hidden);
    for (const QString &id : ids) {
        if (named.contains(id))
            continue;
        const QString file = folder.filePath(id);
        QStringList types =
            entryKey(file, QStringLiteral("MimeType")).split(u';', Qt::SkipEmptyParts);
        if (types.removeAll(mimeType) == 0)
            continue;
        if (types.isEmpty()) {
            QFile::remove(file);
            continue;
        }
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly))
            continue;
        QList<QByteArray> lines = input.readAll().split('\n');
        input.close();
        for (QByteArray &line : lines) {
            if (line.startsWith("MimeType="))
                line = "MimeType=" + types.join(u';').toUtf8() + ';';
        }
        replaceFile(file, lines.join('\n'));
    }
}

std::optional<QString> userDefault(const QString &mimeType)
{
    return valueIn(userListFile(), QStringLiteral("Default Applications"), mimeType);
}

bool setUserDefault(const QString &mimeType, const std::optional<QString> &value)
{
    const QString path = userListFile();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    FileLock lock(path);
    if (!lock.tryLock(10000))
        return false;
    QFile input(path);
    QList<QByteArray> lines;
    if (input.exists()) {
        if (!input.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = input.readAll();
        input.close();
        lines = text.split('\n');
        // A final line break leaves an empty last piece, not a line.
        if (text.endsWith('\n'))
            lines.removeLast();
    }
    const QByteArray header = "[Default Applications]";
    const QByteArray newLine = (mimeType + u'=' + value.value_or(QString())).toUtf8();
    qsizetype start = -1, end = lines.size(), found = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('[')) {
            if (start >= 0) {
                end = i;
                break;
            }
            if (line == header)
                start = i;
        } else if (start >= 0 && line.indexOf('=') > 0 &&
                   line.left(line.indexOf('=')).trimmed() == mimeType.toUtf8()) {
            found = i;
        }
    }
    if (value) {
        if (found >= 0) {
            lines[found] = newLine;
        } else if (start >= 0) {
            // After the group's last line that is not blank.
            qsizetype at = end;
            while (at - 1 > start && lines[at - 1].trimmed().isEmpty())
                --at;
            lines.insert(at, newLine);
        } else {
            lines << header << newLine;
        }
    } else if (found >= 0) {
        lines.removeAt(found);
        --end;
        // A group left with nothing was made for the line: it goes too.
        if (end == start + 1)
            lines.removeAt(start);
    } else {
        return true;
    }
    if (lines.isEmpty())
        return QFile::remove(path) || !QFile::exists(path);
    return replaceFile(path, lines.join('\n') + '\n');
}

} // namespace pantrel::mimeapps
