#pragma once

#include <QString>

namespace core {

// Program-wide state: lives for the run, never persisted.
struct AppState
{
    // A secondary window is loaded; the tray menu and Show/Hide do nothing then.
    bool SecondaryWindowOpen = false;
    // The full-screen viewer is open.
    bool FullScreenOpen = false;
    // The viewer is copying a list index; file-list clicks must not reload.
    bool ListSyncInProgress = false;
    // Started with an image that was opened full screen.
    bool LaunchedFromCommandLine = false;
    // The full path of the image last shown in the main window.
    QString CurrentImagePath;
    // The parts of the last path split by SplitPath.
    QString CommandLineFolder;
    QString CommandLineFile;
};

} // namespace core
