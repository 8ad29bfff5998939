#include "TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

TestEnvironment::TestEnvironment()
    : m_oldHome(qgetenv("HOME")), m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
{
    QDir().mkpath(home());
    QDir().mkpath(configHome());
    qputenv("HOME", home().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (root() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("PANTREL_REGISTRY", (root() + QStringLiteral("/registry.reg")).toLocal8Bit());
}

TestEnvironment::~TestEnvironment()
{
    // Back to root before the tree is removed.
    if (m_switchedUser && (seteuid(0) != 0 || setegid(0) != 0))
        qFatal("cannot return to the root account");
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
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
