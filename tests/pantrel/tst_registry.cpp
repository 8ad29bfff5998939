#include "AtomicFile.h"
#include "MimeApps.h"
#include "Registry.h"
#include "SmallDisk.h"
#include "TestEnvironment.h"

#include <numeric>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace pantrel;

namespace {

QByteArray sample()
{
    return "REGEDIT4\r\n"
           "\r\n[HKEY_CLASSES_ROOT\\.bmp]\r\n"
           "@=\"Bitmap\"\r\n"
           "\"Content Type\"=\"Image\"\r\n"
           "\r\n[HKEY_CLASSES_ROOT\\Bitmap]\r\n"
           "@=\"Bitmap \\\"picture\\\" file\"\r\n"
           "\r\n[HKEY_CLASSES_ROOT\\Bitmap\\Shell]\r\n"
           "\r\n[HKEY_CLASSES_ROOT\\Bitmap\\Shell\\Open]\r\n"
           "\r\n[HKEY_CLASSES_ROOT\\Bitmap\\Shell\\Open\\Command]\r\n"
           "@=\"/opt/imagrove/imagrove %1\"\r\n"
           "\r\n[HKEY_CURRENT_USER\\Software]\r\n"
           "\r\n[HKEY_CURRENT_USER\\Software\\Imagrove]\r\n"
           "\"Count\"=dword:0000002a\r\n"
           "\"Path\"=\"C:\\\\Program Files\\\\x\"\r\n";
}

QString defaultText(const RegistryTree &tree, RootKey root, const QString &path,
                    const QString &name = {})
{
    RegKey *key = tree.find(root, path);
    RegValue *value = key ? key->value(name) : nullptr;
    return value ? value->text : QStringLiteral("(absent)");
}

} // namespace

class tst_registry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesAndWritesTheSameText()
    {
        int damaged = -1;
        const RegistryTree tree = RegistryTree::parse(sample(), &damaged);
        QCOMPARE(damaged, 0);
        QCOMPARE(defaultText(tree, HKEY_CLASSES_ROOT, QStringLiteral(".bmp")),
                 QStringLiteral("Bitmap"));
        QCOMPARE(defaultText(tree, HKEY_CLASSES_ROOT, QStringLiteral("bitmap")),
                 QStringLiteral("Bitmap \"picture\" file"));
        QCOMPARE(defaultText(tree, HKEY_CURRENT_USER, QStringLiteral("Software\\Imagrove"),
                             QStringLiteral("path")),
                 QStringLiteral("C:\\Program Files\\x"));
        RegValue *count = tree.find(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\imagrove"))
                              ->value(QStringLiteral("Count"));
        QVERIFY(count);
        QCOMPARE(int(count->type), int(RegValue::DWord));
        QCOMPARE(count->number, 42u);
        QCOMPARE(tree.serialize(), sample());
    }

    void keyNamesKeepTheirCase()
    {
        RegistryTree tree;
        tree.ensure(HKEY_CLASSES_ROOT, QStringLiteral("MyType\\Shell"));
        tree.ensure(HKEY_CLASSES_ROOT, QStringLiteral("MYTYPE\\SHELL\\Open"));
        const QByteArray text = tree.serialize();
        QVERIFY(text.contains("[HKEY_CLASSES_ROOT\\MyType\\Shell\\Open]"));
        QVERIFY(!text.contains("MYTYPE"));
        QVERIFY(!tree.find(0x12345u, QString()));
        QVERIFY(!tree.ensure(0x12345u, QStringLiteral("x")));
    }

    void awkwardTextRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes and backslashes") << QStringLiteral("a\\\"b\\\\");
        QTest::newRow("line breaks") << QStringLiteral("one\r\ntwo");
        QTest::newRow("brackets") << QStringLiteral("[HKEY_CLASSES_ROOT\\x]");
        QTest::newRow("unicode") << QStringLiteral("Bildbetrachter ÄÖÜ ✓");
        // Found by fuzzing: each half of a pair was written alone, as "?".
        QTest::newRow("outside the basic plane") << QStringLiteral("Urlaub 📷 𝄞");
        QTest::newRow("empty") << QString();
    }
    void awkwardTextRoundTrips()
    {
        QFETCH(QString, text);
        RegistryTree tree;
        RegValue value;
        value.name = text.isEmpty() ? QStringLiteral("n") : text;
        value.text = text;
        tree.ensure(HKEY_CURRENT_USER, QStringLiteral("k"))->values.append(value);
        int damaged = -1;
        const RegistryTree back = RegistryTree::parse(tree.serialize(), &damaged);
        QCOMPARE(damaged, 0);
        QCOMPARE(defaultText(back, HKEY_CURRENT_USER, QStringLiteral("k"), value.name), text);
    }

    void fileCutOffKeepsWhatCameBefore_data()
    {
        QTest::addColumn<int>("cut");
        const QByteArray text = sample();
        // Inside the Bitmap description, inside a section header, inside a dword.
        QTest::newRow("in a value") << int(text.indexOf("picture"));
        QTest::newRow("in a header") << int(text.indexOf("[HKEY_CLASSES_ROOT\\Bitmap\\Shell") + 10);
        QTest::newRow("in a dword") << int(text.indexOf("0000002a") + 4);
    }
    void fileCutOffKeepsWhatCameBefore()
    {
        QFETCH(int, cut);
        TestEnvironment env;
        Registry registry(env.root() + QStringLiteral("/reg/registry.reg"));
        QFile file(registry.path());
        QVERIFY(QDir().mkpath(env.root() + QStringLiteral("/reg")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray truncated = sample().left(cut);
        file.write(truncated);
        file.close();

        QVERIFY(registry.update([](RegistryTree &tree) {
            tree.ensure(HKEY_CURRENT_USER, QStringLiteral("Software\\New"));
            return true;
        }));
        QString bmp;
        bool hasNew = false;
        QVERIFY(registry.read([&](const RegistryTree &tree) {
            bmp = defaultText(tree, HKEY_CLASSES_ROOT, QStringLiteral(".bmp"));
            hasNew = tree.find(HKEY_CURRENT_USER, QStringLiteral("Software\\New"));
        }));
        QCOMPARE(bmp, QStringLiteral("Bitmap"));
        QVERIFY(hasNew);
        // The damaged file is kept as it was.
        QFile kept(registry.damagedCopyPath());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), truncated);
    }

    void valuesOfARootSurviveAWrite()
    {
        // Found by fuzzing: they were read, then dropped by the next write.
        const QByteArray text = "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT]\r\n\"n\"=dword:0000002a\r\n";
        int damaged = -1;
        const RegistryTree tree = RegistryTree::parse(text, &damaged);
        QCOMPARE(damaged, 0);
        QCOMPARE(tree.serialize(), text);
    }

    void garbageIsNotTakenForARegistry()
    {
        int damaged = 0;
        RegistryTree::parse(QByteArray("\x89PNG\r\n\x1a\n binary", 16), &damaged);
        QVERIFY(damaged > 0);
        RegistryTree::parse(QByteArray(), &damaged);
        QCOMPARE(damaged, 0);
    }

    void environmentRelocatesTheFile()
    {
        TestEnvironment env;
        qputenv("PANTREL_REGISTRY", "/tmp/somewhere/else.reg");
        QCOMPARE(Registry::defaultPath(), QStringLiteral("/tmp/somewhere/else.reg"));
        qunsetenv("PANTREL_REGISTRY");
        QCOMPARE(Registry::defaultPath(),
                 env.configHome() + QStringLiteral("/pantrel/registry.reg"));
    }

    void aWriteThatFailsLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("killed while writing") << "killed";
        QTest::newRow("refused while writing") << "refused";
        QTest::newRow("read-only folder") << "read-only";
    }
    void aWriteThatFailsLeavesTheOldFileWhole()
    {
        QFETCH(QString, how);
        TestEnvironment env;
        Registry registry;
        QVERIFY(registry.update([](RegistryTree &tree) {
            for (int i = 0; i < 2000; ++i) {
                RegValue value;
                value.text = QString(60, u'x');
                tree.ensure(HKEY_CURRENT_USER, QStringLiteral("Software\\seed\\k%1").arg(i))
                    ->values.append(value);
            }
            return true;
        }));
        QFile file(registry.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(before.size() > 128 * 1024);
        if (how == QLatin1String("read-only")) {
            if (!env.lockFolder(QFileInfo(registry.path()).path()))
                QSKIP("cannot act as an ordinary user here");
            QVERIFY(!registry.update([](RegistryTree &tree) {
                return tree.ensure(HKEY_CURRENT_USER, QStringLiteral("Software\\new")) != nullptr;
            }));
        } else {
            // The writer may not write past 64 KiB: killed there, or told so.
            QProcess writer;
            writer.start(QStringLiteral("bash"),
                         {QStringLiteral("-c"),
                          QStringLiteral("ulimit -f 64; %1 exec \"$0\" cut 1")
                              .arg(how == QLatin1String("refused") ? "trap '' XFSZ;" : ""),
                          QStringLiteral(WRITER_PATH)});
            QVERIFY(writer.waitForFinished(60000));
            if (how == QLatin1String("refused"))
                QCOMPARE(writer.readAllStandardOutput().trimmed(), QByteArray("0"));
            else
                QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
        file.close();
        if (how != QLatin1String("killed"))
            return;
        // The killed writer's temporary goes with the next write once it is
        // a minute old.
        const QDir folder = QFileInfo(registry.path()).dir();
        const QStringList pattern{QStringLiteral("registry.reg.??????")};
        const QFileInfoList left = folder.entryInfoList(pattern, QDir::Files);
        QCOMPARE(left.size(), 1);
        QFile stale(left.first().filePath());
        QVERIFY(stale.open(QIODevice::ReadWrite));
        QVERIFY(stale.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                  QFileDevice::FileModificationTime));
        stale.close();
        QVERIFY(registry.update([](RegistryTree &) { return true; }));
        QVERIFY(folder.entryList(pattern, QDir::Files).isEmpty());
    }

    void nearlyFullDiskAndStaleLock_data()
    {
        QTest::addColumn<bool>("registryFile");
        QTest::newRow("registry") << true;
        QTest::newRow("mimeapps.list") << false;
    }
    void nearlyFullDiskAndStaleLock()
    {
        QFETCH(bool, registryFile);
        TestEnvironment env;
        const QString folder = env.root() + QStringLiteral("/disk");
        SmallDisk disk(folder, 256);
        if (!disk.usable())
            QSKIP("a small disk cannot be mounted here (needs root)");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
        Registry registry(folder + QStringLiteral("/registry.reg"));
        const QString path =
            registryFile ? registry.path() : folder + QStringLiteral("/mimeapps.list");
        QByteArray before = "[Default Applications]\n";
        for (int i = 0; i < 200; ++i)
            before += QStringLiteral("image/x-k%1=program-%1.desktop;\n").arg(i).toUtf8();
        if (registryFile)
            before = sample().repeated(40);
        QVERIFY(replaceFile(path, before));
        // A lock file left by a writer that died holds nobody up.
        QFile lock(path + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        for (int pages = 0; pages <= 6; ++pages) {
            QVERIFY(disk.fillLeaving(pages));
            QElapsedTimer timer;
            timer.start();
            const bool written =
                registryFile
                    ? registry.update([&](RegistryTree &tree) {
                          RegValue value;
                          value.text = QString(3000, u'n');
                          tree.ensure(HKEY_CURRENT_USER, QStringLiteral("Software\\new"))->values
                              << value;
                          return true;
                      })
                    : mimeapps::setUserDefault(QStringLiteral("image/x-new"), QString(3000, u'n'));
            QVERIFY(timer.elapsed() < 2000);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray after = file.readAll();
            if (written)
                QVERIFY2(after.contains(QByteArray(3000, 'n')), qPrintable(QString::number(pages)));
            else
                QVERIFY(after == before);
            disk.empty();
            QVERIFY(replaceFile(path, before));
        }
    }

    void writersAtOnceLoseNothingSilently()
    {
        TestEnvironment env;
        constexpr int writers = 8;
        constexpr int count = 40;
        std::vector<std::unique_ptr<QProcess>> running;
        for (int w = 0; w < writers; ++w) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QStringLiteral(WRITER_PATH),
                                  {QStringLiteral("w%1").arg(w), QString::number(count)});
        }
        QList<int> reported;
        for (auto &writer : running) {
            QVERIFY(writer->waitForFinished(120000));
            reported << writer->readAllStandardOutput().trimmed().toInt();
        }
        Registry registry;
        QList<int> found(writers, 0);
        QVERIFY(registry.read([&](const RegistryTree &tree) {
            for (int w = 0; w < writers; ++w)
                for (int i = 0; i < count; ++i)
                    found[w] += defaultText(tree, HKEY_CURRENT_USER,
                                            QStringLiteral("Software\\w%1\\k%2").arg(w).arg(i)) ==
                                QString::number(i);
        }));
        // Every write that reported success is there.
        QCOMPARE(found, reported);
        QVERIFY(std::accumulate(found.begin(), found.end(), 0) > 0);
    }
};

QTEST_GUILESS_MAIN(tst_registry)
#include "tst_registry.moc"
