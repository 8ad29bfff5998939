#pragma once

#include <QImage>

namespace platform {

// Whatever shows a picture and can hand it over at its natural size.
class PictureSource
{
public:
    virtual ~PictureSource() = default;
    // The picture shown now at its natural size; null when none is shown.
    // Error 6 when it is too large to hold.
    virtual QImage shownPicture() const = 0;
};

} // namespace platform
