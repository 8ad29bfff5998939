#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pantrel::mimeapps {

// The desktop's choice of program per media type, as the XDG MIME
// Applications rules give it: mimeapps.list files in the configuration and
// data folders, then the installed programs' own claims (mimeinfo.cache).

// The "applications" folders, most important first.
QStringList applicationFolders();
// The mimeapps.list files, most important first.
QStringList listFiles();
// The file of an installed desktop entry by its id; empty when not installed.
QString entryFile(const QString &desktopId);
// The desktop entry id of the program that opens the type, or a type it
// derives from; empty when none does.
QString defaultFor(const QString &mimeType);
// The same for the type alone.
QString defaultForExactly(const QString &mimeType);

// The media type of files with an extension (".bmp"); empty when the
// extension names no known type.
QString mediaType(const QString &extension);
// The program a desktop entry starts, as an absolute path; empty when its
// Exec line names none that can be found.
QString programOf(const QString &desktopId);
// The id of a desktop entry that starts the program, writing a user entry
// for it (one that also lists the type) when none is installed. Empty when
// none can be written.
QString entryFor(const QString &program, const QString &mimeType);

// Takes the type out of the entries written by entryFor that the user's
// default no longer names; an entry left with no type is removed.
void withdrawType(const QString &mimeType);

// Desktop entry texts: one argument of an Exec line, quoted where needed,
// and a value of the string type with its escapes.
QString execArgument(const QString &argument);
QString entryValue(QString text);

// The user's own default line for a type in $XDG_CONFIG_HOME/mimeapps.list:
// its value, or nothing when the user has none.
std::optional<QString> userDefault(const QString &mimeType);
// Sets the user's default for the type, or removes the line when value is
// empty, keeping every other line as it was. False when the file cannot be
// locked, read or written.
bool setUserDefault(const QString &mimeType, const std::optional<QString> &value);

// What the user's list held for a type before a change: its line with its
// own bytes (or none), and whether the group and the file were there. What
// a change added is taken back by it byte for byte.
struct FormerLine
{
    std::optional<QByteArray> line;
    bool groupExisted = false;
    bool fileExisted = false;

    // One line of text for a record, and back; nothing for a damaged one.
    QByteArray encoded() const;
    static std::optional<FormerLine> decoded(const QByteArray &text);
};
// Nothing when the list cannot be read.
std::optional<FormerLine> formerLine(const QString &mimeType);
bool restoreLine(const QString &mimeType, const FormerLine &former);

} // namespace pantrel::mimeapps
