#pragma once

#include "core/AppState.h"
#include "platform/Desktop.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace favourites {

class FavouritesMenu;

// The favourites manager: every favourite with its folder, to check,
// delete or rename. Changes go through the Favourites menu's routines and
// are stored at once.
class frmFavEd final : public QDialog
{
    Q_OBJECT
public:
    frmFavEd(FavouritesMenu &favourites, platform::Desktop &desktop, core::AppState &state,
             QWidget *parent = nullptr);
    ~frmFavEd() override;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QPushButton *cmdCheck = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdRename = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void wire();
    void fillLists();
    void List1_Click();
    void List2_Click();
    void cmdCheck_Click();
    void cmdDelete_Click();
    void cmdRename_Click();
    bool selected(QString &name, QString &folder) const;

    FavouritesMenu &m_favourites;
    platform::Desktop &m_desktop;
    core::AppState &m_state;
    // Held while the window is open.
    core::FlagHold m_secondary{m_state.SecondaryWindowOpen};
};

} // namespace favourites
