#include "FolderNavigation.h"

#include "platform/Volumes.h"

#include <QAction>
#include <QCursor>

using platform::Error;

namespace browser {

namespace {
const char *const patternParts[] = {"*.bmp;", "*.emf;", "*.gif;", "*.jpg;",
                                    "*.wmf;", "*.ico;", "*.cur;"};
}

FolderNavigation::FolderNavigation(MainControls &controls, platform::Desktop &desktop,
                                   QObject *parent)
    : QObject(parent), m_c(controls), m_desktop(desktop)
{
    connect(m_c.Drive1, &platform::DriveListBox::Change, this, &FolderNavigation::Drive1_Change);
    connect(m_c.Dir1, &platform::DirListBox::Change, this, &FolderNavigation::Dir1_Change);
    connect(m_c.Dir1, &platform::DirListBox::MouseDown, this, &FolderNavigation::Dir1_MouseDown);
    connect(m_c.Dir1, &platform::DirListBox::MouseUp, this, &FolderNavigation::Dir1_MouseUp);
    connect(m_c.Dir1, &platform::DirListBox::DblClick, this,
            [this] { openFolder(m_c.Dir1->list(m_c.Dir1->listIndex())); });
    connect(m_c.File1, &platform::FileListBox::MouseUp, this, &FolderNavigation::File1_MouseUp);
    for (int i = 0; i < 7; ++i)
        connect(m_c.mnuFT[size_t(i)], &QAction::triggered, this, [this, i] { mnuFT_Click(i); });
}

void FolderNavigation::showFolderError(const Error &error)
{
    if (error.number == Error::PathNotFound)
        m_desktop.msgBox(QStringLiteral("This Directory appears to be invalid or inaccessible."),
                         platform::Icon::Critical, platform::Buttons::Ok,
                         QStringLiteral("Access Error"));
    else
        m_desktop.msgBox(error.description, platform::Icon::Critical, platform::Buttons::Ok,
                         QStringLiteral("Erro Number: %1 occurred.").arg(error.number));
}

void FolderNavigation::Drive1_Change()
{
    try {
        const QString drive = m_c.Drive1->drive();
        platform::volumes::requireReady(drive);
        m_c.Dir1->setPath(platform::volumes::currentFolder(drive));
        // The full-screen viewer's drive list follows once the viewer exists.
    } catch (const Error &error) {
        if (error.number == Error::DeviceUnavailable)
            m_desktop.msgBox(QStringLiteral("Drive unavailable"), platform::Icon::Exclamation,
                             platform::Buttons::Ok, QStringLiteral("Problem"));
        else
            showFolderError(error);
    }
}

void FolderNavigation::Dir1_Change()
{
    try {
        m_c.File1->setPath(m_c.Dir1->path());
        updateStepping();
    } catch (const Error &error) {
        showFolderError(error);
    }
}

void FolderNavigation::openFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    try {
        m_c.Dir1->setPath(folder);
    } catch (const Error &error) {
        showFolderError(error);
    }
}

void FolderNavigation::Dir1_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        openFolder(m_c.Dir1->list(m_c.Dir1->listIndex()));
}

void FolderNavigation::Dir1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_c.mnuFav->popup(QCursor::pos());
}

void FolderNavigation::File1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_c.mnuFTs->popup(QCursor::pos());
}

QString FolderNavigation::patternFor(const std::array<bool, 7> &checked)
{
    QString pattern;
    for (size_t i = 0; i < checked.size(); ++i) {
        if (checked[i])
            pattern += QLatin1String(patternParts[i]);
    }
    if (pattern.isEmpty())
        pattern = QLatin1String(patternParts[0]);
    pattern.chop(1);
    return pattern;
}

void FolderNavigation::mnuFT_Click(int)
{
    // The item's check mark was inverted as it was chosen.
    std::array<bool, 7> checked{};
    for (size_t i = 0; i < checked.size(); ++i)
        checked[i] = m_c.mnuFT[i]->isChecked();
    if (std::none_of(checked.begin(), checked.end(), [](bool on) { return on; }))
        m_c.mnuFT[0]->setChecked(true);
    try {
        m_c.File1->setPattern(patternFor(checked));
        updateStepping();
    } catch (const Error &error) {
        showFolderError(error);
    }
}

void FolderNavigation::mnuImages_Click()
{
    for (QAction *item : m_c.mnuFT)
        item->setChecked(true);
    try {
        m_c.File1->setPattern(allImagesPattern());
        updateStepping();
    } catch (const Error &error) {
        showFolderError(error);
    }
}

void FolderNavigation::mnuRefresh_Click()
{
    try {
        m_c.Drive1->refresh();
        m_c.Dir1->refresh();
        m_c.File1->refresh();
        updateStepping();
    } catch (const Error &error) {
        showFolderError(error);
    }
}

void FolderNavigation::updateStepping()
{
    const bool any = m_c.File1->listCount() > 0;
    auto &pics = m_c.pics;
    pics[0]->setPixmap(
        m_c.toolbarPicture(any ? QStringLiteral("previous") : QStringLiteral("previousbw")));
    pics[1]->setPixmap(m_c.toolbarPicture(any ? QStringLiteral("next") : QStringLiteral("nextbw")));
    pics[0]->setEnabled(any);
    pics[1]->setEnabled(any);
}

} // namespace browser
