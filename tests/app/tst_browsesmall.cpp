#include "app/browsesmall.h"
#include "app/SettingKeys.h"
#include "platform/Volumes.h"
#include "WindowTest.h"

#include "app/Imagedim.h"

#include <memory>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

using namespace core;

class tst_browsesmall : public WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpWindowTest(); }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void menuItems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char *name, const char *caption, bool checked = false,
                            bool enabled = true) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                                << checked << enabled;
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
        row("mnuEditor", "Edit Image...");
        row("mnuStretch", "Resize Image", true, false);
        row("mnuStatus", "Image Information", true, false);
        row("mnuFullscrn", "Full Screen", false, false);
        row("mnuBackCol", "Back Colour", false, false);
        row("mnuBGrey", "Grey");
        row("mnuBWhite", "White");
        row("mnuBBlack", "Black", true);
        row("mnuChooseCol", "From Palette...");
        row("mnuAdd", "Add...");
        row("mnuFavMan", "&Favourites Manager...");
        row("mnuFav1(0)", "default#1");
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
    void menuItems()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, checked);
        QFETCH(bool, enabled);
        auto window = makeWindow();
        QAction *action = window->findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->isChecked(), checked);
        QCOMPARE(action->isEnabled(), enabled);
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
              "welcome", "Text1",    "pics(0)",    "pics(1)",    "pics(3)",
              "pics(4)", "pics(5)",  "pics(6)",    "pics(7)",    "pics(9)",
              "pics(10)"})
            QVERIFY2(window->findChild<QWidget *>(QLatin1String(name)), name);
        QVERIFY(!window->findChild<QWidget *>(QStringLiteral("pics(2)")));
        QVERIFY(!window->findChild<QWidget *>(QStringLiteral("pics(8)")));
        QCOMPARE(window->File1->pattern(),
                 QStringLiteral("*.bmp;*.wmf;*.ico;*.gif;*.jpg;*.emf;*.cur"));
        QCOMPARE(window->Picture1->size(), QSize(445, 331));
        QCOMPARE(window->lblTipText->text(), QStringLiteral("Tips are displayed here."));
        QVERIFY(window->fraFavLab->isHidden());
        QVERIFY(window->Text1->isHidden());
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

    void startFolderFallsBackToTheProgramFolderWithoutMessage()
    {
        keys::Startdir.save(*m_settings, m_env->root() + QStringLiteral("/gone"));
        auto window = makeWindow();
        QCOMPARE(window->Dir1->path(), m_program);
        QVERIFY(m_desktop->messages.isEmpty());
        // An empty folder disables stepping.
        QVERIFY(!window->pics[0]->isEnabled());
        QVERIFY(!window->pics[1]->isEnabled());
    }

    void startFolderDefaultsToTheProgramVolumeRoot()
    {
        auto window = makeWindow();
        QCOMPARE(window->Dir1->path(), platform::volumes::rootOf(m_program));
    }

    void programFolderIsSavedAtStart()
    {
        auto window = makeWindow();
        QCOMPARE(keys::ProgramPath.read(*m_settings), m_program);
        QCOMPARE(window->typeIconPaths().first(), m_program + QStringLiteral("/bmpicon.ico"));
        QCOMPARE(window->typeIconPaths().size(), 5);
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
        QVERIFY(!window->imagedim);
    }

    void favouritesPanelStateIsSaved()
    {
        auto window = makeWindow();
        window->fraFavLab->show();
        window->close();
        QCOMPARE(keys::Favlist.read(*m_settings), QStringLiteral("1"));
    }

    void exitClosesWithoutAsking()
    {
        auto window = makeWindow();
        window->show();
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
        window->show();
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
};

QTEST_MAIN(tst_browsesmall)
#include "tst_browsesmall.moc"
