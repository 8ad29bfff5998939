#include "browser/DisplayLayout.h"

#include <QTest>

using namespace browser;

class tst_layout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void actualSize_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<double>("hMax");
        QTest::addColumn<bool>("hEnabled");
        QTest::addColumn<bool>("vEnabled");
        QTest::addColumn<bool>("centredX");
        QTest::addColumn<bool>("centredY");
        QTest::newRow("100 x 50 centred")
            << QSize(100, 50) << 1500.0 - 6675 << false << false << true << true;
        QTest::newRow("2000 x 100")
            << QSize(2000, 100) << 23325.0 << true << false << false << true;
        QTest::newRow("3000 wide needs no 16-bit limit")
            << QSize(3000, 100) << 38325.0 << true << false << false << true;
        QTest::newRow("exactly the pane")
            << QSize(445, 331) << 0.0 << false << false << false << false;
        QTest::newRow("tall") << QSize(100, 4000) << 1500.0 - 6675 << false << true << true
                              << false;
    }
    void actualSize()
    {
        QFETCH(QSize, pixels);
        QFETCH(double, hMax);
        QFETCH(bool, hEnabled);
        QFETCH(bool, vEnabled);
        QFETCH(bool, centredX);
        QFETCH(bool, centredY);
        const ActualSizeLayout layout =
            actualSizeLayout(pixels.width() * 15.0, pixels.height() * 15.0);
        QCOMPARE(layout.hMax, hMax);
        QCOMPARE(layout.vMax, pixels.height() * 15.0 - 4965);
        QCOMPARE(layout.hEnabled, hEnabled);
        QCOMPARE(layout.vEnabled, vEnabled);
        QCOMPARE(layout.centredX, centredX);
        QCOMPARE(layout.centredY, centredY);
        if (centredX)
            QCOMPARE(layout.left, (6675 - pixels.width() * 15.0) / 2);
        if (centredY)
            QCOMPARE(layout.top, (4965 - pixels.height() * 15.0) / 2);
    }

    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << "/home/me/pics"
                                << "/home/me/pics/sunset.bmp";
        QTest::newRow("volume root") << "/"
                                     << "/sunset.bmp";
        QTest::newRow("mount point") << "/media/usb/"
                                     << "/media/usb/sunset.bmp";
    }
    void paths()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(imagePath(folder, QStringLiteral("sunset.bmp")), path);
    }

    void sizes_data()
    {
        QTest::addColumn<qlonglong>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0LL << "0 Bytes";
        QTest::newRow("1023") << 1023LL << "1023 Bytes";
        QTest::newRow("1024") << 1024LL << "1 Kb";
        QTest::newRow("2047") << 2047LL << "1 Kb";
        QTest::newRow("2048") << 2048LL << "2 Kb";
        QTest::newRow("5 MB") << 5LL * 1024 * 1024 << "5120 Kb";
    }
    void sizes()
    {
        QFETCH(qlonglong, bytes);
        QFETCH(QString, text);
        QCOMPARE(sizeText(bytes), text);
    }
};

QTEST_GUILESS_MAIN(tst_layout)
#include "tst_layout.moc"
