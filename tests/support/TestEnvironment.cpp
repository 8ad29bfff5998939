#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
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
