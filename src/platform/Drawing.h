#pragma once

#include <QPainter>
#include <QPixmap>

namespace platform {

// A transparent square picture drawn by the program: draw(QPainter &) paints
// it, antialiased. The program draws its small pictures rather than reading
// the style's icons, which go through every image plugin Qt has.
template <typename Draw> QPixmap drawnPicture(int side, Draw draw)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

} // namespace platform
