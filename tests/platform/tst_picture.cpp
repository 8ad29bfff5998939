#include "platform/Error.h"
#include "platform/Picture.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

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
        try {
            decoder.load(fixture(file));
            QFAIL("the file was accepted");
        } catch (const Error &error) {
            QCOMPARE(error.number, number);
        }
        QVERIFY(timer.elapsed() < 15000);
    }

    void wrongContentAndMissingFiles()
    {
        TestEnvironment env;
        const QString text = env.makeFile(QStringLiteral("notes.jpg"), 100);
        const QString empty = env.makeFile(QStringLiteral("empty.wmf"), 0);
        PictureDecoder decoder;
        QVERIFY_THROWS_EXCEPTION(Error, decoder.load(text));
        QVERIFY_THROWS_EXCEPTION(Error, decoder.load(empty));
        try {
            decoder.load(env.root() + QStringLiteral("/gone.bmp"));
            QFAIL("no error");
        } catch (const Error &error) {
            QCOMPARE(error.number, int(Error::FileNotFound));
        }
    }

    void hungRendererIsStoppedInTime()
    {
        TestEnvironment env;
        const QString script = env.makeFile(QStringLiteral("slow-helper"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nsleep 30\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        PictureDecoder decoder(script);
        decoder.setTimeoutMs(500);
        QElapsedTimer timer;
        timer.start();
        try {
            decoder.load(fixture(QStringLiteral("libwmf-examples/ant.wmf")));
            QFAIL("no error");
        } catch (const Error &error) {
            QCOMPARE(error.number, int(Error::InvalidPicture));
        }
        QVERIFY(timer.elapsed() < 5000);
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
