#include "FakeDesktop.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QWidget>

namespace {

template <typename T> T takeFront(std::deque<T> &queue)
{
    T value{};
    std::swap(value, queue.front());
    queue.pop_front();
    return value;
}

} // namespace

void FakeDesktop::unexpected(const QString &what)
{
    QTest::qFail(qPrintable(QStringLiteral("Unexpected desktop call: ") + what), __FILE__,
                 __LINE__);
}

bool FakeDesktop::allAnswersUsed() const
{
    return m_messageAnswers.empty() && m_inputAnswers.empty() && m_colourAnswers.empty() &&
           m_fileAnswers.empty() && m_folderAnswers.empty() && m_modalAnswers.empty();
}

platform::Answer FakeDesktop::showMessage(const QString &text, platform::Icon icon,
                                          platform::Buttons buttons, const QString &caption)
{
    QStringList visible;
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            visible << window->objectName();
    }
    messages.append({text, icon, buttons, caption, visible});
    if (m_messageAnswers.empty()) {
        unexpected(QStringLiteral("message box \"%1\" (%2)").arg(text, caption));
        return platform::Answer::Cancel;
    }
    return takeFront(m_messageAnswers);
}

std::optional<QString> FakeDesktop::showInput(const QString &prompt, const QString &,
                                              const QString &)
{
    inputPrompts << prompt;
    if (m_inputAnswers.empty()) {
        unexpected(QStringLiteral("input box \"%1\"").arg(prompt));
        return std::nullopt;
    }
    return takeFront(m_inputAnswers);
}

std::optional<QColor> FakeDesktop::chooseColour(QWidget *, const QColor &)
{
    ++coloursAsked;
    if (m_colourAnswers.empty()) {
        unexpected(QStringLiteral("colour dialog"));
        return std::nullopt;
    }
    return takeFront(m_colourAnswers);
}

std::optional<QString> FakeDesktop::openFileDialog(QWidget *, const QString &title, const QString &,
                                                   const QString &)
{
    if (m_fileAnswers.empty()) {
        unexpected(QStringLiteral("open dialog \"%1\"").arg(title));
        return std::nullopt;
    }
    return takeFront(m_fileAnswers);
}

std::optional<QString> FakeDesktop::saveFileDialog(QWidget *owner, const QString &title,
                                                   const QString &folder, const QString &filter)
{
    return openFileDialog(owner, title, folder, filter);
}

std::optional<QString> FakeDesktop::chooseFolder(QWidget *, const QString &title, const QString &)
{
    if (m_folderAnswers.empty()) {
        unexpected(QStringLiteral("folder dialog \"%1\"").arg(title));
        return std::nullopt;
    }
    return takeFront(m_folderAnswers);
}

bool FakeDesktop::shellOpen(const QString &address, const QString &)
{
    shellOpened << address;
    return m_shellOpenResult;
}

bool FakeDesktop::startProgram(const QString &program, const QStringList &arguments,
                               const QString &)
{
    programsStarted.append(QStringList{program} + arguments);
    return m_startResult;
}

void FakeDesktop::popUp(QMenu &menu, const QPoint &)
{
    popUps << menu.objectName();
}

int FakeDesktop::runModal(QDialog &dialog)
{
    ++modalsRun;
    if (m_modalAnswers.empty()) {
        unexpected(QStringLiteral("modal window \"%1\"").arg(dialog.objectName()));
        return QDialog::Rejected;
    }
    return takeFront(m_modalAnswers)(dialog);
}
