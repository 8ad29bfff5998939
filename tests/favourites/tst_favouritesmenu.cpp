#include "core/SettingKeys.h"
#include "favourites/FavouritesStore.h"
#include "favourites/frmFavEd.h"
#include "WindowTest.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using favourites::Favourite;
using platform::Answer;

class tst_favouritesmenu : public WindowTest
{
    Q_OBJECT

private:
    QString m_a, m_b;

    QStringList menu(const browsesmall &window) const
    {
        QStringList captions;
        for (const QAction *item : window.mnuFav1())
            captions << item->text();
        return captions;
    }
    QList<Favourite> stored() const { return favourites::FavouritesStore(*m_settings).load(); }
    void store(const QList<Favourite> &list)
    {
        favourites::FavouritesStore favourites(*m_settings);
        for (const Favourite &favourite : list)
            favourites.add(favourite.name, favourite.folder);
    }

private Q_SLOTS:
    void init()
    {
        setUpWindowTest();
        m_a = m_env->makeFolder(QStringLiteral("a"));
        m_b = m_env->makeFolder(QStringLiteral("b"));
        core::keys::Startdir.save(*m_settings, m_a);
    }
    void cleanup() { QVERIFY2(tearDownWindowTest(), "a scripted answer was not used"); }

    void addingAndDeletingTheCurrentFolder()
    {
        auto window = makeWindow();
        QCOMPARE(menu(*window), QStringList{"No Favourites"});
        QVERIFY(!window->mnuFav1()[0]->isEnabled());
        // Refused answers write nothing.
        for (const std::optional<QString> &answer :
             {std::optional<QString>(), std::optional<QString>(QString()),
              std::optional<QString>(QStringLiteral("No Favourites"))})
            m_desktop->answerInput(answer);
        m_desktop->answerMessage(Answer::Ok);
        for (int i = 0; i < 3; ++i)
            window->mnuAdd->trigger();
        QCOMPARE(m_desktop->messages.last().caption, QStringLiteral("Illegal Name"));
        QVERIFY(stored().isEmpty());

        m_desktop->answerInput(QStringLiteral("Holidays"));
        window->mnuAdd->trigger();
        QCOMPARE(m_desktop->inputPrompts.last(),
                 QStringLiteral("Please input a name for this favourite"));
        QCOMPARE(stored(), (QList<Favourite>{{"Holidays", m_a}}));
        QCOMPARE(menu(*window), QStringList{"Holidays"});
        QCOMPARE(window->mnuAdd->text(), QStringLiteral("Delete this Favourite..."));
        // The caption follows the folder.
        window->Dir1->setPath(m_b);
        QCOMPARE(window->mnuAdd->text(), QStringLiteral("Add current Folder..."));
        window->Dir1->setPath(m_a);
        QCOMPARE(window->mnuAdd->text(), QStringLiteral("Delete this Favourite..."));

        m_desktop->answerMessage(Answer::Yes);
        window->mnuAdd->trigger();
        QCOMPARE(m_desktop->messages.last().caption, QStringLiteral("Delete Favourite?"));
        QVERIFY(stored().isEmpty());
        QCOMPARE(window->mnuAdd->text(), QStringLiteral("Add current Folder..."));
    }

    void openingFromTheMenuAndTheList_data()
    {
        QTest::addColumn<bool>("fromList");
        QTest::newRow("menu") << false;
        QTest::newRow("list") << true;
    }
    void openingFromTheMenuAndTheList()
    {
        QFETCH(bool, fromList);
        const QString gone = m_env->makeFolder(QStringLiteral("gone"));
        store({{"B", m_b}, {"Gone", gone}});
        auto window = makeWindow();
        if (fromList)
            QTest::mouseClick(window->pics[5], Qt::LeftButton);
        const auto open = [&](int index) {
            if (fromList)
                clickRow(window->FavList, index);
            else
                window->mnuFav1()[size_t(index)]->trigger();
        };
        open(0);
        QCOMPARE(window->Dir1->path(), m_b);
        QVERIFY(QDir(gone).removeRecursively());
        if (fromList) {
            // Reported; the favourite is kept.
            m_desktop->answerMessage(Answer::Ok);
            open(1);
            QCOMPARE(m_desktop->messages.last().text,
                     QStringLiteral("Invalid Favourite, the directory path could not be found!"));
            QCOMPARE(stored().size(), 2);
        } else {
            // Offered for deletion: No keeps it, Yes deletes it.
            m_desktop->answerMessage(Answer::No);
            m_desktop->answerMessage(Answer::Yes);
            open(1);
            QCOMPARE(stored().size(), 2);
            open(1);
            QCOMPARE(stored(), (QList<Favourite>{{"B", m_b}}));
            QCOMPARE(m_desktop->messages.last().text,
                     QStringLiteral("This favourite is invalid, delete it?"));
        }
        QCOMPARE(window->Dir1->path(), m_b);
    }

    void startUpCleansAndShowsThePanel_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("left");
        QTest::newRow("B and C") << "bc"
                                 << "AD";
        // D moves into B's slot, already walked, and is not looked at again.
        QTest::newRow("B and D") << "bd"
                                 << "ADC";
    }
    void startUpCleansAndShowsThePanel()
    {
        QFETCH(QString, removed);
        QFETCH(QString, left);
        QList<Favourite> four;
        for (const QChar letter : QStringLiteral("abcd"))
            four.append({QString(letter.toUpper()), m_env->makeFolder(QString(letter) + u'x')});
        store(four);
        for (const QChar letter : removed)
            QVERIFY(QDir(m_env->root() + u'/' + letter + u'x').removeRecursively());
        core::keys::DelFavs.save(*m_settings, QStringLiteral("1"));
        core::keys::Favlist.save(*m_settings, QStringLiteral("1"));
        auto window = makeWindow();
        QString names;
        for (const Favourite &favourite : stored())
            names += favourite.name;
        QCOMPARE(names, left);
        QVERIFY(!window->fraFavLab->isHidden());
        QVERIFY(window->Dir1->isHidden());
        QCOMPARE(window->FavList->count(), left.size());
        // The right button on the panel offers the Favourites menu.
        QTest::mouseClick(window->Label4, Qt::RightButton);
        QCOMPARE(m_desktop->popUps, QStringList{QStringLiteral("mnuFav")});
        QTest::mouseClick(window->pics[5], Qt::LeftButton);
        QVERIFY(!window->Dir1->isHidden());
        window->close();
        QCOMPARE(core::keys::Favlist.read(*m_settings), QStringLiteral("0"));
    }

    void aRenameThatCannotBeMadeChangesNothing_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("caption");
        QTest::newRow("unwritable store") << "First" << true << "Error Number: 75";
        QTest::newRow("the empty list's line") << "No Favourites" << false << "Illegal Name";
    }
    void aRenameThatCannotBeMadeChangesNothing()
    {
        QFETCH(QString, newName);
        QFETCH(bool, locked);
        QFETCH(QString, caption);
        store({{"A", m_a}});
        auto window = makeWindow();
        if (locked && !m_env->lockFolder())
            QSKIP("cannot act as an ordinary user here");
        bool stayed = false;
        QStringList shown;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto &manager = static_cast<favourites::frmFavEd &>(dialog);
            clickRow(manager.List1, 0);
            m_desktop->answerInput(newName);
            m_desktop->answerMessage(Answer::Ok);
            QTest::mouseClick(manager.cmdRename, Qt::LeftButton);
            stayed = manager.result() == 0;
            for (int row = 0; row < manager.List1->count(); ++row)
                shown << manager.List1->item(row)->text();
            return int(QDialog::Rejected);
        });
        window->mnuFavMan->trigger();
        QVERIFY(stayed);
        QCOMPARE(shown, QStringList{"A"});
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, caption);
        QCOMPARE(stored(), (QList<Favourite>{{"A", m_a}}));
        QVERIFY(!m_state->SecondaryWindowOpen);
    }

    void managerChecksDeletesAndRenamesInPlace()
    {
        const QString c = m_env->makeFolder(QStringLiteral("c"));
        store({{"A", m_a}, {"B", m_b}, {"C", c}});
        QVERIFY(QDir(m_b).removeRecursively());
        auto window = makeWindow();
        QStringList shownAfterRename;
        m_desktop->answerModal([&](QDialog &dialog) {
            auto *manager = qobject_cast<favourites::frmFavEd *>(&dialog);
            if (!manager)
                return int(QDialog::Rejected);
            [&] {
                QVERIFY(m_state->SecondaryWindowOpen);
                QCOMPARE(manager->List2->count(), 3);
                QVERIFY(!manager->cmdRename->isEnabled());
                // The two lists select together.
                clickRow(manager->List2, 2);
                QCOMPARE(manager->List1->currentRow(), 2);
                // Check Exists on a removed folder, then No to the second question.
                clickRow(manager->List1, 1);
                QCOMPARE(manager->List2->currentRow(), 1);
                m_desktop->answerMessage(Answer::Yes);
                m_desktop->answerMessage(Answer::No);
                QTest::mouseClick(manager->cmdCheck, Qt::LeftButton);
                QCOMPARE(m_desktop->messages.last().caption,
                         QStringLiteral("Imagrove Confirmation"));
                QCOMPARE(stored().size(), 3);
                // Rename the first: it keeps its row here, and moves to the end in the store.
                clickRow(manager->List1, 0);
                m_desktop->answerInput(QStringLiteral("First"));
                QTest::mouseClick(manager->cmdRename, Qt::LeftButton);
                // A refused one (the name is taken) moves nothing.
                clickRow(manager->List1, 2);
                m_desktop->answerInput(QStringLiteral("C"));
                m_desktop->answerMessage(Answer::Ok);
                QTest::mouseClick(manager->cmdRename, Qt::LeftButton);
                for (int row = 0; row < manager->List1->count(); ++row)
                    shownAfterRename << manager->List1->item(row)->text();
                // Delete the removed one, now shown last.
                clickRow(manager->List1, 2);
                m_desktop->answerMessage(Answer::Yes);
                QTest::mouseClick(manager->cmdDelete, Qt::LeftButton);
                QTest::mouseClick(manager->cmdOK, Qt::LeftButton);
                QCOMPARE(manager->result(), int(QDialog::Accepted));
            }();
            return dialog.result();
        });
        window->mnuFavMan->trigger();
        QCOMPARE(shownAfterRename, (QStringList{"First", "C", "B"}));
        QCOMPARE(stored(),
                 (QList<Favourite>{{"C", m_env->root() + QStringLiteral("/c")}, {"First", m_a}}));
        QCOMPARE(menu(*window), (QStringList{"C", "First"}));
        QVERIFY(!m_state->SecondaryWindowOpen);
        // File > Preferences opens the same manager.
        m_desktop->answerModal([](QDialog &dialog) {
            return qobject_cast<favourites::frmFavEd *>(&dialog) ? int(QDialog::Accepted)
                                                                 : int(QDialog::Rejected);
        });
        window->mnuEditFavs->trigger();
        QCOMPARE(m_desktop->modalsRun, 2);
    }
};

QTEST_MAIN(tst_favouritesmenu)
#include "tst_favouritesmenu.moc"
