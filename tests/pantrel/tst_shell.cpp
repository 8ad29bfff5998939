#include "pantrel.h"
#include "TestEnvironment.h"

#include <deque>
#include <functional>
#include <memory>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

using namespace pantrel;

namespace {

// Answers dialogs from a script and records messages and program starts.
class ScriptedSeam final : public UiSeam
{
public:
    std::deque<std::function<int(QDialog &)>> dialogs;
    QStringList messages;
    QList<QStringList> started; // program, then arguments

    int runModal(QDialog &dialog) override
    {
        if (dialogs.empty()) {
            QTest::qFail("unexpected dialog", __FILE__, __LINE__);
            return QDialog::Rejected;
        }
        auto answer = std::move(dialogs.front());
        dialogs.pop_front();
        return answer(dialog);
    }
    void message(const QString &text, const QString &) override { messages << text; }
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &) override
    {
        started << (QStringList{program} + arguments);
        return true;
    }
};

struct Releaser
{
    void operator()(IUnknown *object) const { object->Release(); }
};

} // namespace

class tst_shell : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedSeam> m_seam;
    std::unique_ptr<_clsShell, Releaser> m_shell;

    QString applications() const { return m_env->root() + QStringLiteral("/data/applications/"); }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_seam = std::make_unique<ScriptedSeam>();
        PantrelSetUiSeam(m_seam.get());
        IClassFactory *factory = nullptr;
        QCOMPARE(DllGetClassObject(CLSID_clsShell, IID_IClassFactory,
                                   reinterpret_cast<void **>(&factory)),
                 S_OK);
        void *object = nullptr;
        QCOMPARE(factory->CreateInstance(nullptr, IID_clsShell, &object), S_OK);
        factory->Release();
        m_shell.reset(static_cast<_clsShell *>(object));
    }
    void cleanup()
    {
        m_shell.reset();
        PantrelSetUiSeam(nullptr);
        QVERIFY(m_seam->dialogs.empty());
        m_env.reset();
    }

    void openDialogOffersProgramsAndChangesTheFilter()
    {
        const QString editor = m_env->makeScript(QStringLiteral("tools/paint"), "#!/bin/sh\n");
        QStringList filters;
        QString title;
        bool programsOnly = false;
        m_seam->dialogs.push_back([&](QDialog &dialog) {
            auto &files = static_cast<QFileDialog &>(dialog);
            filters = files.nameFilters();
            title = files.windowTitle();
            programsOnly = files.filter() & QDir::Executable;
            files.selectFile(editor);
            return int(QDialog::Accepted);
        });
        m_seam->dialogs.push_back([](QDialog &) { return int(QDialog::Rejected); });
        QString filter = QStringLiteral("*.exe|*.exe");
        QCOMPARE(m_shell->OpenDialog(nullptr, filter, QStringLiteral("Browse for Image Editor..."),
                                     QFileInfo(editor).path()),
                 editor);
        QCOMPARE(filters, QStringList{QStringLiteral("*.exe (*)")});
        QCOMPARE(title, QStringLiteral("Browse for Image Editor..."));
        QVERIFY(programsOnly);
        QCOMPARE(filter, QStringLiteral("*.exe%1*.exe%1").arg(QChar(0)));
        QString images = QStringLiteral("Pictures|*.bmp;*.jpg");
        QCOMPARE(m_shell->SaveDialog(nullptr, images, QStringLiteral("Save")), QString());
    }

    void cancelledFolderPickerIsEmpty()
    {
        m_seam->dialogs.push_back([](QDialog &) { return int(QDialog::Rejected); });
        QVERIFY(
            !m_shell->Folders(QStringLiteral("Browse for Start Directory..."), nullptr).isValid());
    }

    void menuShortcutsComeAndGo()
    {
        QVERIFY(m_shell->StartMenLnkCreate(QStringLiteral("Imagrove\\"), QStringLiteral("Imagrove"),
                                           QStringLiteral("/bin/sh"), QStringLiteral("-c true")));
        QFile entry(applications() + QStringLiteral("Imagrove/Imagrove.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains("\nExec=/bin/sh -c true\n"));
        QVERIFY(
            m_shell->StartMenuLinkChk(QStringLiteral("Imagrove\\"), QStringLiteral("Imagrove")));
        m_shell->StartMenuLnkDel(QStringLiteral("Imagrove\\"), QStringLiteral("Imagrove"));
        QVERIFY(
            !m_shell->StartMenuLinkChk(QStringLiteral("Imagrove\\"), QStringLiteral("Imagrove")));
        m_shell->StartMenuDelFldr(QStringLiteral("Imagrove"));
        QVERIFY(!QFileInfo::exists(applications() + QStringLiteral("Imagrove")));
    }

    void menuFolderIsRefusedOnlyOverAFile_data()
    {
        QTest::addColumn<QString>("standing"); // what is there first
        QTest::addColumn<bool>("result");
        QTest::newRow("nothing") << "" << true;
        QTest::newRow("a folder") << "folder" << true;
        QTest::newRow("a file") << "file" << false;
    }
    void menuFolderIsRefusedOnlyOverAFile()
    {
        QFETCH(QString, standing);
        QFETCH(bool, result);
        if (standing == QLatin1String("folder"))
            m_env->makeFolder(QStringLiteral("data/applications/Tools"));
        else if (standing == QLatin1String("file"))
            m_env->makeFile(QStringLiteral("data/applications/Tools"));
        QCOMPARE(m_shell->StartMenuCreateFldr(QStringLiteral("Tools")), result);
        QCOMPARE(QFileInfo(applications() + QStringLiteral("Tools")).isDir(), result);
    }

    void systemFolders()
    {
        QVERIFY(m_shell->GetTmpPath().endsWith(u'/'));
        QVERIFY(QFileInfo(m_shell->GetTmpPath()).isDir());
        QVERIFY(!m_shell->UserName().isEmpty());
        QVERIFY(QFileInfo(m_shell->GetWindowsDir()).isDir());
    }

    void runFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("opener");
        QTest::addColumn<QString>("message");
        QTest::newRow("no program for the type")
            << "data.zzz"
            << "docs" << false << "No application found for this file";
        QTest::newRow("missing file") << "gone.txt"
                                      << "docs" << false << "File Not Found";
        QTest::newRow("missing folder") << "notes.txt"
                                        << "nowhere" << false << "Invalid Path";
        QTest::newRow("opened") << "notes.txt"
                                << "docs" << true << "";
        QTest::newRow("a name with a colon is a file") << "we:ird.txt"
                                                       << "docs" << true << "";
        QTest::newRow("a missing one too") << "we:gone.txt"
                                           << "docs" << false << "File Not Found";
    }
    void runFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QFETCH(bool, opener);
        QFETCH(QString, message);
        m_env->makeFile(QStringLiteral("docs/notes.txt"), 10);
        m_env->makeFile(QStringLiteral("docs/data.zzz"), 10);
        m_env->makeFile(QStringLiteral("docs/we:ird.txt"), 10);
        if (opener) {
            m_env->makeFile(QStringLiteral("data/applications/reader.desktop"));
            QFile list(m_env->configHome() + QStringLiteral("/mimeapps.list"));
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write("[Default Applications]\ntext/plain=reader.desktop\n");
        }
        m_shell->RunFile(file, m_env->root() + u'/' + folder, 1);
        QCOMPARE(m_seam->messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(m_seam->started.size(), opener ? 1 : 0);
        if (opener)
            QCOMPARE(m_seam->started[0].last(), m_env->root() + u'/' + folder + u'/' + file);
    }

    void closingAWindowThatIsNotThereShowsNothing()
    {
        m_shell->CloseApp(QStringLiteral("No window has this title 7d1f"));
        QVERIFY(m_seam->messages.isEmpty());
    }

    void wallpaperIsRecordedThenSetWhereTheDesktopIsKnown_data()
    {
        QTest::addColumn<QByteArray>("desktop");
        QTest::addColumn<QString>("program");
        QTest::newRow("GNOME") << QByteArray("ubuntu:GNOME") << "gsettings";
        QTest::newRow("KDE") << QByteArray("KDE") << "plasma-apply-wallpaperimage";
        QTest::newRow("unknown") << QByteArray("twm") << "";
    }
    void wallpaperIsRecordedThenSetWhereTheDesktopIsKnown()
    {
        QFETCH(QByteArray, desktop);
        QFETCH(QString, program);
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        m_shell->SetDesktopImage(QStringLiteral("/pics/sky.jpg"), QStringLiteral("1"));
        qunsetenv("XDG_CURRENT_DESKTOP");
        QCOMPARE(m_seam->started.value(0).value(0), program);
        if (program == QLatin1String("gsettings"))
            QVERIFY(m_seam->started.contains(QStringList{"gsettings", "set",
                                                         "org.gnome.desktop.background",
                                                         "picture-options", "wallpaper"}));
        QFile registry(m_env->root() + QStringLiteral("/registry.reg"));
        QVERIFY(registry.open(QIODevice::ReadOnly));
        const QByteArray text = registry.readAll();
        QVERIFY(text.contains("\"TileWallpaper\"=\"1\""));
        QVERIFY(text.contains("\"Wallpaper\"=\"/pics/sky.jpg\""));
    }

    void menuItemGetsTwoPictures()
    {
        QMainWindow window;
        QMenu *view = window.menuBar()->addMenu(QStringLiteral("View"));
        view->addAction(QStringLiteral("First"));
        QAction *second = view->addAction(QStringLiteral("Second"));
        QPixmap off(16, 16), on(16, 16);
        off.fill(Qt::white);
        on.fill(Qt::black);
        m_shell->BMPonMenu(&window, off, on, 0, 1);
        QCOMPARE(second->icon().pixmap(16, QIcon::Normal, QIcon::On).toImage().pixelColor(4, 4),
                 QColor(Qt::black));
        QCOMPARE(second->icon().pixmap(16, QIcon::Normal, QIcon::Off).toImage().pixelColor(4, 4),
                 QColor(Qt::white));
    }
};

QTEST_MAIN(tst_shell)
#include "tst_shell.moc"
