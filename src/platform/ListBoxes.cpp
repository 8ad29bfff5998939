#include "ListBoxes.h"
#include "FileNames.h"

#include "Drawing.h"

#include "Error.h"
#include "Volumes.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace {

// A name the list cuts is shown whole in a tool tip; one it shows whole
// needs none.
bool cutNameTip(QListWidget &list, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    const auto *help = static_cast<QHelpEvent *>(event);
    const QListWidgetItem *item = list.itemAt(help->pos());
    const QRect shown = item ? list.visualItemRect(item) : QRect();
    const int needed =
        item ? list.sizeHintForIndex(list.model()->index(list.row(item), 0)).width() : 0;
    if (item && shown.left() + needed > list.viewport()->width())
        QToolTip::showText(help->globalPos(), item->text(), list.viewport(), shown);
    else
        QToolTip::hideText();
    return true;
}

} // namespace

namespace platform {

namespace {

enum class ListIcon { Drive, Folder, OpenFolder };

template <typename Draw> QIcon drawnIcon(Draw draw)
{
    return QIcon(drawnPicture(16, draw));
}

QIcon listIcon(ListIcon which)
{
    static const QIcon icons[] = {
        drawnIcon([](QPainter &p) {
            p.setPen(QColor(0x50, 0x50, 0x50));
            p.setBrush(QColor(0xD8, 0xD8, 0xD8));
            p.drawRect(1, 5, 13, 6);
            p.fillRect(10, 8, 2, 1, QColor(0x30, 0xB0, 0x30));
        }),
        drawnIcon([](QPainter &p) {
            p.setPen(QColor(0x90, 0x70, 0x20));
            p.setBrush(QColor(0xF0, 0xC8, 0x50));
            p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(14, 5),
                                    QPoint(14, 13), QPoint(1, 13)}));
        }),
        drawnIcon([](QPainter &p) {
            p.setPen(QColor(0x90, 0x70, 0x20));
            p.setBrush(QColor(0xF8, 0xE0, 0x90));
            p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(13, 5),
                                    QPoint(13, 7), QPoint(3, 7), QPoint(1, 13)}));
            p.setBrush(QColor(0xF0, 0xC8, 0x50));
            p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
        }),
    };
    return icons[static_cast<int>(which)];
}

} // namespace

QString normalFolder(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir(path).absolutePath());
}

// ---- DriveListBox ----

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            Q_EMIT Change();
    });
}

QString DriveListBox::drive() const
{
    return currentData().toString();
}

void DriveListBox::refresh()
{
    const QString current = drive();
    m_filling = true;
    clear();
    const QIcon icon = listIcon(ListIcon::Drive);
    for (const QString &root : volumes::roots())
        addItem(icon, root, root);
    const int index = findData(current);
    setCurrentIndex(index >= 0 ? index : 0);
    m_filling = false;
}

int DriveListBox::indexFor(const QString &path)
{
    const QString root = volumes::rootOf(path);
    const int index = findData(root);
    if (index >= 0)
        return index;
    // A volume mounted since the list was read.
    m_filling = true;
    addItem(listIcon(ListIcon::Drive), root, root);
    m_filling = false;
    return count() - 1;
}

void DriveListBox::setDrive(const QString &path)
{
    setCurrentIndex(indexFor(path));
}

void DriveListBox::followFolder(const QString &folder)
{
    const int index = indexFor(folder);
    m_filling = true;
    setCurrentIndex(index);
    m_filling = false;
}

// ---- DirListBox ----

DirListBox::DirListBox(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, [this] { Q_EMIT Click(); });
}

void DirListBox::setPath(const QString &path)
{
    const QString folder = normalFolder(path);
    volumes::requireReady(volumes::rootOf(folder));
    const QStringList subfolders = listSubfolders(folder);
    const bool changed = folder != m_path;
    fill(folder, subfolders);
    volumes::rememberFolder(folder);
    if (changed)
        Q_EMIT Change();
}

void DirListBox::refresh()
{
    if (!m_path.isEmpty())
        fill(m_path, listSubfolders(m_path));
}

void DirListBox::fill(const QString &path, const QStringList &subfolders)
{
    m_path = path;
    m_subfolders = subfolders;
    m_ancestors.clear();
    QString walk = path;
    while (true) {
        m_ancestors.prepend(walk);
        if (walk == QStringLiteral("/"))
            break;
        const int cut = walk.lastIndexOf(u'/');
        walk = cut <= 0 ? QStringLiteral("/") : walk.left(cut);
    }

    const QIcon open = listIcon(ListIcon::OpenFolder);
    const QIcon closed = listIcon(ListIcon::Folder);
    setUpdatesEnabled(false);
    clear();
    int level = 0;
    for (const QString &ancestor : std::as_const(m_ancestors)) {
        const QString name = ancestor == QStringLiteral("/")
                                 ? ancestor
                                 : ancestor.mid(ancestor.lastIndexOf(u'/') + 1);
        addItem(new QListWidgetItem(open, QString(level * 2, u' ') + displayName(name)));
        ++level;
    }
    for (const QString &name : std::as_const(m_subfolders))
        addItem(new QListWidgetItem(closed, QString(level * 2, u' ') + displayName(name)));
    setCurrentRow(static_cast<int>(m_ancestors.size()) - 1);
    setUpdatesEnabled(true);
}

int DirListBox::listIndex() const
{
    const int row = currentRow();
    if (row < 0)
        return -1;
    return row - static_cast<int>(m_ancestors.size());
}

void DirListBox::setListIndex(int index)
{
    setCurrentRow(index + static_cast<int>(m_ancestors.size()));
}

QString DirListBox::list(int index) const
{
    if (index >= 0)
        return index < m_subfolders.size() ? joinPath(m_path, m_subfolders[index]) : QString();
    const qsizetype ancestor = m_ancestors.size() + index;
    return ancestor >= 0 ? m_ancestors[ancestor] : QString();
}

void DirListBox::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    Q_EMIT MouseDown(event->button());
}

void DirListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    Q_EMIT MouseUp(event->button());
}

void DirListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first press already opened the folder; the base handler would
    // select the entry now under the pointer, one level deeper.
    event->accept();
    Q_EMIT DblClick();
}

void DirListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        QListWidget::keyPressEvent(event);
    Q_EMIT KeyDown(event->key());
}

// ---- FileListBox ----

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            Q_EMIT Click();
    });
}

void FileListBox::setPath(const QString &path)
{
    fill(normalFolder(path));
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = FilePattern(pattern);
    if (!m_path.isEmpty())
        fill(m_path);
}

void FileListBox::refresh()
{
    if (!m_path.isEmpty())
        fill(m_path);
}

void FileListBox::refreshKeepingSelection()
{
    const QString selected = fileName();
    refresh();
    if (selected.isEmpty())
        return;
    for (int i = 0; i < count(); ++i) {
        if (list(i) == selected) {
            m_filling = true;
            setCurrentRow(i);
            m_filling = false;
            return;
        }
    }
}

void FileListBox::fill(const QString &folder)
{
    const QStringList names = listFiles(folder, m_pattern);
    ++m_readings;
    m_path = folder;
    m_filling = true;
    setUpdatesEnabled(false);
    clear();
    addItems(names);
    // A name that is not valid UTF-8 shows readably and keeps its bytes.
    for (int i = 0; i < names.size(); ++i) {
        const QString shown = displayName(names[i]);
        if (shown != names[i]) {
            item(i)->setText(shown);
            item(i)->setData(Qt::UserRole, names[i]);
        }
    }
    setCurrentRow(-1);
    setUpdatesEnabled(true);
    m_filling = false;
}

void FileListBox::setListIndex(int index)
{
    setCurrentRow(index);
}

QString FileListBox::list(int index) const
{
    const QListWidgetItem *entry = item(index);
    if (!entry)
        return {};
    const QVariant bytes = entry->data(Qt::UserRole);
    return bytes.isValid() ? bytes.toString() : entry->text();
}

QString FileListBox::fileName() const
{
    return list(currentRow());
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    QListWidget::keyPressEvent(event);
    Q_EMIT KeyDown(event->key());
}

void FileListBox::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    Q_EMIT MouseDown(event->button());
}

void FileListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    Q_EMIT MouseUp(event->button());
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    Q_EMIT DblClick();
}

void FileListBox::focusInEvent(QFocusEvent *event)
{
    // Coming into the list selects nothing by itself: a selection shows a picture.
    const bool noneSelected = currentRow() < 0;
    m_filling = true;
    QListWidget::focusInEvent(event);
    if (noneSelected)
        setCurrentIndex(QModelIndex());
    m_filling = false;
}

} // namespace platform

namespace platform {

bool DirListBox::viewportEvent(QEvent *event)
{
    return cutNameTip(*this, event) || QListWidget::viewportEvent(event);
}

bool FileListBox::viewportEvent(QEvent *event)
{
    return cutNameTip(*this, event) || QListWidget::viewportEvent(event);
}

} // namespace platform
