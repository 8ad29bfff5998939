// Launch to the first picture painted, from outside: the real program on a
// virtual X server that this benchmark starts and stops, next to djpeg
// decoding the same file as a process of its own, in the same rounds.
//
//   bench_launch <program> <photo folder> [rounds]
#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <vector>

namespace {

struct Series
{
    std::vector<double> ms;
    double median() const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
    double min() const { return *std::min_element(ms.begin(), ms.end()); }
    double max() const { return *std::max_element(ms.begin(), ms.end()); }
};

// A display number that no server holds, and its server started on it.
class VirtualServer
{
public:
    bool start()
    {
        for (int number = 91; number < 140; ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
                QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            m_display = QStringLiteral(":%1").arg(number);
            m_server.start(QStringLiteral("Xvfb"),
                           {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
            if (!m_server.waitForStarted(5000))
                return false;
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
                QThread::msleep(50);
            return QFile::exists(socket);
        }
        return false;
    }
    ~VirtualServer()
    {
        m_server.terminate();
        m_server.waitForFinished(3000);
    }
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

// Milliseconds from starting the program to its trace line; -1 on failure.
// A launch right after another finds the X server still busy with the one
// before; each run starts on a quiet server.
void settle()
{
    QThread::msleep(300);
}

double launch(const QString &program, const QString &file, const QProcessEnvironment &env,
              const char *painted, double *reported)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.setReadChannel(QProcess::StandardError);
    process.start(program, {file});
    QByteArray seen;
    double elapsed = -1;
    while (timer.elapsed() < 20000) {
        if (!process.waitForReadyRead(20000 - int(timer.elapsed())))
            break;
        seen += process.readAllStandardError();
        const QByteArray marker = QByteArray("IMAGROVE_TRACE ") + painted + " painted ";
        const qsizetype at = seen.indexOf(marker);
        if (at >= 0 && seen.indexOf('\n', at) > at) {
            elapsed = timer.nsecsElapsed() / 1e6;
            *reported = seen.mid(at + marker.size()).split(' ').value(0).toDouble();
            break;
        }
    }
    process.kill();
    process.waitForFinished(5000);
    if (elapsed < 0)
        std::fprintf(stderr, "no trace line from the program; it wrote:\n%s\n", seen.constData());
    return elapsed;
}

double djpeg(const QString &file)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("djpeg"), {file});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_launch <program> <photo folder> [rounds]\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const QString photos = QString::fromLocal8Bit(argv[2]);
    const int rounds = argc > 3 ? std::max(5, atoi(argv[3])) : 7;

    VirtualServer server;
    if (!server.start()) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    QTemporaryDir home;
    // A user past the licence agreement and the upgrade question; the
    // full-screen launches have stores of their own, with imgfll on.
    const auto makeStore = [&](const QString &name, const QByteArray &options,
                               const QByteArray &fullScreen) {
        const QString config = home.path() + u'/' + name;
        QDir().mkpath(config + QStringLiteral("/Imagrove"));
        QFile second(config + QStringLiteral("/Imagrove/Imagrove2.conf"));
        QFile first(config + QStringLiteral("/Imagrove/Imagrove.conf"));
        const bool written =
            second.open(QIODevice::WriteOnly) &&
            second.write("[v2.1]\nupdated=1\n\n[v2.2]\nlicense=0\n\n" + options) > 0 &&
            first.open(QIODevice::WriteOnly) && first.write(fullScreen) >= 0;
        return written ? config : QString();
    };
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("DISPLAY"), server.display());
    env.insert(QStringLiteral("IMAGROVE_TRACE"), QStringLiteral("1"));
    const QString pane = makeStore(QStringLiteral("pane"), {}, {});
    const QString fitted = makeStore(QStringLiteral("fitted"), "[Options]\nimgfll=1\n",
                                     "[FullScreen]\nFit=1\n");
    const QString natural = makeStore(QStringLiteral("natural"), "[Options]\nimgfll=1\n",
                                      "[FullScreen]\nFit=0\n");
    if (pane.isEmpty() || fitted.isEmpty() || natural.isEmpty())
        return 1;
    struct Case
    {
        const char *title;
        QString file;
        QString config;
        const char *painted;
        Series program, reported, decoder;
    };
    const QString photo12 = photos + QStringLiteral("/step/photo000.jpg");
    const QString photo48 = photos + QStringLiteral("/photo48.jpg");
    const char *paneLine = "first picture";
    const char *viewerLine = "full screen";
    std::vector<Case> cases = {
        {"(a) 12-megapixel JPEG", photo12, pane, paneLine, {}, {}, {}},
        {"(b) 48-megapixel JPEG", photo48, pane, paneLine, {}, {}, {}},
        {"(c) 12 MP in a 20,000-file folder", photos + QStringLiteral("/folder20k/photo.jpg"),
         pane, paneLine, {}, {}, {}},
        {"(d) full screen, Fit, 12 MP", photo12, fitted, viewerLine, {}, {}, {}},
        {"(e) full screen, Fit, 48 MP", photo48, fitted, viewerLine, {}, {}, {}},
        {"(f) full screen, natural, 12 MP", photo12, natural, viewerLine, {}, {}, {}},
        {"(g) full screen, natural, 48 MP", photo48, natural, viewerLine, {}, {}, {}},
    };
    // One launch of each that is not counted: the first fills the file
    // caches, and the viewer learns the screen it fits pictures to.
    for (const Case &c : cases) {
        double ignored = 0;
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), c.config);
        launch(program, c.file, env, c.painted, &ignored);
    }
    for (int round = 0; round < rounds; ++round) {
        for (Case &c : cases) {
            double reported = 0;
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), c.config);
            settle();
            const double decoded = djpeg(c.file);
            settle();
            const double launched = launch(program, c.file, env, c.painted, &reported);
            if (decoded < 0 || launched < 0)
                return 1;
            c.decoder.ms.push_back(decoded);
            c.program.ms.push_back(launched);
            c.reported.ms.push_back(reported);
        }
    }

    std::printf("\nlaunch to the first picture painted, %d rounds (ms: median [min-max])\n",
                rounds);
    std::printf("%-36s %22s %22s %7s %10s\n", "", "imagrove", "djpeg", "ratio", "own clock");
    for (const Case &c : cases) {
        std::printf("%-36s %8.1f [%5.1f-%5.1f] %8.1f [%5.1f-%5.1f] %7.2f %10.1f\n", c.title,
                    c.program.median(), c.program.min(), c.program.max(), c.decoder.median(),
                    c.decoder.min(), c.decoder.max(), c.program.median() / c.decoder.median(),
                    c.reported.median());
    }
    std::printf("%-36s %8.1f ms (goal at most 50)\n", "(c) minus (a), medians",
                cases[2].program.median() - cases[0].program.median());
    std::printf("goals: (a) ratio at most 1.30, (b) at most 1.10; (d) at most 1.30, (e) at most "
                "1.00\n");
    return 0;
}
