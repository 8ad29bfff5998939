#include "pantrel.h"
#include "TestEnvironment.h"

#include <deque>
#include <functional>
#include <memory>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace pantrel;

namespace {

// Answers the picker from a script; an unscripted window or message fails.
class ScriptedSeam final : public UiSeam
{
public:
    std::deque<std::function<void(QDialog &)>> windows;
    QStringList messages;
    std::deque<bool> expectMessage;

    int runModal(QDialog &dialog) override
    {
        if (windows.empty()) {
            QTest::qFail("unexpected picker window", __FILE__, __LINE__);
            return QDialog::Rejected;
        }
        auto fill = std::move(windows.front());
        windows.pop_front();
        fill(dialog);
        return dialog.result();
    }
    bool startProgram(const QString &, const QStringList &, const QString &) override
    {
        QTest::qFail("unexpected program start", __FILE__, __LINE__);
        return false;
    }
    void message(const QString &text, const QString &) override
    {
        messages << text;
        if (expectMessage.empty())
            QTest::qFail(qPrintable(QStringLiteral("unexpected message: ") + text), __FILE__,
                         __LINE__);
        else
            expectMessage.pop_front();
    }
};

struct Releaser
{
    void operator()(IUnknown *object) const { object->Release(); }
};

std::unique_ptr<_clsReg_n_FileAssoc, Releaser> makeAssoc()
{
    IClassFactory *factory = nullptr;
    DllGetClassObject(CLSID_clsReg_n_FileAssoc, IID_IClassFactory,
                      reinterpret_cast<void **>(&factory));
    void *object = nullptr;
    factory->CreateInstance(nullptr, IID_clsReg_n_FileAssoc, &object);
    factory->Release();
    return std::unique_ptr<_clsReg_n_FileAssoc, Releaser>(
        static_cast<_clsReg_n_FileAssoc *>(object));
}

// Opens a folder in the picker through its folder list.
bool openFolder(QDialog &dialog, const QString &folder)
{
    auto *dirs = dialog.findChild<QListWidget *>(QStringLiteral("Dir1"));
    auto *item = new QListWidgetItem(folder, dirs);
    item->setData(Qt::UserRole + 1, folder);
    Q_EMIT dirs->itemActivated(item);
    return true;
}

QStringList files(QDialog &dialog)
{
    QStringList names;
    auto *list = dialog.findChild<QListWidget *>(QStringLiteral("File1"));
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void choose(QDialog &dialog, const QString &name)
{
    auto *list = dialog.findChild<QListWidget *>(QStringLiteral("File1"));
    const auto found = list->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    list->setCurrentItem(found.first());
}

void press(QDialog &dialog, const char *button)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_picker : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedSeam> m_seam;
    QString m_programs;

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_seam = std::make_unique<ScriptedSeam>();
        PantrelSetUiSeam(m_seam.get());
        m_programs = m_env->makeFolder(QStringLiteral("bin"));
        for (const char *name : {"viewer.exe", "notes.txt", "EDITOR.EXE", "paint"})
            m_env->makeFile(QStringLiteral("bin/") + QLatin1String(name));
    }
    void cleanup()
    {
        QVERIFY(m_seam->windows.empty());
        PantrelSetUiSeam(nullptr);
        m_seam.reset();
        m_env.reset();
    }

    void okAfterAnEarlierCancel()
    {
        auto assoc = makeAssoc();
        const QVariant nameBefore = assoc->ProgramFN();
        m_seam->windows.push_back([&](QDialog &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Pick a viewer"));
            QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                     QStringLiteral("Choose the program"));
            openFolder(dialog, m_programs);
            QCOMPARE(files(dialog), (QStringList{"EDITOR.EXE", "viewer.exe"}));
            choose(dialog, QStringLiteral("viewer.exe"));
            press(dialog, "cmdCancel");
        });
        QVERIFY(!assoc->ShowPrograms(QStringLiteral("Pick a viewer"),
                                     QStringLiteral("Choose the program"),
                                     QStringLiteral("*.exe")));
        QCOMPARE(assoc->ProgramFN(), nameBefore);

        m_seam->windows.push_back([&](QDialog &dialog) {
            openFolder(dialog, m_programs);
            choose(dialog, QStringLiteral("EDITOR.EXE"));
            press(dialog, "cmdOK");
        });
        QVERIFY(assoc->ShowPrograms(QStringLiteral("Pick"), QString(), QStringLiteral("*.exe")));
        QCOMPARE(assoc->ProgramFN(), QVariant(QStringLiteral("EDITOR.EXE")));
        QCOMPARE(assoc->ProgramFP(), QVariant(m_programs));
    }

    void okWithNothingSelectedIsNoChoice()
    {
        auto assoc = makeAssoc();
        m_seam->windows.push_back([&](QDialog &dialog) {
            openFolder(dialog, m_programs);
            choose(dialog, QStringLiteral("paint"));
            auto *list = dialog.findChild<QListWidget *>(QStringLiteral("File1"));
            list->clearSelection();
            press(dialog, "cmdOK");
        });
        QVERIFY(!assoc->ShowPrograms(QStringLiteral("Pick"), QString(), QStringLiteral("*")));
    }

    void closingByTheFrameIsNoChoice()
    {
        auto assoc = makeAssoc();
        m_seam->windows.push_back([&](QDialog &dialog) {
            openFolder(dialog, m_programs);
            choose(dialog, QStringLiteral("paint"));
            press(dialog, "cmdOK");
        });
        QVERIFY(assoc->ShowPrograms(QStringLiteral("Pick"), QString(), QStringLiteral("*")));
        m_seam->windows.push_back([&](QDialog &dialog) {
            // The picker opens where the last choice was made.
            QCOMPARE(files(dialog).size(), 4);
            choose(dialog, QStringLiteral("notes.txt"));
            dialog.close();
        });
        QVERIFY(!assoc->ShowPrograms(QStringLiteral("Pick"), QString(), QStringLiteral("*")));
        QCOMPARE(assoc->ProgramFN(), QVariant(QStringLiteral("paint")));
    }

    void doubleClickChoosesLikeOk()
    {
        auto assoc = makeAssoc();
        m_seam->windows.push_back([&](QDialog &dialog) {
            openFolder(dialog, m_programs);
            auto *list = dialog.findChild<QListWidget *>(QStringLiteral("File1"));
            choose(dialog, QStringLiteral("viewer.exe"));
            Q_EMIT list->itemDoubleClicked(list->currentItem());
        });
        QVERIFY(assoc->ShowPrograms(QStringLiteral("Pick"), QString(), QStringLiteral("*.EXE")));
        QCOMPARE(assoc->ProgramFN(), QVariant(QStringLiteral("viewer.exe")));
    }

    void unavailableDriveKeepsTheFolder()
    {
        auto assoc = makeAssoc();
        m_seam->expectMessage.push_back(true);
        m_seam->windows.push_back([&](QDialog &dialog) {
            openFolder(dialog, m_programs);
            auto *drives = dialog.findChild<QComboBox *>(QStringLiteral("Drive1"));
            drives->addItem(QStringLiteral("/media/nodisc"),
                            m_env->root() + QStringLiteral("/nodisc"));
            drives->setCurrentIndex(drives->count() - 1);
            QCOMPARE(files(dialog).size(), 4);
            press(dialog, "cmdCancel");
        });
        QVERIFY(!assoc->ShowPrograms(QStringLiteral("Pick"), QString(), QStringLiteral("*")));
        QCOMPARE(m_seam->messages, QStringList{QStringLiteral("Drive unavailable!")});
    }
};

QTEST_MAIN(tst_picker)
#include "tst_picker.moc"
