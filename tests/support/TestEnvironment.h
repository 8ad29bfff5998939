#pragma once

#include <QTemporaryDir>

// A private HOME and XDG tree for one test, so no test touches the real
// user's files. Create it before anything reads the environment.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString root() const { return m_dir.path(); }
    // A fresh folder inside the temporary tree.
    QString makeFolder(const QString &relative) const;
    // A file of the given size, with its folders.
    QString makeFile(const QString &relative, qint64 size = 0) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
};
