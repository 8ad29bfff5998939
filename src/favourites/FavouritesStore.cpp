#include "FavouritesStore.h"

#include "core/SettingKeys.h"

namespace favourites {

namespace {

const auto Name = core::keys::favName;
const auto Folder = core::keys::favFolder;
constexpr int searchLimit = 1000;

} // namespace

QString FavouritesStore::read(KeyOf key, int number) const
{
    return key(number).read(m_settings);
}

void FavouritesStore::write(int number, const Favourite &favourite)
{
    m_settings.save(core::keys::Imagrove2, core::keys::FavsSection,
                    {{Name(number).name, favourite.name}, {Folder(number).name, favourite.folder}});
}

void FavouritesStore::erase(KeyOf key, int number)
{
    const core::SettingKey stored = key(number);
    m_settings.remove(stored.app, stored.section, stored.name);
}

QList<Favourite> FavouritesStore::load() const
{
    QList<Favourite> favourites;
    for (int number = 1;; ++number) {
        const QString name = read(Name, number);
        if (name.isEmpty())
            return favourites;
        favourites.append({name, read(Folder, number)});
    }
}

FavouritesStore::Refusal FavouritesStore::refusalFor(const QList<Favourite> &favourites,
                                                     const QString &name, const QString &folder)
{
    // Number 0 is an empty slot that takes part in the walk.
    QList<Favourite> slots{{QString(), QString()}};
    slots << favourites;
    for (const Favourite &slot : std::as_const(slots)) {
        if (slot.folder == folder)
            return Refusal::FolderTaken;
        if (slot.name == name)
            return Refusal::NameTaken;
    }
    return Refusal::None;
}

FavouritesStore::Refusal FavouritesStore::add(const QString &name, const QString &folder)
{
    const QList<Favourite> favourites = load();
    const Refusal refusal = refusalFor(favourites, name, folder);
    if (refusal != Refusal::None)
        return refusal;
    write(int(favourites.size()) + 1, {name, folder});
    return Refusal::None;
}

std::optional<int> FavouritesStore::numberOf(const QString &name, const QString &folder,
                                             int last) const
{
    if (read(Name, last) == name && read(Folder, last) == folder)
        return last;
    for (int number = 0; number < searchLimit; ++number) {
        if (read(Name, number) == name)
            return number;
    }
    return std::nullopt;
}

bool FavouritesStore::remove(const QString &name, const QString &folder)
{
    const int last = int(load().size());
    const std::optional<int> found = numberOf(name, folder, last);
    if (!found)
        return false;
    if (*found != last)
        write(*found, {read(Name, last), read(Folder, last)});
    erase(Name, last);
    erase(Folder, last);
    return true;
}

FavouritesStore::Refusal FavouritesStore::rename(const QString &oldName, const QString &newName,
                                                 const QString &folder)
{
    // The list as the deletion would leave it, checked before anything is written.
    QList<Favourite> after = load();
    const qsizetype index = after.indexOf(Favourite{oldName, folder});
    if (index >= 0) {
        after[index] = after.last();
        after.removeLast();
    }
    const Refusal refusal = refusalFor(after, newName, folder);
    if (refusal != Refusal::None)
        return refusal;
    // As a deletion then an addition would leave it, in one write: the last
    // favourite fills the old one's number and the renamed one ends the list.
    const int last = int(load().size());
    const std::optional<int> found = numberOf(oldName, folder, last);
    QList<std::pair<QString, QString>> values;
    if (found && *found != last)
        values << std::pair{Name(*found).name, read(Name, last)}
               << std::pair{Folder(*found).name, read(Folder, last)};
    const int end = found ? last : last + 1;
    values << std::pair{Name(end).name, newName} << std::pair{Folder(end).name, folder};
    m_settings.save(core::keys::Imagrove2, core::keys::FavsSection, values);
    return Refusal::None;
}

} // namespace favourites
