#include "options.h"

#include "core/Paths.h"
#include "core/SettingKeys.h"
#include "pantrel.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace options {

namespace {

using platform::Error;
namespace keys = core::keys;
using core::encoding::toTruth;

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A stored check value: 0 unchecked, 1 checked, 2 the grey third state.
void setCheck(QCheckBox *box, const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 2)
        throw Error{Error::InvalidPropertyValue, QStringLiteral("Invalid property value.")};
    box->setTristate(value == 2);
    box->setCheckState(value == 0   ? Qt::Unchecked
                       : value == 1 ? Qt::Checked
                                    : Qt::PartiallyChecked);
}

QString checkText(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Unchecked:
        return QStringLiteral("0");
    case Qt::Checked:
        return QStringLiteral("1");
    default:
        return QStringLiteral("2");
    }
}

// An option button set on its own: selecting one clears its partner, and
// clearing one leaves the pair with none selected.
void setOption(QRadioButton *button, bool on)
{
    button->setAutoExclusive(on);
    button->setChecked(on);
    button->setAutoExclusive(true);
}

} // namespace

options::options(core::SettingsStore &settings, core::AppState &state, platform::Desktop &desktop,
                 AssociationSteps &associations, pantrel::_clsShell *shell, OptionsHost &host,
                 QWidget *parent)
    : QDialog(parent), m_settings(settings), m_state(state), m_desktop(desktop),
      m_associations(associations), m_shell(shell), m_host(host)
{
    setObjectName(QStringLiteral("options"));
    setWindowTitle(QStringLiteral("Options"));
    build();
    wire();
    Form_Load();
}

options::~options()
{
    Form_Unload();
}

void options::build()
{
    auto *layout = new QVBoxLayout(this);
    auto *selector = new QHBoxLayout;
    const char *frameCaptions[] = {"Main Options", "Advanced Options", "Full Screen"};
    const char *pageCaptions[] = {"Main Options", "Advanced Options", "Full Screen Viewing"};
    for (int i = 0; i < 3; ++i) {
        Frames[size_t(i)] = new QPushButton(QLatin1String(frameCaptions[i]), this);
        Frames[size_t(i)]->setObjectName(QStringLiteral("Frames(%1)").arg(i));
        Frames[size_t(i)]->setCheckable(true);
        Frames[size_t(i)]->setAutoExclusive(true);
        selector->addWidget(Frames[size_t(i)]);
        fraMain[size_t(i)] = new QGroupBox(QLatin1String(pageCaptions[i]), this);
        fraMain[size_t(i)]->setObjectName(QStringLiteral("fraMain(%1)").arg(i));
    }
    layout->addLayout(selector);
    for (QGroupBox *page : fraMain)
        layout->addWidget(page);

    // Main Options.
    auto *main = new QGridLayout(fraMain[0]);
    Label2 = named(new QLabel(QStringLiteral("Interface")), "Label2");
    Check1 = named(new QCheckBox(QStringLiteral("Stretch Image to fit")), "Check1");
    chkShowImageInfo =
        named(new QCheckBox(QStringLiteral("Show Image Information")), "chkShowImageInfo");
    chkLoadTipsAtStartup =
        named(new QCheckBox(QStringLiteral("Show Tips at Startup")), "chkLoadTipsAtStartup");
    Label5 = named(new QLabel(QStringLiteral("System Tray")), "Label5");
    Check4 = named(new QCheckBox(QStringLiteral("System tray icon")), "Check4");
    Option1 = named(new QRadioButton(QStringLiteral("Show when minimised")), "Option1");
    Option2 = named(new QRadioButton(QStringLiteral("Show always")), "Option2");
    Label3 = named(new QLabel(QStringLiteral("Home Directory")), "Label3");
    startdir = named(new QLineEdit(QStringLiteral("/")), "startdir");
    cmdCurrent = named(new QPushButton(QStringLiteral("Use Current")), "cmdCurrent");
    fav = named(new QPushButton(QStringLiteral("Favourites")), "fav");
    Command1 = named(new QPushButton(QStringLiteral("Browse...")), "Command1");
    chkLastdir = named(new QCheckBox(QStringLiteral("Last Used")), "chkLastdir");
    for (QCheckBox *box : {Check1, chkShowImageInfo, chkLoadTipsAtStartup})
        box->setChecked(true);
    Option1->setEnabled(false);
    Option2->setEnabled(false);
    main->addWidget(Label2, 0, 0, 1, 4);
    main->addWidget(Check1, 1, 0, 1, 2);
    main->addWidget(chkShowImageInfo, 2, 0, 1, 2);
    main->addWidget(chkLoadTipsAtStartup, 3, 0, 1, 2);
    main->addWidget(Label5, 0, 2, 1, 2);
    main->addWidget(Check4, 1, 2, 1, 2);
    main->addWidget(Option1, 2, 2, 1, 2);
    main->addWidget(Option2, 3, 2, 1, 2);
    main->addWidget(Label3, 4, 0, 1, 4);
    main->addWidget(startdir, 5, 0, 1, 4);
    main->addWidget(cmdCurrent, 6, 0);
    main->addWidget(fav, 6, 1);
    main->addWidget(Command1, 6, 2);
    main->addWidget(chkLastdir, 6, 3);

    // Advanced Options.
    auto *advanced = new QGridLayout(fraMain[1]);
    Label1 = named(new QLabel(QStringLiteral(
                       "Check any file types below you would like associate Imagrove with. You "
                       "can restore any previous associations by unchecking the file type you "
                       "wish.")),
                   "Label1");
    Label1->setWordWrap(true);
    advanced->addWidget(Label1, 0, 0, 1, 4);
    for (const core::ImageType &type : core::imageTypes) {
        const int i = int(core::indexOf(type));
        chkAss[size_t(i)] = named(new QCheckBox(QLatin1String(type.boxCaption)), type.boxName);
        advanced->addWidget(chkAss[size_t(i)], 1 + i / 4, i % 4);
    }
    cmdCheckall = named(new QPushButton(QStringLiteral("Check All")), "cmdCheckall");
    cmdCheckNone = named(new QPushButton(QStringLiteral("Check None")), "cmdCheckNone");
    chkImgFll = named(new QCheckBox(QStringLiteral("Open images in full screen")), "chkImgFll");
    chkUseEditor = named(new QCheckBox(QStringLiteral("Use Editor")), "chkUseEditor");
    txtEditor = named(new QLineEdit, "txtEditor");
    txtEditor->setStyleSheet(QStringLiteral("QLineEdit { background: #c0c0c0; }"));
    txtEditor->setEnabled(false);
    cmdEditorBrowse = named(new QPushButton(QStringLiteral("...")), "cmdEditorBrowse");
    cmdEditorBrowse->setEnabled(false);
    chkCloseAfter1 = named(new QCheckBox(QStringLiteral("Close Imagrove after showing one image")),
                           "chkCloseAfter1");
    chkDelFavs = named(
        new QCheckBox(QStringLiteral("Automatically delete any invalid favourites on startup")),
        "chkDelFavs");
    chkFP98 = named(new QCheckBox(QStringLiteral("Integrate with Frontpage 98")), "chkFP98");
    advanced->addWidget(cmdCheckall, 2, 3);
    advanced->addWidget(cmdCheckNone, 3, 0, 1, 1);
    advanced->addWidget(chkImgFll, 4, 0, 1, 4);
    advanced->addWidget(chkUseEditor, 5, 0);
    advanced->addWidget(txtEditor, 5, 1, 1, 2);
    advanced->addWidget(cmdEditorBrowse, 5, 3);
    advanced->addWidget(chkCloseAfter1, 6, 0, 1, 4);
    advanced->addWidget(chkDelFavs, 7, 0, 1, 4);
    advanced->addWidget(chkFP98, 8, 0, 1, 4);

    // Full Screen Viewing.
    auto *full = new QVBoxLayout(fraMain[2]);
    Label4 = named(new QLabel(QStringLiteral(
                       "Here you can customise the way the full screen mode looks and works.")),
                   "Label4");
    Check5 = named(new QCheckBox(QStringLiteral("Show Filename in Full screen")), "Check5");
    Check5->setChecked(true);
    chkDisFSNav = named(new QCheckBox(QStringLiteral("Disable mouse navigation ")), "chkDisFSNav");
    chkRevNav =
        named(new QCheckBox(QStringLiteral("Reverse mouse button navigation")), "chkRevNav");
    chkShowMBalways =
        named(new QCheckBox(QStringLiteral("Show MiniBrowser always")), "chkShowMBalways");
    chkGreyMode = named(new QCheckBox(QStringLiteral("MiniBrowser 'grey' mode")), "chkGreyMode");
    for (QWidget *widget : std::initializer_list<QWidget *>{Label4, Check5, chkDisFSNav, chkRevNav,
                                                            chkShowMBalways, chkGreyMode})
        full->addWidget(widget);
    full->addStretch();

    auto *buttons = new QHBoxLayout;
    cmdOK = named(new QPushButton(QStringLiteral("Save"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    Command2 = named(new QPushButton(QStringLiteral("Defaults"), this), "Command2");
    buttons->addWidget(Command2);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    mnuFav = new QMenu(QStringLiteral("Favourites"), this);
    mnuFav->setObjectName(QStringLiteral("mnuFav"));
    mnuFavs << mnuFav->addAction(QString());
    mnuFavs[0]->setObjectName(QStringLiteral("mnuFavs(0)"));

    Frames[0]->setChecked(true);
    Frames_Click(0);
}

void options::wire()
{
    for (int i = 0; i < 3; ++i)
        connect(Frames[size_t(i)], &QPushButton::toggled, this, [this, i](bool on) {
            if (on)
                Frames_Click(i);
        });
    connect(cmdOK, &QPushButton::clicked, this, &options::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command2, &QPushButton::clicked, this, &options::Command2_Click);
    connect(cmdCheckall, &QPushButton::clicked, this, [this] { checkAssociations(true); });
    connect(cmdCheckNone, &QPushButton::clicked, this, [this] { checkAssociations(false); });
    connect(cmdCurrent, &QPushButton::clicked, this,
            [this] { startdir->setText(m_host.currentFolder()); });
    connect(fav, &QPushButton::clicked, this, &options::fav_Click);
    connect(Command1, &QPushButton::clicked, this, &options::Command1_Click);
    connect(mnuFavs[0], &QAction::triggered, this, [this] { mnuFavs_Click(0); });
    connect(cmdEditorBrowse, &QPushButton::clicked, this, &options::cmdEditorBrowse_Click);
    // The rules hold for every change, the program's own included.
    connect(Check4, &QCheckBox::stateChanged, this, &options::Check4_Click);
    connect(chkLastdir, &QCheckBox::stateChanged, this, &options::chkLastdir_Click);
    connect(chkUseEditor, &QCheckBox::stateChanged, this, &options::chkUseEditor_Click);
    connect(chkDisFSNav, &QCheckBox::stateChanged, this, &options::chkDisFSNav_Click);
}

void options::Frames_Click(int index)
{
    for (QGroupBox *page : fraMain)
        page->hide();
    fraMain[size_t(index)]->show();
    fitWrappedText();
}

void options::fitWrappedText()
{
    // A layout sizes a window by widths alone: a wrapped label would keep the
    // height of its hint and lose lines in a larger font.
    if (!isVisible() || !Label1->isVisible())
        return;
    layout()->activate();
    const int need = Label1->heightForWidth(Label1->width());
    if (need > Label1->minimumHeight()) {
        Label1->setMinimumHeight(need);
        // Now, not over two passes of the event loop: the page, then the
        // window, which grows to the page's new minimum.
        fraMain[1]->layout()->activate();
        layout()->activate();
    }
}

void options::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    fitWrappedText();
}

void options::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fitWrappedText();
}

template <typename Step> void options::step(const char *label, Step &&work)
{
    try {
        work();
    } catch (const Error &error) {
        m_desktop.msgBox(error.description + QLatin1String(label) + QString::number(error.number),
                         platform::Icon::None, platform::Buttons::Ok);
    }
}

void options::Form_Load()
{
    const char *trap = "Error Number: ";
    step(trap,
         [&] { startdir->setText(keys::Startdir.read(m_settings, core::defaultStartFolder())); });
    step(trap, [&] { setCheck(chkLastdir, keys::LastDirectory.read(m_settings)); });
    QString info;
    step(trap, [&] {
        const QString size = keys::ImageSize.read(m_settings, QString());
        info = keys::FullScreenInfo.read(m_settings, QString());
        Check1->setChecked(size != QLatin1String("Normal"));
    });
    step(trap, [&] { setCheck(chkImgFll, keys::ImgFll.read(m_settings)); });
    step(trap, [&] { setCheck(chkShowImageInfo, keys::ImageInfo.read(m_settings)); });
    step(trap, [&] {
        if (info == QLatin1String("Off"))
            Check5->setChecked(false);
    });
    step(trap, [&] { setCheck(Check4, keys::Systray.read(m_settings, 0)); });
    step(trap, [&] {
        setOption(Option1, toTruth(keys::Minim.read(m_settings)));
        setOption(Option2, toTruth(keys::Always.read(m_settings)));
    });
    step(trap, [&] { setCheck(chkLoadTipsAtStartup, keys::ShowTips.read(m_settings)); });
    for (const char *extension : {"bmp", "gif", "jpg", "ico", "emf", "wmf", "cur"}) {
        step(trap, [&] {
            const core::ImageType &type = *core::typeOfExtension(QString::fromLatin1(extension));
            chkAss[core::indexOf(type)]->setChecked(m_associations.associated(type));
        });
    }
    step(trap, [&] { setCheck(chkRevNav, keys::FsNav.read(m_settings)); });
    step(trap, [&] { setCheck(chkDelFavs, keys::DelFavs.read(m_settings)); });
    step(trap, [&] { setCheck(chkDisFSNav, keys::DisFsNav.read(m_settings)); });
    step(trap, [&] { setCheck(chkShowMBalways, keys::FsMbAl.read(m_settings)); });
    step(trap, [&] { setCheck(chkGreyMode, keys::GreyMode.read(m_settings)); });
    step(trap, [&] { setCheck(chkUseEditor, keys::UseEditor.read(m_settings)); });
    step(trap, [&] { txtEditor->setText(keys::EditorPath.read(m_settings)); });
    step(trap, [&] { setCheck(chkCloseAfter1, keys::CloseAfter1.read(m_settings)); });
    step(trap, [&] {
        const AssociationSteps::FrontPage frontPage = m_associations.frontPage();
        chkFP98->setEnabled(frontPage.enabled);
        chkFP98->setChecked(frontPage.checked);
    });
}

void options::cmdOK_Click()
{
    using core::encoding::booleanText;
    const char *trap = "ErrorNumber: ";
    // Each statement is trapped on its own: one that fails is reported and
    // the next one still runs.
    const auto saveEach = [&](const QList<std::pair<const core::SettingKey *, QString>> &values) {
        for (const auto &[key, value] : values)
            step(trap, [&] { key->save(m_settings, value); });
    };
    saveEach({{&keys::Minim, booleanText(Option1->isChecked())},
              {&keys::Always, booleanText(Option2->isChecked())},
              {&keys::Systray, checkText(Check4)}});
    if (Check1->checkState() != Qt::PartiallyChecked)
        saveEach({{&keys::ImageSize,
                   Check1->isChecked() ? QStringLiteral("Stretch") : QStringLiteral("Normal")}});
    saveEach({{&keys::FsNav, checkText(chkRevNav)},
              {&keys::DelFavs, checkText(chkDelFavs)},
              {&keys::ImageInfo, checkText(chkShowImageInfo)},
              {&keys::ImgFll, checkText(chkImgFll)},
              {&keys::LastDirectory, checkText(chkLastdir)},
              {&keys::Startdir, startdir->text()}});
    if (Check5->checkState() != Qt::PartiallyChecked)
        saveEach({{&keys::FullScreenInfo,
                   Check5->isChecked() ? QStringLiteral("On") : QStringLiteral("Off")}});
    saveEach({{&keys::ShowTips, checkText(chkLoadTipsAtStartup)},
              {&keys::DisFsNav, checkText(chkDisFSNav)},
              {&keys::FsMbAl, checkText(chkShowMBalways)},
              {&keys::GreyMode, checkText(chkGreyMode)},
              {&keys::UseEditor, checkText(chkUseEditor)},
              {&keys::EditorPath, txtEditor->text()},
              {&keys::CloseAfter1, checkText(chkCloseAfter1)}});
    step(trap, [&] { m_associations.saveFrontPage(chkFP98->checkState()); });
    for (const core::ImageType &type : core::imageTypes)
        step(trap,
             [&] { m_associations.saveType(type, chkAss[core::indexOf(type)]->checkState()); });
    accept();
}

void options::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void options::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (toTruth(keys::Systray.read(m_settings)))
        m_host.setInTray(toTruth(keys::Always.read(m_settings)));
    m_secondary.release();
}

void options::Command2_Click()
{
    if (m_desktop.msgBox(QStringLiteral("Are you sure you want to reset all options to their "
                                        "defaults?"),
                         platform::Icon::Question, platform::Buttons::YesNo,
                         QStringLiteral("Reset to Defaults")) != platform::Answer::Yes)
        return;
    for (QCheckBox *box : {Check1, chkShowImageInfo, Check5, chkLoadTipsAtStartup})
        box->setChecked(true);
    for (QPushButton *button : {fav, cmdCurrent, Command1})
        button->setEnabled(true);
    startdir->setText(core::defaultStartFolder());
    Check4->setChecked(false);
}

void options::checkAssociations(bool on)
{
    for (QCheckBox *box : chkAss)
        box->setChecked(on);
}

void options::fav_Click()
{
    const QList<std::pair<QString, QString>> items = m_host.favouriteItems();
    if (items.isEmpty()) {
        m_desktop.msgBox(QStringLiteral("There are no favourites set!"),
                         platform::Icon::Exclamation, platform::Buttons::Ok,
                         QStringLiteral("No Favourites"));
        return;
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i >= mnuFavs.size()) {
            mnuFavs << mnuFav->addAction(QString());
            mnuFavs.last()->setObjectName(QStringLiteral("mnuFavs(%1)").arg(i));
            connect(mnuFavs.last(), &QAction::triggered, this,
                    [this, i] { mnuFavs_Click(int(i)); });
        }
        mnuFavs[i]->setText(items[i].first);
        mnuFavs[i]->setData(items[i].second);
    }
    m_desktop.popUp(*mnuFav, QCursor::pos());
}

void options::mnuFavs_Click(int index)
{
    startdir->setText(mnuFavs.value(index)->data().toString());
}

void options::Command1_Click()
{
    const QString title = QStringLiteral("Browse for Start Directory...");
    // A cancelled picker keeps the folder that was there.
    QString folder;
    if (m_shell)
        folder = m_shell->Folders(title, this).toString();
    else
        folder = m_desktop.chooseFolder(this, title, startdir->text()).value_or(QString());
    if (!folder.isEmpty())
        startdir->setText(folder);
}

void options::cmdEditorBrowse_Click()
{
    const QString title = QStringLiteral("Browse for Image Editor...");
    QString start = txtEditor->text().trimmed();
    QString chosen;
    if (m_shell) {
        if (start.isEmpty())
            start = m_shell->GetWindowsDir();
        QString filter = QStringLiteral("*.exe|*.exe");
        chosen = m_shell->OpenDialog(this, filter, title, start);
    } else {
        chosen =
            m_desktop
                .openFileDialog(this, title, start.isEmpty() ? QStringLiteral("/usr/bin") : start,
                                QStringLiteral("*"))
                .value_or(QString());
    }
    if (!chosen.isEmpty())
        txtEditor->setText(chosen);
}

void options::Check4_Click()
{
    const bool on = Check4->isChecked();
    Option1->setEnabled(on);
    Option2->setEnabled(on);
    setOption(Option1, on);
}

void options::chkLastdir_Click()
{
    const bool last = chkLastdir->isChecked();
    for (QPushButton *button : {cmdCurrent, fav, Command1})
        button->setEnabled(!last);
}

void options::chkUseEditor_Click()
{
    txtEditor->setEnabled(chkUseEditor->isChecked());
    cmdEditorBrowse->setEnabled(chkUseEditor->isChecked());
}

void options::chkDisFSNav_Click()
{
    chkRevNav->setEnabled(!chkDisFSNav->isChecked());
}

} // namespace options
