#include "Registry.h"
#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace pantrel {

namespace {

constexpr const char *header = "REGEDIT4";
constexpr int lockTimeoutMs = 10000;

QString keyId(const QString &name)
{
    return name.toLower();
}

QStringList splitPath(const QString &path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

QByteArray quote(const QString &text)
{
    // Escapes are added to the text and the whole text encoded once, so a
    // character outside the basic plane keeps both of its halves.
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case 0:
            out += QLatin1String("\\0");
            break;
        default:
            out += c;
        }
    }
    out += u'"';
    return out.toUtf8();
}

// Reads a quoted string at pos; pos moves past it. Empty optional when the
// text is not a complete quoted string.
std::optional<QString> unquote(const QString &line, qsizetype &pos)
{
    if (pos >= line.size() || line[pos] != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\') {
            if (++pos >= line.size())
                return std::nullopt;
            switch (line[pos].unicode()) {
            case u'n':
                out += u'\n';
                break;
            case u'r':
                out += u'\r';
                break;
            case u'0':
                out += QChar(0);
                break;
            default:
                out += line[pos];
            }
            continue;
        }
        out += c;
    }
    return std::nullopt;
}

void serializeValues(const RegKey &key, const QString &path, QByteArray &out)
{
    out += "\r\n[" + path.toUtf8() + "]\r\n";
    for (const RegValue &value : key.values) {
        out += value.name.isEmpty() ? QByteArray("@") : quote(value.name);
        out += '=';
        if (value.type == RegValue::DWord)
            out += "dword:" + QByteArray::number(value.number, 16).rightJustified(8, '0');
        else
            out += quote(value.text);
        out += "\r\n";
    }
}

void serializeKey(const RegKey &key, const QString &path, QByteArray &out)
{
    serializeValues(key, path, out);
    for (const auto &[id, child] : key.children)
        serializeKey(*child, path + u'\\' + child->name, out);
}

} // namespace

// ---- RegKey ----

RegKey *RegKey::child(const QString &childName) const
{
    const auto it = children.find(keyId(childName));
    return it == children.end() ? nullptr : it->second.get();
}

RegKey *RegKey::ensureChild(const QString &childName)
{
    auto &slot = children[keyId(childName)];
    if (!slot) {
        slot = std::make_unique<RegKey>();
        slot->name = childName;
    }
    return slot.get();
}

RegValue *RegKey::value(const QString &valueName)
{
    for (RegValue &v : values) {
        if (v.name.compare(valueName, Qt::CaseInsensitive) == 0)
            return &v;
    }
    return nullptr;
}

void RegKey::removeValue(const QString &valueName)
{
    values.removeIf(
        [&](const RegValue &v) { return v.name.compare(valueName, Qt::CaseInsensitive) == 0; });
}

bool RegKey::removeChild(const QString &childName)
{
    return children.erase(keyId(childName)) > 0;
}

// ---- RegistryTree ----

RegistryTree::RegistryTree()
{
    for (RootKey root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        m_roots[root].name = rootName(root);
}

QString RegistryTree::rootName(RootKey root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    default:
        return {};
    }
}

std::optional<RootKey> RegistryTree::rootFromName(const QString &name)
{
    for (RootKey root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        if (name.compare(rootName(root), Qt::CaseInsensitive) == 0)
            return root;
    }
    return std::nullopt;
}

RegKey *RegistryTree::find(RootKey root, const QString &path) const
{
    const auto it = m_roots.find(root);
    if (it == m_roots.end())
        return nullptr;
    auto *key = const_cast<RegKey *>(&it->second);
    for (const QString &part : splitPath(path)) {
        key = key->child(part);
        if (!key)
            return nullptr;
    }
    return key;
}

bool RegistryTree::isValidKeyPath(const QString &path)
{
    return !path.contains(u'\n') && !path.contains(u'\r') && !path.contains(QChar(0));
}

RegKey *RegistryTree::ensure(RootKey root, const QString &path)
{
    const auto it = m_roots.find(root);
    if (it == m_roots.end() || !isValidKeyPath(path))
        return nullptr;
    RegKey *key = &it->second;
    for (const QString &part : splitPath(path))
        key = key->ensureChild(part);
    return key;
}

bool RegistryTree::remove(RootKey root, const QString &path)
{
    QStringList parts = splitPath(path);
    if (parts.isEmpty())
        return false; // a root cannot be deleted
    const QString last = parts.takeLast();
    RegKey *parent = find(root, parts.join(u'\\'));
    return parent && parent->removeChild(last);
}

QByteArray RegistryTree::serialize() const
{
    QByteArray out = QByteArray(header) + "\r\n";
    for (const auto &[root, key] : m_roots) {
        // A root has its own section only when it holds values itself.
        if (!key.values.isEmpty())
            serializeValues(key, key.name, out);
        for (const auto &[id, child] : key.children)
            serializeKey(*child, key.name + u'\\' + child->name, out);
    }
    return out;
}

RegistryTree RegistryTree::parse(const QByteArray &text, int *damagedLines)
{
    RegistryTree tree;
    int damaged = 0;
    RegKey *current = nullptr;
    bool sawHeader = false;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines[i]);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (!sawHeader && line.trimmed() == QLatin1String(header)) {
            sawHeader = true;
            continue;
        }
        if (line.startsWith(u'[')) {
            current = nullptr;
            if (!line.endsWith(u']')) {
                ++damaged;
                continue;
            }
            const QString path = line.mid(1, line.size() - 2);
            const qsizetype cut = path.indexOf(u'\\');
            const auto root = rootFromName(cut < 0 ? path : path.left(cut));
            if (!root) {
                ++damaged;
                continue;
            }
            current = tree.ensure(*root, cut < 0 ? QString() : path.mid(cut + 1));
            continue;
        }
        // A value line: @=... or "name"=...
        if (!current) {
            ++damaged;
            continue;
        }
        qsizetype pos = 0;
        QString name;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            const auto quoted = unquote(line, pos);
            if (!quoted) {
                ++damaged;
                continue;
            }
            name = *quoted;
        }
        if (pos >= line.size() || line[pos] != u'=') {
            ++damaged;
            continue;
        }
        ++pos;
        RegValue value;
        value.name = name;
        if (line.mid(pos).startsWith(QLatin1String("dword:"))) {
            const QString digits = line.mid(pos + 6);
            bool ok = false;
            const uint number = digits.toUInt(&ok, 16);
            if (!ok || digits.size() != 8) {
                ++damaged;
                continue;
            }
            value.type = RegValue::DWord;
            value.number = number;
        } else {
            const auto data = unquote(line, pos);
            if (!data || pos != line.size()) {
                ++damaged;
                continue;
            }
            value.text = *data;
        }
        current->removeValue(name);
        current->values.append(value);
    }
    if (!text.isEmpty() && !sawHeader)
        ++damaged;
    if (damagedLines)
        *damagedLines = damaged;
    return tree;
}

// ---- Registry ----

QString Registry::defaultPath()
{
    const QString overridden = qEnvironmentVariable("PANTREL_REGISTRY");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pantrel/registry.reg");
}

Registry::Registry(QString path) : m_path(std::move(path)) {}

std::optional<RegistryTree> Registry::load(int *damagedLines) const
{
    *damagedLines = 0;
    QFile file(m_path);
    if (!file.exists())
        return RegistryTree();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return RegistryTree::parse(text, damagedLines);
}

bool Registry::read(const std::function<void(const RegistryTree &)> &reader) const
{
    QDir().mkpath(QFileInfo(m_path).path());
    FileLock lock(m_path);
    if (!lock.tryLock(lockTimeoutMs))
        return false;
    int damaged = 0;
    const std::optional<RegistryTree> tree = load(&damaged);
    if (!tree)
        return false;
    reader(*tree);
    return true;
}

bool Registry::update(const std::function<bool(RegistryTree &)> &change)
{
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        return false;
    FileLock lock(m_path);
    if (!lock.tryLock(lockTimeoutMs))
        return false;
    int damaged = 0;
    std::optional<RegistryTree> tree = load(&damaged);
    if (!tree)
        return false;
    if (!change(*tree))
        return true;
    if (damaged > 0) {
        // Keep the damaged file as it was, so what could not be read is not lost.
        QString copy = damagedCopyPath();
        for (int n = 2; QFile::exists(copy); ++n)
            copy = damagedCopyPath() + QStringLiteral(".%1").arg(n);
        if (!QFile::copy(m_path, copy))
            return false;
    }
    return replaceFile(m_path, tree->serialize());
}

} // namespace pantrel
