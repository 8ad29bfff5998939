#include "SettingsStore.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <optional>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace core {

namespace {

QString findName(const QStringList &names, const QString &wanted)
{
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

// Application names are matched regardless of case, so "imagrove2" and
// "Imagrove2" share one file.
QString canonicalApp(const QString &app)
{
    for (const char *known : {"Imagrove", "Imagrove2"}) {
        if (app.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return QLatin1String(known);
    }
    return app.toLower();
}

platform::Error notWritable(const QString &file)
{
    return platform::Error(platform::Error::PathFileAccess,
                           QStringLiteral("The settings file \"%1\" cannot be written.").arg(file));
}

// True when the reader dropped lines of the file: an unterminated quote,
// for one, swallows every line after it.
bool isDamaged(QSettings &settings)
{
    QFile raw(settings.fileName());
    if (!raw.open(QIODevice::ReadOnly))
        return false;
    int keyLines = 0;
    for (const QByteArray &line : raw.readAll().split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.isEmpty() || text.startsWith(';') || text.startsWith('#') || text.startsWith('['))
            continue;
        // A line that is neither a key nor a section is dropped by the reader.
        if (!text.contains('='))
            return true;
        ++keyLines;
    }
    return settings.status() == QSettings::FormatError || settings.allKeys().size() < keyLines;
}

// A value as the file has it, for one the reader turned into a list (an
// unquoted comma): the text after "=" on the key's line in the section.
std::optional<QString> rawValue(const QString &file, const QString &section, const QString &key)
{
    QFile raw(file);
    if (!raw.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool inSection = false;
    for (const QByteArray &line : raw.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.startsWith(u'[')) {
            inSection = text == u'[' + section + u']';
            continue;
        }
        const qsizetype equals = text.indexOf(u'=');
        if (inSection && equals > 0 && text.left(equals).trimmed() == key)
            return text.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

// The first free name of "<file>.damaged", "<file>.damaged.2"...
QString damagedCopyName(const QString &file)
{
    QString name = file + QStringLiteral(".damaged");
    for (int n = 2; QFile::exists(name); ++n)
        name = file + QStringLiteral(".damaged.%1").arg(n);
    return name;
}

} // namespace

SettingsStore::SettingsStore(QString folder) : m_folder(std::move(folder)) {}

QString SettingsStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Imagrove");
}

QString SettingsStore::fileFor(const QString &app) const
{
    return m_folder + u'/' + canonicalApp(app) + QStringLiteral(".conf");
}

QString SettingsStore::defaultText(const QVariant &defaultValue)
{
    if (!defaultValue.isValid())
        return {};
    if (defaultValue.typeId() == QMetaType::Bool)
        return defaultValue.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return defaultValue.toString();
}

QString SettingsStore::get(const QString &app, const QString &section, const QString &key,
                           const QVariant &defaultValue) const
{
    QSettings settings(fileFor(app), QSettings::IniFormat);
    // Sections that differ only in case are one: the exact spelling first.
    QStringList groups;
    for (const QString &group : settings.childGroups()) {
        if (group == section)
            groups.prepend(group);
        else if (group.compare(section, Qt::CaseInsensitive) == 0)
            groups.append(group);
    }
    for (const QString &group : std::as_const(groups)) {
        settings.beginGroup(group);
        const QString name = findName(settings.childKeys(), key);
        const QVariant value = name.isEmpty() ? QVariant() : settings.value(name);
        settings.endGroup();
        if (name.isEmpty())
            continue;
        if (value.typeId() == QMetaType::QStringList)
            return rawValue(settings.fileName(), group, name)
                .value_or(value.toStringList().join(u','));
        return value.toString();
    }
    return defaultText(defaultValue);
}

void SettingsStore::change(const QString &app, const std::function<void(QSettings &)> &edit)
{
    const QString file = fileFor(app);
    if (!QDir().mkpath(m_folder))
        throw notWritable(file);
    // Copies of the program take turns; a holder that ended holds nothing.
    platform::FileLock lock(file);
    if (!lock.tryLock(LockWaitMs))
        throw platform::Error(
            platform::Error::PathFileAccess,
            QStringLiteral("The settings file \"%1\" is kept busy by another program.").arg(file));
    QFile current(file);
    QByteArray original;
    const bool existed = current.exists();
    if (existed) {
        if (!current.open(QIODevice::ReadOnly))
            throw notWritable(file);
        original = current.readAll();
        if (current.error() != QFileDevice::NoError)
            throw notWritable(file);
        current.close();
    }
    // The toolkit's INI code changes a private copy; what it wrote is read
    // back and checked, and only then replaces the file, flushed and synced:
    // its own writer can report success on a full disk with nothing written.
    const QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("settings.conf"));
    if (!scratch.isValid() || !platform::replaceFile(copy, original))
        throw notWritable(file);
    QMap<QString, QVariant> expected;
    {
        QSettings settings(copy, QSettings::IniFormat);
        if (existed && isDamaged(settings) &&
            !platform::replaceFile(damagedCopyName(file), original))
            throw notWritable(file);
        edit(settings);
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            throw notWritable(file);
        for (const QString &key : settings.allKeys())
            expected.insert(key, settings.value(key));
    }
    QFile written(copy);
    if (!written.open(QIODevice::ReadOnly))
        throw notWritable(file);
    const QByteArray changed = written.readAll();
    written.close();
    QSettings check(copy, QSettings::IniFormat);
    for (const QString &key : check.allKeys()) {
        if (check.value(key) != expected.value(key))
            throw notWritable(file);
    }
    if (check.allKeys().size() != expected.size() || !platform::replaceFile(file, changed))
        throw notWritable(file);
}

namespace {

// Removes every spelling of a key, except the exact one when one is kept.
void removeSpellings(QSettings &settings, const QString &section, const QString &key,
                     bool keepExact)
{
    for (const QString &group : settings.childGroups()) {
        if (group.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        settings.beginGroup(group);
        for (const QString &name : settings.childKeys()) {
            const bool exact = name == key && group == section;
            if (name.compare(key, Qt::CaseInsensitive) == 0 && !(keepExact && exact))
                settings.remove(name);
        }
        settings.endGroup();
    }
}

} // namespace

void SettingsStore::save(const QString &app, const QString &section, const QString &key,
                         const QString &value)
{
    save(app, section, {{key, value}});
}

void SettingsStore::save(const QString &app, const QString &section,
                         const QList<std::pair<QString, QString>> &values)
{
    change(app, [&](QSettings &settings) {
        for (const auto &[key, value] : values) {
            removeSpellings(settings, section, key, true);
            settings.beginGroup(section);
            settings.setValue(key, value);
            settings.endGroup();
        }
    });
}

void SettingsStore::remove(const QString &app, const QString &section, const QString &key)
{
    change(app, [&](QSettings &settings) { removeSpellings(settings, section, key, false); });
}

} // namespace core
