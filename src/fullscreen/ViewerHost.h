#pragma once

#include "platform/ListBoxes.h"

#include <QImage>
#include <QPoint>

namespace fullscreen {

// What the full-screen viewer needs of the main window, which answers it.
class ViewerHost
{
public:
    virtual ~ViewerHost() = default;

    virtual platform::DriveListBox &hostDrive() = 0;
    virtual platform::DirListBox &hostFolders() = 0;
    virtual platform::FileListBox &hostFiles() = 0;
    // Decodes the main file list's selection into the display: the one way
    // a picture is shown.
    virtual void ShowSelectedImage() = 0;
    // The viewer has closed: the display lays out its picture again,
    // centred in the pane where it is smaller.
    virtual void viewerClosed() = 0;
    virtual void popUpFavourites(const QPoint &at) = 0;
    virtual void showHelpContents() = 0;
    virtual void showAbout() = 0;
};

} // namespace fullscreen
