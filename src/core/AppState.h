#pragma once

#include <QString>

namespace core {

// A program-wide condition that is read as a bool and raised only by
// holding a FlagHold: it stays up while any hold on it exists, so no path
// (an early return, an exception, windows closed in any order) can leave
// it up behind.
class Flag
{
public:
    operator bool() const { return m_holds > 0; }

private:
    friend class FlagHold;
    int m_holds = 0;
};

class FlagHold
{
public:
    explicit FlagHold(Flag &flag) : m_flag(&flag) { ++flag.m_holds; }
    ~FlagHold() { release(); }
    FlagHold(const FlagHold &) = delete;
    FlagHold &operator=(const FlagHold &) = delete;

    // Lets go before the end of the scope; once only.
    void release()
    {
        if (m_flag)
            --m_flag->m_holds;
        m_flag = nullptr;
    }

private:
    Flag *m_flag;
};

// Program-wide state: lives for the run, never persisted.
struct AppState
{
    // A secondary window is loaded; the tray menu and Show/Hide do nothing
    // then. Held by each secondary window for as long as it is open.
    Flag SecondaryWindowOpen;
    // The full-screen viewer is open; held by the viewer.
    Flag FullScreenOpen;
    // A list index is being copied from one list to another; file-list
    // clicks must not reload. Held for the copy's scope.
    Flag ListSyncInProgress;
    // The full path of the image last shown in the main window.
    QString CurrentImagePath;
    // The parts of the last path split by SplitPath.
    QString CommandLineFolder;
    QString CommandLineFile;
};

} // namespace core
