#include "BrowserHarness.h"
#include "core/SettingKeys.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <QWindow>

class tst_navigation : public ComponentTest
{
    Q_OBJECT

private:
    QString m_pictures;
    browser::FolderNavigation::Controls m_c;
    StubPictures m_stub;
    StubFavourites m_favourites;

    void start(const QString &folder)
    {
        m_c = navigationControls(m_root.get());
        new browser::FolderNavigation(m_c, *m_settings, *m_desktop, m_stub, m_favourites,
                                      m_root.get());
        m_c.Dir1->setPath(folder);
        m_root->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_root.get()));
    }
    QStringList entries() const
    {
        QStringList names;
        for (int i = 0; i < m_c.File1->listCount(); ++i)
            names << m_c.File1->list(i);
        return names;
    }
    // The tree's row of a folder's entry, as the list shows it.
    int rowOf(const QString &folder) const
    {
        const int ancestors = m_c.Dir1->count() - m_c.Dir1->listCount();
        for (int row = 0; row < m_c.Dir1->count(); ++row) {
            if (m_c.Dir1->list(row - ancestors) == folder)
                return row;
        }
        return -1;
    }
    // A press as the window system delivers it, so double-clicks are made too.
    void pressRow(int row, bool doubleClick = false)
    {
        const QPoint at = m_c.Dir1->viewport()->mapTo(
            m_root.get(), m_c.Dir1->visualItemRect(m_c.Dir1->item(row)).center());
        if (doubleClick)
            QTest::mouseDClick(m_root->windowHandle(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(m_root->windowHandle(), Qt::LeftButton, {}, at);
    }

private Q_SLOTS:
    void init()
    {
        setUpComponentTest();
        m_pictures = m_env->makeFolder(QStringLiteral("My Pictures"));
        for (const char *name :
             {"a.bmp", "b.jpg", "c.gif", "d.wmf", "e.emf", "f.ico", "g.cur", "notes.txt"})
            m_env->makeFile(QStringLiteral("My Pictures/") + QLatin1String(name), 10);
        // A sibling first, so the entry clicked sits above a deeper one once opened.
        m_env->makeFolder(QStringLiteral("My Pictures/aaa"));
        m_env->makeFolder(QStringLiteral("My Pictures/empty/deeper"));
    }
    void cleanup() { QVERIFY2(tearDownComponentTest(), "a scripted answer was not used"); }

    void fileTypesChooseTheList_data()
    {
        QTest::addColumn<QList<int>>("toggled");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all unchecked leaves BMP")
            << QList<int>{0, 1, 2, 3, 4, 5, 6} << QStringList{"a.bmp"};
        QTest::newRow("EMF off keeps WMF")
            << QList<int>{1} << QStringList{"a.bmp", "b.jpg", "c.gif", "d.wmf", "f.ico", "g.cur"};
        QTest::newRow("Jpeg off and on again")
            << QList<int>{3, 3}
            << QStringList{"a.bmp", "b.jpg", "c.gif", "d.wmf", "e.emf", "f.ico", "g.cur"};
    }
    void fileTypesChooseTheList()
    {
        QFETCH(QList<int>, toggled);
        QFETCH(QStringList, listed);
        start(m_pictures);
        for (int index : toggled)
            m_c.mnuFT[size_t(index)]->trigger();
        QCOMPARE(entries(), listed);
        m_c.mnuImages->trigger();
        QCOMPARE(entries().size(), 7);
        for (QAction *item : m_c.mnuFT)
            QVERIFY(item->isChecked());
    }

    // "Other Images" adds the other formats after the checked ones, and is kept.
    void otherImagesAreListedWhenOn_data()
    {
        QTest::addColumn<bool>("savedOn");
        QTest::addColumn<bool>("press");
        QTest::newRow("off") << false << false;
        QTest::newRow("turned on") << false << true;
        QTest::newRow("on when started") << true << false;
        QTest::newRow("turned off") << true << true;
    }
    void otherImagesAreListedWhenOn()
    {
        QFETCH(bool, savedOn);
        QFETCH(bool, press);
        for (const char *name : {"h.png", "i.WEBP", "j.tif", "k.tiff", "l.svg", "m.jpeg", "n.jfif"})
            m_env->makeFile(QStringLiteral("My Pictures/") + QLatin1String(name), 10);
        core::keys::OtherImages.save(*m_settings, savedOn ? "1" : "0");
        start(m_pictures);
        if (press)
            m_c.mnuOther->trigger();
        const bool on = savedOn != press;
        QCOMPARE(m_c.mnuOther->isChecked(), on);
        QCOMPARE(core::keys::OtherImages.read(*m_settings), on ? "1" : "0");
        m_c.mnuFT[1]->trigger(); // EMF off
        const QStringList others{"h.png", "i.WEBP", "j.tif", "k.tiff", "l.svg", "m.jpeg", "n.jfif"};
        QStringList seven{"a.bmp", "b.jpg", "c.gif", "d.wmf", "f.ico", "g.cur"};
        QCOMPARE(entries(), on ? seven + others : seven);
        m_c.mnuImages->trigger();
        seven.insert(4, QStringLiteral("e.emf"));
        QCOMPARE(entries(), on ? seven + others : seven);
    }

    void aCutNameHasItsWholeTextInATip()
    {
        const QString cut =
            QStringLiteral("a picture whose name is far too long for this list.bmp");
        m_env->makeFile(QStringLiteral("My Pictures/") + cut, 10);
        start(m_pictures);
        for (const QString &name : {QStringLiteral("b.jpg"), cut}) {
            const QRect rect = m_c.File1->visualItemRect(m_c.File1->findItems(name, {}).first());
            QHelpEvent help(QEvent::ToolTip, rect.center(),
                            m_c.File1->viewport()->mapToGlobal(rect.center()));
            QApplication::sendEvent(m_c.File1->viewport(), &help);
            QCOMPARE(QToolTip::text(), name == cut ? cut : QString());
        }
    }

    void refreshRereadsTheFolder()
    {
        start(m_pictures);
        m_env->makeFile(QStringLiteral("My Pictures/h.bmp"), 10);
        m_env->makeFolder(QStringLiteral("My Pictures/new"));
        m_c.mnuRefresh->trigger();
        QCOMPARE(entries().size(), 8);
        QVERIFY(rowOf(m_pictures + QStringLiteral("/new")) >= 0);
    }

    void onePressOpensAndDoubleClickGoesNoDeeper_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("press") << false;
        QTest::newRow("double-click") << true;
    }
    void onePressOpensAndDoubleClickGoesNoDeeper()
    {
        QFETCH(bool, doubleClick);
        start(m_pictures);
        QVERIFY(m_c.previous->isEnabled());
        const QString empty = m_pictures + QStringLiteral("/empty");
        pressRow(rowOf(empty), doubleClick);
        QCOMPARE(m_c.Dir1->path(), empty);
        QCOMPARE(m_c.Dir1->listIndex(), -1); // the opened folder, not the entry below it
        QCOMPARE(m_c.File1->listCount(), 0);
        QVERIFY(!m_c.previous->isEnabled());
        QCOMPARE(m_stub.nameOf(m_c.next->pixmap()), browser::ToolbarPicture::NextBw);
        // Enter opens the selected entry.
        m_c.Dir1->setCurrentRow(rowOf(empty + QStringLiteral("/deeper")));
        QTest::keyClick(m_c.Dir1, Qt::Key_Return);
        QCOMPARE(m_c.Dir1->path(), empty + QStringLiteral("/deeper"));
    }

    void vanishedFolderGivesTheAccessError()
    {
        start(m_pictures);
        const int row = rowOf(m_pictures + QStringLiteral("/empty"));
        QVERIFY(QDir(m_pictures + QStringLiteral("/empty")).removeRecursively());
        m_desktop->answerMessage(platform::Answer::Ok);
        pressRow(row);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].text,
                 QStringLiteral("This Directory appears to be invalid or inaccessible."));
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Access Error"));
        QCOMPARE(m_c.Dir1->path(), m_pictures);
        QCOMPARE(m_c.Dir1->listIndex(), -1);
        QCOMPARE(m_c.File1->listCount(), 7);
    }

    void unavailableDriveKeepsTheList()
    {
        start(m_pictures);
        m_c.Drive1->addItem(QStringLiteral("/media/nodisc"),
                            m_env->root() + QStringLiteral("/nodisc"));
        m_desktop->answerMessage(platform::Answer::Ok);
        m_c.Drive1->setCurrentIndex(m_c.Drive1->count() - 1);
        QCOMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].text, QStringLiteral("Drive unavailable"));
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Problem"));
        QCOMPARE(m_desktop->messages[0].icon, platform::Icon::Exclamation);
        QCOMPARE(m_c.Dir1->path(), m_pictures);
        QCOMPARE(m_c.Drive1->currentText(), QStringLiteral("/media/nodisc"));
    }

    void drivePickedOpensItsLastFolder()
    {
        start(m_pictures);
        m_c.Drive1->addItem(QStringLiteral("again"), m_c.Drive1->drive());
        m_c.Drive1->setCurrentIndex(m_c.Drive1->count() - 1);
        QCOMPARE(m_c.Dir1->path(), m_pictures);
    }

    void driveListFollowsTheFolderOntoAnotherVolume()
    {
        QString other;
        for (const QString &root : platform::volumes::roots()) {
            const QString parent = QFileInfo(root).path();
            if (root != QLatin1String("/") && QFileInfo(parent).isReadable()) {
                other = root;
                break;
            }
        }
        if (other.isEmpty())
            QSKIP("this machine has a single volume");
        const QString parent = QFileInfo(other).path();
        start(parent);
        QCOMPARE(m_c.Drive1->drive(), platform::volumes::rootOf(parent));
        pressRow(rowOf(other));
        QCOMPARE(m_c.Dir1->path(), other);
        QCOMPARE(m_c.Drive1->drive(), other);
        pressRow(rowOf(parent));
        QCOMPARE(m_c.Drive1->drive(), platform::volumes::rootOf(parent));
        QVERIFY(m_desktop->messages.isEmpty());
    }

    void rightButtonsOfferTheirMenus()
    {
        m_favourites.menu.setObjectName(QStringLiteral("mnuFav"));
        start(m_pictures);
        clickRow(m_c.File1, 0, Qt::RightButton);
        clickRow(m_c.Dir1, 0, Qt::RightButton);
        QCOMPARE(m_desktop->popUps,
                 (QStringList{QStringLiteral("mnuFTs"), QStringLiteral("mnuFav")}));
    }
};

QTEST_MAIN(tst_navigation)
#include "tst_navigation.moc"
