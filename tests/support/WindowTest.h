#pragma once

#include "app/AppState.h"
#include "app/browsesmall.h"
#include "app/SettingsStore.h"
#include "FakeDesktop.h"
#include "TestEnvironment.h"

#include <memory>
#include <QObject>
#include <QTest>

// What a test of the main window needs: private folders, a settings store,
// program state, a scripted desktop, and a way to start the window.
class WindowTest : public QObject
{
protected:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<core::SettingsStore> m_settings;
    std::unique_ptr<core::AppState> m_state;
    std::unique_ptr<FakeDesktop> m_desktop;
    QString m_program;

    void setUpWindowTest()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_settings = std::make_unique<core::SettingsStore>();
        m_state = std::make_unique<core::AppState>();
        m_desktop = std::make_unique<FakeDesktop>();
        m_program = m_env->makeFolder(QStringLiteral("program"));
    }

    // False when a scripted answer was left over.
    bool tearDownWindowTest()
    {
        const bool used = m_desktop->allAnswersUsed();
        m_desktop.reset();
        m_env.reset();
        return used;
    }

    std::unique_ptr<browsesmall> makeWindow(const QString &commandLine = {})
    {
        auto window = std::make_unique<browsesmall>(*m_settings, *m_state, *m_desktop,
                                                    StartupInfo{m_program, commandLine});
        window->Form_Load();
        return window;
    }
};
