#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "FolderRefresh.h"
#include "platform/Desktop.h"
#include "platform/Error.h"
#include "platform/ListBoxes.h"
#include "platform/PictureButton.h"

#include <array>
#include <QList>
#include <QObject>

class QWidget;

namespace browser {

// The toolbar's flat-button looks and the commands of its buttons that
// belong to no other component: previous, next, start folder, refresh,
// options and help. The favourites, full-screen and resize buttons carry
// their own commands; their looks are kept here too.
class Toolbar final : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        std::array<platform::PictureButton *, 11> pics{}; // 2 and 8 are unused
        QWidget *Picture2 = nullptr;                      // the strip the frames are drawn on
        platform::DriveListBox *Drive1 = nullptr;
        platform::DirListBox *Dir1 = nullptr;
        platform::FileListBox *File1 = nullptr;
        // Movement over these takes the hover look away.
        QList<QWidget *> elsewhere;
    };

    enum class Look { Flat, Raised, Sunken };
    static constexpr int NoButton = 100;

    Toolbar(const Controls &controls, core::SettingsStore &settings, const core::AppState &state,
            platform::Desktop &desktop, FolderRefresh &folders, QObject *parent = nullptr);

    int hoveredButton() const { return m_hovered; }
    Look look(int index) const;
    // Takes the hover look away (the windows a button opens cover it).
    void removeHover() { hover(NoButton); }

Q_SIGNALS:
    void optionsWanted();
    void helpWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wire();
    void pics_MouseMove(int index, Qt::MouseButtons buttons);
    void pics_MouseDown(int index);
    void pics_MouseUp(int index, Qt::MouseButton button);
    void hover(int index);
    void press(int index, bool down);
    void drawFrames();
    void runCommand(int index);
    int placeOfShown() const;
    void previousImage();
    void nextImage();
    void startFolder();
    void refresh();
    void reportError(const platform::Error &error);

    Controls m_c;
    core::SettingsStore &m_settings;
    const core::AppState &m_state;
    platform::Desktop &m_desktop;
    FolderRefresh &m_folders;
    int m_hovered = NoButton;
    int m_pressed = -1;
};

} // namespace browser
