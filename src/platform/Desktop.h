#pragma once

#include <optional>
#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

class QDialog;
class QMenu;
class QPoint;
class QWidget;

namespace platform {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// The desktop services the windows use. Everything that would block on a
// person (boxes, dialogs) or reach outside the program (shell-open, program
// start) goes through here, so tests can answer it from a script.
class Desktop
{
public:
    static QString programTitle() { return QStringLiteral("Imagrove"); }

    virtual ~Desktop() = default;

    // An empty caption means the program's title.
    Answer msgBox(const QString &text, Icon icon, Buttons buttons, const QString &caption = {});
    // Empty optional when cancelled.
    std::optional<QString> inputBox(const QString &prompt, const QString &caption = {},
                                    const QString &defaultText = {});

    virtual std::optional<QColor> chooseColour(QWidget *owner, const QColor &initial) = 0;
    virtual std::optional<QString> openFileDialog(QWidget *owner, const QString &title,
                                                  const QString &folder, const QString &filter) = 0;
    virtual std::optional<QString> saveFileDialog(QWidget *owner, const QString &title,
                                                  const QString &folder, const QString &filter) = 0;
    virtual std::optional<QString> chooseFolder(QWidget *owner, const QString &title,
                                                const QString &start) = 0;
    // Opens a document, web or mail address with its associated program.
    virtual bool shellOpen(const QString &address, const QString &workingFolder) = 0;
    // Starts a program without waiting for it, in the working folder when given.
    virtual bool startProgram(const QString &program, const QStringList &arguments,
                              const QString &workingFolder) = 0;
    bool startProgram(const QString &program, const QStringList &arguments)
    {
        return startProgram(program, arguments, QString());
    }
    // Runs a modal dialog and returns its result code.
    virtual int runModal(QDialog &dialog) = 0;
    // Pops a menu up at a screen position without waiting for a choice.
    virtual void popUp(QMenu &menu, const QPoint &at);
    virtual QSize screenSizeTwips() const = 0;
    // A system tray is there to hold an icon (many Wayland and tiling
    // desktops have none).
    virtual bool trayAvailable() const;

protected:
    virtual Answer showMessage(const QString &text, Icon icon, Buttons buttons,
                               const QString &caption) = 0;
    virtual std::optional<QString> showInput(const QString &prompt, const QString &caption,
                                             const QString &defaultText) = 0;
};

// The real desktop, through Qt.
class QtDesktop final : public Desktop
{
public:
    std::optional<QColor> chooseColour(QWidget *owner, const QColor &initial) override;
    std::optional<QString> openFileDialog(QWidget *owner, const QString &title,
                                          const QString &folder, const QString &filter) override;
    std::optional<QString> saveFileDialog(QWidget *owner, const QString &title,
                                          const QString &folder, const QString &filter) override;
    std::optional<QString> chooseFolder(QWidget *owner, const QString &title,
                                        const QString &start) override;
    bool shellOpen(const QString &address, const QString &workingFolder) override;
    using Desktop::startProgram;
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override;
    int runModal(QDialog &dialog) override;
    QSize screenSizeTwips() const override;

protected:
    Answer showMessage(const QString &text, Icon icon, Buttons buttons,
                       const QString &caption) override;
    std::optional<QString> showInput(const QString &prompt, const QString &caption,
                                     const QString &defaultText) override;
};

} // namespace platform
