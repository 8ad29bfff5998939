#include "PictureRegions.h"

#include <new>
#include <QPainter>

namespace platform {

std::optional<jpeg::Header> PictureRegions::suitable(const QString &path, qint64 limit)
{
    jpeg::Header header;
    // A band of a wider picture would hold more than a screenful is worth.
    if (!jpeg::readHeader(path, header) || !header.decodable || header.workBytes > 0 ||
        header.stored.width() > maxWidth ||
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
      m_orientation(header.orientation), m_facts(regularFileFacts(m_path)),
      m_worker([this] { run(); })
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

std::pair<int, int> PictureRegions::bandsOf(QRect seen) const
{
    const QRect stored = oriented(seen, m_seen, inverse(m_orientation));
    return {stored.top() / bandRows, stored.bottom() / bandRows};
}

void PictureRegions::want(QRect seen)
{
    seen &= QRect(QPoint(), m_seen);
    if (seen.isEmpty())
        return;
    const auto [first, last] = bandsOf(seen);
    const int count = (m_stored.height() + bandRows - 1) / bandRows;
    const std::pair wanted{std::max(0, first - 1), std::min(count - 1, last + 1)};
    {
        const std::lock_guard lock(m_mutex);
        if (m_wanted == wanted)
            return;
        m_wanted = wanted;
    }
    m_wake.notify_all();
}

bool PictureRegions::covers(QRect seen) const
{
    seen &= QRect(QPoint(), m_seen);
    if (seen.isEmpty())
        return false;
    const auto [first, last] = bandsOf(seen);
    for (int band = first; band <= last; ++band) {
        if (!m_held.contains(band))
            return false;
    }
    return true;
}

void PictureRegions::draw(QPainter &painter, qreal ratio) const
{
    for (const auto &[index, band] : m_held) {
        painter.drawImage(
            QRectF(QPointF(band.seen.topLeft()) / ratio, QSizeF(band.seen.size()) / ratio),
            band.pixels);
    }
}

qint64 PictureRegions::heldBytes() const
{
    qint64 bytes = 0;
    for (const auto &[index, band] : m_held)
        bytes += band.pixels.sizeInBytes();
    return bytes;
}

void PictureRegions::publish(const std::map<int, Band> &bands)
{
    QMetaObject::invokeMethod(
        this,
        [this, bands] {
            m_held = bands;
            Q_EMIT arrived();
        },
        Qt::QueuedConnection);
}

void PictureRegions::run()
{
    std::unique_ptr<jpeg::Rows> rows;
    std::map<int, Band> bands;
    std::pair<int, int> wanted{0, -1};
    bool givenUp = false;
    bool changed = false;
    std::unique_lock lock(m_mutex);
    while (true) {
        // Awake while a wanted band is missing.
        const auto missing = [&]() -> std::optional<int> {
            if (givenUp || changed)
                return std::nullopt;
            for (int band = wanted.first; band <= wanted.second; ++band) {
                if (!bands.contains(band))
                    return band;
            }
            return std::nullopt;
        };
        m_wake.wait(lock, [&] { return m_stop || (m_wanted && *m_wanted != wanted) || missing(); });
        if (m_stop)
            return;
        if (m_wanted && *m_wanted != wanted) {
            wanted = *m_wanted;
            givenUp = false;
            // Bands out of the wish are let go, so only a screenful and a
            // band either side is held.
            const auto before = bands.size();
            std::erase_if(bands, [&](const auto &entry) {
                return entry.first < wanted.first || entry.first > wanted.second;
            });
            if (bands.size() != before)
                publish(bands);
        }
        const std::optional<int> next = missing();
        if (!next)
            continue;
        lock.unlock();

        const int top = *next * bandRows;
        const int height = std::min(bandRows, m_stored.height() - top);
        // Passing over rows keeps its progress; a new wish is looked at
        // between steps.
        const auto newer = [&] {
            const std::lock_guard hold(m_mutex);
            return m_stop || (m_wanted && *m_wanted != wanted);
        };
        if (!rows || !rows->ok() || rows->line() > top) {
            rows = std::make_unique<jpeg::Rows>(m_path);
            // Replaced, cut short or changed: what was read of it no longer
            // fits with what is read now.
            const std::optional<FileFacts> now = regularFileFacts(m_path);
            if (!now || !m_facts || now->size != m_facts->size ||
                now->modified != m_facts->modified ||
                (rows->ok() && rows->header().stored != m_stored)) {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        Q_EMIT failed(QStringLiteral("The file \"%1\" changed while it was shown.")
                                          .arg(displayName(m_path)));
                    },
                    Qt::QueuedConnection);
                lock.lock();
                changed = true;
                continue;
            }
        }
        QImage image;
        try {
            image = QImage(m_stored.width(), height, QImage::Format_RGB32);
        } catch (const std::bad_alloc &) {
        }
        const bool read = !image.isNull() && rows->skipTo(top, newer) && rows->read(image, 0);
        if (read) {
            const QRect stored(0, top, m_stored.width(), height);
            bands[*next] = {oriented(stored, m_stored, m_orientation),
                            jpeg::oriented(std::move(image), m_orientation)};
            publish(bands);
        }
        lock.lock();
        // A band that fails (a broken file, no memory) is not tried again
        // until the view moves.
        givenUp = !read && !m_stop && !(m_wanted && *m_wanted != wanted);
    }
}

} // namespace platform
