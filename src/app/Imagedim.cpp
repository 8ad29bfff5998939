#include "Imagedim.h"

#include <QPainter>
#include <QStyle>

namespace {

constexpr int iconSize = 26;

QPixmap active(QStyle *style, QStyle::StandardPixmap which)
{
    return style->standardIcon(which).pixmap(iconSize, iconSize);
}

QPixmap inactive(QStyle *style, QStyle::StandardPixmap which)
{
    return style->standardIcon(which).pixmap(iconSize, iconSize, QIcon::Disabled);
}

// A frame with arrows: the picture of the actual-size and stretch buttons.
QPixmap sizeSymbol(bool outward, const QColor &colour)
{
    QPixmap pixmap(iconSize, iconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.drawRect(QRectF(4, 4, iconSize - 8, iconSize - 8));
    const double inner = outward ? 8 : 11;
    painter.fillRect(QRectF(inner, inner, iconSize - 2 * inner, iconSize - 2 * inner), colour);
    return pixmap;
}

// A glyph drawn in a circle, for pictures the style has no icon for.
QPixmap glyph(const QString &text, const QColor &colour)
{
    QPixmap pixmap(iconSize, iconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(2, 2, iconSize - 4, iconSize - 4));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(iconSize - 10);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, iconSize, iconSize), Qt::AlignCenter, text);
    return pixmap;
}

} // namespace

Imagedim::Imagedim(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Imagedim"));
    QStyle *s = style();
    pics[0] = active(s, QStyle::SP_ArrowLeft);
    pics[1] = inactive(s, QStyle::SP_ArrowLeft);
    pics[2] = active(s, QStyle::SP_ArrowRight);
    pics[3] = inactive(s, QStyle::SP_ArrowRight);
    Fullscreen = active(s, QStyle::SP_TitleBarMaxButton);
    Fullscreenbw = inactive(s, QStyle::SP_TitleBarMaxButton);
    resize = sizeSymbol(true, Qt::darkBlue);
    resizebw = sizeSymbol(true, Qt::gray);
    actual = sizeSymbol(false, Qt::darkBlue);
    fav = glyph(QStringLiteral("\u2605"), QColor(0xC0, 0x90, 0x00));
    Folders = active(s, QStyle::SP_DirIcon);
    Picture2 = Folders;
    home = active(s, QStyle::SP_DirHomeIcon);
    refresh = active(s, QStyle::SP_BrowserReload);
    options = active(s, QStyle::SP_FileDialogDetailedView);
    help = glyph(QStringLiteral("?"), QColor(0x20, 0x60, 0xC0));
}

QPixmap Imagedim::picture(const QString &name) const
{
    const std::pair<const char *, const QPixmap *> named[] = {
        {"previous", &pics[0]}, {"previousbw", &pics[1]},    {"next", &pics[2]},
        {"nextbw", &pics[3]},   {"Fullscreen", &Fullscreen}, {"Fullscreenbw", &Fullscreenbw},
        {"resize", &resize},    {"resizebw", &resizebw},     {"actual", &actual},
        {"fav", &fav},          {"Folders", &Folders}};
    for (const auto &[key, pixmap] : named) {
        if (name == QLatin1String(key))
            return *pixmap;
    }
    return {};
}
