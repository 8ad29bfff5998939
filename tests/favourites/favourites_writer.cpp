// Adds favourites "<prefix>-<i>" for the folders "/<prefix>/<i>" to the
// store under $XDG_CONFIG_HOME, one add each, so tests can run writers at once.
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
    for (int i = 0; i < QByteArray(argv[2]).toInt(); ++i)
        store.add(QStringLiteral("%1-%2").arg(prefix).arg(i),
                  QStringLiteral("/%1/%2").arg(prefix).arg(i));
    return 0;
}
