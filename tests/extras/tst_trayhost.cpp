// The tray icon on a real tray host (trayer) on a virtual X server, which
// tray_host.sh provides.
#include "core/SettingKeys.h"
#include "extras/SysTray.h"
#include "WindowTest.h"

#include <QAction>
#include <QProcess>
#include <QTest>

using namespace core;

class tst_trayhost : public WindowTest
{
    Q_OBJECT

private:
    QProcess m_host;

    bool startHost()
    {
        m_host.start(QStringLiteral("trayer"),
                     {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                      QStringLiteral("right"), QStringLiteral("--widthtype"),
                      QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("32")});
        return m_host.waitForStarted(5000);
    }
    static void xdotool(const QStringList &arguments)
    {
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
    }

private Q_SLOTS:
    void init()
    {
        setUpWindowTest();
        QVERIFY(startHost());
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }
    void cleanup()
    {
        m_host.kill();
        m_host.waitForFinished();
        QVERIFY2(tearDownWindowTest(), "a scripted answer was not used");
    }

    void minimiseToTheTrayAndBack()
    {
        keys::Systray.save(*m_settings, QStringLiteral("1"));
        auto window = makeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->showMinimized();
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(window->ostrel->InTray());
        QSystemTrayIcon *icon = window->ostrel->trayIcon();
        QCOMPARE(icon->toolTip(), QStringLiteral("Imagrove"));
        // Embedded in the host, where a person would click it.
        QTRY_VERIFY_WITH_TIMEOUT(
            !icon->geometry().isEmpty() && icon->geometry().topLeft() != QPoint(0, 0), 10000);
        const QPoint centre = icon->geometry().center();
        xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
                 QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
                 QStringLiteral("2"), QStringLiteral("--delay"), QStringLiteral("80"),
                 QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible() && !window->isMinimized(), 10000);
        QTRY_VERIFY(!window->ostrel->InTray());

        // "Close Imagrove" answered No changes nothing.
        keys::Always.save(*m_settings, QStringLiteral("True"));
        window->showMinimized();
        QTRY_VERIFY(!window->isVisible());
        m_desktop->answerMessage(platform::Answer::No);
        window->mnuCloseIG->trigger();
        QVERIFY(!window->ended());
        QVERIFY(window->ostrel->InTray());
    }

    void withoutAHostMinimisingLeavesTheWindowReachable()
    {
        m_host.kill();
        m_host.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        keys::Systray.save(*m_settings, QStringLiteral("1"));
        auto window = makeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->showMinimized();
        QTest::qWait(200);
        QVERIFY(window->isVisible());
        QVERIFY(!window->ostrel->InTray());
    }
};

QTEST_MAIN(tst_trayhost)
#include "tst_trayhost.moc"
