#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <thread>

namespace platform {

// Plays an animated GIF from its second frame on: the first is the decoded
// picture the caller already shows. Frames are read and composed on a
// worker thread and made at the size they are shown, one ahead of need,
// so a large canvas costs the window's thread nothing but a paint. An
// animation whose canvas would not fit the memory limit does not play.
class Animation final : public QObject
{
    Q_OBJECT
public:
    explicit Animation(QObject *parent = nullptr);
    ~Animation() override;

    // Plays the file if it is a GIF of more than one frame, each frame made
    // at shown (empty: the canvas's own size); otherwise, and on any error,
    // nothing plays.
    void play(const QString &path, QSize shown = {});
    void stop();
    // Paused, no frame is shown until it is resumed.
    void pause();
    void resume();
    bool playing() const { return m_worker != nullptr; }
    bool paused() const { return playing() && m_paused; }

    // What a canvas of that size costs while it plays, in bytes: the canvas,
    // the reader's copy kept for disposal, and a frame at the size shown.
    static qint64 costOf(QSize canvas, QSize shown);

Q_SIGNALS:
    void frameReady(const QImage &frame);

private:
    struct Worker;
    void arrived(quint64 round, const QImage &frame, int delay);
    void due();

    std::unique_ptr<Worker> m_worker;
    quint64 m_round = 0;
    QTimer m_timer;
    std::optional<QImage> m_next; // made, waiting for its time
    int m_nextDelay = 0;          // after the next frame, in milliseconds
    int m_delay = 0;              // before the next frame
    bool m_late = false;          // the time came before the frame
    bool m_paused = false;
};

} // namespace platform
