#include "Toolbar.h"

#include "core/Paths.h"
#include "core/SettingKeys.h"
#include "platform/ErrorReport.h"
#include "platform/FileListing.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QPainter>

namespace browser {

namespace {
constexpr bool isButton(int index)
{
    return index >= 0 && index <= 10 && index != 2 && index != 8;
}
} // namespace

Toolbar::Toolbar(const Controls &controls, core::SettingsStore &settings,
                 const core::AppState &state, platform::Desktop &desktop, FolderRefresh &folders,
                 QObject *parent)
    : QObject(parent), m_c(controls), m_settings(settings), m_state(state), m_desktop(desktop),
      m_folders(folders)
{
    wire();
}

void Toolbar::wire()
{
    for (platform::PictureButton *button : m_c.pics) {
        if (!button)
            continue;
        connect(button, &platform::PictureButton::MouseMove, this, &Toolbar::pics_MouseMove);
        connect(button, &platform::PictureButton::MouseDown, this,
                [this](int index, Qt::MouseButton) { pics_MouseDown(index); });
        connect(button, &platform::PictureButton::DblClick, this, &Toolbar::pics_MouseDown);
        connect(button, &platform::PictureButton::MouseUp, this, &Toolbar::pics_MouseUp);
    }
    m_c.Picture2->installEventFilter(this);
    for (QWidget *widget : m_c.elsewhere) {
        // A list reports movement through its viewport.
        if (auto *list = qobject_cast<QAbstractScrollArea *>(widget))
            widget = list->viewport();
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
    m_c.Picture2->setMouseTracking(true);
}

bool Toolbar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        hover(NoButton);
    else if (event->type() == QEvent::Paint && watched == m_c.Picture2)
        drawFrames();
    return QObject::eventFilter(watched, event);
}

Toolbar::Look Toolbar::look(int index) const
{
    if (index == m_pressed)
        return Look::Sunken;
    return index == m_hovered ? Look::Raised : Look::Flat;
}

void Toolbar::pics_MouseMove(int index, Qt::MouseButtons buttons)
{
    if (buttons == Qt::NoButton)
        hover(index);
}

void Toolbar::pics_MouseDown(int index)
{
    press(index, true);
}

void Toolbar::pics_MouseUp(int index, Qt::MouseButton button)
{
    press(index, false);
    if (button == Qt::LeftButton)
        runCommand(index);
}

void Toolbar::hover(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    m_c.Picture2->update();
}

void Toolbar::press(int index, bool down)
{
    if (!isButton(index))
        return;
    if (down) {
        m_pressed = index;
        m_hovered = index;
    } else if (m_pressed == index) {
        m_pressed = -1;
    }
    // The margin on the left and top moves the centred picture one step.
    const int step = down ? 2 : 0;
    m_c.pics[size_t(index)]->setContentsMargins(step, step, 0, 0);
    m_c.Picture2->update();
}

void Toolbar::drawFrames()
{
    QPainter painter(m_c.Picture2);
    const QPalette &palette = m_c.Picture2->palette();
    for (int index = 0; index <= 10; ++index) {
        const Look state = isButton(index) ? look(index) : Look::Flat;
        if (state == Look::Flat)
            continue;
        const QRect r = m_c.pics[size_t(index)]->geometry().adjusted(-1, -1, 0, 0);
        const QColor light = palette.color(QPalette::Light);
        const QColor shadow = palette.color(QPalette::Dark);
        const bool raised = state == Look::Raised;
        painter.setPen(raised ? light : shadow);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(raised ? shadow : light);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

void Toolbar::runCommand(int index)
{
    try {
        switch (index) {
        case 0:
            previousImage();
            break;
        case 1:
            nextImage();
            break;
        case 3:
            startFolder();
            break;
        case 4:
            refresh();
            break;
        case 6:
            // The viewer covers the toolbar; its own component opens it.
            hover(NoButton);
            break;
        case 9:
            hover(NoButton);
            Q_EMIT optionsWanted();
            break;
        case 10:
            hover(NoButton);
            Q_EMIT helpWanted();
            break;
        default:
            break;
        }
    } catch (const platform::Error &error) {
        reportError(error);
    }
}

int Toolbar::placeOfShown() const
{
    // A picture on show that the list does not hold (a type it leaves out,
    // named on the command line) stands where the folder's order puts it.
    const QFileInfo shown(m_state.CurrentImagePath);
    if (m_c.File1->listIndex() >= 0 || m_state.CurrentImagePath.isEmpty() ||
        platform::normalFolder(shown.path()) != platform::normalFolder(m_c.File1->path()))
        return -1;
    int place = 0;
    while (place < m_c.File1->listCount() &&
           platform::naturalCompare(m_c.File1->list(place), shown.fileName()) < 0)
        ++place;
    return place;
}

void Toolbar::previousImage()
{
    const int count = m_c.File1->listCount();
    const int place = placeOfShown();
    const int index = place >= 0 ? place : m_c.File1->listIndex();
    m_c.File1->setListIndex(index <= 0 ? count - 1 : index - 1);
}

void Toolbar::nextImage()
{
    const int count = m_c.File1->listCount();
    const int place = placeOfShown();
    if (place >= 0) {
        m_c.File1->setListIndex(place >= count ? 0 : place);
        return;
    }
    const int index = m_c.File1->listIndex();
    m_c.File1->setListIndex(index == count - 1 ? 0 : index + 1);
}

void Toolbar::startFolder()
{
    const QString stored = core::keys::Startdir.read(m_settings);
    const QString folder = stored.isEmpty() ? core::defaultStartFolder() : stored;
    m_c.Drive1->setDrive(folder);
    m_c.Dir1->setPath(folder);
}

void Toolbar::refresh()
{
    const int index = m_c.File1->listIndex();
    const QString name = m_c.File1->fileName();
    m_folders.refreshFolder();
    // Selecting shows the picture afresh; an entry that now has another
    // name is not shown at all.
    if (index >= 0 && m_c.File1->list(index) == name)
        m_c.File1->setListIndex(index);
    else
        m_c.File1->setListIndex(-1);
}

void Toolbar::reportError(const platform::Error &error)
{
    if (error.number == platform::Error::Overflow)
        platform::reportTooLarge(m_desktop, platform::Icon::Critical);
    else
        platform::reportError(m_desktop, error, platform::captions::CriticalError);
}

} // namespace browser
