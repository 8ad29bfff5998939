#include "core/SettingKeys.h"
#include "extras/frmAbout.h"
#include "extras/frmAgr.h"
#include "extras/frmIGUpdate.h"
#include "PantrelTest.h"
#include "WindowTest.h" // the main window

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using extras::frmIGUpdate;
using namespace core;

// The upgrade wizard, the rule that offers it, and the start-up steps of the
// licence agreement and the upgrade.
class tst_upgrade : public PantrelTest
{
    Q_OBJECT

private:
    QString option(const char *key)
    {
        return m_settings->get(keys::Imagrove2, QStringLiteral("Options"), QLatin1String(key));
    }
    bool associated(const char *properName, const char *extension)
    {
        return m_assoc->Associated(QLatin1String(properName), m_program, QStringLiteral("imagrove"),
                                   QString(), QStringLiteral("Open"), QLatin1String(extension));
    }
    // Runs the wizard from its first page with one choice of types.
    void runWizard(frmIGUpdate &wizard, QRadioButton *choice)
    {
        wizard.Timer1.setInterval(0);
        wizard.cmdNext[0]->click();
        choice->setChecked(true);
        wizard.cmdNext[4]->click();
        QCOMPARE(wizard.visiblePage(), 6);
        QTRY_VERIFY(wizard.cmdNext[6]->isEnabled());
        wizard.cmdNext[6]->click();
        wizard.cmdNext[7]->click();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(keys::Updated.read(*m_settings), QStringLiteral("1"));
    }
    std::unique_ptr<browsesmall> startWindow()
    {
        auto window = std::make_unique<browsesmall>(
            *m_settings, *m_state, *m_desktop,
            StartupInfo{m_env->makeFolder(QStringLiteral("program")), {}, nullptr});
        window->start();
        return window;
    }

private Q_SLOTS:
    void init() { setUpPantrelTest(); }
    void cleanup() { QVERIFY2(tearDownPantrelTest(), "a scripted answer was not used"); }

    void noAssociationsStillRecordsTheUpgrade()
    {
        frmIGUpdate wizard(*m_settings, *m_state, *m_desktop, m_assoc, m_program);
        runWizard(wizard, wizard.optNoAss);
        QCOMPARE(option("BMPassc"), QString());
        QCOMPARE(m_assoc->getstring(pantrel::HKEY_CLASSES_ROOT, QStringLiteral(".bmp")).toString(),
                 QString());
    }

    void associateAllChecksClearedBoxesAgain()
    {
        // Already ours: its key is saved, its undo record is not written again.
        m_assoc->CreateAssociation(QStringLiteral("Jpeg"), QStringLiteral("Mine"),
                                   QStringLiteral("Image"), QStringLiteral(".jpg"),
                                   QStringLiteral("Open"), m_program, QStringLiteral("imagrove"),
                                   QString(), QString());
        frmIGUpdate wizard(*m_settings, *m_state, *m_desktop, m_assoc, m_program);
        wizard.cmdNext[0]->click();
        wizard.optAssCustom->setChecked(true);
        wizard.cmdNext[4]->click();
        QCOMPARE(wizard.visiblePage(), 5);
        wizard.chkAss[0]->setChecked(false);
        wizard.chkAss[6]->setChecked(false);
        wizard.cmdBack[5]->click();
        wizard.cmdBack[4]->click();
        QCOMPARE(wizard.visiblePage(), 0);
        runWizard(wizard, wizard.optAss);
        QVERIFY(wizard.chkAss[0]->isChecked() && wizard.chkAss[6]->isChecked());
        QCOMPARE(option("CURassc"), QStringLiteral("1"));
        QVERIFY(associated("Cursor", ".cur"));
        QVERIFY(associated("Compuserve GIF", ".gif"));
        QCOMPARE(option("JPGassc"), QStringLiteral("1"));
        QVERIFY(!QFile::exists(m_program + QStringLiteral("/.jpg_undo.dat")));
        QVERIFY(QFile::exists(m_program + QStringLiteral("/.bmp_undo.dat")));
    }

    void cancelEndsWithoutRecording()
    {
        frmIGUpdate wizard(*m_settings, *m_state, *m_desktop, m_assoc, m_program);
        wizard.cmdNext[0]->click();
        wizard.cmdCancel[4]->click();
        QCOMPARE(wizard.result(), frmIGUpdate::Ended);
        QCOMPARE(keys::Updated.read(*m_settings, QStringLiteral("absent")),
                 QStringLiteral("absent"));
        QVERIFY(!m_state->SecondaryWindowOpen);
    }

    void upgraderRule_data()
    {
        QTest::addColumn<bool>("oldStore");
        QTest::addColumn<QString>("updated"); // empty: never decided
        QTest::addColumn<bool>("upgrading");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("fresh user") << false << "" << false << "1";
        QTest::newRow("2.0 user") << true << "" << true << "0";
        QTest::newRow("2.0 user who cancelled once") << true << "0" << true << "0";
        QTest::newRow("upgraded") << true << "1" << false << "1";
    }
    void upgraderRule()
    {
        QFETCH(bool, oldStore);
        QFETCH(QString, updated);
        QFETCH(bool, upgrading);
        QFETCH(QString, recorded);
        if (oldStore)
            keys::Startdir.save(*m_settings, QStringLiteral("/pictures"));
        if (!updated.isEmpty())
            keys::Updated.save(*m_settings, updated);
        const frmIGUpdate::Upgrade upgrade = frmIGUpdate::upgrade(*m_settings);
        QCOMPARE(upgrade.upgrading, upgrading);
        upgrade.record(*m_settings);
        QCOMPARE(keys::Updated.read(*m_settings), recorded);
    }

    void startUpAsksForTheAgreementFirst_data()
    {
        QTest::addColumn<bool>("agree");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void startUpAsksForTheAgreementFirst()
    {
        QFETCH(bool, agree);
        QString shown;
        bool readOnly = false;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &agreement = static_cast<extras::frmAgr &>(dialog);
            shown = dialog.objectName();
            readOnly =
                agreement.Text1->isReadOnly() && agreement.Text1->toPlainText().contains(
                                                     QLatin1String("GNU GENERAL PUBLIC LICENSE"));
            (agree ? agreement.cmdIagree : agreement.cmdIdont)->click();
            return dialog.result();
        });
        auto window = startWindow();
        QCOMPARE(shown, QStringLiteral("frmAgr"));
        QVERIFY(readOnly);
        QCOMPARE(window->ended(), !agree);
        if (!agree) {
            QVERIFY(!QFile::exists(m_settings->fileFor(keys::Imagrove)));
            QVERIFY(!QFile::exists(m_settings->fileFor(keys::Imagrove2)));
            return;
        }
        QCOMPARE(keys::License.read(*m_settings), QStringLiteral("0"));
        QCOMPARE(keys::Updated.read(*m_settings), QStringLiteral("1"));
        window->close();
        // Accepting again does no harm.
        keys::License.save(*m_settings, QStringLiteral("1"));
        m_desktop->answerModal([](QDialog &dialog) {
            static_cast<extras::frmAgr &>(dialog).cmdIagree->click();
            return dialog.result();
        });
        startWindow()->close();
        QCOMPARE(keys::License.read(*m_settings), QStringLiteral("0"));
    }

    void anUpgraderIsOfferedTheWizardUntilItIsDone()
    {
        keys::Startdir.save(*m_settings, m_env->root()); // only the old store
        m_desktop->answerModal([](QDialog &dialog) {
            static_cast<extras::frmAgr &>(dialog).cmdIagree->click();
            return dialog.result();
        });
        for (int start = 0; start < 2; ++start)
            m_desktop->answerModal([](QDialog &dialog) {
                static_cast<frmIGUpdate &>(dialog).cmdCancel[0]->click();
                return dialog.result();
            });
        QVERIFY(startWindow()->ended());
        QVERIFY(startWindow()->ended());
        QCOMPARE(keys::Updated.read(*m_settings), QStringLiteral("0"));
    }

    void aboutBoxClosesOnAnyClickButTheLink()
    {
        extras::frmAbout about(*m_state, *m_desktop, QPixmap(), m_program);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(m_state->SecondaryWindowOpen);
        QTest::mouseMove(about.Label2);
        QCOMPARE(about.Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
        QTest::mouseMove(about.Label4);
        QCOMPARE(about.Label2->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QTest::mouseClick(about.Label2, Qt::LeftButton);
        QCOMPARE(m_desktop->shellOpened.value(0).section(u'/', -1), QStringLiteral("index2.htm"));
        QVERIFY(about.isVisible());
        QTest::mouseClick(about.Label5, Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QVERIFY(!m_state->SecondaryWindowOpen);
    }
};

QTEST_MAIN(tst_upgrade)
#include "tst_upgrade.moc"
