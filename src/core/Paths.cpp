#include "Paths.h"

#include "platform/Error.h"
#include "platform/FileListing.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace core {

QString SplitPath(AppState &state, const QString &path)
{
    constexpr qsizetype scanLimit = 1500;
    const qsizetype stop = std::max<qsizetype>(0, path.size() - scanLimit);
    for (qsizetype i = path.size() - 1; i >= stop; --i) {
        if (path[i] == u'/') {
            state.CommandLineFile = path.mid(i + 1);
            state.CommandLineFolder = path.left(i);
            return state.CommandLineFile;
        }
    }
    return {};
}

QString ShortFileName(AppState &state, const QString &path)
{
    return SplitPath(state, path);
}

QString commandLinePath(const QString &commandLine)
{
    if (commandLine.isEmpty() || commandLine.trimmed() == QLatin1String("\"\""))
        return {};
    QString path = commandLine;
    if (path.endsWith(u'"'))
        path.chop(1);
    if (path.startsWith(u'"'))
        path.remove(0, 1);
    return path;
}

QString commandLineOf(const QStringList &arguments)
{
    const auto exists = [](const QString &argument) {
        const QString path = commandLinePath(argument);
        return !path.isEmpty() && (platform::regularFileFacts(path) || QFileInfo(path).isDir());
    };
    const QString joined = arguments.join(u' ');
    if (arguments.size() <= 1 || exists(joined))
        return joined;
    for (const QString &argument : arguments) {
        if (exists(argument))
            return argument;
    }
    return arguments.first();
}

QString startFolder(const QString &stored, const QString &programFolder)
{
    try {
        platform::requireReadableFolder(stored);
        return stored;
    } catch (const platform::Error &) {
        return programFolder;
    }
}

QString defaultStartFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

} // namespace core
