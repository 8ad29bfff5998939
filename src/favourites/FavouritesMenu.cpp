#include "FavouritesMenu.h"

#include "frmFavEd.h"

#include "core/SettingKeys.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

using platform::Answer;
using platform::Buttons;
using platform::Error;
using platform::Icon;

namespace favourites {

namespace {

const QString NoFavourites = QStringLiteral("No Favourites");
const QString AddCaption = QStringLiteral("Add current Folder...");
const QString DeleteCaption = QStringLiteral("Delete this Favourite...");

QString folderOf(const QAction *item)
{
    return item->data().toString();
}

} // namespace

FavouritesMenu::FavouritesMenu(const Controls &controls, core::SettingsStore &settings,
                               platform::Desktop &desktop, core::AppState &state,
                               FolderBrowser &browser, QObject *parent)
    : QObject(parent), m_c(controls), m_store(settings), m_desktop(desktop), m_state(state),
      m_browser(browser)
{
    wire();
    LoadFavourites();
}

void FavouritesMenu::wire()
{
    connect(m_c.mnuAdd, &QAction::triggered, this, &FavouritesMenu::mnuAdd_Click);
    connect(m_c.mnuFavMan, &QAction::triggered, this, &FavouritesMenu::mnuFavMan_Click);
    connect(m_c.mnuEditFavs, &QAction::triggered, this, &FavouritesMenu::mnuFavMan_Click);
    connect(m_c.FavList, &QListWidget::itemClicked, this, &FavouritesMenu::FavList_Click);
    connect(m_c.favouritesButton, &platform::PictureButton::MouseUp, this,
            [this](int, Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    favouritesButton_Click();
            });
    // The right button on the list or its label offers the Favourites menu.
    m_c.FavList->viewport()->installEventFilter(this);
    m_c.Label4->installEventFilter(this);
}

bool FavouritesMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
        m_desktop.popUp(*m_c.mnuFav, QCursor::pos());
    return QObject::eventFilter(watched, event);
}

void FavouritesMenu::LoadFavourites()
{
    while (m_items.size() > 1) {
        delete m_items.back();
        m_items.pop_back();
    }
    if (m_items.empty()) {
        QAction *first = m_c.mnuFav->addAction(QString());
        first->setObjectName(QStringLiteral("mnuFav1(0)"));
        connect(first, &QAction::triggered, this, [this] { mnuFav1_Click(0); });
        m_items.push_back(first);
    }
    const QList<Favourite> favourites = m_store.load();
    if (favourites.isEmpty()) {
        m_items[0]->setText(NoFavourites);
        m_items[0]->setEnabled(false);
        m_items[0]->setData(QString());
        return;
    }
    for (qsizetype k = 0; k < favourites.size(); ++k) {
        if (k > 0) {
            QAction *item = m_c.mnuFav->addAction(QString());
            item->setObjectName(QStringLiteral("mnuFav1(%1)").arg(k));
            const int index = int(k);
            connect(item, &QAction::triggered, this, [this, index] { mnuFav1_Click(index); });
            m_items.push_back(item);
        }
        m_items[size_t(k)]->setText(favourites[k].name);
        m_items[size_t(k)]->setEnabled(true);
        m_items[size_t(k)]->setData(favourites[k].folder);
    }
}

void FavouritesMenu::RefreshFavList()
{
    m_c.FavList->clear();
    for (const QAction *item : m_items) {
        if (!item->text().isEmpty() && !folderOf(item).isEmpty())
            m_c.FavList->addItem(item->text());
    }
    m_c.FavList->setEnabled(m_items[0]->text() != NoFavourites);
}

void FavouritesMenu::applyAddCaption(const QString &folder)
{
    const bool favourite = std::any_of(m_items.begin(), m_items.end(), [&](const QAction *item) {
        return folderOf(item) == folder;
    });
    m_c.mnuAdd->setText(favourite ? DeleteCaption : AddCaption);
}

void FavouritesMenu::reportWriteError(const Error &error)
{
    platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
}

bool FavouritesMenu::reportRefusal(FavouritesStore::Refusal refusal)
{
    if (refusal == FavouritesStore::Refusal::FolderTaken)
        m_desktop.msgBox(QStringLiteral("The directory has already been set as a favourite!"),
                         Icon::Exclamation, Buttons::Ok);
    else if (refusal == FavouritesStore::Refusal::NameTaken)
        m_desktop.msgBox(QStringLiteral("This name has been used by another favourite."),
                         Icon::None, Buttons::Ok);
    return refusal != FavouritesStore::Refusal::None;
}

void FavouritesMenu::add(const QString &name, const QString &folder)
{
    try {
        if (reportRefusal(m_store.add(name, folder)))
            return;
    } catch (const Error &error) {
        reportWriteError(error);
    }
    LoadFavourites();
}

bool FavouritesMenu::deleteFavourite(const QString &name, const QString &folder)
{
    bool deleted = false;
    try {
        deleted = m_store.remove(name, folder);
    } catch (const Error &error) {
        reportWriteError(error);
    }
    LoadFavourites();
    return deleted;
}

bool FavouritesMenu::refuseIllegalName(const QString &name)
{
    // The menu's own line for an empty list cannot be a favourite's name.
    if (name != NoFavourites)
        return false;
    m_desktop.msgBox(QStringLiteral("Illegal Favourites name, please choose another name"),
                     Icon::Exclamation, Buttons::Ok, QStringLiteral("Illegal Name"));
    return true;
}

bool FavouritesMenu::renameFavourite(const QString &oldName, const QString &newName,
                                     const QString &folder)
{
    if (refuseIllegalName(newName))
        return false;
    bool renamed = false;
    try {
        renamed = !reportRefusal(m_store.rename(oldName, newName, folder));
    } catch (const Error &error) {
        reportWriteError(error);
    }
    LoadFavourites();
    return renamed;
}

void FavouritesMenu::mnuFavMan_Click()
{
    frmFavEd manager(*this, m_desktop, m_state, m_c.FavList->window());
    m_desktop.runModal(manager);
    RefreshFavList();
}

void FavouritesMenu::mnuAdd_Click()
{
    const QString folder = m_browser.currentFolder();
    if (m_c.mnuAdd->text() == AddCaption) {
        const std::optional<QString> name =
            m_desktop.inputBox(QStringLiteral("Please input a name for this favourite"));
        if (!name || name->isEmpty())
            return;
        if (refuseIllegalName(*name))
            return;
        add(*name, folder);
    } else {
        if (m_desktop.msgBox(QStringLiteral("Are you sure you wish to delete this favourite?"),
                             Icon::None, Buttons::YesNo,
                             QStringLiteral("Delete Favourite?")) != Answer::Yes)
            return;
        QString name;
        for (const QAction *item : m_items) {
            if (folderOf(item) == folder)
                name = item->text();
        }
        deleteFavourite(name, folder);
    }
    applyAddCaption(folder);
    RefreshFavList();
}

void FavouritesMenu::mnuFav1_Click(int index)
{
    const QAction *item = m_items.at(size_t(index));
    const QString name = item->text();
    const QString folder = folderOf(item);
    try {
        m_browser.goToFolder(folder);
    } catch (const Error &) {
        if (m_desktop.msgBox(QStringLiteral("This favourite is invalid, delete it?"), Icon::None,
                             Buttons::YesNo, QStringLiteral("Delete Favourite?")) == Answer::Yes) {
            deleteFavourite(name, folder);
            RefreshFavList();
        }
    }
}

void FavouritesMenu::FavList_Click()
{
    const QString chosen =
        m_c.FavList->currentItem() ? m_c.FavList->currentItem()->text() : QString();
    if (chosen.isEmpty() || chosen == NoFavourites)
        return;
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [&](const QAction *item) { return item->text() == chosen; });
    if (found == m_items.end())
        return;
    try {
        // The full-screen viewer's lists follow the main window's folder.
        m_browser.goToFolder(folderOf(*found));
    } catch (const Error &error) {
        if (error.number == Error::DeviceUnavailable)
            platform::reportDriveUnavailable(m_desktop);
        else if (error.number == Error::PathNotFound)
            m_desktop.msgBox(
                QStringLiteral("Invalid Favourite, the directory path could not be found!"),
                Icon::Critical, Buttons::Ok, QStringLiteral("Error"));
        else
            platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
    }
}

void FavouritesMenu::deleteInvalidFavourites()
{
    // The items as they stand when the walk begins; a favourite moved into a
    // slot already walked is not looked at again.
    const size_t count = m_items.size();
    for (size_t index = 0; index < count; ++index) {
        if (index >= m_items.size())
            continue;
        const QAction *item = m_items[index];
        const QString folder = folderOf(item);
        if (item->text() != NoFavourites && (folder.isEmpty() || !QFileInfo(folder).isDir()))
            deleteFavourite(item->text(), folder);
    }
}

void FavouritesMenu::showPanel(bool shown)
{
    if (shown)
        RefreshFavList();
    m_c.fraFavLab->setVisible(shown);
    m_panelShown = shown;
    Q_EMIT panelToggled(shown);
}

void FavouritesMenu::favouritesButton_Click()
{
    showPanel(!m_panelShown);
}

} // namespace favourites
