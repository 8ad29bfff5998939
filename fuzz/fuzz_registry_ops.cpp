// The registry file reader, then a random run of operations: every key that
// was read and not deleted is still there, with its values, after a write.
#include "Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>

using namespace pantrel;

namespace {

using Snapshot = std::map<QString, QStringList>; // lower-case path -> values

void collect(const RegKey &key, const QString &path, Snapshot &out)
{
    QStringList values;
    for (const RegValue &value : key.values)
        values << value.name.toLower() + u'=' + QString::number(value.type) + u':' + value.text +
                      u':' + QString::number(value.number);
    values.sort();
    out[path.toLower()] = values;
    for (const auto &[id, child] : key.children)
        collect(*child, path + u'\\' + child->name, out);
}

Snapshot snapshot(const RegistryTree &tree)
{
    Snapshot out;
    for (RootKey root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        if (const RegKey *key = tree.find(root, QString()))
            collect(*key, RegistryTree::rootName(root), out);
    }
    return out;
}

// Names and texts, some of which the file must escape.
const char *const names[] = {"a",     "B", "Shell",      "open",        "Command", "x y",
                             "\"q\"", "]", "two\nlines", "back\\slash", "é"};

QString pick(FuzzedDataProvider &in)
{
    return QString::fromUtf8(names[in.ConsumeIntegralInRange<size_t>(0, std::size(names) - 1)]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const int steps = in.ConsumeIntegralInRange(0, 8);
    const std::string text = in.ConsumeRemainingBytesAsString();
    // Operations come from the end of the input, the file from the rest.
    FuzzedDataProvider ops(data, std::min<std::size_t>(size, 64));

    int damaged = 0;
    RegistryTree tree = RegistryTree::parse(QByteArray::fromStdString(text), &damaged);
    const Snapshot expected = snapshot(tree);
    const RootKey roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    QStringList touched;
    for (int i = 0; i < steps; ++i) {
        const RootKey root = roots[ops.ConsumeIntegralInRange(0, 2)];
        const QString path = pick(ops) + u'\\' + pick(ops);
        touched << (RegistryTree::rootName(root) + u'\\' + path).toLower();
        switch (ops.ConsumeIntegralInRange(0, 2)) {
        case 0:
            tree.ensure(root, path);
            break;
        case 1:
            if (RegKey *key = tree.ensure(root, path)) {
                // As every writer of a value does: the old one of that name goes.
                const QString name = pick(ops);
                key->removeValue(name);
                key->values.append({name, RegValue::String, pick(ops), 0});
            }
            break;
        default:
            tree.remove(root, path);
        }
    }
    // Keys the operations touched may change; the others must come back as read.
    const Snapshot after = snapshot(tree);
    const Snapshot reread = snapshot(RegistryTree::parse(tree.serialize(), &damaged));
    if (damaged != 0 || reread != after)
        std::abort();
    for (const auto &[path, values] : expected) {
        const auto found = reread.find(path);
        const bool changed = std::any_of(touched.begin(), touched.end(), [&](const QString &t) {
            return path == t || path.startsWith(t + u'\\');
        });
        if (!changed && (found == reread.end() || found->second != values))
            std::abort();
    }
    return 0;
}
