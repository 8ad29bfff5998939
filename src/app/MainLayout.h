#pragma once

#include "platform/Twips.h"

#include <algorithm>
#include <cmath>
#include <QRect>
#include <QRectF>

// Geometry of the main window in twips, relative to the client area below the
// menu bar. The window heights are those of the whole window, so the client
// height is the window height less the title bar, menu bar and borders.
namespace layout {

inline constexpr double FormWidth = 9600;
inline constexpr double FormHeightWithInfo = 7020;
inline constexpr double FormHeightWithoutInfo = 6705;
inline constexpr double NonClientHeight = 705;

inline constexpr QRectF Toolbar{0, 0, 9600, 690};
inline constexpr double ButtonSize = 510;
inline constexpr double ButtonGap = 60;
inline constexpr double ButtonTop = 90;
inline constexpr double ButtonLeft = 120;

inline constexpr QRectF Drive1{120, 825, 2370, 315};
inline constexpr QRectF Dir1{120, 1200, 2370, 2205};
inline constexpr QRectF File1{120, 3465, 2370, 2520};
inline constexpr QRectF FavFrame{120, 825, 2370, 2580};

inline constexpr QRectF Picture1{2610, 825, 6675, 4965};
inline constexpr QRectF HScroll1{2610, 5790, 6675, 225};
inline constexpr QRectF VScroll1{9285, 825, 225, 4965};
// The stretched picture's box inside the pane.
inline constexpr QRectF StretchBox{0, 0, Picture1.width(), Picture1.height()};

inline constexpr QRectF Label2{9285, 5790, 225, 195};
inline constexpr QRectF Label1{9285, 6075, 225, 195};

inline constexpr double InfoTop = 6120;
inline constexpr double InfoHeight = 195;
inline constexpr QRectF ftype{150, InfoTop, 1200, InfoHeight};
// 1050 twips wide from 1350, so that a date and time fit.
inline constexpr QRectF FileDate{1350, InfoTop, 1050, InfoHeight};
inline constexpr QRectF ImageSize{2430, InfoTop, 915, InfoHeight};
inline constexpr QRectF ImDimen{3420, InfoTop, 1005, InfoHeight};
inline constexpr QRectF FileName{4545, InfoTop, 4740, InfoHeight};

// Inside Picture1.
inline constexpr QRectF lblTipText{345, 840, 5925, 3330};
inline constexpr QRectF cmdNextTip{157, 4485, 6300, 375};
inline constexpr QRectF chkLoadTipsAtStartup{225, 4575, 1800, 195};

inline constexpr QRectF welcome{6000, 90, 2880, 510};
inline constexpr QRectF Image2{8970, 90, 510, 510};

// The toolbar slot of a button index (0..10; 2 and 8 are gaps).
inline QRectF buttonRect(int index)
{
    // The unused slots are half-width separators.
    const int gapsBefore = (index > 2 ? 1 : 0) + (index > 8 ? 1 : 0);
    return {ButtonLeft + index * (ButtonSize + ButtonGap) - gapsBefore * ButtonSize / 2, ButtonTop,
            ButtonSize, ButtonSize};
}

// The strip's labels: 195 twips, or as tall as the font when it is taller.
inline int stripHeightPixels(int fontHeight)
{
    return std::max(platform::twips::toPixels(InfoHeight), fontHeight);
}

// How a control follows a window grown past its fixed size: the shares of
// the growth by which its edges move (left, right; top, bottom).
struct Growth
{
    double left = 0, right = 0, top = 0, bottom = 0;
};

inline QRect grown(const QRect &base, Growth growth, int dx, int dy)
{
    const auto share = [](double part, int by) { return int(std::floor(part * by)); };
    return QRect(
        QPoint(base.left() + share(growth.left, dx), base.top() + share(growth.top, dy)),
        QPoint(base.right() + share(growth.right, dx), base.bottom() + share(growth.bottom, dy)));
}

inline double clientHeight(double formHeight)
{
    return formHeight - NonClientHeight;
}

} // namespace layout
