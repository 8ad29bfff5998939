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

// The name of the group a line (without its surrounding blanks) starts.
std::optional<QByteArray> groupOf(const QByteArray &line)
{
    if (!line.startsWith('['))
        return std::nullopt;
    return line.mid(1, line.indexOf(']') - 1);
}

// The key of a "key=value" line (without its surrounding blanks).
QByteArray keyOf(const QByteArray &line)
{
    const qsizetype equals = line.indexOf('=');
    return equals > 0 ? line.left(equals).trimmed() : QByteArray();
}

// The text of a key in one group of a desktop or mimeapps.list style file;
// nothing when the key is not there.
std::optional<QString> valueIn(const QString &file, const QString &group, const QString &key)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray wantedGroup = group.toUtf8();
    const QByteArray wantedKey = key.toUtf8();
    bool inGroup = false;
    while (!input.atEnd()) {
        const QByteArray line = input.readLine().trimmed();
        if (const std::optional<QByteArray> name = groupOf(line)) {
            inGroup = *name == wantedGroup;
            continue;
        }
        if (inGroup && !wantedKey.isEmpty() && keyOf(line) == wantedKey)
            return QString::fromUtf8(line.mid(line.indexOf('=') + 1));
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

namespace {

const QByteArray DefaultsGroup = "Default Applications";
const QByteArray DefaultsHeader = '[' + DefaultsGroup + ']';

// The user's list as lines, each with its own bytes (a CR of a CRLF
// ending included), and whether the last one ended with a line break.
struct ListFile
{
    QList<QByteArray> lines;
    bool finalBreak = true;
    bool existed = false;
};

std::optional<ListFile> readList(const QString &path)
{
    ListFile list;
    QFile input(path);
    list.existed = input.exists();
    if (!list.existed)
        return list;
    if (!input.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = input.readAll();
    if (input.error() != QFileDevice::NoError)
        return std::nullopt;
    if (text.isEmpty())
        return list;
    list.lines = text.split('\n');
    list.finalBreak = text.endsWith('\n');
    // A final line break leaves an empty last piece, not a line.
    if (list.finalBreak)
        list.lines.removeLast();
    return list;
}

bool writeList(const QString &path, const ListFile &list)
{
    if (list.lines.isEmpty() && !list.existed)
        return QFile::remove(path) || !QFile::exists(path);
    QByteArray text = list.lines.join('\n');
    if (!list.lines.isEmpty() && list.finalBreak)
        text += '\n';
    return replaceFile(path, text);
}

// Where the type's line is, as the reader finds it: the first line for the
// type in any group of defaults. The group is the line's, else the first.
struct Place
{
    qsizetype line = -1;
    qsizetype groupStart = -1;
    qsizetype groupEnd = -1;
};

Place locate(const QList<QByteArray> &lines, const QString &mimeType)
{
    Place place;
    qsizetype start = -1;
    const QByteArray key = mimeType.toUtf8();
    for (qsizetype i = 0; i <= lines.size(); ++i) {
        const QByteArray line = i < lines.size() ? lines[i].trimmed() : QByteArray("[");
        if (const std::optional<QByteArray> group = groupOf(line)) {
            if (start >= 0 && (place.line >= 0 || place.groupStart < 0)) {
                place.groupStart = start;
                place.groupEnd = i;
                if (place.line >= 0)
                    return place;
            }
            start = *group == DefaultsGroup ? i : -1;
        } else if (start >= 0 && place.line < 0 && !key.isEmpty() && keyOf(line) == key) {
            place.line = i;
        }
    }
    return place;
}

// Puts a line in the type's place, or in a group of defaults.
void putLine(ListFile &list, const Place &place, const QByteArray &line)
{
    if (place.line >= 0) {
        list.lines[place.line] = line;
    } else if (place.groupStart >= 0) {
        // After the group's last line that is not blank.
        qsizetype at = place.groupEnd;
        while (at - 1 > place.groupStart && list.lines[at - 1].trimmed().isEmpty())
            --at;
        list.lines.insert(at, line);
    } else {
        list.lines << DefaultsHeader << line;
    }
}

// Takes the type's line out; its group goes too when it was made for it.
void takeLine(ListFile &list, const Place &place, bool groupWasThere)
{
    if (place.line < 0)
        return;
    list.lines.removeAt(place.line);
    if (groupWasThere)
        return;
    for (qsizetype i = place.groupStart + 1; i < place.groupEnd - 1; ++i) {
        if (!list.lines[i].trimmed().isEmpty())
            return;
    }
    list.lines.remove(place.groupStart, place.groupEnd - 1 - place.groupStart);
}

template <typename Change> bool changeList(const Change &change)
{
    const QString path = userListFile();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    FileLock lock(path);
    if (!lock.tryLock(10000))
        return false;
    std::optional<ListFile> list = readList(path);
    if (!list)
        return false;
    if (!change(*list))
        return true;
    return writeList(path, *list);
}

} // namespace

bool setUserDefault(const QString &mimeType, const std::optional<QString> &value)
{
    return changeList([&](ListFile &list) {
        const Place place = locate(list.lines, mimeType);
        if (value) {
            putLine(list, place, (mimeType + u'=' + *value).toUtf8());
        } else {
            if (place.line < 0)
                return false;
            // A group left with nothing was made for the line: it goes too.
            takeLine(list, place, false);
        }
        return true;
    });
}

std::optional<FormerLine> formerLine(const QString &mimeType)
{
    std::optional<ListFile> list = readList(userListFile());
    if (!list)
        return std::nullopt;
    const Place place = locate(list->lines, mimeType);
    FormerLine former;
    former.fileExisted = list->existed;
    former.groupExisted = place.groupStart >= 0;
    if (place.line >= 0)
        former.line = list->lines[place.line];
    return former;
}

bool restoreLine(const QString &mimeType, const FormerLine &former)
{
    return changeList([&](ListFile &list) {
        const Place place = locate(list.lines, mimeType);
        if (former.line)
            putLine(list, place, *former.line);
        else
            takeLine(list, place, former.groupExisted);
        list.existed = former.fileExisted || !list.lines.isEmpty();
        return true;
    });
}

QByteArray FormerLine::encoded() const
{
    return QByteArray(groupExisted ? "1" : "0") + (fileExisted ? " 1 " : " 0 ") +
           (line ? line->toBase64() : QByteArray("-"));
}

std::optional<FormerLine> FormerLine::decoded(const QByteArray &text)
{
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 3)
        return std::nullopt;
    FormerLine former;
    former.groupExisted = parts[0] == "1";
    former.fileExisted = parts[1] == "1";
    if (parts[2] != "-") {
        const auto line = QByteArray::fromBase64Encoding(parts[2]);
        if (!line || (*line).contains('\n'))
            return std::nullopt;
        former.line = *line;
    }
    return former;
}

} // namespace pantrel::mimeapps
