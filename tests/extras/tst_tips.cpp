#include "core/SettingKeys.h"
#include "WindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace core;

class tst_tips : public WindowTest
{
    Q_OBJECT

private:
    void writeTips(const QByteArray &bytes)
    {
        QFile file(m_program + QStringLiteral("/IGTIPS.IGR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private Q_SLOTS:
    void init() { setUpWindowTest(); }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void tipsFileShownAtStart_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-": no file
        QTest::addColumn<QString>("shown");
        QTest::newRow("one line") << QByteArray("Only tip\r\n") << "Only tip";
        QTest::newRow("Latin-1") << QByteArray("caf\xe9") << QString::fromUtf8("café");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\n") << QString::fromUtf8("café");
        QTest::newRow("empty") << QByteArray() << "Tips are displayed here.";
        QTest::newRow("missing")
            << QByteArray("-")
            << "The IGTIPS.IGR file was not found!? \r\n\r\nMake sure the IGTIPS.IGR is in "
               "your Imagrove directory. If you are having trouble, please contact support. ";
    }
    void tipsFileShownAtStart()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        if (file != "-")
            writeTips(file);
        auto window = makeWindow();
        QCOMPARE(window->lblTipText->text(), shown);
        QTest::mouseClick(window->cmdNextTip, Qt::LeftButton);
        QCOMPARE(window->lblTipText->text(), shown);
        QVERIFY(window->lblTipText->isVisible());
        QVERIFY(window->chkLoadTipsAtStartup->isChecked());
        QVERIFY(window->mnuTips->isChecked());
    }

    void menuOffHidesNothingUntilAnImageAndTheNextStartShowsNone()
    {
        writeTips("A tip\n");
        const QString pictures = m_env->makeFolder(QStringLiteral("pictures"));
        QVERIFY(
            copyFixture(QStringLiteral("pillow/hopper.jpg"), pictures + QStringLiteral("/a.jpg")));
        keys::Startdir.save(*m_settings, pictures);
        {
            auto window = makeWindow();
            window->mnuTips->trigger();
            QVERIFY(window->lblTipText->isVisible());
            QVERIFY(!window->chkLoadTipsAtStartup->isChecked());
            QVERIFY(!window->mnuFullscrn->isEnabled());
            clickRow(window->File1, 0);
            QVERIFY(!window->lblTipText->isVisible());
            QVERIFY(!window->cmdNextTip->isVisible());
            // Back on: the panel returns over the pane, whose commands go.
            window->mnuTips->trigger();
            QVERIFY(window->lblTipText->isVisible());
            QVERIFY(!window->mnuFullscrn->isEnabled());
            QVERIFY(!window->pics[6]->isEnabled());
            window->mnuTips->trigger();
        }
        QCOMPARE(keys::ShowTips.read(*m_settings), QStringLiteral("0"));
        auto window = makeWindow();
        QVERIFY(!window->lblTipText->isVisible());
        QVERIFY(!window->mnuTips->isChecked());
        QVERIFY(!window->chkLoadTipsAtStartup->isChecked());
    }

    void checkBoxChangesOnlyTheSetting()
    {
        writeTips("A tip\n");
        auto window = makeWindow();
        QTest::mouseClick(window->chkLoadTipsAtStartup, Qt::LeftButton, {},
                          QPoint(6, window->chkLoadTipsAtStartup->height() / 2));
        QCOMPARE(keys::ShowTips.read(*m_settings), QStringLiteral("0"));
        QVERIFY(window->mnuTips->isChecked());
        QVERIFY(window->lblTipText->isVisible());
        // Its caption fits the box.
        QVERIFY(window->chkLoadTipsAtStartup->width() >=
                window->chkLoadTipsAtStartup->sizeHint().width());
    }
};

QTEST_MAIN(tst_tips)
#include "tst_tips.moc"
