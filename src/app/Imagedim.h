#pragma once

#include <array>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

// The hidden second window: the store of toolbar pictures and a picture box
// that takes a picture's natural size so it can be measured.
class Imagedim final : public QWidget
{
    Q_OBJECT
public:
    explicit Imagedim(QWidget *parent = nullptr);

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

    QLabel *Picture1 = nullptr;
};
