#include "core/SettingKeys.h"
#include "favourites/FavouritesStore.h"
#include "TestEnvironment.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTest>

using favourites::Favourite;
using favourites::FavouritesStore;
using Refusal = FavouritesStore::Refusal;

class tst_favouritesstore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<core::SettingsStore> m_settings;
    std::unique_ptr<FavouritesStore> m_store;

    void store(int number, const QString &name, const QString &folder)
    {
        core::keys::favName(number).save(*m_settings, name);
        core::keys::favFolder(number).save(*m_settings, folder);
    }
    // Favourites 1..count named "fN" for the folders "/dN".
    void storeNumbered(int count)
    {
        for (int n = 1; n <= count; ++n)
            store(n, QStringLiteral("f%1").arg(n), QStringLiteral("/d%1").arg(n));
    }
    QStringList names() const
    {
        QStringList out;
        for (const Favourite &favourite : m_store->load())
            out << favourite.name;
        return out;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_settings = std::make_unique<core::SettingsStore>();
        m_store = std::make_unique<FavouritesStore>(*m_settings);
    }
    void cleanup()
    {
        m_store.reset();
        m_settings.reset();
        m_env.reset();
    }

    void loadStopsAtTheFirstGap()
    {
        QVERIFY(m_store->load().isEmpty());
        store(1, QStringLiteral("one"), QString());
        store(2, QStringLiteral("two"), QStringLiteral("/b"));
        store(4, QStringLiteral("four"), QStringLiteral("/d"));
        QCOMPARE(m_store->load(), (QList<Favourite>{{"one", ""}, {"two", "/b"}}));
    }

    void handEditedStoreLoadsAsFarAsItsNumbersRun()
    {
        // Out of order, a number twice, and an empty name in the middle.
        QFile file(m_settings->fileFor(core::keys::Imagrove2));
        QVERIFY(QDir().mkpath(QFileInfo(file.fileName()).path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Favs]\nfavn2=two\nfava2=/b\nfavn1=one\nfava1=/a\nfavn2=again\n"
                   "favn3=\nfava3=/c\nfavn4=four\nfava4=/d\n");
        file.close();
        const QList<Favourite> loaded = m_store->load();
        QCOMPARE(loaded.size(), 2);
        QCOMPARE(loaded[0], (Favourite{"one", "/a"}));
        QCOMPARE(loaded[1].folder, QStringLiteral("/b"));
    }

    void deletingMovesTheLastIntoItsNumber_data()
    {
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("second of five") << "f2" << QStringList{"f1", "f5", "f3", "f4"};
        QTest::newRow("the last") << "f5" << QStringList{"f1", "f2", "f3", "f4"};
        QTest::newRow("unknown name") << "f9" << QStringList{"f1", "f2", "f3", "f4", "f5"};
    }
    void deletingMovesTheLastIntoItsNumber()
    {
        QFETCH(QString, deleted);
        QFETCH(QStringList, left);
        storeNumbered(5);
        const bool found = deleted != QLatin1String("f9");
        QCOMPARE(m_store->remove(deleted, QStringLiteral("/d") + deleted.mid(1)), found);
        QCOMPARE(names(), left);
        // The number freed at the end is gone, name and folder both.
        if (found) {
            QCOMPARE(core::keys::favName(5).read(*m_settings, QStringLiteral("-")),
                     QStringLiteral("-"));
            QCOMPARE(core::keys::favFolder(5).read(*m_settings, QStringLiteral("-")),
                     QStringLiteral("-"));
        }
    }

    void addRefusesATakenFolderOrName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("refusal");
        // Stored: A at /a, then B at /b.
        QTest::newRow("folder wins in the same slot") << "B"
                                                      << "/a" << int(Refusal::FolderTaken);
        QTest::newRow("earlier slot wins") << "A"
                                           << "/b" << int(Refusal::NameTaken);
        QTest::newRow("letter case differs") << "a"
                                             << "/A" << int(Refusal::None);
        QTest::newRow("empty folder, as slot 0's") << "C"
                                                   << "" << int(Refusal::FolderTaken);
    }
    void addRefusesATakenFolderOrName()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(int, refusal);
        store(1, QStringLiteral("A"), QStringLiteral("/a"));
        store(2, QStringLiteral("B"), QStringLiteral("/b"));
        QCOMPARE(int(m_store->add(name, folder)), refusal);
        QCOMPARE(m_store->load().size(), refusal == int(Refusal::None) ? 3 : 2);
    }

    void renameKeepsARefusedFavouriteAndMovesAnAcceptedOne()
    {
        storeNumbered(3);
        QCOMPARE(m_store->rename(QStringLiteral("f1"), QStringLiteral("f3"), QStringLiteral("/d1")),
                 Refusal::NameTaken);
        QCOMPARE(names(), (QStringList{"f1", "f2", "f3"}));
        QCOMPARE(
            m_store->rename(QStringLiteral("f1"), QStringLiteral("new"), QStringLiteral("/d1")),
            Refusal::None);
        QCOMPARE(m_store->load(), (QList<Favourite>{{"f3", "/d3"}, {"f2", "/d2"}, {"new", "/d1"}}));
    }

    void aRenameKilledAnywhereLosesNothing()
    {
        storeNumbered(2);
        QCOMPARE(m_store->add(QStringLiteral("r0"), QStringLiteral("/r")), Refusal::None);
        for (int round = 0; round < 12; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(WRITER_PATH),
                         {QStringLiteral("rename"), QStringLiteral("1000")});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(40 + round * 7);
            writer.kill();
            writer.waitForFinished();
            const QList<Favourite> loaded = m_store->load();
            QCOMPARE(loaded.size(), 3);
            QCOMPARE(loaded.last().folder, QStringLiteral("/r"));
            QSettings raw(m_settings->fileFor(core::keys::Imagrove2), QSettings::IniFormat);
            raw.beginGroup(core::keys::FavsSection);
            QCOMPARE(raw.childKeys().size(), 6);
        }
    }

    void awkwardNamesAndFoldersSurvive()
    {
        const QList<Favourite> awkward{
            {QStringLiteral(" a = b; \"c\" "), QStringLiteral("/x=y;z/\"q\"")},
            {QStringLiteral("Ferien in Köln ✓"), QStringLiteral("/home/ünï/Bilder")},
            {QStringLiteral("long"), QStringLiteral("/") + QString(2000, u'p')}};
        for (const Favourite &favourite : awkward)
            QCOMPARE(m_store->add(favourite.name, favourite.folder), Refusal::None);
        core::SettingsStore again;
        QCOMPARE(FavouritesStore(again).load(), awkward);
    }

    void twoWritersAtOnceLeaveAStoreThatLoads()
    {
        QProcess first;
        QProcess second;
        first.start(QStringLiteral(WRITER_PATH), {QStringLiteral("p"), QStringLiteral("50")});
        second.start(QStringLiteral(WRITER_PATH), {QStringLiteral("q"), QStringLiteral("50")});
        QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
        const QList<Favourite> loaded = m_store->load();
        QVERIFY(!loaded.isEmpty());
        // Consecutive numbers: nothing stored past the first gap.
        QSettings raw(m_settings->fileFor(core::keys::Imagrove2), QSettings::IniFormat);
        raw.beginGroup(core::keys::FavsSection);
        QCOMPARE(raw.childKeys().size(), 2 * loaded.size());
        // Each survivor whole: its folder is its own.
        for (const Favourite &favourite : loaded) {
            const QStringList parts = favourite.name.split(u'-');
            QCOMPARE(favourite.folder,
                     QStringLiteral("/%1/%2").arg(parts.value(0), parts.value(1)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_favouritesstore)
#include "tst_favouritesstore.moc"
