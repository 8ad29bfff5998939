#include "platform/Error.h"
#include "platform/FileNames.h"
#include "platform/ListBoxes.h"
#include "platform/Volumes.h"
#include "TestEnvironment.h"

#include <cstdio>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace platform;

class tst_listboxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("simple") << "*.bmp"
                                << "a.bmp" << true;
        QTest::newRow("upper-case file") << "*.jpg"
                                         << "PHOTO.JPG" << true;
        QTest::newRow("upper-case pattern") << "*.JPG"
                                            << "photo.jpg" << true;
        QTest::newRow("second of several") << "*.bmp;*.gif"
                                           << "x.gif" << true;
        QTest::newRow("not listed") << "*.bmp;*.gif"
                                    << "x.png" << false;
        QTest::newRow("extension only at the end") << "*.bmp"
                                                   << "a.bmp.txt" << false;
        QTest::newRow("longer extension") << "*.jpg"
                                          << "a.jpeg" << false;
        QTest::newRow("trailing separator") << "*.bmp;"
                                            << "a.bmp" << true;
        QTest::newRow("spaces round a part") << "*.bmp; *.gif"
                                             << "a.gif" << true;
        QTest::newRow("question mark") << "img?.bmp"
                                       << "img1.bmp" << true;
        QTest::newRow("empty matches nothing") << ""
                                               << "a.bmp" << false;
        QTest::newRow("brackets are literal names") << "*.bmp"
                                                    << "[x].bmp" << true;
    }
    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(FilePattern(pattern).matches(name), matches);
    }

    void naturalOrder_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("2 before 10") << "img2.jpg"
                                     << "img10.jpg";
        QTest::newRow("case ignored") << "apple.jpg"
                                      << "Banana.jpg";
        QTest::newRow("leading zeros") << "img007.jpg"
                                       << "img10.jpg";
        QTest::newRow("prefix first") << "img"
                                      << "img1";
        QTest::newRow("numbers before letters") << "1.jpg"
                                                << "a.jpg";
        QTest::newRow("huge numbers") << "x99999999999999999999.jpg"
                                      << "x100000000000000000000.jpg";
    }
    void naturalOrder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QVERIFY(naturalLess(a, b));
        QVERIFY(!naturalLess(b, a));
    }

    void fileListShowsMatchingFilesInNaturalOrder()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("pics"));
        for (const char *name : {"img10.jpg", "img2.JPG", "img1.bmp", "notes.txt", ".hidden.jpg",
                                 "cursor.cur", "Icon.ICO"})
            env.makeFile(QStringLiteral("pics/") + QLatin1String(name));
        env.makeFolder(QStringLiteral("pics/folder.jpg"));

        FileListBox list;
        list.setPattern(QStringLiteral("*.bmp;*.jpg;*.ico"));
        list.setPath(folder);
        QStringList names;
        for (int i = 0; i < list.listCount(); ++i)
            names << list.list(i);
        QCOMPARE(names, (QStringList{"Icon.ICO", "img1.bmp", "img2.JPG", "img10.jpg"}));
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(list.fileName(), QString());

        list.setPattern(QStringLiteral("*.cur"));
        QCOMPARE(list.listCount(), 1);
        QCOMPARE(list.list(0), QStringLiteral("cursor.cur"));

        // A Latin-1 name shows readably and keeps its bytes, refreshed too.
        const QString latin = folder + u'/' + nameFromBytes("caf\xe9.cur");
        QCOMPARE(
            ::rename(QFile::encodeName(env.makeFile(QStringLiteral("pics/x"))), nameBytes(latin)),
            0);
        list.refresh();
        list.setListIndex(0);
        list.refreshKeepingSelection();
        QCOMPARE(list.listIndex(), 0);
        QCOMPARE(list.item(0)->text(), QStringLiteral("caf\uFFFD.cur"));
        QCOMPARE(nameBytes(joinPath(folder, list.fileName())), nameBytes(latin));
    }

    void fileListSelectionRaisesClickOnlyOnChange()
    {
        TestEnvironment env;
        env.makeFile(QStringLiteral("p/a.bmp"));
        env.makeFile(QStringLiteral("p/b.bmp"));
        FileListBox list;
        list.setPattern(QStringLiteral("*.bmp"));
        QSignalSpy clicks(&list, &FileListBox::Click);
        list.setPath(env.root() + QStringLiteral("/p"));
        QCOMPARE(clicks.count(), 0);
        list.setListIndex(1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.fileName(), QStringLiteral("b.bmp"));
        list.setListIndex(1);
        QCOMPARE(clicks.count(), 1);
        list.setListIndex(0);
        QCOMPARE(clicks.count(), 2);
        list.refresh();
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(clicks.count(), 2);
    }

    void missingFolderRaisesError76AndKeepsTheList_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing") << "gone";
        QTest::newRow("a file") << "p/a.bmp";
        QTest::newRow("empty") << "";
    }
    void missingFolderRaisesError76AndKeepsTheList()
    {
        QFETCH(QString, target);
        TestEnvironment env;
        env.makeFile(QStringLiteral("p/a.bmp"));
        const QString good = env.root() + QStringLiteral("/p");
        const QString bad = target.isEmpty() ? QString() : env.root() + u'/' + target;

        FileListBox files;
        files.setPattern(QStringLiteral("*.bmp"));
        files.setPath(good);
        try {
            files.setPath(bad);
            QFAIL("no error raised");
        } catch (const Error &error) {
            QCOMPARE(error.number, 76);
        }
        QCOMPARE(files.path(), good);
        QCOMPARE(files.listCount(), 1);

        DirListBox dirs;
        dirs.setPath(good);
        QSignalSpy changes(&dirs, &DirListBox::Change);
        try {
            dirs.setPath(bad);
            QFAIL("no error raised");
        } catch (const Error &error) {
            QCOMPARE(error.number, 76);
        }
        QCOMPARE(dirs.path(), good);
        QCOMPARE(changes.count(), 0);
    }

    void unreadableFolderRaisesError76()
    {
        if (geteuid() == 0)
            QSKIP("root reads every folder");
        TestEnvironment env;
        const QString locked = env.makeFolder(QStringLiteral("locked"));
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        FileListBox files;
        QVERIFY_THROWS_EXCEPTION(Error, files.setPath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }

    void folderTreeIndexes()
    {
        TestEnvironment env;
        const QString top = env.makeFolder(QStringLiteral("top"));
        for (const char *name : {"sub10", "sub2", "Sub1", ".hidden"})
            env.makeFolder(QStringLiteral("top/") + QLatin1String(name));
        env.makeFile(QStringLiteral("top/file.bmp"));

        DirListBox dirs;
        QSignalSpy changes(&dirs, &DirListBox::Change);
        dirs.setPath(top + QStringLiteral("/"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(dirs.path(), top);
        QCOMPARE(dirs.listCount(), 3);
        QCOMPARE(dirs.list(0), top + QStringLiteral("/Sub1"));
        QCOMPARE(dirs.list(1), top + QStringLiteral("/sub2"));
        QCOMPARE(dirs.list(2), top + QStringLiteral("/sub10"));
        QCOMPARE(dirs.list(3), QString());
        QCOMPARE(dirs.listIndex(), -1);
        QCOMPARE(dirs.list(-1), top);
        QCOMPARE(dirs.list(-2), env.root());
        QCOMPARE(dirs.list(-100), QString());

        dirs.setPath(top);
        QCOMPARE(changes.count(), 1); // same folder: no change
        dirs.setPath(QStringLiteral("/"));
        QCOMPARE(dirs.list(-1), QStringLiteral("/"));
        QCOMPARE(dirs.list(-2), QString());
    }

    void pressInTheTreeSelectsBeforeMouseDown()
    {
        TestEnvironment env;
        const QString top = env.makeFolder(QStringLiteral("top"));
        env.makeFolder(QStringLiteral("top/a"));
        env.makeFolder(QStringLiteral("top/b"));
        DirListBox dirs;
        dirs.resize(200, 300);
        dirs.setPath(top);
        dirs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dirs));

        QString seen;
        connect(&dirs, &DirListBox::MouseDown, &dirs, [&] { seen = dirs.list(dirs.listIndex()); });
        const int lastRow = dirs.count() - 1;
        const QRect rect = dirs.visualItemRect(dirs.item(lastRow));
        QTest::mousePress(dirs.viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(seen, top + QStringLiteral("/b"));
    }

    void driveListHoldsTheVolumeOfAPath()
    {
        TestEnvironment env;
        const QStringList roots = volumes::roots();
        QVERIFY(roots.contains(QStringLiteral("/")));
        for (const QString &root : roots)
            QVERIFY2(!root.startsWith(QStringLiteral("/proc")) &&
                         !root.startsWith(QStringLiteral("/sys")),
                     qPrintable(root));

        DriveListBox drives;
        QSignalSpy changes(&drives, &DriveListBox::Change);
        drives.setDrive(env.root());
        QCOMPARE(drives.drive(), volumes::rootOf(env.root()));
        QCOMPARE(volumes::rootOf(env.root() + QStringLiteral("/not/yet/there")),
                 volumes::rootOf(env.root()));
        drives.setDrive(env.root());
        QVERIFY(changes.count() <= 1);
    }

    void driveRemembersTheLastFolderOpened()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("deep/er"));
        DirListBox dirs;
        dirs.setPath(folder);
        QCOMPARE(volumes::currentFolder(volumes::rootOf(folder)), folder);
    }
};

QTEST_MAIN(tst_listboxes)
#include "tst_listboxes.moc"
