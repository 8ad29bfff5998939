#pragma once

#include "app/AppState.h"
#include "app/SettingsStore.h"
#include "DisplayLayout.h"
#include "MainControls.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/Picture.h"

namespace browser {

class InfoPanel;

// The display pane: showing the selected file, the two display modes,
// panning, the back colour and the hand-over to the full-screen viewer.
class ImageDisplay final : public QObject
{
    Q_OBJECT
public:
    ImageDisplay(MainControls &controls, core::AppState &state, core::SettingsStore &settings,
                 platform::Desktop &desktop, InfoPanel &info, QObject *parent = nullptr);

    void File1_Click();
    void ShowSelectedImage();
    void mnuStretch_Click();
    // The toolbar's resize button.
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

    // Start-up: the display mode from "ImageSize" and the colour from "Colour".
    void applyStartupMode();
    void applyStartupColour();

    void setViewer(FullScreenViewer *viewer) { m_viewer = viewer; }
    bool stretched() const { return m_stretch; }
    const platform::Picture &picture() const { return m_picture; }
    // The picture at full size, for the viewer and the clipboard.
    QImage fullSizeImage();
    QColor backColour() const;
    void setDecoder(const platform::PictureDecoder &decoder) { m_decoder = decoder; }

private:
    void toStretched();
    void toActualSize();
    void switchMode(bool fromToolbar);
    void layoutActualSize();
    void showImage();
    void setBackColour(unsigned bgr);
    void clearPicture();
    void stepFailed(const platform::Error &error);
    void tooLarge();

    MainControls &m_c;
    core::AppState &m_state;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    InfoPanel &m_info;
    platform::PictureDecoder m_decoder;
    platform::Picture m_picture;
    QImage m_fullSize;
    FullScreenViewer *m_viewer = nullptr;
    bool m_stretch = true; // Image1 stretches its picture
};

} // namespace browser
