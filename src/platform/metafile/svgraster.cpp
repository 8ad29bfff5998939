// imagrove-svgraster: draws the SVG that imagrove-metafile makes of an EMF,
// or an SVG file, in a process of its own with the same limits, so that a
// huge or hostile drawing costs the viewer nothing but the pixels it shows.
//
// stdin:  "SVG natW natH vbX vbY vbW vbH outW outH bytes\n" + the SVG text;
//         with the arguments "--file outW outH", an SVG file as it is
//         (0 0: at its own size)
// stdout: "PIXELS natW natH outW outH bytes\n" + outW*outH native-endian 0xAARRGGBB words
// On failure: nothing on stdout, one line on stderr, exit 1, or 3 when the
// picture is too large to hold.
#include "Confinement.h"
#include "HelperLimits.h"
#include "MetafileGeometry.h"
#include "SvgSafety.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

struct Drawing
{
    QByteArray svg;
    long long natW = 0, natH = 0;
    QRectF viewBox;
    long long outW = 0, outH = 0;
};

// An SVG file on stdin; its own size is what its width and height say, or
// its view box.
Drawing readFile(QFile &in, const char *width, const char *height)
{
    Drawing drawing;
    drawing.svg = in.read(metafile::maxSvgBytes + 1);
    if (drawing.svg.size() > metafile::maxSvgBytes)
        fail(3, "The picture is too large to be shown.");
    // Only what the drawing holds itself is read, even to learn its size:
    // the system's files are in the helper's view.
    drawing.svg = metafile::selfContainedSvg(drawing.svg);
    QSvgRenderer probe(drawing.svg);
    if (!probe.isValid())
        fail(1, "Invalid picture: the SVG file could not be read.");
    QSizeF natural = probe.defaultSize();
    if (natural.isEmpty())
        natural = probe.viewBoxF().size();
    drawing.natW = static_cast<long long>(natural.width() + 0.5);
    drawing.natH = static_cast<long long>(natural.height() + 0.5);
    if (drawing.natW <= 0 || drawing.natH <= 0)
        fail(1, "Invalid picture: the SVG file has no size.");
    drawing.viewBox = probe.viewBoxF();
    drawing.outW = std::atoll(width);
    drawing.outH = std::atoll(height);
    if (drawing.outW <= 0 || drawing.outH <= 0) {
        drawing.outW = drawing.natW;
        drawing.outH = drawing.natH;
    }
    return drawing;
}

// The drawing that imagrove-metafile made of an EMF, behind its header line.
Drawing readMade(QFile &in)
{
    Drawing drawing;
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
    drawing.natW = static_cast<long long>(number(1));
    drawing.natH = static_cast<long long>(number(2));
    drawing.viewBox = QRectF(number(3), number(4), number(5), number(6));
    drawing.outW = static_cast<long long>(number(7));
    drawing.outH = static_cast<long long>(number(8));
    const qint64 length = static_cast<qint64>(number(9));
    if (!ok || length <= 0)
        fail(1, "Invalid picture: the enhanced metafile could not be read.");
    if (length > metafile::maxSvgBytes)
        fail(3, "The picture is too large to be shown.");
    // The reader writes into a pipe, which hands over at most its buffer at
    // a time: read until the whole drawing is here or the input ends.
    drawing.svg.reserve(length);
    while (drawing.svg.size() < length) {
        const QByteArray chunk = in.read(length - drawing.svg.size());
        if (chunk.isEmpty())
            break;
        drawing.svg += chunk;
    }
    if (drawing.svg.size() != length)
        fail(1, "Invalid picture: the enhanced metafile could not be read.");
    drawing.svg = metafile::selfContainedSvg(drawing.svg);
    return drawing;
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
    const bool file = argc == 4 && std::strcmp(argv[1], "--file") == 0;
    const Drawing drawing = file ? readFile(in, argv[2], argv[3]) : readMade(in);
    const long long natW = drawing.natW, natH = drawing.natH;
    const long long outW = drawing.outW, outH = drawing.outH;
    if (!metafile::sizeAllowed(outW, outH))
        fail(3, "The picture is too large to be shown.");

    QSvgRenderer renderer(drawing.svg);
    if (!renderer.isValid())
        fail(1, "Invalid picture: the drawing could not be read.");
    QImage image(int(outW), int(outH), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        fail(3, "The picture is too large to be shown.");
    image.fill(Qt::transparent);
    if (!drawing.viewBox.isEmpty())
        renderer.setViewBox(drawing.viewBox);
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
