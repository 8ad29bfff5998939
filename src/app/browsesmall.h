#pragma once

#include "AppState.h"
#include "browser/MainControls.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/ListBoxes.h"
#include "platform/PictureButton.h"
#include "SettingsStore.h"

#include <array>
#include <memory>
#include <QMainWindow>
#include <QPointer>

class Imagedim;
namespace browser {
class FolderNavigation;
class ImageDisplay;
class InfoPanel;
} // namespace browser
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
};

// The main browser window.
// The controls that browsing and display work on are those of MainControls.
class browsesmall final : public QMainWindow, public browser::MainControls
{
    Q_OBJECT
public:
    browsesmall(core::SettingsStore &settings, core::AppState &state, platform::Desktop &desktop,
                StartupInfo startup, QWidget *parent = nullptr);
    ~browsesmall() override;

    // The start-up steps; run once after construction, before the window shows.
    void Form_Load();

    // Controls, named and object-named as the window's design names them.
    QFrame *fraFavLab = nullptr;
    QLabel *Label4 = nullptr;
    QListWidget *FavList = nullptr;
    QWidget *Picture2 = nullptr;
    QPointer<Imagedim> imagedim;

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
    QAction *mnuAdd = nullptr;
    QAction *mnuFavMan = nullptr;
    std::vector<QAction *> mnuFav1;
    QAction *mnuImages = nullptr;
    QMenu *mnuGoItem = nullptr;
    QAction *mnuMail = nullptr;
    QAction *mnuMail2 = nullptr;
    QAction *mnuHomepage = nullptr;
    QAction *mnuTopten = nullptr;
    std::array<QAction *, 5> mnuLink{}; // mnuLink1, 2, 3, 5, 6
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpcont = nullptr;
    QAction *mnuReadme = nullptr;
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
    const QStringList &typeIconPaths() const { return m_typeIconPaths; }

    browser::FolderNavigation &navigation() { return *m_navigation; }
    browser::ImageDisplay &display() { return *m_display; }
    browser::InfoPanel &info() { return *m_info; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void wire();

    void Form_Unload();
    void mnuExit_Click();
    void mnuCloseIG_Click();

    void openStartFolder();
    void openCommandLineImage();
    QPixmap storedPicture(const QString &name) const;
    void setWindowHeightTwips(double formHeight);
    void showError(const platform::Error &error);

    core::SettingsStore &m_settings;
    core::AppState &m_state;
    platform::Desktop &m_desktop;
    StartupInfo m_startup;
    QStringList m_typeIconPaths;
    bool m_unloaded = false;
    browser::InfoPanel *m_info = nullptr;
    browser::FolderNavigation *m_navigation = nullptr;
    browser::ImageDisplay *m_display = nullptr;
};
