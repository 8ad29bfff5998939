#pragma once

#include "platform/Desktop.h"

#include <deque>
#include <functional>
#include <QList>
#include <QString>

// A desktop that shows nothing: every call is recorded and answered from a
// script. A call the test did not script fails the running test.
class FakeDesktop final : public platform::Desktop
{
public:
    struct Message
    {
        QString text;
        platform::Icon icon;
        platform::Buttons buttons;
        QString caption;
        QStringList visibleWindows; // the windows on screen as it was shown
    };

    // Scripting.
    void answerMessage(platform::Answer answer) { m_messageAnswers.push_back(answer); }
    void answerInput(std::optional<QString> text) { m_inputAnswers.push_back(std::move(text)); }
    void answerColour(std::optional<QColor> colour) { m_colourAnswers.push_back(colour); }
    void answerFile(std::optional<QString> file) { m_fileAnswers.push_back(std::move(file)); }
    void answerFolder(std::optional<QString> folder)
    {
        m_folderAnswers.push_back(std::move(folder));
    }
    void answerModal(std::function<int(QDialog &)> filler)
    {
        m_modalAnswers.push_back(std::move(filler));
    }
    void setShellOpenResult(bool result) { m_shellOpenResult = result; }
    void setStartProgramResult(bool result) { m_startResult = result; }
    void setScreenSizeTwips(QSize size) { m_screen = size; }
    void setTrayAvailable(bool available) { m_tray = available; }

    // What was asked.
    QList<Message> messages;
    QStringList inputPrompts;
    QStringList shellOpened;
    QList<QStringList> programsStarted; // program first, then its arguments
    QStringList popUps;                 // the object names of the menus popped up
    int coloursAsked = 0;
    int modalsRun = 0;

    // True when every scripted answer was used.
    bool allAnswersUsed() const;

    std::optional<QColor> chooseColour(QWidget *owner, const QColor &initial) override;
    std::optional<QString> openFileDialog(QWidget *owner, const QString &title,
                                          const QString &folder, const QString &filter) override;
    std::optional<QString> saveFileDialog(QWidget *owner, const QString &title,
                                          const QString &folder, const QString &filter) override;
    std::optional<QString> chooseFolder(QWidget *owner, const QString &title,
                                        const QString &start) override;
    bool shellOpen(const QString &address, const QString &workingFolder) override;
    using platform::Desktop::startProgram;
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override;
    int runModal(QDialog &dialog) override;
    void popUp(QMenu &menu, const QPoint &at) override;
    QSize screenSizeTwips() const override { return m_screen; }
    // The real tray's presence unless a test says otherwise.
    bool trayAvailable() const override
    {
        return m_tray ? *m_tray : platform::Desktop::trayAvailable();
    }

protected:
    platform::Answer showMessage(const QString &text, platform::Icon icon,
                                 platform::Buttons buttons, const QString &caption) override;
    std::optional<QString> showInput(const QString &prompt, const QString &caption,
                                     const QString &defaultText) override;

private:
    static void unexpected(const QString &what);

    std::deque<platform::Answer> m_messageAnswers;
    std::deque<std::optional<QString>> m_inputAnswers;
    std::deque<std::optional<QColor>> m_colourAnswers;
    std::deque<std::optional<QString>> m_fileAnswers;
    std::deque<std::optional<QString>> m_folderAnswers;
    std::deque<std::function<int(QDialog &)>> m_modalAnswers;
    bool m_shellOpenResult = true;
    bool m_startResult = true;
    QSize m_screen{19200, 15360};
    std::optional<bool> m_tray;
};
