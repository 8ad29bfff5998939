#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace platform {

// A ";"-separated list of wildcard patterns such as "*.bmp;*.jpg", matched
// against file names regardless of letter case.
class FilePattern
{
public:
    explicit FilePattern(const QString &patterns = QStringLiteral("*"));

    const QString &text() const { return m_text; }
    bool matches(const QString &fileName) const;

private:
    QString m_text;
    QRegularExpression m_regex;
};

// Natural order: "img2" before "img10", letter case ignored.
int naturalCompare(const QString &a, const QString &b);
inline bool naturalLess(const QString &a, const QString &b)
{
    return naturalCompare(a, b) < 0;
}
// Sorts names into natural order, folding each name once.
void sortNaturally(QStringList &names);

// Names of the visible files of a folder that match the pattern, in natural
// order. Throws Error 76 when the folder does not exist or cannot be opened.
QStringList listFiles(const QString &folder, const FilePattern &pattern);

// Names of the visible sub-folders of a folder, in natural order. Throws
// Error 76 like listFiles.
QStringList listSubfolders(const QString &folder);

// Throws Error 76 unless the folder exists and can be listed.
void requireReadableFolder(const QString &folder);

// Folder + "/" + name, without doubling the separator after a root.
QString joinPath(const QString &folder, const QString &name);

} // namespace platform
