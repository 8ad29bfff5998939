#include "core/PantrelComponents.h"
#include "pantrel.h"
#include "TestEnvironment.h"

#include <QTest>

class tst_components : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createsObjectsOnFirstUse()
    {
        TestEnvironment env;
        core::PantrelComponents components{QStringLiteral(PANTREL_PATH)};
        pantrel::_clsReg_n_FileAssoc *assoc = components.fileAssoc();
        QVERIFY(assoc);
        QCOMPARE(components.fileAssoc(), assoc); // one object for the program
        assoc->savestring(pantrel::HKEY_CURRENT_USER, QStringLiteral("Software\\Imagrove"),
                          QStringLiteral("x"), QStringLiteral("y"));
        QCOMPARE(assoc->getstring(pantrel::HKEY_CURRENT_USER, QStringLiteral("Software\\Imagrove"),
                                  QStringLiteral("x")),
                 QVariant(QStringLiteral("y")));
        QVERIFY(components.shell());
    }

    void missingLibraryGivesNoObjects()
    {
        TestEnvironment env;
        core::PantrelComponents components{env.root() + QStringLiteral("/libpantrel.so.1")};
        QVERIFY(!components.fileAssoc());
        QVERIFY(!components.shell());
    }

    void defaultPathIsBesideTheProgram()
    {
        QCOMPARE(core::PantrelComponents::defaultLibraryPath(QStringLiteral("/opt/imagrove")),
                 QStringLiteral("/opt/imagrove/libpantrel.so.1"));
    }
};

QTEST_GUILESS_MAIN(tst_components)
#include "tst_components.moc"
