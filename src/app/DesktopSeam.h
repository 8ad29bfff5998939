#pragma once

#include "pantrel.h"
#include "platform/Desktop.h"

// The component library's windows, messages and program starts go through
// the program's desktop services, like the program's own.
class DesktopSeam final : public pantrel::UiSeam
{
public:
    explicit DesktopSeam(platform::Desktop &desktop) : m_desktop(desktop) {}

    int runModal(QDialog &dialog) override { return m_desktop.runModal(dialog); }
    void message(const QString &text, const QString &caption) override
    {
        m_desktop.msgBox(text, platform::Icon::Information, platform::Buttons::Ok, caption);
    }
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override
    {
        return m_desktop.startProgram(program, arguments, workingFolder);
    }

private:
    platform::Desktop &m_desktop;
};
