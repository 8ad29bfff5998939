#include "Desktop.h"

#include "Twips.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

namespace platform {

Answer Desktop::msgBox(const QString &text, Icon icon, Buttons buttons, const QString &caption)
{
    return showMessage(text, icon, buttons, caption.isEmpty() ? programTitle() : caption);
}

bool Desktop::trayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void Desktop::popUp(QMenu &menu, const QPoint &at)
{
    menu.popup(at);
}

std::optional<QString> Desktop::inputBox(const QString &prompt, const QString &caption,
                                         const QString &defaultText)
{
    return showInput(prompt, caption.isEmpty() ? programTitle() : caption, defaultText);
}

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer answerFor(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

} // namespace

Answer QtDesktop::showMessage(const QString &text, Icon icon, Buttons buttons,
                              const QString &caption)
{
    QMessageBox box(messageIcon(icon), caption, text, standardButtons(buttons),
                    QApplication::activeWindow());
    return answerFor(box.exec());
}

std::optional<QString> QtDesktop::showInput(const QString &prompt, const QString &caption,
                                            const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QColor> QtDesktop::chooseColour(QWidget *owner, const QColor &initial)
{
    const QColor colour = QColorDialog::getColor(initial, owner);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

std::optional<QString> QtDesktop::openFileDialog(QWidget *owner, const QString &title,
                                                 const QString &folder, const QString &filter)
{
    const QString file = QFileDialog::getOpenFileName(owner, title, folder, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> QtDesktop::saveFileDialog(QWidget *owner, const QString &title,
                                                 const QString &folder, const QString &filter)
{
    const QString file = QFileDialog::getSaveFileName(owner, title, folder, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> QtDesktop::chooseFolder(QWidget *owner, const QString &title,
                                               const QString &start)
{
    const QString folder = QFileDialog::getExistingDirectory(owner, title, start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

namespace {

// Whether the desktop names a program for the file's type or a type it
// derives from (a log file is plain text), or for the address's scheme.
bool hasOpener(const QUrl &url)
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true; // nothing to ask: the opener itself decides
    QStringList types;
    if (url.isLocalFile()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(url.toLocalFile());
        types << type.name() << type.allAncestors();
    } else {
        types << QStringLiteral("x-scheme-handler/") + url.scheme();
        // With no handler named, the opener falls back to the browsers it knows.
        if (url.scheme().startsWith(QLatin1String("http"))) {
            if (qEnvironmentVariableIsSet("BROWSER"))
                return true;
            for (const char *browser : {"x-www-browser", "www-browser", "sensible-browser",
                                        "firefox", "chromium", "google-chrome", "lynx", "w3m"}) {
                if (!QStandardPaths::findExecutable(QLatin1String(browser)).isEmpty())
                    return true;
            }
        }
    }
    for (const QString &name : types) {
        QProcess process;
        process.start(query, {QStringLiteral("query"), QStringLiteral("default"), name});
        if (process.waitForFinished(5000) && !process.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
}

} // namespace

bool QtDesktop::shellOpen(const QString &address, const QString &workingFolder)
{
    QUrl url(address);
    if (url.scheme().isEmpty() || url.scheme().size() == 1) {
        const QFileInfo info(QDir(workingFolder), address);
        url = QUrl::fromLocalFile(info.absoluteFilePath());
    }
    // The opener starts in the background and cannot say that nothing took
    // the file, so that is asked first.
    if (!hasOpener(url))
        return false;
    return QDesktopServices::openUrl(url);
}

bool QtDesktop::startProgram(const QString &program, const QStringList &arguments,
                             const QString &workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
}

int QtDesktop::runModal(QDialog &dialog)
{
    return dialog.exec();
}

QSize QtDesktop::screenSizeTwips() const
{
    // The screen of the window in use: the viewer covers the one its owner is on.
    const QWidget *active = QApplication::activeWindow();
    const QScreen *screen = active ? active->screen() : QGuiApplication::primaryScreen();
    const QSize pixels = screen ? screen->size() : QSize(1024, 768);
    return {static_cast<int>(twips::fromPixels(pixels.width())),
            static_cast<int>(twips::fromPixels(pixels.height()))};
}

} // namespace platform
