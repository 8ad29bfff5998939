#include "core/SettingKeys.h"
#include "extras/SysTray.h"
#include "WindowTest.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace core;
using extras::SysTray;

class tst_tray : public WindowTest
{
    Q_OBJECT

private:
    platform::Picture picture(const QString &fixturePath)
    {
        return platform::PictureDecoder().load(fixture(fixturePath));
    }

private Q_SLOTS:
    void init() { setUpWindowTest(); }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void inTrayAddsOneIconAndRemovesIt()
    {
        QObject host;
        auto *tray = new SysTray(&host);
        tray->setInTray(false);
        QVERIFY(!tray->trayIcon());
        tray->setInTray(true);
        QPointer<QSystemTrayIcon> icon = tray->trayIcon();
        QVERIFY(icon);
        tray->setInTray(true);
        QCOMPARE(tray->trayIcon(), icon.data());
        tray->setInTray(false);
        QVERIFY(!icon);
        tray->setInTray(true);
        icon = tray->trayIcon();
        QVERIFY(icon);
        delete tray; // as the host's destruction does
        QVERIFY(!icon);
    }

    void iconAndTip()
    {
        SysTray tray;
        const qint64 own = tray.TrayIcon().cacheKey();
        tray.setTrayIcon(picture(QStringLiteral("pillow/hopper.jpg")));
        QCOMPARE(tray.TrayIcon().cacheKey(), own);
        const QString tip = QString(70, u'x');
        tray.setTrayTip(tip);
        tray.setInTray(true);
        QCOMPARE(tray.trayIcon()->toolTip(), tip.left(64));
        tray.setTrayTip(QStringLiteral("Imagrove"));
        QCOMPARE(tray.trayIcon()->toolTip(), QStringLiteral("Imagrove"));
        tray.setTrayIcon(picture(QStringLiteral("pillow/python.ico")));
        QVERIFY(tray.TrayIcon().cacheKey() != own);
        QCOMPARE(tray.trayIcon()->icon().cacheKey(), tray.TrayIcon().cacheKey());
    }

    void clicksBecomeMouseEvents_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("events");
        QTest::newRow("left") << int(QSystemTrayIcon::Trigger) << "down 1, up 1";
        QTest::newRow("right") << int(QSystemTrayIcon::Context) << "down 2, up 2";
        QTest::newRow("double") << int(QSystemTrayIcon::DoubleClick) << "double 1";
        QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << "";
    }
    void clicksBecomeMouseEvents()
    {
        QFETCH(int, reason);
        QFETCH(QString, events);
        SysTray tray;
        tray.setInTray(true);
        QStringList seen;
        connect(&tray, &SysTray::MouseDown, this,
                [&](int button, int) { seen << QStringLiteral("down %1").arg(button); });
        connect(&tray, &SysTray::MouseUp, this,
                [&](int button, int) { seen << QStringLiteral("up %1").arg(button); });
        connect(&tray, &SysTray::MouseDblClick, this,
                [&](int button, int) { seen << QStringLiteral("double %1").arg(button); });
        Q_EMIT tray.trayIcon()->activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(seen.join(QStringLiteral(", ")), events);
    }

    void minimisingHidesToTheTrayOnlyWhereThereIsOne_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void minimisingHidesToTheTrayOnlyWhereThereIsOne()
    {
        QFETCH(bool, tray);
        m_desktop->setTrayAvailable(tray);
        keys::Systray.save(*m_settings, QStringLiteral("1"));
        auto window = makeWindow();
        QCOMPARE(window->ostrel->TrayTip(), QStringLiteral("Imagrove"));
        QVERIFY(!window->ostrel->InTray());
        window->showMinimized();
        QCoreApplication::processEvents();
        QCOMPARE(window->isVisible(), !tray);
        QCOMPARE(window->ostrel->InTray(), tray);
        if (!tray)
            return;
        // A double-click on the icon brings the window back.
        Q_EMIT window->ostrel->trayIcon()->activated(QSystemTrayIcon::DoubleClick);
        QCoreApplication::processEvents();
        QVERIFY(window->isVisible());
        QVERIFY(!window->isMinimized());
        QVERIFY(!window->ostrel->InTray());
    }

    void trayMenu()
    {
        m_desktop->setTrayAvailable(true);
        keys::Always.save(*m_settings, QStringLiteral("True"));
        auto window = makeWindow();
        QVERIFY(window->ostrel->InTray());
        {
            const core::FlagHold secondary(m_state->SecondaryWindowOpen);
            Q_EMIT window->ostrel->trayIcon()->activated(QSystemTrayIcon::Context);
            QVERIFY(m_desktop->popUps.isEmpty());
        }
        Q_EMIT window->ostrel->trayIcon()->activated(QSystemTrayIcon::Context);
        QCOMPARE(m_desktop->popUps, QStringList{QStringLiteral("mnuOstrel")});
        QCOMPARE(window->mnuShowIG->text(), QStringLiteral("Hide Imagrove"));
        QCOMPARE(window->mnuOstrel->defaultAction(), window->mnuShowIG);

        // Its Go items open the galleries; Copy Image copies the picture shown.
        qputenv("IMAGROVE_SITE", "http://127.0.0.1:9/site");
        window->mnuGallery[3]->trigger();
        QCOMPARE(m_desktop->shellOpened.last(),
                 QStringLiteral("http://127.0.0.1:9/site/gallery5.htm"));
        qunsetenv("IMAGROVE_SITE");
        const QString folder = m_env->makeFolder(QStringLiteral("pictures"));
        QVERIFY(
            copyFixture(QStringLiteral("pillow/hopper.jpg"), folder + QStringLiteral("/a.jpg")));
        window->Dir1->setPath(folder);
        clickRow(window->File1, 0);
        window->mnuCopyImg->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(128, 128));

        m_desktop->answerMessage(platform::Answer::No);
        window->mnuCloseIG->trigger();
        QCOMPARE(m_desktop->messages.last().text, QStringLiteral("Exit Imagrove?"));
        QVERIFY(window->isVisible());
        QVERIFY(window->ostrel->InTray());
        window->close();
        QVERIFY(!window->ostrel->InTray());
    }

    // Hidden in the tray, a box that closes leaves no window shown: the
    // program goes on, and ends (saving as the close does) only on Yes.
    void closeImagroveFromTheTrayEndsOnlyOnYes()
    {
        auto window = makeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->hide();
        bool answeredNo = false;
        QTimer::singleShot(0, window.get(), [&] {
            QWidget box;
            box.show();
            box.close();
            m_desktop->answerMessage(platform::Answer::No);
            window->mnuCloseIG->trigger();
        });
        QTimer::singleShot(300, window.get(), [&] {
            answeredNo = !window->ended();
            m_desktop->answerMessage(platform::Answer::Yes);
            window->mnuCloseIG->trigger();
        });
        QTimer::singleShot(10000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        QVERIFY(answeredNo);
        QVERIFY(window->ended());
        QCOMPARE(keys::Favlist.read(*m_settings, QStringLiteral("absent")), QStringLiteral("0"));
    }
};

QTEST_MAIN(tst_tray)
#include "tst_tray.moc"
