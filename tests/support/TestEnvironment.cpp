#include "TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

TestEnvironment::TestEnvironment()
{
    const QString data = dataHome();
    // The system folders are ours: the media types the tests need, and no
    // program or default choice of the machine's.
    const QList<std::pair<const char *, std::optional<QString>>> variables = {
        {"HOME", home()},
        {"XDG_CONFIG_HOME", configHome()},
        {"XDG_DATA_HOME", data},
        {"XDG_CACHE_HOME", root() + QStringLiteral("/cache")},
        {"XDG_STATE_HOME", root() + QStringLiteral("/state")},
        {"XDG_DATA_DIRS", makeFolder(QStringLiteral("system")) + QStringLiteral(":" TEST_XDG_DATA)},
        {"XDG_CONFIG_DIRS", makeFolder(QStringLiteral("etc"))},
        {"XDG_CURRENT_DESKTOP", std::nullopt},
        {"PANTREL_REGISTRY", root() + QStringLiteral("/registry.reg")},
    };
    QDir().mkpath(home());
    QDir().mkpath(configHome());
    for (const auto &[name, value] : variables) {
        m_saved.append(
            {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    }
}

TestEnvironment::~TestEnvironment()
{
    // Back to root before the tree is removed.
    if (m_switchedUser && (seteuid(0) != 0 || setegid(0) != 0))
        qFatal("cannot return to the root account");
    for (const auto &[name, value] : m_saved) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

bool TestEnvironment::actAsOrdinaryUser(const QStringList &paths,
                                        QFileDevice::Permissions permissions)
{
    const auto restrict = [&] {
        for (const QString &path : paths) {
            if (!QFile::setPermissions(path, permissions))
                return false;
        }
        return true;
    };
    if (geteuid() != 0)
        return restrict();
    constexpr unsigned nobody = 65534;
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                          QFileDevice::ReadOther | QFileDevice::WriteOther;
    const QFileDevice::Permissions exe =
        QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    QFile::setPermissions(root(), open | exe);
    QDirIterator it(root(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        QFile::setPermissions(entry.filePath(), entry.isDir() ? open | exe : open);
    }
    if (!restrict() || setegid(nobody) != 0)
        return false;
    if (seteuid(nobody) != 0) {
        [[maybe_unused]] const int ignored = setegid(0);
        return false;
    }
    m_switchedUser = true;
    return true;
}

bool TestEnvironment::lockFolder(const QString &folder)
{
    const QString path = folder.isEmpty() ? configHome() + QStringLiteral("/Imagrove") : folder;
    QDir().mkpath(path);
    return actAsOrdinaryUser({path}, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                         QFileDevice::ReadOther | QFileDevice::ExeOther);
}

QString TestEnvironment::makeFolder(const QString &relative) const
{
    const QString path = root() + u'/' + relative;
    QDir().mkpath(path);
    return path;
}

QString TestEnvironment::makeFile(const QString &relative, qint64 size) const
{
    const QString path = root() + u'/' + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(size, 'x'));
    return path;
}

QString TestEnvironment::makeScript(const QString &relative, const QByteArray &text) const
{
    const QString path = makeFile(relative);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("#!/bin/sh\n" + text);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return path;
}
