#include "SettingsStore.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <optional>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A settings file that is a link (into a folder of dotfiles, say) is written
// where the link points, and the link stays.
QString resolvedFile(const QString &file)
{
    QString path = file;
    for (int hops = 0; hops < 40 && QFileInfo(path).isSymLink(); ++hops)
        path = QFileInfo(path).symLinkTarget();
    return path;
}

QString scratchPrefix(const QString &file)
{
    return u'.' + QFileInfo(file).fileName() + QStringLiteral(".edit-");
}

// Private copies left by a writer that was killed. Only a writer holding the
// file's lock calls this, so none of them is in use; the age spares one of a
// writer that does not lock.
void removeStaleScratch(const QString &file)
{
    const QFileInfo info(file);
    const QFileInfoList left =
        info.dir().entryInfoList({scratchPrefix(file) + u'*'}, QDir::Dirs | QDir::Hidden);
    for (const QFileInfo &dir : left) {
        if (!dir.isSymLink() && dir.lastModified().secsTo(QDateTime::currentDateTime()) >= 60)
            QDir(dir.filePath()).removeRecursively();
    }
}

// Undoes the INI writer's escapes of section and key names: "%XX", "%UXXXX".
QString unescapedName(const QByteArray &name)
{
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == '%' && i + 5 < name.size() && name[i + 1] == 'U') {
            out += QChar(char16_t(name.mid(i + 2, 4).toUShort(nullptr, 16)));
            i += 5;
        } else if (name[i] == '%' && i + 2 < name.size()) {
            out += QChar(char16_t(name.mid(i + 1, 2).toUShort(nullptr, 16)));
            i += 2;
        } else {
            out += QLatin1Char(name[i]);
        }
    }
    return out;
}

// Reads the written bytes as they lie on the disk, without the toolkit's
// cache: every key the edit left is there once, with its value where it is
// plain text, and the last line is whole.
bool holdsWhole(const QByteArray &bytes, const QMap<QString, QVariant> &expected)
{
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return false;
    QMap<QString, QByteArray> found;
    QString prefix;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.isEmpty() || text.startsWith(';') || text.startsWith('#'))
            continue;
        if (text.startsWith('[') && text.endsWith(']')) {
            const QByteArray name = text.mid(1, text.size() - 2);
            // The root keys sit under [General]; a real group of that name is [%General].
            if (name == "General")
                prefix.clear();
            else
                prefix =
                    (name == "%General" ? QStringLiteral("General") : unescapedName(name)) + u'/';
            continue;
        }
        const qsizetype equals = text.indexOf('=');
        if (equals <= 0)
            return false;
        QString key = prefix + unescapedName(text.left(equals).trimmed());
        key.replace(u'\\', u'/');
        found.insert(key, text.mid(equals + 1).trimmed());
    }
    if (found.size() != expected.size())
        return false;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const auto raw = found.constFind(it.key());
        if (raw == found.cend())
            return false;
        const bool plain = it.value().typeId() == QMetaType::QString && !raw->contains('"') &&
                           !raw->contains('\\') && !raw->startsWith('@');
        if (plain && QString::fromUtf8(*raw) != it.value().toString())
            return false;
    }
    return true;
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
    const QString file = resolvedFile(fileFor(app));
    const QString folder = QFileInfo(file).path();
    if (!QDir().mkpath(folder))
        throw notWritable(file);
    // Copies of the program take turns; a holder that ended holds nothing.
    platform::FileLock lock(file);
    if (!lock.tryLock(LockWaitMs))
        throw platform::Error(
            platform::Error::PathFileAccess,
            QStringLiteral("The settings file \"%1\" is kept busy by another program.").arg(file));
    removeStaleScratch(file);
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
    // The toolkit's INI code changes a private copy beside the file, on the
    // same disk; what reached the disk is read back by a reader of our own
    // and checked, and only then replaces the file, flushed and synced: the
    // toolkit's writer can report success on a full disk with the file cut,
    // and its readers answer from a cache rather than from the disk.
    const QTemporaryDir scratch(folder + u'/' + scratchPrefix(file) + QStringLiteral("XXXXXX"));
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
    if (written.error() != QFileDevice::NoError || !holdsWhole(changed, expected) ||
        !platform::replaceFile(file, changed))
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
