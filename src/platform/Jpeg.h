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
    // Grey, YCbCr or RGB: what decode takes. The general reader is the one
    // to ask for the others.
    bool decodable = false;
    // What any decoder holds besides the picture: a progressive or
    // multi-scan file keeps every coefficient of the whole picture.
    qint64 workBytes = 0;
};

// Reads the header. False when it is broken or no JPEG.
bool readHeader(const QString &path, Header &header);

enum class Outcome { Done, Failed, OverBudget };

// Decodes with libjpeg-turbo straight into 32-bit pixels, letting the
// decoder's own scaling (eighths) come as close to atLeast (stored
// orientation; empty: full size) as it can without going below. The
// decoder's own memory is held to budgetBytes (0: no bound); a file that
// needs more ends as OverBudget.
Outcome decode(const QString &path, QSize atLeast, qint64 budgetBytes, QImage &image);

// The EXIF orientation of an APP1 segment's payload; 1 when it has none.
int exifOrientation(const unsigned char *data, size_t size);

// The picture as it is meant to be seen, given its EXIF orientation.
QImage oriented(QImage image, int orientation);

} // namespace platform::jpeg
