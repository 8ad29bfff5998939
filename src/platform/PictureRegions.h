#pragma once

#include "FileNames.h"
#include "Jpeg.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <QImage>
#include <QObject>
#include <QRect>
#include <thread>
#include <vector>

class QPainter;

namespace platform {

// The seen part of a picture too large to hold whole, decoded at natural
// size on a worker thread in bands of whole stored rows: those that what is
// seen crosses, and one band beyond on either side. The decoder reads on
// down the file as the view moves down it, so scrolling costs only the
// rows it reaches; moving back up reads the file again from its top. Only
// single-scan JPEGs are read so.
class PictureRegions final : public QObject
{
    Q_OBJECT
public:
    // Past this many pixels a picture is shown at natural size by regions:
    // whole, it would be more than the look-ahead keeps (192 MiB / 2).
    static constexpr qint64 wholeLimitPixels = 24ll * 1024 * 1024;
    static constexpr int bandRows = 128;
    // Stored rows wider than this make bands of more than 8 MiB: such a
    // picture is decoded whole, within the decoder's memory limit.
    static constexpr int maxWidth = 16384;

    // Whether path is a picture that is read by regions.
    static bool suits(const QString &path, qint64 limit = wholeLimitPixels);
    // Regions of path, when it is a picture that is read by regions.
    static std::unique_ptr<PictureRegions> of(const QString &path, qint64 limit = wholeLimitPixels);
    ~PictureRegions() override;

    QString path() const { return m_path; }
    QSize naturalSize() const { return m_seen; }
    // What is seen now, in the picture's pixels as seen.
    void want(QRect seen);
    // Whether the bands held cover an area as seen.
    bool covers(QRect seen) const;
    // Paints the bands held where they go, one picture pixel to a device
    // pixel of a painter whose units are logical pixels at ratio.
    void draw(QPainter &painter, qreal ratio) const;
    // The pixels held, in bytes.
    qint64 heldBytes() const;

    // A rectangle of a stored picture (of size stored) as the orientation
    // shows it, and back with inverse.
    static QRect oriented(QRect stored, QSize storedSize, int orientation);
    static int inverse(int orientation);

Q_SIGNALS:
    // Bands arrived or were let go.
    void arrived();
    // The file changed under the reader, which reads no more of it. Once.
    void failed(const QString &description);

private:
    struct Band
    {
        QRect seen;
        QImage pixels; // as seen
    };
    PictureRegions(QString path, const jpeg::Header &header);
    static std::optional<jpeg::Header> suitable(const QString &path, qint64 limit);
    void run();
    // The bands [first, last] that an area as seen crosses.
    std::pair<int, int> bandsOf(QRect seen) const;
    void publish(const std::map<int, Band> &bands);

    QString m_path;
    QSize m_stored;
    QSize m_seen;
    int m_orientation;
    std::map<int, Band> m_held;
    std::optional<FileFacts> m_facts; // the file as it was when first read

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<int, int>> m_wanted; // bands, first to last
    bool m_stop = false;
    std::thread m_worker;
};

} // namespace platform
