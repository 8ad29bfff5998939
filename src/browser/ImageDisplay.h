#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "DisplayLayout.h"
#include "platform/Animation.h"
#include "platform/Desktop.h"
#include "platform/DragPan.h"
#include "platform/Error.h"
#include "platform/ListBoxes.h"
#include "platform/Picture.h"
#include "platform/PictureButton.h"
#include "platform/PictureCache.h"
#include "platform/PictureRegions.h"
#include "platform/PictureSource.h"
#include "ToolbarPictures.h"

#include <optional>
#include <QObject>
#include <QTimer>

class QAction;
class QFrame;
class QMenu;
class QScrollBar;

namespace browser {

// The full-screen viewer, as the display opens it.
class FullScreenViewer
{
public:
    virtual ~FullScreenViewer() = default;
    // Opens the viewer modally; Error 6 when the picture is too large for it.
    // launchedFromCommandLine as Form4 takes it; returns its state on closing.
    virtual bool open(bool launchedFromCommandLine) = 0;
};

// The display pane: showing the selected file, the two display modes,
// panning, the back colour and the hand-over to the full-screen viewer.
class ImageDisplay final : public QObject, public platform::PictureSource
{
    Q_OBJECT
public:
    struct Controls
    {
        // The image file list, owned by the navigation: read and selected only.
        platform::FileListBox *File1 = nullptr;
        QFrame *Picture1 = nullptr;
        platform::PictureButton *Image1 = nullptr;
        QScrollBar *HScroll1 = nullptr;
        QScrollBar *VScroll1 = nullptr;
        platform::PictureButton *fullScreenButton = nullptr; // pics(6)
        platform::PictureButton *resizeButton = nullptr;     // pics(7)
        QMenu *mnuView = nullptr;
        QAction *mnuStretch = nullptr;
        QAction *mnuFullscrn = nullptr;
        QMenu *mnuBackCol = nullptr;
        QAction *mnuBGrey = nullptr;
        QAction *mnuBWhite = nullptr;
        QAction *mnuBBlack = nullptr;
        QAction *mnuChooseCol = nullptr;
        QAction *mnuKeepProp = nullptr;
    };

    ImageDisplay(const Controls &controls, core::AppState &state, core::SettingsStore &settings,
                 platform::Desktop &desktop, const ToolbarPictures &pictures,
                 QObject *parent = nullptr);

    void ShowSelectedImage();
    // Shows a file that the list does not hold, as a selected one is shown.
    void showFile(const QString &path);
    // The size a picture is decoded at for the pane: stretched, or natural
    // (empty) at actual size.
    static QSize paneTarget(bool stretched);
    // Start-up: the display mode from "ImageSize" and the colour from "Colour".
    void applyStartupMode();
    void applyStartupColour();

    void setViewer(FullScreenViewer *viewer) { m_viewer = viewer; }
    // Start-up straight into full screen: until the viewer opens, pictures
    // are decoded at the target it will show them at (nothing: the pane's).
    void setLaunchTarget(std::optional<QSize> target) { m_launchTarget = target; }
    // The pane took another size: the picture follows it.
    void paneResized();
    // The viewer has closed, leaving its picture here: laid out again
    // without reloading, centred where it is smaller than the pane.
    void viewerClosed();
    void setDecoder(const platform::PictureDecoder &decoder) { m_decoder = decoder; }
    // Pictures decoded ahead: the neighbours of the shown entry are read
    // into it after each showing. Without one, every picture is decoded
    // when it is chosen.
    void setCache(platform::PictureCache *cache) { m_cache = cache; }
    // The folder changed: what was read ahead belongs to the old one.
    void dropLookAhead(const QString &folder);
    // Start-up: reading ahead waits until the first picture is on screen,
    // so that it takes nothing from the first paint.
    void holdLookAheadUntilPainted();
    bool stretched() const { return m_stretch; }
    const platform::Picture &picture() const { return m_picture; }
    // The picture at full size, for the viewer and the clipboard.
    QImage shownPicture() const override;
    QImage viewedPicture() const override { return m_picture.image; }
    QSize naturalSize() const override { return m_picture.naturalSize; }
    void setViewedBox(QSize box) override;
    platform::PictureRegions *regions() const override { return m_regions.get(); }
    // The first picture is on screen, in the pane or the viewer: reading
    // ahead may start.
    void picturePainted() override;
    // Opens the full-screen viewer on the picture shown; launchedFromCommandLine
    // as the viewer takes it. True when the viewer closed still as launched
    // from the command line.
    bool openFullScreen(bool launchedFromCommandLine);
    QColor backColour() const;

Q_SIGNALS:
    // A file was selected for showing, before it is read.
    void imageSelected();
    // The file is shown; its dimensions in pixels.
    void imageShown(const QString &path, const QString &entryName, QSize dimensions);
    // The file could not be shown: the pane is empty.
    void imageFailed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wire();
    void File1_Click();
    void mnuStretch_Click();
    void resizeButton_Click();
    void HScroll1_Change();
    void VScroll1_Change();
    void mnuBGrey_Click();
    void mnuBWhite_Click();
    void mnuBBlack_Click();
    void mnuChooseCol_Click();
    void ColReset();
    void mnuFullscrn_Click();
    void Image1_MouseUp(Qt::MouseButton button);
    void Image1_DblClick();
    void mnuKeepProp_Click();
    // The size a stretched picture is shown at.
    QSize stretchedSize() const;
    void File1_KeyDown(int key);
    // listIndex: the file's entry in File1, or -1.
    void showPicture(const QString &path, const QString &name, int listIndex);
    void drawWhenStillChosen(const QString &path, quint64 choice);
    void enableViewButtons();
    // A moving GIF plays while the pane is seen.
    void playAnimation();
    void showFrame(const QImage &frame);
    bool paneSeen() const;
    void redrawAtPaneSize();

    void toStretched();
    void toActualSize();
    void switchMode(bool fromToolbar);
    void layoutActualSize();
    void showImage();
    // Image1's place and size for the mode, the pixmap left as it is.
    void placeImage();
    void setBackColour(unsigned bgr);
    void saveColour(const QString &value);
    void clearPicture();
    void tooLarge();
    platform::Picture decode(const QString &path, QSize target);
    // The pane's size, or the natural size while the viewer shows pictures.
    QSize decodeTarget() const;
    // decodeTarget for path; at natural size in the viewer, a picture too
    // large to hold whole gets its regions, and the target of an overview.
    QSize targetFor(const QString &path);
    void lookAhead(int shownIndex);

    Controls m_c;
    core::AppState &m_state;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    const ToolbarPictures &m_pictures;
    platform::PictureDecoder m_decoder;
    platform::Picture m_picture;
    platform::Animation m_animation;
    platform::DragPan *m_pan = nullptr;
    QTimer m_redraw; // a stretched picture is drawn again when resizing stops
    std::optional<QSize> m_launchTarget;
    QSize m_viewerBox; // the full-screen viewer's, in device pixels; empty: natural size
    std::unique_ptr<platform::PictureRegions> m_regions;
    mutable QImage m_fullSize; // shownPicture's copy, made when first asked
    FullScreenViewer *m_viewer = nullptr;
    platform::PictureCache *m_cache = nullptr;
    int m_lastIndex = -1;  // the entry shown before: the direction of travel
    quint64 m_choices = 0; // pictures asked for so far: a later one makes an earlier stale
    bool m_lookAheadHeld = false;
    bool m_lookAheadArmed = false; // held, and a picture is on its way to the screen
    bool m_stretch = true;         // Image1 stretches its picture
    bool m_keepProportions = false;
    bool m_anySelected = false; // an image was selected once: the view commands work
};

} // namespace browser
