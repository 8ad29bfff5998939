#include "pantrel.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <unistd.h>

using namespace pantrel;

namespace {

// Holds one reference and releases it.
struct Releaser
{
    void operator()(IUnknown *object) const
    {
        if (object)
            object->Release();
    }
};
using Assoc = std::unique_ptr<_clsReg_n_FileAssoc, Releaser>;

Assoc makeAssoc()
{
    IClassFactory *factory = nullptr;
    if (DllGetClassObject(CLSID_clsReg_n_FileAssoc, IID_IClassFactory,
                          reinterpret_cast<void **>(&factory)) != S_OK)
        return nullptr;
    void *object = nullptr;
    factory->CreateInstance(nullptr, IID_clsReg_n_FileAssoc, &object);
    factory->Release();
    return Assoc(static_cast<_clsReg_n_FileAssoc *>(object));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

const QString Program = QStringLiteral("/opt/imagrove");

} // namespace

class tst_fileassoc : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    Assoc m_assoc;
    QString m_records;

    QString get(const QString &path, const QString &name = {})
    {
        const QVariant value = m_assoc->getstring(HKEY_CLASSES_ROOT, path, name);
        return value.isValid() ? value.toString() : QStringLiteral("(empty)");
    }
    void associateBitmap()
    {
        m_assoc->CreateAssociation(QStringLiteral("Bitmap"), QStringLiteral("Bitmap"),
                                   QStringLiteral("Image"), QStringLiteral(".bmp"),
                                   QStringLiteral("Open"), Program, QStringLiteral("imagrove"),
                                   QString(), Program + QStringLiteral("/bmpicon.ico"));
    }
    bool bitmapAssociated()
    {
        return m_assoc->Associated(QStringLiteral("Bitmap"), Program, QStringLiteral("imagrove"),
                                   QString(), QStringLiteral("Open"), QStringLiteral(".bmp"));
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_records = m_env->makeFolder(QStringLiteral("program"));
        m_assoc = makeAssoc();
        QVERIFY(m_assoc);
    }
    void cleanup()
    {
        m_assoc.reset();
        m_env.reset();
    }

    void primitives()
    {
        m_assoc->savekey(HKEY_CURRENT_USER, QStringLiteral("Software\\Test\\Empty"));
        QCOMPARE(m_assoc->getstring(HKEY_CURRENT_USER, QStringLiteral("software\\test\\empty")),
                 QVariant());

        m_assoc->savestring(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                            QStringLiteral("Name"), QStringLiteral("value"));
        QCOMPARE(m_assoc->getstring(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\TEST"),
                                    QStringLiteral("name")),
                 QVariant(QStringLiteral("value")));
        QCOMPARE(m_assoc->getdword(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                   QStringLiteral("Name")),
                 0);

        QCOMPARE(m_assoc->SaveDword(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                    QStringLiteral("Number"), -5),
                 QVariant());
        QCOMPARE(m_assoc->getdword(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                   QStringLiteral("Number")),
                 -5);
        QCOMPARE(m_assoc->getstring(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                    QStringLiteral("Number")),
                 QVariant());
        QCOMPARE(m_assoc->getdword(HKEY_CURRENT_USER, QStringLiteral("Software\\Missing"),
                                   QStringLiteral("Number")),
                 0);

        m_assoc->DeleteValue(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                             QStringLiteral("NAME"));
        QCOMPARE(m_assoc->getstring(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                    QStringLiteral("Name")),
                 QVariant());
        QCOMPARE(m_assoc->getdword(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                   QStringLiteral("Number")),
                 -5);

        m_assoc->DeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"));
        QCOMPARE(m_assoc->getdword(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"),
                                   QStringLiteral("Number")),
                 0);

        // A value name given as a variant; an empty variant is the default value.
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".gif"), QString(),
                            QStringLiteral("GIF"));
        QCOMPARE(m_assoc->getstring(HKEY_CLASSES_ROOT, QStringLiteral(".gif"), QVariant()),
                 QVariant(QStringLiteral("GIF")));
        QCOMPARE(m_assoc->getstring(0x1234u, QStringLiteral(".gif")), QVariant());
    }

    void noProgramMakesNoAssociation()
    {
        // What a picker closed without a choice leaves.
        m_assoc->CreateAssociation(QStringLiteral("Bitmap"), QStringLiteral("Bitmap"),
                                   QStringLiteral("Image"), QStringLiteral(".bmp"),
                                   QStringLiteral("Open"), QString(), QString(), QString(),
                                   QStringLiteral("/icons/bmp.ico"));
        QCOMPARE(get(QStringLiteral(".bmp")), QStringLiteral("(empty)"));
        QVERIFY(!QFile::exists(m_env->configHome() + QStringLiteral("/mimeapps.list")));
    }

    void createAssociationWritesTheType_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("contentType");
        QTest::newRow("with dot") << ".bmp"
                                  << "Image";
        QTest::newRow("without dot") << "bmp"
                                     << "Image";
        QTest::newRow("no content type") << ".bmp"
                                         << "";
    }
    void createAssociationWritesTheType()
    {
        QFETCH(QString, extension);
        QFETCH(QString, contentType);
        m_assoc->CreateAssociation(QStringLiteral("Bitmap"), QStringLiteral("Bitmap Image"),
                                   contentType, extension, QStringLiteral("Open"), Program,
                                   QStringLiteral("imagrove"), QString(),
                                   QStringLiteral("/icons/bmp.ico"));
        QCOMPARE(get(QStringLiteral(".bmp")), QStringLiteral("Bitmap"));
        QCOMPARE(get(QStringLiteral("bmp")), QStringLiteral("(empty)"));
        QCOMPARE(get(QStringLiteral(".bmp"), QStringLiteral("Content Type")),
                 contentType.isEmpty() ? QStringLiteral("(empty)") : contentType);
        QCOMPARE(get(QStringLiteral("Bitmap")), QStringLiteral("Bitmap Image"));
        QCOMPARE(get(QStringLiteral("Bitmap\\DefaultIcon")), QStringLiteral("/icons/bmp.ico"));
        QCOMPARE(get(QStringLiteral("Bitmap\\Shell\\Open\\Command")),
                 QStringLiteral("/opt/imagrove/imagrove %1"));
    }

    void associated_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("associated");
        QTest::addColumn<QString>("desktop"); // the program the desktop opens it with
        QTest::newRow("ours") << "Bitmap"
                              << "/opt/imagrove/imagrove %1" << true << QString();
        QTest::newRow("the desktop's default is another program")
            << "Bitmap"
            << "/opt/imagrove/imagrove %1" << false << "/usr/bin/eog";
        QTest::newRow("other type name") << "Paint.Picture"
                                         << "/opt/imagrove/imagrove %1" << false << QString();
        QTest::newRow("other program") << "Bitmap"
                                       << "/usr/bin/eog %1" << false << QString();
        QTest::newRow("longer command")
            << "Bitmap"
            << "/opt/imagrove/imagrove --new \"%1\"" << true << QString();
        QTest::newRow("exactly the program") << "Bitmap"
                                             << "/opt/imagrove/imagrove" << true << QString();
        QTest::newRow("case differs") << "Bitmap"
                                      << "/opt/Imagrove/imagrove %1" << false << QString();
        QTest::newRow("no command") << "Bitmap"
                                    << "" << false << QString();
    }
    void associated()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, command);
        QFETCH(bool, associated);
        QFETCH(QString, desktop);
        m_env->makeScript(
            QStringLiteral("data/applications/viewer.desktop"),
            "[Desktop Entry]\nExec=" +
                (desktop.isEmpty() ? Program + QStringLiteral("/imagrove") : desktop).toUtf8() +
                " %f\n");
        QVERIFY(writeFile(m_env->configHome() + QStringLiteral("/mimeapps.list"),
                          "[Default Applications]\nimage/bmp=viewer.desktop\n"));
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".bmp"), QString(), typeName);
        if (!command.isEmpty())
            m_assoc->savestring(HKEY_CLASSES_ROOT,
                                typeName + QStringLiteral("\\Shell\\Open\\Command"), QString(),
                                command);
        QCOMPARE(bitmapAssociated(), associated);
    }

    void associationAndUndoRoundTrip_data()
    {
        QTest::addColumn<bool>("longForm");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QByteArray>("desktopList"); // the user's mimeapps.list before
        QTest::newRow("short: another type before")
            << false
            << QByteArray(
                   "*****PLEASE DO NOT DELETE THIS FILE*****\r\n~ex$.bmp\r\n~pn$Paint.Picture\r\n"
                   "~ct$image/bmp\r\n\r\n~xd$image/bmp\r\n~xr$0 0 -\r\n")
            << QByteArray();
        QTest::newRow("long: our type name before")
            << true
            << QByteArray("*****PLEASE DO NOT DELETE THIS FILE*****\r\n~ex$.bmp\r\n~pn$Bitmap\r\n"
                          "~ct$image/bmp\r\n~fn$Old Bitmap\r\n~di$/old/bmp.ico,0\r\n"
                          "~ph$/usr/bin/oldviewer %1\r\n~ac$Open\r\n"
                          "~xd$image/bmp=old.desktop;\r\n"
                          "~xr$1 1 aW1hZ2UvYm1wPW9sZC5kZXNrdG9wOw==\r\n")
            << QByteArray("[Added Associations]\nimage/png=old.desktop;\n\n"
                          "[Default Applications]\nimage/bmp=old.desktop;\n"
                          "text/plain=vim.desktop\n");
    }
    void associationAndUndoRoundTrip()
    {
        QFETCH(bool, longForm);
        QFETCH(QByteArray, record);
        QFETCH(QByteArray, desktopList);
        const QString list = m_env->configHome() + QStringLiteral("/mimeapps.list");
        if (!desktopList.isEmpty())
            QVERIFY(writeFile(list, desktopList));
        const QString former =
            longForm ? QStringLiteral("Bitmap") : QStringLiteral("Paint.Picture");
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".bmp"), QString(), former);
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".bmp"),
                            QStringLiteral("Content Type"), QStringLiteral("image/bmp"));
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral("Bitmap"), QString(),
                            QStringLiteral("Old Bitmap"));
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral("Bitmap\\DefaultIcon"), QString(),
                            QStringLiteral("/old/bmp.ico,0"));
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral("Bitmap\\Shell\\Open\\Command"),
                            QString(), QStringLiteral("/usr/bin/oldviewer %1"));

        QVERIFY(!bitmapAssociated());
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                          QStringLiteral("Open"), m_records));
        const QString file = m_records + QStringLiteral("/.bmp_undo.dat");
        QCOMPARE(fileBytes(file), record);
        QVERIFY(!QFileInfo(file).isWritable() || geteuid() == 0);
        QCOMPARE(QFileInfo(file).permissions() & QFileDevice::WriteOwner,
                 QFileDevice::Permissions());

        associateBitmap();
        QVERIFY(bitmapAssociated());

        QVERIFY(m_assoc->UndoAssociation(m_records, QStringLiteral(".bmp")));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(QFile::exists(list), !desktopList.isEmpty());
        if (!desktopList.isEmpty())
            QCOMPARE(fileBytes(list), desktopList);
        QVERIFY(!bitmapAssociated());
        QCOMPARE(get(QStringLiteral(".bmp")), former);
        QCOMPARE(get(QStringLiteral(".bmp"), QStringLiteral("Content Type")),
                 QStringLiteral("image/bmp"));
        // The long form restores the type's keys; the short form leaves them as associated.
        QCOMPARE(get(QStringLiteral("Bitmap")),
                 longForm ? QStringLiteral("Old Bitmap") : QStringLiteral("Bitmap"));
        QCOMPARE(get(QStringLiteral("Bitmap\\DefaultIcon")),
                 longForm ? QStringLiteral("/old/bmp.ico,0")
                          : Program + QStringLiteral("/bmpicon.ico"));
        QCOMPARE(get(QStringLiteral("Bitmap\\Shell\\Open\\Command")),
                 longForm ? QStringLiteral("/usr/bin/oldviewer %1")
                          : QStringLiteral("/opt/imagrove/imagrove %1"));
        QCOMPARE(m_assoc->GetLastErrorMsg(), QString());
    }

    void secondRecordReplacesTheFirst()
    {
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".gif"), QString(),
                            QStringLiteral("First"));
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".gif"), QStringLiteral("GIF"),
                                          QStringLiteral("Open"), m_records));
        m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".gif"), QString(),
                            QStringLiteral("Second"));
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".gif"), QStringLiteral("GIF"),
                                          QStringLiteral("Open"), m_records));
        QCOMPARE(QDir(m_records).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral(".gif_undo.dat")});
        QCOMPARE(fileBytes(m_records + QStringLiteral("/.gif_undo.dat")),
                 QByteArray("*****PLEASE DO NOT DELETE THIS "
                            "FILE*****\r\n~ex$.gif\r\n~pn$Second\r\n~ct$\r\n\r\n~xd$image/"
                            "gif\r\n~xr$0 0 -\r\n"));
    }

    void recordIntoAMissingFolderFails()
    {
        QVERIFY(!m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                           QStringLiteral("Open"),
                                           QVariant(m_env->root() + QStringLiteral("/nowhere"))));
        QVERIFY(!m_assoc->GetLastErrorMsg().isEmpty());
    }

    void undoWithoutARecordChangesNothing()
    {
        associateBitmap();
        const QByteArray before = fileBytes(Registry::defaultPath());
        QVERIFY(!m_assoc->UndoAssociation(m_records, QStringLiteral(".bmp")));
        const QString error = m_assoc->GetLastErrorMsg();
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(Registry::defaultPath()), before);
        // A later success does not clear the last error.
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                          QStringLiteral("Open"), m_records));
        QCOMPARE(m_assoc->GetLastErrorMsg(), error);
    }

    void aRecordIsNotReplacedByOneThatCannotBeMade_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("registry that cannot be read") << true;
        QTest::newRow("former value with a line break") << false;
    }
    void aRecordIsNotReplacedByOneThatCannotBeMade()
    {
        QFETCH(bool, unreadable);
        associateBitmap();
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                          QStringLiteral("Open"), m_records));
        const QString record = m_records + QStringLiteral("/.bmp_undo.dat");
        const QByteArray before = fileBytes(record);
        if (!unreadable)
            m_assoc->savestring(HKEY_CLASSES_ROOT, QStringLiteral(".bmp"), QString(),
                                QStringLiteral("Paint\r\n~ph$/bin/evil"));
        else if (!m_env->actAsOrdinaryUser({Registry::defaultPath()}))
            QSKIP("cannot act as an ordinary user here");
        QVERIFY(!m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                           QStringLiteral("Open"), m_records));
        QCOMPARE(fileBytes(record), before);
    }

    void aRecordLinkedToAnotherFileLeavesThatFileAlone()
    {
        const QString other = m_env->makeFile(QStringLiteral("private.txt"), 5);
        const auto privateMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QVERIFY(QFile::setPermissions(other, privateMode));
        const QString record = m_records + QStringLiteral("/.gif_undo.dat");
        QCOMPARE(
            ::link(QFile::encodeName(other).constData(), QFile::encodeName(record).constData()), 0);
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".gif"), QStringLiteral("GIF"),
                                          QStringLiteral("Open"), m_records));
        // Owner, group and others; the "user" bits depend on who runs the test.
        QCOMPARE(int(QFile::permissions(other) & 0x7077), int(privateMode));
        QCOMPARE(fileBytes(other), QByteArray(5, 'x'));
    }

    void failedWritesAreReportedAndChangeNothing_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("registry that cannot be read") << true;
        QTest::newRow("key name with a line break") << false;
    }
    void failedWritesAreReportedAndChangeNothing()
    {
        QFETCH(bool, unreadable);
        associateBitmap();
        const QString registry = Registry::defaultPath();
        const QFileInfo before(registry);
        const QString key = unreadable ? QStringLiteral("Software\\Test")
                                       : QStringLiteral("Software]\r\n[HKEY_LOCAL_MACHINE\\Evil");
        if (unreadable && !m_env->actAsOrdinaryUser({registry}))
            QSKIP("cannot act as an ordinary user here");
        m_assoc->savestring(HKEY_CURRENT_USER, key, QStringLiteral("v"), QStringLiteral("x"));
        QVERIFY(!m_assoc->GetLastErrorMsg().isEmpty());
        QCOMPARE(m_assoc->SaveDword(HKEY_CURRENT_USER, key, QStringLiteral("d"), 1),
                 QVariant(false));
        m_assoc->CreateAssociation(QStringLiteral("Jpeg\nBad"), QStringLiteral("Jpeg"),
                                   QStringLiteral("Image"), QStringLiteral(".jpg"),
                                   QStringLiteral("Open"), Program, QStringLiteral("imagrove"),
                                   QString(), QString());
        const QFileInfo after(registry);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.lastModified(), before.lastModified());
    }

    void undoRecordsStayInTheirPlace()
    {
        associateBitmap();
        const QByteArray registry = fileBytes(Registry::defaultPath());
        // Only a plain extension names a record.
        QVERIFY(!m_assoc->CreateUndoAssDat(QStringLiteral("/../../escaped"),
                                           QStringLiteral("Bitmap"), QStringLiteral("Open"),
                                           m_records));
        QVERIFY(!QFile::exists(m_env->root() + QStringLiteral("/escaped_undo.dat")));
        // A link is not written through.
        const QString victim = m_env->makeFile(QStringLiteral("victim"), 5);
        QVERIFY(QFile::link(victim, m_records + QStringLiteral("/.bmp_undo.dat")));
        QVERIFY(!m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                           QStringLiteral("Open"), m_records));
        QVERIFY(!m_assoc->UndoAssociation(m_records, QStringLiteral(".bmp")));
        QCOMPARE(fileBytes(victim), QByteArray(5, 'x'));
        // A record of another type does not undo this one.
        QVERIFY(QFile::remove(m_records + QStringLiteral("/.bmp_undo.dat")));
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".gif"), QStringLiteral("GIF"),
                                          QStringLiteral("Open"), m_records));
        QVERIFY(QFile::rename(m_records + QStringLiteral("/.gif_undo.dat"),
                              m_records + QStringLiteral("/.bmp_undo.dat")));
        QVERIFY(!m_assoc->UndoAssociation(m_records, QStringLiteral(".bmp")));
        QCOMPARE(fileBytes(Registry::defaultPath()), registry);
    }

    void undoPutsTheDesktopListBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("list");
        const QByteArray other = "[Default Applications]\ntext/plain=vim.desktop;\n";
        QTest::newRow("no file") << QByteArray("(missing)");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("other types") << other;
        QTest::newRow("an empty group") << QByteArray("[Default Applications]\n");
        QTest::newRow("two lines for the type")
            << QByteArray("[Default Applications]\nimage/bmp=a.desktop;\nimage/bmp=b.desktop;\n");
        QTest::newRow("CRLF and spaces")
            << QByteArray("[Default Applications]\r\nimage/bmp = a.desktop; \r\nx/y=z;\r\n");
        QTest::newRow("no final line break") << QByteArray("[Default Applications]\nx/y=z;");
        QTest::newRow("the type in a second group")
            << other + "[Added Associations]\nimage/bmp=c.desktop;\n[Default Applications]\n"
                       "image/bmp=d.desktop;\n";
        QTest::newRow("other groups only") << QByteArray("[Added Associations]\nimage/bmp=c;\n");
    }
    void undoPutsTheDesktopListBackByteForByte()
    {
        QFETCH(QByteArray, list);
        const QString path = m_env->configHome() + QStringLiteral("/mimeapps.list");
        if (list != "(missing)")
            QVERIFY(writeFile(path, list));
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".bmp"), QStringLiteral("Bitmap"),
                                          QStringLiteral("Open"), m_records));
        associateBitmap();
        QVERIFY(fileBytes(path).contains("image/bmp=pantrel-"));
        QVERIFY(m_assoc->UndoAssociation(m_records, QStringLiteral(".bmp")));
        QCOMPARE(fileBytes(path), list);
    }

    void undoWithdrawsTheProgramsEntry()
    {
        const QString folder = m_env->dataHome() + QStringLiteral("/applications");
        for (const QString &ext : {QStringLiteral(".bmp"), QStringLiteral(".gif")}) {
            QVERIFY(m_assoc->CreateUndoAssDat(ext, QStringLiteral("T") + ext,
                                              QStringLiteral("Open"), m_records));
            m_assoc->CreateAssociation(QStringLiteral("T") + ext, QStringLiteral("T"),
                                       QStringLiteral("Image"), ext, QStringLiteral("Open"),
                                       Program, QStringLiteral("imagrove"), QString(),
                                       QStringLiteral("/i.ico"));
        }
        const QStringList entries = QDir(folder).entryList({QStringLiteral("pantrel-*")});
        QCOMPARE(entries.size(), 1);
        const QString entry = folder + u'/' + entries[0];
        QVERIFY(fileBytes(entry).contains("MimeType=image/bmp;image/gif;\n"));
        QVERIFY(m_assoc->UndoAssociation(m_records, QStringLiteral(".bmp")));
        QVERIFY(fileBytes(entry).contains("MimeType=image/gif;\n"));
        QVERIFY(m_assoc->UndoAssociation(m_records, QStringLiteral(".gif")));
        QVERIFY(!QFile::exists(entry));
    }

    void undoOfAShortRecordWithNoFormerType()
    {
        QVERIFY(m_assoc->CreateUndoAssDat(QStringLiteral(".cur"), QStringLiteral("Cursor"),
                                          QStringLiteral("Open"), m_records));
        m_assoc->CreateAssociation(QStringLiteral("Cursor"), QStringLiteral("Cursor"),
                                   QStringLiteral("Image"), QStringLiteral(".cur"),
                                   QStringLiteral("Open"), Program, QStringLiteral("imagrove"),
                                   QString(), QStringLiteral("/i.ico"));
        QVERIFY(m_assoc->UndoAssociation(m_records, QStringLiteral(".cur")));
        QCOMPARE(get(QStringLiteral(".cur")), QString());
        QCOMPARE(get(QStringLiteral(".cur"), QStringLiteral("Content Type")), QString());
        QCOMPARE(get(QStringLiteral("Cursor")), QStringLiteral("Cursor"));
        QCOMPARE(get(QStringLiteral("Cursor\\Shell\\Open\\Command")),
                 QStringLiteral("/opt/imagrove/imagrove %1"));
    }

    void undoRecordsAreReadByTag_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<QString>("type");
        QTest::newRow("later tag wins, LF endings, stray lines")
            << QByteArray("junk\n~ex$.jpg\n~pn$Old\n~pn$Newer\nnote\n~ct$\n") << true << "Newer";
        QTest::newRow("no extension is refused")
            << QByteArray("~pn$Old\r\n~ct$x\r\n") << false << "(empty)";
    }
    void undoRecordsAreReadByTag()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, restored);
        QFETCH(QString, type);
        QFile file(m_records + QStringLiteral("/.jpg_undo.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(record);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner);
        QCOMPARE(m_assoc->UndoAssociation(m_records, QStringLiteral(".jpg")), restored);
        QCOMPARE(get(QStringLiteral(".jpg")), type);
        QCOMPARE(get(QString()), QStringLiteral("(empty)"));
        QCOMPARE(m_assoc->GetLastErrorMsg().isEmpty(), restored);
    }

    void factoriesAndLifetime()
    {
        m_assoc.reset();
        QCOMPARE(DllCanUnloadNow(), S_OK);

        void *object = nullptr;
        QCOMPARE(DllGetClassObject(QUuid::createUuid(), IID_IClassFactory, &object),
                 CLASS_E_CLASSNOTAVAILABLE);
        QVERIFY(!object);
        QCOMPARE(DllGetClassObject(CLSID_clsShell, IID_clsShell, &object), E_NOINTERFACE);

        IClassFactory *factory = nullptr;
        QCOMPARE(DllGetClassObject(CLSID_clsShell, IID_IClassFactory,
                                   reinterpret_cast<void **>(&factory)),
                 S_OK);
        QCOMPARE(DllCanUnloadNow(), S_FALSE);
        QCOMPARE(factory->CreateInstance(nullptr, IID_clsReg_n_FileAssoc, &object), E_NOINTERFACE);
        QCOMPARE(factory->CreateInstance(factory, IID_clsShell, &object), CLASS_E_NOAGGREGATION);
        QCOMPARE(factory->CreateInstance(nullptr, IID_clsShell, &object), S_OK);
        auto *shell = static_cast<_clsShell *>(object);
        QCOMPARE(factory->LockServer(true), S_OK);
        factory->Release();
        QCOMPARE(DllCanUnloadNow(), S_FALSE); // the object and the lock
        shell->AddRef();
        QCOMPARE(shell->Release(), 1u);
        void *same = nullptr;
        QCOMPARE(shell->QueryInterface(IID_IUnknown, &same), S_OK);
        QCOMPARE(same, object);
        shell->Release();
        shell->Release();
        QCOMPARE(DllCanUnloadNow(), S_FALSE); // still locked
        QCOMPARE(DllGetClassObject(CLSID_clsShell, IID_IClassFactory,
                                   reinterpret_cast<void **>(&factory)),
                 S_OK);
        factory->LockServer(false);
        factory->Release();
        QCOMPARE(DllCanUnloadNow(), S_OK);
    }

    void registerThenUnregisterLeavesTheRegistryAsItWas_data()
    {
        QTest::addColumn<bool>("withOtherClasses");
        QTest::newRow("empty registry") << false;
        QTest::newRow("other classes present") << true;
    }
    void registerThenUnregisterLeavesTheRegistryAsItWas()
    {
        QFETCH(bool, withOtherClasses);
        if (withOtherClasses) {
            m_assoc->savestring(HKEY_CLASSES_ROOT,
                                QStringLiteral("CLSID\\{11111111-2222-3333-4444-555555555555}"),
                                QString(), QStringLiteral("Other"));
            m_assoc->savekey(HKEY_CLASSES_ROOT, QStringLiteral("Interface"));
        } else {
            m_assoc->savekey(HKEY_CURRENT_USER, QStringLiteral("Software"));
        }
        const QByteArray before = fileBytes(Registry::defaultPath());

        QCOMPARE(DllRegisterServer(), S_OK);
        const QString clsid = QStringLiteral("CLSID\\{A203688E-019A-11D3-A95E-60874DC10000}");
        const QString library = get(clsid + QStringLiteral("\\InprocServer32"));
        QVERIFY2(library.contains(QStringLiteral("libpantrel")), qPrintable(library));
        QVERIFY(QFileInfo::exists(library));
        QCOMPARE(get(QStringLiteral("TypeLib\\{A2036895-019A-11D3-A95E-60874DC10000}\\1.0")),
                 QStringLiteral("Imagrove 2 Shell Extensions"));
        QCOMPARE(get(QStringLiteral("IGShell.clsShell\\CLSID")),
                 QStringLiteral("{A2036890-019A-11D3-A95E-60874DC10000}"));
        QCOMPARE(get(QStringLiteral("Interface\\{A203688D-019A-11D3-A95E-60874DC10000}")),
                 QStringLiteral("_clsReg_n_FileAssoc"));

        // Registering twice records nothing twice.
        QCOMPARE(DllRegisterServer(), S_OK);
        QCOMPARE(DllUnregisterServer(), S_OK);
        QCOMPARE(fileBytes(Registry::defaultPath()), before);
    }
};

QTEST_MAIN(tst_fileassoc)
#include "tst_fileassoc.moc"
