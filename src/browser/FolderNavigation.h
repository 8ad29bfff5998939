#pragma once

#include "app/AppState.h"
#include "MainControls.h"
#include "platform/Desktop.h"
#include "platform/Error.h"

namespace browser {

// The drive list, folder tree and file list of the main window, and the
// "File Types" menu that chooses the pattern.
class FolderNavigation final : public QObject
{
    Q_OBJECT
public:
    FolderNavigation(MainControls &controls, platform::Desktop &desktop, QObject *parent = nullptr);

    void Drive1_Change();
    void Dir1_Change();
    void Dir1_MouseDown(Qt::MouseButton button);
    void Dir1_MouseUp(Qt::MouseButton button);
    void File1_MouseUp(Qt::MouseButton button);
    void mnuFT_Click(int index);
    void mnuImages_Click();
    void mnuRefresh_Click();

    // Opens a folder as a press in the tree does, reporting errors.
    void openFolder(const QString &folder);
    // The previous and next buttons follow whether the list has entries.
    void updateStepping();

    static QString patternFor(const std::array<bool, 7> &checked);
    static QString allImagesPattern()
    {
        return QStringLiteral("*.bmp;*.wmf;*.ico;*.gif;*.jpg;*.emf;*.cur");
    }

private:
    void showFolderError(const platform::Error &error);

    MainControls &m_c;
    platform::Desktop &m_desktop;
};

} // namespace browser
