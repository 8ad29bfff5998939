#include "FileListing.h"
#include "FileNames.h"

#include "Error.h"

#include <algorithm>
#include <dirent.h>
#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FilePattern::FilePattern(const QString &patterns) : m_text(patterns)
{
    QStringList parts;
    for (const QString &part : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            parts << QRegularExpression::wildcardToRegularExpression(trimmed);
    }
    // An empty pattern matches nothing, as an empty list of wildcards would.
    const QString joined = parts.isEmpty() ? QStringLiteral("(?!)") : parts.join(u'|');
    m_regex = QRegularExpression(joined, QRegularExpression::CaseInsensitiveOption);
    m_regex.optimize();
}

bool FilePattern::matches(const QString &fileName) const
{
    // The expression engine takes no lone surrogates: bytes carried in a
    // name are matched as U+FFFD.
    return m_regex.match(displayName(fileName)).hasMatch();
}

namespace {

// Natural comparison of two names whose letters are already case-folded.
int naturalCompareFolded(const QString &a, const QString &b)
{
    const qsizetype na = a.size();
    const qsizetype nb = b.size();
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < na && j < nb) {
        const QChar ca = a[i];
        const QChar cb = b[j];
        if (ca.isDigit() && cb.isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < na && a[ei].isDigit())
                ++ei;
            while (ej < nb && b[ej].isDigit())
                ++ej;
            // Skip leading zeros so that the run lengths compare the magnitudes.
            qsizetype si = i;
            qsizetype sj = j;
            while (si + 1 < ei && a[si] == u'0')
                ++si;
            while (sj + 1 < ej && b[sj] == u'0')
                ++sj;
            if (ei - si != ej - sj)
                return (ei - si) < (ej - sj) ? -1 : 1;
            for (qsizetype k = 0; k < ei - si; ++k) {
                if (a[si + k] != b[sj + k])
                    return a[si + k] < b[sj + k] ? -1 : 1;
            }
            i = ei;
            j = ej;
            continue;
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return 0;
}

// Unit by unit, as the comparison reads it; digits fold to themselves.
QString folded(const QString &name)
{
    QString result(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        result[i] = name[i].toCaseFolded();
    return result;
}

} // namespace

int naturalCompare(const QString &a, const QString &b)
{
    const int natural = naturalCompareFolded(folded(a), folded(b));
    // Equal in natural order: fall back to the exact text so the order is total.
    return natural != 0 ? natural : QString::compare(a, b);
}

void sortNaturally(QStringList &names)
{
    // Each name is folded once, not in every comparison.
    struct Keyed
    {
        QString key;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString &name : names)
        keyed.push_back({folded(name), std::move(name)});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int natural = naturalCompareFolded(a.key, b.key);
        return natural != 0 ? natural < 0 : QString::compare(a.name, b.name) < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        names[qsizetype(i)] = std::move(keyed[i].name);
}

void requireReadableFolder(const QString &folder)
{
    // Opening it is the test: permissions alone do not tell (root, ACLs, FUSE).
    const QByteArray bytes = nameBytes(folder);
    DIR *opened = folder.isEmpty() ? nullptr : ::opendir(bytes.constData());
    if (opened)
        ::closedir(opened);
    if (!opened || ::access(bytes.constData(), X_OK) != 0)
        throw Error(
            Error::PathNotFound,
            QStringLiteral("The folder \"%1\" does not exist or cannot be opened.").arg(folder));
}

namespace {

enum class Kind { Files, Folders };

// One pass over the folder's entries. The entry's own type is trusted where
// the file system gives it, so a plain file costs no stat; links and
// entries of unknown type are looked up, following links.
QStringList listEntries(const QString &folder, Kind kind, const FilePattern *pattern)
{
    requireReadableFolder(folder);
    QStringList names;
    DIR *dir = ::opendir(nameBytes(folder).constData());
    if (!dir)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        // Hidden entries, and so "." and "..", are not listed.
        if (entry->d_name[0] == '.')
            continue;
        const QString name = nameFromBytes(entry->d_name);
        if (pattern && !pattern->matches(name))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info = {};
            if (::fstatat(fd, entry->d_name, &info, 0) != 0)
                continue; // a broken link
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == (kind == Kind::Folders ? DT_DIR : DT_REG))
            names << name;
    }
    ::closedir(dir);
    sortNaturally(names);
    return names;
}

} // namespace

QStringList listFiles(const QString &folder, const FilePattern &pattern)
{
    return listEntries(folder, Kind::Files, &pattern);
}

QStringList listSubfolders(const QString &folder)
{
    return listEntries(folder, Kind::Folders, nullptr);
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

} // namespace platform
