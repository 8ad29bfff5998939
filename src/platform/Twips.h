#pragma once

#include <cmath>
#include <QPoint>
#include <QRect>
#include <QSize>

// Window geometry is modelled in twips (1/1440 inch); widgets work in pixels.
// Qt scales logical pixels for high-DPI screens, so a logical pixel is 15 twips.
namespace platform::twips {

inline constexpr double perPixel = 15.0;

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / perPixel));
}

inline double fromPixels(int pixels)
{
    return pixels * perPixel;
}

inline QRect rect(double left, double top, double width, double height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

inline QSize size(double width, double height)
{
    return {toPixels(width), toPixels(height)};
}

} // namespace platform::twips
