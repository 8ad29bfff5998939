#include "Commands.h"
#include "HelpWindow.h"

#include "core/SettingKeys.h"
#include "core/Site.h"
#include "platform/ErrorReport.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

namespace browser {

namespace {
const QString ReadmeFile = QStringLiteral("Readme.txt");
const QString HelpFile = QStringLiteral("ig22help.html");
} // namespace

BrowserCommands::BrowserCommands(const Controls &controls, core::SettingsStore &settings,
                                 platform::Desktop &desktop, core::AppState &state,
                                 const platform::PictureSource &picture, QString programFolder,
                                 QObject *parent)
    : QObject(parent), m_c(controls), m_settings(settings), m_desktop(desktop), m_state(state),
      m_picture(picture), m_programFolder(std::move(programFolder))
{
    wire();
}

void BrowserCommands::wire()
{
    connect(m_c.mnuCopy, &QAction::triggered, this, &BrowserCommands::mnuCopy_Click);
    connect(m_c.mnuCopyImg, &QAction::triggered, this, &BrowserCommands::mnuCopy_Click);
    connect(m_c.mnuClear, &QAction::triggered, this, &BrowserCommands::mnuClear_Click);
    connect(m_c.mnuEdit, &QMenu::aboutToShow, this, &BrowserCommands::mnuEdit_Click);
    connect(m_c.mnuEditor, &QAction::triggered, this, &BrowserCommands::mnuEditor_Click);
    connect(m_c.mnuHelpcont, &QAction::triggered, this, &BrowserCommands::showHelpFile);
    connect(m_c.mnuReadme, &QAction::triggered, this, &BrowserCommands::mnuReadme_Click);
    connect(m_c.mnuHomepage, &QAction::triggered, this,
            [this] { openAddress(core::sitePage(QStringLiteral("index.htm"))); });
    connect(m_c.mnuTopten, &QAction::triggered, this,
            [this] { openAddress(core::sitePage(QStringLiteral("topten.htm"))); });
    connect(m_c.mnuMail, &QAction::triggered, this,
            [this] { openAddress(QStringLiteral("mailto:") + core::SupportAddress); });
    connect(m_c.mnuMail2, &QAction::triggered, this,
            [this] { openAddress(QStringLiteral("mailto:") + core::EnquiriesAddress); });
    for (size_t i = 0; i < m_c.mnuLink.size(); ++i) {
        const int number = core::galleries[i].number;
        connect(m_c.mnuLink[i], &QAction::triggered, this,
                [this, number] { openAddress(core::galleryAddress(number)); });
        // The tray's items run the Go menu's.
        connect(m_c.mnuGallery[i], &QAction::triggered, m_c.mnuLink[i], &QAction::trigger);
    }
}

void BrowserCommands::mnuCopy_Click()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    try {
        clipboard->setImage(m_picture.shownPicture());
    } catch (const platform::Error &error) {
        platform::reportError(m_desktop, error, platform::captions::CriticalError);
    }
}

void BrowserCommands::mnuClear_Click()
{
    QGuiApplication::clipboard()->clear();
}

void BrowserCommands::Text1_Change(const QString &ending)
{
    // An icon's transparency does not survive the clipboard.
    const bool copyable = ending.compare(QLatin1String("ico"), Qt::CaseInsensitive) != 0;
    m_c.mnuCopy->setEnabled(copyable);
    m_c.mnuCopyImg->setEnabled(copyable);
}

void BrowserCommands::mnuEdit_Click()
{
    m_c.mnuEditor->setEnabled(!m_state.CurrentImagePath.isEmpty());
}

void BrowserCommands::applyEditorItem()
{
    const QString editor = core::keys::EditorPath.read(m_settings);
    const bool shown = core::encoding::checkIsOn(core::keys::UseEditor.read(m_settings)) &&
                       !editor.trimmed().isEmpty();
    m_c.mnuEditor->setData(editor);
    m_c.mnuEditor->setVisible(shown);
    m_c.lin754->setVisible(shown);
}

void BrowserCommands::mnuEditor_Click()
{
    const QString editor = m_c.mnuEditor->data().toString();
    // Started directly, never through a shell: the image path is one
    // argument whatever characters it holds.
    if (!QFileInfo(editor).isFile() || !m_desktop.startProgram(editor, {m_state.CurrentImagePath}))
        m_desktop.msgBox(QStringLiteral("Cannot ") + editor, platform::Icon::Critical,
                         platform::Buttons::Ok, QStringLiteral("File not Found!"));
}

void BrowserCommands::mnuReadme_Click()
{
    if (!QFileInfo(m_programFolder + u'/' + ReadmeFile).isFile()) {
        m_desktop.msgBox(QStringLiteral("The Readme file (Readme.txt) was not found!"),
                         platform::Icon::Exclamation, platform::Buttons::Ok,
                         QStringLiteral("File not found"));
        return;
    }
    if (!m_desktop.shellOpen(ReadmeFile, m_programFolder))
        m_desktop.msgBox(QStringLiteral("No text editor was found!"), platform::Icon::Critical,
                         platform::Buttons::Ok, QStringLiteral("Problem!"));
}

void BrowserCommands::showHelpFile()
{
    if (!QFileInfo(m_programFolder + u'/' + HelpFile).isFile()) {
        m_desktop.msgBox(
            QStringLiteral("The Helpfile 'ig22help.html' is missing, please reinstall Imagrove"),
            platform::Icon::Critical, platform::Buttons::Ok, QStringLiteral("Help File Not Found"));
        return;
    }
    if (m_desktop.shellOpen(HelpFile, m_programFolder))
        return;
    if (!m_help)
        m_help = std::make_unique<HelpWindow>(m_programFolder + u'/' + HelpFile, m_desktop);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void BrowserCommands::openAddress(const QString &address)
{
    openOrSay(m_desktop, address, m_programFolder);
}

} // namespace browser
