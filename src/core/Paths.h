#pragma once

#include "AppState.h"

#include <QString>
#include <QStringList>

namespace core {

// Splits at the last "/" found within the last 1500 characters: sets the
// state's CommandLineFile to the part after it and CommandLineFolder to the
// part before it, and returns the file name. When no separator is found the
// result is empty and both strings keep their values.
QString SplitPath(AppState &state, const QString &path);

// There is no short form of a path here: splits the path as given.
QString ShortFileName(AppState &state, const QString &path);

// The image path of a command line with one pair of surrounding quotes
// removed, or "" when the line names nothing.
QString commandLinePath(const QString &commandLine);

// The command line the program acts on, from its arguments: a name with
// spaces that the desktop passed unquoted comes split, and is joined again
// where the joined path exists; several files (a desktop's "%F") give the
// first that exists, else the first.
QString commandLineOf(const QStringList &arguments);

// The folder to start in: the stored start folder when it exists and can be
// listed, otherwise the program folder.
QString startFolder(const QString &stored, const QString &programFolder);

// Where a user starts when no home folder is set: the Pictures folder when
// there is one, else the home folder.
QString defaultStartFolder();

} // namespace core
