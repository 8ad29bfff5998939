#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "FakeDesktop.h"
#include "TestEnvironment.h"

#include <memory>
#include <QObject>
#include <QWidget>

// What a test of one component needs: private folders, a settings store,
// program state, a scripted desktop, and a window to parent its controls.
class ComponentTest : public QObject
{
protected:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<core::SettingsStore> m_settings;
    std::unique_ptr<core::AppState> m_state;
    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<QWidget> m_root;

    void setUpComponentTest();
    // False when a scripted answer was left over.
    bool tearDownComponentTest();

    static QString fixture(const QString &relative);
    // Copies a fixture into a folder of the test's tree.
    static bool copyFixture(const QString &relative, const QString &toFile);
    // Clicks a list's entry as a user does.
    static void clickRow(class QListWidget *list, int row, Qt::MouseButton button = Qt::LeftButton);
};
