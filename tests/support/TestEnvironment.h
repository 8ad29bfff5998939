#pragma once

#include <optional>
#include <QFileDevice>
#include <QStringList>
#include <QTemporaryDir>

// A private HOME and XDG tree for one test, so no test touches the real
// user's files or reads the machine's desktop entries, default programs and
// MIME caches. Create it before anything reads the environment; every
// variable it changes is restored when it ends.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString dataHome() const { return m_dir.path() + QStringLiteral("/data"); }
    QString root() const { return m_dir.path(); }
    // A fresh folder inside the temporary tree.
    QString makeFolder(const QString &relative) const;
    // A file of the given size, with its folders.
    QString makeFile(const QString &relative, qint64 size = 0) const;
    // A shell script that can be run, for a stand-in of a helper program.
    QString makeScript(const QString &relative, const QByteArray &text) const;
    // Goes on as an ordinary user, so that permissions bind as they do for
    // users: as root, opens the whole tree to everyone and takes the nobody
    // account until the environment ends. The paths given then get the
    // permissions given. False when that cannot be.
    bool actAsOrdinaryUser(const QStringList &paths = {},
                           QFileDevice::Permissions permissions = {});
    // As actAsOrdinaryUser, with a folder that can be read but not written:
    // the program's settings folder by default.
    bool lockFolder(const QString &folder = {});

private:
    QTemporaryDir m_dir;
    QList<std::pair<const char *, std::optional<QByteArray>>> m_saved;
    bool m_switchedUser = false;
};
