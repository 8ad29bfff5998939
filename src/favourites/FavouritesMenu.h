#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "FavouritesStore.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/PictureButton.h"

#include <QObject>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;

namespace favourites {

// The browser as the favourites see it: its folder, and a way to go to one.
class FolderBrowser
{
public:
    virtual ~FolderBrowser() = default;
    virtual QString currentFolder() const = 0;
    // Sets the drive and the folder; Error 68 or 76 when it cannot.
    virtual void goToFolder(const QString &folder) = 0;
};

// The Favourites menu, the favourites list panel and the toolbar button
// that swaps the panel for the folder tree.
class FavouritesMenu final : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QMenu *mnuFav = nullptr; // the favourite items are appended to it
        QAction *mnuAdd = nullptr;
        QAction *mnuFavMan = nullptr;
        QAction *mnuEditFavs = nullptr; // File > Preferences
        QFrame *fraFavLab = nullptr;
        QLabel *Label4 = nullptr;
        QListWidget *FavList = nullptr;
        platform::PictureButton *favouritesButton = nullptr; // pics(5)
    };

    FavouritesMenu(const Controls &controls, core::SettingsStore &settings,
                   platform::Desktop &desktop, core::AppState &state, FolderBrowser &browser,
                   QObject *parent = nullptr);

    // The menu items anew from the store.
    void LoadFavourites();
    // The list box anew from the menu items.
    void RefreshFavList();
    // "Delete this Favourite..." when the folder is a favourite, else "Add current Folder...".
    void applyAddCaption(const QString &folder);
    // Start-up with "DelFavs": favourites whose folder is gone are deleted.
    void deleteInvalidFavourites();
    // Shows the list panel in place of the folder tree, or the tree again.
    void showPanel(bool shown);
    bool panelShown() const { return m_panelShown; }
    // DeleteFavourite and RenameFavourite, for the manager; the menu is
    // reloaded, and a refused name is reported. False when nothing changed.
    bool deleteFavourite(const QString &name, const QString &folder);
    bool renameFavourite(const QString &oldName, const QString &newName, const QString &folder);
    const std::vector<QAction *> &mnuFav1() const { return m_items; }

Q_SIGNALS:
    // The panel took the folder tree's place, or gave it back.
    void panelToggled(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wire();
    void mnuAdd_Click();
    void mnuFav1_Click(int index);
    void FavList_Click();
    void favouritesButton_Click();
    void mnuFavMan_Click();
    void add(const QString &name, const QString &folder);
    bool reportRefusal(FavouritesStore::Refusal refusal);
    // Refuses "No Favourites" with a message; false for any other name.
    bool refuseIllegalName(const QString &name);
    void reportWriteError(const platform::Error &error);

    Controls m_c;
    FavouritesStore m_store;
    platform::Desktop &m_desktop;
    core::AppState &m_state;
    FolderBrowser &m_browser;
    std::vector<QAction *> m_items;
    bool m_panelShown = false;
};

} // namespace favourites
