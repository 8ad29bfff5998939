#include "Form1.h"

#include "Seam.h"

#include <algorithm>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>

namespace pantrel {

namespace {

// The picker's choice outlives its window.
struct Choice
{
    QString name;
    QString folder;
    bool cancelled = false;
};

Choice &choice()
{
    static Choice state;
    return state;
}

constexpr int parentRole = Qt::UserRole + 1;

QStringList volumeRoots()
{
    QStringList roots{QStringLiteral("/")};
    const QStringList skipped = {QStringLiteral("/proc"), QStringLiteral("/sys"),
                                 QStringLiteral("/dev"), QStringLiteral("/run")};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        const bool system = std::any_of(skipped.begin(), skipped.end(), [&](const QString &s) {
            return root == s || root.startsWith(s + u'/');
        });
        if (!system && QFileInfo(root).isDir() && !roots.contains(root))
            roots << root;
    }
    return roots;
}

bool listable(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

} // namespace

Form1::Form1(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Programs"));
    setModal(true);
    resize(420, 360);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    for (const QString &root : volumeRoots())
        Drive1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *lists = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(Drive1);
    left->addWidget(Dir1);
    lists->addLayout(left);
    lists->addWidget(File1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(lists);
    layout->addLayout(buttons);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (setFolder(item->data(parentRole).toString()))
            Dir1_Change();
    });
    connect(File1, &QListWidget::itemDoubleClicked, this, &Form1::File1_DblClick);
    connect(cmdOK, &QPushButton::clicked, this, &Form1::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Form1::cmdCancel_Click);

    const QString start = choice().folder.isEmpty() ? QDir::rootPath() : choice().folder;
    if (!setFolder(start))
        setFolder(QDir::rootPath());
    Dir1_Change();
}

bool Form1::showPrograms(const QString &title, const QString &message, const QString &pattern)
{
    // Only OK with a file chosen is a choice: Escape, closing the window
    // and OK on no file are not.
    choice().cancelled = true;
    Form1 picker;
    picker.setWindowTitle(title);
    picker.Label1->setText(message);
    picker.setPattern(pattern);
    seam().runModal(picker);
    return !choice().cancelled;
}

QString Form1::chosenName()
{
    return choice().name;
}

QString Form1::chosenFolder()
{
    return choice().folder;
}

bool Form1::setFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (!listable(clean))
        return false;
    QStringList names;
    QDirIterator it(clean, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    m_folder = clean;
    Dir1->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto *current = new QListWidgetItem(open, clean, Dir1);
    current->setData(parentRole, clean);
    if (clean != QDir::rootPath()) {
        auto *up = new QListWidgetItem(open, QStringLiteral(".."), Dir1);
        up->setData(parentRole, QFileInfo(clean).path());
    }
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(closed, name, Dir1);
        item->setData(parentRole, QDir(clean).filePath(name));
    }
    return true;
}

void Form1::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    fillFiles();
}

void Form1::fillFiles()
{
    QStringList parts;
    // Programs here have no ending: "*.exe" also offers any executable file.
    bool programs = false;
    for (const QString &part : m_pattern.split(u';', Qt::SkipEmptyParts)) {
        programs |= part.trimmed().compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0;
        parts << QRegularExpression::wildcardToRegularExpression(part.trimmed());
    }
    const QRegularExpression match(parts.isEmpty() ? QStringLiteral("(?!)") : parts.join(u'|'),
                                   QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    QDirIterator it(m_folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (match.match(it.fileName()).hasMatch() || (programs && it.fileInfo().isExecutable()))
            names << it.fileName();
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    File1->clear();
    File1->addItems(names);
}

void Form1::Drive1_Change()
{
    const QString root = Drive1->currentData().toString();
    if (!setFolder(root)) {
        seam().message(QStringLiteral("Drive unavailable!"), QStringLiteral("IGShell"));
        return;
    }
    Dir1_Change();
}

void Form1::Dir1_Change()
{
    fillFiles();
}

void Form1::File1_DblClick()
{
    cmdOK_Click();
}

void Form1::cmdOK_Click()
{
    const QList<QListWidgetItem *> selected = File1->selectedItems();
    if (selected.isEmpty()) {
        reject();
        return;
    }
    choice().name = selected.first()->text();
    choice().folder = m_folder;
    choice().cancelled = false;
    accept();
}

void Form1::cmdCancel_Click()
{
    reject();
}

} // namespace pantrel
