#pragma once

#include "AssociationSteps.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "platform/Desktop.h"
#include "platform/Error.h"

#include <array>
#include <QDialog>
#include <utility>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace pantrel {
class _clsShell;
} // namespace pantrel

namespace options {

// What the dialog reads from and does to the main window.
class OptionsHost
{
public:
    virtual ~OptionsHost() = default;
    virtual QString currentFolder() const = 0;
    // Caption and folder of each favourite menu item; empty when there are
    // no favourites.
    virtual QList<std::pair<QString, QString>> favouriteItems() const = 0;
    virtual void setInTray(bool inTray) = 0;
};

// The options dialog: three pages of preferences, read from the store when
// it opens and written in one pass by Save.
class options final : public QDialog
{
    Q_OBJECT
public:
    // shell may be null (no component library): the platform's dialogs stand in.
    options(core::SettingsStore &settings, core::AppState &state, platform::Desktop &desktop,
            AssociationSteps &associations, pantrel::_clsShell *shell, OptionsHost &host,
            QWidget *parent = nullptr);
    ~options() override;

    std::array<QPushButton *, 3> Frames{};
    std::array<QGroupBox *, 3> fraMain{};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *Command2 = nullptr;
    // Main Options.
    QLabel *Label2 = nullptr;
    QCheckBox *Check1 = nullptr;
    QCheckBox *chkShowImageInfo = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;
    QLabel *Label5 = nullptr;
    QCheckBox *Check4 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *startdir = nullptr;
    QPushButton *cmdCurrent = nullptr;
    QPushButton *fav = nullptr;
    QPushButton *Command1 = nullptr;
    QCheckBox *chkLastdir = nullptr;
    // Advanced Options.
    QLabel *Label1 = nullptr;
    // chkBMPass to chkCURass, in the order of core::imageTypes.
    std::array<QCheckBox *, 7> chkAss{};
    QPushButton *cmdCheckall = nullptr;
    QPushButton *cmdCheckNone = nullptr;
    QCheckBox *chkImgFll = nullptr;
    QCheckBox *chkUseEditor = nullptr;
    QLineEdit *txtEditor = nullptr;
    QPushButton *cmdEditorBrowse = nullptr;
    QCheckBox *chkCloseAfter1 = nullptr;
    QCheckBox *chkDelFavs = nullptr;
    QCheckBox *chkFP98 = nullptr;
    // Full Screen Viewing.
    QLabel *Label4 = nullptr;
    QCheckBox *Check5 = nullptr;
    QCheckBox *chkDisFSNav = nullptr;
    QCheckBox *chkRevNav = nullptr;
    QCheckBox *chkShowMBalways = nullptr;
    QCheckBox *chkGreyMode = nullptr;
    // The Favourites button's pop-up.
    QMenu *mnuFav = nullptr;
    QList<QAction *> mnuFavs;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Gives the wrapped explanation the lines it needs at its width.
    void fitWrappedText();
    void build();
    void wire();
    void Frames_Click(int index);
    void Form_Load();
    void Form_Unload();
    void cmdOK_Click();
    void Command2_Click();
    void checkAssociations(bool on);
    void fav_Click();
    void mnuFavs_Click(int index);
    void Command1_Click();
    void cmdEditorBrowse_Click();
    void Check4_Click();
    void chkLastdir_Click();
    void chkUseEditor_Click();
    void chkDisFSNav_Click();
    // The box of a type, in the table's order.
    // Runs one step of loading or saving; an error is shown and the next
    // step goes on.
    template <typename Step> void step(const char *label, Step &&work);

    core::SettingsStore &m_settings;
    core::AppState &m_state;
    // Held while the window is open.
    core::FlagHold m_secondary{m_state.SecondaryWindowOpen};
    platform::Desktop &m_desktop;
    AssociationSteps &m_associations;
    pantrel::_clsShell *m_shell;
    OptionsHost &m_host;
    bool m_unloaded = false;
};

} // namespace options
