#include "platform/Animation.h"
#include "platform/Error.h"
#include "platform/FileListing.h"
#include "platform/FileNames.h"
#include "platform/Picture.h"
#include "platform/PictureCache.h"
#include "platform/PictureRegions.h"
#include "TestEnvironment.h"

#include <ctime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace platform;

namespace {

QString fixture(const QString &relative)
{
    return QStringLiteral(FIXTURES_DIR "/") + relative;
}

// A tiny grey-level thumbnail, for comparing pictures that should look alike.
QImage thumbnail(const QImage &image)
{
    return image.convertToFormat(QImage::Format_Grayscale8)
        .scaled(8, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int difference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            worst = std::max(worst, std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))));
    return worst;
}

// Loads a fixture; an error fails the test with its description.
Picture loadOrFail(const PictureDecoder &decoder, const QString &file, QSize target = {})
{
    try {
        return decoder.load(fixture(file), target);
    } catch (const Error &error) {
        QTest::qFail(qPrintable(file + QStringLiteral(": ") + error.description), __FILE__,
                     __LINE__);
        return {};
    }
}

// The error a decode ends with; 0 when it succeeds.
int failureOf(const PictureDecoder &decoder, const QString &path, QSize target = {})
{
    try {
        decoder.load(path, target);
        return 0;
    } catch (const Error &error) {
        return error.number;
    }
}

} // namespace

class tst_picture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void naturalSizes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("kind");
        const int raster = int(Picture::Kind::Raster);
        QTest::newRow("jpeg") << "pillow/hopper.jpg" << QSize(128, 128) << raster;
        QTest::newRow("jpeg arithmetic")
            << "libjpeg-turbo/testimgari.jpg" << QSize(227, 149) << raster;
        QTest::newRow("jpeg progressive")
            << "image-rs/jpg/progressive_cat.jpg" << QSize(320, 240) << raster;
        QTest::newRow("jpeg shown upright")
            << "pillow/orientation_rectangle.jpg" << QSize(1, 2) << raster;
        QTest::newRow("bmp") << "bmpsuite/g/rgb24.bmp" << QSize(127, 64) << raster;
        QTest::newRow("gif") << "image-rs/gif/sample_1.gif" << QSize(10, 10) << raster;
        QTest::newRow("icon: the largest entry")
            << "pillow/hopper_256x256.ico" << QSize(256, 256) << raster;
        QTest::newRow("icon: largest of three") << "pillow/python.ico" << QSize(48, 48) << raster;
        QTest::newRow("icon: largest of nine")
            << "image-rs/ico/multiple_entries_with_different_bit_depth.ico" << QSize(48, 48)
            << raster;
        QTest::newRow("cursor") << "pillow/deerstalker.cur" << QSize(32, 32) << raster;
        QTest::newRow("wmf placeable")
            << "libwmf-examples/Eg.wmf" << QSize(600, 299) << int(Picture::Kind::Wmf);
        QTest::newRow("wmf drawing")
            << "pillow/drawing.wmf" << QSize(109, 109) << int(Picture::Kind::Wmf);
        QTest::newRow("wmf without header")
            << "libwmf-examples/p0000001.wmf" << QSize(320, 119) << int(Picture::Kind::Wmf);
        QTest::newRow("emf") << "pillow/drawing.emf" << QSize(110, 110) << int(Picture::Kind::Emf);
    }
    void naturalSizes()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(int, kind);
        PictureDecoder decoder;
        const Picture picture = loadOrFail(decoder, file);
        QCOMPARE(int(picture.kind), kind);
        QCOMPARE(picture.naturalSize, size);
        QCOMPARE(picture.image.size(), size);
    }

    // PNG from a real file; WebP and TIFF written by the toolkit from it.
    void otherFormatsDecode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("kind");
        const int raster = int(Picture::Kind::Raster);
        QTest::newRow("png") << "a.png" << QSize(127, 64) << raster;
        QTest::newRow("webp") << "a.webp" << QSize(127, 64) << raster;
        QTest::newRow("tiff") << "a.TIF" << QSize(127, 64) << raster;
        QTest::newRow("svg") << "a.svg" << QSize(40, 30) << int(Picture::Kind::Svg);
    }
    void otherFormatsDecode()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, kind);
        TestEnvironment env;
        const QString path = env.root() + u'/' + name;
        const QImage source(fixture(QStringLiteral("bmpsuite/html/rgb24.png")));
        if (name.endsWith(QLatin1String("svg"))) {
            QFile svg(path);
            QVERIFY(svg.open(QIODevice::WriteOnly));
            svg.write(
                "\xEF\xBB\xBF\n<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30'>"
                "<rect width='40' height='30' fill='#ff0000'/></svg>");
        } else if (name.endsWith(QLatin1String("png"))) {
            QVERIFY(QFile::copy(fixture(QStringLiteral("bmpsuite/html/rgb24.png")), path));
        } else {
            QVERIFY(source.save(path, name.endsWith(QLatin1String("webp")) ? "webp" : "tiff", 100));
        }
        PictureDecoder decoder;
        Picture picture;
        try {
            picture = decoder.load(path);
        } catch (const Error &error) {
            QFAIL(qPrintable(error.description));
        }
        QCOMPARE(int(picture.kind), kind);
        QCOMPARE(picture.naturalSize, size);
        if (kind == int(Picture::Kind::Raster))
            QVERIFY(difference(thumbnail(picture.image), thumbnail(source)) < 16);
        else
            QCOMPARE(picture.image.pixelColor(20, 15), QColor(Qt::red));
        decoder.render(picture, QSize(443, 331));
        QCOMPARE(picture.image.size(), QSize(443, 331));
    }

    void scaledToTheBox_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("jpeg shrinks") << "libjpeg-turbo/testorig.jpg";
        QTest::newRow("icon grows") << "pillow/hopper.ico";
        QTest::newRow("wmf drawn at the box") << "libwmf-examples/ant.wmf";
        QTest::newRow("emf drawn at the box") << "pillow/drawing.emf";
        QTest::newRow("rotated jpeg") << "exif-orientation/Portrait_6.jpg";
    }
    void scaledToTheBox()
    {
        QFETCH(QString, file);
        PictureDecoder decoder;
        const QSize box(443, 331);
        Picture picture = loadOrFail(decoder, file, box);
        QCOMPARE(picture.image.size(), box);
        const QSize natural = picture.naturalSize;
        QVERIFY(!natural.isEmpty());
        decoder.render(picture, {});
        QCOMPARE(picture.image.size(), natural);
    }

    void orientationIsApplied_data()
    {
        QTest::addColumn<QString>("file");
        for (int i = 2; i <= 8; ++i)
            QTest::addRow("hopper %d", i)
                << QStringLiteral("pillow/hopper_orientation_%1.jpg").arg(i);
    }
    void orientationIsApplied()
    {
        QFETCH(QString, file);
        PictureDecoder decoder;
        const QImage upright =
            thumbnail(loadOrFail(decoder, QStringLiteral("pillow/hopper.jpg")).image);
        const Picture picture = loadOrFail(decoder, file);
        QCOMPARE(picture.naturalSize, QSize(128, 128));
        QVERIFY2(difference(thumbnail(picture.image), upright) < 40, "the picture is not upright");
    }

    void rotatedPhotoSizes()
    {
        PictureDecoder decoder;
        const Picture landscape =
            decoder.load(fixture(QStringLiteral("exif-orientation/Landscape_6.jpg")));
        const Picture plain =
            decoder.load(fixture(QStringLiteral("exif-orientation/Landscape_1.jpg")));
        QCOMPARE(landscape.naturalSize, plain.naturalSize);
        QVERIFY(landscape.naturalSize.width() > landscape.naturalSize.height());
    }

    void everyGoodBitmapDecodes()
    {
        PictureDecoder decoder;
        const QDir dir(fixture(QStringLiteral("bmpsuite/g")));
        const QStringList files = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files);
        QCOMPARE(files.size(), 27);
        for (const QString &name : files) {
            try {
                QVERIFY2(!decoder.load(dir.filePath(name)).image.isNull(), qPrintable(name));
            } catch (const Error &error) {
                QFAIL(qPrintable(name + QStringLiteral(": ") + error.description));
            }
        }
    }

    void badFilesFailCleanly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("someRefused");
        QTest::newRow("bad bitmaps") << "bmpsuite/b"
                                     << "*.bmp" << true;
        QTest::newRow("bad bitmaps 2") << "image-rs/bad-bmp"
                                       << "*.bmp" << true;
        QTest::newRow("bad icons") << "image-rs/bad-ico"
                                   << "*.ico" << false;
        QTest::newRow("corrupted emf") << "libemf2svg/emf-corrupted"
                                       << "*.emf" << true;
        QTest::newRow("pillow cursors") << "pillow"
                                        << "*.cur" << true;
        QTest::newRow("pillow icons") << "pillow"
                                      << "*.ico" << false;
        QTest::newRow("pillow jpegs") << "pillow"
                                      << "*.jpg" << false;
    }
    void badFilesFailCleanly()
    {
        QFETCH(QString, folder);
        QFETCH(QString, pattern);
        QFETCH(bool, someRefused);
        PictureDecoder decoder;
        const QDir dir(fixture(folder));
        int refused = 0;
        for (const QString &name : dir.entryList({pattern}, QDir::Files)) {
            try {
                const Picture picture = decoder.load(dir.filePath(name));
                QVERIFY2(!picture.image.isNull(), qPrintable(name));
            } catch (const Error &error) {
                QVERIFY2(error.number == Error::InvalidPicture || error.number == Error::Overflow,
                         qPrintable(name + QStringLiteral(": ") + QString::number(error.number)));
                QVERIFY(!error.description.isEmpty());
                ++refused;
            }
        }
        QVERIFY(!someRefused || refused > 0);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("number");
        QTest::newRow("12-bit jpeg") << "libjpeg-turbo/monkey12.jpg" << int(Error::InvalidPicture);
        QTest::newRow("empty cursor") << "pillow/no_cursors.cur" << int(Error::InvalidPicture);
        QTest::newRow("huge emf frame") << "libemf2svg/emf/test-156.emf" << int(Error::Overflow);
        QTest::newRow("bitmap claiming to be huge")
            << "bmpsuite/b/reallybig.bmp" << int(Error::InvalidPicture);
    }
    void refusedFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, number);
        PictureDecoder decoder;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(failureOf(decoder, fixture(file)), number);
        QVERIFY(timer.elapsed() < 15000);
    }

    // Small files that claim enormous pictures, made from real ones by
    // changing the sizes their headers give.
    void bombsAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("side");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<int>("number");
        const QSize pane(445, 331);
        QTest::newRow("progressive jpeg, stretched")
            << "image-rs/jpg/progressive_cat.jpg" << 30000 << pane << int(Error::Overflow);
        QTest::newRow("progressive jpeg, 65500")
            << "image-rs/jpg/progressive_cat.jpg" << 65500 << pane << int(Error::Overflow);
        QTest::newRow("turned jpeg, actual size")
            << "exif-orientation/Portrait_6.jpg" << 22000 << QSize() << int(Error::Overflow);
        QTest::newRow("icon holding a huge png")
            << "image-rs/ico/png-32bpp-alpha.ico" << 30000 << pane << int(Error::Overflow);
        QTest::newRow("icon holding a 20000 png, actual size")
            << "image-rs/ico/png-32bpp-alpha.ico" << 20000 << QSize() << int(Error::Overflow);
        QTest::newRow("icon holding a 1025 png")
            << "image-rs/ico/png-32bpp-alpha.ico" << 1025 << pane << int(Error::Overflow);
        QTest::newRow("svg named as an icon") << "svg" << 0 << pane << int(Error::InvalidPicture);
        QTest::newRow("svg, actual size") << "svg" << 1 << QSize() << int(Error::Overflow);
        QTest::newRow("png claiming 30000")
            << "bmpsuite/html/rgb24.png" << 30000 << QSize() << int(Error::Overflow);
        QTest::newRow("animated webp, a canvas of 16384")
            << "made/animated-64.webp" << 16384 << QSize(445, 331) << int(Error::Overflow);
    }
    void bombsAreRefusedAtOnce()
    {
        QFETCH(QString, file);
        QFETCH(int, side);
        QFETCH(QSize, target);
        QFETCH(int, number);
        TestEnvironment env;
        QByteArray bytes = "<svg xmlns='http://www.w3.org/2000/svg' width='30000' height='30000'/>";
        if (file != QLatin1String("svg")) {
            QFile original(fixture(file));
            QVERIFY(original.open(QIODevice::ReadOnly));
            bytes = original.readAll();
        }
        const auto put16 = [&](qsizetype at, int value) {
            bytes[at] = char(value >> 8);
            bytes[at + 1] = char(value);
        };
        if (file.endsWith(QLatin1String(".jpg"))) {
            // The frame header: height, then width.
            qsizetype at = 2;
            while (at + 9 < bytes.size() &&
                   !(quint8(bytes[at + 1]) >= 0xC0 && quint8(bytes[at + 1]) <= 0xC2))
                at += 2 + (quint8(bytes[at + 2]) << 8 | quint8(bytes[at + 3]));
            put16(at + 5, side);
            put16(at + 7, side);
        } else if (file.endsWith(QLatin1String(".webp"))) {
            // The extended header's canvas, less one, in three bytes each.
            for (int at : {24, 27}) {
                bytes[at] = char((side - 1) & 0xFF);
                bytes[at + 1] = char((side - 1) >> 8);
                bytes[at + 2] = 0;
            }
        } else if (file.endsWith(QLatin1String(".ico")) || file.endsWith(QLatin1String(".png"))) {
            const qsizetype png = bytes.indexOf("IHDR");
            QVERIFY(png > 0);
            put16(png + 6, side);
            put16(png + 10, side);
            // The header's own checksum, so that only its size is wrong.
            quint32 crc = 0xFFFFFFFF;
            for (qsizetype i = png; i < png + 17; ++i) {
                crc ^= quint8(bytes[i]);
                for (int bit = 0; bit < 8; ++bit)
                    crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
            }
            crc = ~crc;
            for (int i = 0; i < 4; ++i)
                bytes[png + 17 + i] = char(crc >> (24 - 8 * i));
        }
        const QString ending =
            file == QLatin1String("svg") ? (side ? "svg" : "ico") : QFileInfo(file).suffix();
        const QString path = env.root() + QStringLiteral("/bomb.") + ending;
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(failureOf(PictureDecoder(), path, target), number);
        QVERIFY(timer.elapsed() < 1000);
        // Refused before anything of the size claimed was allocated.
        rusage used = {};
        ::getrusage(RUSAGE_SELF, &used);
        QVERIFY2(used.ru_maxrss < 256 * 1024, qPrintable(QString::number(used.ru_maxrss)));
    }

    // Each of the JPEG guards refuses what the other lets through: the
    // peak counted before decoding (a turned picture is made twice), and
    // libjpeg's own cap on what it allocates beside the picture.
    void jpegMemoryGuards_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("limit");
        QTest::newRow("turned progressive: two copies and coefficients")
            << "exif-orientation/Landscape_6_progressive.jpg" << qint64(20) * 1024 * 1024;
        // Just past the picture and its 258048 bytes of coefficients: what
        // libjpeg needs besides them is over the limit.
        QTest::newRow("progressive: coefficients and libjpeg's own")
            << "image-rs/jpg/progressive_cat.jpg" << qint64(320 * 240 * 4 + 258048 + 1800);
    }
    void jpegMemoryGuards()
    {
        QFETCH(QString, file);
        QFETCH(qint64, limit);
        PictureDecoder decoder;
        decoder.setMemoryLimit(limit);
        QCOMPARE(failureOf(decoder, fixture(file)), int(Error::Overflow));
    }

    // What a reader holds at its peak is counted before it reads: a limit
    // between the picture's four bytes a pixel and the real peak refuses
    // it; twice the peak shows it.
    void readersPeaksAreCountedFirst_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("bytesPerPixel");
        QTest::addColumn<QSize>("target");
        QTest::newRow("16-bit png") << "png" << 8 << QSize();
        // Decoded whole, then a premultiplied copy for smooth scaling.
        QTest::newRow("16-bit png, scaled") << "png" << 16 << QSize(20, 20);
        QTest::newRow("tiff, a strip beside the picture") << "tiff" << 8 << QSize();
        QTest::newRow("animated webp") << "made/animated-64.webp" << 13 << QSize();
    }
    void readersPeaksAreCountedFirst()
    {
        QFETCH(QString, file);
        QFETCH(int, bytesPerPixel);
        QFETCH(QSize, target);
        TestEnvironment env;
        QString path = fixture(file);
        if (!file.contains(u'/')) {
            path = env.root() + QStringLiteral("/made.") + file;
            QImage made(64, 64,
                        file == QLatin1String("png") ? QImage::Format_RGBA64
                                                     : QImage::Format_ARGB32);
            made.fill(QColor(10, 200, 30, 200));
            QVERIFY(made.save(path));
        }
        const qint64 pixels = 64 * 64;
        PictureDecoder tight;
        tight.setMemoryLimit(pixels * (bytesPerPixel - 2));
        QCOMPARE(failureOf(tight, path, target), int(Error::Overflow));
        PictureDecoder ample;
        ample.setMemoryLimit(pixels * bytesPerPixel * 2);
        QCOMPARE(failureOf(ample, path, target), 0);
    }

    void wrongContentAndMissingFiles()
    {
        TestEnvironment env;
        const QString text = env.makeFile(QStringLiteral("notes.jpg"), 100);
        const QString empty = env.makeFile(QStringLiteral("empty.wmf"), 0);
        PictureDecoder decoder;
        QVERIFY_THROWS_EXCEPTION(Error, decoder.load(text));
        QVERIFY_THROWS_EXCEPTION(Error, decoder.load(empty));
        QCOMPARE(failureOf(decoder, env.root() + QStringLiteral("/gone.bmp")),
                 int(Error::FileNotFound));
    }

    void namesThatAreNotUtf8OpenByTheirBytes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("bmp") << "bmpsuite/g/rgb24.bmp";
        QTest::newRow("jpeg") << "pillow/hopper.jpg";
        QTest::newRow("wmf") << "libwmf-examples/ant.wmf";
    }
    void namesThatAreNotUtf8OpenByTheirBytes()
    {
        QFETCH(QString, file);
        TestEnvironment env;
        // "café" in Latin-1, and a lone continuation byte.
        const QByteArray name =
            QFile::encodeName(env.root()) + "/caf\xe9\x80." + QFileInfo(file).suffix().toLatin1();
        QVERIFY(QFile::copy(fixture(file), env.root() + QStringLiteral("/copy")));
        QCOMPARE(::rename(QFile::encodeName(env.root() + QStringLiteral("/copy")), name), 0);
        const QStringList listed = listFiles(env.root(), FilePattern());
        QCOMPARE(listed.size(), 1);
        QCOMPARE(displayName(listed[0]),
                 QStringLiteral("caf\uFFFD\uFFFD.") + QFileInfo(file).suffix());
        const QString path = joinPath(env.root(), listed[0]);
        QCOMPARE(nameBytes(path), name);
        QVERIFY(!PictureDecoder().load(path).image.isNull());
    }

    void aFifoInAPicturesPlaceIsRefusedAtOnce()
    {
        TestEnvironment env;
        const QString fifo = env.root() + QStringLiteral("/pipe.bmp");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo), 0600), 0);
        QCOMPARE(failureOf(PictureDecoder(), fifo), int(Error::PathFileAccess));
    }

    void metafilesLookLikeTheirReferences_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reference");
        QTest::newRow("wmf") << "pillow/drawing.wmf"
                             << "pillow/drawing_wmf_ref.png";
        QTest::newRow("emf") << "pillow/drawing.emf"
                             << "pillow/drawing_emf_ref.png";
        // Drawn with y growing upwards: they came out blank.
        QTest::newRow("sample") << "libwmf-examples/sample.wmf"
                                << "";
        QTest::newRow("sample2") << "libwmf-examples/sample2.wmf"
                                 << "";
        QTest::newRow("arrow01") << "libwmf-examples/arrow01.wmf"
                                 << "";
    }
    void metafilesLookLikeTheirReferences()
    {
        QFETCH(QString, file);
        QFETCH(QString, reference);
        PictureDecoder decoder;
        const Picture picture = loadOrFail(decoder, file);
        QImage drawn(picture.image.size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter(&drawn).drawImage(0, 0, picture.image);
        if (!reference.isEmpty()) {
            // The references are drawn at other resolutions: compare the look.
            const QImage expected(fixture(reference));
            QCOMPARE(drawn.width() * 100 / drawn.height(),
                     expected.width() * 100 / expected.height());
            QVERIFY2(difference(thumbnail(drawn), thumbnail(expected)) < 40, qPrintable(file));
        }
        qsizetype inked = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                inked += qGray(drawn.pixel(x, y)) < 200;
        QVERIFY2(inked * 50 > qsizetype(drawn.width()) * drawn.height(), qPrintable(file));
    }

    void hugeVectorDrawsAtTheSizeShown()
    {
        PictureDecoder decoder;
        const Picture picture =
            loadOrFail(decoder, QStringLiteral("libemf2svg/emf/test-156.emf"), QSize(443, 331));
        QCOMPARE(picture.image.size(), QSize(443, 331));
        QVERIFY(picture.naturalSize.width() > 10000);
    }

    void metafileIsKnownByItsContent()
    {
        TestEnvironment env;
        const QString disguised = env.root() + QStringLiteral("/ant.jpg");
        QVERIFY(QFile::copy(fixture(QStringLiteral("libwmf-examples/ant.wmf")), disguised));
        const Picture picture = PictureDecoder().load(disguised);
        QCOMPARE(picture.kind, Picture::Kind::Wmf);
        QVERIFY(!picture.image.isNull());
    }

    void inputWhileAHelperDrawsGivesThePictureUp_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("givesUp");
        QTest::newRow("key") << "key" << true;
        QTest::newRow("click") << "click" << true;
        // The release of what chose the drawing, modifiers and motion pass.
        QTest::newRow("key release") << "release" << false;
        QTest::newRow("button release") << "button release" << false;
        QTest::newRow("modifier") << "shift" << false;
        QTest::newRow("pointer motion") << "motion" << false;
    }
    void inputWhileAHelperDrawsGivesThePictureUp()
    {
        QFETCH(QString, input);
        QFETCH(bool, givesUp);
        TestEnvironment env;
        const QString script =
            env.makeScript(QStringLiteral("slow-helper"), QByteArray("exec sleep 60\n"));
        PictureDecoder decoder(script);
        decoder.setTimeoutMs(givesUp ? 20000 : 1500);
        QLineEdit field;
        QPushButton button;
        QSignalSpy clicked(&button, &QPushButton::clicked);
        field.show();
        button.show();
        QTimer::singleShot(300, &field, [&] {
            if (input == QLatin1String("click"))
                QTest::mouseClick(&button, Qt::LeftButton);
            else if (input == QLatin1String("key"))
                QTest::keyClick(&field, Qt::Key_A);
            else if (input == QLatin1String("release"))
                QTest::keyRelease(&field, Qt::Key_Down);
            else if (input == QLatin1String("button release"))
                QTest::mouseRelease(&button, Qt::LeftButton);
            else if (input == QLatin1String("shift"))
                QTest::keyPress(&field, Qt::Key_Shift);
            else
                QTest::mouseMove(&button, QPoint(3, 3));
        });
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(failureOf(decoder, fixture(QStringLiteral("libwmf-examples/ant.wmf"))),
                 int(givesUp ? Error::UserInterrupt : Error::InvalidPicture));
        QVERIFY(timer.elapsed() < 5000);
        if (!givesUp)
            return;
        // The input itself is not lost: it reaches the field afterwards.
        QCOMPARE(clicked.size(), 0);
        if (input == QLatin1String("click"))
            QTRY_COMPARE(clicked.size(), 1);
        else
            QTRY_COMPARE(field.text(), QStringLiteral("a"));
    }

    // A crafted file could make a helper say anything: the user reads the
    // program's own words.
    void aHelpersOwnWordsAreNotShown_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("number");
        QTest::newRow("not drawn") << 1 << int(Error::InvalidPicture);
        QTest::newRow("too large") << 3 << int(Error::Overflow);
    }
    void aHelpersOwnWordsAreNotShown()
    {
        QFETCH(int, exitCode);
        QFETCH(int, number);
        TestEnvironment env;
        const QString script =
            env.makeScript(QStringLiteral("talking-helper"),
                           "echo 'Your files are locked: call 555-0100' >&2\nexit " +
                               QByteArray::number(exitCode) + "\n");
        try {
            PictureDecoder(script).load(fixture(QStringLiteral("libwmf-examples/ant.wmf")));
            QFAIL("no error");
        } catch (const Error &error) {
            QCOMPARE(error.number, number);
            QVERIFY2(!error.description.contains(QLatin1String("555")),
                     qPrintable(error.description));
        }
    }

    void slowRendererLeavesTheWindowLiveAndIsStoppedWhole()
    {
        TestEnvironment env;
        const QString pidFile = env.root() + QStringLiteral("/child.pid");
        const QString script = env.makeScript(
            QStringLiteral("slow-helper"),
            QStringLiteral("sleep 60 &\necho $! > '%1'\nsleep 60\n").arg(pidFile).toLocal8Bit());
        PictureDecoder decoder(script);
        decoder.setTimeoutMs(800);
        int ticks = 0;
        QTimer painting;
        connect(&painting, &QTimer::timeout, this, [&] { ++ticks; });
        painting.start(50);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(failureOf(decoder, fixture(QStringLiteral("libwmf-examples/ant.wmf"))),
                 int(Error::InvalidPicture));
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY2(ticks >= 5, "events did not run while the helper worked");
        QFile pid(pidFile);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        const QString stat = QStringLiteral("/proc/%1/stat").arg(QString(pid.readAll().trimmed()));
        // Gone, or dead and waiting to be reaped.
        QTRY_VERIFY(!QFile::exists(stat) || [&] {
            QFile proc(stat);
            return proc.open(QIODevice::ReadOnly) && proc.readAll().contains(") Z ");
        }());
    }

    void cacheHoldsAFewPicturesOnly()
    {
        TestEnvironment env;
        PictureCache cache;
        QStringList paths;
        for (size_t i = 0; i <= PictureCache::maxPictures; ++i) {
            paths << env.root() + QStringLiteral("/%1.png").arg(i);
            QImage small(8, 8, QImage::Format_RGB32);
            small.fill(Qt::red);
            QVERIFY(small.save(paths.last()));
            cache.put(PictureDecoder().load(paths.last()), {});
        }
        QVERIFY(!cache.take(paths.first(), {}));
        QVERIFY(cache.take(paths.last(), {}));
    }

    void cacheBeforeTheToolkitDecodesOnlyJpegs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("early");
        QTest::newRow("icon") << "pillow/hopper.ico" << false;
        QTest::newRow("cursor") << "pillow/deerstalker.cur" << false;
        QTest::newRow("gif") << "image-rs/gif/sample_1.gif" << false;
        QTest::newRow("bmp") << "bmpsuite/g/rgb24.bmp" << false;
        QTest::newRow("cmyk jpeg") << "pillow/pil_sample_cmyk.jpg" << false;
        QTest::newRow("progressive jpeg") << "image-rs/jpg/progressive_cat.jpg" << true;
        QTest::newRow("turned jpeg") << "exif-orientation/Portrait_6.jpg" << true;
    }
    void cacheBeforeTheToolkitDecodesOnlyJpegs()
    {
        // Qt's readers may scale with a painter and load plugins: neither may
        // run while the application object is being made.
        QFETCH(QString, file);
        QFETCH(bool, early);
        const QSize pane(443, 331);
        PictureCache cache(PictureDecoder({}, {}), PictureCache::Start::BeforeToolkit);
        cache.prefetch({fixture(file)}, pane);
        QTRY_COMPARE(cache.decodesDone(), 1);
        const std::optional<Picture> taken = cache.take(fixture(file), pane);
        QCOMPARE(taken.has_value(), early);
        if (early) {
            const Picture whole = loadOrFail(PictureDecoder(), file, pane);
            QCOMPARE(taken->image.size(), pane);
            QCOMPARE(taken->naturalSize, whole.naturalSize);
            QCOMPARE(taken->image, whole.image);
        }
        cache.toolkitReady();
        cache.prefetch({fixture(file)}, pane / 2);
        QTRY_COMPARE(cache.decodesDone(), 2);
        QVERIFY(cache.take(fixture(file), pane / 2).has_value());
    }

    // Decoded within a box: in proportion, never enlarged, and the cache
    // serves it only for that box.
    void decodedWithinABox_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("size");
        QTest::newRow("jpeg, wide box")
            << "libjpeg-turbo/testorig.jpg" << QSize(100, 100) << QSize(100, 66);
        QTest::newRow("turned jpeg")
            << "exif-orientation/Portrait_6.jpg" << QSize(300, 300) << QSize(200, 300);
        QTest::newRow("bmp") << "bmpsuite/g/rgb24.bmp" << QSize(64, 64) << QSize(64, 32);
        QTest::newRow("smaller than the box")
            << "pillow/hopper.jpg" << QSize(1000, 1000) << QSize(128, 128);
    }
    void decodedWithinABox()
    {
        QFETCH(QString, file);
        QFETCH(QSize, box);
        QFETCH(QSize, size);
        const Picture picture = loadOrFail(PictureDecoder(), file, platform::withinBox(box));
        QCOMPARE(picture.image.size(), size);
        const Picture whole = loadOrFail(PictureDecoder(), file, size);
        QCOMPARE(picture.image, whole.image);
        // Read early, a JPEG is finished to the box when it is taken.
        for (const auto start :
             {PictureCache::Start::ToolkitUp, PictureCache::Start::BeforeToolkit}) {
            if (start == PictureCache::Start::BeforeToolkit && !file.endsWith(u".jpg"))
                continue;
            PictureCache cache(PictureDecoder({}, {}), start);
            cache.prefetch({fixture(file)}, platform::withinBox(box));
            QTRY_COMPARE(cache.decodesDone(), 1);
            QVERIFY(!cache.take(fixture(file), platform::withinBox(box / 2)).has_value());
            QVERIFY(!cache.take(fixture(file), box).has_value());
            QCOMPARE(cache.take(fixture(file), platform::withinBox(box))->image.size(), size);
        }
    }

    // Seen areas asked in turn, as scrolling asks them: down, then back up
    // (the file is read again), across a turned picture.
    // Frames come after the file's own delays, and never faster than a
    // delay under 20 ms (taken as 100 ms) allows.
    void animationKeepsTheFilesDelays_data()
    {
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<int>("soonest");
        QTest::addColumn<int>("latest");
        QTest::newRow("300 ms") << 30 << 250 << 1500;
        QTest::newRow("10 ms: taken as 100") << 1 << 80 << 1000;
    }
    void animationKeepsTheFilesDelays()
    {
        QFETCH(int, hundredths);
        QFETCH(int, soonest);
        QFETCH(int, latest);
        TestEnvironment env;
        QFile gif(fixture(QStringLiteral("image-rs/gif/any-disposal.gif")));
        QVERIFY(gif.open(QIODevice::ReadOnly));
        QByteArray bytes = gif.readAll();
        for (qsizetype at = bytes.indexOf("\x21\xF9\x04"); at >= 0;
             at = bytes.indexOf("\x21\xF9\x04", at + 1)) {
            bytes[at + 4] = char(hundredths);
            bytes[at + 5] = 0;
        }
        const QString path = env.root() + QStringLiteral("/moving.gif");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        Animation animation;
        QElapsedTimer timer;
        qint64 first = -1;
        connect(&animation, &Animation::frameReady, this, [&] {
            if (first < 0)
                first = timer.elapsed();
        });
        timer.start();
        animation.play(path);
        QTRY_VERIFY(first >= 0);
        QVERIFY2(first >= soonest && first <= latest, qPrintable(QString::number(first)));
    }

    // Frames are made on the worker at the size shown; a canvas too large
    // for the memory limit does not play at all.
    void animationFramesComeAtTheSizeShown()
    {
        TestEnvironment env;
        QFile gif(fixture(QStringLiteral("image-rs/gif/any-disposal.gif")));
        QVERIFY(gif.open(QIODevice::ReadOnly));
        QByteArray bytes = gif.readAll();
        const QString path = env.root() + QStringLiteral("/moving.gif");
        const auto write = [&] {
            QFile out(path);
            return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
        };
        QVERIFY(write());
        Animation animation;
        QList<QSize> sizes;
        connect(&animation, &Animation::frameReady, this,
                [&](const QImage &frame) { sizes << frame.size(); });
        animation.play(path, QSize(37, 23));
        QTRY_VERIFY_WITH_TIMEOUT(sizes.size() >= 2, 5000);
        QCOMPARE(sizes.first(), QSize(37, 23));
        QCOMPARE(sizes.last(), QSize(37, 23));
        animation.stop();
        // The canvas's width and height, 30000 each.
        bytes[6] = char(0x30), bytes[7] = char(0x75), bytes[8] = char(0x30), bytes[9] = char(0x75);
        QVERIFY(write());
        animation.play(path, QSize(37, 23));
        QTRY_VERIFY(!animation.playing());
    }

    void regionsDrawWhatAWholeDecodeDraws_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<QRect>>("seen");
        QTest::newRow("down and back")
            << "libjpeg-turbo/testorig.jpg"
            << QList<QRect>{{10, 5, 40, 30}, {150, 60, 60, 40}, {3, 0, 20, 10}};
        QTest::newRow("turned 6") << "exif-orientation/Landscape_6.jpg"
                                  << QList<QRect>{{700, 500, 300, 200}, {0, 0, 100, 100}};
        QTest::newRow("turned 8") << "exif-orientation/Landscape_8.jpg"
                                  << QList<QRect>{{1500, 900, 200, 200}, {77, 13, 150, 300}};
        QTest::newRow("mirrored, turned 5")
            << "exif-orientation/Landscape_5.jpg" << QList<QRect>{{1, 2, 1700, 1100}};
        QTest::newRow("turned 3") << "exif-orientation/Landscape_3.jpg"
                                  << QList<QRect>{{1000, 600, 500, 500}, {10, 10, 90, 90}};
    }
    void regionsDrawWhatAWholeDecodeDraws()
    {
        QFETCH(QString, file);
        QFETCH(QList<QRect>, seen);
        const QImage whole = loadOrFail(PictureDecoder(), file, {}).image;
        const std::unique_ptr<PictureRegions> regions = PictureRegions::of(fixture(file), 0);
        QVERIFY(regions);
        QCOMPARE(regions->naturalSize(), whole.size());
        for (const QRect &area : seen) {
            regions->want(area);
            QTRY_VERIFY(regions->covers(area));
            QImage drawn(area.size(), QImage::Format_RGB32);
            QPainter painter(&drawn);
            painter.translate(-area.topLeft());
            regions->draw(painter, 1);
            painter.end();
            QCOMPARE(drawn, whole.copy(area));
        }
        QVERIFY(!PictureRegions::of(fixture(file)));
        QVERIFY(
            !PictureRegions::of(fixture(QStringLiteral("image-rs/jpg/progressive_cat.jpg")), 0));
    }

    // The file replaced by a shorter one while it is seen near its bottom:
    // its error comes once, and the reader stops instead of passing over
    // rows for ever.
    void regionsOfAFileReplacedMeanwhileStop()
    {
        TestEnvironment env;
        const QString path = env.root() + QStringLiteral("/big.jpg");
        const QString original = fixture(QStringLiteral("exif-orientation/Landscape_1.jpg"));
        QVERIFY(QFile::copy(original, path));
        const std::unique_ptr<PictureRegions> regions = PictureRegions::of(path, 0);
        QVERIFY(regions);
        QSignalSpy failed(regions.get(), &PictureRegions::failed);
        const QSize size = regions->naturalSize();
        const QRect bottom(0, size.height() - 4, 20, 4);
        regions->want(bottom);
        QTRY_VERIFY(regions->covers(bottom));
        const QImage shorter = QImage(original).copy(0, 0, size.width(), size.height() / 2);
        QVERIFY(shorter.save(path, "JPEG"));
        regions->want(bottom.translated(0, -3 * PictureRegions::bandRows));
        QTRY_COMPARE(failed.size(), 1);
        const std::clock_t before = std::clock();
        QTest::qWait(300);
        QVERIFY(std::clock() - before < CLOCKS_PER_SEC / 10);
        regions->want(QRect(0, 0, 20, 4));
        QTest::qWait(50);
        QCOMPARE(failed.size(), 1);
    }

    void drawingArrivesThroughThePipeInPieces_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("whole, in two writes") << true;
        QTest::newRow("cut short") << false;
    }
    void drawingArrivesThroughThePipeInPieces()
    {
        QFETCH(bool, whole);
        QProcess reader;
        reader.start(PictureDecoder::defaultHelperPath(),
                     {fixture(QStringLiteral("libemf2svg/emf/test-004.emf")), "0", "0"});
        QVERIFY(reader.waitForFinished(15000));
        const QByteArray svg = reader.readAllStandardOutput();
        QVERIFY(svg.size() > 65536);
        QProcess raster;
        raster.start(PictureDecoder::defaultRasterPath(), {});
        QVERIFY(raster.waitForStarted());
        raster.write(svg.left(4096));
        QVERIFY(raster.waitForBytesWritten());
        QTest::qWait(200);
        raster.write(whole ? svg.mid(4096) : svg.mid(4096, 65536));
        raster.closeWriteChannel();
        QVERIFY(raster.state() == QProcess::NotRunning || raster.waitForFinished(15000));
        QCOMPARE(raster.exitCode(), whole ? 0 : 1);
        QCOMPARE(raster.readAllStandardOutput().startsWith("PIXELS "), whole);
    }

    void missingRendererIsAnError()
    {
        PictureDecoder decoder(QStringLiteral("/nonexistent/imagrove-metafile"));
        QVERIFY_THROWS_EXCEPTION(Error,
                                 decoder.load(fixture(QStringLiteral("libwmf-examples/ant.wmf"))));
    }

    void rendererRefusesHugeTargets()
    {
        PictureDecoder decoder;
        Picture picture = decoder.load(fixture(QStringLiteral("libwmf-examples/ant.wmf")));
        try {
            decoder.render(picture, QSize(30000, 30000));
            QFAIL("no error");
        } catch (const Error &error) {
            QCOMPARE(error.number, int(Error::Overflow));
        }
    }
};

QTEST_MAIN(tst_picture)
#include "tst_picture.moc"
