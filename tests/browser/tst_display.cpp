#include "BrowserHarness.h"
#include "core/ImageTypes.h"
#include "core/SettingKeys.h"
#include "platform/Twips.h"
#include "Pointer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace core;

class tst_display : public ComponentTest
{
    Q_OBJECT

private:
    QString m_pictures;
    platform::FileListBox *File1 = nullptr;
    browser::ImageDisplay::Controls m_c;
    browser::InfoPanel::Controls m_i;
    StubPictures m_stub;
    browser::ImageDisplay *m_display = nullptr;
    browser::InfoPanel *m_info = nullptr;
    QString m_caption;
    QString m_ending;

    // The display and the strip wired as the main window wires them.
    void start()
    {
        File1 = new platform::FileListBox(m_root.get());
        File1->setGeometry(0, 340, 200, 150);
        File1->setPattern(allImagesPattern());
        File1->setPath(m_pictures);
        m_c = displayControls(m_root.get(), File1);
        m_i = infoControls(m_root.get());
        m_display =
            new browser::ImageDisplay(m_c, *m_state, *m_settings, *m_desktop, m_stub, m_root.get());
        m_info = new browser::InfoPanel(m_i, m_root.get());
        connect(m_display, &browser::ImageDisplay::imageSelected, m_info,
                &browser::InfoPanel::enableMenu);
        connect(m_display, &browser::ImageDisplay::imageShown, m_info, &browser::InfoPanel::fill);
        connect(m_display, &browser::ImageDisplay::imageFailed, m_info, &browser::InfoPanel::clear);
        connect(m_info, &browser::InfoPanel::captionChanged, this,
                [this](const QString &caption) { m_caption = caption; });
        connect(m_info, &browser::InfoPanel::endingChanged, this,
                [this](const QString &ending) { m_ending = ending; });
        for (QAction *item : {m_c.mnuStretch, m_c.mnuFullscrn, m_i.mnuStatus})
            item->setEnabled(false);
        m_display->applyStartupMode();
        m_display->applyStartupColour();
        m_root->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_root.get()));
    }
    void select(const QString &name)
    {
        const auto found = File1->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        clickRow(File1, File1->row(found.first()));
    }
    void copy(const QString &from, const QString &to)
    {
        QVERIFY(copyFixture(from, m_pictures + u'/' + to));
    }
    void leftClick(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

private Q_SLOTS:
    void init()
    {
        setUpComponentTest();
        m_pictures = m_env->makeFolder(QStringLiteral("My Pictures"));
        copy(QStringLiteral("bmpsuite/g/rgb24.bmp"), QStringLiteral("a.bmp"));
        copy(QStringLiteral("pillow/hopper.jpg"), QStringLiteral("b.jpg"));
        copy(QStringLiteral("image-rs/gif/sample_1.gif"), QStringLiteral("c.gif"));
        copy(QStringLiteral("libwmf-examples/ant.wmf"), QStringLiteral("d.wmf"));
        copy(QStringLiteral("pillow/drawing.emf"), QStringLiteral("e.emf"));
        copy(QStringLiteral("pillow/python.ico"), QStringLiteral("f.ico"));
        copy(QStringLiteral("pillow/deerstalker.cur"), QStringLiteral("g.cur"));
        m_caption.clear();
    }
    void cleanup() { QVERIFY2(tearDownComponentTest(), "a scripted answer was not used"); }

    void showsEachFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("dimensions");
        QTest::newRow("bmp") << "a.bmp"
                             << "Bitmap File"
                             << "127x64";
        QTest::newRow("jpeg") << "b.jpg"
                              << "Jpeg File"
                              << "128x128";
        QTest::newRow("gif") << "c.gif"
                             << "GIF File"
                             << "10x10";
        QTest::newRow("wmf") << "d.wmf"
                             << "MetaFile"
                             << "211x137";
        QTest::newRow("emf") << "e.emf"
                             << "EMF"
                             << "110x110";
        QTest::newRow("icon") << "f.ico"
                              << "Icon File"
                              << "48x48";
        QTest::newRow("cursor") << "g.cur"
                                << "Cursor File"
                                << "32x32";
    }
    void showsEachFormat()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, dimensions);
        start();
        QVERIFY(!m_i.mnuStatus->isEnabled());
        select(name);
        QVERIFY2(m_desktop->messages.isEmpty(), qPrintable(m_desktop->messages.value(0).text));
        QCOMPARE(m_i.ftype->text(), type);
        QCOMPARE(m_i.ImDimen->text(), dimensions);
        QCOMPARE(m_i.FileName->text(), name);
        QCOMPARE(m_caption, QStringLiteral("Imagrove - ") + name);
        QCOMPARE(m_i.ImageSize->text(),
                 browser::sizeText(QFileInfo(m_pictures + u'/' + name).size()));
        QCOMPARE(m_ending, name.right(3));
        QCOMPARE(m_state->CurrentImagePath, m_pictures + u'/' + name);
        QVERIFY(!m_i.FileDate->text().isEmpty());
        // Stretched to the box.
        QCOMPARE(m_c.Image1->geometry(), m_c.Picture1->rect());
        QCOMPARE(m_c.Image1->pixmap().size(), m_c.Picture1->size());
        for (QAction *item :
             {m_c.mnuStretch, m_i.mnuStatus, m_c.mnuFullscrn, m_c.mnuBackCol->menuAction()})
            QVERIFY(item->isEnabled());
        QVERIFY(m_c.fullScreenButton->isEnabled());
        QCOMPARE(m_stub.nameOf(m_c.fullScreenButton->pixmap()),
                 browser::ToolbarPicture::FullScreen);
        QCOMPARE(m_stub.nameOf(m_c.resizeButton->pixmap()), browser::ToolbarPicture::Actual);
    }

    // A drawing of more than a pipe's 64 KiB keeps its helper busy while
    // the window answers input; only a new choice gives it up.
    void aDrawingIsGivenUpOnlyForANewChoice_data()
    {
        QTest::addColumn<bool>("press");
        QTest::newRow("the release of the key that chose it") << false;
        QTest::newRow("a press that chooses nothing else") << true;
    }
    void aDrawingIsGivenUpOnlyForANewChoice()
    {
        QFETCH(bool, press);
        copy(QStringLiteral("libemf2svg/emf/test-004.emf"), QStringLiteral("h.emf"));
        start();
        select(QStringLiteral("g.cur"));
        QTimer::singleShot(0, File1, [&] {
            if (press)
                clickRow(File1, File1->count() - 1);
            else
                QTest::keyRelease(File1, Qt::Key_Down);
        });
        QTest::keyPress(File1, Qt::Key_Down);
        QTRY_COMPARE(m_i.FileName->text(), QStringLiteral("h.emf"));
        QVERIFY(m_c.Image1->isVisible() && !m_c.Image1->pixmap().isNull());
        QVERIFY(m_c.fullScreenButton->isEnabled());
    }

    void clearedSelectionOrListSyncShowsNothing()
    {
        start();
        {
            const core::FlagHold sync(m_state->ListSyncInProgress);
            select(QStringLiteral("b.jpg"));
            QVERIFY(m_c.Image1->pixmap().isNull());
            QVERIFY(!m_i.mnuStatus->isEnabled());
        }
        select(QStringLiteral("a.bmp"));
        File1->setListIndex(-1);
        QVERIFY(m_desktop->messages.isEmpty());
        QCOMPARE(m_i.FileName->text(), QStringLiteral("a.bmp"));
    }

    void badFilesGiveOneMessageAndDescribeNothing()
    {
        QStringList bad;
        const auto add = [&](const QString &folder, const QString &pattern, const QString &as) {
            const QDir dir(fixture(folder));
            for (const QString &name : dir.entryList({pattern}, QDir::Files)) {
                const QString target =
                    QStringLiteral("bad-%1-%2").arg(bad.size()).arg(name.section(u'.', 0, 0)) + as;
                QVERIFY(QFile::copy(dir.filePath(name), m_pictures + u'/' + target));
                bad << target;
            }
        };
        add(QStringLiteral("bmpsuite/b"), QStringLiteral("*.bmp"), QStringLiteral(".bmp"));
        add(QStringLiteral("libemf2svg/emf-corrupted"), QStringLiteral("*.emf"),
            QStringLiteral(".emf"));
        add(QStringLiteral("image-rs/bad-bmp"), QStringLiteral("*.bmp"), QStringLiteral(".bmp"));
        add(QStringLiteral("libjpeg-turbo"), QStringLiteral("monkey12.jpg"),
            QStringLiteral(".jpg"));
        add(QStringLiteral("pillow"), QStringLiteral("no_cursors.cur"), QStringLiteral(".cur"));
        m_env->makeFile(QStringLiteral("My Pictures/bad-text.gif"), 500);
        m_env->makeFile(QStringLiteral("My Pictures/bad-empty.wmf"), 0);
        // Listed, then deleted before it is chosen.
        m_env->makeFile(QStringLiteral("My Pictures/bad-gone.jpg"), 10);
        bad << QStringLiteral("bad-text.gif") << QStringLiteral("bad-empty.wmf")
            << QStringLiteral("bad-gone.jpg");

        start();
        File1->refresh();
        QVERIFY(QFile::remove(m_pictures + QStringLiteral("/bad-gone.jpg")));
        int refused = 0;
        for (const QString &name : bad) {
            select(QStringLiteral("b.jpg"));
            const auto found = File1->findItems(name, Qt::MatchExactly);
            QVERIFY(!found.isEmpty());
            // Some damaged files still decode; those that do not give one message.
            m_desktop->answerMessage(platform::Answer::Ok);
            const qsizetype before = m_desktop->messages.size();
            clickRow(File1, File1->row(found.first()));
            const qsizetype shown = m_desktop->messages.size() - before;
            QVERIFY2(shown <= 1, qPrintable(name));
            if (shown == 0) {
                m_desktop->msgBox(QStringLiteral("drain"), platform::Icon::None,
                                  platform::Buttons::Ok);
                continue;
            }
            ++refused;
            const FakeDesktop::Message &message = m_desktop->messages.last();
            QVERIFY2(QStringList({"481", "6", "53"}).contains(message.caption),
                     qPrintable(name + QStringLiteral(": ") + message.caption));
            QCOMPARE(message.icon, platform::Icon::Critical);
            QVERIFY(m_c.Image1->pixmap().isNull());
            // Nothing on screen, so nothing described.
            for (QLabel *label : {m_i.ImDimen, m_i.FileName, m_i.ftype, m_i.ImageSize})
                QCOMPARE(label->text(), QString());
            QCOMPARE(m_caption, QString());
            QVERIFY(!m_c.mnuFullscrn->isEnabled() && !m_c.fullScreenButton->isEnabled());
        }
        QVERIFY(refused >= 11);
        select(QStringLiteral("b.jpg"));
        QCOMPARE(m_i.ImDimen->text(), QStringLiteral("128x128"));
        QVERIFY(!m_c.Image1->pixmap().isNull());
    }

    void keepProportions_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QRect>("shown");
        QTest::newRow("portrait") << QSize(1200, 1800) << QRect(112, 0, 220, 331);
        QTest::newRow("panorama") << QSize(4000, 500) << QRect(0, 138, 445, 55);
        QTest::newRow("small: never past 100%") << QSize(60, 90) << QRect(192, 120, 60, 90);
    }
    void keepProportions()
    {
        QFETCH(QSize, natural);
        QFETCH(QRect, shown);
        QImage(natural, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/p.bmp"));
        start();
        select(QStringLiteral("p.bmp"));
        QCOMPARE(m_c.Image1->geometry(), m_c.Picture1->rect());
        m_c.mnuKeepProp->trigger();
        QCOMPARE(m_c.Image1->geometry(), shown);
        QCOMPARE(m_c.Image1->pixmap().size(), shown.size());
        QCOMPARE(core::keys::KeepProportions.read(*m_settings), QStringLiteral("1"));
        // Saved: a new display starts with it, and the next picture keeps it.
        delete m_display;
        start();
        QVERIFY(m_c.mnuKeepProp->isChecked());
        select(QStringLiteral("p.bmp"));
        QCOMPARE(m_c.Image1->geometry(), shown);
    }

    void actualSizeLayout()
    {
        QImage(100, 50, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/small.bmp"));
        QImage(2000, 100, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/wide.bmp"));
        QImage(100, 2000, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/tall.bmp"));
        start();
        select(QStringLiteral("small.bmp"));
        m_c.mnuStretch->trigger();
        QVERIFY(!m_c.mnuStretch->isChecked());
        QVERIFY(!m_c.HScroll1->isEnabled());
        QVERIFY(!m_c.VScroll1->isEnabled());
        QCOMPARE(m_c.Image1->geometry(), QRect((445 - 100) / 2 + 1, (331 - 50) / 2 + 1, 100, 50));
        QCOMPARE(m_stub.nameOf(m_c.resizeButton->pixmap()), browser::ToolbarPicture::Resize);

        select(QStringLiteral("wide.bmp"));
        QVERIFY(m_c.HScroll1->isEnabled());
        QCOMPARE(m_c.HScroll1->maximum(), 23325);
        QVERIFY(!m_c.VScroll1->isEnabled());
        QCOMPARE(m_c.Image1->y(), platform::twips::toPixels((4965 - 1500) / 2.0));
        QTest::keyClick(m_c.HScroll1, Qt::Key_PageDown);
        QCOMPARE(m_c.Image1->x(), -100);
        select(QStringLiteral("tall.bmp"));
        QTest::keyClick(m_c.VScroll1, Qt::Key_PageDown);
        QCOMPARE(m_c.Image1->y(), -100);
        // Back to stretched by the toolbar: the bars are disabled and stay so.
        leftClick(m_c.resizeButton);
        QVERIFY(m_c.mnuStretch->isChecked());
        QVERIFY(!m_c.HScroll1->isEnabled());
        QCOMPARE(m_c.Image1->geometry(), m_c.Picture1->rect());
        select(QStringLiteral("a.bmp"));
        QVERIFY(!m_c.HScroll1->isEnabled());
    }

    void wheelAndDragMoveALargePicture()
    {
        QImage(2000, 2000, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/big.bmp"));
        keys::ImageSize.save(*m_settings, QStringLiteral("Normal"));
        start();
        select(QStringLiteral("big.bmp"));
        QCOMPARE(m_c.Image1->cursor().shape(), Qt::OpenHandCursor);
        turnWheel(m_c.Image1, -120);
        QVERIFY(m_c.VScroll1->value() > 0);
        QCOMPARE(m_c.Image1->y(), -platform::twips::toPixels(m_c.VScroll1->value()));
        const QPoint before = m_c.Image1->pos();
        drag(m_c.Image1, QPoint(300, 300), QPoint(250, 320));
        QCOMPARE(m_c.Image1->pos(), before + QPoint(-50, 20));
        leftClick(m_c.resizeButton);
        QCOMPARE(m_c.Image1->cursor().shape(), Qt::ArrowCursor);
        turnWheel(m_c.Image1, -120);
        QCOMPARE(m_c.Image1->geometry(), m_c.Picture1->rect());
    }

    // A moving GIF plays in the pane while it is seen; its delays are cut
    // here to 50 ms.
    void animatedGifPlaysWhileSeen()
    {
        QFile gif(fixture(QStringLiteral("image-rs/gif/any-disposal.gif")));
        QVERIFY(gif.open(QIODevice::ReadOnly));
        QByteArray bytes = gif.readAll();
        for (qsizetype at = bytes.indexOf("\x21\xF9\x04"); at >= 0;
             at = bytes.indexOf("\x21\xF9\x04", at + 1)) {
            bytes[at + 4] = 5;
            bytes[at + 5] = 0;
        }
        QFile out(m_pictures + QStringLiteral("/moving.gif"));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        start();
        select(QStringLiteral("moving.gif"));
        const auto frame = [&] { return m_c.Image1->pixmap().toImage(); };
        const QImage first = frame();
        QTRY_VERIFY(frame() != first);
        // What is copied is the first frame.
        QCOMPARE(m_display->shownPicture().convertToFormat(QImage::Format_ARGB32),
                 QImage(out.fileName()).convertToFormat(QImage::Format_ARGB32));
        m_root->hide();
        QTest::qWait(150);
        const QImage hidden = frame();
        QTest::qWait(300);
        QCOMPARE(frame(), hidden);
        m_root->show();
        QTRY_VERIFY(frame() != hidden);
    }

    void normalImageSizeStartsAtActualSize()
    {
        keys::ImageSize.save(*m_settings, QStringLiteral("Normal"));
        start();
        QVERIFY(!m_c.mnuStretch->isChecked());
        select(QStringLiteral("b.jpg"));
        QCOMPARE(m_c.Image1->size(), QSize(128, 128));
        QCOMPARE(m_c.Image1->pixmap().size(), QSize(128, 128));
    }

    void backColours_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("grey") << "mnuBGrey"
                              << "Grey" << QColor(0xC0, 0xC0, 0xC0);
        QTest::newRow("white") << "mnuBWhite"
                               << "White" << QColor(Qt::white);
        QTest::newRow("black") << "mnuBBlack"
                               << "Black" << QColor(Qt::black);
        QTest::newRow("palette") << "mnuChooseCol"
                                 << "255" << QColor(255, 0, 0);
    }
    void backColours()
    {
        QFETCH(QString, item);
        QFETCH(QString, stored);
        QFETCH(QColor, colour);
        keys::Colour.save(*m_settings, QStringLiteral("12345"));
        start();
        QVERIFY(m_c.mnuChooseCol->isChecked());
        if (item == QLatin1String("mnuChooseCol")) {
            // Cancelled first: nothing changes.
            m_desktop->answerColour(std::nullopt);
            m_c.mnuChooseCol->trigger();
            QVERIFY(m_c.mnuChooseCol->isChecked());
            QCOMPARE(keys::Colour.read(*m_settings), QStringLiteral("12345"));
            m_desktop->answerColour(colour);
        }
        m_root->findChild<QAction *>(item)->trigger();
        QCOMPARE(keys::Colour.read(*m_settings), stored);
        QCOMPARE(m_display->backColour(), colour);
        for (QAction *each : {m_c.mnuBGrey, m_c.mnuBWhite, m_c.mnuBBlack, m_c.mnuChooseCol})
            QCOMPARE(each->isChecked(), each->objectName() == item);
        // The next start restores it.
        m_display->applyStartupColour();
        QCOMPARE(m_display->backColour(), colour);
        QVERIFY(m_root->findChild<QAction *>(item)->isChecked());
    }

    void aColourThatCannotBeSavedIsReported()
    {
        start();
        // The settings folder's parent is a file: nothing can be written there.
        const QString blocked = m_env->makeFile(QStringLiteral("blocked"), 1);
        *m_settings = core::SettingsStore(blocked + QStringLiteral("/Imagrove"));
        m_desktop->answerMessage(platform::Answer::Ok);
        m_c.mnuBWhite->trigger();
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Erro Number: 75 occurred."));
        QCOMPARE(m_display->backColour(), QColor(Qt::white));
    }

    void informationStripFitsItsLabels()
    {
        const QString longName = QStringLiteral(
            "a very long name of a holiday photograph taken on the beach at dusk.jpg");
        copy(QStringLiteral("pillow/hopper.jpg"), longName);
        // Its long date form does not fit: the date alone is shown, whole.
        const QLocale before;
        QLocale::setDefault(QLocale::c());
        start();
        QSignalSpy heights(m_info, &browser::InfoPanel::heightWanted);
        QTest::mouseClick(m_i.Label1, Qt::LeftButton);
        QVERIFY(!m_i.Label2->isHidden());
        QVERIFY(!m_i.mnuStatus->isChecked());
        QTest::mouseClick(m_i.Label2, Qt::LeftButton);
        QVERIFY(m_i.Label2->isHidden());
        QCOMPARE(heights, (QList<QList<QVariant>>{{6705.0}, {7020.0}}));

        select(longName);
        QVERIFY(m_i.FileName->text().endsWith(QChar(0x2026)));
        QCOMPARE(m_i.FileName->toolTip(), longName);
        QCOMPARE(m_ending, QStringLiteral("jpg"));
        for (QLabel *label : {m_i.FileDate, m_i.FileName, m_i.ImageSize, m_i.ImDimen})
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
        QVERIFY2(!m_i.FileDate->text().endsWith(QChar(0x2026)), qPrintable(m_i.FileDate->text()));
        QLocale::setDefault(before);
    }

    void pictureTooLargeForAFullSizeView_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("full-screen button") << "button";
        QTest::newRow("full-screen menu item") << "menu";
        QTest::newRow("double-click on the image") << "double-click";
        QTest::newRow("Enter in the file list") << "enter";
        QTest::newRow("actual size") << "actual";
    }
    void pictureTooLargeForAFullSizeView()
    {
        QFETCH(QString, how);
        const bool fullScreen = how != QLatin1String("actual");
        // A renderer that draws the pane's box but refuses the full size.
        const QString script = m_env->makeScript(
            QStringLiteral("renderer"),
            "if [ \"$2\" = 0 ]; then echo 'The picture is too large to be shown.' >&2; exit 3; fi\n"
            "printf 'PIXELS 9000 9000 445 331 589180\\n'\n"
            "head -c 589180 /dev/zero\n");

        start();
        m_display->setDecoder(platform::PictureDecoder(script));
        select(QStringLiteral("d.wmf"));
        QCOMPARE(m_i.ImDimen->text(), QStringLiteral("9000x9000"));
        QVERIFY(!m_c.Image1->pixmap().isNull());

        m_desktop->answerMessage(platform::Answer::Ok);
        if (how == QLatin1String("button"))
            leftClick(m_c.fullScreenButton);
        else if (how == QLatin1String("menu"))
            m_c.mnuFullscrn->trigger();
        else if (how == QLatin1String("double-click"))
            QTest::mouseDClick(m_c.Image1, Qt::LeftButton);
        else if (how == QLatin1String("enter"))
            QTest::keyClick(m_c.File1, Qt::Key_Return);
        else
            m_c.mnuStretch->trigger();
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].text,
                 QStringLiteral("Sorry, the image you are trying to view is too large!"));
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Imagrove Error"));
        // Full screen clears the pictures; a refused mode switch keeps the stretched one.
        QCOMPARE(m_c.Image1->pixmap().isNull(), fullScreen);
        QVERIFY(fullScreen || m_c.mnuStretch->isChecked());
    }

    void rightButtonOnTheImageOffersTheViewMenu()
    {
        start();
        m_c.Image1->resize(50, 50);
        QTest::mouseClick(m_c.Image1, Qt::RightButton);
        QVERIFY(m_desktop->popUps.isEmpty()); // nothing shown yet
        select(QStringLiteral("a.bmp"));
        QTest::mouseClick(m_c.Image1, Qt::RightButton);
        QCOMPARE(m_desktop->popUps, QStringList{QStringLiteral("mnuView")});
    }
};

QTEST_MAIN(tst_display)
#include "tst_display.moc"
