#include "Animation.h"

#include "FileNames.h"

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

Animation::Animation(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Animation::step);
}

Animation::~Animation() = default;

void Animation::play(const QString &path)
{
    stop();
    m_path = path;
    if (!rewind())
        return;
    if (!m_reader->supportsAnimation() || m_reader->imageCount() < 2) {
        stop();
        return;
    }
    const int loops = m_reader->loopCount();
    m_loopsLeft = loops < 0 ? -1 : loops;
    // The first frame is on show already.
    if (m_reader->read().isNull()) {
        stop();
        return;
    }
    m_delay = frameDelay(m_reader->nextImageDelay());
    m_timer.start(m_delay);
}

bool Animation::rewind()
{
    m_reader.reset();
    m_file.close();
    // By the bytes of the name, never waiting on what is not a regular file.
    FileDescriptor fd(openRegularFile(m_path));
    if (fd.get() < 0 || !m_file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return false;
    fd.release();
    m_reader = std::make_unique<QImageReader>(&m_file, "gif");
    m_reader->setDecideFormatFromContent(false);
    return m_reader->canRead();
}

void Animation::stop()
{
    m_timer.stop();
    m_reader.reset();
    m_file.close();
}

void Animation::pause()
{
    m_timer.stop();
}

void Animation::resume()
{
    if (playing() && !m_timer.isActive())
        m_timer.start(m_delay);
}

void Animation::step()
{
    if (!m_reader)
        return;
    QImage frame = m_reader->read();
    if (frame.isNull()) {
        // The end, or a broken frame: the next round starts at the top.
        if (m_loopsLeft == 0 || !rewind()) {
            stop();
            return;
        }
        if (m_loopsLeft > 0)
            --m_loopsLeft;
        frame = m_reader->read();
        if (frame.isNull()) {
            stop();
            return;
        }
    }
    m_delay = frameDelay(m_reader->nextImageDelay());
    m_timer.start(m_delay);
    Q_EMIT frameReady(frame);
}

} // namespace platform
