#pragma once

#include "browser/Commands.h"
#include "browser/FolderNavigation.h"
#include "browser/ImageDisplay.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "favourites/FavouritesMenu.h"
#include "fullscreen/ViewerHost.h"
#include "MainLayout.h"
#include "options/options.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/ListBoxes.h"
#include "platform/PictureButton.h"
#include "platform/PictureCache.h"

#include <array>
#include <memory>
#include <optional>
#include <QMainWindow>
#include <QPointer>

class DesktopSeam;
class Imagedim;
namespace core {
class PantrelComponents;
struct SettingKey;
} // namespace core
namespace browser {
class ImageDisplay;
class InfoPanel;
class Toolbar;
} // namespace browser
namespace extras {
class SysTray;
class TipPanel;
class frmAbout;
class SystemReachability;
} // namespace extras
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;

// What the program was started with.
struct StartupInfo
{
    QString programFolder; // the folder of the running program
    QString commandLine;   // the optional image path, as given
    // Pictures read ahead, shared with whoever started reading before the
    // window existed; the window makes its own when none is given.
    platform::PictureCache *cache = nullptr;
    // False: every picture is decoded when it is chosen (for measuring).
    bool lookAhead = true;
};

// The main browser window. It owns every control and assembles the
// components that work on them; each component gets only its own.
class browsesmall final : public QMainWindow,
                          private browser::FavouritesMenuSource,
                          private favourites::FolderBrowser,
                          private browser::FullScreenViewer,
                          private fullscreen::ViewerHost,
                          private options::OptionsHost
{
    Q_OBJECT
public:
    browsesmall(core::SettingsStore &settings, core::AppState &state, platform::Desktop &desktop,
                StartupInfo startup, QWidget *parent = nullptr);
    ~browsesmall() override;

    // Starts decoding the image named on the command line, at the size the
    // window will show it, before the window or even the application exists.
    static void readAhead(platform::PictureCache &cache, core::SettingsStore &settings,
                          const QString &commandLine);
    // What a launch straight into full screen decodes its picture at: the
    // natural size, or within the box the viewer last fitted pictures to;
    // nothing when the launch is not one, or the box is not known yet.
    // Whether the picture named on the command line opens straight into
    // full screen ("imgfll").
    static bool launchesIntoViewer(core::SettingsStore &settings, const QString &commandLine);
    static std::optional<QSize> launchTarget(core::SettingsStore &settings,
                                             const QString &commandLine);

    // Asks for the licence agreement and runs the upgrade wizard where
    // they are due, then shows the window and runs the start-up steps, so
    // that anything they report appears over the window.
    void start();
Q_SIGNALS:
    // A picture was shown in the display pane.
    void imageShown();

public:
    // The window was closed (by start-up too, after a full-screen launch).
    bool ended() const { return m_unloaded; }

    // Controls, each object-named as its member.
    std::array<platform::PictureButton *, 11> pics{}; // 2 and 8 are unused
    extras::SysTray *ostrel = nullptr;                // the tray icon
    QFrame *Picture2 = nullptr;
    QLabel *welcome = nullptr;
    platform::PictureButton *Image2 = nullptr; // the logo
    platform::DriveListBox *Drive1 = nullptr;
    platform::DirListBox *Dir1 = nullptr;
    platform::FileListBox *File1 = nullptr;
    QFrame *fraFavLab = nullptr;
    QLabel *Label4 = nullptr;
    QListWidget *FavList = nullptr;
    QFrame *Picture1 = nullptr;
    platform::PictureButton *Image1 = nullptr;
    QLabel *lblTipText = nullptr;
    QPushButton *cmdNextTip = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    platform::PictureButton *Label1 = nullptr;
    platform::PictureButton *Label2 = nullptr;
    QLabel *ftype = nullptr;
    QLabel *FileDate = nullptr;
    QLabel *ImageSize = nullptr;
    QLabel *ImDimen = nullptr;
    QLabel *FileName = nullptr;
    Imagedim *imagedim = nullptr; // hidden; lives as long as this window

    // Menus.
    QMenu *mnuFileItem = nullptr;
    QAction *mnuRefresh = nullptr;
    QMenu *mnuPreferences = nullptr;
    QAction *mnuDefault = nullptr;
    QAction *mnuFulScrnOpt = nullptr;
    QAction *mnuAdvancedOpt = nullptr;
    QAction *mnuEditFavs = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuCopy = nullptr;
    QAction *mnuClear = nullptr;
    QAction *lin754 = nullptr;
    QAction *mnuEditor = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuStretch = nullptr;
    QAction *mnuKeepProp = nullptr;
    QAction *mnuResizable = nullptr;
    QAction *mnuStatus = nullptr;
    QAction *mnuFullscrn = nullptr;
    QMenu *mnuBackCol = nullptr;
    QAction *mnuBGrey = nullptr;
    QAction *mnuBWhite = nullptr;
    QAction *mnuBBlack = nullptr;
    QAction *mnuChooseCol = nullptr;
    QMenu *mnuFav = nullptr;
    QAction *mnuAdd = nullptr;
    QAction *mnuFavMan = nullptr;
    QMenu *mnuFTs = nullptr;
    std::array<QAction *, 7> mnuFT{};
    QAction *mnuImages = nullptr;
    QAction *mnuOther = nullptr;
    QMenu *mnuGoItem = nullptr;
    QAction *mnuMail = nullptr;
    QAction *mnuMail2 = nullptr;
    QAction *mnuHomepage = nullptr;
    QAction *mnuTopten = nullptr;
    std::array<QAction *, 5> mnuLink{}; // mnuLink1, 2, 3, 5, 6
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpcont = nullptr;
    QAction *mnuReadme = nullptr;
    QAction *mnuTips = nullptr;
    QAction *mnuUpdate = nullptr;
    QAction *mnuAboutItem = nullptr;
    QMenu *mnuOstrel = nullptr; // the tray icon's pop-up, never in the menu bar
    QAction *mnuShowIG = nullptr;
    QAction *mnuCopyImg = nullptr;
    QMenu *mnuGoMen = nullptr;
    std::array<QAction *, 5> mnuGallery{};
    QAction *mnuAboutIG = nullptr;
    QAction *mnuCloseIG = nullptr;

    // The per-type icon files beside the program, in the order bmp, jpg, gif, emf, wmf.
    browser::Toolbar &toolbar() { return *m_toolbar; }
    const browser::ImageDisplay &display() const { return *m_display; }
    // The favourite items of the Favourites menu.
    const std::vector<QAction *> &mnuFav1() const { return m_favourites->mnuFav1(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void assemble();
    void wire();

    // The agreement and the upgrade; false when the program is to end.
    bool agreementAndUpgrade();
    void Form_Load();
    void Form_Unload();
    void mnuExit_Click();
    void mnuCloseIG_Click();
    // Entry points of the windows that the options, update and About
    // commands open.
    void openOptions(int page);
    void openUpdate();
    void openAbout(bool modal);
    void Form_Resize();
    void mnuShowIG_Click();
    void ostrel_MouseUp(int button);
    void ostrel_MouseDblClick();
    void captionShowIG();
    void putInTray();
    const platform::Picture &programIcon();
    void showLogo();

    // The folder of the image on the command line, if it can be listed.
    QString commandLineFolder();
    // True when the command line's image folder was opened.
    bool openStartFolder(const QString &imageFolder);
    bool selectCommandLineImage();
    void imageSelected();
    void setWindowHeightTwips(double formHeight);
    void mnuResizable_Click();
    // Fixed at its own size, or free to grow from it.
    void applyResizable(bool on);
    // The controls follow the client area's growth past its fixed size.
    void followGrowth();
    void save(const core::SettingKey &key, const QString &value);
    QMenu *favouritesMenu() override { return mnuFav; }
    QString currentFolder() const override;
    QList<std::pair<QString, QString>> favouriteItems() const override;
    void setInTray(bool inTray) override;
    void goToFolder(const QString &folder) override;
    void favouritesPanelToggled(bool shown);
    void tipPlaceholder(bool tipsOn);
    void paneCleared();
    // Full Screen and Resize greyed until an image is shown.
    void disableViewButtons();
    void fullScreenLaunch();

    // The full-screen viewer, opened by the display.
    bool open(bool launchedFromCommandLine) override;
    platform::DriveListBox &hostDrive() override { return *Drive1; }
    platform::DirListBox &hostFolders() override { return *Dir1; }
    platform::FileListBox &hostFiles() override { return *File1; }
    void ShowSelectedImage() override;
    void viewerClosed() override;
    void popUpFavourites(const QPoint &at) override;
    void showHelpContents() override;
    void showAbout() override { openAbout(true); }

    core::SettingsStore &m_settings;
    core::AppState &m_state;
    platform::Desktop &m_desktop;
    StartupInfo m_startup;
    std::unique_ptr<platform::PictureCache> m_ownCache;
    std::unique_ptr<DesktopSeam> m_seam;
    std::unique_ptr<core::PantrelComponents> m_components;
    bool m_unloaded = false;
    bool m_programIconRead = false;
    platform::Picture m_programIcon;
    int m_stripHeight = 0; // pixels: the information strip's labels in the desktop's font
    bool m_resizable = false;
    double m_formHeight = layout::FormHeightWithInfo; // twips, as the strip makes it
    QSize m_fixedClient;                              // the client area at the window's own size
    // The controls that move or grow with the window, at their places in
    // the window of its own size.
    struct Growing
    {
        QWidget *control;
        QRect base;
        layout::Growth growth;
    };
    std::vector<Growing> m_growing;
    browser::InfoPanel *m_info = nullptr;
    browser::FolderNavigation *m_navigation = nullptr;
    browser::ImageDisplay *m_display = nullptr;
    favourites::FavouritesMenu *m_favourites = nullptr;
    extras::TipPanel *m_tips = nullptr;
    browser::Toolbar *m_toolbar = nullptr;
    browser::BrowserCommands *m_commands = nullptr;
    std::unique_ptr<extras::SystemReachability> m_reachability;
    QPointer<extras::frmAbout> m_about; // the one opened from the tray
};
