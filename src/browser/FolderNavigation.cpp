#include "FolderNavigation.h"

#include "core/ImageTypes.h"
#include "core/SettingKeys.h"
#include "platform/ErrorReport.h"
#include "platform/Volumes.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

using platform::Error;

namespace browser {

FolderNavigation::FolderNavigation(const Controls &controls, core::SettingsStore &settings,
                                   platform::Desktop &desktop, const ToolbarPictures &pictures,
                                   FavouritesMenuSource &favourites, QObject *parent)
    : QObject(parent), m_c(controls), m_settings(settings), m_desktop(desktop),
      m_pictures(pictures), m_favourites(favourites)
{
    bool other = false;
    try {
        other = core::keys::OtherImages.read(m_settings) == QLatin1String("1");
    } catch (const Error &) {
        // The window reports a settings store it cannot read.
    }
    m_c.mnuOther->setChecked(other);
    m_c.File1->setPattern(core::withOtherImages(core::allImagesPattern(), other));
    wire();
}

void FolderNavigation::wire()
{
    connect(m_c.Drive1, &platform::DriveListBox::Change, this, &FolderNavigation::Drive1_Change);
    connect(m_c.Dir1, &platform::DirListBox::Change, this, &FolderNavigation::Dir1_Change);
    connect(m_c.Dir1, &platform::DirListBox::MouseDown, this, &FolderNavigation::Dir1_MouseDown);
    connect(m_c.Dir1, &platform::DirListBox::MouseUp, this, &FolderNavigation::Dir1_MouseUp);
    connect(m_c.Dir1, &platform::DirListBox::KeyDown, this, [this](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            Dir1_KeyEnter();
    });
    connect(m_c.File1, &platform::FileListBox::MouseUp, this, &FolderNavigation::File1_MouseUp);
    for (int i = 0; i < 7; ++i)
        connect(m_c.mnuFT[size_t(i)], &QAction::triggered, this, [this, i] { mnuFT_Click(i); });
    connect(m_c.mnuImages, &QAction::triggered, this, &FolderNavigation::mnuImages_Click);
    connect(m_c.mnuRefresh, &QAction::triggered, this, &FolderNavigation::mnuRefresh_Click);
    connect(m_c.mnuOther, &QAction::triggered, this, &FolderNavigation::mnuOther_Click);
}

void FolderNavigation::showFolderError(const Error &error)
{
    if (error.number == Error::PathNotFound)
        m_desktop.msgBox(QStringLiteral("This Directory appears to be invalid or inaccessible."),
                         platform::Icon::Critical, platform::Buttons::Ok,
                         QStringLiteral("Access Error"));
    else
        platform::reportError(m_desktop, error, platform::captions::ErroNumber);
}

void FolderNavigation::Drive1_Change()
{
    try {
        const QString drive = m_c.Drive1->drive();
        platform::volumes::requireReady(drive);
        m_c.Dir1->setPath(platform::volumes::currentFolder(drive));
    } catch (const Error &error) {
        if (error.number == Error::DeviceUnavailable)
            platform::reportDriveUnavailable(m_desktop);
        else
            showFolderError(error);
    }
}

void FolderNavigation::Dir1_Change()
{
    try {
        const QString folder = m_c.Dir1->path();
        m_c.File1->setPath(folder);
        // A folder reached through the tree may be on another volume.
        m_c.Drive1->followFolder(folder);
        updateStepping();
        Q_EMIT folderChanged(folder);
    } catch (const Error &error) {
        showFolderError(error);
    }
}

bool FolderNavigation::openFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    try {
        m_c.Dir1->setPath(folder);
        return true;
    } catch (const Error &error) {
        // The tree marks the folder still open, not the one that failed.
        m_c.Dir1->setListIndex(-1);
        showFolderError(error);
        return false;
    }
}

void FolderNavigation::goTo(const QString &folder)
{
    platform::volumes::requireReady(platform::volumes::rootOf(folder));
    // A new folder is listed by Dir1_Change; the same one is read again here.
    const bool same = platform::normalFolder(folder) == m_c.Dir1->path();
    m_c.Dir1->setPath(folder);
    if (same) {
        m_c.File1->refresh();
        updateStepping();
    }
}

void FolderNavigation::Dir1_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        Dir1_KeyEnter();
}

void FolderNavigation::Dir1_KeyEnter()
{
    openFolder(m_c.Dir1->list(m_c.Dir1->listIndex()));
}

void FolderNavigation::Dir1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_desktop.popUp(*m_favourites.favouritesMenu(), QCursor::pos());
}

void FolderNavigation::File1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_desktop.popUp(*m_c.mnuFTs, QCursor::pos());
}

void FolderNavigation::setPattern(const QString &pattern)
{
    try {
        m_c.File1->setPattern(pattern);
        updateStepping();
    } catch (const Error &error) {
        showFolderError(error);
    }
}

QString FolderNavigation::checkedPattern() const
{
    std::array<bool, 7> checked{};
    for (size_t i = 0; i < checked.size(); ++i)
        checked[i] = m_c.mnuFT[i]->isChecked();
    const bool all = std::all_of(checked.begin(), checked.end(), [](bool on) { return on; });
    return core::withOtherImages(all ? core::allImagesPattern() : core::patternFor(checked),
                                 m_c.mnuOther->isChecked());
}

void FolderNavigation::mnuFT_Click(int)
{
    // The item's check mark was inverted as it was chosen.
    if (std::none_of(m_c.mnuFT.begin(), m_c.mnuFT.end(),
                     [](const QAction *item) { return item->isChecked(); }))
        m_c.mnuFT[0]->setChecked(true);
    setPattern(checkedPattern());
}

void FolderNavigation::mnuImages_Click()
{
    for (QAction *item : m_c.mnuFT)
        item->setChecked(true);
    setPattern(checkedPattern());
}

void FolderNavigation::mnuOther_Click()
{
    try {
        core::keys::OtherImages.save(m_settings, m_c.mnuOther->isChecked() ? QStringLiteral("1")
                                                                           : QStringLiteral("0"));
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErroNumber);
    }
    setPattern(checkedPattern());
}

void FolderNavigation::mnuRefresh_Click()
{
    try {
        refreshFolder();
    } catch (const Error &error) {
        showFolderError(error);
    }
}

void FolderNavigation::refreshFolder()
{
    m_c.Drive1->refresh();
    m_c.Dir1->refresh();
    m_c.File1->refresh();
    updateStepping();
}

void FolderNavigation::updateStepping()
{
    const bool any = m_c.File1->listCount() > 0;
    m_c.previous->setPixmap(
        m_pictures.picture(any ? ToolbarPicture::Previous : ToolbarPicture::PreviousBw));
    m_c.next->setPixmap(m_pictures.picture(any ? ToolbarPicture::Next : ToolbarPicture::NextBw));
    m_c.previous->setEnabled(any);
    m_c.next->setEnabled(any);
}

} // namespace browser
