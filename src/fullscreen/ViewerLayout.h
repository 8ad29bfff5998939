#pragma once

#include <QRectF>
#include <QSizeF>

// Arithmetic of the full-screen viewer, in twips.
namespace fullscreen {

inline constexpr double BarThickness = 200;
inline constexpr double PanelTop = 1755;
inline constexpr double PanelHeight = 6010;

// Where the canvas, the picture and the scroll bars go for a picture on a
// screen. A picture smaller than the screen in a dimension is centred with
// no bar; a larger one keeps a bar's margin and a bar that reaches all of it.
struct ViewerLayout
{
    QSizeF canvas;
    QPointF picture; // top-left inside the canvas, scrolled to the start
    bool hBar = false;
    bool vBar = false;
    int hMax = 0;
    int vMax = 0;
    QRectF hBarRect;
    QRectF vBarRect;
};
ViewerLayout viewerLayout(QSizeF screen, QSizeF picture);

// The size a picture is shown at with "Fit to Screen": scaled down, aspect
// kept, where it is larger than the screen; as it is otherwise.
QSizeF fittedSize(QSizeF screen, QSizeF picture);

// The MiniBrowser's top: a quarter of its first place on a screen too short.
double panelTop(double screenHeight);

} // namespace fullscreen
