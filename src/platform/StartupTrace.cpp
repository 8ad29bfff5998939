#include "StartupTrace.h"

#include <cstdio>
#include <ctime>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <unistd.h>

namespace platform {

namespace {

// The kernel keeps a process's start in clock ticks since boot.
double millisecondsSinceStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces; the fields after it are plain.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1e3 / double(sysconf(_SC_CLK_TCK));
}

class FirstPaint final : public QObject
{
public:
    FirstPaint(QLabel *picture, const char *what, std::function<bool()> shown)
        : QObject(picture), m_picture(picture), m_what(what), m_shown(std::move(shown))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_picture && event->type() == QEvent::Paint && !m_done &&
            (m_shown ? m_shown() : !m_picture->pixmap().isNull())) {
            m_done = true;
            // The paint is flushed to the window before queued calls run.
            QTimer::singleShot(0, this, [this] {
                std::fprintf(stderr, "IMAGROVE_TRACE %s painted %.1f ms\n", m_what,
                             millisecondsSinceStart());
                std::fflush(stderr);
                deleteLater();
            });
        }
        return false;
    }

private:
    QLabel *m_picture;
    const char *m_what;
    std::function<bool()> m_shown;
    bool m_done = false;
};

} // namespace

void traceFirstPicture(QLabel *picture, const char *what, std::function<bool()> shown)
{
    if (!qEnvironmentVariableIsSet("IMAGROVE_TRACE"))
        return;
    picture->installEventFilter(new FirstPaint(picture, what, std::move(shown)));
}

} // namespace platform
