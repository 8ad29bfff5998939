// The display pane with the generated photos: select -> shown in each mode
// next to libjpeg-turbo decoding the same file alone, and stepping through
// 200 photos with the Down key, with and without look-ahead; full screen,
// stepping, and scrolling a 48-megapixel photo at natural size.
//
//   bench_display <photo folder> [large]
#include "app/browsesmall.h"
#include "core/AppState.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "fullscreen/Form4.h"
#include "platform/PictureRegions.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <jpeglib.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <string_view>
#include <vector>

namespace {

constexpr int fileCount = 4;
constexpr int rounds = 3;
constexpr int stepCount = 200;

// libjpeg-turbo alone, decoding at 1/denominator scale.
double decodeWithLibjpeg(const QString &path, unsigned denominator)
{
    QElapsedTimer timer;
    timer.start();
    FILE *file = std::fopen(path.toLocal8Bit().constData(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = denominator;
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(size_t(info.output_width) * info.output_components);
    JSAMPROW rows[] = {row.data()};
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return timer.nsecsElapsed() / 1e6;
}

// Reports any box instead of waiting for a person.
class ReportingDesktop final : public platform::Desktop
{
public:
    std::optional<QColor> chooseColour(QWidget *, const QColor &) override { return {}; }
    std::optional<QString> openFileDialog(QWidget *, const QString &, const QString &,
                                          const QString &) override
    {
        return {};
    }
    std::optional<QString> saveFileDialog(QWidget *, const QString &, const QString &,
                                          const QString &) override
    {
        return {};
    }
    std::optional<QString> chooseFolder(QWidget *, const QString &, const QString &) override
    {
        return {};
    }
    bool shellOpen(const QString &, const QString &) override { return false; }
    bool startProgram(const QString &, const QStringList &, const QString &) override
    {
        return false;
    }
    int runModal(QDialog &dialog) override { return modal ? modal(dialog) : 0; }
    std::function<int(QDialog &)> modal;
    QSize screenSizeTwips() const override { return {19200, 14400}; }

protected:
    platform::Answer showMessage(const QString &text, platform::Icon, platform::Buttons,
                                 const QString &caption) override
    {
        std::fprintf(stderr, "message: %s (%s)\n", qPrintable(text), qPrintable(caption));
        return platform::Answer::Ok;
    }
    std::optional<QString> showInput(const QString &, const QString &, const QString &) override
    {
        return {};
    }
};

double best(const std::function<double()> &run)
{
    double fastest = 1e18;
    for (int i = 0; i < rounds; ++i)
        fastest = std::min(fastest, run());
    return fastest;
}

// Peak resident memory in MiB since the last reset.
double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

struct Stepping
{
    double perSecond = 0;
    double peak = 0;
};

// Holds key on target until list's last entry, counting the pictures that
// reach picture.
Stepping holdKey(QWidget *target, int key, const platform::FileListBox *list, const QLabel *picture)
{
    resetPeak();
    int shown = 0;
    qint64 last = picture->pixmap().cacheKey();
    QElapsedTimer timer;
    timer.start();
    while (list->listIndex() < list->listCount() - 1) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::processEvents();
        const qint64 now = picture->pixmap().cacheKey();
        if (now != last)
            ++shown;
        last = now;
    }
    return {shown / (timer.nsecsElapsed() / 1e9), peakMiB()};
}

// Selects the first photo in the pane.
void selectFirst(browsesmall &window)
{
    window.File1->setListIndex(-1);
    QApplication::processEvents();
    window.File1->setFocus();
    window.File1->setListIndex(0);
    QApplication::processEvents();
}

// Holds Down on the file list from the first photo to the last.
Stepping step(browsesmall &window)
{
    selectFirst(window);
    return holdKey(window.File1, Qt::Key_Down, window.File1, window.Image1);
}

// Opens the full-screen viewer on the first photo and holds Right to the
// last, counting the pictures that reach the viewer.
Stepping stepFullScreen(browsesmall &window, ReportingDesktop &desktop)
{
    selectFirst(window);
    Stepping result;
    desktop.modal = [&](QDialog &dialog) {
        auto &viewer = static_cast<fullscreen::Form4 &>(dialog);
        viewer.show();
        while (viewer.Tim.isActive())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        result = holdKey(&viewer, Qt::Key_Right, viewer.File1, viewer.Image1);
        viewer.close();
        return 0;
    };
    window.mnuFullscrn->trigger();
    desktop.modal = nullptr;
    return result;
}

struct Scrolling
{
    double peak = 0;
    double atCorner = 0; // ms from the last step to the picture seen whole
    double back = 0;
};

// Waits until what the viewer sees is painted from a decoded region; the
// milliseconds it took.
double untilSeen(fullscreen::Form4 &viewer, const platform::PictureRegions &regions)
{
    QElapsedTimer timer;
    timer.start();
    const QRect seen = QRect(-viewer.Image1->pos(), viewer.Picture1->size());
    while (!regions.covers(seen) && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    viewer.Image1->repaint();
    return timer.nsecsElapsed() / 1e6;
}

// The 48-megapixel photo at natural size: scrolled in steps, a frame apart,
// to the far corner, and then back.
Scrolling scrollLargePhoto(browsesmall &window, ReportingDesktop &desktop)
{
    Scrolling result;
    resetPeak();
    desktop.modal = [&](QDialog &dialog) {
        auto &viewer = static_cast<fullscreen::Form4 &>(dialog);
        viewer.show();
        const platform::PictureRegions *regions = window.display().regions();
        if (!regions)
            return 0;
        untilSeen(viewer, *regions);
        const auto scrollTo = [&](double to) {
            constexpr int steps = 20;
            const double from = double(viewer.HScroll1->value()) / viewer.HScroll1->maximum();
            for (int i = 1; i <= steps; ++i) {
                const double at = from + (to - from) * i / steps;
                viewer.HScroll1->setValue(int(at * viewer.HScroll1->maximum()));
                viewer.VScroll1->setValue(int(at * viewer.VScroll1->maximum()));
                QElapsedTimer frame;
                frame.start();
                while (frame.elapsed() < 16)
                    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 4);
            }
            return untilSeen(viewer, *regions);
        };
        result.atCorner = scrollTo(1);
        result.back = scrollTo(0);
        result.peak = peakMiB();
        viewer.close();
        return 0;
    };
    window.mnuFullscrn->trigger();
    desktop.modal = nullptr;
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool large = argc == 3 && argv[2] == std::string_view("large");
    if (argc != 2 && !large) {
        std::fprintf(stderr, "usage: bench_display <photo folder> [large]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/step");
    const QString sample = folder + QStringLiteral("/photo000.jpg");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    core::SettingsStore settings(home.path());
    // A user past the licence agreement and the upgrade question.
    core::keys::License.save(settings, QStringLiteral("0"));
    core::keys::Updated.save(settings, QStringLiteral("1"));
    ReportingDesktop desktop;

    // On its own, in a process that nothing else has taken memory in.
    if (large) {
        core::keys::Startdir.save(settings, QString::fromLocal8Bit(argv[1]));
        core::keys::FullScreenFit.save(settings, QStringLiteral("0"));
        core::AppState largeState;
        browsesmall window(settings, largeState, desktop, {QApplication::applicationDirPath(), {}});
        window.start();
        selectFirst(window);
        const Scrolling scrolled = scrollLargePhoto(window, desktop);
        std::printf("\n48-megapixel photo full screen at natural size, scrolled to the far corner "
                    "and back\n");
        std::printf("%-56s %10.0f ms\n", "  last step -> seen sharp, at the far corner",
                    scrolled.atCorner);
        std::printf("%-56s %10.0f ms\n", "  last step -> seen sharp, back at the start",
                    scrolled.back);
        std::printf("%-56s %10.0f MiB\n", "  peak memory", scrolled.peak);
        std::printf("  goals: peak under 120 MiB, seen within 100 ms of the last step\n");
        return 0;
    }
    core::keys::Startdir.save(settings, folder);

    core::AppState plainState;
    browsesmall plain(settings, plainState, desktop,
                      {QApplication::applicationDirPath(), {}, nullptr, false});
    plain.start();
    // Selects photos in turn and takes the fastest showing.
    const auto showing = [&](browsesmall &window) {
        double fastest = 1e18;
        for (int round = 0; round < rounds; ++round) {
            for (int i = 0; i < fileCount; ++i) {
                window.File1->setListIndex(-1);
                QElapsedTimer timer;
                timer.start();
                window.File1->setListIndex(i * 10);
                QApplication::processEvents();
                fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
            }
        }
        return fastest;
    };
    const double stretched = showing(plain);
    plain.mnuStretch->trigger();
    const double actual = showing(plain);
    plain.mnuStretch->trigger();
    const Stepping without = step(plain);

    core::AppState state;
    browsesmall window(settings, state, desktop, {QApplication::applicationDirPath(), {}});
    window.start();
    const Stepping with = step(window);
    // Fitted to the screen before the full-size runs, whose memory would
    // count in it; they come last.
    core::keys::FullScreenFit.save(settings, QStringLiteral("1"));
    const Stepping fitWith = stepFullScreen(window, desktop);
    core::keys::FullScreenFit.save(settings, QStringLiteral("0"));
    const Stepping fullWith = stepFullScreen(window, desktop);
    const Stepping fullWithout = stepFullScreen(plain, desktop);
    plain.close();
    window.close();

    const double fullDecode = best([&] { return decodeWithLibjpeg(sample, 1); });
    const double eighthDecode = best([&] { return decodeWithLibjpeg(sample, 8); });

    std::printf("\n%-56s %10s\n", "12-megapixel photo (4000 x 3000)", "best, ms");
    std::printf("%-56s %10.1f\n", "select -> shown, stretched (445 x 331 pane)", stretched);
    std::printf("%-56s %10.1f\n", "libjpeg-turbo alone, 1/8 scale (500 x 375)", eighthDecode);
    std::printf("%-56s %10.2f  (goal at most 1.25)\n", "  ratio", stretched / eighthDecode);
    std::printf("%-56s %10.1f\n", "select -> shown, actual size", actual);
    std::printf("%-56s %10.1f\n", "libjpeg-turbo alone, full size", fullDecode);
    std::printf("\nstepping with Down through %d photos in the pane\n", stepCount);
    std::printf("%-56s %6.1f images/s, peak %.0f MiB\n", "  look-ahead", with.perSecond, with.peak);
    std::printf("%-56s %6.1f images/s, peak %.0f MiB\n", "  no look-ahead", without.perSecond,
                without.peak);
    std::printf("  goals: at least 13.5 images/s, peak under 100 MiB\n");
    std::printf("\nstepping with Right through %d photos full screen, Fit to Screen (1280 x 960)\n",
                stepCount);
    std::printf("%-56s %6.1f images/s, peak %.0f MiB\n", "  look-ahead", fitWith.perSecond,
                fitWith.peak);
    std::printf("  goals: at least 30 images/s, peak under 120 MiB\n");
    std::printf("\nstepping with Right through %d photos full screen (natural size)\n", stepCount);
    std::printf("%-56s %6.1f images/s, peak %.0f MiB\n", "  look-ahead", fullWith.perSecond,
                fullWith.peak);
    std::printf("%-56s %6.1f images/s, peak %.0f MiB\n", "  no look-ahead", fullWithout.perSecond,
                fullWithout.peak);
    std::printf("%-56s %6.1f images/s (%.1f ms)\n", "  one libjpeg-turbo decode per step",
                1000 / fullDecode, fullDecode);
    std::printf("  goals: at least 13.5 images/s, and no slower than one decode per step\n");
    return 0;
}
