#pragma once

#include <QPixmap>
#include <QString>

namespace browser {

// The store of toolbar pictures by name ("previous", "nextbw", "Fullscreen",
// "actual"...); the main window's hidden picture window answers it.
class ToolbarPictures
{
public:
    virtual ~ToolbarPictures() = default;
    virtual QPixmap picture(const QString &name) const = 0;
};

} // namespace browser
