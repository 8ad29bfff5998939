#include "MetafileGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace metafile {

namespace {

std::uint16_t u16(const unsigned char *p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::int16_t s16(const unsigned char *p)
{
    return static_cast<std::int16_t>(u16(p));
}

std::uint32_t u32(const unsigned char *p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t s32(const unsigned char *p)
{
    return static_cast<std::int32_t>(u32(p));
}

constexpr std::uint32_t placeableKey = 0x9AC6CDD7u;

bool isDrawing(std::uint16_t function)
{
    switch (function) {
    case 0x0213: // LineTo
    case 0x0325: // Polyline
    case 0x0324: // Polygon
    case 0x0538: // PolyPolygon
    case 0x041B: // Rectangle
    case 0x061C: // RoundRect
    case 0x0418: // Ellipse
    case 0x0817: // Arc
    case 0x081A: // Pie
    case 0x0830: // Chord
    case 0x0521: // TextOut
    case 0x0A32: // ExtTextOut
    case 0x062F: // DrawText
    case 0x0922: // BitBlt
    case 0x0940: // DIBBitBlt
    case 0x0B23: // StretchBlt
    case 0x0B41: // DIBStretchBlt
    case 0x0F43: // StretchDIB
    case 0x0D33: // SetDIBitsToDevice
    case 0x061D: // PatBlt
    case 0x041F: // SetPixel
    case 0x0419: // FloodFill
    case 0x0548: // ExtFloodFill
    case 0x0228: // FillRegion
    case 0x0429: // FrameRegion
    case 0x012B: // PaintRegion
    case 0x012A: // InvertRegion
        return true;
    default:
        return false;
    }
}

} // namespace

bool sizeAllowed(long long width, long long height)
{
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
           width * height <= maxPixels;
}

long long pointsToPixels(double points)
{
    if (!std::isfinite(points))
        return 0;
    return std::llround(std::fabs(points) * 96.0 / 72.0);
}

unsigned int gdToArgb(unsigned int pixel)
{
    const unsigned int transparency = (pixel >> 24) & 0x7F;
    const unsigned int alpha = 255 - transparency * 255 / 127;
    return alpha << 24 | (pixel & 0xFFFFFF);
}

bool isEmf(const unsigned char *data, std::size_t size)
{
    return size >= 88 && u32(data) == 1 && u32(data + 40) == 0x464D4520u;
}

bool isWmf(const unsigned char *data, std::size_t size)
{
    if (size >= 4 && u32(data) == placeableKey)
        return true;
    // METAHEADER: type 1 (memory) or 2 (disk), 9 header words, version 1.0 or 3.0.
    if (size < 18)
        return false;
    const std::uint16_t type = u16(data);
    const std::uint16_t version = u16(data + 4);
    return (type == 1 || type == 2) && u16(data + 2) == 9 &&
           (version == 0x0100 || version == 0x0300);
}

EmfFrame emfFrame(const unsigned char *data, std::size_t size)
{
    EmfFrame frame;
    if (!isEmf(data, size))
        return frame;
    const double boundsLeft = s32(data + 8);
    const double boundsTop = s32(data + 12);
    const double frameLeft = s32(data + 24);
    const double frameTop = s32(data + 28);
    const double frameRight = s32(data + 32);
    const double frameBottom = s32(data + 36);
    const double devicePixelsX = s32(data + 72);
    const double devicePixelsY = s32(data + 76);
    const double deviceMmX = s32(data + 80);
    const double deviceMmY = s32(data + 84);
    if (frameRight <= frameLeft || frameBottom <= frameTop || devicePixelsX <= 0 ||
        devicePixelsY <= 0 || deviceMmX <= 0 || deviceMmY <= 0)
        return frame;
    // The frame is in hundredths of a millimetre.
    const double widthMm = (frameRight - frameLeft) / 100.0;
    const double heightMm = (frameBottom - frameTop) / 100.0;
    frame.pixelWidth = std::llround(widthMm / 25.4 * 96.0);
    frame.pixelHeight = std::llround(heightMm / 25.4 * 96.0);
    const double unitsPerMmX = devicePixelsX / deviceMmX;
    const double unitsPerMmY = devicePixelsY / deviceMmY;
    frame.viewX = frameLeft / 100.0 * unitsPerMmX - boundsLeft;
    frame.viewY = frameTop / 100.0 * unitsPerMmY - boundsTop;
    frame.viewWidth = widthMm * unitsPerMmX;
    frame.viewHeight = heightMm * unitsPerMmY;
    frame.valid = frame.pixelWidth > 0 && frame.pixelHeight > 0;
    return frame;
}

WmfFrame wmfFrame(const unsigned char *data, std::size_t size)
{
    WmfFrame frame;
    std::size_t pos = 0;
    bool placeable = false;
    double inch = 0;
    double placeableLeft = 0, placeableTop = 0, placeableRight = 0, placeableBottom = 0;
    if (size >= 22 && u32(data) == placeableKey) {
        placeable = true;
        placeableLeft = s16(data + 6);
        placeableTop = s16(data + 8);
        placeableRight = s16(data + 10);
        placeableBottom = s16(data + 12);
        inch = u16(data + 14);
        pos = 22;
    }
    if (size < pos + 18)
        return frame;
    const std::size_t headerWords = u16(data + pos + 2);
    if (headerWords < 9)
        return frame;
    pos += headerWords * 2;

    enum { Text = 1, LoMetric, HiMetric, LoEnglish, HiEnglish, Twips, Isotropic, Anisotropic };
    int mapMode = placeable ? 0 : Text; // 0: the placeable header's units
    double originX = 0, originY = 0, extentX = 0, extentY = 0, viewportX = 0, viewportY = 0;
    bool windowSet = false;

    while (pos + 6 <= size) {
        const std::uint32_t words = u32(data + pos);
        const std::uint16_t function = u16(data + pos + 4);
        if (words < 3 || words > (size - pos) / 2)
            return frame; // a broken record: no frame to trust
        const unsigned char *params = data + pos + 6;
        const std::size_t paramBytes = words * 2 - 6;
        if (function == 0 || isDrawing(function))
            break;
        if (function == 0x0103 && paramBytes >= 2) {
            mapMode = u16(params);
        } else if (function == 0x020B && paramBytes >= 4) {
            originY = s16(params);
            originX = s16(params + 2);
        } else if (function == 0x020F && paramBytes >= 4) {
            originY += s16(params);
            originX += s16(params + 2);
        } else if (function == 0x020C && paramBytes >= 4) {
            extentY = s16(params);
            extentX = s16(params + 2);
            windowSet = true;
        } else if (function == 0x020E && paramBytes >= 4) {
            viewportY = s16(params);
            viewportX = s16(params + 2);
        }
        pos += words * 2;
    }

    double unitX = 0;
    double unitY = 0;
    switch (mapMode) {
    case Text:
        unitX = unitY = 1;
        break;
    case LoMetric:
        unitX = unitY = 0.1 / 25.4 * 72;
        break;
    case HiMetric:
        unitX = unitY = 0.01 / 25.4 * 72;
        break;
    case LoEnglish:
        unitX = unitY = 0.72;
        break;
    case HiEnglish:
        unitX = unitY = 0.072;
        break;
    case Twips:
        unitX = unitY = 0.05;
        break;
    case Isotropic:
    case Anisotropic:
        if (extentX == 0 || extentY == 0 || viewportX == 0 || viewportY == 0)
            return frame;
        unitX = viewportX / extentX;
        unitY = viewportY / extentY;
        break;
    default:
        if (!placeable || inch <= 0)
            return frame;
        unitX = unitY = 72.0 / inch;
    }

    double x1, y1, x2, y2;
    if (windowSet) {
        // libwmf draws relative to the window's origin and turns a negative
        // extent (y growing upwards) into positive device coordinates, so the
        // window is the box from 0 to its size whatever its sign.
        x1 = 0;
        y1 = 0;
        x2 = std::fabs(extentX * unitX);
        y2 = std::fabs(extentY * unitY);
    } else if (placeable) {
        x1 = (placeableLeft - originX) * unitX;
        y1 = (placeableTop - originY) * unitY;
        x2 = (placeableRight - originX) * unitX;
        y2 = (placeableBottom - originY) * unitY;
    } else {
        return frame;
    }
    frame.left = std::min(x1, x2);
    frame.right = std::max(x1, x2);
    frame.top = std::min(y1, y2);
    frame.bottom = std::max(y1, y2);
    frame.valid = frame.right > frame.left && frame.bottom > frame.top;
    const bool logicalUnits = mapMode == Text || mapMode == Isotropic || mapMode == Anisotropic;
    if (logicalUnits && windowSet) {
        frame.pixelWidth = std::llround(std::fabs(extentX) / 15.0);
        frame.pixelHeight = std::llround(std::fabs(extentY) / 15.0);
    } else {
        frame.pixelWidth = pointsToPixels(frame.right - frame.left);
        frame.pixelHeight = pointsToPixels(frame.bottom - frame.top);
    }
    return frame;
}

} // namespace metafile
