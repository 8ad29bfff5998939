#pragma once

#include <QPixmap>

namespace browser {

// The toolbar's pictures; "Bw" is the greyed look of a button that is off.
enum class ToolbarPicture {
    Previous,
    PreviousBw,
    Next,
    NextBw,
    FullScreen,
    FullScreenBw,
    Resize,
    ResizeBw,
    Actual,
    Favourites,
    Folders,
};

// The store of toolbar pictures; the main window's hidden picture window
// answers it.
class ToolbarPictures
{
public:
    virtual ~ToolbarPictures() = default;
    virtual QPixmap picture(ToolbarPicture which) const = 0;
};

} // namespace browser
