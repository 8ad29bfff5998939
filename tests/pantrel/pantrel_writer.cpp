// Writes many keys to the registry named by PANTREL_REGISTRY, one operation
// each, so tests can run writers at once. Prints how many writes reported
// success.
#include "Registry.h"

#include <cstdio>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int count = QByteArray(argv[2]).toInt();
    pantrel::Registry registry;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const bool ok = registry.update([&](pantrel::RegistryTree &tree) {
            pantrel::RegKey *key = tree.ensure(
                pantrel::HKEY_CURRENT_USER, QStringLiteral("Software\\%1\\k%2").arg(prefix).arg(i));
            pantrel::RegValue value;
            value.text = QString::number(i);
            key->values.append(value);
            return true;
        });
        written += ok ? 1 : 0;
    }
    std::printf("%d\n", written);
    return 0;
}
