#include "core/AppState.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "SmallDisk.h"
#include "TestEnvironment.h"

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QThread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace core;

class tst_settings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<SettingsStore> m_store;

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_store = std::make_unique<SettingsStore>();
    }
    void cleanup()
    {
        m_store.reset();
        m_env.reset();
    }

    void storeLivesInTheUsersConfigFolder()
    {
        m_store->save(QStringLiteral("Imagrove2"), QStringLiteral("Options"),
                      QStringLiteral("useeditor"), QStringLiteral("1"));
        QVERIFY(QFile::exists(m_env->configHome() + QStringLiteral("/Imagrove/Imagrove2.conf")));
        QVERIFY(!QFile::exists(m_env->configHome() + QStringLiteral("/Imagrove/Imagrove.conf")));
    }

    void damagedFileIsKeptBeforeItIsRewritten_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        // An unterminated quote swallows the lines after it.
        QTest::newRow("open quote") << QByteArray("[Options]\nuseeditor=\"1\nimgfll=1\nfsnav=1\n");
        QTest::newRow("line without =") << QByteArray("[Options]\nimgfll=1\nstray text\n");
    }
    void damagedFileIsKeptBeforeItIsRewritten()
    {
        QFETCH(QByteArray, damaged);
        const QString file = m_store->fileFor(keys::Imagrove2);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(damaged);
        out.close();
        keys::GreyMode.save(*m_store, QStringLiteral("1"));
        QFile kept(file + QStringLiteral(".damaged"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), damaged);
        // A sound file is not copied again.
        keys::DisFsNav.save(*m_store, QStringLiteral("1"));
        QVERIFY(!QFile::exists(file + QStringLiteral(".damaged.2")));
    }

    void aLockLeftByAWriterThatDiedStallsNothing()
    {
        const QString file = m_store->fileFor(keys::Imagrove2);
        QDir().mkpath(QFileInfo(file).path());
        QFile lock(file + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        QElapsedTimer timer;
        timer.start();
        keys::GreyMode.save(*m_store, QStringLiteral("1"));
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(keys::GreyMode.read(*m_store), QStringLiteral("1"));
    }

    void aNearlyFullDiskLeavesTheFileWholeOrUntouched()
    {
        SmallDisk disk(m_env->root() + QStringLiteral("/disk"), 256);
        if (!disk.usable())
            QSKIP("a small disk cannot be mounted here (needs root)");
        SettingsStore store(m_env->root() + QStringLiteral("/disk/Imagrove"));
        QList<std::pair<QString, QString>> values;
        for (int i = 0; i < 120; ++i)
            values.append(
                {QStringLiteral("key%1").arg(i), QStringLiteral("value %1 ").arg(i).repeated(3)});
        store.save(keys::Imagrove2, QStringLiteral("Options"), values);
        const QString file = store.fileFor(keys::Imagrove2);
        QFile original(file);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll();
        original.close();
        QVERIFY(before.size() > 4096);
        for (int pages = 0; pages <= 6; ++pages) {
            QVERIFY(disk.fillLeaving(pages));
            bool saved = true;
            try {
                store.save(keys::Imagrove2, QStringLiteral("Options"), QStringLiteral("extra"),
                           QStringLiteral("%1").arg(pages));
            } catch (const platform::Error &error) {
                QCOMPARE(error.number, 75);
                saved = false;
            }
            QFile now(file);
            QVERIFY(now.open(QIODevice::ReadOnly));
            const QByteArray after = now.readAll();
            if (saved) {
                QVERIFY2(after.size() > before.size(), qPrintable(QString::number(pages)));
                QCOMPARE(
                    store.get(keys::Imagrove2, QStringLiteral("Options"), QStringLiteral("key119")),
                    QStringLiteral("value 119 ").repeated(3));
            } else {
                QCOMPARE(after, before);
            }
            disk.empty();
            QVERIFY(platform::replaceFile(file, before));
        }
    }

    // The private copy lives beside the file: a full temporary disk
    // neither cuts the file nor fails the write.
    void aFullTemporaryDiskCutsNothing()
    {
        SmallDisk disk(m_env->root() + QStringLiteral("/tmpdisk"), 256);
        if (!disk.usable())
            QSKIP("a small disk cannot be mounted here (needs root)");
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_env->root() + QStringLiteral("/tmpdisk")));
        const auto restore = qScopeGuard([&] { qputenv("TMPDIR", tmp); });
        QList<std::pair<QString, QString>> values;
        for (int i = 0; i < 120; ++i)
            values.append(
                {QStringLiteral("key%1").arg(i), QStringLiteral("value %1 ").arg(i).repeated(3)});
        m_store->save(keys::Imagrove2, QStringLiteral("Options"), values);
        for (int pages = 0; pages <= 4; ++pages) {
            QVERIFY(disk.fillLeaving(pages));
            m_store->save(keys::Imagrove2, QStringLiteral("Options"), QStringLiteral("Path"),
                          QString::number(pages));
            QFile file(m_store->fileFor(keys::Imagrove2));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().count("value "), 120 * 3);
        }
    }

    void aLinkedFileIsWrittenWhereItPoints()
    {
        const QString target = m_env->makeFile(QStringLiteral("dotfiles/Imagrove2.conf"));
        const QString file = m_store->fileFor(keys::Imagrove2);
        QDir().mkpath(QFileInfo(file).path());
        QVERIFY(QFile::link(target, file));
        keys::GreyMode.save(*m_store, QStringLiteral("1"));
        QVERIFY(QFileInfo(file).isSymLink());
        QCOMPARE(QSettings(target, QSettings::IniFormat).value(QStringLiteral("Options/greymode")),
                 QVariant(QStringLiteral("1")));
        QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // Writers killed at any moment leave temporaries; the next writer
    // removes those their writers left, once they are a minute old.
    void temporariesOfKilledWritersAreRemoved()
    {
        const QString file = m_store->fileFor(keys::Imagrove2);
        const QString folder = QFileInfo(file).path();
        QList<std::pair<QString, QString>> values;
        for (int i = 0; i < 400; ++i)
            values.append({QStringLiteral("key%1").arg(i), QString(100, u'v')});
        m_store->save(keys::Imagrove2, QStringLiteral("Options"), values);
        const auto leftovers = [&] {
            return QDir(folder)
                       .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                       .size() -
                   2; // the file and its lock
        };
        for (int round = 0; round < 40 && leftovers() < 3; ++round) {
            const pid_t child = ::fork();
            if (child == 0) {
                for (;;)
                    m_store->save(keys::Imagrove2, QStringLiteral("Options"), values);
            }
            QThread::usleep(2000 + (round * 1777) % 15000);
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        QVERIFY(leftovers() > 0);
        keys::GreyMode.save(*m_store, QStringLiteral("1"));
        QVERIFY(leftovers() > 0); // too young to tell from a live writer's
        const timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
        for (const QString &name :
             QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(folder + u'/' + name), old, 0), 0);
        keys::GreyMode.save(*m_store, QStringLiteral("0"));
        QCOMPARE(leftovers(), 0);
        QCOMPARE(m_store->get(keys::Imagrove2, QStringLiteral("Options"), QStringLiteral("key399")),
                 QString(100, u'v'));
    }

    void failedWriteRaisesError75()
    {
        const QString blocked = m_env->makeFile(QStringLiteral("blocked"), 1);
        SettingsStore store(blocked + QStringLiteral("/Imagrove"));
        try {
            keys::Colour.save(store, QStringLiteral("Grey"));
            QFAIL("no error");
        } catch (const platform::Error &error) {
            QCOMPARE(error.number, 75);
        }
    }

    void defaultOfEveryKey_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *app, const char *section, const char *key,
                            const char *expected) {
            QTest::addRow("%s/%s/%s", app, section, key)
                << QString::fromLatin1(app) << QString::fromLatin1(section)
                << QString::fromLatin1(key) << QString::fromLatin1(expected);
        };
        row("Imagrove", "Interface", "Startdir", "");
        row("Imagrove", "Interface", "ImageSize", "Stretch");
        row("Imagrove", "Interface", "Colour", "Black");
        row("Imagrove", "FullScreen", "Colour", "Black");
        row("Imagrove", "FullScreen", "Info", "On");
        row("Imagrove", "FullScreen", "Fit", "0");
        row("Imagrove", "FullScreen", "Box", "");
        row("Imagrove", "Interface", "KeepProportions", "0");
        row("Imagrove", "Interface", "ResizableWindow", "0");
        row("Imagrove", "Interface", "WindowSize", "");
        row("Imagrove", "Interface", "OtherImages", "0");
        row("Imagrove", "Options", "systray", "1");
        row("Imagrove", "Options", "minim", "True");
        row("Imagrove", "Options", "always", "False");
        row("Imagrove", "Options", "ImageInfo", "1");
        row("Imagrove2", "Options", "Show Tips at Startup", "1");
        row("Imagrove2", "Options", "Favlist", "0");
        row("Imagrove2", "Options", "LastDirectory", "0");
        row("Imagrove2", "Options", "useeditor", "0");
        row("Imagrove2", "Options", "editorpath", "");
        row("Imagrove2", "Options", "imgfll", "0");
        row("Imagrove2", "Options", "closeafter1", "0");
        row("Imagrove2", "Options", "fsnav", "0");
        row("Imagrove2", "Options", "disfsnav", "0");
        row("Imagrove2", "Options", "fsmbal", "0");
        row("Imagrove2", "Options", "greymode", "0");
        row("Imagrove2", "Options", "DelFavs", "0");
        for (const char *type : {"BMP", "JPG", "GIF", "WMF", "EMF", "ICO", "CUR"})
            row("Imagrove2", "Options", QByteArray(type).append("assc").constData(), "0");
        row("Imagrove2", "v2.1", "updated", "0");
        row("Imagrove2", "v2.2", "Path", "");
        row("Imagrove2", "v2.2", "license", "1");
    }
    void defaultOfEveryKey()
    {
        QFETCH(QString, app);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QList<SettingKey> all = keys::all();
        const auto found = std::find_if(all.begin(), all.end(), [&](const SettingKey &k) {
            return k.app == app && k.section == section && k.name == key;
        });
        QVERIFY2(found != all.end(), "the key is missing from the table");
        QCOMPARE(found->read(*m_store), expected);
        // Reading does not create the value.
        QCOMPARE(m_store->get(app, section, key, QStringLiteral("absent")),
                 QStringLiteral("absent"));
    }

    // Windows release their hold when they close and again when destroyed;
    // the flag stays up while any other hold lasts, and falls with the last.
    void aFlagFallsWithItsLastHoldOnly()
    {
        AppState state;
        std::optional<FlagHold> viewer(std::in_place, state.SecondaryWindowOpen);
        {
            FlagHold options(state.SecondaryWindowOpen);
            options.release();
            options.release();
            QVERIFY(state.SecondaryWindowOpen);
        }
        QVERIFY(state.SecondaryWindowOpen);
        viewer.reset();
        QVERIFY(!state.SecondaryWindowOpen);
    }

    void defaultsConvertToText_data()
    {
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << QVariant(QStringLiteral("Stretch")) << QStringLiteral("Stretch");
        QTest::newRow("zero") << QVariant(0) << QStringLiteral("0");
        QTest::newRow("number") << QVariant(42) << QStringLiteral("42");
        QTest::newRow("true") << QVariant(true) << QStringLiteral("True");
        QTest::newRow("false") << QVariant(false) << QStringLiteral("False");
        QTest::newRow("none") << QVariant() << QString();
    }
    void defaultsConvertToText()
    {
        QFETCH(QVariant, defaultValue);
        QFETCH(QString, expected);
        QCOMPARE(m_store->get(QStringLiteral("Imagrove"), QStringLiteral("Options"),
                              QStringLiteral("nothing"), defaultValue),
                 expected);
    }

    void lookupIgnoresCase_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("exact") << "Imagrove2"
                               << "Options"
                               << "Show Tips at Startup";
        QTest::newRow("lower") << "imagrove2"
                               << "options"
                               << "show tips at startup";
        QTest::newRow("upper") << "IMAGROVE2"
                               << "OPTIONS"
                               << "SHOW TIPS AT STARTUP";
    }
    void lookupIgnoresCase()
    {
        QFETCH(QString, app);
        QFETCH(QString, section);
        QFETCH(QString, key);
        keys::ShowTips.save(*m_store, QStringLiteral("0"));
        QCOMPARE(m_store->get(app, section, key, 1), QStringLiteral("0"));
    }

    void handEditedFilesReadAsWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("a section in two spellings")
            << QByteArray("[Options]\nimgfll=1\n\n[options]\nLastDirectory=1\n") << "LastDirectory"
            << "1";
        QTest::newRow("a value with commas")
            << QByteArray("[Options]\neditorpath=/usr/bin/gimp,--new-instance, --x\n")
            << "editorpath"
            << "/usr/bin/gimp,--new-instance, --x";
    }
    void handEditedFilesReadAsWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QDir().mkpath(m_env->configHome() + QStringLiteral("/Imagrove"));
        QFile conf(m_env->configHome() + QStringLiteral("/Imagrove/Imagrove2.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write(file) == file.size());
        conf.close();
        QCOMPARE(m_store->get(keys::Imagrove2, QStringLiteral("Options"), key), value);
    }

    void writeKeepsTheExactFormAndReplacesOtherCase()
    {
        m_store->save(QStringLiteral("imagrove"), QStringLiteral("interface"),
                      QStringLiteral("startdir"), QStringLiteral("/old"));
        keys::Startdir.save(*m_store, QStringLiteral("/new"));
        QSettings raw(m_store->fileFor(QStringLiteral("Imagrove")), QSettings::IniFormat);
        QStringList all = raw.allKeys();
        QCOMPARE(all, QStringList{QStringLiteral("Interface/Startdir")});
        QCOMPARE(raw.value(QStringLiteral("Interface/Startdir")).toString(),
                 QStringLiteral("/new"));
        QCOMPARE(keys::Startdir.read(*m_store), QStringLiteral("/new"));
    }

    void everyWriteReachesTheFileAtOnce()
    {
        keys::LastDirectory.save(*m_store, QStringLiteral("1"));
        QFile file(m_store->fileFor(QStringLiteral("Imagrove2")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[Options]") && text.contains("LastDirectory=1"), text.constData());
    }

    void keyUnderTheWrongApplicationIsAbsent()
    {
        m_store->save(QStringLiteral("Imagrove2"), QStringLiteral("Interface"),
                      QStringLiteral("Startdir"), QStringLiteral("/wrong"));
        QCOMPARE(keys::Startdir.read(*m_store, QStringLiteral("/default")),
                 QStringLiteral("/default"));
        keys::Systray.save(*m_store, QStringLiteral("0"));
        QCOMPARE(m_store->get(QStringLiteral("Imagrove2"), QStringLiteral("Options"),
                              QStringLiteral("systray"), 7),
                 QStringLiteral("7"));
    }

    void storesInOtherFoldersAreNotMixed()
    {
        SettingsStore other(m_env->makeFolder(QStringLiteral("other")));
        keys::Colour.save(*m_store, QStringLiteral("White"));
        keys::Colour.save(other, QStringLiteral("Grey"));
        QCOMPARE(keys::Colour.read(*m_store), QStringLiteral("White"));
        QCOMPARE(keys::Colour.read(other), QStringLiteral("Grey"));
    }

    void twoWritersMergeKeyByKey()
    {
        SettingsStore first;
        SettingsStore second;
        keys::UseEditor.save(first, QStringLiteral("1"));
        keys::EditorPath.save(second, QStringLiteral("/usr/bin/gimp"));
        keys::UseEditor.save(second, QStringLiteral("0"));
        QCOMPARE(keys::UseEditor.read(first), QStringLiteral("0"));
        QCOMPARE(keys::EditorPath.read(first), QStringLiteral("/usr/bin/gimp"));
    }

    void removeDeletesOneKey()
    {
        keys::favName(1).save(*m_store, QStringLiteral("Holiday"));
        keys::favFolder(1).save(*m_store, QStringLiteral("/photos"));
        m_store->remove(QStringLiteral("Imagrove2"), QStringLiteral("favs"),
                        QStringLiteral("FAVN1"));
        QCOMPARE(keys::favName(1).read(*m_store), QString());
        QCOMPARE(keys::favFolder(1).read(*m_store), QStringLiteral("/photos"));
    }

    void valuesWithSpecialCharactersRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("spaces") << QStringLiteral("/home/me/My Pictures");
        QTest::newRow("comma") << QStringLiteral("a, b");
        QTest::newRow("at sign") << QStringLiteral("@Variant");
        QTest::newRow("semicolon") << QStringLiteral("x;y=z");
        QTest::newRow("unicode") << QStringLiteral("/home/me/Bilder/Übersicht");
        QTest::newRow("empty") << QString();
    }
    void valuesWithSpecialCharactersRoundTrip()
    {
        QFETCH(QString, value);
        keys::EditorPath.save(*m_store, value);
        QCOMPARE(keys::EditorPath.read(*m_store, QStringLiteral("absent")), value);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qlonglong>("number");
        QTest::newRow("empty") << QString() << 0LL;
        QTest::newRow("word") << QStringLiteral("abc") << 0LL;
        QTest::newRow("True is not a number") << QStringLiteral("True") << 0LL;
        QTest::newRow("one") << QStringLiteral("1") << 1LL;
        QTest::newRow("spaces") << QStringLiteral(" 2 ") << 2LL;
        QTest::newRow("negative") << QStringLiteral("-3") << -3LL;
        QTest::newRow("half rounds to even down") << QStringLiteral("2.5") << 2LL;
        QTest::newRow("half rounds to even up") << QStringLiteral("1.5") << 2LL;
        QTest::newRow("colour number") << QStringLiteral("16777215") << 16777215LL;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(qlonglong, number);
        QCOMPARE(encoding::toNumber(text), number);
    }

    void truthValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("truth");
        QTest::newRow("True") << QStringLiteral("True") << true;
        QTest::newRow("false lower") << QStringLiteral("false") << false;
        QTest::newRow("TRUE upper") << QStringLiteral("TRUE") << true;
        QTest::newRow("one") << QStringLiteral("1") << true;
        QTest::newRow("minus one") << QStringLiteral("-1") << true;
        QTest::newRow("zero") << QStringLiteral("0") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("word") << QStringLiteral("yes") << false;
    }
    void truthValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, truth);
        QCOMPARE(encoding::toTruth(text), truth);
    }

    void checkValueReadBothWays_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("onWhenExactlyOne");
        QTest::addColumn<bool>("onUnlessZero");
        QTest::newRow("0") << QStringLiteral("0") << false << false;
        QTest::newRow("1") << QStringLiteral("1") << true << true;
        QTest::newRow("2 grey") << QStringLiteral("2") << false << true;
        QTest::newRow("empty") << QString() << false << false;
    }
    void checkValueReadBothWays()
    {
        QFETCH(QString, stored);
        QFETCH(bool, onWhenExactlyOne);
        QFETCH(bool, onUnlessZero);
        keys::LastDirectory.save(*m_store, stored);
        keys::ImageInfo.save(*m_store, stored);
        QCOMPARE(encoding::checkIsOn(keys::LastDirectory.read(*m_store)), onWhenExactlyOne);
        QCOMPARE(encoding::checkIsNotOff(keys::ImageInfo.read(*m_store)), onUnlessZero);
    }

    void colours_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("number");
        QTest::newRow("Black") << QStringLiteral("Black") << 0x000000u;
        QTest::newRow("Grey") << QStringLiteral("Grey") << 0xC0C0C0u;
        QTest::newRow("White") << QStringLiteral("White") << 0xFFFFFFu;
        QTest::newRow("Red is BGR") << QStringLiteral("Red") << 0x0000FFu;
        QTest::newRow("Blue is BGR") << QStringLiteral("Blue") << 0xFF0000u;
        QTest::newRow("Yellow") << QStringLiteral("Yellow") << 0x00FFFFu;
        QTest::newRow("number") << QStringLiteral("12632256") << 12632256u;
        QTest::newRow("word in other case is not a word") << QStringLiteral("white") << 0u;
        QTest::newRow("out of range") << QStringLiteral("99999999") << 0u;
    }
    void colours()
    {
        QFETCH(QString, text);
        QFETCH(uint, number);
        QCOMPARE(encoding::colourFromText(text), number);
    }
};

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
