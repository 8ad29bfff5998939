// imagrove-svgraster: draws the SVG that imagrove-metafile makes of an EMF,
// in a process of its own with the same limits, so that a huge or hostile
// drawing costs the viewer nothing but the pixels it shows.
//
// stdin:  "SVG natW natH vbX vbY vbW vbH outW outH bytes\n" + the SVG text
// stdout: "PIXELS natW natH outW outH bytes\n" + outW*outH native-endian 0xAARRGGBB words
// On failure: nothing on stdout, one line on stderr, exit 1, or 3 when the
// picture is too large to hold.
#include "Confinement.h"
#include "HelperLimits.h"
#include "MetafileGeometry.h"

#include <cstdio>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

[[noreturn]] void fail(int code, const char *message)
{
    std::fprintf(stderr, "%s\n", message);
    std::_Exit(code);
}

} // namespace

int main(int argc, char *argv[])
{
    metafile::limitResources(IMAGROVE_HELPER_MEMORY_MB, 20);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The drawing comes from a parsed file: nothing of the user's within reach.
    metafile::confine();

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        fail(1, "Cannot read the drawing.");
    const QList<QByteArray> fields = in.readLine(512).trimmed().split(' ');
    if (fields.size() != 10 || fields[0] != "SVG")
        fail(1, "Invalid picture: the enhanced metafile could not be read.");
    bool ok = true;
    const auto number = [&](int i) {
        bool good = false;
        const double value = fields[i].toDouble(&good);
        ok = ok && good;
        return value;
    };
    const long long natW = static_cast<long long>(number(1));
    const long long natH = static_cast<long long>(number(2));
    const QRectF viewBox(number(3), number(4), number(5), number(6));
    const long long outW = static_cast<long long>(number(7));
    const long long outH = static_cast<long long>(number(8));
    const qint64 length = static_cast<qint64>(number(9));
    if (!ok || length <= 0)
        fail(1, "Invalid picture: the enhanced metafile could not be read.");
    if (!metafile::sizeAllowed(outW, outH))
        fail(3, "The picture is too large to be shown.");
    // The reader writes into a pipe, which hands over at most its buffer at
    // a time: read until the whole drawing is here or the input ends.
    if (length > metafile::maxSvgBytes)
        fail(3, "The picture is too large to be shown.");
    QByteArray svg;
    svg.reserve(length);
    while (svg.size() < length) {
        const QByteArray chunk = in.read(length - svg.size());
        if (chunk.isEmpty())
            break;
        svg += chunk;
    }
    if (svg.size() != length)
        fail(1, "Invalid picture: the enhanced metafile could not be read.");

    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        fail(1, "Invalid picture: the enhanced metafile could not be drawn.");
    QImage image(int(outW), int(outH), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        fail(3, "The picture is too large to be shown.");
    image.fill(Qt::transparent);
    renderer.setViewBox(viewBox);
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    image.convertTo(QImage::Format_ARGB32);

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        fail(1, "Cannot write the picture.");
    const qint64 bytes = qint64(outW) * outH * 4;
    out.write(QByteArray("PIXELS ") + QByteArray::number(natW) + ' ' + QByteArray::number(natH) +
              ' ' + QByteArray::number(outW) + ' ' + QByteArray::number(outH) + ' ' +
              QByteArray::number(bytes) + '\n');
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char *>(image.constScanLine(y)), outW * 4);
    return out.flush() ? 0 : 1;
}
