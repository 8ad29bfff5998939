#include "Imagedim.h"

#include "platform/Drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <QPainter>

namespace {

constexpr int iconSize = 26;

// Contrast as the accessibility guidelines measure it: 1 (none) to 21.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](double c) {
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A picture's own ink where it stands out from the toolbar under the
// user's theme, else the theme's text colour (dimmed for a greyed picture).
QColor inkFor(const QPalette &palette, const QColor &own, bool active)
{
    const QColor background = palette.color(QPalette::Window);
    if (contrast(own, background) >= (active ? 3.0 : 1.5))
        return own;
    return palette.color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
}

// A toolbar picture drawn in one ink.
template <typename Draw> QPixmap drawn(const QColor &ink, Draw draw)
{
    return platform::drawnPicture(iconSize, [&](QPainter &painter) {
        painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        draw(painter, ink);
    });
}

QPixmap arrow(bool right, const QColor &ink)
{
    return drawn(ink, [right](QPainter &p, const QColor &colour) {
        const double tip = right ? 22 : 4;
        const double back = right ? 12 : 14;
        p.setBrush(colour);
        p.drawPolygon(QPolygonF({QPointF(tip, 13), QPointF(back, 5), QPointF(back, 21)}));
        p.setPen(QPen(colour, 4));
        p.drawLine(QPointF(right ? 4 : 22, 13), QPointF(back, 13));
    });
}

QPixmap fullScreen(const QColor &ink)
{
    return drawn(ink, [](QPainter &p, const QColor &) {
        for (const auto &[x, y, dx, dy] : {std::array{4, 4, 1, 1}, std::array{22, 4, -1, 1},
                                           std::array{4, 22, 1, -1}, std::array{22, 22, -1, -1}})
            p.drawPolyline(
                QPolygonF({QPointF(x, y + 6 * dy), QPointF(x, y), QPointF(x + 6 * dx, y)}));
        p.drawRect(QRectF(9, 9, 8, 8));
    });
}

QPixmap folder(const QColor &ink)
{
    return drawn(ink, [](QPainter &p, const QColor &) {
        p.setBrush(QColor(0xF0, 0xC8, 0x50));
        p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(10, 7), QPointF(12, 9), QPointF(23, 9),
                                 QPointF(23, 21), QPointF(3, 21)}));
    });
}

QPixmap house(const QColor &ink)
{
    return drawn(ink, [](QPainter &p, const QColor &) {
        p.drawPolyline(QPolygonF({QPointF(3, 13), QPointF(13, 4), QPointF(23, 13)}));
        p.drawPolyline(
            QPolygonF({QPointF(6, 11), QPointF(6, 22), QPointF(20, 22), QPointF(20, 11)}));
        p.drawRect(QRectF(11, 15, 4, 7));
    });
}

QPixmap reload(const QColor &ink)
{
    return drawn(ink, [](QPainter &p, const QColor &colour) {
        p.drawArc(QRectF(5, 5, 16, 16), 100 * 16, 290 * 16);
        p.setBrush(colour);
        p.drawPolygon(QPolygonF({QPointF(12, 1), QPointF(17, 5), QPointF(12, 9)}));
    });
}

QPixmap settings(const QColor &ink)
{
    return drawn(ink, [](QPainter &p, const QColor &colour) {
        p.setBrush(colour);
        for (const auto &[y, knob] : {std::pair{7, 16}, std::pair{13, 9}, std::pair{19, 14}}) {
            p.drawLine(QPointF(4, y), QPointF(22, y));
            p.drawEllipse(QPointF(knob, y), 2.5, 2.5);
        }
    });
}

// A frame with arrows: the picture of the actual-size and stretch buttons.
QPixmap sizeSymbol(bool outward, const QColor &colour)
{
    return platform::drawnPicture(iconSize, [&](QPainter &painter) {
        painter.setPen(QPen(colour, 2));
        painter.drawRect(QRectF(4, 4, iconSize - 8, iconSize - 8));
        const double inner = outward ? 8 : 11;
        painter.fillRect(QRectF(inner, inner, iconSize - 2 * inner, iconSize - 2 * inner), colour);
    });
}

// A glyph drawn in a circle, for pictures the style has no icon for.
QPixmap glyph(const QString &text, const QColor &colour)
{
    return platform::drawnPicture(iconSize, [&](QPainter &painter) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(2, 2, iconSize - 4, iconSize - 4));
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(iconSize - 10);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, 0, iconSize, iconSize), Qt::AlignCenter, text);
    });
}

// A quiet backdrop for the display pane while it shows no image.
QPixmap placeholder(const QColor &dark, const QColor &light)
{
    QPixmap pixmap(443, 331);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 0, 331);
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    painter.fillRect(pixmap.rect(), gradient);
    return pixmap;
}

} // namespace

Imagedim::Imagedim(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Imagedim"));
    const QPalette theme = parent ? parent->palette() : palette();
    const QColor activeInk = inkFor(theme, QColor(0x20, 0x40, 0x80), true);
    const QColor inactiveInk = inkFor(theme, QColor(0xA0, 0xA0, 0xA0), false);
    const QColor sizeInk = inkFor(theme, Qt::darkBlue, true);
    const QColor sizeInactiveInk = inkFor(theme, Qt::gray, false);
    pics[0] = arrow(false, activeInk);
    pics[1] = arrow(false, inactiveInk);
    pics[2] = arrow(true, activeInk);
    pics[3] = arrow(true, inactiveInk);
    Fullscreen = fullScreen(activeInk);
    Fullscreenbw = fullScreen(inactiveInk);
    resize = sizeSymbol(true, sizeInk);
    resizebw = sizeSymbol(true, sizeInactiveInk);
    actual = sizeSymbol(false, sizeInk);
    fav = glyph(QStringLiteral("\u2605"), QColor(0xC0, 0x90, 0x00));
    Folders = folder(activeInk);
    Picture2 = Folders;
    home = house(activeInk);
    refresh = reload(activeInk);
    options = settings(activeInk);
    help = glyph(QStringLiteral("?"), QColor(0x20, 0x60, 0xC0));
    tipsPicture = placeholder(QColor(0x18, 0x30, 0x60), QColor(0x40, 0x70, 0xB0));
    noTipsPicture = placeholder(QColor(0x20, 0x20, 0x20), QColor(0x50, 0x50, 0x50));
}

QPixmap Imagedim::picture(browser::ToolbarPicture which) const
{
    using enum browser::ToolbarPicture;
    switch (which) {
    case Previous:
        return pics[0];
    case PreviousBw:
        return pics[1];
    case Next:
        return pics[2];
    case NextBw:
        return pics[3];
    case FullScreen:
        return Fullscreen;
    case FullScreenBw:
        return Fullscreenbw;
    case Resize:
        return resize;
    case ResizeBw:
        return resizebw;
    case Actual:
        return actual;
    case Favourites:
        return fav;
    case Folders:
        return this->Folders;
    }
    return {};
}
