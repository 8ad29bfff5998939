#pragma once

#include "FolderRefresh.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/ListBoxes.h"
#include "platform/PictureButton.h"
#include "ToolbarPictures.h"

#include "core/SettingsStore.h"
#include <array>

#include <QObject>

class QAction;
class QMenu;

namespace browser {

// Where the folder tree's right button finds the Favourites menu.
class FavouritesMenuSource
{
public:
    virtual ~FavouritesMenuSource() = default;
    virtual QMenu *favouritesMenu() = 0;
};

// The drive list, folder tree and file list of the main window, and the
// "File Types" menu that chooses the pattern.
class FolderNavigation final : public QObject, public FolderRefresh
{
    Q_OBJECT
public:
    struct Controls
    {
        platform::DriveListBox *Drive1 = nullptr;
        platform::DirListBox *Dir1 = nullptr;
        platform::FileListBox *File1 = nullptr;
        platform::PictureButton *previous = nullptr; // pics(0)
        platform::PictureButton *next = nullptr;     // pics(1)
        QMenu *mnuFTs = nullptr;
        std::array<QAction *, 7> mnuFT{};
        QAction *mnuImages = nullptr;
        QAction *mnuRefresh = nullptr;
        QAction *mnuOther = nullptr; // "Other Images"
    };

    FolderNavigation(const Controls &controls, core::SettingsStore &settings,
                     platform::Desktop &desktop, const ToolbarPictures &pictures,
                     FavouritesMenuSource &favourites, QObject *parent = nullptr);

    // Opens a folder as a press in the tree does, reporting errors; false
    // when it could not be opened.
    bool openFolder(const QString &folder);
    // Sets the drive and the folder, reporting nothing: throws Error 68 when
    // the volume is not ready and Error 76 when the folder cannot be opened.
    void goTo(const QString &folder);
    // The previous and next buttons follow whether the list has entries.
    void updateStepping();

Q_SIGNALS:
    void folderChanged(const QString &folder);

private:
    void wire();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_MouseDown(Qt::MouseButton button);
    void Dir1_MouseUp(Qt::MouseButton button);
    void Dir1_KeyEnter();
    void File1_MouseUp(Qt::MouseButton button);
    void mnuFT_Click(int index);
    void mnuImages_Click();
    void mnuRefresh_Click();
    void mnuOther_Click();
    // The pattern of the checked items, with the other formats when on.
    QString checkedPattern() const;
    void refreshFolder() override;
    void setPattern(const QString &pattern);
    void showFolderError(const platform::Error &error);

    Controls m_c;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    const ToolbarPictures &m_pictures;
    FavouritesMenuSource &m_favourites;
};

} // namespace browser
