#pragma once

#include <memory>
#include <QFile>
#include <QImage>
#include <QObject>
#include <QTimer>

class QImageReader;

namespace platform {

// Plays an animated GIF from its second frame on: the first is the decoded
// picture the caller already shows. One frame, at the file's own canvas
// size, is held at a time, so an endless animation costs no more than a
// short one.
class Animation final : public QObject
{
    Q_OBJECT
public:
    explicit Animation(QObject *parent = nullptr);
    ~Animation() override;

    // Plays the file if it is a GIF of more than one frame; otherwise, and
    // on any error, nothing plays.
    void play(const QString &path);
    void stop();
    // Paused, no frame is made until it is resumed.
    void pause();
    void resume();
    bool playing() const { return m_reader != nullptr; }
    bool paused() const { return playing() && !m_timer.isActive(); }

Q_SIGNALS:
    void frameReady(const QImage &frame);

private:
    bool rewind();
    void step();

    QString m_path;
    QFile m_file;
    std::unique_ptr<QImageReader> m_reader;
    QTimer m_timer;
    int m_loopsLeft = 0; // -1: for ever
    int m_delay = 0;     // before the next frame, in milliseconds
};

} // namespace platform
