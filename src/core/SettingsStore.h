#pragma once

#include <functional>
#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

class QSettings;

namespace core {

// The per-user store of string values, addressed by application, section and
// key. Each application is its own INI file; names match regardless of letter
// case, and a write keeps the exact form it is given.
class SettingsStore
{
public:
    // Files live under the given folder; by default $XDG_CONFIG_HOME/Imagrove.
    explicit SettingsStore(QString folder = defaultFolder());

    static QString defaultFolder();

    // The stored text, or the default as text: a string as is, a number as its
    // decimal digits, a Boolean as "True"/"False", no default as "".
    QString get(const QString &app, const QString &section, const QString &key,
                const QVariant &defaultValue = {}) const;
    // Both throw Error 75 when the store cannot be written. A file that
    // could not be read whole is first kept beside it as "<file>.damaged".
    void save(const QString &app, const QString &section, const QString &key, const QString &value);
    // Several keys of one section in one write: another copy of the program
    // sees all of them or none.
    void save(const QString &app, const QString &section,
              const QList<std::pair<QString, QString>> &values);
    void remove(const QString &app, const QString &section, const QString &key);

    // The file that holds an application's tree.
    QString fileFor(const QString &app) const;

    static QString defaultText(const QVariant &defaultValue);

    // How long a write waits for another copy of the program to finish its own.
    static constexpr int LockWaitMs = 10000;

private:
    // One change of an application's file, whole or not at all; a damaged
    // file is first kept beside it.
    void change(const QString &app, const std::function<void(QSettings &)> &edit);

    QString m_folder;
};

} // namespace core
