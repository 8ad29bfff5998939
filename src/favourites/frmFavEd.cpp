#include "frmFavEd.h"

#include "FavouritesMenu.h"

#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace favourites {

namespace {

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frmFavEd::frmFavEd(FavouritesMenu &favourites, platform::Desktop &desktop, core::AppState &state,
                   QWidget *parent)
    : QDialog(parent), m_favourites(favourites), m_desktop(desktop), m_state(state)
{
    setObjectName(QStringLiteral("frmFavEd"));
    setWindowTitle(QStringLiteral("Favourites Manager"));
    Label1 = named(
        new QLabel(QStringLiteral("Favourites can be deleted, renamed and checked here"), this),
        "Label1");
    Label2 = named(new QLabel(QStringLiteral("Name"), this), "Label2");
    Label3 = named(new QLabel(QStringLiteral("Location"), this), "Label3");
    List1 = named(new QListWidget(this), "List1");
    List2 = named(new QListWidget(this), "List2");
    cmdCheck = named(new QPushButton(QStringLiteral("Check Exists"), this), "cmdCheck");
    cmdDelete = named(new QPushButton(QStringLiteral("Delete"), this), "cmdDelete");
    cmdRename = named(new QPushButton(QStringLiteral("Rename"), this), "cmdRename");
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    for (QPushButton *action : {cmdCheck, cmdDelete, cmdRename}) {
        action->setEnabled(false);
        action->setAutoDefault(false);
    }

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 3);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Label3, 1, 1);
    grid->addWidget(List1, 2, 0, 5, 1);
    grid->addWidget(List2, 2, 1, 5, 1);
    grid->addWidget(cmdCheck, 2, 2);
    grid->addWidget(cmdDelete, 3, 2);
    grid->addWidget(cmdRename, 4, 2);
    grid->addWidget(cmdOK, 6, 2);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(5, 1);
    resize(560, 320);
    // Coming into a list would select its first row; nothing is selected at first.
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    fillLists();
    wire();
}

frmFavEd::~frmFavEd() = default;

void frmFavEd::wire()
{
    connect(List1, &QListWidget::currentRowChanged, this, &frmFavEd::List1_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &frmFavEd::List2_Click);
    connect(cmdCheck, &QPushButton::clicked, this, &frmFavEd::cmdCheck_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmFavEd::cmdDelete_Click);
    connect(cmdRename, &QPushButton::clicked, this, &frmFavEd::cmdRename_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmFavEd::fillLists()
{
    List1->clear();
    List2->clear();
    for (const QAction *item : m_favourites.mnuFav1()) {
        const QString folder = item->data().toString();
        if (!item->text().isEmpty() && !folder.isEmpty()) {
            List1->addItem(item->text());
            List2->addItem(folder);
        }
    }
    List1->setCurrentRow(-1);
    List2->setCurrentRow(-1);
}

void frmFavEd::List1_Click()
{
    List2->setCurrentRow(List1->currentRow());
    QString name;
    QString folder;
    if (selected(name, folder)) {
        for (QPushButton *action : {cmdCheck, cmdRename, cmdDelete})
            action->setEnabled(true);
    }
}

void frmFavEd::List2_Click()
{
    List1->setCurrentRow(List2->currentRow());
}

bool frmFavEd::selected(QString &name, QString &folder) const
{
    const QListWidgetItem *nameItem = List1->currentItem();
    const QListWidgetItem *folderItem = List2->currentItem();
    name = nameItem ? nameItem->text() : QString();
    folder = folderItem ? folderItem->text() : QString();
    return !name.isEmpty() && !folder.isEmpty();
}

void frmFavEd::cmdCheck_Click()
{
    QString name;
    QString folder;
    if (!selected(name, folder))
        return;
    if (QFileInfo(folder).isDir()) {
        m_desktop.msgBox(QStringLiteral("This favourite is valid"), Icon::None, Buttons::Ok);
        return;
    }
    if (m_desktop.msgBox(QStringLiteral("This favourite is invalid, delete it?"), Icon::None,
                         Buttons::YesNo, QStringLiteral("Delete Favourite?")) == Answer::Yes)
        cmdDelete_Click();
}

void frmFavEd::cmdDelete_Click()
{
    QString name;
    QString folder;
    if (!selected(name, folder))
        return;
    if (m_desktop.msgBox(
            QStringLiteral("This action cannot be undone, are you sure you wish to delete the "
                           "favourite?"),
            Icon::None, Buttons::YesNo, QStringLiteral("Imagrove Confirmation")) != Answer::Yes)
        return;
    m_favourites.deleteFavourite(name, folder);
    fillLists();
}

void frmFavEd::cmdRename_Click()
{
    QString name;
    QString folder;
    if (!selected(name, folder))
        return;
    const int row = List1->currentRow();
    const std::optional<QString> newName =
        m_desktop.inputBox(QStringLiteral("Please input a new name for this favourite."));
    if (!newName || newName->isEmpty())
        return;
    // A refused rename leaves the lists as they were.
    if (!m_favourites.renameFavourite(name, *newName, folder))
        return;
    fillLists();
    // The store moves a renamed favourite to the end; here it keeps its row.
    if (List1->count() > row) {
        for (QListWidget *list : {List1, List2})
            list->insertItem(row, list->takeItem(list->count() - 1));
        List1->setCurrentRow(-1);
        List2->setCurrentRow(-1);
    }
}

} // namespace favourites
