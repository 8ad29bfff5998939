#include "app/Imagedim.h"
#include "core/SettingKeys.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"
#include "WindowTest.h"

#include <fcntl.h>
#include <memory>
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <sys/stat.h>

using namespace core;

class tst_browsesmall : public WindowTest
{
    Q_OBJECT

private:
    void clickPicture(QWidget *picture) { QTest::mouseClick(picture, Qt::LeftButton); }

private Q_SLOTS:
    void init() { setUpWindowTest(); }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void menuItems()
    {
        auto window = makeWindow();
        const auto row = [&](const char *name, const char *caption, bool checked = false,
                             bool enabled = true) {
            QAction *action = window->findChild<QAction *>(QLatin1String(name));
            QVERIFY2(action, name);
            QCOMPARE(action->text(), QLatin1String(caption));
            QCOMPARE(action->isChecked(), checked);
            QCOMPARE(action->isEnabled(), enabled);
        };
        row("mnuRefresh", "Refresh Directory");
        row("mnuPreferences", "Preferences");
        row("mnuDefault", "Main Options");
        row("mnuFulScrnOpt", "Full Screen Options");
        row("mnuAdvancedOpt", "Advanced Options");
        row("mnuEditFavs", "Favourites Manager");
        row("mnuExit", "Exit");
        row("mnuCopy", "Copy to Clipboard");
        row("mnuClear", "Clear Clipboard");
        row("mnuEditor", "Edit Image...", false, false); // hidden: no editor set
        row("mnuStretch", "Resize Image", true, false);
        row("mnuStatus", "Image Information", true, false);
        row("mnuFullscrn", "Full Screen", false, false);
        row("mnuBackCol", "Back Colour", false, false);
        row("mnuBGrey", "Grey");
        row("mnuBWhite", "White");
        row("mnuBBlack", "Black", true);
        row("mnuChooseCol", "From Palette...");
        row("mnuAdd", "Add current Folder...");
        row("mnuFavMan", "&Favourites Manager...");
        row("mnuFav1(0)", "No Favourites", false, false);
        row("mnuFT(0)", "BMP", true);
        row("mnuFT(1)", "EMF", true);
        row("mnuFT(2)", "GIF", true);
        row("mnuFT(3)", "Jpeg", true);
        row("mnuFT(4)", "WMF", true);
        row("mnuFT(5)", "Icons", true);
        row("mnuFT(6)", "Cursors", true);
        row("mnuImages", "All Images");
        row("mnuMail", "Email Support");
        row("mnuMail2", "Email Enquiries");
        row("mnuHomepage", "Imagrove Website");
        row("mnuTopten", "Desktop Images");
        row("mnuHelpcont", "Help Contents");
        row("mnuReadme", "ReadMe");
        row("mnuTips", "Imagrove Tips", true);
        row("mnuUpdate", "&Imagrove Update");
        row("mnuAboutItem", "About...");
        row("mnuShowIG", "Show Imagrove");
        row("mnuCopyImg", "Copy Image");
        row("mnuGoMen", "Go");
        row("mnuAboutIG", "About...");
        row("mnuCloseIG", "Close Imagrove");
    }

    void menuBarOrderAndHiddenTrayMenu()
    {
        auto window = makeWindow();
        QStringList titles;
        for (QAction *action : window->menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "F&avourites", "File Types", "&Go",
                                      "&Help"}));
        QCOMPARE(window->windowTitle(), QStringLiteral("Imagrove 2"));
        QCOMPARE(window->mnuFullscrn->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(window->mnuOstrel);
        QVERIFY(!window->menuBar()->actions().contains(window->mnuOstrel->menuAction()));
        QCOMPARE(window->mnuGoMen->actions().size(), 5);
        QCOMPARE(window->mnuGoItem->actions().size(), 10);
        for (QAction *link : window->mnuLink)
            QVERIFY(!link->text().isEmpty());
    }

    void controlsCarryTheirNames()
    {
        auto window = makeWindow();
        for (const char *name :
             {"Drive1",  "Dir1",     "File1",      "fraFavLab",  "Label4",
              "FavList", "Picture1", "Image1",     "HScroll1",   "VScroll1",
              "ftype",   "FileDate", "ImageSize",  "ImDimen",    "FileName",
              "Label1",  "Label2",   "lblTipText", "cmdNextTip", "chkLoadTipsAtStartup",
              "welcome", "pics(0)",  "pics(1)",    "pics(3)",    "pics(4)",
              "pics(5)", "pics(6)",  "pics(7)",    "pics(9)",    "pics(10)"})
            QVERIFY2(window->findChild<QWidget *>(QLatin1String(name)), name);
        QVERIFY(!window->findChild<QWidget *>(QStringLiteral("pics(2)")));
        QVERIFY(!window->findChild<QWidget *>(QStringLiteral("pics(8)")));
        QCOMPARE(window->File1->pattern(),
                 QStringLiteral("*.bmp;*.wmf;*.ico;*.gif;*.jpg;*.emf;*.cur"));
        QCOMPARE(window->Picture1->size(), QSize(445, 331));
        QVERIFY(window->fraFavLab->isHidden());
    }

    void startsAtTheStoredFolderListingItsImages()
    {
        const QString pictures = m_env->makeFolder(QStringLiteral("pictures"));
        for (const char *name : {"b.JPG", "a.bmp", "c.txt", "d.wmf", "e.cur"})
            m_env->makeFile(QStringLiteral("pictures/") + QLatin1String(name));
        keys::Startdir.save(*m_settings, pictures);
        auto window = makeWindow();
        QCOMPARE(window->Dir1->path(), pictures);
        QCOMPARE(window->File1->path(), pictures);
        QCOMPARE(window->Drive1->drive(), platform::volumes::rootOf(pictures));
        QStringList names;
        for (int i = 0; i < window->File1->listCount(); ++i)
            names << window->File1->list(i);
        QCOMPARE(names, (QStringList{"a.bmp", "b.JPG", "d.wmf", "e.cur"}));
        QVERIFY(window->pics[0]->isEnabled());
        QVERIFY(window->pics[1]->isEnabled());
        QVERIFY(!window->pics[6]->isEnabled());
        QVERIFY(!window->pics[7]->isEnabled());
    }

    void startFolderFallsBackToTheProgramFolderWithoutMessage_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("gone") << false;
        QTest::newRow("unreadable") << true;
    }
    void startFolderFallsBackToTheProgramFolderWithoutMessage()
    {
        QFETCH(bool, exists);
        const QString start = m_env->root() + QStringLiteral("/start");
        keys::Startdir.save(*m_settings, start);
        keys::LastDirectory.save(*m_settings, QStringLiteral("1"));
        if (exists) {
            m_env->makeFile(QStringLiteral("start/a.bmp"));
            if (!m_env->actAsOrdinaryUser({start}))
                QSKIP("cannot act as an ordinary user here");
        }
        auto window = makeWindow();
        QCOMPARE(window->Dir1->path(), m_program);
        QVERIFY(m_desktop->messages.isEmpty());
        // An empty folder disables stepping.
        QVERIFY(!window->pics[0]->isEnabled());
        window->close();
        QCOMPARE(keys::Startdir.read(*m_settings), m_program);
    }

    void nowhereToStartSavesNoStartFolder()
    {
        const QString start = m_env->makeFolder(QStringLiteral("start"));
        keys::Startdir.save(*m_settings, start);
        keys::LastDirectory.save(*m_settings, QStringLiteral("1"));
        if (!m_env->actAsOrdinaryUser({start, m_program}))
            QSKIP("cannot act as an ordinary user here");
        m_desktop->answerMessage(platform::Answer::Ok);
        auto window = makeWindow();
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Access Error"));
        window->close();
        QCOMPARE(keys::Startdir.read(*m_settings), start);
    }

    void startFolderDefaultsToPicturesElseHome_data()
    {
        QTest::addColumn<bool>("hasPictures");
        QTest::newRow("Pictures") << true;
        QTest::newRow("home") << false;
    }
    void startFolderDefaultsToPicturesElseHome()
    {
        QFETCH(bool, hasPictures);
        const QString pictures = m_env->home() + QStringLiteral("/Pictures");
        if (hasPictures)
            m_env->makeFolder(QStringLiteral("home/Pictures"));
        auto window = makeWindow();
        QCOMPARE(window->Dir1->path(), hasPictures ? pictures : m_env->home());
    }

    void programFolderIsSavedAtStart()
    {
        auto window = makeWindow();
        QCOMPARE(keys::ProgramPath.read(*m_settings), m_program);
    }

    void unloadSavesStartFolderOnlyWhenLastUsed_data()
    {
        QTest::addColumn<QString>("lastDirectory");
        QTest::addColumn<bool>("saved");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("2 grey") << "2" << false;
        QTest::newRow("absent") << "" << false;
    }
    void unloadSavesStartFolderOnlyWhenLastUsed()
    {
        QFETCH(QString, lastDirectory);
        QFETCH(bool, saved);
        const QString start = m_env->makeFolder(QStringLiteral("start"));
        const QString other = m_env->makeFolder(QStringLiteral("other"));
        keys::Startdir.save(*m_settings, start);
        if (!lastDirectory.isEmpty())
            keys::LastDirectory.save(*m_settings, lastDirectory);
        auto window = makeWindow();
        window->Dir1->setPath(other);
        window->close();
        QCOMPARE(keys::Startdir.read(*m_settings), saved ? other : start);
        QCOMPARE(keys::Favlist.read(*m_settings, QStringLiteral("absent")), QStringLiteral("0"));
    }

    void aClosedWindowStillShowsWhatIsSelected()
    {
        const QString start = m_env->makeFolder(QStringLiteral("start"));
        QVERIFY(copyFixture(QStringLiteral("pillow/hopper.jpg"), start + QStringLiteral("/a.jpg")));
        keys::Startdir.save(*m_settings, start);
        auto window = makeWindow();
        window->close();
        window->File1->setListIndex(0);
        QVERIFY(!window->Image1->pixmap().isNull());
        QVERIFY(window->pics[6]->isEnabled());
    }

    void favouritesPanelStateIsSaved()
    {
        auto window = makeWindow();
        clickPicture(window->pics[5]);
        QVERIFY(window->Dir1->isHidden());
        window->close();
        QCOMPARE(keys::Favlist.read(*m_settings), QStringLiteral("1"));
    }

    void exitClosesWithoutAsking()
    {
        auto window = makeWindow();
        window->mnuExit->trigger();
        QVERIFY(!window->isVisible());
        QVERIFY(m_desktop->messages.isEmpty());
    }

    void closeFromTrayAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("yes") << int(platform::Answer::Yes) << true;
        QTest::newRow("no") << int(platform::Answer::No) << false;
    }
    void closeFromTrayAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        auto window = makeWindow();
        m_desktop->answerMessage(platform::Answer(answer));
        window->mnuCloseIG->trigger();
        QCOMPARE(m_desktop->messages.size(), 1);
        const FakeDesktop::Message &asked = m_desktop->messages.first();
        QCOMPARE(asked.text, QStringLiteral("Exit Imagrove?"));
        QCOMPARE(asked.caption, QStringLiteral("Imagrove"));
        QCOMPARE(asked.buttons, platform::Buttons::YesNo);
        QCOMPARE(window->isVisible(), !closes);
        QCOMPARE(keys::Favlist.read(*m_settings, QStringLiteral("absent")),
                 closes ? QStringLiteral("0") : QStringLiteral("absent"));
    }

    void componentsAreWiredTogether()
    {
        const QString start = m_env->makeFolder(QStringLiteral("start"));
        QVERIFY(copyFixture(QStringLiteral("pillow/hopper.jpg"), start + QStringLiteral("/a.jpg")));
        m_env->makeFile(QStringLiteral("start/b.jpg"), 10);
        keys::Startdir.save(*m_settings, start);
        auto window = makeWindow();
        const int shown = window->height();

        clickRow(window->File1, 0);
        QCOMPARE(window->windowTitle(), QStringLiteral("Imagrove - a.jpg"));
        QCOMPARE(window->ImDimen->text(), QStringLiteral("128x128"));
        QVERIFY(window->mnuStatus->isEnabled());
        for (QWidget *gone :
             std::initializer_list<QWidget *>{window->welcome, window->lblTipText,
                                              window->cmdNextTip, window->chkLoadTipsAtStartup})
            QVERIFY(gone->isHidden());
        QVERIFY(!window->mnuTips->isChecked());

        m_desktop->answerMessage(platform::Answer::Ok);
        clickRow(window->File1, 1);
        QCOMPARE(window->windowTitle(), QStringLiteral("Imagrove 2"));
        QCOMPARE(window->FileName->text(), QString());

        clickPicture(window->Label1);
        QCOMPARE(window->centralWidget()->height(), platform::twips::toPixels(6705 - 705));
        QVERIFY(window->height() < shown);
        window->mnuStatus->trigger();
        QCOMPARE(window->height(), shown);

        clickRow(window->Dir1, 0, Qt::RightButton);
        QCOMPARE(m_desktop->popUps, QStringList{QStringLiteral("mnuFav")});
    }

    // The toolbar's pictures stand out from the toolbar, light theme or dark.
    void toolbarPicturesKeepTheirContrast_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::newRow("light") << QColor(0xEF, 0xEF, 0xEF) << QColor(Qt::black);
        QTest::newRow("dark") << QColor(0x35, 0x35, 0x35) << QColor(0xF0, 0xF0, 0xF0);
    }
    void toolbarPicturesKeepTheirContrast()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        QWidget themed;
        QPalette palette = themed.palette();
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        themed.setPalette(palette);
        const Imagedim pictures(&themed);
        using enum browser::ToolbarPicture;
        for (auto which : {Previous, Next, FullScreen, Actual, Resize, Folders}) {
            const QImage image = pictures.picture(which).toImage();
            int most = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 200)
                        most = std::max(most,
                                        std::abs(qGray(image.pixel(x, y)) - qGray(window.rgb())));
            QVERIFY2(most >= 100, qPrintable(QString::number(int(which))));
        }
    }

    void stripAndTipsAreReadable_data()
    {
        QTest::addColumn<qreal>("points");
        QTest::newRow("desktop font") << 0.0;
        QTest::newRow("11 pt") << 11.0;
        QTest::newRow("14 pt") << 14.0;
    }
    void stripAndTipsAreReadable()
    {
        QFETCH(qreal, points);
        const QFont desktop = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(desktop); });
        if (points > 0) {
            QFont font = desktop;
            font.setPointSizeF(points);
            QApplication::setFont(font);
        }
        const QString pictures = m_env->makeFolder(QStringLiteral("pictures"));
        QVERIFY(copyFixture(QStringLiteral("pillow/hopper.jpg"), pictures + "/a.jpg"));
        keys::ShowTips.save(*m_settings, QStringLiteral("1"));
        auto window = makeWindow();
        QVERIFY(window->welcome->heightForWidth(window->welcome->width()) <=
                window->welcome->height());
        QVERIFY(window->chkLoadTipsAtStartup->parentWidget()->rect().contains(
            window->chkLoadTipsAtStartup->geometry()));
        // The check box ends before the button's caption begins.
        const QRect button = window->cmdNextTip->geometry();
        QVERIFY(window->chkLoadTipsAtStartup->geometry().right() <
                button.left() + (button.width() - window->cmdNextTip->sizeHint().width()) / 2);
        const QList<QLabel *> strip{window->ftype, window->FileDate, window->ImageSize,
                                    window->ImDimen, window->FileName};
        for (qsizetype i = 0; i < strip.size(); ++i) {
            QLabel *label = strip[i];
            QVERIFY2(label->height() >= label->fontMetrics().height(),
                     qPrintable(label->objectName()));
            QVERIFY(label->geometry().bottom() < window->centralWidget()->height());
            if (i > 0)
                QVERIFY(strip[i - 1]->geometry().right() < label->x());
        }
        // With a picture shown, each field's text fits its own label.
        window->Dir1->setPath(pictures);
        clickRow(window->File1, 0);
        for (QLabel *label : strip)
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName() + u' ' + label->text()));
    }

    // A picture named on the command line is shown whether or not the list
    // holds it; one that cannot be shown is said so.
    void commandLineImage_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("message");
        QTest::newRow("quoted path") << "\"%1/b c.jpg\""
                                     << "b c.jpg"
                                     << "";
        QTest::newRow("PNG, not listed") << "%1/shot.png"
                                         << ""
                                         << "";
        QTest::newRow("other letter case") << "%1/B C.JPG"
                                           << ""
                                           << "53";
        QTest::newRow("two quotes") << "\"\""
                                    << ""
                                    << "";
        QTest::newRow("one quote") << "\""
                                   << ""
                                   << "";
        QTest::newRow("no such file") << "\"%1/missing.jpg\""
                                      << ""
                                      << "53";
        QTest::newRow("not an image type") << "%1/notes.txt"
                                           << ""
                                           << "481";
    }
    void commandLineImage()
    {
        QFETCH(QString, line);
        QFETCH(QString, listed);
        QFETCH(QString, message);
        const QString pictures = m_env->makeFolder(QStringLiteral("pictures"));
        QVERIFY(copyFixture(QStringLiteral("pillow/hopper.jpg"),
                            pictures + QStringLiteral("/b c.jpg")));
        QVERIFY(copyFixture(QStringLiteral("bmpsuite/html/rgb24.png"),
                            pictures + QStringLiteral("/shot.png")));
        m_env->makeFile(QStringLiteral("pictures/notes.txt"), 10);
        keys::Startdir.save(*m_settings, pictures);
        if (!message.isEmpty())
            m_desktop->answerMessage(platform::Answer::Ok);
        auto window = makeWindow(line.contains(QLatin1String("%1")) ? line.arg(pictures) : line);
        QCOMPARE(m_desktop->messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(m_desktop->messages[0].caption, message);
        QCOMPARE(window->File1->fileName(), listed);
        const bool png = line.endsWith(QLatin1String("png"));
        QCOMPARE(window->FileName->text(), png ? QStringLiteral("shot.png") : listed);
        if (png) {
            QCOMPARE(window->ftype->text(), QStringLiteral("PNG File"));
            QCOMPARE(window->Image1->pixmap().size(), QSize(445, 331));
        }
        QVERIFY(window->File1->isEnabled());
        QCOMPARE(window->Dir1->path(), pictures);
    }

    // A file that is not there is said so over the main window, which is
    // left as a launch without a file leaves it, in full screen too.
    void missingCommandLineFileLeavesTheWindowAsWithout_data()
    {
        QTest::addColumn<QString>("imgfll");
        QTest::newRow("pane") << "0";
        QTest::newRow("straight into full screen") << "1";
    }
    void missingCommandLineFileLeavesTheWindowAsWithout()
    {
        QFETCH(QString, imgfll);
        keys::ImgFll.save(*m_settings, imgfll);
        const auto looks = [](browsesmall &window) {
            QList<bool> shown;
            for (QWidget *widget :
                 std::initializer_list<QWidget *>{window.welcome, window.Image1, window.pics[6]})
                shown << widget->isVisible() << widget->isEnabled();
            for (QAction *item : {window.mnuStretch, window.mnuStatus,
                                  window.mnuBackCol->menuAction(), window.mnuFullscrn})
                shown << item->isEnabled();
            return shown;
        };
        const QList<bool> without = looks(*makeWindow());
        m_desktop->answerMessage(platform::Answer::Ok);
        auto window = makeWindow(m_env->root() + QStringLiteral("/missing.jpg"));
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("53"));
        QVERIFY(m_desktop->messages[0].visibleWindows.contains(QStringLiteral("browsesmall")));
        QCOMPARE(looks(*window), without);
    }

    // A folder is opened; a picture the list leaves out steps from where
    // the folder's order puts it.
    void commandLineFolderAndAnUnlistedPicture_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("selected");
        QTest::newRow("a folder") << "" << -1 << "";
        QTest::newRow("a folder named x.jpg") << "x.jpg" << -1 << "";
        QTest::newRow("next after an unlisted PNG") << "m.png" << 1 << "z.jpg";
        QTest::newRow("previous before it") << "m.png" << 0 << "a.jpg";
    }
    void commandLineFolderAndAnUnlistedPicture()
    {
        QFETCH(QString, named);
        QFETCH(int, button);
        QFETCH(QString, selected);
        const QString trip = m_env->makeFolder(QStringLiteral("trip"));
        for (const char *name : {"a.jpg", "z.jpg"})
            QVERIFY(copyFixture(QStringLiteral("pillow/hopper.jpg"),
                                trip + u'/' + QLatin1String(name)));
        QVERIFY(copyFixture(QStringLiteral("bmpsuite/html/rgb24.png"), trip + "/m.png"));
        QDir(trip).mkdir(QStringLiteral("x.jpg"));
        keys::Startdir.save(*m_settings, m_env->makeFolder(QStringLiteral("start")));
        auto window = makeWindow(named.isEmpty() ? trip : trip + u'/' + named);
        QVERIFY(m_desktop->messages.isEmpty());
        QCOMPARE(window->Dir1->path(), named == QLatin1String("x.jpg") ? trip + "/x.jpg" : trip);
        QCOMPARE(window->File1->listIndex(), -1);
        if (button < 0)
            return;
        QTest::mouseClick(window->pics[size_t(button)], Qt::LeftButton);
        QCOMPARE(window->File1->fileName(), selected);
    }

    void resizableWindowGrowsThePane()
    {
        const QString pictures = m_env->makeFolder(QStringLiteral("pictures"));
        QVERIFY(
            copyFixture(QStringLiteral("pillow/hopper.jpg"), pictures + QStringLiteral("/a.jpg")));
        auto window = makeWindow(pictures + QStringLiteral("/a.jpg"));
        const QSize fixed = window->size();
        QCOMPARE(window->maximumSize(), fixed);
        const QRect pane = window->Picture1->geometry();
        const QRect files = window->File1->geometry();
        const int folders = window->Dir1->height();
        const int stripTop = window->ftype->y();
        window->mnuResizable->trigger();
        QCOMPARE(keys::ResizableWindow.read(*m_settings), QStringLiteral("1"));
        window->resize(fixed + QSize(200, 101));
        QCOMPARE(window->Picture1->geometry(), pane.adjusted(0, 0, 200, 101));
        QCOMPARE(window->File1->geometry(), files.adjusted(0, 50, 0, 101));
        QCOMPARE(window->Dir1->height(), folders + 50);
        QCOMPARE(window->ftype->y(), stripTop + 101);
        QCOMPARE(window->VScroll1->x(), pane.right() + 201);
        // The stretched picture fills the grown pane once drawn again.
        QTRY_COMPARE(window->Image1->pixmap().size(), pane.size() + QSize(200, 101));
        window->close();
        QCOMPARE(keys::WindowSize.read(*m_settings),
                 QStringLiteral("%1 %2").arg(fixed.width() + 200).arg(fixed.height() + 101));
        window->mnuResizable->trigger();
        QCOMPARE(window->size(), fixed);
        QCOMPARE(window->Picture1->geometry(), pane);
    }

    void commandLineImageFromElsewhere()
    {
        keys::ImageSize.save(*m_settings, QStringLiteral("Normal"));
        const QString other = m_env->makeFolder(QStringLiteral("other"));
        QVERIFY(
            copyFixture(QStringLiteral("pillow/hopper.jpg"), other + QStringLiteral("/Upper.jpg")));
        keys::Startdir.save(*m_settings, m_env->makeFolder(QStringLiteral("start")));
        auto window = makeWindow(other + QStringLiteral("/Upper.jpg"));
        QCOMPARE(window->Dir1->path(), other);
        QCOMPARE(window->File1->fileName(), QStringLiteral("Upper.jpg"));
        QVERIFY(!window->mnuStretch->isChecked());
        QCOMPARE(window->Image1->geometry(),
                 QRect((445 - 128) / 2 + 1, (331 - 128) / 2 + 1, 128, 128));
    }

    void badCommandLineImageIsReportedOverTheWindow()
    {
        const QString bad = m_env->makeFile(QStringLiteral("pictures/bad.jpg"), 100);
        m_desktop->answerMessage(platform::Answer::Ok);
        auto window = makeWindow(bad);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("481"));
        QVERIFY(m_desktop->messages[0].visibleWindows.contains(QStringLiteral("browsesmall")));
    }

    void commandLineImageInAnUnlistableFolderIsStillRead()
    {
        const QString image = m_env->makeFile(QStringLiteral("locked/a.jpg"), 100);
        // The file can be reached, but its folder cannot be listed.
        if (!m_env->actAsOrdinaryUser({QFileInfo(image).path()}, QFileDevice::ExeOwner |
                                                                     QFileDevice::ExeGroup |
                                                                     QFileDevice::ExeOther))
            QSKIP("cannot act as an ordinary user here");
        m_desktop->answerMessage(platform::Answer::Ok);
        auto window = makeWindow(image);
        QCOMPARE(m_desktop->messages.size(), 1); // not a picture: said so
        QCOMPARE(window->File1->listIndex(), -1);
    }

    // p1 is shown and p2, below it, read ahead; then p2's bytes become a
    // picture of another colour, its time stamp kept or not.
    void lookAheadServesOnlyUnchangedNeighbours_data()
    {
        QTest::addColumn<bool>("keepStamp");
        QTest::addColumn<bool>("leaveFolder");
        QTest::addColumn<QColor>("shown");
        QTest::newRow("unchanged: reused") << true << false << QColor(Qt::red);
        QTest::newRow("changed on disk") << false << false << QColor(Qt::blue);
        QTest::newRow("folder left: dropped") << true << true << QColor(Qt::blue);
    }
    void lookAheadServesOnlyUnchangedNeighbours()
    {
        QFETCH(bool, keepStamp);
        QFETCH(bool, leaveFolder);
        QFETCH(QColor, shown);
        const QString folder = m_env->makeFolder(QStringLiteral("Ahead"));
        m_env->makeFolder(QStringLiteral("Ahead/Other"));
        const auto paint = [&](const QString &name, Qt::GlobalColor colour) {
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(colour);
            QVERIFY(image.save(folder + u'/' + name, "BMP"));
        };
        paint(QStringLiteral("p1.bmp"), Qt::green);
        paint(QStringLiteral("p2.bmp"), Qt::red);
        platform::PictureCache cache;
        auto window = makeWindow(folder + QStringLiteral("/p1.bmp"), &cache);
        QTRY_COMPARE(cache.decodesDone(), 1);

        const QByteArray p2 = QFile::encodeName(folder + QStringLiteral("/p2.bmp"));
        struct stat before = {};
        QCOMPARE(::stat(p2.constData(), &before), 0);
        paint(QStringLiteral("p2.bmp"), Qt::blue);
        timespec times[2] = {before.st_atim, before.st_mtim};
        if (!keepStamp)
            times[1].tv_sec += 2;
        QCOMPARE(::utimensat(AT_FDCWD, p2.constData(), times, 0), 0);
        if (leaveFolder) {
            for (const QString &to : {folder + QStringLiteral("/Other"), folder}) {
                window->Dir1->setCurrentRow(window->Dir1->count() - 1);
                for (int row = 0; row < window->Dir1->count(); ++row) {
                    if (window->Dir1->list(
                            row - (window->Dir1->count() - window->Dir1->listCount())) == to)
                        window->Dir1->setCurrentRow(row);
                }
                QTest::keyClick(window->Dir1, Qt::Key_Return);
                QCOMPARE(window->Dir1->path(), to);
            }
            clickRow(window->File1, 0);
        }
        QTest::keyClick(window->File1, Qt::Key_Down);
        QCOMPARE(window->File1->fileName(), QStringLiteral("p2.bmp"));
        QCOMPARE(window->Image1->pixmap().toImage().pixelColor(4, 4), shown);
    }

    void controlsThatSaveReportAnUnwritableStore_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("back colour") << "mnuBGrey";
        QTest::newRow("tips at start-up") << "chkLoadTipsAtStartup";
    }
    void controlsThatSaveReportAnUnwritableStore()
    {
        QFETCH(QString, control);
        auto window = makeWindow();
        if (!m_env->lockFolder())
            QSKIP("cannot act as an ordinary user here");
        m_desktop->answerMessage(platform::Answer::Ok);
        if (auto *item = window->findChild<QAction *>(control))
            item->trigger();
        else
            QTest::mouseClick(window->findChild<QAbstractButton *>(control), Qt::LeftButton);
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(window->isVisible());
        QVERIFY(!m_state->SecondaryWindowOpen);
    }

    void downAfterLaunchStepsToTheNextFile()
    {
        const QString folder = m_env->makeFolder(QStringLiteral("Steps"));
        for (const char *name : {"a.bmp", "b.bmp"})
            QVERIFY(copyFixture(QStringLiteral("bmpsuite/g/rgb24.bmp"), folder + u'/' + name));
        auto window = makeWindow(folder + QStringLiteral("/a.bmp"));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const QString drive = window->Drive1->currentText();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(window->File1->fileName(), QStringLiteral("b.bmp"));
        QCOMPARE(window->Drive1->currentText(), drive);
    }

    void badNeighbourIsReportedOnlyWhenChosen()
    {
        const QString folder = m_env->makeFolder(QStringLiteral("Ahead"));
        QVERIFY(
            copyFixture(QStringLiteral("pillow/hopper.jpg"), folder + QStringLiteral("/a.jpg")));
        m_env->makeFile(QStringLiteral("Ahead/b.jpg"), 300);
        platform::PictureCache cache;
        auto window = makeWindow(folder + QStringLiteral("/a.jpg"), &cache);
        QTRY_COMPARE(cache.decodesDone(), 1);
        QCOMPARE(m_desktop->messages.size(), 0);
        m_desktop->answerMessage(platform::Answer::Ok);
        QTest::keyClick(window->File1, Qt::Key_Down);
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(window->Image1->pixmap().isNull());
    }
};

QTEST_MAIN(tst_browsesmall)
#include "tst_browsesmall.moc"
