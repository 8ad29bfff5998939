#include "clsReg_n_FileAssoc.h"
#include "AtomicFile.h"

#include "Form1.h"
#include "MimeApps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace pantrel {

namespace {

constexpr const char *recordHeader = "*****PLEASE DO NOT DELETE THIS FILE*****";

void setText(RegKey *key, const QString &name, const QString &text)
{
    if (!key)
        return;
    key->removeValue(name);
    RegValue value;
    value.name = name;
    value.text = text;
    key->values.append(value);
}

void makeReadOnly(const QString &file)
{
    QFile::setPermissions(file,
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

QString recordPath(const QString &folder, const QString &extension)
{
    return folder + u'/' + extension + QStringLiteral("_undo.dat");
}

// Only a plain ".name" names a record file: nothing that leaves the folder.
bool isPlainExtension(const QString &extension)
{
    static const QRegularExpression plain(QStringLiteral("^\\.[A-Za-z0-9_+~-]{1,32}$"));
    return plain.match(extension).hasMatch();
}

} // namespace

// ---- UndoRecord ----

QByteArray UndoRecord::toFile() const
{
    QStringList lines{QLatin1String(recordHeader), QStringLiteral("~ex$") + ex,
                      QStringLiteral("~pn$") + pn, QStringLiteral("~ct$") + ct};
    if (longForm) {
        lines << QStringLiteral("~fn$") + fn << QStringLiteral("~di$") + di
              << QStringLiteral("~ph$") + ph << QStringLiteral("~ac$") + ac;
    } else {
        lines << QString();
    }
    if (!desktopType.isEmpty())
        lines << QStringLiteral("~xd$") + desktopType +
                     (formerDefault ? u'=' + *formerDefault : QString());
    if (formerLine)
        lines << QStringLiteral("~xr$") + QString::fromLatin1(formerLine->encoded());
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLocal8Bit();
}

UndoRecord UndoRecord::fromFile(const QByteArray &text)
{
    UndoRecord record;
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromLocal8Bit(raw);
        const QString tag = line.left(4);
        const QString value = line.mid(4);
        if (tag == QLatin1String("~ex$"))
            record.ex = value;
        else if (tag == QLatin1String("~pn$"))
            record.pn = value;
        else if (tag == QLatin1String("~ct$"))
            record.ct = value;
        else if (tag == QLatin1String("~fn$"))
            record.fn = value;
        else if (tag == QLatin1String("~di$"))
            record.di = value;
        else if (tag == QLatin1String("~ph$"))
            record.ph = value;
        else if (tag == QLatin1String("~xd$")) {
            const qsizetype equals = value.indexOf(u'=');
            record.desktopType = value.left(equals);
            if (equals >= 0)
                record.formerDefault = value.mid(equals + 1);
        } else if (tag == QLatin1String("~xr$")) {
            record.formerLine = mimeapps::FormerLine::decoded(value.toLatin1());
        } else if (tag == QLatin1String("~ac$")) {
            record.ac = value;
            record.longForm = true;
        }
    }
    return record;
}

// ---- primitives ----

QString clsReg_n_FileAssoc::text(RootKey root, const QString &path, const QString &valueName)
{
    return getstring(root, path, valueName).toString();
}

bool clsReg_n_FileAssoc::fail(const QString &message)
{
    m_lastError = message;
    return false;
}

bool clsReg_n_FileAssoc::write(const QString &keyPath,
                               const std::function<bool(RegistryTree &)> &change)
{
    if (!RegistryTree::isValidKeyPath(keyPath))
        return fail(QStringLiteral("A key name cannot hold a line break."));
    if (!m_registry.update(change))
        return fail(
            QStringLiteral("The registry %1 could not be read or written.").arg(m_registry.path()));
    return true;
}

void clsReg_n_FileAssoc::savekey(RootKey hKey, const QString &strPath)
{
    write(strPath, [&](RegistryTree &tree) { return tree.ensure(hKey, strPath) != nullptr; });
}

namespace {

// A string value as the registry functions give it: up to its first NUL;
// invalid when the key or the string is not there.
QVariant stringIn(const RegistryTree &tree, RootKey root, const QString &path,
                  const QString &name = {})
{
    RegKey *key = tree.find(root, path);
    RegValue *value = key ? key->value(name) : nullptr;
    if (!value || value->type != RegValue::String)
        return {};
    const qsizetype nul = value->text.indexOf(QChar(0));
    return nul < 0 ? value->text : value->text.left(nul);
}

} // namespace

QVariant clsReg_n_FileAssoc::getstring(RootKey hKey, const QString &strPath,
                                       const QVariant &strValue)
{
    QVariant result;
    const QString name = strValue.isValid() ? strValue.toString() : QString();
    m_registry.read(
        [&](const RegistryTree &tree) { result = stringIn(tree, hKey, strPath, name); });
    return result;
}

void clsReg_n_FileAssoc::savestring(RootKey hKey, const QString &strPath, const QString &strValue,
                                    const QString &strdata)
{
    write(strPath, [&](RegistryTree &tree) {
        RegKey *key = tree.ensure(hKey, strPath);
        setText(key, strValue, strdata);
        return key != nullptr;
    });
}

std::int32_t clsReg_n_FileAssoc::getdword(RootKey hKey, const QString &strPath,
                                          const QString &strValueName)
{
    std::int32_t result = 0;
    m_registry.read([&](const RegistryTree &tree) {
        RegKey *key = tree.find(hKey, strPath);
        RegValue *value = key ? key->value(strValueName) : nullptr;
        if (value && value->type == RegValue::DWord)
            result = static_cast<std::int32_t>(value->number);
    });
    return result;
}

QVariant clsReg_n_FileAssoc::SaveDword(RootKey hKey, const QString &strPath,
                                       const QString &strValueName, std::int32_t lData)
{
    const bool written = write(strPath, [&](RegistryTree &tree) {
        RegKey *key = tree.ensure(hKey, strPath);
        if (!key)
            return false;
        key->removeValue(strValueName);
        RegValue value;
        value.name = strValueName;
        value.type = RegValue::DWord;
        value.number = static_cast<std::uint32_t>(lData);
        key->values.append(value);
        return true;
    });
    // An empty variant as ever on success; false when the write failed.
    return written ? QVariant() : QVariant(false);
}

QVariant clsReg_n_FileAssoc::DeleteKey(RootKey hKey, const QString &strKey)
{
    const bool written =
        write(strKey, [&](RegistryTree &tree) { return tree.remove(hKey, strKey); });
    return written ? QVariant() : QVariant(false);
}

QVariant clsReg_n_FileAssoc::DeleteValue(RootKey hKey, const QString &strPath,
                                         const QString &strValue)
{
    const bool written = write(strPath, [&](RegistryTree &tree) {
        RegKey *key = tree.find(hKey, strPath);
        if (!key || !key->value(strValue))
            return false;
        key->removeValue(strValue);
        return true;
    });
    return written ? QVariant() : QVariant(false);
}

// ---- associations ----

bool clsReg_n_FileAssoc::Associated(const QString &ProperFTName, const QString &AppPath,
                                    const QString &ExeName, const QString &Extension,
                                    const QString &Action, const QString &FTExtension)
{
    if (text(HKEY_CLASSES_ROOT, FTExtension) != ProperFTName)
        return false;
    const QString command = text(HKEY_CLASSES_ROOT, ProperFTName + QStringLiteral("\\Shell\\") +
                                                        Action + QStringLiteral("\\Command"));
    const QString expected = AppPath + u'/' + ExeName + Extension;
    if (command.left(expected.size()) != expected)
        return false;
    // The desktop's own default must be this program too.
    const QString type = mimeapps::mediaType(FTExtension);
    return type.isEmpty() ||
           mimeapps::programOf(mimeapps::defaultForExactly(type)) == QDir::cleanPath(expected);
}

bool clsReg_n_FileAssoc::registerType(const TypeRegistration &record,
                                      const std::optional<QString> &iconFile)
{
    const QString icon = record.iconLocation + u',' + QString::number(record.iconIndex);
    QString extension = record.extension;
    if (!extension.startsWith(u'.'))
        extension.prepend(u'.');
    QStringList names{extension, record.properName};
    names << record.verbCaptions;
    return write(names.join(u'\\'), [&](RegistryTree &tree) {
        RegKey *ext = tree.ensure(HKEY_CLASSES_ROOT, extension);
        setText(ext, QString(), record.properName);
        if (!record.contentType.isEmpty())
            setText(ext, QStringLiteral("Content Type"), record.contentType);
        RegKey *type = tree.ensure(HKEY_CLASSES_ROOT, record.properName);
        if (icon != QLatin1String(",0"))
            setText(type->ensureChild(QStringLiteral("DefaultIcon")), QString(), icon);
        setText(type, QString(), record.fullName);
        RegKey *shell = type->ensureChild(QStringLiteral("Shell"));
        for (qsizetype i = 0; i < record.verbCaptions.size(); ++i) {
            RegKey *verb = shell->ensureChild(record.verbCaptions[i]);
            setText(verb->ensureChild(QStringLiteral("Command")), QString(),
                    record.verbCommands.value(i));
        }
        if (iconFile)
            setText(type->ensureChild(QStringLiteral("DefaultIcon")), QString(), *iconFile);
        return true;
    });
}

void clsReg_n_FileAssoc::CreateAssociation(const QString &ProperName, const QString &FullName,
                                           const QString &ContentType, const QString &Extension,
                                           const QString &Action, const QString &Path,
                                           const QString &ExeName, const QString &Extention,
                                           const QString &DefaultIconFP)
{
    m_lastError.clear();
    // No program, no opener: a command of a folder alone opens nothing.
    if (ExeName.trimmed().isEmpty() || Path.trimmed().isEmpty())
        return;
    TypeRegistration record;
    record.extension = Extension;
    record.properName = ProperName;
    record.fullName = FullName;
    record.contentType = ContentType;
    record.verbCaptions << Action;
    record.verbCommands << Path + u'/' + ExeName + Extention + QStringLiteral(" %1");
    // The type and its icon in one change: no half-made association.
    if (!registerType(record, DefaultIconFP)) {
        fail(QStringLiteral("The registry could not be written: %1").arg(m_registry.path()));
        return;
    }
    // The desktop's opener follows, where the extension has a media type.
    QString extension = Extension;
    if (!extension.startsWith(u'.'))
        extension.prepend(u'.');
    const QString type = mimeapps::mediaType(extension);
    const QString id =
        type.isEmpty() ? QString() : mimeapps::entryFor(Path + u'/' + ExeName + Extention, type);
    if (!type.isEmpty() && (id.isEmpty() || !mimeapps::setUserDefault(type, id + u';')))
        fail(QStringLiteral("The desktop's default program for %1 could not be set.").arg(type));
}

bool clsReg_n_FileAssoc::CreateUndoAssDat(const QString &FTExtension, const QString &ProperName,
                                          const QString &Action, const QVariant &SaveTo_Path)
{
    const QString folder = SaveTo_Path.toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return fail(QStringLiteral("Path not found: %1").arg(folder));
    if (!isPlainExtension(FTExtension))
        return fail(QStringLiteral("Not a file type: %1").arg(FTExtension));
    const QString path = recordPath(folder, FTExtension);
    if (QFileInfo(path).isSymLink())
        return fail(QStringLiteral("The undo record %1 is a link; it is left alone.").arg(path));

    UndoRecord record;
    record.ex = FTExtension;
    // Read in one go: a registry that cannot be read gives no record, and
    // the one kept from before stays.
    const bool read = m_registry.read([&](const RegistryTree &tree) {
        const auto get = [&](const QString &path, const QString &name = {}) {
            return stringIn(tree, HKEY_CLASSES_ROOT, path, name).toString();
        };
        record.pn = get(FTExtension);
        record.ct = get(FTExtension, QStringLiteral("Content Type"));
        if (record.pn == ProperName) {
            record.longForm = true;
            record.fn = get(ProperName);
            record.di = get(ProperName + QStringLiteral("\\DefaultIcon\\"));
            record.ph = get(ProperName + QStringLiteral("\\Shell\\") + Action +
                            QStringLiteral("\\Command\\"));
            record.ac = Action;
        }
    });
    if (!read)
        return fail(QStringLiteral("The registry cannot be read."));
    // The record is one value a line: a value with a line break would make
    // lines of its own, and the record could not be read back.
    for (const QString *value : {&record.pn, &record.ct, &record.fn, &record.di, &record.ph}) {
        if (value->contains(u'\n') || value->contains(u'\r'))
            return fail(QStringLiteral("A value with a line break cannot be kept: %1").arg(*value));
    }
    record.desktopType = mimeapps::mediaType(FTExtension);
    if (!record.desktopType.isEmpty()) {
        record.formerDefault = mimeapps::userDefault(record.desktopType);
        record.formerLine = mimeapps::formerLine(record.desktopType);
        if (!record.formerLine)
            return fail(QStringLiteral("The desktop's list of default programs cannot be read."));
    }

    // Written whole or not at all.
    QString error;
    // A new file takes the name: another name of the old one (a hard link)
    // keeps its contents and mode.
    if (!replaceFile(path, record.toFile(), false, &error))
        return fail(error);
    makeReadOnly(path);
    return true;
}

bool clsReg_n_FileAssoc::UndoAssociation(const QString &SavedTo_path, const QString &FTExtension)
{
    if (!isPlainExtension(FTExtension))
        return fail(QStringLiteral("Not a file type: %1").arg(FTExtension));
    const QString path = recordPath(SavedTo_path, FTExtension);
    QFile file(path);
    if (QFileInfo(path).isSymLink())
        return fail(QStringLiteral("The undo record %1 is a link; it is left alone.").arg(path));
    if (!file.exists())
        return fail(QStringLiteral("File not found: %1").arg(path));
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = file.errorString();
        return false;
    }
    const UndoRecord record = UndoRecord::fromFile(file.readAll());
    file.close();
    // Without its extension a record would write to the root of the classes;
    // with another one it would change a type nobody asked to undo.
    if (record.ex.isEmpty())
        return fail(QStringLiteral("The undo record %1 names no file type.").arg(path));
    if (record.ex.compare(FTExtension, Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("The undo record %1 is for %2, not %3.")
                        .arg(path, record.ex, FTExtension));

    const bool written = write(record.pn + u'\\' + record.ac, [&](RegistryTree &tree) {
        RegKey *ext = tree.ensure(HKEY_CLASSES_ROOT, record.ex + u'\\');
        setText(ext, QString(), record.pn);
        setText(ext, QStringLiteral("Content Type"), record.ct);
        if (record.longForm && !record.pn.isEmpty()) {
            setText(tree.ensure(HKEY_CLASSES_ROOT, record.pn), QString(), record.fn);
            setText(tree.ensure(HKEY_CLASSES_ROOT, record.pn + QStringLiteral("\\DefaultIcon\\")),
                    QString(), record.di);
            setText(tree.ensure(HKEY_CLASSES_ROOT, record.pn + QStringLiteral("\\Shell\\") +
                                                       record.ac + QStringLiteral("\\Command\\")),
                    QString(), record.ph);
        }
        return true;
    });
    if (!written)
        return false;
    const bool putBack = record.desktopType.isEmpty() || record.formerLine
                             ? mimeapps::restoreLine(record.desktopType, *record.formerLine)
                             : mimeapps::setUserDefault(record.desktopType, record.formerDefault);
    if (!putBack)
        return fail(QStringLiteral("The desktop's default for %1 could not be put back.")
                        .arg(record.desktopType));
    if (!record.desktopType.isEmpty())
        mimeapps::withdrawType(record.desktopType);
    QFile::remove(path);
    return true;
}

// ---- program picker ----

bool clsReg_n_FileAssoc::ShowPrograms(const QString &Title, const QString &Message,
                                      const QString &Pattern)
{
    return Form1::showPrograms(Title, Message, Pattern);
}

QVariant clsReg_n_FileAssoc::ProgramFN()
{
    return Form1::chosenName();
}

QVariant clsReg_n_FileAssoc::ProgramFP()
{
    return Form1::chosenFolder();
}

} // namespace pantrel
