#include "core/Paths.h"
#include "core/SettingKeys.h"
#include "options/options.h"
#include "OptionsTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>

using namespace core;

namespace {

class Host final : public options::OptionsHost
{
public:
    QList<std::pair<QString, QString>> favourites;
    QList<bool> trayCalls;
    QString currentFolder() const override { return QStringLiteral("/current"); }
    QList<std::pair<QString, QString>> favouriteItems() const override { return favourites; }
    void setInTray(bool inTray) override { trayCalls << inTray; }
};

// Every key of both stores, with its value.
QStringList storedKeys(const SettingsStore &store)
{
    QStringList keys;
    for (const QString &app : {keys::Imagrove, keys::Imagrove2}) {
        QSettings file(store.fileFor(app), QSettings::IniFormat);
        for (const QString &key : file.allKeys())
            keys << app + u'/' + key + u'=' + file.value(key).toString();
    }
    return keys;
}

} // namespace

class tst_options : public OptionsTest
{
    Q_OBJECT

private:
    Host m_host;

    std::unique_ptr<options::options> open()
    {
        return std::make_unique<options::options>(*m_settings, *m_state, *m_desktop, *m_steps,
                                                  nullptr, m_host);
    }

private Q_SLOTS:
    void init()
    {
        setUpOptionsTest();
        m_host = Host();
    }
    void cleanup() { QVERIFY2(tearDownOptionsTest(), "a scripted answer was not used"); }

    void freshUser()
    {
        auto dialog = open();
        QVERIFY(m_state->SecondaryWindowOpen);
        QVERIFY(!dialog->Check4->isChecked());
        QVERIFY(!dialog->Option1->isEnabled() && !dialog->Option2->isEnabled());
        for (QCheckBox *box : {dialog->Check1, dialog->chkShowImageInfo,
                               dialog->chkLoadTipsAtStartup, dialog->Check5})
            QVERIFY2(box->checkState() == Qt::Checked, qPrintable(box->objectName()));
        QCOMPARE(dialog->startdir->text(), defaultStartFolder());
        QVERIFY(!dialog->chkFP98->isEnabled());
        QCOMPARE(dialog->chkDisFSNav->text(), QStringLiteral("Disable mouse navigation "));
        QVERIFY(dialog->fraMain[0]->isVisibleTo(dialog.get()));
        QTest::mouseClick(dialog->Frames[2], Qt::LeftButton);
        QVERIFY(!dialog->fraMain[0]->isVisibleTo(dialog.get()));
        QVERIFY(dialog->fraMain[2]->isVisibleTo(dialog.get()));
        dialog->cmdCancel->click();
        QVERIFY(!m_state->SecondaryWindowOpen);
        QVERIFY(storedKeys(*m_settings).isEmpty());
    }

    void saveIntoAnUnwritableStoreIsReported()
    {
        auto dialog = open();
        dialog->Check1->setChecked(!dialog->Check1->isChecked());
        if (!m_env->lockFolder())
            QSKIP("cannot act as an ordinary user here");
        // One for each value written (18) and each type's association (7):
        // a failure does not stop the next.
        constexpr int steps = 25;
        for (int i = 0; i < steps; ++i)
            m_desktop->answerMessage(platform::Answer::Ok);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        QCOMPARE(m_desktop->messages.size(), steps);
        QVERIFY(!m_state->SecondaryWindowOpen);
    }

    void unexpectedImageSizeShowsStretchAndSavesIt()
    {
        keys::ImageSize.save(*m_settings, QStringLiteral("Huge"));
        auto dialog = open();
        QVERIFY(dialog->Check1->isChecked());
        dialog->cmdOK->click();
        QCOMPARE(keys::ImageSize.read(*m_settings), QStringLiteral("Stretch"));
    }

    void dependencyRules()
    {
        auto dialog = open();
        QTest::mouseClick(dialog->Check4, Qt::LeftButton);
        QVERIFY(dialog->Option1->isEnabled() && dialog->Option1->isChecked());
        QTest::mouseClick(dialog->Check4, Qt::LeftButton);
        QVERIFY(!dialog->Option1->isEnabled() && !dialog->Option1->isChecked());
        QTest::mouseClick(dialog->chkLastdir, Qt::LeftButton);
        QVERIFY(!dialog->cmdCurrent->isEnabled() && !dialog->fav->isEnabled() &&
                !dialog->Command1->isEnabled() && dialog->startdir->isEnabled());
        dialog->Frames[1]->click();
        QTest::mouseClick(dialog->chkUseEditor, Qt::LeftButton);
        QVERIFY(dialog->txtEditor->isEnabled() && dialog->cmdEditorBrowse->isEnabled());
        dialog->Frames[2]->click();
        QTest::mouseClick(dialog->chkDisFSNav, Qt::LeftButton);
        QVERIFY(!dialog->chkRevNav->isEnabled());
    }

    void everyTextFitsOnEveryPage_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("desktop font") << 0;
        QTest::newRow("11 pt") << 11;
        QTest::newRow("14 pt") << 14;
    }
    void everyTextFitsOnEveryPage()
    {
        QFETCH(int, points);
        const QFont before = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
        QFont font = before;
        if (points > 0)
            font.setPointSize(points);
        QApplication::setFont(font);
        auto dialog = open();
        dialog->show();
        for (int page = 0; page < 3; ++page) {
            dialog->Frames[size_t(page)]->click();
            QCoreApplication::processEvents();
            for (QWidget *widget : dialog->fraMain[size_t(page)]->findChildren<QWidget *>()) {
                const auto *label = qobject_cast<QLabel *>(widget);
                const QSize need = label && label->wordWrap()
                                       ? QSize(0, label->heightForWidth(label->width()))
                                       : widget->minimumSizeHint();
                QVERIFY2(widget->width() >= need.width() && widget->height() >= need.height(),
                         qPrintable(widget->objectName()));
            }
        }
    }

    void defaultsResetOnlyTheMainOptions()
    {
        for (const SettingKey &key : {keys::LastDirectory, keys::FsNav, keys::GreyMode,
                                      keys::UseEditor, keys::Systray, keys::ImageInfo})
            key.save(*m_settings, key.name == QLatin1String("ImageInfo") ? "0" : "1");
        keys::EditorPath.save(*m_settings, QStringLiteral("/usr/bin/gimp"));
        keys::FullScreenInfo.save(*m_settings, QStringLiteral("Off"));
        auto dialog = open();
        dialog->cmdCheckall->click();
        m_desktop->answerMessage(platform::Answer::Yes);
        dialog->Command2->click();
        QCOMPARE(m_desktop->messages.value(0).caption, QStringLiteral("Reset to Defaults"));
        QVERIFY(dialog->chkShowImageInfo->isChecked() && dialog->Check5->isChecked());
        QVERIFY(!dialog->Check4->isChecked() && !dialog->Option1->isEnabled());
        QCOMPARE(dialog->startdir->text(), defaultStartFolder());
        QVERIFY(dialog->fav->isEnabled());
        QVERIFY(dialog->chkLastdir->isChecked() && dialog->chkRevNav->isChecked() &&
                dialog->chkGreyMode->isChecked() && dialog->chkUseEditor->isChecked());
        QCOMPARE(dialog->txtEditor->text(), QStringLiteral("/usr/bin/gimp"));
        QVERIFY(dialog->chkAss[0]->isChecked() && dialog->chkAss[6]->isChecked());
    }

    void cancelAfterCheckAllChangesNothing()
    {
        auto dialog = open();
        dialog->cmdCheckall->click();
        dialog->cmdCancel->click();
        QVERIFY(storedKeys(*m_settings).isEmpty());
        QCOMPARE(registry(QStringLiteral(".bmp")), QString());
    }

    void saveWritesEveryKey()
    {
        auto dialog = open();
        dialog->cmdOK->click();
        const QStringList stored = storedKeys(*m_settings);
        for (const char *key :
             {"Imagrove/Options/minim=True", "Imagrove/Options/always=False",
              "Imagrove/Options/systray=0", "Imagrove/Interface/ImageSize=Stretch",
              "Imagrove2/Options/fsnav=0", "Imagrove2/Options/DelFavs=0",
              "Imagrove/Options/ImageInfo=1", "Imagrove2/Options/imgfll=0",
              "Imagrove2/Options/LastDirectory=0", "Imagrove/FullScreen/Info=On",
              "Imagrove2/Options/Show Tips at Startup=1", "Imagrove2/Options/disfsnav=0",
              "Imagrove2/Options/fsmbal=0", "Imagrove2/Options/greymode=0",
              "Imagrove2/Options/useeditor=0",
              "Imagrove2/Options/editorpath=", "Imagrove2/Options/closeafter1=0",
              "Imagrove2/Options/BMPassc=0", "Imagrove2/Options/CURassc=0"})
            QVERIFY2(stored.contains(QLatin1String(key)), key);
        QVERIFY(
            stored.contains(QStringLiteral("Imagrove/Interface/Startdir=") + defaultStartFolder()));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void aFailingLoadStepIsShownAndLoadingGoesOn()
    {
        keys::FsNav.save(*m_settings, QStringLiteral("7"));
        keys::DelFavs.save(*m_settings, QStringLiteral("1"));
        keys::GreyMode.save(*m_settings, QStringLiteral("2"));
        m_desktop->answerMessage(platform::Answer::Ok);
        auto dialog = open();
        QCOMPARE(m_desktop->messages.value(0).text,
                 QStringLiteral("Invalid property value.Error Number: 380"));
        QCOMPARE(dialog->chkDelFavs->checkState(), Qt::Checked);
        QCOMPARE(dialog->chkGreyMode->checkState(), Qt::PartiallyChecked);
        dialog->cmdOK->click();
        QCOMPARE(keys::DelFavs.read(*m_settings), QStringLiteral("1"));
        QCOMPARE(keys::GreyMode.read(*m_settings), QStringLiteral("2"));
    }

    void homeFolderButtons()
    {
        auto dialog = open();
        dialog->cmdCurrent->click();
        QCOMPARE(dialog->startdir->text(), QStringLiteral("/current"));
        m_desktop->answerMessage(platform::Answer::Ok);
        dialog->fav->click();
        QCOMPARE(m_desktop->messages.value(0).text, QStringLiteral("There are no favourites set!"));
        m_host.favourites = {{"Holidays", "/pics/holidays"}, {"Work", "/pics/work"}};
        dialog->fav->click();
        QCOMPARE(m_desktop->popUps, QStringList{QStringLiteral("mnuFav")});
        dialog->mnuFavs[1]->trigger();
        QCOMPARE(dialog->startdir->text(), QStringLiteral("/pics/work"));
        // A cancelled folder picker keeps what was there.
        m_desktop->answerFolder(std::nullopt);
        dialog->Command1->click();
        QCOMPARE(dialog->startdir->text(), QStringLiteral("/pics/work"));
    }

    void closingPutsTheTrayIconAsChosen()
    {
        keys::Systray.save(*m_settings, QStringLiteral("1"));
        keys::Always.save(*m_settings, QStringLiteral("True"));
        open()->cmdCancel->click();
        QCOMPARE(m_host.trayCalls, QList<bool>{true});
    }
};

QTEST_MAIN(tst_options)
#include "tst_options.moc"
