// Adds favourites "<prefix>-<i>" for the folders "/<prefix>/<i>" to the
// store under $XDG_CONFIG_HOME, one add each, so tests can run writers at once.
// With the prefix "rename", renames the favourite "r0" of "/r" back and forth.
#include "favourites/FavouritesStore.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    core::SettingsStore settings;
    favourites::FavouritesStore store(settings);
    const int count = QByteArray(argv[2]).toInt();
    if (prefix == QLatin1String("rename")) {
        for (int i = 0; i < count; ++i)
            store.rename(QStringLiteral("r%1").arg(i % 2), QStringLiteral("r%1").arg((i + 1) % 2),
                         QStringLiteral("/r"));
        return 0;
    }
    for (int i = 0; i < count; ++i)
        store.add(QStringLiteral("%1-%2").arg(prefix).arg(i),
                  QStringLiteral("/%1/%2").arg(prefix).arg(i));
    return 0;
}
