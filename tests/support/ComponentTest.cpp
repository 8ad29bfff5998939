#include "ComponentTest.h"

#include <QFile>
#include <QListWidget>
#include <QTest>

void ComponentTest::setUpComponentTest()
{
    m_env = std::make_unique<TestEnvironment>();
    m_settings = std::make_unique<core::SettingsStore>();
    m_state = std::make_unique<core::AppState>();
    m_desktop = std::make_unique<FakeDesktop>();
    m_root = std::make_unique<QWidget>();
    m_root->resize(800, 600);
}

bool ComponentTest::tearDownComponentTest()
{
    m_root.reset();
    const bool used = m_desktop->allAnswersUsed();
    m_desktop.reset();
    m_env.reset();
    return used;
}

QString ComponentTest::fixture(const QString &relative)
{
    return QStringLiteral(FIXTURES_DIR "/") + relative;
}

bool ComponentTest::copyFixture(const QString &relative, const QString &toFile)
{
    return QFile::copy(fixture(relative), toFile);
}

void ComponentTest::clickRow(QListWidget *list, int row, Qt::MouseButton button)
{
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), button, {}, at);
}
