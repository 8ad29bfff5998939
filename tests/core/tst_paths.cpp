#include "core/Paths.h"
#include "TestEnvironment.h"

#include <QTest>

using namespace core;

class tst_paths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::newRow("nested") << "/home/me/pics/sunset.bmp"
                                << "sunset.bmp"
                                << "/home/me/pics";
        QTest::newRow("in the root") << "/sunset.bmp"
                                     << "sunset.bmp"
                                     << "";
        QTest::newRow("spaces") << "/home/me/My Pictures/a b.jpg"
                                << "a b.jpg"
                                << "/home/me/My Pictures";
        QTest::newRow("trailing separator") << "/home/me/"
                                            << ""
                                            << "/home/me";
        QTest::newRow("no separator") << "sunset.bmp"
                                      << ""
                                      << "(kept)";
        QTest::newRow("separator beyond 1500 characters") << "/" + QString(1500, u'x') << ""
                                                          << "(kept)";
        QTest::newRow("separator within 1500 characters") << "/" + QString(1498, u'y') + "/" + "f"
                                                          << "f"
                                                          << "/" + QString(1498, u'y');
    }
    void splitPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(QString, folder);
        AppState state;
        state.CommandLineFolder = QStringLiteral("(kept)");
        state.CommandLineFile = QStringLiteral("(kept file)");
        QCOMPARE(SplitPath(state, path), file);
        QCOMPARE(state.CommandLineFolder, folder);
        if (folder == QLatin1String("(kept)"))
            QCOMPARE(state.CommandLineFile, QStringLiteral("(kept file)"));
        else
            QCOMPARE(state.CommandLineFile, file);
    }

    void shortFileNameWorksOnThePathAsGiven()
    {
        AppState state;
        QCOMPARE(ShortFileName(state, QStringLiteral("/data/Holiday Photos/IMG_0001.JPG")),
                 QStringLiteral("IMG_0001.JPG"));
        QCOMPARE(state.CommandLineFolder, QStringLiteral("/data/Holiday Photos"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("two quotes") << "\"\""
                                    << "";
        QTest::newRow("two quotes with spaces") << "  \"\" "
                                                << "";
        QTest::newRow("one quote") << "\""
                                   << "";
        QTest::newRow("quoted with spaces") << "\"/home/me/My Pictures/a b.jpg\""
                                            << "/home/me/My Pictures/a b.jpg";
        QTest::newRow("plain") << "/home/me/a.jpg"
                               << "/home/me/a.jpg";
        QTest::newRow("leading quote only") << "\"/home/me/a.jpg"
                                            << "/home/me/a.jpg";
        QTest::newRow("trailing quote only") << "/home/me/a.jpg\""
                                             << "/home/me/a.jpg";
        QTest::newRow("doubled quotes keep the inner pair") << "\"\"/a.jpg\"\""
                                                            << "\"/a.jpg\"";
    }
    void commandLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, path);
        QCOMPARE(commandLinePath(line), path);
    }

    // Arguments as a desktop passes them; the files named exist but "gone.jpg".
    void commandLineOfTheArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");
        QTest::newRow("one file") << QStringList{"%1/a.jpg"} << "a.jpg";
        QTest::newRow("a name with spaces, split")
            << QStringList{"%1/my", "photo.jpg"} << "my photo.jpg";
        QTest::newRow("several files") << QStringList{"%1/a.jpg", "%1/b.jpg"} << "a.jpg";
        QTest::newRow("the first is gone") << QStringList{"%1/gone.jpg", "%1/b.jpg"} << "b.jpg";
        QTest::newRow("a folder among them") << QStringList{"%1/gone.jpg", "%1/trip"} << "trip";
        QTest::newRow("none is there") << QStringList{"%1/gone.jpg", "%1/lost.jpg"} << "gone.jpg";
    }
    void commandLineOfTheArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        TestEnvironment env;
        for (const char *name : {"a.jpg", "b.jpg", "my photo.jpg", "my"})
            env.makeFile(QString::fromLatin1(name), 1);
        env.makeFolder(QStringLiteral("trip"));
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%1"), env.root());
        QCOMPARE(commandLineOf(arguments), env.root() + u'/' + line);
    }

    void startFolderFallsBackToTheProgramFolder_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("usesStored");
        QTest::newRow("existing folder") << "pictures" << true;
        QTest::newRow("missing folder") << "gone" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a file, not a folder") << "file.txt" << false;
    }
    void startFolderFallsBackToTheProgramFolder()
    {
        QFETCH(QString, stored);
        QFETCH(bool, usesStored);
        TestEnvironment env;
        env.makeFolder(QStringLiteral("pictures"));
        env.makeFile(QStringLiteral("file.txt"));
        const QString program = env.makeFolder(QStringLiteral("program"));
        const QString storedPath = stored.isEmpty() ? QString() : env.root() + u'/' + stored;
        QCOMPARE(startFolder(storedPath, program), usesStored ? storedPath : program);
    }
};

QTEST_GUILESS_MAIN(tst_paths)
#include "tst_paths.moc"
