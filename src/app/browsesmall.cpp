#include "browsesmall.h"
#include "platform/FileNames.h"
#include "platform/PictureRegions.h"

#include "browser/ImageDisplay.h"
#include "browser/InfoPanel.h"
#include "browser/Toolbar.h"
#include "core/ImageTypes.h"
#include "core/PantrelComponents.h"
#include "core/Paths.h"
#include "core/SettingKeys.h"
#include "core/Site.h"
#include "DesktopSeam.h"
#include "extras/frmAbout.h"
#include "extras/frmAgr.h"
#include "extras/frmIGUpdate.h"
#include "extras/frmUpd.h"
#include "extras/SysTray.h"
#include "extras/TipPanel.h"
#include "favourites/FavouritesMenu.h"
#include "fullscreen/Form4.h"
#include "Imagedim.h"
#include "MainLayout.h"
#include "platform/ErrorReport.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

using platform::Error;
namespace twips = platform::twips;

namespace {

template <typename W> W *place(W *widget, const QString &name, const QRectF &rect)
{
    widget->setObjectName(name);
    widget->setGeometry(twips::rect(rect.x(), rect.y(), rect.width(), rect.height()));
    return widget;
}

QAction *item(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction *checkedItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = item(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

QAction *separator(QMenu *menu, const QString &name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

QMenu *submenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QMenu *topMenu(QMenuBar *bar, const QString &name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

} // namespace

browsesmall::browsesmall(core::SettingsStore &settings, core::AppState &state,
                         platform::Desktop &desktop, StartupInfo startup, QWidget *parent)
    : QMainWindow(parent), m_settings(settings), m_state(state), m_desktop(desktop),
      m_startup(std::move(startup))
{
    setObjectName(QStringLiteral("browsesmall"));
    setWindowTitle(QStringLiteral("Imagrove 2"));
    if (!m_startup.cache && m_startup.lookAhead) {
        m_ownCache = std::make_unique<platform::PictureCache>();
        m_startup.cache = m_ownCache.get();
    }
    m_seam = std::make_unique<DesktopSeam>(m_desktop);
    m_components = std::make_unique<core::PantrelComponents>(
        core::PantrelComponents::defaultLibraryPath(m_startup.programFolder));
    m_components->setUiSeam(m_seam.get());
    imagedim = new Imagedim(this);
    buildControls();
    buildMenus();
    assemble();
    wire();
    setWindowHeightTwips(layout::FormHeightWithInfo);
    // The pane grows with the window; the lists share its growth in height;
    // the strip and the corner boxes keep to the bottom, the toolbar's
    // right-hand pictures to the right.
    const layout::Growth widens{0, 1, 0, 0}, toRight{1, 1, 0, 0}, down{0, 0, 1, 1},
        downWidens{0, 1, 1, 1}, corner{1, 1, 1, 1}, grows{0, 1, 0, 1}, tallerRight{1, 1, 0, 1},
        upperHalf{0, 0, 0, 0.5}, lowerHalf{0, 0, 0.5, 1};
    for (auto [control, growth] :
         std::initializer_list<std::pair<QWidget *, layout::Growth>>{{Picture2, widens},
                                                                     {welcome, toRight},
                                                                     {Image2, toRight},
                                                                     {Dir1, upperHalf},
                                                                     {fraFavLab, upperHalf},
                                                                     {FavList, upperHalf},
                                                                     {File1, lowerHalf},
                                                                     {Picture1, grows},
                                                                     {HScroll1, downWidens},
                                                                     {VScroll1, tallerRight},
                                                                     {Label1, corner},
                                                                     {Label2, corner},
                                                                     {ftype, down},
                                                                     {FileDate, down},
                                                                     {ImageSize, down},
                                                                     {ImDimen, down},
                                                                     {FileName, downWidens}})
        m_growing.push_back({control, control->geometry(), growth});
    try {
        // Fixed is how the window is built.
        if (core::keys::ResizableWindow.read(m_settings) == QLatin1String("1"))
            applyResizable(true);
    } catch (const Error &) {
        // The start reports a settings store it cannot read.
    }
}

browsesmall::~browsesmall()
{
    // The display reads ahead through the cache: it goes first.
    delete m_display;
}

void browsesmall::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("browsesmallClient"));
    setCentralWidget(central);

    Picture2 = place(new QFrame(central), QStringLiteral("Picture2"), layout::Toolbar);
    static_cast<QFrame *>(Picture2)->setFrameShape(QFrame::StyledPanel);
    for (int index : {0, 1, 3, 4, 5, 6, 7, 9, 10}) {
        auto *button = new platform::PictureButton(index, Picture2);
        const QRectF rect = layout::buttonRect(index);
        button->setGeometry(twips::rect(rect.x(), rect.y(), rect.width(), rect.height()));
        pics[static_cast<size_t>(index)] = button;
    }
    pics[0]->setPixmap(imagedim->pics[0]);
    pics[1]->setPixmap(imagedim->pics[2]);
    pics[3]->setPixmap(imagedim->home);
    pics[4]->setPixmap(imagedim->refresh);
    pics[5]->setPixmap(imagedim->fav);
    disableViewButtons();
    pics[9]->setPixmap(imagedim->options);
    pics[10]->setPixmap(imagedim->help);
    pics[0]->setToolTip(QStringLiteral("Previous Image"));
    pics[1]->setToolTip(QStringLiteral("Next Image"));
    pics[3]->setToolTip(QStringLiteral("Home Directory"));
    pics[4]->setToolTip(QStringLiteral("Refresh"));
    pics[5]->setToolTip(QStringLiteral("Favourites"));
    pics[6]->setToolTip(QStringLiteral("Full Screen"));
    pics[7]->setToolTip(QStringLiteral("Resize Image"));
    pics[9]->setToolTip(QStringLiteral("Options"));
    pics[10]->setToolTip(QStringLiteral("Help"));
    pics[6]->setEnabled(false);
    pics[7]->setEnabled(false);

    welcome = place(new QLabel(Picture2), QStringLiteral("welcome"), layout::welcome);
    Image2 =
        place(new platform::PictureButton(0, Picture2), QStringLiteral("Image2"), layout::Image2);
    Image2->setToolTip(QStringLiteral("About Imagrove"));
    welcome->setText(QStringLiteral("Welcome! Visit the Imagrove website for news and tips."));
    welcome->setWordWrap(true);
    // Its box is fixed: a large font is made smaller until every line fits.
    for (QFont font = welcome->font();
         welcome->heightForWidth(welcome->width()) > welcome->height() && font.pointSizeF() > 6;) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        welcome->setFont(font);
    }

    Drive1 = place(new platform::DriveListBox(central), QStringLiteral("Drive1"), layout::Drive1);
    Dir1 = place(new platform::DirListBox(central), QStringLiteral("Dir1"), layout::Dir1);
    File1 = place(new platform::FileListBox(central), QStringLiteral("File1"), layout::File1);

    fraFavLab = place(new QFrame(central), QStringLiteral("fraFavLab"), layout::FavFrame);
    fraFavLab->setFrameShape(QFrame::StyledPanel);
    Label4 = new QLabel(QStringLiteral("Favourite Folders"), fraFavLab);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(4, 2, fraFavLab->width() - 8, 18);
    FavList = new QListWidget(fraFavLab);
    FavList->setObjectName(QStringLiteral("FavList"));
    FavList->setGeometry(4, 22, fraFavLab->width() - 8, fraFavLab->height() - 26);
    fraFavLab->hide();

    Picture1 = place(new QFrame(central), QStringLiteral("Picture1"), layout::Picture1);
    Picture1->setFrameShape(QFrame::NoFrame);
    Picture1->setAutoFillBackground(true);
    QPalette palette = Picture1->palette();
    palette.setColor(QPalette::Window, Qt::black);
    Picture1->setPalette(palette);
    Image1 = place(new platform::PictureButton(-1, Picture1), QStringLiteral("Image1"),
                   layout::StretchBox);
    Image1->setScaledContents(true);

    lblTipText = place(new QLabel(Picture1), QStringLiteral("lblTipText"), layout::lblTipText);
    lblTipText->setText(QStringLiteral("Tips are displayed here."));
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont tipFont = lblTipText->font();
    tipFont.setPointSizeF(13.5);
    tipFont.setBold(true);
    lblTipText->setFont(tipFont);
    QPalette tipPalette = lblTipText->palette();
    tipPalette.setColor(QPalette::WindowText, Qt::white);
    lblTipText->setPalette(tipPalette);
    cmdNextTip = place(new QPushButton(QStringLiteral("&Next Tip"), Picture1),
                       QStringLiteral("cmdNextTip"), layout::cmdNextTip);
    chkLoadTipsAtStartup =
        place(new QCheckBox(QStringLiteral("Show Tips at Startup"), Picture1),
              QStringLiteral("chkLoadTipsAtStartup"), layout::chkLoadTipsAtStartup);
    // 1800 twips clips the caption in most desktop fonts: wide enough for
    // it, from the same place.
    chkLoadTipsAtStartup->resize(
        std::max(chkLoadTipsAtStartup->width(), chkLoadTipsAtStartup->sizeHint().width()),
        std::max(chkLoadTipsAtStartup->height(), chkLoadTipsAtStartup->sizeHint().height()));
    // Taller in a large font, it rises to stay within the pane's bottom edge.
    if (const int over = chkLoadTipsAtStartup->geometry().bottom() - (Picture1->height() - 1);
        over > 0)
        chkLoadTipsAtStartup->move(chkLoadTipsAtStartup->x(), chkLoadTipsAtStartup->y() - over);
    // The check box sits over the button's left end; keep it on top. In a
    // large font it would reach the caption: the button then starts beyond it.
    chkLoadTipsAtStartup->raise();
    const int caption = cmdNextTip->sizeHint().width();
    const QRect button = cmdNextTip->geometry();
    const int clear = chkLoadTipsAtStartup->geometry().right() + 6;
    if (clear > button.left() + (button.width() - caption) / 2)
        cmdNextTip->setGeometry(QRect(QPoint(clear, button.top()), button.bottomRight()));

    HScroll1 = place(new QScrollBar(Qt::Horizontal, central), QStringLiteral("HScroll1"),
                     layout::HScroll1);
    VScroll1 =
        place(new QScrollBar(Qt::Vertical, central), QStringLiteral("VScroll1"), layout::VScroll1);
    for (QScrollBar *bar : {HScroll1, VScroll1}) {
        bar->setRange(0, 0);
        bar->setEnabled(false);
    }

    Label2 =
        place(new platform::PictureButton(-1, central), QStringLiteral("Label2"), layout::Label2);
    Label2->setText(QStringLiteral("V"));
    Label2->setToolTip(QStringLiteral("Show Image Information"));
    Label1 =
        place(new platform::PictureButton(-1, central), QStringLiteral("Label1"), layout::Label1);
    Label1->setText(QStringLiteral("^"));
    Label1->setToolTip(QStringLiteral("Hide Image Information"));
    Label2->hide();

    ftype = place(new QLabel(central), QStringLiteral("ftype"), layout::ftype);
    FileDate = place(new QLabel(central), QStringLiteral("FileDate"), layout::FileDate);
    ImageSize = place(new QLabel(central), QStringLiteral("ImageSize"), layout::ImageSize);
    ImDimen = place(new QLabel(central), QStringLiteral("ImDimen"), layout::ImDimen);
    FileName = place(new QLabel(central), QStringLiteral("FileName"), layout::FileName);
    // The strip is as tall as the desktop's font needs, so no descender is cut.
    m_stripHeight = layout::stripHeightPixels(QFontMetrics(central->font()).height());
    for (QLabel *label : {ftype, FileDate, ImageSize, ImDimen, FileName}) {
        label->resize(label->width(), m_stripHeight);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    ostrel = new extras::SysTray(this);
    ostrel->setObjectName(QStringLiteral("ostrel"));
}

void browsesmall::buildMenus()
{
    QMenuBar *bar = menuBar();

    mnuFileItem = topMenu(bar, QStringLiteral("mnuFileItem"), QStringLiteral("&File"));
    mnuRefresh =
        item(mnuFileItem, QStringLiteral("mnuRefresh"), QStringLiteral("Refresh Directory"));
    mnuPreferences =
        submenu(mnuFileItem, QStringLiteral("mnuPreferences"), QStringLiteral("Preferences"));
    mnuDefault = item(mnuPreferences, QStringLiteral("mnuDefault"), QStringLiteral("Main Options"));
    mnuFulScrnOpt = item(mnuPreferences, QStringLiteral("mnuFulScrnOpt"),
                         QStringLiteral("Full Screen Options"));
    mnuAdvancedOpt =
        item(mnuPreferences, QStringLiteral("mnuAdvancedOpt"), QStringLiteral("Advanced Options"));
    mnuEditFavs =
        item(mnuPreferences, QStringLiteral("mnuEditFavs"), QStringLiteral("Favourites Manager"));
    separator(mnuFileItem, QStringLiteral("line21"));
    mnuExit = item(mnuFileItem, QStringLiteral("mnuExit"), QStringLiteral("Exit"));

    mnuEdit = topMenu(bar, QStringLiteral("mnuEdit"), QStringLiteral("&Edit"));
    mnuCopy = item(mnuEdit, QStringLiteral("mnuCopy"), QStringLiteral("Copy to Clipboard"));
    mnuClear = item(mnuEdit, QStringLiteral("mnuClear"), QStringLiteral("Clear Clipboard"));
    lin754 = separator(mnuEdit, QStringLiteral("lin754"));
    mnuEditor = item(mnuEdit, QStringLiteral("mnuEditor"), QStringLiteral("Edit Image..."));

    mnuView = topMenu(bar, QStringLiteral("mnuView"), QStringLiteral("&View"));
    mnuStretch = checkedItem(mnuView, QStringLiteral("mnuStretch"), QStringLiteral("Resize Image"));
    mnuKeepProp =
        checkedItem(mnuView, QStringLiteral("mnuKeepProp"), QStringLiteral("Keep Proportions"));
    mnuResizable =
        checkedItem(mnuView, QStringLiteral("mnuResizable"), QStringLiteral("Resizable Window"));
    mnuResizable->setChecked(false);
    mnuStatus =
        checkedItem(mnuView, QStringLiteral("mnuStatus"), QStringLiteral("Image Information"));
    mnuFullscrn = item(mnuView, QStringLiteral("mnuFullscrn"), QStringLiteral("Full Screen"));
    mnuFullscrn->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuBackCol = submenu(mnuView, QStringLiteral("mnuBackCol"), QStringLiteral("Back Colour"));
    mnuBGrey = item(mnuBackCol, QStringLiteral("mnuBGrey"), QStringLiteral("Grey"));
    mnuBWhite = item(mnuBackCol, QStringLiteral("mnuBWhite"), QStringLiteral("White"));
    mnuBBlack = item(mnuBackCol, QStringLiteral("mnuBBlack"), QStringLiteral("Black"));
    separator(mnuBackCol, QStringLiteral("lin2"));
    mnuChooseCol =
        item(mnuBackCol, QStringLiteral("mnuChooseCol"), QStringLiteral("From Palette..."));
    for (QAction *colour : {mnuBGrey, mnuBWhite, mnuBBlack, mnuChooseCol})
        colour->setCheckable(true);
    for (QAction *action : {mnuStretch, mnuStatus, mnuFullscrn, mnuBackCol->menuAction()})
        action->setEnabled(false);

    mnuFav = topMenu(bar, QStringLiteral("mnuFav"), QStringLiteral("F&avourites"));
    mnuAdd = item(mnuFav, QStringLiteral("mnuAdd"), QStringLiteral("Add..."));
    mnuFavMan = item(mnuFav, QStringLiteral("mnuFavMan"), QStringLiteral("&Favourites Manager..."));
    separator(mnuFav, QStringLiteral("lin"));

    mnuFTs = topMenu(bar, QStringLiteral("mnuFTs"), QStringLiteral("File Types"));
    for (int i = 0; i < int(mnuFT.size()); ++i)
        mnuFT[size_t(i)] = checkedItem(mnuFTs, QStringLiteral("mnuFT(%1)").arg(i),
                                       QLatin1String(core::typeAtMenuIndex(i)->menuCaption));
    mnuOther = checkedItem(mnuFTs, QStringLiteral("mnuOther"), QStringLiteral("Other Images"));
    separator(mnuFTs, QStringLiteral("line37"));
    mnuImages = item(mnuFTs, QStringLiteral("mnuImages"), QStringLiteral("All Images"));

    mnuGoItem = topMenu(bar, QStringLiteral("mnuGoItem"), QStringLiteral("&Go"));
    mnuMail = item(mnuGoItem, QStringLiteral("mnuMail"), QStringLiteral("Email Support"));
    mnuMail2 = item(mnuGoItem, QStringLiteral("mnuMail2"), QStringLiteral("Email Enquiries"));
    mnuHomepage =
        item(mnuGoItem, QStringLiteral("mnuHomepage"), QStringLiteral("Imagrove Website"));
    mnuTopten = item(mnuGoItem, QStringLiteral("mnuTopten"), QStringLiteral("Desktop Images"));
    separator(mnuGoItem, QStringLiteral("line4"));
    for (size_t i = 0; i < mnuLink.size(); ++i)
        mnuLink[i] = item(mnuGoItem, QStringLiteral("mnuLink%1").arg(core::galleries[i].number),
                          QLatin1String(core::galleries[i].name));

    mnuHelp = topMenu(bar, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    mnuHelpcont = item(mnuHelp, QStringLiteral("mnuHelpcont"), QStringLiteral("Help Contents"));
    mnuReadme = item(mnuHelp, QStringLiteral("mnuReadme"), QStringLiteral("ReadMe"));
    mnuTips = checkedItem(mnuHelp, QStringLiteral("mnuTips"), QStringLiteral("Imagrove Tips"));
    mnuUpdate = item(mnuHelp, QStringLiteral("mnuUpdate"), QStringLiteral("&Imagrove Update"));
    separator(mnuHelp, QStringLiteral("line5"));
    mnuAboutItem = item(mnuHelp, QStringLiteral("mnuAboutItem"), QStringLiteral("About..."));

    mnuOstrel = new QMenu(QStringLiteral("Ostrel"), this);
    mnuOstrel->setObjectName(QStringLiteral("mnuOstrel"));
    mnuShowIG = item(mnuOstrel, QStringLiteral("mnuShowIG"), QStringLiteral("Show Imagrove"));
    separator(mnuOstrel, QStringLiteral("lin32"));
    mnuCopyImg = item(mnuOstrel, QStringLiteral("mnuCopyImg"), QStringLiteral("Copy Image"));
    mnuGoMen = submenu(mnuOstrel, QStringLiteral("mnuGoMen"), QStringLiteral("Go"));
    for (size_t i = 0; i < mnuGallery.size(); ++i)
        mnuGallery[i] = item(mnuGoMen, QStringLiteral("mnuGallery%1").arg(i + 1),
                             QLatin1String(core::galleries[i].name));
    mnuAboutIG = item(mnuOstrel, QStringLiteral("mnuAboutIG"), QStringLiteral("About..."));
    mnuCloseIG = item(mnuOstrel, QStringLiteral("mnuCloseIG"), QStringLiteral("Close Imagrove"));
    mnuOstrel->menuAction()->setVisible(false);
}

void browsesmall::assemble()
{
    m_navigation = new browser::FolderNavigation(
        {Drive1, Dir1, File1, pics[0], pics[1], mnuFTs, mnuFT, mnuImages, mnuRefresh, mnuOther},
        m_settings, m_desktop, *imagedim, *this, this);
    m_display = new browser::ImageDisplay(
        {File1, Picture1, Image1, HScroll1, VScroll1, pics[6], pics[7], mnuView, mnuStretch,
         mnuFullscrn, mnuBackCol, mnuBGrey, mnuBWhite, mnuBBlack, mnuChooseCol, mnuKeepProp},
        m_state, m_settings, m_desktop, *imagedim, this);
    m_display->setCache(m_startup.cache);
    m_display->setViewer(this);
    m_info = new browser::InfoPanel(
        {ftype, FileDate, ImageSize, ImDimen, FileName, Label1, Label2, mnuStatus}, this);
    m_tips = new extras::TipPanel(
        {lblTipText, cmdNextTip, chkLoadTipsAtStartup, mnuTips}, m_settings, m_desktop,
        platform::joinPath(m_startup.programFolder, QStringLiteral("IGTIPS.IGR")), this);
    m_favourites = new favourites::FavouritesMenu(
        {mnuFav, mnuAdd, mnuFavMan, mnuEditFavs, fraFavLab, Label4, FavList, pics[5]}, m_settings,
        m_desktop, m_state, *this, this);
    m_toolbar = new browser::Toolbar({pics,
                                      Picture2,
                                      Drive1,
                                      Dir1,
                                      File1,
                                      {centralWidget(), Drive1, Dir1, File1, fraFavLab, Label4,
                                       FavList, Picture1, welcome, Image1, Image2}},
                                     m_settings, m_state, m_desktop, *m_navigation, this);
    m_commands = new browser::BrowserCommands(
        {mnuCopy, mnuCopyImg, mnuClear, mnuEdit, mnuEditor, lin754, mnuHelpcont, mnuReadme,
         mnuHomepage, mnuTopten, mnuMail, mnuMail2, mnuLink, mnuGallery},
        m_settings, m_desktop, m_state, *m_display, m_startup.programFolder, this);
}

void browsesmall::wire()
{
    connect(mnuExit, &QAction::triggered, this, &browsesmall::mnuExit_Click);
    connect(mnuCloseIG, &QAction::triggered, this, &browsesmall::mnuCloseIG_Click);
    connect(mnuShowIG, &QAction::triggered, this, &browsesmall::mnuShowIG_Click);
    connect(mnuDefault, &QAction::triggered, this, [this] { openOptions(0); });
    connect(mnuAdvancedOpt, &QAction::triggered, this, [this] { openOptions(1); });
    connect(mnuFulScrnOpt, &QAction::triggered, this, [this] { openOptions(2); });
    connect(m_toolbar, &browser::Toolbar::optionsWanted, this, [this] { openOptions(0); });
    connect(m_toolbar, &browser::Toolbar::helpWanted, m_commands,
            &browser::BrowserCommands::showHelpFile);
    connect(mnuUpdate, &QAction::triggered, this, &browsesmall::openUpdate);
    connect(mnuAboutItem, &QAction::triggered, this, [this] { openAbout(true); });
    connect(mnuAboutIG, &QAction::triggered, this, [this] { openAbout(false); });
    connect(Image2, &platform::PictureButton::MouseUp, this, [this](int, Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            openAbout(true);
    });
    connect(ostrel, &extras::SysTray::MouseUp, this,
            [this](int button, int) { ostrel_MouseUp(button); });
    connect(ostrel, &extras::SysTray::MouseDblClick, this, &browsesmall::ostrel_MouseDblClick);
    connect(m_display, &browser::ImageDisplay::imageSelected, this, &browsesmall::imageSelected);
    connect(m_display, &browser::ImageDisplay::imageSelected, m_tips,
            &extras::TipPanel::imageSelected);
    connect(m_display, &browser::ImageDisplay::imageSelected, m_info,
            &browser::InfoPanel::enableMenu);
    connect(m_display, &browser::ImageDisplay::imageShown, m_info, &browser::InfoPanel::fill);
    connect(m_display, &browser::ImageDisplay::imageFailed, m_info, &browser::InfoPanel::clear);
    connect(m_display, &browser::ImageDisplay::imageShown, this, &browsesmall::imageShown);
    connect(m_tips, &extras::TipPanel::placeholderWanted, this, &browsesmall::tipPlaceholder);
    connect(m_tips, &extras::TipPanel::paneCleared, this, &browsesmall::paneCleared);
    connect(m_info, &browser::InfoPanel::endingChanged, m_commands,
            &browser::BrowserCommands::Text1_Change);
    connect(m_info, &browser::InfoPanel::heightWanted, this, &browsesmall::setWindowHeightTwips);
    connect(m_navigation, &browser::FolderNavigation::folderChanged, m_favourites,
            &favourites::FavouritesMenu::applyAddCaption);
    connect(m_navigation, &browser::FolderNavigation::folderChanged, m_display,
            &browser::ImageDisplay::dropLookAhead);
    connect(mnuResizable, &QAction::triggered, this, &browsesmall::mnuResizable_Click);
    connect(m_favourites, &favourites::FavouritesMenu::panelToggled, this,
            &browsesmall::favouritesPanelToggled);
    connect(m_info, &browser::InfoPanel::captionChanged, this, [this](const QString &caption) {
        setWindowTitle(caption.isEmpty() ? QStringLiteral("Imagrove 2") : caption);
    });
}

void browsesmall::imageSelected()
{
    welcome->hide();
}

void browsesmall::tipPlaceholder(bool tipsOn)
{
    if (tipsOn)
        Image1->move(0, 0);
    Image1->setPixmap(tipsOn ? imagedim->tipsPicture : imagedim->noTipsPicture);
}

void browsesmall::paneCleared()
{
    for (QAction *item : {mnuStretch, mnuStatus, mnuBackCol->menuAction(), mnuFullscrn})
        item->setEnabled(false);
    disableViewButtons();
}

void browsesmall::disableViewButtons()
{
    pics[6]->setPixmap(imagedim->Fullscreenbw);
    pics[6]->setEnabled(false);
    pics[7]->setPixmap(imagedim->resizebw);
    pics[7]->setEnabled(false);
}

void browsesmall::favouritesPanelToggled(bool shown)
{
    // The panel takes the place of the drive list and the folder tree.
    Drive1->setVisible(!shown);
    Dir1->setVisible(!shown);
    pics[5]->setPixmap(shown ? imagedim->Picture2 : imagedim->fav);
}

QString browsesmall::currentFolder() const
{
    return Dir1->path();
}

void browsesmall::goToFolder(const QString &folder)
{
    m_navigation->goTo(folder);
}

void browsesmall::setWindowHeightTwips(double formHeight)
{
    const int width = twips::toPixels(layout::FormWidth);
    int client = twips::toPixels(layout::clientHeight(formHeight));
    if (formHeight >= layout::FormHeightWithInfo)
        client = std::max(client, twips::toPixels(layout::InfoTop) + m_stripHeight);
    const QSize before = m_fixedClient;
    m_fixedClient = QSize(width, client);
    m_formHeight = formHeight;
    const int menu = menuBar()->sizeHint().height();
    if (!m_resizable) {
        centralWidget()->setFixedSize(m_fixedClient);
        setFixedSize(width, client + menu);
        return;
    }
    // Grown, the window keeps its growth as the strip comes or goes.
    centralWidget()->setMinimumSize(m_fixedClient);
    setMinimumSize(width, client + menu);
    if (before.isValid() && !isMaximized())
        resize(size() + QSize(0, client - before.height()));
    followGrowth();
}

void browsesmall::mnuResizable_Click()
{
    const bool on = mnuResizable->isChecked();
    save(core::keys::ResizableWindow, on ? QStringLiteral("1") : QStringLiteral("0"));
    applyResizable(on);
}

void browsesmall::applyResizable(bool on)
{
    m_resizable = on;
    mnuResizable->setChecked(on);
    if (on) {
        centralWidget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowHeightTwips(m_formHeight);
        const QStringList saved = core::keys::WindowSize.read(m_settings).split(u' ');
        if (saved.size() == 2)
            resize(QSize(saved[0].toInt(), saved[1].toInt()).expandedTo(minimumSize()));
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        setWindowHeightTwips(m_formHeight);
    }
    followGrowth();
}

void browsesmall::followGrowth()
{
    const QSize client = centralWidget()->size();
    const int dx = m_resizable ? std::max(0, client.width() - m_fixedClient.width()) : 0;
    const int dy = m_resizable ? std::max(0, client.height() - m_fixedClient.height()) : 0;
    for (const Growing &item : m_growing)
        item.control->setGeometry(layout::grown(item.base, item.growth, dx, dy));
    m_display->paneResized();
}

void browsesmall::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_resizable)
        followGrowth();
}

void browsesmall::save(const core::SettingKey &key, const QString &value)
{
    try {
        key.save(m_settings, value);
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErroNumber);
    }
}

void browsesmall::readAhead(platform::PictureCache &cache, core::SettingsStore &settings,
                            const QString &commandLine)
{
    const QString path = core::commandLinePath(commandLine);
    const QFileInfo file(path);
    if (path.isEmpty() || !platform::regularFileFacts(path))
        return;
    // The path as the file list will name it.
    const QString listed =
        browser::imagePath(platform::normalFolder(file.absolutePath()), file.fileName());
    try {
        const bool stretched = core::keys::ImageSize.read(settings) != QLatin1String("Normal");
        // Straight into full screen, the picture is decoded once, for it.
        cache.prefetch({listed}, launchTarget(settings, commandLine)
                                     .value_or(browser::ImageDisplay::paneTarget(stretched)));
    } catch (const Error &) {
        // The window reports a settings store it cannot read.
    }
}

bool browsesmall::launchesIntoViewer(core::SettingsStore &settings, const QString &commandLine)
{
    // A file that is not there, or a folder, opens the main window as ever.
    const QString path = core::commandLinePath(commandLine);
    return !path.isEmpty() && platform::regularFileFacts(path) &&
           core::encoding::checkIsOn(core::keys::ImgFll.read(settings));
}

std::optional<QSize> browsesmall::launchTarget(core::SettingsStore &settings,
                                               const QString &commandLine)
{
    if (!launchesIntoViewer(settings, commandLine))
        return std::nullopt;
    if (core::keys::FullScreenFit.read(settings) != QLatin1String("1")) {
        // One too large to hold whole is seen by regions, over the pane's
        // picture.
        if (platform::PictureRegions::suits(core::commandLinePath(commandLine)))
            return std::nullopt;
        return QSize();
    }
    const QStringList box = core::keys::FullScreenBox.read(settings).split(u' ');
    const QSize size(box.value(0).toInt(), box.value(1).toInt());
    if (box.size() != 2 || size.width() < 2 || size.height() < 2)
        return std::nullopt;
    return platform::withinBox(size);
}

bool browsesmall::agreementAndUpgrade()
{
    // Decided before the agreement, which makes the new store exist.
    const extras::frmIGUpdate::Upgrade upgrade = extras::frmIGUpdate::upgrade(m_settings);
    if (core::encoding::toNumber(core::keys::License.read(m_settings)) != 0) {
        extras::frmAgr agreement(m_settings, m_desktop);
        if (m_desktop.runModal(agreement) != QDialog::Accepted)
            return false;
    }
    try {
        upgrade.record(m_settings);
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
    }
    if (upgrade.upgrading) {
        extras::frmIGUpdate wizard(m_settings, m_state, m_desktop, m_components->fileAssoc(),
                                   m_startup.programFolder);
        if (m_desktop.runModal(wizard) == extras::frmIGUpdate::Ended)
            return false;
    }
    return true;
}

void browsesmall::start()
{
    // Hidden in the tray, the main window is not among the windows shown: a
    // message box or the About box closing there must not end the program.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Nothing of the window is saved when the program ends here.
    if (!agreementAndUpgrade()) {
        m_unloaded = true;
        return;
    }
    m_display->holdLookAheadUntilPainted();
    // Straight into full screen, the window is not drawn first under the
    // viewer: it shows once the viewer closes.
    const bool intoViewer = launchesIntoViewer(m_settings, m_startup.commandLine);
    if (!intoViewer)
        show();
    Form_Load();
    // Stepping through the folder with the arrow keys comes first.
    if (!m_unloaded) {
        if (intoViewer)
            show();
        File1->setFocus();
    }
    // After the first picture: the logo is not worth its wait.
    QTimer::singleShot(0, this, &browsesmall::showLogo);
}

void browsesmall::Form_Load()
{
    const QString &program = m_startup.programFolder;
    m_tips->ShowTipPanel();
    ostrel->setTrayTip(QStringLiteral("Imagrove"));

    const quint64 readings = File1->readings();
    try {
        m_display->setLaunchTarget(launchTarget(m_settings, m_startup.commandLine));
    } catch (const Error &) {
        // Read as the window started; a store that fails is reported there.
    }
    const bool listed = openStartFolder(commandLineFolder()) && selectCommandLineImage();
    // A picture asked for by name is shown, or why not is said, whatever
    // the list holds.
    const QString asked = core::commandLinePath(m_startup.commandLine);
    if (!listed && !asked.isEmpty() && !QFileInfo(asked).isDir())
        m_display->showFile(QFileInfo(asked).absoluteFilePath());
    if (core::keys::Favlist.read(m_settings) == QLatin1String("1"))
        m_favourites->showPanel(true);
    m_display->applyStartupMode();
    m_display->applyStartupColour();

    // Re-reading the list applies the pattern to the folder as it is now;
    // a list read moments ago by these steps is that already.
    if (File1->readings() == readings) {
        try {
            File1->refreshKeepingSelection();
        } catch (const Error &error) {
            platform::reportError(m_desktop, error, platform::captions::ErroNumber);
        }
    }
    m_favourites->applyAddCaption(Dir1->path());

    // Where the desktop has no tray, no icon is asked for.
    using core::encoding::toTruth;
    if (m_desktop.trayAvailable() && toTruth(core::keys::Systray.read(m_settings)) &&
        toTruth(core::keys::Always.read(m_settings)))
        putInTray();

    m_info->apply(core::encoding::checkIsNotOff(core::keys::ImageInfo.read(m_settings)));
    m_commands->applyEditorItem();

    if (fullScreenLaunch(); m_unloaded)
        return;

    // The library is loaded only when the user chose a type.
    if (options::AssociationSteps::anyChosen(m_settings))
        options::AssociationSteps(m_components->fileAssoc(), m_settings, m_desktop,
                                  m_startup.programFolder)
            .reassert();

    // Writing the store costs more than the first paint; an unchanged value
    // needs no writing.
    if (core::keys::ProgramPath.read(m_settings) != program)
        save(core::keys::ProgramPath, program);

    if (core::encoding::checkIsOn(core::keys::DelFavs.read(m_settings))) {
        m_favourites->deleteInvalidFavourites();
        m_favourites->applyAddCaption(Dir1->path());
        if (m_favourites->panelShown())
            m_favourites->RefreshFavList();
    }
}

QString browsesmall::commandLineFolder()
{
    const QString path = core::commandLinePath(m_startup.commandLine);
    const QFileInfo named(path);
    if (path.isEmpty())
        return {};
    if (named.isDir()) {
        // A folder is opened, with nothing chosen in it.
        m_state.CommandLineFolder = platform::normalFolder(named.absoluteFilePath());
        m_state.CommandLineFile.clear();
    } else if (platform::regularFileFacts(path)) {
        core::SplitPath(m_state, named.absoluteFilePath());
    } else {
        return {};
    }
    const QString folder =
        m_state.CommandLineFolder.isEmpty() ? QStringLiteral("/") : m_state.CommandLineFolder;
    // An image whose folder cannot be listed is not offered at all.
    try {
        platform::requireReadableFolder(folder);
    } catch (const Error &) {
        return {};
    }
    return folder;
}

bool browsesmall::openStartFolder(const QString &imageFolder)
{
    // The folder of an image from the command line is listed instead of
    // the start folder, which would only be read to be left at once.
    bool opened = false;
    if (!imageFolder.isEmpty()) {
        Drive1->setDrive(imageFolder);
        opened = m_navigation->openFolder(imageFolder) &&
                 platform::normalFolder(Dir1->path()) == platform::normalFolder(imageFolder);
    }
    if (!opened) {
        const QString stored = core::keys::Startdir.read(m_settings, core::defaultStartFolder());
        const QString folder =
            platform::normalFolder(core::startFolder(stored, m_startup.programFolder));
        Drive1->setDrive(folder);
        m_navigation->openFolder(folder);
    }
    m_navigation->updateStepping();
    disableViewButtons();
    return opened;
}

bool browsesmall::selectCommandLineImage()
{
    const QString file = m_state.CommandLineFile;
    if (file.isEmpty())
        return false;
    // Find the entry first, so that only the file asked for is decoded.
    File1->setEnabled(false);
    bool found = false;
    for (int i = 0; i < File1->listCount() && !found; ++i) {
        const QString entry = platform::joinPath(File1->path(), File1->list(i));
        found = core::ShortFileName(m_state, entry).compare(file, Qt::CaseInsensitive) == 0;
        if (found)
            File1->setListIndex(i);
    }
    File1->setEnabled(true);
    return found;
}

void browsesmall::fullScreenLaunch()
{
    using core::encoding::checkIsOn;
    // Only a picture that is shown can be viewed full screen.
    if (!launchesIntoViewer(m_settings, m_startup.commandLine) || m_display->picture().isNull()) {
        m_display->setLaunchTarget(std::nullopt);
        return;
    }
    const bool closeAfter =
        m_display->openFullScreen(true) && checkIsOn(core::keys::CloseAfter1.read(m_settings));
    m_display->setLaunchTarget(std::nullopt);
    if (closeAfter)
        close();
}

bool browsesmall::open(bool launchedFromCommandLine)
{
    fullscreen::Form4 viewer(*this, *m_display, m_state, m_settings, m_desktop,
                             launchedFromCommandLine, this);
    // The main window's folder moves the viewer's lists with it.
    connect(m_navigation, &browser::FolderNavigation::folderChanged, &viewer,
            &fullscreen::Form4::followFolder);
    m_desktop.runModal(viewer);
    return viewer.launchedFromCommandLine();
}

void browsesmall::ShowSelectedImage()
{
    m_display->ShowSelectedImage();
}

void browsesmall::viewerClosed()
{
    m_display->viewerClosed();
}

void browsesmall::popUpFavourites(const QPoint &at)
{
    m_desktop.popUp(*mnuFav, at);
}

void browsesmall::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
    // The program ends with this window, and only with it.
    QCoreApplication::quit();
}

void browsesmall::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A tree that never opened a folder has nothing to remember.
    if (core::encoding::checkIsOn(core::keys::LastDirectory.read(m_settings)) &&
        !Dir1->path().isEmpty())
        save(core::keys::Startdir, Dir1->path());
    // The hidden picture store stays until this window is destroyed.
    imagedim->close();
    ostrel->setInTray(false);
    save(core::keys::Favlist,
         m_favourites->panelShown() ? QStringLiteral("1") : QStringLiteral("0"));
    if (m_resizable) {
        const QSize kept = isMaximized() ? normalGeometry().size() : size();
        save(core::keys::WindowSize, QStringLiteral("%1 %2").arg(kept.width()).arg(kept.height()));
    }
}

void browsesmall::mnuExit_Click()
{
    close();
}

void browsesmall::mnuCloseIG_Click()
{
    const platform::Answer answer = m_desktop.msgBox(
        QStringLiteral("Exit Imagrove?"), platform::Icon::Question, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes) {
        ostrel->setInTray(false);
        mnuExit_Click();
    }
}

void browsesmall::showHelpContents()
{
    m_commands->showHelpFile();
}

void browsesmall::openOptions(int page)
{
    m_toolbar->removeHover();
    options::AssociationSteps associations(m_components->fileAssoc(), m_settings, m_desktop,
                                           m_startup.programFolder);
    options::options dialog(m_settings, m_state, m_desktop, associations, m_components->shell(),
                            *this, this);
    dialog.Frames[size_t(page)]->setChecked(true);
    m_desktop.runModal(dialog);
    m_info->apply(core::encoding::checkIsNotOff(core::keys::ImageInfo.read(m_settings)));
    m_commands->applyEditorItem();
}

void browsesmall::openUpdate()
{
    if (!m_reachability)
        m_reachability = std::make_unique<extras::SystemReachability>();
    extras::frmUpd wizard(m_state, m_desktop, *m_reachability, m_startup.programFolder, this);
    m_desktop.runModal(wizard);
}

void browsesmall::openAbout(bool modal)
{
    const QPixmap logo = QPixmap::fromImage(programIcon().image);
    if (modal) {
        extras::frmAbout about(m_state, m_desktop, logo, m_startup.programFolder, this);
        m_desktop.runModal(about);
        return;
    }
    // From the tray: not waited for, and above the other windows.
    if (!m_about) {
        m_about = new extras::frmAbout(m_state, m_desktop, logo, m_startup.programFolder, this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
        m_about->setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    m_about->show();
    m_about->raise();
}

const platform::Picture &browsesmall::programIcon()
{
    // Read once, when first needed.
    if (!m_programIconRead) {
        m_programIconRead = true;
        try {
            m_programIcon = platform::PictureDecoder().load(
                platform::joinPath(m_startup.programFolder, QStringLiteral("imagrove.ico")));
        } catch (const Error &) {
            // The tray and the logo show nothing.
        }
    }
    return m_programIcon;
}

void browsesmall::showLogo()
{
    if (programIcon().image.isNull())
        return;
    Image2->setPixmap(QPixmap::fromImage(
        programIcon().image.scaled(Image2->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QList<std::pair<QString, QString>> browsesmall::favouriteItems() const
{
    QList<std::pair<QString, QString>> items;
    // A disabled first item is the "No Favourites" line.
    if (mnuFav1().empty() || !mnuFav1().front()->isEnabled())
        return items;
    for (const QAction *item : mnuFav1())
        items.append({item->text(), item->data().toString()});
    return items;
}

void browsesmall::setInTray(bool inTray)
{
    if (inTray && m_desktop.trayAvailable())
        putInTray();
    else
        ostrel->setInTray(false);
}

void browsesmall::putInTray()
{
    if (!programIcon().image.isNull())
        ostrel->setTrayIcon(programIcon());
    ostrel->setInTray(true);
}

void browsesmall::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // After the change has run its course: showing a window minimised shows
    // it after the state has changed.
    if (event->type() == QEvent::WindowStateChange)
        QTimer::singleShot(0, this, &browsesmall::Form_Resize);
}

void browsesmall::Form_Resize()
{
    // Without a tray a hidden window could not be brought back: minimising
    // then only minimises, whatever the settings say.
    if (!m_desktop.trayAvailable())
        return;
    const bool useTray = core::encoding::toNumber(core::keys::Systray.read(m_settings, 0)) == 1 &&
                         core::encoding::toTruth(core::keys::Minim.read(m_settings));
    if (!isMinimized() && !isMaximized() && useTray) {
        ostrel->setInTray(false);
        show();
    }
    if (isMinimized()) {
        if (useTray) {
            putInTray();
            hide();
        }
        if (ostrel->InTray())
            hide();
    }
}

void browsesmall::captionShowIG()
{
    if (isMinimized() || isHidden())
        mnuShowIG->setText(QStringLiteral("Show Imagrove"));
    else if (!isMaximized())
        mnuShowIG->setText(QStringLiteral("Hide Imagrove"));
}

void browsesmall::mnuShowIG_Click()
{
    if (m_state.SecondaryWindowOpen)
        return;
    if (mnuShowIG->text() == QLatin1String("Show Imagrove")) {
        showNormal();
        activateWindow();
    } else {
        showMinimized();
    }
}

void browsesmall::ostrel_MouseUp(int button)
{
    if (button != 2 || m_state.SecondaryWindowOpen)
        return;
    captionShowIG();
    mnuOstrel->setDefaultAction(mnuShowIG);
    m_desktop.popUp(*mnuOstrel, QCursor::pos());
}

void browsesmall::ostrel_MouseDblClick()
{
    captionShowIG();
    mnuCopyImg->setEnabled(mnuCopy->isEnabled());
    mnuShowIG_Click();
}
