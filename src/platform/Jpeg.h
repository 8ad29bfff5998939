#pragma once

#include <functional>
#include <memory>
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

// A sequential JPEG read from the top down at full size, one band of rows
// at a time, so that part of a picture too large to hold whole costs only
// that part's pixels. Reading on from where it stopped is cheap; going
// back up means opening the file again.
class Rows
{
public:
    explicit Rows(const QString &path);
    ~Rows();
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    // Open on a single-scan JPEG that decode takes; false after any error.
    bool ok() const;
    Header header() const;
    // The next row that reading gives.
    int line() const;
    // Passes over rows up to row, a few at a time, asking stop in between;
    // false when stopped or on an error.
    bool skipTo(int row, const std::function<bool()> &stop);
    // Reads the next into.height() rows and keeps of each the columns from
    // left on, into.width() of them; false on an error.
    bool read(QImage &into, int left);

private:
    struct Open;
    std::unique_ptr<Open> m_open;
};

// The EXIF orientation of an APP1 segment's payload; 1 when it has none.
int exifOrientation(const unsigned char *data, size_t size);

// The picture as it is meant to be seen, given its EXIF orientation.
QImage oriented(QImage image, int orientation);

} // namespace platform::jpeg
