#include "browser/Toolbar.h"
#include "core/Paths.h"
#include "core/SettingKeys.h"
#include "options/options.h"
#include "WindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using namespace core;
using Look = browser::Toolbar::Look;

// The main window's toolbar, menu and mouse commands.
class tst_commands : public WindowTest
{
    Q_OBJECT

private:
    QString m_pictures;

    // A window in a folder of three pictures: a.jpg, b.ico, c.jpg.
    std::unique_ptr<browsesmall> pictureWindow()
    {
        m_pictures = m_env->makeFolder(QStringLiteral("my pictures"));
        copyFixture(QStringLiteral("pillow/hopper.jpg"), m_pictures + QStringLiteral("/a.jpg"));
        copyFixture(QStringLiteral("pillow/hopper.ico"), m_pictures + QStringLiteral("/b.ico"));
        copyFixture(QStringLiteral("pillow/hopper.jpg"), m_pictures + QStringLiteral("/c.jpg"));
        keys::Startdir.save(*m_settings, m_pictures);
        return makeWindow();
    }
    static void press(QWidget *button) { QTest::mouseClick(button, Qt::LeftButton); }

private Q_SLOTS:
    void init() { setUpWindowTest(); }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void previousAndNextGoRound_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("expected");
        QTest::newRow("previous, none selected") << 0 << -1 << 2;
        QTest::newRow("previous on the first") << 0 << 0 << 2;
        QTest::newRow("previous") << 0 << 2 << 1;
        QTest::newRow("next on the last") << 1 << 2 << 0;
        QTest::newRow("next, none selected") << 1 << -1 << 0;
    }
    void previousAndNextGoRound()
    {
        QFETCH(int, button);
        QFETCH(int, selected);
        QFETCH(int, expected);
        auto window = pictureWindow();
        window->File1->setListIndex(selected);
        press(window->pics[size_t(button)]);
        QCOMPARE(window->File1->listIndex(), expected);
        QCOMPARE(QFileInfo(m_state->CurrentImagePath).fileName(), window->File1->list(expected));
    }

    void startFolderButton_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("no start folder") << false;
        QTest::newRow("start folder") << true;
    }
    void startFolderButton()
    {
        QFETCH(bool, stored);
        auto window = pictureWindow();
        const QString elsewhere = m_env->makeFolder(QStringLiteral("elsewhere"));
        window->Dir1->setPath(elsewhere);
        if (!stored)
            keys::Startdir.save(*m_settings, QString());
        press(window->pics[3]);
        QCOMPARE(window->Dir1->path(), stored ? m_pictures : core::defaultStartFolder());
        QCOMPARE(window->File1->path(), window->Dir1->path());
    }

    void startOrRefreshOfAFolderThatIsGoneIsACriticalError_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("start folder") << 3;
        QTest::newRow("refresh") << 4;
    }
    void startOrRefreshOfAFolderThatIsGoneIsACriticalError()
    {
        QFETCH(int, button);
        auto window = pictureWindow();
        keys::Startdir.save(*m_settings, m_pictures + QStringLiteral("/gone"));
        if (button == 4)
            QVERIFY(QDir(m_pictures).removeRecursively());
        m_desktop->answerMessage(platform::Answer::Ok);
        press(window->pics[size_t(button)]);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption,
                 QStringLiteral("A Critical Error Occured: Number: 76"));
    }

    void refreshKeepsTheSelectionOnlyUnderTheSameName_data()
    {
        QTest::addColumn<bool>("renamed");
        QTest::newRow("unchanged") << false;
        QTest::newRow("renamed") << true;
    }
    void refreshKeepsTheSelectionOnlyUnderTheSameName()
    {
        QFETCH(bool, renamed);
        auto window = pictureWindow();
        window->File1->setListIndex(1);
        if (renamed)
            QVERIFY(QDir(m_pictures).rename(QStringLiteral("b.ico"), QStringLiteral("bb.ico")));
        press(window->pics[4]);
        QCOMPARE(window->File1->listIndex(), renamed ? -1 : 1);
    }

    void flatButtonLooks()
    {
        auto window = pictureWindow();
        browser::Toolbar &toolbar = window->toolbar();
        QTest::mouseMove(window->pics[3]);
        QCOMPARE(toolbar.hoveredButton(), 3);
        QCOMPARE(toolbar.look(3), Look::Raised);
        QTest::mousePress(window->pics[4], Qt::LeftButton);
        QCOMPARE(toolbar.look(4), Look::Sunken);
        QCOMPARE(toolbar.look(3), Look::Flat);
        QCOMPARE(window->pics[4]->contentsMargins().left(), 2);
        QTest::mouseRelease(window->pics[4], Qt::LeftButton);
        QCOMPARE(toolbar.look(4), Look::Raised);
        QCOMPARE(window->pics[4]->contentsMargins().left(), 0);
        QTest::mouseMove(window->File1->viewport());
        QCOMPARE(toolbar.hoveredButton(), browser::Toolbar::NoButton);
    }

    void copyPutsTheShownPictureOnTheClipboard()
    {
        auto window = pictureWindow();
        window->File1->setListIndex(0);
        window->mnuCopy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(128, 128));
        window->mnuClear->trigger();
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
        window->File1->setListIndex(1);
        QVERIFY(!window->mnuCopy->isEnabled());
        QVERIFY(!window->mnuCopyImg->isEnabled());
        window->File1->setListIndex(2);
        QVERIFY(window->mnuCopy->isEnabled());
    }

    void editorItemFollowsTheSettings_data()
    {
        QTest::addColumn<QString>("use");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("shown");
        QTest::newRow("on") << "1"
                            << "/usr/bin/editor" << true;
        QTest::newRow("off") << "0"
                             << "/usr/bin/editor" << false;
        QTest::newRow("blank path") << "1"
                                    << "   " << false;
    }
    void editorItemFollowsTheSettings()
    {
        QFETCH(QString, use);
        QFETCH(QString, path);
        QFETCH(bool, shown);
        keys::UseEditor.save(*m_settings, use);
        keys::EditorPath.save(*m_settings, path);
        auto window = makeWindow();
        QCOMPARE(window->mnuEditor->isVisible(), shown);
        QCOMPARE(window->lin754->isVisible(), shown);
    }

    void editorGetsTheImagePathAsOneArgument()
    {
        const QString editor =
            m_env->makeScript(QStringLiteral("my tools/edit it"), "#!/bin/sh\nexit 0\n");
        keys::UseEditor.save(*m_settings, QStringLiteral("1"));
        keys::EditorPath.save(*m_settings, editor);
        auto window = pictureWindow();
        Q_EMIT window->mnuEdit->aboutToShow();
        QVERIFY(!window->mnuEditor->isEnabled()); // nothing shown yet
        window->File1->setListIndex(2);
        Q_EMIT window->mnuEdit->aboutToShow();
        window->mnuEditor->trigger();
        QCOMPARE(m_desktop->programsStarted,
                 QList<QStringList>{(QStringList{editor, m_pictures + QStringLiteral("/c.jpg")})});

        QVERIFY(QFile::remove(editor));
        m_desktop->answerMessage(platform::Answer::Ok);
        window->mnuEditor->trigger();
        QCOMPARE(m_desktop->messages.value(0).text, QStringLiteral("Cannot ") + editor);
        QCOMPARE(m_desktop->messages.value(0).caption, QStringLiteral("File not Found!"));
    }

    void rightButtonsPopUpTheirMenus()
    {
        auto window = pictureWindow();
        QTest::mouseClick(window->Image1, Qt::RightButton); // nothing shown yet
        clickRow(window->File1, 0, Qt::RightButton);
        clickRow(window->Dir1, 0, Qt::RightButton);
        QTest::mouseClick(window->Image1, Qt::RightButton);
        press(window->pics[5]);
        QTest::mouseClick(window->Label4, Qt::RightButton);
        QCOMPARE(m_desktop->popUps, (QStringList{"mnuFTs", "mnuFav", "mnuView", "mnuFav"}));
    }

    void readmeAndHelp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("opener");
        QTest::addColumn<QString>("message");
        QTest::newRow("readme") << "Readme.txt" << true << true << "";
        QTest::newRow("readme missing")
            << "Readme.txt" << false << true << "The Readme file (Readme.txt) was not found!";
        QTest::newRow("readme, no editor")
            << "Readme.txt" << true << false << "No text editor was found!";
        QTest::newRow("help") << "ig22help.html" << true << true << "";
        QTest::newRow("help missing")
            << "ig22help.html" << false << true
            << "The Helpfile 'ig22help.html' is missing, please reinstall Imagrove";
    }
    void readmeAndHelp()
    {
        QFETCH(QString, file);
        QFETCH(bool, present);
        QFETCH(bool, opener);
        QFETCH(QString, message);
        if (present)
            m_env->makeFile(QStringLiteral("program/") + file);
        m_desktop->setShellOpenResult(opener);
        auto window = makeWindow();
        const bool help = file.startsWith(u'i');
        // Help from the menu and from the toolbar alike.
        for (int time = 0; time < (help ? 2 : 1); ++time) {
            if (!message.isEmpty())
                m_desktop->answerMessage(platform::Answer::Ok);
            if (!help)
                window->mnuReadme->trigger();
            else if (time == 0)
                window->mnuHelpcont->trigger();
            else
                press(window->pics[10]);
        }
        QCOMPARE(m_desktop->shellOpened, present ? QStringList(help ? 2 : 1, file) : QStringList());
        QCOMPARE(m_desktop->messages.value(0).text, message);
    }

    void preferencesOpenTheOptionsAtTheirPageAndApplyThem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("page");
        QTest::newRow("main") << "mnuDefault" << 0;
        QTest::newRow("advanced") << "mnuAdvancedOpt" << 1;
        QTest::newRow("full screen") << "mnuFulScrnOpt" << 2;
        QTest::newRow("toolbar") << "pics(9)" << 0;
    }
    void preferencesOpenTheOptionsAtTheirPageAndApplyThem()
    {
        QFETCH(QString, item);
        QFETCH(int, page);
        auto window = makeWindow();
        int shown = -1;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &options = static_cast<options::options &>(dialog);
            for (int i = 0; i < 3; ++i)
                if (options.fraMain[size_t(i)]->isVisibleTo(&options))
                    shown = i;
            options.chkUseEditor->setChecked(true);
            options.txtEditor->setText(QStringLiteral("/usr/bin/editor"));
            options.chkShowImageInfo->setChecked(false);
            options.cmdOK->click();
            return dialog.result();
        });
        if (auto *action = window->findChild<QAction *>(item))
            action->trigger();
        else
            press(window->findChild<QWidget *>(item));
        QCOMPARE(shown, page);
        QVERIFY(window->mnuEditor->isVisible());
        QVERIFY(!window->mnuStatus->isChecked()); // the information strip went away
    }

    void windowsOpenFromTheirItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("update") << "mnuUpdate"
                                << "frmUpd";
        QTest::newRow("about") << "mnuAboutItem"
                               << "frmAbout";
        QTest::newRow("logo") << "Image2"
                              << "frmAbout";
    }
    void windowsOpenFromTheirItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        auto main = makeWindow();
        QString opened;
        m_desktop->answerModal([&](QDialog &dialog) {
            opened = dialog.objectName();
            return int(QDialog::Rejected);
        });
        if (auto *action = main->findChild<QAction *>(item))
            action->trigger();
        else
            press(main->findChild<QWidget *>(item));
        QCOMPARE(opened, window);
    }

    void trayAboutBoxStaysOnTopWithoutWaiting()
    {
        auto window = makeWindow();
        window->mnuAboutIG->trigger();
        auto *about = window->findChild<QDialog *>(QStringLiteral("frmAbout"));
        QVERIFY(about && about->isVisible() && !about->isModal());
        QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(m_desktop->modalsRun, 0);
        about->close();
    }

    void linksOpenTheConfiguredAddresses()
    {
        qputenv("IMAGROVE_SITE", "http://127.0.0.1:8/site");
        auto window = makeWindow();
        window->mnuHomepage->trigger();
        window->mnuMail2->trigger();
        window->mnuGallery[3]->trigger();
        qunsetenv("IMAGROVE_SITE");
        QCOMPARE(m_desktop->shellOpened, (QStringList{"http://127.0.0.1:8/site/index.htm",
                                                      "mailto:enquiries@imagrove.example",
                                                      "http://127.0.0.1:8/site/gallery5.htm"}));
    }

    // With no browser on the desktop, help is shown by the program itself,
    // and a link that nothing can open is said so by its address.
    void withoutABrowserHelpShowsItselfAndLinksSaySo()
    {
        QFile page(m_env->makeFolder(QStringLiteral("program")) + QStringLiteral("/ig22help.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>Browsing your folders</p></body></html>");
        page.close();
        m_desktop->setShellOpenResult(false);
        qputenv("IMAGROVE_SITE", "http://127.0.0.1:8/site");
        auto window = makeWindow();
        window->mnuHelpcont->trigger();
        QWidget *help = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("HelpWindow") && top->isVisible())
                help = top;
        QVERIFY(help);
        auto *text = help->findChild<QTextBrowser *>(QStringLiteral("helpBrowser"));
        QVERIFY(text->toPlainText().contains(QLatin1String("Browsing your folders")));
        for (int i = 0; i < 2; ++i)
            m_desktop->answerMessage(platform::Answer::Ok);
        Q_EMIT text->anchorClicked(QUrl(QStringLiteral("https://127.0.0.1:8/more.htm")));
        window->mnuHomepage->trigger();
        qunsetenv("IMAGROVE_SITE");
        QCOMPARE(m_desktop->messages.size(), 2);
        QCOMPARE(m_desktop->messages[0].text,
                 QStringLiteral("No program was found to open https://127.0.0.1:8/more.htm."));
        QVERIFY(m_desktop->messages[1].text.contains(
            QLatin1String("http://127.0.0.1:8/site/index.htm")));
    }
};

QTEST_MAIN(tst_commands)
#include "tst_commands.moc"
