#include "ViewerLayout.h"

#include <cmath>

namespace fullscreen {

namespace {

struct Axis
{
    double canvas;
    double offset;
    bool bar;
    int max;
};

Axis axis(double screen, double picture)
{
    if (picture <= screen)
        return {screen, picture < screen ? (screen - picture) / 2 : 0, false, 0};
    const double canvas = screen - BarThickness;
    return {canvas, 0, true, int(std::floor(picture - canvas))};
}

} // namespace

ViewerLayout viewerLayout(QSizeF screen, QSizeF picture)
{
    const Axis x = axis(screen.width(), picture.width());
    const Axis y = axis(screen.height(), picture.height());
    ViewerLayout layout;
    layout.canvas = {x.canvas, y.canvas};
    layout.picture = {x.offset, y.offset};
    layout.hBar = x.bar;
    layout.vBar = y.bar;
    layout.hMax = x.max;
    layout.vMax = y.max;
    layout.hBarRect = {0, screen.height() - BarThickness, screen.width() - BarThickness,
                       BarThickness};
    layout.vBarRect = {screen.width() - BarThickness, 0, BarThickness,
                       screen.height() - BarThickness};
    return layout;
}

QSizeF fittedSize(QSizeF screen, QSizeF picture)
{
    if (picture.width() <= screen.width() && picture.height() <= screen.height())
        return picture;
    return picture.scaled(screen, Qt::KeepAspectRatio);
}

double panelTop(double screenHeight)
{
    return PanelTop + PanelHeight > screenHeight ? PanelTop / 4 : PanelTop;
}

} // namespace fullscreen
