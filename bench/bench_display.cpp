// Time from selecting a 12-megapixel JPEG to its being shown, in each display
// mode, next to what the JPEG decoder alone needs for the same file.
#include "app/browsesmall.h"
#include "core/AppState.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <jpeglib.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int fileCount = 4;
constexpr int rounds = 3;

// A photo-like picture: gradients and shapes, so the encoder has real work.
void writePhoto(const QString &path, int seed)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor::fromHsv((seed * 70) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((seed * 70 + 180) % 360, 160, 90));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37 + seed) % 360, 150, 200, 120));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF((i * 997) % 4000, (i * 577) % 3000), 40 + i % 90, 30 + i % 70);
    }
    painter.end();
    image.save(path, "JPEG", 90);
}

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
    bool startProgram(const QString &, const QStringList &) override { return false; }
    int runModal(QDialog &) override { return 0; }
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QTemporaryDir dir;
    std::printf("writing %d 12-megapixel JPEGs...\n", fileCount);
    for (int i = 0; i < fileCount; ++i)
        writePhoto(dir.path() + QStringLiteral("/photo%1.jpg").arg(i), i);
    const QString sample = dir.path() + QStringLiteral("/photo0.jpg");

    core::SettingsStore settings(home.path());
    core::keys::Startdir.save(settings, dir.path());
    core::AppState state;
    ReportingDesktop desktop;
    browsesmall window(settings, state, desktop, {QApplication::applicationDirPath(), {}});
    window.start();

    // Selects the photos in turn and takes the fastest showing.
    const auto showing = [&]() {
        double fastest = 1e18;
        for (int round = 0; round < rounds; ++round) {
            for (int i = 0; i < fileCount; ++i) {
                window.File1->setListIndex(-1);
                QElapsedTimer timer;
                timer.start();
                window.File1->setListIndex(i);
                QApplication::processEvents();
                fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
            }
        }
        return fastest;
    };

    const double stretched = showing();
    window.mnuStretch->trigger();
    const double actual = showing();
    window.mnuStretch->trigger();

    const double fullDecode = best([&] { return decodeWithLibjpeg(sample, 1); });
    const double eighthDecode = best([&] { return decodeWithLibjpeg(sample, 8); });
    const double halfDecode = best([&] { return decodeWithLibjpeg(sample, 2); });

    std::printf("\n%-52s %10s\n", "12-megapixel JPEG (4000 x 3000)", "best, ms");
    std::printf("%-52s %10.1f\n", "select -> shown, stretched (443 x 331 pane)", stretched);
    std::printf("%-52s %10.1f\n", "select -> shown, actual size", actual);
    std::printf("%-52s %10.1f\n", "libjpeg-turbo alone, full size", fullDecode);
    std::printf("%-52s %10.1f\n", "libjpeg-turbo alone, 1/2 scale", halfDecode);
    std::printf("%-52s %10.1f\n", "libjpeg-turbo alone, 1/8 scale (500 x 375)", eighthDecode);
    return 0;
}
