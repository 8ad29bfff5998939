#include "FileListing.h"

#include "Error.h"

#include <algorithm>
#include <dirent.h>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

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
    return m_regex.match(fileName).hasMatch();
}

int naturalCompare(const QString &a, const QString &b)
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
        const char16_t fa = ca.toCaseFolded().unicode();
        const char16_t fb = cb.toCaseFolded().unicode();
        if (fa != fb)
            return fa < fb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    // Equal in natural order: fall back to the exact text so the order is total.
    return QString::compare(a, b);
}

void requireReadableFolder(const QString &folder)
{
    // Opening it is the test: permissions alone do not tell (root, ACLs, FUSE).
    DIR *opened = folder.isEmpty() ? nullptr : ::opendir(QFile::encodeName(folder).constData());
    if (opened)
        ::closedir(opened);
    if (!opened || !QFileInfo(folder).isExecutable())
        throw Error(
            Error::PathNotFound,
            QStringLiteral("The folder \"%1\" does not exist or cannot be opened.").arg(folder));
}

namespace {

QStringList listEntries(const QString &folder, QDir::Filters filters, const FilePattern *pattern)
{
    requireReadableFolder(folder);
    QStringList names;
    QDirIterator it(folder, filters | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!pattern || pattern->matches(name))
            names << name;
    }
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

} // namespace

QStringList listFiles(const QString &folder, const FilePattern &pattern)
{
    return listEntries(folder, QDir::Files, &pattern);
}

QStringList listSubfolders(const QString &folder)
{
    return listEntries(folder, QDir::Dirs, nullptr);
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

} // namespace platform
