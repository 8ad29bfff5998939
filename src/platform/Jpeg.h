#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace platform::jpeg {

// What a JPEG file's header tells: its stored size and the EXIF orientation
// (1 to 8; 1 when the file has none).
struct Header
{
    QSize stored;
    int orientation = 1;
};

// Reads the header. False when the file is no JPEG this reader can decode
// (a colour model other than grey, YCbCr or RGB; a broken header); the
// general reader is then the one to ask.
bool readHeader(const QString &path, Header &header);

// Decodes with libjpeg-turbo straight into 32-bit pixels, letting the
// decoder's own scaling (eighths) come as close to atLeast (stored
// orientation; empty: full size) as it can without going below. Null on
// failure.
QImage decode(const QString &path, QSize atLeast);

// The EXIF orientation of an APP1 segment's payload; 1 when it has none.
int exifOrientation(const unsigned char *data, size_t size);

// The picture as it is meant to be seen, given its EXIF orientation.
QImage oriented(QImage image, int orientation);

} // namespace platform::jpeg
