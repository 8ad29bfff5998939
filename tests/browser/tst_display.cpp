#include "app/browsesmall.h"
#include "app/Imagedim.h"
#include "app/SettingKeys.h"
#include "browser/FolderNavigation.h"
#include "browser/ImageDisplay.h"
#include "browser/InfoPanel.h"
#include "platform/Twips.h"
#include "WindowTest.h"

#include <memory>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

using namespace core;

namespace {

QString fixture(const QString &relative)
{
    return QStringLiteral(FIXTURES_DIR "/") + relative;
}

QStringList entries(const platform::FileListBox *list)
{
    QStringList names;
    for (int i = 0; i < list->listCount(); ++i)
        names << list->list(i);
    return names;
}

} // namespace

class tst_display : public WindowTest
{
    Q_OBJECT

private:
    QString m_pictures;

    void copy(const QString &from, const QString &to)
    {
        QVERIFY(QFile::copy(fixture(from), m_pictures + u'/' + to));
    }
    void select(browsesmall &window, const QString &name)
    {
        const int index = entries(window.File1).indexOf(name);
        QVERIFY2(index >= 0, qPrintable(name));
        window.File1->setListIndex(index);
    }

private Q_SLOTS:
    void init()
    {
        setUpWindowTest();
        m_pictures = m_env->makeFolder(QStringLiteral("My Pictures"));
        copy(QStringLiteral("bmpsuite/g/rgb24.bmp"), QStringLiteral("a.bmp"));
        copy(QStringLiteral("pillow/hopper.jpg"), QStringLiteral("b.jpg"));
        copy(QStringLiteral("image-rs/gif/sample_1.gif"), QStringLiteral("c.gif"));
        copy(QStringLiteral("libwmf-examples/ant.wmf"), QStringLiteral("d.wmf"));
        copy(QStringLiteral("pillow/drawing.emf"), QStringLiteral("e.emf"));
        copy(QStringLiteral("pillow/python.ico"), QStringLiteral("f.ico"));
        copy(QStringLiteral("pillow/deerstalker.cur"), QStringLiteral("g.cur"));
        m_env->makeFile(QStringLiteral("My Pictures/notes.txt"), 10);
        m_env->makeFolder(QStringLiteral("My Pictures/empty"));
        keys::Startdir.save(*m_settings, m_pictures);
    }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void fileTypesChooseTheList_data()
    {
        QTest::addColumn<QList<int>>("toggled");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all") << QList<int>{} << QStringList{"a.bmp", "b.jpg", "c.gif", "d.wmf",
                                                            "e.emf", "f.ico", "g.cur"};
        QTest::newRow("all unchecked leaves BMP")
            << QList<int>{0, 1, 2, 3, 4, 5, 6} << QStringList{"a.bmp"};
        QTest::newRow("EMF off keeps WMF")
            << QList<int>{1} << QStringList{"a.bmp", "b.jpg", "c.gif", "d.wmf", "f.ico", "g.cur"};
        QTest::newRow("icons and cursors off")
            << QList<int>{5, 6} << QStringList{"a.bmp", "b.jpg", "c.gif", "d.wmf", "e.emf"};
        QTest::newRow("off and on again")
            << QList<int>{3, 3}
            << QStringList{"a.bmp", "b.jpg", "c.gif", "d.wmf", "e.emf", "f.ico", "g.cur"};
    }
    void fileTypesChooseTheList()
    {
        QFETCH(QList<int>, toggled);
        QFETCH(QStringList, listed);
        auto window = makeWindow();
        for (int index : toggled)
            window->mnuFT[size_t(index)]->trigger();
        QCOMPARE(entries(window->File1), listed);
        QVERIFY(std::any_of(window->mnuFT.begin(), window->mnuFT.end(),
                            [](QAction *a) { return a->isChecked(); }));
        window->mnuImages->trigger();
        QCOMPARE(entries(window->File1).size(), 7);
        for (QAction *item : window->mnuFT)
            QVERIFY(item->isChecked());
    }

    void folderTreeOpensOnOnePress()
    {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(window->pics[0]->isEnabled());
        const int row = window->Dir1->count() - 1; // the only sub-folder: "empty"
        const QRect rect = window->Dir1->visualItemRect(window->Dir1->item(row));
        QTest::mousePress(window->Dir1->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(window->Dir1->path(), m_pictures + QStringLiteral("/empty"));
        QCOMPARE(window->File1->listCount(), 0);
        QVERIFY(!window->pics[0]->isEnabled());
        QVERIFY(!window->pics[1]->isEnabled());
        QTest::mouseRelease(window->Dir1->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void vanishedFolderGivesTheAccessError()
    {
        auto window = makeWindow();
        QVERIFY(QDir(m_pictures + QStringLiteral("/empty")).removeRecursively());
        m_desktop->answerMessage(platform::Answer::Ok);
        window->navigation().openFolder(window->Dir1->list(0));
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].text,
                 QStringLiteral("This Directory appears to be invalid or inaccessible."));
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Access Error"));
        QCOMPARE(m_desktop->messages[0].icon, platform::Icon::Critical);
        QCOMPARE(window->Dir1->path(), m_pictures);
        QCOMPARE(window->File1->listCount(), 7);
    }

    void unavailableDriveKeepsTheList()
    {
        auto window = makeWindow();
        window->Drive1->addItem(QStringLiteral("/media/nodisc"),
                                m_env->root() + QStringLiteral("/nodisc"));
        m_desktop->answerMessage(platform::Answer::Ok);
        window->Drive1->setCurrentIndex(window->Drive1->count() - 1);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].text, QStringLiteral("Drive unavailable"));
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Problem"));
        QCOMPARE(m_desktop->messages[0].icon, platform::Icon::Exclamation);
        QCOMPARE(window->Dir1->path(), m_pictures);
        QCOMPARE(window->File1->listCount(), 7);
        QCOMPARE(window->Drive1->currentText(), QStringLiteral("/media/nodisc"));
    }

    void drivePickedOpensItsLastFolder()
    {
        auto window = makeWindow();
        const QString root = window->Drive1->drive();
        window->Drive1->addItem(QStringLiteral("again"), root);
        window->Drive1->setCurrentIndex(window->Drive1->count() - 1);
        // The folder last opened on that volume during the run.
        QCOMPARE(window->Dir1->path(), m_pictures);
    }

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
        auto window = makeWindow();
        QVERIFY(!window->mnuStatus->isEnabled());
        select(*window, name);
        QVERIFY2(m_desktop->messages.isEmpty(), qPrintable(m_desktop->messages.value(0).text));
        QCOMPARE(window->ftype->text(), type);
        QCOMPARE(window->ImDimen->text(), dimensions);
        QCOMPARE(window->FileName->text(), name);
        QCOMPARE(window->windowTitle(), QStringLiteral("Imagrove - ") + name);
        QCOMPARE(window->ImageSize->text(),
                 browser::sizeText(QFileInfo(m_pictures + u'/' + name).size()));
        QCOMPARE(window->Text1->text(), name.right(3));
        QCOMPARE(m_state->CurrentImagePath, m_pictures + u'/' + name);
        QVERIFY(!window->FileDate->text().isEmpty());
        // Stretched to the box.
        QCOMPARE(window->Image1->geometry(), QRect(0, 0, 443, 331));
        QCOMPARE(window->Image1->pixmap().size(), QSize(443, 331));
        for (QAction *item : {window->mnuStretch, window->mnuStatus, window->mnuFullscrn,
                              window->mnuBackCol->menuAction()})
            QVERIFY(item->isEnabled());
        QVERIFY(window->pics[6]->isEnabled());
        QVERIFY(window->pics[7]->isEnabled());
        QVERIFY(window->welcome->isHidden());
        QVERIFY(window->lblTipText->isHidden());
        QVERIFY(!window->mnuTips->isChecked());
    }

    void clearingTheSelectionShowsNothing()
    {
        auto window = makeWindow();
        select(*window, QStringLiteral("b.jpg"));
        window->File1->setListIndex(-1);
        QVERIFY(m_desktop->messages.isEmpty());
        QCOMPARE(window->FileName->text(), QStringLiteral("b.jpg"));
    }

    void listSyncSuppressesShowing()
    {
        auto window = makeWindow();
        m_state->ListSyncInProgress = true;
        select(*window, QStringLiteral("b.jpg"));
        QVERIFY(window->Image1->pixmap().isNull());
        QVERIFY(!window->mnuStatus->isEnabled());
        m_state->ListSyncInProgress = false;
    }

    void badFilesGiveOneMessageEach()
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
        bad << QStringLiteral("bad-text.gif") << QStringLiteral("bad-empty.wmf");

        auto window = makeWindow();
        window->mnuRefresh->trigger();
        int refused = 0;
        for (const QString &name : bad) {
            // Some damaged files still decode; those that do not give one message.
            for (int i = 0; i < 3; ++i)
                m_desktop->answerMessage(platform::Answer::Ok);
            const qsizetype before = m_desktop->messages.size();
            select(*window, name);
            const qsizetype shown = m_desktop->messages.size() - before;
            QVERIFY2(shown <= 1, qPrintable(name));
            if (shown == 1) {
                ++refused;
                const FakeDesktop::Message &message = m_desktop->messages.last();
                QVERIFY2(message.caption == QLatin1String("481") ||
                             message.caption == QLatin1String("6"),
                         qPrintable(name + QStringLiteral(": ") + message.caption));
                QCOMPARE(message.icon, platform::Icon::Critical);
                QVERIFY(window->Image1->pixmap().isNull());
                QCOMPARE(window->ImDimen->text(), QString());
                QCOMPARE(window->FileName->text(), name);
            }
            // Drain the answers not used.
            while (!m_desktop->allAnswersUsed())
                m_desktop->msgBox(QStringLiteral("drain"), platform::Icon::None,
                                  platform::Buttons::Ok);
        }
        QVERIFY(refused >= 10);
        // The window goes on working.
        select(*window, QStringLiteral("b.jpg"));
        QCOMPARE(window->ImDimen->text(), QStringLiteral("128x128"));
        QVERIFY(!window->Image1->pixmap().isNull());
    }

    void smallPictureIsCentredAtActualSize()
    {
        QImage(100, 50, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/small.bmp"));
        auto window = makeWindow();
        select(*window, QStringLiteral("small.bmp"));
        window->mnuStretch->trigger();
        QVERIFY(!window->mnuStretch->isChecked());
        QVERIFY(!window->display().stretched());
        QVERIFY(!window->HScroll1->isEnabled());
        QVERIFY(!window->VScroll1->isEnabled());
        QCOMPARE(window->Image1->geometry(),
                 QRect((445 - 100) / 2 + 1, (331 - 50) / 2 + 1, 100, 50));
        QCOMPARE(window->Image1->pixmap().size(), QSize(100, 50));
    }

    void widePictureScrollsAcross()
    {
        QImage(2000, 100, QImage::Format_RGB32).save(m_pictures + QStringLiteral("/wide.bmp"));
        auto window = makeWindow();
        select(*window, QStringLiteral("wide.bmp"));
        window->pics[7]->setEnabled(true);
        window->display().resizeButton_Click();
        QVERIFY(window->HScroll1->isEnabled());
        QCOMPARE(window->HScroll1->maximum(), 23325);
        QVERIFY(!window->VScroll1->isEnabled());
        QCOMPARE(window->Image1->y(), platform::twips::toPixels((4965 - 1500) / 2.0));
        QCOMPARE(window->Image1->x(), 0);
        window->HScroll1->setValue(1500);
        QCOMPARE(window->Image1->x(), -100);
        // Back to stretched: the bars are disabled and stay so.
        window->mnuStretch->trigger();
        QVERIFY(window->mnuStretch->isChecked());
        QVERIFY(!window->HScroll1->isEnabled());
        QVERIFY(!window->VScroll1->isEnabled());
        QCOMPARE(window->Image1->geometry(), QRect(0, 0, 443, 331));
        select(*window, QStringLiteral("a.bmp"));
        QVERIFY(!window->HScroll1->isEnabled());
    }

    void normalImageSizeStartsAtActualSize()
    {
        keys::ImageSize.save(*m_settings, QStringLiteral("Normal"));
        auto window = makeWindow();
        QVERIFY(!window->mnuStretch->isChecked());
        QVERIFY(!window->HScroll1->isEnabled());
        select(*window, QStringLiteral("b.jpg"));
        QCOMPARE(window->Image1->size(), QSize(128, 128));
        QCOMPARE(window->Image1->pixmap().size(), QSize(128, 128));
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
    }
    void backColours()
    {
        QFETCH(QString, item);
        QFETCH(QString, stored);
        QFETCH(QColor, colour);
        keys::Colour.save(*m_settings, QStringLiteral("12345"));
        auto window = makeWindow();
        QVERIFY(window->mnuChooseCol->isChecked());
        window->findChild<QAction *>(item)->trigger();
        QCOMPARE(keys::Colour.read(*m_settings), stored);
        QCOMPARE(window->display().backColour(), colour);
        for (QAction *each :
             {window->mnuBGrey, window->mnuBWhite, window->mnuBBlack, window->mnuChooseCol})
            QCOMPARE(each->isChecked(), each->objectName() == item);
        // The next start restores it.
        auto again = makeWindow();
        QCOMPARE(again->display().backColour(), colour);
        QVERIFY(again->findChild<QAction *>(item)->isChecked());
    }

    void colourFromThePalette()
    {
        auto window = makeWindow();
        m_desktop->answerColour(std::nullopt);
        window->mnuChooseCol->trigger();
        QCOMPARE(m_desktop->coloursAsked, 1);
        QVERIFY(window->mnuBBlack->isChecked());
        QVERIFY(!window->mnuChooseCol->isChecked());
        QCOMPARE(window->display().backColour(), QColor(Qt::black));
        QCOMPARE(keys::Colour.read(*m_settings, QStringLiteral("unset")), QStringLiteral("unset"));

        m_desktop->answerColour(QColor(255, 0, 0));
        window->mnuChooseCol->trigger();
        QVERIFY(window->mnuChooseCol->isChecked());
        QVERIFY(!window->mnuBBlack->isChecked());
        QCOMPARE(keys::Colour.read(*m_settings), QStringLiteral("255"));
        QCOMPARE(window->display().backColour(), QColor(255, 0, 0));
        auto again = makeWindow();
        QCOMPARE(again->display().backColour(), QColor(255, 0, 0));
        QVERIFY(again->mnuChooseCol->isChecked());
    }

    void informationStripShowsAndHides()
    {
        auto window = makeWindow();
        const int shown = window->height();
        window->Label1->setEnabled(true);
        window->info().Label1_Click();
        QCOMPARE(shown - window->height(), platform::twips::toPixels(7020 - 6705));
        QVERIFY(!window->Label2->isHidden());
        QVERIFY(!window->mnuStatus->isChecked());
        window->info().Label2_Click();
        QCOMPARE(window->height(), shown);
        QVERIFY(window->Label2->isHidden());
        QVERIFY(window->mnuStatus->isChecked());
    }

    void informationStripFollowsTheSetting()
    {
        keys::ImageInfo.save(*m_settings, QStringLiteral("0"));
        auto window = makeWindow();
        QVERIFY(!window->Label2->isHidden());
        QVERIFY(!window->mnuStatus->isChecked());
    }

    void commandLineImage_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown");
        const QString folder = QStringLiteral("%1"); // replaced by the pictures folder
        QTest::newRow("quoted path with spaces") << "\"%1/b.jpg\""
                                                 << "b.jpg";
        QTest::newRow("other letter case") << "%1/B.JPG"
                                           << "";
        QTest::newRow("two quotes") << "\"\""
                                    << "";
        QTest::newRow("one quote") << "\""
                                   << "";
        QTest::newRow("no such file") << "\"%1/missing.jpg\""
                                      << "";
        QTest::newRow("not an image type") << "%1/notes.txt"
                                           << "";
        Q_UNUSED(folder);
    }
    void commandLineImage()
    {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        auto window = makeWindow(line.contains(QLatin1String("%1")) ? line.arg(m_pictures) : line);
        QVERIFY(m_desktop->messages.isEmpty());
        if (shown.isEmpty()) {
            QCOMPARE(window->File1->listIndex(), -1);
            QVERIFY(window->Image1->pixmap().isNull());
        } else {
            QCOMPARE(window->File1->fileName(), shown);
            QCOMPARE(window->FileName->text(), shown);
            QVERIFY(!window->Image1->pixmap().isNull());
        }
        QVERIFY(window->File1->isEnabled());
        QCOMPARE(window->Dir1->path(), m_pictures);
    }

    void commandLineImageAtActualSize()
    {
        keys::ImageSize.save(*m_settings, QStringLiteral("Normal"));
        auto window = makeWindow(m_pictures + QStringLiteral("/b.jpg"));
        QVERIFY(!window->mnuStretch->isChecked());
        QCOMPARE(window->Image1->size(), QSize(128, 128));
        QCOMPARE(window->Image1->pixmap().size(), QSize(128, 128));
        QCOMPARE(window->Image1->pos(), QPoint((445 - 128) / 2 + 1, (331 - 128) / 2 + 1));
    }

    void commandLineMatchesIgnoringCase()
    {
        QFile::copy(fixture(QStringLiteral("pillow/hopper.jpg")),
                    m_pictures + QStringLiteral("/Upper.jpg"));
        const QString other = m_env->makeFolder(QStringLiteral("other"));
        keys::Startdir.save(*m_settings, other);
        // The desktop may hand over a name in another case than the listing.
        auto window = makeWindow(m_pictures + QStringLiteral("/Upper.jpg"));
        QCOMPARE(window->File1->fileName(), QStringLiteral("Upper.jpg"));
        QCOMPARE(window->Dir1->path(), m_pictures);
    }

    void pictureTooLargeForAFullSizeView_data()
    {
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("full screen") << true;
        QTest::newRow("actual size") << false;
    }
    void pictureTooLargeForAFullSizeView()
    {
        QFETCH(bool, fullScreen);
        // A renderer that draws the pane's box but refuses the full size.
        const QString script = m_env->makeFile(QStringLiteral("renderer"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n"
                   "if [ \"$2\" = 0 ]; then echo 'The picture is too large to be shown.' >&2; exit 3; fi\n"
                   "printf 'PIXELS 9000 9000 443 331 586532\\n'\n"
                   "head -c 586532 /dev/zero\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);

        auto window = makeWindow();
        window->display().setDecoder(platform::PictureDecoder(script));
        select(*window, QStringLiteral("d.wmf"));
        QCOMPARE(window->ImDimen->text(), QStringLiteral("9000x9000"));
        QVERIFY(!window->Image1->pixmap().isNull());

        m_desktop->answerMessage(platform::Answer::Ok);
        if (fullScreen)
            window->mnuFullscrn->trigger();
        else
            window->mnuStretch->trigger();
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].text, QStringLiteral("Sorry, the image you are trying to view is too large!"));
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Imagrove Error"));
        // Full screen clears the pictures; a refused mode switch keeps the stretched one.
        QCOMPARE(window->Image1->pixmap().isNull(), fullScreen);
        QVERIFY(fullScreen || window->mnuStretch->isChecked());
    }

    void rightButtonOnTheImageOffersTheViewMenu()
    {
        auto window = makeWindow();
        window->show();
        Q_EMIT window->Image1->MouseUp(-1, Qt::RightButton);
        QVERIFY(!window->mnuView->isVisible()); // nothing shown yet
        select(*window, QStringLiteral("a.bmp"));
        Q_EMIT window->Image1->MouseUp(-1, Qt::RightButton);
        QTRY_VERIFY(window->mnuView->isVisible());
        window->mnuView->hide();
    }
};

QTEST_MAIN(tst_display)
#include "tst_display.moc"
