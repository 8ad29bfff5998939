#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "platform/Desktop.h"
#include "platform/PictureSource.h"

#include <array>
#include <memory>
#include <QImage>
#include <QObject>
#include <QWidget>

class QAction;
class QLineEdit;
class QMenu;

namespace browser {

// The main window's commands that are neither browsing nor display: the
// clipboard, the external editor, the ReadMe and help files and the web
// and mail links.
class BrowserCommands final : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QAction *mnuCopy = nullptr;
        QAction *mnuCopyImg = nullptr;
        QAction *mnuClear = nullptr;
        QMenu *mnuEdit = nullptr;
        QAction *mnuEditor = nullptr;
        QAction *lin754 = nullptr;
        QAction *mnuHelpcont = nullptr;
        QAction *mnuReadme = nullptr;
        QAction *mnuHomepage = nullptr;
        QAction *mnuTopten = nullptr;
        QAction *mnuMail = nullptr;
        QAction *mnuMail2 = nullptr;
        std::array<QAction *, 5> mnuLink{};    // mnuLink1, 2, 3, 5, 6
        std::array<QAction *, 5> mnuGallery{}; // the tray menu's same five
    };

    BrowserCommands(const Controls &controls, core::SettingsStore &settings,
                    platform::Desktop &desktop, core::AppState &state,
                    const platform::PictureSource &picture, QString programFolder,
                    QObject *parent = nullptr);

    // The editor item follows "useeditor" and "editorpath".
    void applyEditorItem();
    // Opens the help file beside the program.
    void showHelpFile();
    // The shown file's ending changed: icons are not copied.
    void Text1_Change(const QString &ending);

private:
    void wire();
    void mnuCopy_Click();
    void mnuClear_Click();
    void mnuEdit_Click();
    void mnuEditor_Click();
    void mnuReadme_Click();
    void openAddress(const QString &address);

    Controls m_c;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    core::AppState &m_state;
    const platform::PictureSource &m_picture;
    QString m_programFolder;
    // Where the desktop cannot open the help, the program shows it itself.
    std::unique_ptr<QWidget> m_help;
};

} // namespace browser
