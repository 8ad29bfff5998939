#pragma once

#include <QImage>
#include <QSize>

namespace platform {

class PictureRegions;

// Whatever shows a picture and can hand it over at its natural size.
class PictureSource
{
public:
    virtual ~PictureSource() = default;
    // The picture shown now at its natural size; null when none is shown.
    // Error 6 when it is too large to hold.
    virtual QImage shownPicture() const = 0;
    // For a viewer: the picture as decoded for it, at most as large as the
    // box it gave, and the picture's natural size.
    virtual QImage viewedPicture() const = 0;
    virtual QSize naturalSize() const = 0;
    // The viewer shows pictures within this box of device pixels from now
    // on (empty: at their natural size); the picture shown is decoded
    // again if it does not suit. Error 6 when it is too large to hold.
    virtual void setViewedBox(QSize box) = 0;
    // At natural size, a picture too large to hold whole is seen through
    // regions of it, and viewedPicture is only a small overview; null when
    // viewedPicture is the whole picture.
    virtual PictureRegions *regions() const = 0;
    // The viewer has painted a picture: the first paint is what starting
    // up waits for.
    virtual void picturePainted() = 0;
};

} // namespace platform
