// The favourites as the store loads them from any settings file: no crash or
// hang, and a favourite added afterwards is there when the list is loaded again.
#include "favourites/FavouritesStore.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzApplication();
    static const QString folder = QStringLiteral("/tmp/imagrove-fuzz-favourites-%1/Imagrove")
                                      .arg(QCoreApplication::applicationPid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    core::SettingsStore settings(folder);
    QFile file(settings.fileFor(core::keys::Imagrove2));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    favourites::FavouritesStore store(settings);
    store.load();
    try {
        if (store.add(QStringLiteral("fuzz favourite"), QStringLiteral("/fuzz/folder")) !=
            favourites::FavouritesStore::Refusal::None)
            return 0;
    } catch (...) {
        return 0;
    }
    for (const favourites::Favourite &favourite : store.load()) {
        if (favourite.name == QLatin1String("fuzz favourite"))
            return 0;
    }
    std::abort();
}
