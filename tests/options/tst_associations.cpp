#include "core/SettingKeys.h"
#include "OptionsTest.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

using namespace core;
using platform::Answer;

namespace {
const ImageType &type(const char *extension)
{
    return *typeOfExtension(QString::fromLatin1(extension));
}
QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class tst_associations : public OptionsTest
{
    Q_OBJECT

private:
    QString setting(const char *extension)
    {
        return keys::associationKey(type(extension)).read(*m_settings);
    }
    QString record(const char *extension) const
    {
        return m_program + QStringLiteral("/.") + QLatin1String(extension) +
               QStringLiteral("_undo.dat");
    }
    // The user's file manager makes another program the default.
    void desktopPrefersAnother(const char *mediaType)
    {
        m_env->makeScript(QStringLiteral("data/applications/other.desktop"),
                          "[Desktop Entry]\nExec=/usr/bin/other %f\n");
        QFile list(m_env->configHome() + QStringLiteral("/mimeapps.list"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("[Default Applications]\n" + QByteArray(mediaType) + "=other.desktop\n");
    }

private Q_SLOTS:
    void init() { setUpOptionsTest(); }
    void cleanup() { QVERIFY2(tearDownOptionsTest(), "a scripted answer was not used"); }

    void checkingAssociatesOnceKeepingTheFirstRecord()
    {
        m_steps->saveType(type("jpg"), Qt::Checked);
        QCOMPARE(setting("jpg"), QStringLiteral("1"));
        QVERIFY(m_steps->associated(type("jpg")));
        QCOMPARE(registry(QStringLiteral("Jpeg")), QStringLiteral("Jpeg Compressed Image"));
        QCOMPARE(registry(QStringLiteral("Jpeg\\DefaultIcon")), m_program + "/jpgicon.ico");
        const QByteArray first = bytes(record("jpg"));
        QVERIFY(first.contains("~ex$.jpg"));
        m_steps->saveType(type("jpg"), Qt::Checked);
        QCOMPARE(bytes(record("jpg")), first);
    }

    void uncheckingGivesTheTypeBack()
    {
        m_assoc->savestring(pantrel::HKEY_CLASSES_ROOT, QStringLiteral(".bmp"), QString(),
                            QStringLiteral("Paint.Picture"));
        m_steps->saveType(type("bmp"), Qt::Checked);
        m_steps->saveType(type("bmp"), Qt::Unchecked);
        QCOMPARE(setting("bmp"), QStringLiteral("0"));
        QVERIFY(!m_steps->associated(type("bmp")));
        QCOMPARE(registry(QStringLiteral(".bmp")), QStringLiteral("Paint.Picture"));
        QVERIFY(!QFile::exists(record("bmp")));
    }

    void uncheckingATypeNotOursOnlyRecordsTheChoice()
    {
        m_steps->saveType(type("gif"), Qt::PartiallyChecked);
        QCOMPARE(setting("gif"), QStringLiteral("0"));
        QCOMPARE(registry(QStringLiteral(".gif")), QString());
    }

    void lostRecordOffersAnotherProgram_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("no") << Answer::No;
        QTest::newRow("yes, then cancel") << Answer::Yes;
    }
    void lostRecordOffersAnotherProgram()
    {
        QFETCH(Answer, answer);
        m_steps->saveType(type("cur"), Qt::Checked);
        QVERIFY(QFile::remove(record("cur")));
        m_desktop->answerMessage(answer);
        if (answer == Answer::Yes)
            m_desktop->answerModal([](QDialog &picker) {
                picker.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
                return picker.result();
            });
        m_steps->saveType(type("cur"), Qt::Unchecked);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Error in Unassociating!"));
        QVERIFY(m_desktop->messages[0].text.startsWith(
            QStringLiteral("Cannot unassociate the Cursor file format")));
        QVERIFY(m_steps->associated(type("cur")));
        QCOMPARE(setting("cur"), QStringLiteral("0"));
        // The choice says no: start-up leaves the type as it is.
        desktopPrefersAnother("image/x-win-bitmap");
        m_steps->reassert();
        QVERIFY(!m_steps->associated(type("cur")));
    }

    // A registry that cannot be written (a full disk) is said, not passed over.
    void anAssociationThatCannotBeWrittenIsReported()
    {
        QVERIFY(QDir().mkpath(qEnvironmentVariable("PANTREL_REGISTRY")));
        m_desktop->answerMessage(Answer::Ok);
        m_steps->saveType(type("jpg"), Qt::Checked);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Error Number: 75"));
        QVERIFY(m_desktop->messages[0].text.contains(QLatin1String("registry")));
        QVERIFY(!m_steps->associated(type("jpg")));
    }

    void startUpTakesBackAChosenType()
    {
        m_steps->saveType(type("gif"), Qt::Checked);
        QVERIFY(QFile::remove(record("gif")));
        desktopPrefersAnother("image/gif");
        QVERIFY(!m_steps->associated(type("gif")));
        m_steps->reassert();
        QVERIFY(m_steps->associated(type("gif")));
        QCOMPARE(registry(QStringLiteral("GIF")), QStringLiteral("Graphics Interchangable Format"));
        QVERIFY(!QFile::exists(record("gif")));
    }

    void frontPage_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("editor");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("not installed") << "" << false << false;
        QTest::newRow("no editor below the root") << "fp" << false << false;
        QTest::newRow("quoted root") << "\"fp\"" << true << true;
    }
    void frontPage()
    {
        QFETCH(QString, root);
        QFETCH(bool, editor);
        QFETCH(bool, enabled);
        const QString folder = m_env->makeFolder(QStringLiteral("fp"));
        if (editor)
            m_env->makeFile(QStringLiteral("fp/Bin/fpeditor.exe"));
        if (!root.isEmpty())
            m_assoc->savestring(pantrel::HKEY_LOCAL_MACHINE,
                                QStringLiteral("SOFTWARE\\Microsoft\\FrontPage\\3.0"),
                                QStringLiteral("FrontPageRoot"),
                                QString(root).replace(QStringLiteral("fp"), folder));
        QCOMPARE(m_steps->frontPage().enabled, enabled);
        QVERIFY(!m_steps->frontPage().checked);
        m_steps->saveFrontPage(Qt::Checked);
        QVERIFY(m_steps->frontPage().checked);
        m_steps->saveFrontPage(Qt::Unchecked);
        QVERIFY(!m_steps->frontPage().checked);
    }
};

QTEST_MAIN(tst_associations)
#include "tst_associations.moc"
