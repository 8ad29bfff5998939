#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "platform/Animation.h"
#include "platform/Desktop.h"
#include "platform/DragPan.h"
#include "platform/ListBoxes.h"
#include "platform/PictureButton.h"
#include "platform/PictureRegions.h"
#include "platform/PictureSource.h"
#include "ViewerHost.h"

#include <array>
#include <functional>
#include <optional>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QTimer>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace fullscreen {

// The full-screen viewer with its MiniBrowser panel: a borderless window
// over the screen, showing the main window's picture at its natural size.
// It never decodes a file: it selects the entry in the main window's list
// and has the main window show it.
class Form4 final : public QDialog
{
    Q_OBJECT
public:
    // launchedFromCommandLine: opened straight from the command line, so
    // that with "close after one image" it ends the program.
    Form4(ViewerHost &host, platform::PictureSource &pictures, core::AppState &state,
          core::SettingsStore &settings, platform::Desktop &desktop,
          bool launchedFromCommandLine = false, QWidget *parent = nullptr);
    ~Form4() override;

    // The main window's folder changed while the viewer is open.
    void followFolder(const QString &folder);
    // Still as launched from the command line: no other image was chosen
    // and it was not left through Exit.
    bool launchedFromCommandLine() const { return m_launchedFromCommandLine; }

    // Canvas.
    platform::PictureButton *Picture1 = nullptr;
    platform::PictureButton *Image1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    platform::PictureButton *Label1 = nullptr; // the caption
    platform::PictureButton *Label2 = nullptr; // reveals the menu bar
    platform::PictureButton *Label4 = nullptr; // hides it; a click closes
    platform::PictureButton *lblMiniOn = nullptr;
    platform::PictureButton *lblMiniOff = nullptr;
    QTimer Tim;

    // MiniBrowser.
    QFrame *Frame1 = nullptr;
    QFrame *Shape1 = nullptr;
    QFrame *Shape2 = nullptr;
    QLabel *Label5 = nullptr;
    platform::PictureButton *Image3 = nullptr; // the program's icon
    platform::PictureButton *Image2 = nullptr; // the pin
    QLabel *shpPinOn = nullptr;
    QPushButton *cmdExit = nullptr;
    platform::DriveListBox *Drive1 = nullptr;
    platform::DirListBox *Dir1 = nullptr;
    platform::FileListBox *File1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *lblNumber = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *lblCount = nullptr;

    // Menus.
    QMenuBar *menuBar = nullptr;
    QMenu *mnuOptions = nullptr;
    QMenu *mnuBackCol = nullptr;
    // Black, White, Grey, Green, Blue, Red, Yellow.
    std::array<QAction *, 7> mnuColour{};
    QAction *mnuInfo = nullptr;
    QAction *mnuFit = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuContents = nullptr;
    QAction *mnuAbout = nullptr;
    QMenu *mnuIcon = nullptr;
    QAction *mnuExit2 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void buildCanvas();
    void buildMiniBrowser();
    void buildMenus();
    void wire();
    void wireMiniBrowser();

    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void File1_Click();
    void Nav(int button);
    void Tim_Timer();
    void ColReset();
    void mnuColour_Click(int index);
    void mnuInfo_Click();
    void mnuFit_Click();
    void mnuExit_Click();
    void mnuContents_Click();
    void mnuAbout_Click();
    void HScroll1_Change();
    void VScroll1_Change();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_MouseDown();
    void listMouseUp(Qt::MouseButton button);
    void Image2_Click();
    void Image3_DblClick();
    void Image3_MouseDown(Qt::MouseButton button);
    void cmdExit_Click();
    void lblMiniOn_MouseMove();
    void lblMiniOff_MouseMove();

    QSize screenTwips() const;
    void layout();
    void applyScheme(int index);
    void showMenus(bool shown);
    void updateCounters();
    void tooLarge();
    // Whether a click, key or wheel may step now: false while the lock holds,
    // or when the options make it close the viewer instead (then closed).
    bool navigationAllowed();
    void step(int direction); // -1 previous, +1 next, with the wrap notices
    void stepKey(int key);
    bool wheel(QWidget *over, QWheelEvent *event);
    void attempt(const std::function<void()> &action);
    // Runs a handler's work, reporting what it throws.
    void reported(const std::function<void()> &action);
    void selectEntry(int index);
    void applyGreyMode();

    ViewerHost &m_host;
    platform::PictureSource &m_pictures;
    core::AppState &m_state;
    // Held while the viewer is open.
    std::optional<core::FlagHold> m_secondary;
    std::optional<core::FlagHold> m_fullScreen;
    bool m_launchedFromCommandLine;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    QTimer m_iconMenuDue; // the icon's menu, once no double-click came
    bool m_unloaded = false;
    // Wheel turns not yet stepped on, in eighths of a degree.
    int m_wheelTurned = 0;
    // Ctrl+wheel's choice between fitted and natural size, over Fit to
    // Screen's until Fit to Screen is chosen again; not kept.
    std::optional<bool> m_fitByWheel;
    bool fitting() const;
    // The box pictures are decoded within: the screen's, in device pixels,
    // when fitting; empty at natural size.
    QSize viewedBox() const;
    // Fitting changed: the picture is decoded again if it must be, and laid out.
    void refit();
    // Kept for the next launch straight into full screen.
    void rememberBox(QSize box);
    QSize shownPixels() const;
    void showFrame(const QImage &frame);
    // At natural size, a picture too large to hold whole is painted from
    // the regions decoded around what is seen, over its overview.
    void wantRegion();
    // What is seen of the picture, in its pixels.
    QRect seenArea() const;
    void paintRegions(const QRect &exposed);
    QPointer<platform::PictureRegions> m_regions;
    platform::Animation m_animation;
    platform::DragPan *m_pan = nullptr;
    static constexpr int WheelNotch = 120;
};

} // namespace fullscreen
