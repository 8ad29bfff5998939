#pragma once

#include <algorithm>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// A decoded picture: its natural size, known from the file's header, and an
// image rendered at the size last asked for.
struct Picture
{
    enum class Kind { None, Raster, Wmf, Emf, Svg };

    QString path;
    Kind kind = Kind::None;
    QSize naturalSize; // pixels
    QImage image;      // the rendering last asked for
    int frame = 0;     // the entry of an icon or cursor file that is shown
    QByteArray format; // the reader that the file's first bytes name; empty: Qt decides

    bool isNull() const { return kind == Kind::None; }
    bool isVector() const { return kind == Kind::Wmf || kind == Kind::Emf || kind == Kind::Svg; }
};

// A target that asks for the largest size in proportion within a box, and
// never more than the picture's own size, rather than an exact size: what
// a viewer fitting pictures to the screen shows. Told apart from exact
// targets by its sign, and from the natural size, an empty target that is
// (-1, -1), by a box of at least 2 x 2.
inline QSize withinBox(QSize box)
{
    return QSize(-std::max(2, box.width()), -std::max(2, box.height()));
}
inline bool isWithinBox(QSize target)
{
    return target.width() <= -2 && target.height() <= -2;
}
// The exact size a target asks of a picture of a natural size: a within-box
// target in proportion (empty where the picture fits whole), any other as it is.
QSize exactTarget(QSize target, QSize natural);

// A JPEG as libjpeg alone decodes it: at the scale in eighths nearest above
// the target, in the stored orientation. Making it needs nothing of the
// toolkit, so it may run while the application object is still being made;
// turning and scaling it to the target (PictureDecoder::finish) may not.
struct RoughJpeg
{
    Picture picture; // naturalSize is the size as seen
    QSize target;
    int orientation = 1;
};

// The picture smoothly scaled to size, from a plain 32-bit copy of it.
QImage safelyScaled(const QImage &image, QSize target);

// Decodes the picture formats the program lists. BMP, JPEG, GIF, ICO, CUR,
// PNG, WebP and TIFF are read in process; WMF, EMF and SVG by helper
// programs, within a time limit, while the window goes on painting.
class PictureDecoder
{
public:
    // The helpers beside the program by default: the metafile reader, and
    // the program that draws the SVG the reader makes of an EMF.
    explicit PictureDecoder(QString helperPath = defaultHelperPath(),
                            QString rasterPath = defaultRasterPath());

    static QString defaultHelperPath();
    static QString defaultRasterPath();
    // The largest image, in megabytes, that one decoding may allocate.
    static int allocationLimitMB();

    void setTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }
    // What one decoding may allocate at its peak, in bytes; by default
    // allocationLimitMB. Only lowers the limit.
    void setMemoryLimit(qint64 bytes) { m_limitBytes = std::min(bytes, m_limitBytes); }
    qint64 memoryLimit() const { return m_limitBytes; }

    // Decodes a file, rendering it at target (any size; empty: the natural
    // size; or within a box). Throws Error 481 for a file that is no valid picture and Error 6
    // for one too large to hold.
    Picture load(const QString &path, QSize target = {}) const;
    // As load, for raster files only: a metafile gives a null picture. Safe
    // on any thread, as it starts no helper.
    Picture loadRaster(const QString &path, QSize target = {}) const;
    // Throws the error load would give for a file that cannot be opened:
    // 53 for one that is not there.
    static void requireReadable(const QString &path);
    // Renders a loaded picture again at another size (empty: natural size).
    void render(Picture &picture, QSize target) const;
    // The rough decode of a JPEG that libjpeg takes; nothing for any other
    // file. Uses no toolkit service: safe before the application exists.
    std::optional<RoughJpeg> loadRough(const QString &path, QSize target) const;
    // Turns and scales a rough decode to its target; needs the application.
    static Picture finish(RoughJpeg rough);

private:
    Picture identify(const QString &path) const;
    void renderRaster(Picture &picture, QSize target) const;
    static Picture finishRough(RoughJpeg rough);
    std::optional<RoughJpeg> decodeJpeg(const Picture &identified, QSize target) const;
    void renderMetafile(Picture &picture, QSize target) const;
    QByteArray runHelpers(const Picture &picture, QSize target) const;

    QString m_helper;
    QString m_raster;
    int m_timeoutMs = 15000;
    qint64 m_limitBytes = qint64(allocationLimitMB()) * 1024 * 1024;
};

} // namespace platform
