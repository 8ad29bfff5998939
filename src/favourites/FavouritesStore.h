#pragma once

#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

#include <optional>
#include <QList>
#include <QString>

namespace favourites {

// A named folder.
struct Favourite
{
    QString name;
    QString folder;
    bool operator==(const Favourite &) const = default;
};

// The favourites as the settings store keeps them: "favn<k>" and "fava<k>"
// in section "Favs" of "Imagrove2", numbered from 1 without gaps. Every
// change is written before anything is read back, so the store stays the
// master copy. Writes that fail throw Error 75.
class FavouritesStore
{
public:
    enum class Refusal { None, FolderTaken, NameTaken };

    explicit FavouritesStore(core::SettingsStore &settings) : m_settings(settings) {}

    // The favourites in their numbered order, up to the first number whose
    // name is absent or empty; a favourite may have an empty folder.
    QList<Favourite> load() const;

    // Appends a favourite. Walking the favourites in order, the first whose
    // folder or name equals the new one's (exactly, the folder tested first
    // for each) refuses it, and nothing is written.
    Refusal add(const QString &name, const QString &folder);

    // Deletes the favourite of that name: the last favourite moves into its
    // number. False, and nothing changed, when no name among the first 1000
    // numbers matches.
    bool remove(const QString &name, const QString &folder);

    // Gives a favourite a new name; it moves to the end. A refused name is
    // found before anything is deleted, so the favourite is never lost.
    Refusal rename(const QString &oldName, const QString &newName, const QString &folder);

private:
    static Refusal refusalFor(const QList<Favourite> &favourites, const QString &name,
                              const QString &folder);
    // The key of a favourite's name or folder by its number.
    using KeyOf = core::SettingKey (*)(int);
    QString read(KeyOf key, int number) const;
    // A favourite's name and folder go in one write, so no copy of the
    // program ever sees one without the other.
    void write(int number, const Favourite &favourite);
    void erase(KeyOf key, int number);
    // The number of the favourite to delete: the last one when it is the
    // one named, else the first number (from 0) holding the name.
    std::optional<int> numberOf(const QString &name, const QString &folder, int last) const;

    core::SettingsStore &m_settings;
};

} // namespace favourites
