#pragma once

#include "browser/ToolbarPictures.h"

#include <array>
#include <QPixmap>
#include <QWidget>

// The hidden second window: the store of toolbar pictures. It lives as long
// as the main window that owns it. Pictures are measured by their decoder,
// so it needs no measuring box.
class Imagedim final : public QWidget, public browser::ToolbarPictures
{
    Q_OBJECT
public:
    explicit Imagedim(QWidget *parent = nullptr);

    QPixmap picture(browser::ToolbarPicture which) const override;

    // Previous (active, inactive) and next (active, inactive).
    std::array<QPixmap, 4> pics;
    QPixmap Fullscreen;
    QPixmap Fullscreenbw;
    QPixmap resize;
    QPixmap resizebw;
    QPixmap actual;
    QPixmap fav;
    QPixmap Folders;
    // Shown on the favourites button while the favourites panel is in place.
    QPixmap Picture2;
    // The fixed pictures of the other toolbar buttons.
    QPixmap home;
    QPixmap refresh;
    QPixmap options;
    QPixmap help;
    // The display pane's pictures while no image is shown: tips on and off.
    QPixmap tipsPicture;
    QPixmap noTipsPicture;
};
