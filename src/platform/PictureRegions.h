#pragma once

#include "Jpeg.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <QImage>
#include <QObject>
#include <QRect>
#include <thread>

namespace platform {

// The seen part of a picture too large to hold whole, decoded at natural
// size on a worker thread: the area asked for and a margin around it, read
// again as the viewer scrolls past it. Only single-scan JPEGs are read so.
class PictureRegions final : public QObject
{
    Q_OBJECT
public:
    // Past this many pixels a picture is shown at natural size by regions:
    // whole, it would be more than the look-ahead keeps (192 MiB / 2).
    static constexpr qint64 wholeLimitPixels = 24ll * 1024 * 1024;

    // Whether path is a picture that is read by regions.
    static bool suits(const QString &path, qint64 limit = wholeLimitPixels);
    // Regions of path, when it is a picture that is read by regions.
    static std::unique_ptr<PictureRegions> of(const QString &path, qint64 limit = wholeLimitPixels);
    ~PictureRegions() override;

    QString path() const { return m_path; }
    QSize naturalSize() const { return m_seen; }
    // What is seen now, in the picture's pixels as seen: unless the region
    // held covers it, it and a margin of half its size are decoded.
    void want(QRect seen);
    // The region held and its pixels, as seen; empty until one arrives.
    QRect heldArea() const { return m_heldArea; }
    const QImage &held() const { return m_held; }

    // A rectangle of a stored picture (of size stored) as the orientation
    // shows it, and back with inverse.
    static QRect oriented(QRect stored, QSize storedSize, int orientation);
    static int inverse(int orientation);

Q_SIGNALS:
    // A region arrived: heldArea and held are new.
    void arrived();

private:
    PictureRegions(QString path, const jpeg::Header &header);
    static std::optional<jpeg::Header> suitable(const QString &path, qint64 limit);
    void run();

    QString m_path;
    QSize m_stored;
    QSize m_seen;
    int m_orientation;
    QRect m_heldArea;
    QImage m_held;
    QRect m_asked; // as seen: the last region asked of the worker

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<QRect> m_wanted; // stored
    bool m_stop = false;
    std::thread m_worker;
};

} // namespace platform
