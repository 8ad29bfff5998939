#pragma once

#include "pantrel.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <QList>
#include <QString>

namespace pantrel {

// A registry value: a string (type 1) or a double word (type 4).
struct RegValue
{
    enum Type : int { String = 1, DWord = 4 };
    QString name; // empty: the key's default value
    Type type = String;
    QString text;
    std::uint32_t number = 0;
};

// One key: case-preserving names, looked up regardless of case.
struct RegKey
{
    QString name;
    QList<RegValue> values;
    std::map<QString, std::unique_ptr<RegKey>> children; // by lower-case name

    RegKey *child(const QString &name) const;
    RegKey *ensureChild(const QString &name);
    RegValue *value(const QString &name);
    void removeValue(const QString &name);
    bool removeChild(const QString &name);
    bool isEmpty() const { return values.isEmpty() && children.empty(); }
};

// The whole registry in memory.
class RegistryTree
{
public:
    RegistryTree();

    // The key at a root and a "\"-separated path; null when missing (or the
    // root is unknown). An empty path is the root itself.
    RegKey *find(RootKey root, const QString &path) const;
    // Null, and nothing made, when the root is unknown or the path is not a
    // valid key name.
    RegKey *ensure(RootKey root, const QString &path);
    // Key names cannot hold line breaks: the file is one line a key.
    static bool isValidKeyPath(const QString &path);
    // Deletes a key with everything below it; false when it was not there.
    bool remove(RootKey root, const QString &path);

    QByteArray serialize() const;
    // Reads a file's text. Lines that cannot be understood are skipped and
    // counted in damagedLines, so a damaged file keeps the rest.
    static RegistryTree parse(const QByteArray &text, int *damagedLines = nullptr);

    static QString rootName(RootKey root);
    static std::optional<RootKey> rootFromName(const QString &name);

private:
    std::map<RootKey, RegKey> m_roots;
};

// The registry file. Every operation locks the file, reads it, applies the
// change and atomically replaces the file, so concurrent processes lose
// nothing and a crash never leaves half a file.
class Registry
{
public:
    // $PANTREL_REGISTRY, else $XDG_CONFIG_HOME/pantrel/registry.reg.
    static QString defaultPath();

    explicit Registry(QString path = defaultPath());

    const QString &path() const { return m_path; }

    // Reads under the lock. False when the file cannot be locked or read.
    bool read(const std::function<void(const RegistryTree &)> &reader) const;
    // Changes under the lock; the change returns whether it changed anything,
    // and the file is written only then. False when the file cannot be
    // locked, read or written, or a damaged file cannot be kept first: a
    // file that could not be read is never replaced.
    bool update(const std::function<bool(RegistryTree &)> &change);

    // Where a damaged file is kept when a write replaces it (the first copy;
    // later ones get ".2", ".3"...).
    QString damagedCopyPath() const { return m_path + QStringLiteral(".damaged"); }

private:
    // Empty when the file exists but cannot be read.
    std::optional<RegistryTree> load(int *damagedLines) const;

    QString m_path;
};

} // namespace pantrel
