#pragma once

#include "app/browsesmall.h"
#include "ComponentTest.h"
#include "core/SettingKeys.h"

#include <QTest>

// A test of the assembled main window.
class WindowTest : public ComponentTest
{
protected:
    QString m_program;

    void setUpWindowTest()
    {
        setUpComponentTest();
        m_program = m_env->makeFolder(QStringLiteral("program"));
        // A user who accepted the licence and is not upgrading.
        core::keys::License.save(*m_settings, QStringLiteral("0"));
        core::keys::Updated.save(*m_settings, QStringLiteral("1"));
    }
    bool tearDownWindowTest() { return tearDownComponentTest(); }

    std::unique_ptr<browsesmall> makeWindow(const QString &commandLine = {},
                                            platform::PictureCache *cache = nullptr)
    {
        auto window = std::make_unique<browsesmall>(*m_settings, *m_state, *m_desktop,
                                                    StartupInfo{m_program, commandLine, cache});
        window->start();
        return window;
    }
};
