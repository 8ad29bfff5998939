#include "core/SettingKeys.h"
#include "fullscreen/Form4.h"
#include "platform/PictureRegions.h"
#include "platform/Twips.h"
#include "Pointer.h"
#include "WindowTest.h"

#include <functional>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>

using namespace core;
using fullscreen::Form4;
using platform::PictureRegions;

class tst_viewer : public WindowTest
{
    Q_OBJECT

private:
    QString m_folder;

    void picture(const QString &name, QSize size, Qt::GlobalColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(m_folder + u'/' + name));
    }
    // The main window on the folder with the named entry shown.
    std::unique_ptr<browsesmall> windowShowing(const QString &name)
    {
        keys::Startdir.save(*m_settings, m_folder);
        auto window = makeWindow();
        const auto found = window->File1->findItems(name, Qt::MatchExactly);
        if (!found.isEmpty())
            clickRow(window->File1, window->File1->row(found.first()));
        return window;
    }
    // Opens the viewer from the window and runs inside while it is open;
    // the viewer is closed afterwards if it is still open.
    void inViewer(browsesmall &window, const std::function<void(Form4 &)> &inside,
                  bool fromToolbar = false)
    {
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &viewer = static_cast<Form4 &>(dialog);
            viewer.show();
            inside(viewer);
            if (viewer.isVisible())
                viewer.close();
            return 0;
        });
        if (fromToolbar)
            QTest::mouseClick(window.pics[6], Qt::LeftButton);
        else
            window.mnuFullscrn->trigger();
        QVERIFY(!m_state->FullScreenOpen);
    }
    static void hover(QWidget *widget)
    {
        const QPoint at(2, 50);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    static void unlock(Form4 &viewer) { QTRY_VERIFY(!viewer.Tim.isActive()); }
    static QColor shown(Form4 &viewer)
    {
        return viewer.Image1->pixmap().toImage().pixelColor(0, 0);
    }

private Q_SLOTS:
    void init()
    {
        setUpWindowTest();
        m_folder = m_env->makeFolder(QStringLiteral("Photos"));
        picture(QStringLiteral("a.bmp"), {100, 50}, Qt::red);
        picture(QStringLiteral("b.bmp"), {100, 50}, Qt::green);
        picture(QStringLiteral("c.bmp"), {100, 50}, Qt::blue);
    }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void navigationWrapsWithANotice_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("fsnav");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QColor>("after");
        QTest::newRow("left on first") << "a.bmp" << Qt::LeftButton << "0"
                                       << "last" << QColor(Qt::blue);
        QTest::newRow("right on last") << "c.bmp" << Qt::RightButton << "0"
                                       << "first" << QColor(Qt::red);
        QTest::newRow("right on first") << "a.bmp" << Qt::RightButton << "0"
                                        << "" << QColor(Qt::green);
        QTest::newRow("fsnav: right on first") << "a.bmp" << Qt::RightButton << "1"
                                               << "last" << QColor(Qt::blue);
        QTest::newRow("fsnav: left on last") << "c.bmp" << Qt::LeftButton << "1"
                                             << "first" << QColor(Qt::red);
        QTest::newRow("middle") << "b.bmp" << Qt::MiddleButton << "0"
                                << "" << QColor(Qt::green);
    }
    void navigationWrapsWithANotice()
    {
        QFETCH(QString, start);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, fsnav);
        QFETCH(QString, notice);
        QFETCH(QColor, after);
        keys::FsNav.save(*m_settings, fsnav);
        auto window = windowShowing(start);
        inViewer(*window, [&](Form4 &viewer) {
            unlock(viewer);
            if (!notice.isEmpty())
                m_desktop->answerMessage(platform::Answer::Ok);
            QTest::mouseClick(viewer.Image1, button);
            QCOMPARE(m_desktop->messages.size(), notice.isEmpty() ? 0 : 1);
            if (!notice.isEmpty()) {
                QCOMPARE(m_desktop->messages[0].text,
                         QStringLiteral("There are no more images to view in the current "
                                        "directory, switching to %1 image.")
                             .arg(notice));
                QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Imagrove 2"));
            }
            QCOMPARE(shown(viewer), after);
            QCOMPARE(viewer.Label1->text(), m_state->CurrentImagePath);
        });
        // The main window keeps the viewer's picture and selection.
        QCOMPARE(window->Image1->pixmap().toImage().pixelColor(2, 2), after);
        QCOMPARE(m_state->CurrentImagePath.endsWith(window->File1->fileName()), true);
    }

    void oneImageStaysAfterTheNotice()
    {
        QFile::remove(m_folder + QStringLiteral("/b.bmp"));
        QFile::remove(m_folder + QStringLiteral("/c.bmp"));
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            unlock(viewer);
            for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
                m_desktop->answerMessage(platform::Answer::Ok);
                QTest::mouseClick(viewer.Image1, button);
                QCOMPARE(viewer.File1->listIndex(), 0);
            }
            QCOMPARE(m_desktop->messages.size(), 2);
        });
    }

    void clicksWithinTheLockAndMiddleButtonDoNothing()
    {
        auto window = windowShowing(QStringLiteral("b.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            QVERIFY(viewer.Tim.isActive());
            QTest::mouseClick(viewer.Image1, Qt::RightButton);
            QCOMPARE(shown(viewer), QColor(Qt::green));
            unlock(viewer);
            QTest::mouseClick(viewer.Picture1, Qt::MiddleButton);
            QCOMPARE(shown(viewer), QColor(Qt::green));
        });
    }

    void disfsnavClosesAndThePaneCentresThePicture()
    {
        keys::DisFsNav.save(*m_settings, QStringLiteral("1"));
        auto window = windowShowing(QStringLiteral("b.bmp"));
        bool open = true;
        inViewer(
            *window,
            [&](Form4 &viewer) {
                unlock(viewer);
                QTest::mouseClick(viewer.Image1, Qt::LeftButton);
                open = viewer.isVisible();
            },
            true);
        QVERIFY(!open);
        QCOMPARE(window->File1->fileName(), QStringLiteral("b.bmp"));
        // Centred: stretched, it fills the pane.
        QCOMPARE(window->Image1->geometry(), window->Picture1->rect());
        QCOMPARE(window->Image1->pixmap().toImage().pixelColor(2, 2), QColor(Qt::green));
    }

    void storedSchemeAndInfo_data()
    {
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("info");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<int>("checked"); // -1: none
        QTest::addColumn<bool>("caption");
        QTest::newRow("Purple") << "Purple"
                                << "On" << QColor(Qt::black) << -1 << true;
        QTest::newRow("Yellow, Off") << "Yellow"
                                     << "Off" << QColor(Qt::yellow) << 6 << false;
    }
    void storedSchemeAndInfo()
    {
        QFETCH(QString, colour);
        QFETCH(QString, info);
        QFETCH(QColor, background);
        QFETCH(int, checked);
        QFETCH(bool, caption);
        keys::FullScreenColour.save(*m_settings, colour);
        keys::FullScreenInfo.save(*m_settings, info);
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            for (int i = 0; i < 7; ++i)
                QCOMPARE(viewer.mnuColour[size_t(i)]->isChecked(), i == checked);
            QCOMPARE(viewer.Label1->isVisible(), caption);
            QCOMPARE(viewer.mnuInfo->isChecked(), caption);
            QCOMPARE(viewer.Picture1->grab().toImage().pixelColor(1000, 900), background);
            viewer.mnuColour[3]->trigger();
            viewer.mnuInfo->trigger();
            QCOMPARE(viewer.Label1->isVisible(), !caption);
        });
        QCOMPARE(keys::FullScreenColour.read(*m_settings), QStringLiteral("Green"));
        QCOMPARE(keys::FullScreenInfo.read(*m_settings),
                 caption ? QStringLiteral("Off") : QStringLiteral("On"));
    }

    void exitPathsAndTheCommandLineFlag_data()
    {
        QTest::addColumn<QString>("exit");
        QTest::addColumn<bool>("launched");
        QTest::newRow("character key") << "key" << true;
        QTest::newRow("View > Exit") << "mnuExit" << false;
        QTest::newRow("icon menu Exit") << "mnuExit2" << false;
        QTest::newRow("X") << "cmdExit" << false;
        QTest::newRow("icon double-click") << "Image3" << true;
        QTest::newRow("caption") << "Label1" << true;
        QTest::newRow("strip") << "Label4" << true;
    }
    void exitPathsAndTheCommandLineFlag()
    {
        QFETCH(QString, exit);
        QFETCH(bool, launched);
        // Opened straight from the command line: the program ends with the
        // viewer unless it was left by Exit.
        keys::ImgFll.save(*m_settings, QStringLiteral("1"));
        keys::CloseAfter1.save(*m_settings, QStringLiteral("1"));
        bool closed = false;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &viewer = static_cast<Form4 &>(dialog);
            viewer.show();
            if (exit == QLatin1String("key"))
                QTest::keyClick(viewer.File1, Qt::Key_Escape);
            else if (exit == QLatin1String("mnuExit"))
                viewer.mnuExit->trigger();
            else if (exit == QLatin1String("mnuExit2"))
                viewer.mnuExit2->trigger();
            else if (exit == QLatin1String("cmdExit"))
                QTest::mouseClick(viewer.cmdExit, Qt::LeftButton);
            else if (exit == QLatin1String("Image3"))
                QTest::mouseDClick(viewer.Image3, Qt::LeftButton);
            else
                QTest::mouseClick(viewer.findChild<QWidget *>(exit), Qt::LeftButton);
            closed = !viewer.isVisible();
            return 0;
        });
        auto window = makeWindow(m_folder + QStringLiteral("/a.bmp"));
        QVERIFY(closed);
        QCOMPARE(window->ended(), launched);
        QVERIFY(!m_state->SecondaryWindowOpen);
        QVERIFY(!m_state->FullScreenOpen);
    }

    void aSaveThatFailsIsReportedAndHoldsNothing_data()
    {
        QTest::addColumn<QString>("item");
        for (const char *item : {"mnuFit", "mnuInfo", "mnuBWhite"})
            QTest::newRow(item) << item;
    }
    void aSaveThatFailsIsReportedAndHoldsNothing()
    {
        QFETCH(QString, item);
        auto window = windowShowing(QStringLiteral("a.bmp"));
        bool stayed = false;
        inViewer(*window, [&](Form4 &viewer) {
            if (!m_env->lockFolder())
                return;
            m_desktop->answerMessage(platform::Answer::Ok);
            viewer.findChild<QAction *>(item)->trigger();
            stayed = viewer.isVisible();
        });
        if (m_desktop->messages.isEmpty() && !stayed)
            QSKIP("cannot act as an ordinary user here");
        QVERIFY(stayed);
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(!m_state->SecondaryWindowOpen);
        QVERIFY(!m_state->ListSyncInProgress);
    }

    void theMiniBrowserPanelTakesItsOwnClicks()
    {
        auto window = windowShowing(QStringLiteral("b.bmp"));
        QColor after;
        bool menuAtOnce = true;
        bool closedByDoubleClick = false;
        inViewer(*window, [&](Form4 &viewer) {
            unlock(viewer);
            viewer.Frame1->show();
            for (QWidget *part :
                 std::initializer_list<QWidget *>{viewer.Label5, viewer.lblCount, viewer.Frame1})
                QTest::mouseClick(part, Qt::LeftButton);
            after = shown(viewer);
            // A press on the icon opens its menu only once no double-click came.
            QTest::mousePress(viewer.Image3, Qt::LeftButton);
            menuAtOnce = m_desktop->popUps.contains(QStringLiteral("mnuIcon"));
            QTRY_COMPARE(m_desktop->popUps.count(QStringLiteral("mnuIcon")), 1);
            QTest::mouseDClick(viewer.Image3, Qt::LeftButton);
            closedByDoubleClick = !viewer.isVisible();
        });
        QCOMPARE(after, QColor(Qt::green));
        QVERIFY(!menuAtOnce);
        QVERIFY(closedByDoubleClick);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QCOMPARE(m_desktop->popUps.count(QStringLiteral("mnuIcon")), 1);
    }

    void menuBarKeepsTheDesktopColours()
    {
        auto window = windowShowing(QStringLiteral("a.bmp"));
        QPalette bar;
        inViewer(*window, [&](Form4 &viewer) { bar = viewer.menuBar->palette(); });
        const QPalette desktop = QApplication::palette(static_cast<QWidget *>(nullptr));
        for (QPalette::ColorRole role :
             {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText})
            QCOMPARE(bar.color(role), desktop.color(role));
    }

    void fitSurvivesARestart()
    {
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [](Form4 &viewer) { viewer.mnuFit->trigger(); });
        // Under the name that stored files of earlier versions use.
        QFile stored(m_env->configHome() + QStringLiteral("/Imagrove/Imagrove.conf"));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray text = stored.readAll();
        QVERIFY(text.mid(text.indexOf("[FullScreen]")).contains("\nFit=1"));
        window.reset();
        m_settings = std::make_unique<core::SettingsStore>();
        window = windowShowing(QStringLiteral("a.bmp"));
        bool fitted = false;
        inViewer(*window, [&](Form4 &viewer) { fitted = viewer.mnuFit->isChecked(); });
        QVERIFY(fitted);
    }

    // Straight into full screen, the picture is decoded for the viewer, at
    // the size it shows it; fitted, within the box it keeps for next time.
    void commandLineLaunchDecodesForTheViewer_data()
    {
        QTest::addColumn<QString>("fit");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QSize>("decoded");
        QTest::newRow("fitted, box known") << "1"
                                           << "1280 1024" << QSize(1280, 960);
        QTest::newRow("fitted, first time") << "1"
                                            << "" << QSize(1280, 960);
        QTest::newRow("natural size") << "0"
                                      << "1280 1024" << QSize(4000, 3000);
    }
    void commandLineLaunchDecodesForTheViewer()
    {
        QFETCH(QString, fit);
        QFETCH(QString, box);
        QFETCH(QSize, decoded);
        QImage large(4000, 3000, QImage::Format_RGB32);
        large.fill(Qt::white);
        QVERIFY(large.save(m_folder + QStringLiteral("/large.bmp")));
        keys::ImgFll.save(*m_settings, QStringLiteral("1"));
        keys::FullScreenFit.save(*m_settings, fit);
        keys::FullScreenBox.save(*m_settings, box);
        QSize held;
        bool underneath = true;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &viewer = static_cast<Form4 &>(dialog);
            viewer.show();
            held =
                static_cast<browsesmall *>(viewer.parentWidget())->display().picture().image.size();
            underneath = viewer.parentWidget()->isVisible();
            viewer.close();
            return 0;
        });
        const auto window = makeWindow(m_folder + QStringLiteral("/large.bmp"));
        QCOMPARE(held, decoded);
        // The window is not drawn first under the viewer.
        QVERIFY(!underneath);
        QCOMPARE(keys::FullScreenBox.read(*m_settings),
                 fit == QLatin1String("1") ? QStringLiteral("1280 1024") : box);
        // Back in the pane, the picture is as sharp as the pane shows it.
        QVERIFY(window->isVisible());
        QVERIFY(window->display().picture().image.width() >= 445);
    }

    void commandLineLaunchEndsAfterOneImage_data()
    {
        QTest::addColumn<bool>("exitItem");
        QTest::newRow("character key ends") << false;
        QTest::newRow("Exit keeps running") << true;
    }
    void commandLineLaunchEndsAfterOneImage()
    {
        QFETCH(bool, exitItem);
        keys::ImgFll.save(*m_settings, QStringLiteral("1"));
        keys::CloseAfter1.save(*m_settings, QStringLiteral("1"));
        bool opened = false;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &viewer = static_cast<Form4 &>(dialog);
            viewer.show();
            opened = shown(viewer) == QColor(Qt::green);
            if (exitItem)
                viewer.mnuExit->trigger();
            else
                QTest::keyClick(&viewer, 'q');
            return 0;
        });
        auto window = makeWindow(m_folder + QStringLiteral("/b.bmp"));
        QVERIFY(opened);
        QCOMPARE(window->ended(), !exitItem);
        QCOMPARE(keys::ProgramPath.read(*m_settings).isEmpty(), !exitItem);
    }

    void keysAndWheelStep()
    {
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            unlock(viewer);
            QTest::keyClick(&viewer, Qt::Key_Right);
            QCOMPARE(shown(viewer), QColor(Qt::green));
            QTest::keyClick(&viewer, Qt::Key_End);
            QCOMPARE(shown(viewer), QColor(Qt::blue));
            QTest::keyClick(&viewer, Qt::Key_PageUp);
            QCOMPARE(shown(viewer), QColor(Qt::green));
            const auto turn = [&](int delta) { turnWheel(viewer.Image1, delta); };
            turn(-120);
            QCOMPARE(shown(viewer), QColor(Qt::blue));
            // A touchpad's small turns step once they make a notch.
            for (int i = 0; i < 3; ++i)
                turn(30);
            QCOMPARE(shown(viewer), QColor(Qt::blue));
            turn(-40);
            turn(40);
            QCOMPARE(shown(viewer), QColor(Qt::blue));
            turn(90);
            QCOMPARE(shown(viewer), QColor(Qt::green));
            QTest::keyClick(&viewer, Qt::Key_Home);
            QCOMPARE(shown(viewer), QColor(Qt::red));
            QVERIFY(viewer.isVisible());
        });
    }

    void fullScreenButtonComesBackAfterAnUnreadableFile()
    {
        QFile broken(m_folder + QStringLiteral("/b.bmp"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("BM not a picture") > 0);
        broken.close();
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            unlock(viewer);
            m_desktop->answerMessage(platform::Answer::Ok);
            QTest::keyClick(&viewer, Qt::Key_Right);
            QTest::keyClick(&viewer, Qt::Key_Right);
            QCOMPARE(shown(viewer), QColor(Qt::blue));
        });
        QVERIFY(window->pics[6]->isEnabled());
        bool opened = false;
        inViewer(
            *window, [&](Form4 &) { opened = true; }, true);
        QVERIFY(opened);
    }

    void largePictureScrollsOrFits_data()
    {
        QTest::addColumn<bool>("fit");
        QTest::newRow("natural size") << false;
        QTest::newRow("fit to screen") << true;
    }
    void largePictureScrollsOrFits()
    {
        QFETCH(bool, fit);
        QImage large(4000, 3000, QImage::Format_RGB32);
        large.fill(Qt::white);
        large.setPixelColor(3999, 2999, Qt::red);
        QVERIFY(large.save(m_folder + QStringLiteral("/large.bmp")));
        auto window = windowShowing(QStringLiteral("large.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            if (fit)
                viewer.mnuFit->trigger();
            QCOMPARE(viewer.HScroll1->isVisible(), !fit);
            QCOMPARE(viewer.VScroll1->isVisible(), !fit);
            if (fit) {
                // 1280 x 1024 screen: 1280 x 960, centred.
                QCOMPARE(viewer.Image1->geometry(), QRect(0, 32, 1280, 960));
                // Decoded for the screen, not at its own size.
                QCOMPARE(window->display().picture().image.size(), QSize(1280, 960));
                return;
            }
            // Ctrl+wheel fits and unfits, leaving Fit to Screen as it is.
            turnWheel(viewer.Image1, -120, Qt::ControlModifier);
            QCOMPARE(viewer.Image1->geometry(), QRect(0, 32, 1280, 960));
            QCOMPARE(window->display().picture().image.size(), QSize(1280, 960));
            turnWheel(viewer.Picture1, 120, Qt::ControlModifier);
            QCOMPARE(viewer.Image1->size(), QSize(4000, 3000));
            QCOMPARE(window->display().picture().image.size(), QSize(4000, 3000));
            QVERIFY(!viewer.mnuFit->isChecked());
            // A drag moves the picture with the pointer, and steps nowhere.
            drag(viewer.Image1, QPoint(600, 500), QPoint(500, 380));
            QCOMPARE(viewer.Image1->pos(), QPoint(-100, -120));
            QVERIFY(m_state->CurrentImagePath.endsWith(QLatin1String("large.bmp")));
            QCOMPARE(viewer.Image1->cursor().shape(), Qt::OpenHandCursor);
            viewer.HScroll1->setValue(viewer.HScroll1->maximum());
            viewer.VScroll1->setValue(viewer.VScroll1->maximum());
            const QPoint corner = viewer.Image1->mapTo(viewer.Picture1, QPoint(3999, 2999));
            QVERIFY(viewer.Picture1->rect().contains(corner));
            QCOMPARE(viewer.Picture1->grab().toImage().pixelColor(corner), QColor(Qt::red));
        });
        QCOMPARE(keys::FullScreenInfo.read(*m_settings), QStringLiteral("On"));
    }

    void aPictureTooLargeToHoldIsSeenByRegions_data()
    {
        QTest::addColumn<bool>("launched");
        QTest::newRow("from the pane") << false;
        QTest::newRow("straight from the command line") << true;
    }
    void aPictureTooLargeToHoldIsSeenByRegions()
    {
        QFETCH(bool, launched);
        // Just past what is held whole: 6400 x 4000 pixels.
        QImage big(6400, 4000, QImage::Format_RGB32);
        for (int y = 0; y < big.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(big.scanLine(y));
            for (int x = 0; x < big.width(); ++x)
                line[x] = qRgb(x / 25, y / 16, (x ^ y) & 0xff);
        }
        const QString path = m_folder + QStringLiteral("/big.jpg");
        QVERIFY(big.save(path, "JPEG", 90));
        const QImage whole = platform::PictureDecoder().load(path).image;
        big = QImage();
        const auto inside = [&](Form4 &viewer) {
            const browser::ImageDisplay &display =
                static_cast<browsesmall *>(viewer.parentWidget())->display();
            const PictureRegions *regions = display.regions();
            QVERIFY(regions);
            QVERIFY(display.picture().image.width() < 1000);
            QCOMPARE(viewer.Image1->size(), QSize(6400, 4000));
            // Below the caption, the canvas shows the picture's own pixels.
            const auto sharp = [&] {
                const QRect canvas = viewer.Picture1->rect().adjusted(0, 40, 0, 0);
                const QRect seen = canvas.translated(-viewer.Image1->pos());
                // A screenful of rows and a band beyond each side.
                const qint64 rows = viewer.Picture1->height() + 4 * PictureRegions::bandRows;
                return regions->covers(seen) && regions->heldBytes() <= rows * 6400 * 4 &&
                       viewer.Picture1->grab(canvas).toImage().convertToFormat(
                           QImage::Format_RGB32) == whole.copy(seen);
            };
            QTRY_VERIFY_WITH_TIMEOUT(sharp(), 10000);
            viewer.HScroll1->setValue(viewer.HScroll1->maximum());
            viewer.VScroll1->setValue(viewer.VScroll1->maximum());
            QTRY_VERIFY_WITH_TIMEOUT(sharp(), 10000);
            drag(viewer.Image1, QPoint(5000, 3000), QPoint(6000, 3900));
            QVERIFY(viewer.Image1->pos().x() > -5000);
            QTRY_VERIFY_WITH_TIMEOUT(sharp(), 10000);
        };
        std::unique_ptr<browsesmall> window;
        if (launched) {
            keys::ImgFll.save(*m_settings, QStringLiteral("1"));
            m_desktop->answerModal([&](QDialog &dialog) {
                auto &viewer = static_cast<Form4 &>(dialog);
                viewer.show();
                inside(viewer);
                viewer.close();
                return 0;
            });
            window = makeWindow(path);
        } else {
            window = windowShowing(QStringLiteral("big.jpg"));
            inViewer(*window, inside);
        }
        QVERIFY(!window->display().regions());
    }

    // In a large desktop font every control of the panel keeps the room
    // its text needs, within the panel, none over another.
    void miniBrowserPanelFitsItsFont_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("11 pt") << 11;
        QTest::newRow("14 pt") << 14;
    }
    void miniBrowserPanelFitsItsFont()
    {
        QFETCH(int, points);
        const QFont before = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
        keys::FsMbAl.save(*m_settings, QStringLiteral("1"));
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            QTRY_VERIFY(viewer.Frame1->isVisible());
            const QList<QWidget *> controls{viewer.Drive1, viewer.Dir1, viewer.File1, viewer.Label3,
                                            viewer.lblCount};
            for (QWidget *control : controls)
                QVERIFY2(viewer.Frame1->rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
            // The labels below the lists keep a small font of their own.
            QVERIFY(viewer.Drive1->height() >= viewer.Drive1->minimumSizeHint().height());
            QVERIFY(viewer.Drive1->geometry().bottom() < viewer.Dir1->y());
            QVERIFY(viewer.Dir1->geometry().bottom() < viewer.File1->y());
            QVERIFY(viewer.File1->geometry().bottom() < viewer.Label3->y());
        });
    }

    void miniBrowser_data()
    {
        QTest::addColumn<QString>("fsmbal");
        QTest::addColumn<QString>("greymode");
        QTest::newRow("plain") << "0"
                               << "0";
        QTest::newRow("pinned, grey") << "1"
                                      << "1";
    }
    void miniBrowser()
    {
        QFETCH(QString, fsmbal);
        QFETCH(QString, greymode);
        keys::FsMbAl.save(*m_settings, fsmbal);
        keys::GreyMode.save(*m_settings, greymode);
        const bool pinned = fsmbal == QLatin1String("1");
        m_env->makeFolder(QStringLiteral("Photos/More"));
        auto window = windowShowing(QStringLiteral("b.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            QCOMPARE(viewer.Frame1->isVisible(), pinned);
            QCOMPARE(viewer.shpPinOn->isVisible(), pinned);
            QCOMPARE(viewer.lblNumber->text(), QStringLiteral("2"));
            QCOMPARE(viewer.lblCount->text(), QStringLiteral("3"));
            QCOMPARE(viewer.Frame1->palette().color(QPalette::Window),
                     pinned ? QColor(128, 128, 128) : QColor(255, 224, 192));
            QCOMPARE(viewer.Shape1->palette().color(QPalette::Window), QColor(0, 0, 128));
            hover(viewer.lblMiniOn);
            QVERIFY(viewer.Frame1->isVisible());
            hover(viewer.lblMiniOff);
            QCOMPARE(viewer.Frame1->isVisible(), pinned);

            // The right button over its lists offers the main window's favourites.
            viewer.Frame1->show();
            QTest::mouseClick(viewer.File1->viewport(), Qt::RightButton);
            QCOMPARE(m_desktop->popUps.value(0), QStringLiteral("mnuFav"));

            // Another folder: both windows follow, nothing selected, same picture.
            viewer.Frame1->show();
            viewer.Dir1->setCurrentRow(viewer.Dir1->count() - 1);
            QTest::mouseClick(
                viewer.Dir1->viewport(), Qt::LeftButton, {},
                viewer.Dir1->visualItemRect(viewer.Dir1->item(viewer.Dir1->count() - 1)).center());
            QCOMPARE(viewer.Dir1->path(), m_folder + QStringLiteral("/More"));
            QCOMPARE(window->Dir1->path(), viewer.Dir1->path());
            QCOMPARE(viewer.lblNumber->text(), QStringLiteral("0"));
            QCOMPARE(viewer.lblCount->text(), QStringLiteral("0"));
            QCOMPARE(shown(viewer), QColor(Qt::green));
        });
    }

    void miniBrowserDriveUnavailableAndShortScreen()
    {
        m_desktop->setScreenSizeTwips({19200, 7000});
        auto window = windowShowing(QStringLiteral("a.bmp"));
        inViewer(*window, [&](Form4 &viewer) {
            QCOMPARE(viewer.Frame1->y(), platform::twips::toPixels(1755 / 4.0));
            const QString folder = window->Dir1->path();
            viewer.Drive1->addItem(QStringLiteral("/media/nodisc"),
                                   m_env->root() + QStringLiteral("/nodisc"));
            m_desktop->answerMessage(platform::Answer::Ok);
            viewer.Drive1->setCurrentIndex(viewer.Drive1->count() - 1);
            QCOMPARE(m_desktop->messages.size(), 1);
            QCOMPARE(m_desktop->messages[0].text, QStringLiteral("Drive unavailable"));
            QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Problem"));
            QCOMPARE(window->Dir1->path(), folder);
            QCOMPARE(viewer.Drive1->currentText(), QStringLiteral("/media/nodisc"));
        });
    }
};

QTEST_MAIN(tst_viewer)
#include "tst_viewer.moc"
