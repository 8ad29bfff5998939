#pragma once

// Sizes and boxes of metafiles, read from their headers and set-up records.
// Plain C++ so that both the helper program and the tests can use it.
#include <cstddef>

namespace metafile {

// The largest picture the viewer will hold.
inline constexpr long long maxSide = 16384;
inline constexpr long long maxPixels = 40LL * 1000 * 1000;

bool sizeAllowed(long long width, long long height);
long long pointsToPixels(double points);
// A pixel of libwmf's raster device (7-bit inverted alpha) as 0xAARRGGBB.
unsigned int gdToArgb(unsigned int pixel);

bool isEmf(const unsigned char *data, std::size_t size);
// A WMF by its content: the placeable key, or a standard header.
bool isWmf(const unsigned char *data, std::size_t size);

struct EmfFrame
{
    bool valid = false;
    long long pixelWidth = 0; // the frame at 96 dots per inch
    long long pixelHeight = 0;
    // The frame in the converter's drawing units: device units less the
    // origin of the bounds.
    double viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
};
EmfFrame emfFrame(const unsigned char *data, std::size_t size);

// The window in force at the first drawing record of a WMF, in the units the
// renderer draws in (points), or the placeable header's box when the file
// sets no window.
struct WmfFrame
{
    bool valid = false;
    double left = 0, top = 0, right = 0, bottom = 0;
    // A file without a placeable header has no physical size. Its natural
    // size: the box at 96 dots per inch where the mapping mode is a physical
    // one, else the window extent at 1440 units per inch.
    long long pixelWidth = 0;
    long long pixelHeight = 0;
};
WmfFrame wmfFrame(const unsigned char *data, std::size_t size);

} // namespace metafile
