#include "Animation.h"

#include "FileNames.h"
#include "Picture.h"

#include <QFile>
#include <QImageReader>

namespace platform {

namespace {

// Browsers' rule: a delay under 20 ms is taken as 100 ms, so that a file
// cannot make the viewer draw flat out.
int frameDelay(int milliseconds)
{
    return milliseconds < 20 ? 100 : milliseconds;
}

} // namespace

// Reads the frames on a thread of its own, one ahead of what was asked.
struct Animation::Worker
{
    Worker(Animation &owner, quint64 round, QString path, QSize shown)
        : owner(owner), round(round), path(std::move(path)), shown(shown), thread([this] { run(); })
    {
    }
    ~Worker()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    void want()
    {
        {
            const std::lock_guard lock(mutex);
            wanted = true;
        }
        wake.notify_all();
    }

    bool rewind()
    {
        reader.reset();
        file.close();
        // By the bytes of the name, never waiting on what is not a regular file.
        FileDescriptor fd(openRegularFile(path));
        if (fd.get() < 0 || !file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            return false;
        fd.release();
        reader = std::make_unique<QImageReader>(&file, "gif");
        reader->setDecideFormatFromContent(false);
        return reader->canRead();
    }

    // A null frame: the animation ends.
    void send(const QImage &frame, int delay)
    {
        QMetaObject::invokeMethod(
            &owner,
            [owner = &owner, round = round, frame, delay] { owner->arrived(round, frame, delay); },
            Qt::QueuedConnection);
    }

    QImage next(int &loopsLeft)
    {
        QImage frame = reader->read();
        if (frame.isNull()) {
            // The end, or a broken frame: the next round starts at the top.
            if (loopsLeft == 0 || !rewind())
                return {};
            if (loopsLeft > 0)
                --loopsLeft;
            frame = reader->read();
        }
        if (!frame.isNull() && !shown.isEmpty() && frame.size() != shown)
            frame = safelyScaled(frame, shown);
        return frame;
    }

    void run()
    {
        if (!rewind() || !reader->supportsAnimation() || reader->imageCount() < 2 ||
            costOf(reader->size(), shown) > qint64(PictureDecoder::allocationLimitMB()) << 20 ||
            reader->read().isNull()) {
            send({}, 0);
            return;
        }
        const int loops = reader->loopCount();
        int loopsLeft = loops < 0 ? -1 : loops;
        // The first frame is on show already; its delay comes first.
        send({}, -frameDelay(reader->nextImageDelay()));
        std::unique_lock lock(mutex);
        while (true) {
            wake.wait(lock, [this] { return stopping || wanted; });
            if (stopping)
                return;
            wanted = false;
            lock.unlock();
            const QImage frame = next(loopsLeft);
            send(frame, frameDelay(reader ? reader->nextImageDelay() : 0));
            lock.lock();
            if (frame.isNull())
                return;
        }
    }

    Animation &owner;
    const quint64 round;
    const QString path;
    const QSize shown;
    QFile file;
    std::unique_ptr<QImageReader> reader;
    std::mutex mutex;
    std::condition_variable wake;
    bool wanted = true;
    bool stopping = false;
    std::thread thread; // last: it starts once the rest is made
};

Animation::Animation(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Animation::due);
}

Animation::~Animation() = default;

qint64 Animation::costOf(QSize canvas, QSize shown)
{
    const QSize made = shown.isEmpty() ? canvas : shown;
    return qint64(canvas.width()) * canvas.height() * 8 + qint64(made.width()) * made.height() * 4;
}

void Animation::play(const QString &path, QSize shown)
{
    stop();
    m_worker = std::make_unique<Worker>(*this, ++m_round, path, shown);
}

void Animation::stop()
{
    m_timer.stop();
    m_worker.reset();
    m_next.reset();
    m_late = false;
    m_paused = false;
}

void Animation::pause()
{
    m_timer.stop();
    m_paused = true;
}

void Animation::resume()
{
    if (!playing() || !m_paused)
        return;
    m_paused = false;
    m_timer.start(m_delay);
}

// A negative delay: the first frame's, before any frame is made.
void Animation::arrived(quint64 round, const QImage &frame, int delay)
{
    if (round != m_round || !m_worker)
        return;
    if (delay < 0) {
        m_delay = -delay;
        if (!m_paused)
            m_timer.start(m_delay);
        return;
    }
    if (frame.isNull()) {
        stop();
        return;
    }
    m_next = frame;
    m_nextDelay = delay;
    if (m_late && !m_paused)
        due();
}

void Animation::due()
{
    if (!m_next) {
        m_late = true;
        return;
    }
    m_late = false;
    const QImage frame = std::move(*m_next);
    m_next.reset();
    m_delay = m_nextDelay;
    m_timer.start(m_delay);
    m_worker->want();
    Q_EMIT frameReady(frame);
}

} // namespace platform
