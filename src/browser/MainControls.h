#pragma once

#include "platform/ListBoxes.h"
#include "platform/PictureButton.h"

#include <array>
#include <functional>
#include <QMenu>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWidget;

namespace browser {

// The main window's controls that browsing and display work on, named as
// the window's design names them. The window owns them; the components only
// use them.
struct MainControls
{
    QWidget *form = nullptr; // the window itself
    platform::DriveListBox *Drive1 = nullptr;
    platform::DirListBox *Dir1 = nullptr;
    platform::FileListBox *File1 = nullptr;
    std::array<platform::PictureButton *, 11> pics{}; // 2 and 8 are unused
    QFrame *Picture1 = nullptr;
    platform::PictureButton *Image1 = nullptr;
    QLabel *imagedimPicture1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QLabel *ftype = nullptr;
    QLabel *FileDate = nullptr;
    QLabel *ImageSize = nullptr;
    QLabel *ImDimen = nullptr;
    QLabel *FileName = nullptr;
    platform::PictureButton *Label1 = nullptr;
    platform::PictureButton *Label2 = nullptr;
    QLabel *welcome = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *lblTipText = nullptr;
    QPushButton *cmdNextTip = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;

    QMenu *mnuView = nullptr;
    QMenu *mnuFav = nullptr;
    QMenu *mnuFTs = nullptr;
    QAction *mnuStretch = nullptr;
    QAction *mnuStatus = nullptr;
    QAction *mnuFullscrn = nullptr;
    QMenu *mnuBackCol = nullptr;
    QAction *mnuBGrey = nullptr;
    QAction *mnuBWhite = nullptr;
    QAction *mnuBBlack = nullptr;
    QAction *mnuChooseCol = nullptr;
    QAction *mnuTips = nullptr;
    std::array<QAction *, 7> mnuFT{};

    // The toolbar pictures of the window's picture store.
    std::function<QPixmap(const QString &name)> toolbarPicture;
    // Sets the whole window's height, in twips.
    std::function<void(double)> setFormHeight;
};

// The full-screen viewer, as the main window's display opens it.
class FullScreenViewer
{
public:
    virtual ~FullScreenViewer() = default;
    // Opens the viewer modally; Error 6 when the picture is too large for it.
    virtual void open() = 0;
};

} // namespace browser
