#include "PictureRegions.h"

#include <new>

namespace platform {

std::optional<jpeg::Header> PictureRegions::suitable(const QString &path, qint64 limit)
{
    jpeg::Header header;
    if (!jpeg::readHeader(path, header) || !header.decodable || header.workBytes > 0 ||
        qint64(header.stored.width()) * header.stored.height() <= limit)
        return std::nullopt;
    return header;
}

bool PictureRegions::suits(const QString &path, qint64 limit)
{
    return suitable(path, limit).has_value();
}

std::unique_ptr<PictureRegions> PictureRegions::of(const QString &path, qint64 limit)
{
    const std::optional<jpeg::Header> header = suitable(path, limit);
    return header ? std::unique_ptr<PictureRegions>(new PictureRegions(path, *header)) : nullptr;
}

PictureRegions::PictureRegions(QString path, const jpeg::Header &header)
    : m_path(std::move(path)), m_stored(header.stored),
      m_seen(header.orientation >= 5 ? header.stored.transposed() : header.stored),
      m_orientation(header.orientation), m_worker([this] { run(); })
{
}

PictureRegions::~PictureRegions()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

QRect PictureRegions::oriented(QRect r, QSize size, int orientation)
{
    const int w = size.width(), h = size.height();
    switch (orientation) {
    case 2:
        return {w - r.x() - r.width(), r.y(), r.width(), r.height()};
    case 3:
        return {w - r.x() - r.width(), h - r.y() - r.height(), r.width(), r.height()};
    case 4:
        return {r.x(), h - r.y() - r.height(), r.width(), r.height()};
    case 5:
        return {r.y(), r.x(), r.height(), r.width()};
    case 6:
        return {h - r.y() - r.height(), r.x(), r.height(), r.width()};
    case 7:
        return {h - r.y() - r.height(), w - r.x() - r.width(), r.height(), r.width()};
    case 8:
        return {r.y(), w - r.x() - r.width(), r.height(), r.width()};
    default:
        return r;
    }
}

int PictureRegions::inverse(int orientation)
{
    return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
}

void PictureRegions::want(QRect seen)
{
    seen &= QRect(QPoint(), m_seen);
    if (seen.isEmpty() || m_heldArea.contains(seen) || m_asked.contains(seen))
        return;
    m_asked =
        seen.adjusted(-seen.width() / 2, -seen.height() / 2, seen.width() / 2, seen.height() / 2) &
        QRect(QPoint(), m_seen);
    {
        const std::lock_guard lock(m_mutex);
        m_wanted = oriented(m_asked, m_seen, inverse(m_orientation));
    }
    m_wake.notify_all();
}

void PictureRegions::run()
{
    std::unique_ptr<jpeg::Rows> rows;
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_stop || m_wanted; });
        if (m_stop)
            return;
        const QRect area = *m_wanted;
        m_wanted.reset();
        lock.unlock();

        // Passing over rows keeps its progress, so a newer wish takes over
        // at once; a region being read is finished unless the newer one
        // does not touch it.
        const auto newer = [this] {
            const std::lock_guard hold(m_mutex);
            return m_stop || m_wanted.has_value();
        };
        const auto elsewhere = [this, area] {
            const std::lock_guard hold(m_mutex);
            return m_stop || (m_wanted && !m_wanted->intersects(area));
        };
        if (!rows || !rows->ok() || rows->line() > area.top())
            rows = std::make_unique<jpeg::Rows>(m_path);
        QImage image;
        try {
            image = QImage(area.size(), QImage::Format_RGB32);
        } catch (const std::bad_alloc &) {
        }
        if (!image.isNull() && rows->skipTo(area.top(), newer) &&
            rows->read(image, area.left(), elsewhere)) {
            image = jpeg::oriented(std::move(image), m_orientation);
            const QRect seen = oriented(area, m_stored, m_orientation);
            QMetaObject::invokeMethod(
                this,
                [this, image = std::move(image), seen] {
                    m_held = image;
                    m_heldArea = seen;
                    Q_EMIT arrived();
                },
                Qt::QueuedConnection);
        }
        lock.lock();
    }
}

} // namespace platform
