#include "Form4.h"

#include "core/SettingKeys.h"
#include "core/Site.h"
#include "platform/BusyPointer.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "platform/StartupTrace.h"
#include "platform/Twips.h"
#include "ViewerLayout.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <tuple>

using platform::Error;
namespace twips = platform::twips;

namespace fullscreen {

namespace {

struct Scheme
{
    const char *word;
    const char *caption;
    QRgb background;
    QRgb text;
};

// In the order of the Back Colour menu.
constexpr Scheme schemes[] = {
    {"Black", "Black", qRgb(0, 0, 0), qRgb(0, 255, 0)},
    {"White", "White", qRgb(255, 255, 255), qRgb(0, 0, 0)},
    {"Grey", "Grey", qRgb(192, 192, 192), qRgb(0, 0, 0)},
    {"Green", "Green", qRgb(0, 255, 0), qRgb(0, 0, 255)},
    {"Blue", "Blue", qRgb(0, 0, 255), qRgb(255, 255, 0)},
    {"Red", "Red", qRgb(255, 0, 0), qRgb(0, 0, 255)},
    {"Yellow", "Yellow", qRgb(255, 255, 0), qRgb(255, 0, 0)},
};

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

void setBackground(QWidget *widget, const QColor &colour, QPalette::ColorRole role)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Paints a picture instead of the label, when paint says it does.
class PaintHook final : public QObject
{
public:
    PaintHook(std::function<bool(const QRect &)> paint, QObject *parent)
        : QObject(parent), m_paint(std::move(paint))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::Paint && m_paint(static_cast<QPaintEvent *>(event)->rect());
    }

private:
    std::function<bool(const QRect &)> m_paint;
};

} // namespace

Form4::Form4(ViewerHost &host, platform::PictureSource &pictures, core::AppState &state,
             core::SettingsStore &settings, platform::Desktop &desktop,
             bool launchedFromCommandLine, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_host(host), m_pictures(pictures),
      m_state(state), m_secondary(std::in_place, state.SecondaryWindowOpen),
      m_fullScreen(std::in_place, state.FullScreenOpen),
      m_launchedFromCommandLine(launchedFromCommandLine), m_settings(settings), m_desktop(desktop)
{
    setObjectName(QStringLiteral("Form4"));
    setAutoFillBackground(true);
    buildCanvas();
    buildMiniBrowser();
    buildMenus();
    wire();
    // The colours that stay when the stored scheme is none of the seven.
    applyScheme(0);
    m_pan = new platform::DragPan(
        Image1, HScroll1, VScroll1,
        [this] { return HScroll1->isVisible() || VScroll1->isVisible(); }, false, this);
    connect(&m_animation, &platform::Animation::frameReady, this, &Form4::showFrame);
    Image1->installEventFilter(new PaintHook(
        [this](const QRect &exposed) {
            if (m_regions || !Image1->pixmap().isNull())
                m_pictures.picturePainted();
            if (!m_regions)
                return false;
            paintRegions(exposed);
            return true;
        },
        Image1));
    // Keys reach the window before any of its controls.
    qApp->installEventFilter(this);
    Form_Load();
}

Form4::~Form4()
{
    qApp->removeEventFilter(this);
}

void Form4::buildCanvas()
{
    const auto strip = [this](QWidget *parent, const QString &name) {
        auto *label = new platform::PictureButton(-1, parent);
        label->setObjectName(name);
        return label;
    };
    Picture1 = strip(this, QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    Image1 = strip(Picture1, QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMiniOn = strip(Picture1, QStringLiteral("lblMiniOn"));
    lblMiniOff = strip(Picture1, QStringLiteral("lblMiniOff"));
    Label4 = strip(Picture1, QStringLiteral("Label4"));
    Label2 = strip(Picture1, QStringLiteral("Label2"));
    Label1 = strip(Picture1, QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setFont(QFont(QStringLiteral("Arial"), 9));
    Label1->setGeometry(twips::rect(100, 50, 10515, 255));
    Label2->setGeometry(twips::rect(0, 0, 19995, 480));
    lblMiniOn->setGeometry(twips::rect(0, 0, 195, 0));
    lblMiniOff->setGeometry(twips::rect(4575, 0, 1770, 0));
    Label4->setGeometry(twips::rect(0, 1080, 0, 570));

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setGeometry(twips::rect(0, 10645, 14895, BarThickness));
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips::rect(14580, 0, BarThickness, 10665));
    for (QScrollBar *bar : {HScroll1, VScroll1}) {
        bar->setSingleStep(300);
        bar->setPageStep(3000);
    }
    Tim.setSingleShot(true);
    Tim.setInterval(300);
}

void Form4::buildMenus()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuOptions = menuBar->addMenu(QStringLiteral("View"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuBackCol = mnuOptions->addMenu(QStringLiteral("Back Colour"));
    mnuBackCol->setObjectName(QStringLiteral("mnuBackCol"));
    for (size_t i = 0; i < mnuColour.size(); ++i) {
        mnuColour[i] = mnuBackCol->addAction(QLatin1String(schemes[i].caption));
        mnuColour[i]->setObjectName(QStringLiteral("mnuB") + QLatin1String(schemes[i].word));
        mnuColour[i]->setCheckable(true);
    }
    mnuInfo = mnuOptions->addAction(QStringLiteral("Show Info"));
    mnuInfo->setObjectName(QStringLiteral("mnuInfo"));
    mnuInfo->setCheckable(true);
    mnuInfo->setChecked(true);
    mnuFit = mnuOptions->addAction(QStringLiteral("Fit to Screen"));
    mnuFit->setObjectName(QStringLiteral("mnuFit"));
    mnuFit->setCheckable(true);
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("lin"));
    mnuExit = mnuOptions->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuHelp = menuBar->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuContents = mnuHelp->addAction(QStringLiteral("Help Contents"));
    mnuContents->setObjectName(QStringLiteral("mnuContents"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuIcon = new QMenu(QStringLiteral("Icon"), this);
    mnuIcon->setObjectName(QStringLiteral("mnuIcon"));
    mnuExit2 = mnuIcon->addAction(QStringLiteral("E&xit"));
    mnuExit2->setObjectName(QStringLiteral("mnuExit2"));
    // The bar keeps the desktop's colours whatever the scheme: every role
    // set, so none is taken from the window's scheme.
    QPalette desktopColours = QApplication::palette(menuBar);
    desktopColours.setResolveMask(~QPalette::ResolveMask(0));
    menuBar->setPalette(desktopColours);
    menuBar->hide();
}

void Form4::wire()
{
    using platform::PictureButton;
    for (PictureButton *target : {Image1, Picture1, lblMiniOn, lblMiniOff}) {
        connect(target, &PictureButton::MouseUp, this,
                [this](int, Qt::MouseButton button) { Nav(buttonCode(button)); });
    }
    for (PictureButton *target : {Label1, Label4}) {
        connect(target, &PictureButton::MouseUp, this, [this](int, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                close();
        });
    }
    connect(Label2, &PictureButton::MouseMove, this, [this] { showMenus(true); });
    for (PictureButton *target : {Image1, Picture1, Label4}) {
        connect(target, &PictureButton::MouseMove, this, [this] { showMenus(false); });
    }
    connect(lblMiniOn, &PictureButton::MouseMove, this, &Form4::lblMiniOn_MouseMove);
    connect(lblMiniOff, &PictureButton::MouseMove, this, &Form4::lblMiniOff_MouseMove);
    connect(&Tim, &QTimer::timeout, this, &Form4::Tim_Timer);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form4::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form4::VScroll1_Change);
    for (size_t i = 0; i < mnuColour.size(); ++i) {
        connect(mnuColour[i], &QAction::triggered, this, [this, i] { mnuColour_Click(int(i)); });
    }
    connect(mnuInfo, &QAction::triggered, this, &Form4::mnuInfo_Click);
    connect(mnuFit, &QAction::triggered, this, &Form4::mnuFit_Click);
    connect(mnuExit, &QAction::triggered, this, &Form4::mnuExit_Click);
    connect(mnuExit2, &QAction::triggered, this, &Form4::mnuExit_Click);
    connect(mnuContents, &QAction::triggered, this, &Form4::mnuContents_Click);
    connect(mnuAbout, &QAction::triggered, this, &Form4::mnuAbout_Click);
    wireMiniBrowser();
}

QSize Form4::screenTwips() const
{
    return m_desktop.screenSizeTwips();
}

void Form4::Form_Load()
{
    Tim.start();
    try {
        const QSize screen = screenTwips();
        lblMiniOff->setGeometry(lblMiniOff->x(), 0, lblMiniOff->width(),
                                twips::toPixels(screen.height()));
        lblMiniOn->setGeometry(0, 0, lblMiniOn->width(), twips::toPixels(screen.height()));
        Label4->setGeometry(Label4->x(), Label4->y(), twips::toPixels(screen.width()),
                            Label4->height());

        Dir1->setPath(m_host.hostFolders().path());
        Drive1->followFolder(Dir1->path());
        File1->setPath(Dir1->path());

        const QString colour = core::keys::FullScreenColour.read(m_settings);
        for (size_t i = 0; i < std::size(schemes); ++i) {
            if (colour == QLatin1String(schemes[i].word)) {
                applyScheme(int(i));
                mnuColour[i]->setChecked(true);
            }
        }
        const QString info = core::keys::FullScreenInfo.read(m_settings);
        if (info == QLatin1String("On")) {
            Label1->show();
            mnuInfo->setChecked(true);
        } else if (info == QLatin1String("Off")) {
            Label1->hide();
            mnuInfo->setChecked(false);
        }
        mnuFit->setChecked(core::keys::FullScreenFit.read(m_settings) == QLatin1String("1"));
        if (core::encoding::checkIsOn(core::keys::FsMbAl.read(m_settings))) {
            Image2_Click();
            Frame1->show();
        }
        if (core::encoding::checkIsOn(core::keys::GreyMode.read(m_settings)))
            applyGreyMode();

        Label1->setText(m_state.CurrentImagePath);
        const QWidget *owner = parentWidget();
        const QScreen *display = owner ? owner->screen() : QWidget::screen();
        setGeometry(QRect(display ? display->geometry().topLeft() : QPoint(),
                          twips::size(screen.width(), screen.height())));
        if (m_launchedFromCommandLine)
            platform::traceFirstPicture(Image1, "full screen", [this] {
                return m_regions ? m_regions->covers(seenArea()) : !Image1->pixmap().isNull();
            });
        const QSize box = viewedBox();
        m_pictures.setViewedBox(box);
        rememberBox(box);
        layout();
        m_animation.play(m_state.CurrentImagePath, shownPixels());
        Frame1->move(twips::toPixels(195), twips::toPixels(panelTop(screen.height())));

        File1->setPattern(m_host.hostFiles().pattern());
        {
            const core::FlagHold sync(m_state.ListSyncInProgress);
            File1->setListIndex(m_host.hostFiles().listIndex());
        }
        updateCounters();
    } catch (const Error &) {
        tooLarge();
    }
}

void Form4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void Form4::Form_Activate()
{
    if (m_unloaded) {
        // Loading failed: the window closes as soon as it is shown.
        QTimer::singleShot(0, this, [this] { QDialog::done(QDialog::Rejected); });
        return;
    }
    updateCounters();
}

void Form4::tooLarge()
{
    platform::reportTooLarge(m_desktop, platform::Icon::None);
    if (isVisible())
        close();
    else
        Form_Unload();
}

void Form4::applyScheme(int index)
{
    const Scheme &scheme = schemes[index];
    setBackground(Picture1, QColor(scheme.background), QPalette::Window);
    setBackground(this, QColor(scheme.background), QPalette::Window);
    setBackground(Label1, QColor(scheme.text), QPalette::WindowText);
}

void Form4::layout()
{
    const QSize screen = screenTwips();
    const qreal ratio = devicePixelRatioF();
    // One image pixel to one device pixel. Fitted, the picture was decoded
    // for the screen already, so scaling it is light work, if any is left.
    QImage shown = m_pictures.viewedPicture();
    platform::PictureRegions *regions = m_pictures.regions();
    if (regions != m_regions) {
        m_regions = regions;
        if (regions) {
            connect(regions, &platform::PictureRegions::arrived, Image1,
                    qOverload<>(&QWidget::update));
            connect(regions, &platform::PictureRegions::failed, this,
                    [this](const QString &description) {
                        platform::reportError(m_desktop, Error(Error::InvalidPicture, description),
                                              platform::captions::ErrorNumber);
                    });
        }
    }
    QSizeF logical = QSizeF(shown.isNull() ? QSize() : m_pictures.naturalSize()) / ratio;
    const QSizeF natural(twips::fromPixels(logical.width()), twips::fromPixels(logical.height()));
    if (fitting() && !shown.isNull()) {
        const QSizeF fitted = fittedSize(QSizeF(screen), natural);
        if (fitted != natural)
            logical = QSizeF(twips::toPixels(fitted.width()), twips::toPixels(fitted.height()));
    }
    const QSize pixels = (logical * ratio).toSize();
    if (regions)
        shown = QImage();
    else if (!shown.isNull() && shown.size() != pixels)
        shown = shown.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QSizeF size(twips::fromPixels(logical.width()), twips::fromPixels(logical.height()));
    const ViewerLayout place = viewerLayout(QSizeF(screen), size);
    QPixmap pixmap = shown.isNull() ? QPixmap() : QPixmap::fromImage(shown);
    pixmap.setDevicePixelRatio(ratio);
    Image1->setPixmap(pixmap);
    Picture1->setGeometry(0, 0, twips::toPixels(place.canvas.width()),
                          twips::toPixels(place.canvas.height()));
    Image1->setGeometry(
        QRect(QPoint(twips::toPixels(place.picture.x()), twips::toPixels(place.picture.y())),
              logical.toSize()));
    Image1->lower();
    for (auto [bar, visible, max, rect] :
         {std::tuple{HScroll1, place.hBar, place.hMax, place.hBarRect},
          std::tuple{VScroll1, place.vBar, place.vMax, place.vBarRect}}) {
        bar->setRange(0, max);
        bar->setValue(0);
        bar->setGeometry(twips::rect(rect.x(), rect.y(), rect.width(), rect.height()));
        bar->setVisible(visible);
        bar->raise();
    }
    m_pan->updatePointer();
    wantRegion();
}

QRect Form4::seenArea() const
{
    const QRect seen = QRect(-Image1->pos(), Picture1->size()) & Image1->rect();
    const qreal ratio = devicePixelRatioF();
    return QRectF(QPointF(seen.topLeft()) * ratio, QSizeF(seen.size()) * ratio).toAlignedRect();
}

void Form4::wantRegion()
{
    if (m_regions)
        m_regions->want(seenArea());
}

void Form4::paintRegions(const QRect &exposed)
{
    QPainter painter(Image1);
    const qreal ratio = devicePixelRatioF();
    const QRect seen =
        QRectF(QPointF(exposed.topLeft()) * ratio, QSizeF(exposed.size()) * ratio).toAlignedRect();
    if (!m_regions->covers(seen)) {
        // Until the region arrives: the overview, enlarged, or the background.
        const QImage overview = m_pictures.viewedPicture();
        if (overview.isNull())
            painter.fillRect(exposed, Picture1->palette().color(QPalette::Window));
        else
            painter.drawImage(QRectF(Image1->rect()), overview);
    }
    m_regions->draw(painter, ratio);
}

bool Form4::fitting() const
{
    return m_fitByWheel.value_or(mnuFit->isChecked());
}

QSize Form4::viewedBox() const
{
    if (!fitting())
        return {};
    const QSize screen = screenTwips();
    return (QSizeF(twips::toPixels(screen.width()), twips::toPixels(screen.height())) *
            devicePixelRatioF())
        .toSize();
}

void Form4::rememberBox(QSize box)
{
    if (box.isEmpty())
        return;
    const QString value = QStringLiteral("%1 %2").arg(box.width()).arg(box.height());
    try {
        if (core::keys::FullScreenBox.read(m_settings) != value)
            core::keys::FullScreenBox.save(m_settings, value);
    } catch (const Error &) {
        // Only a quicker next launch is lost.
    }
}

void Form4::refit()
{
    try {
        m_pictures.setViewedBox(viewedBox());
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
        // Too large at its own size: it stays fitted.
        m_fitByWheel = true;
        reported([&] { m_pictures.setViewedBox(viewedBox()); });
    }
    layout();
}

QSize Form4::shownPixels() const
{
    return (QSizeF(Image1->size()) * devicePixelRatioF()).toSize();
}

void Form4::showFrame(const QImage &frame)
{
    // Unseen, the animation waits for the picture's next paint.
    if (!Image1->isVisible() || isMinimized()) {
        m_animation.pause();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize size = shownPixels();
    QPixmap pixmap = QPixmap::fromImage(
        frame.size() == size ? frame
                             : frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    Image1->setPixmap(pixmap);
}

void Form4::HScroll1_Change()
{
    if (HScroll1->isVisible())
        Image1->move(-twips::toPixels(HScroll1->value()), Image1->y());
    wantRegion();
}

void Form4::VScroll1_Change()
{
    if (VScroll1->isVisible())
        Image1->move(Image1->x(), -twips::toPixels(VScroll1->value()));
    wantRegion();
}

void Form4::File1_Click()
{
    if (m_state.ListSyncInProgress || File1->listIndex() < 0)
        return;
    try {
        m_launchedFromCommandLine = false;
        platform::BusyPointer busy;
        Image1->hide();
        Picture1->hide();
        // The main list follows without showing; the one showing is below.
        platform::FileListBox &files = m_host.hostFiles();
        const QList<QListWidgetItem *> found = files.findItems(File1->fileName(), Qt::MatchExactly);
        {
            const core::FlagHold sync(m_state.ListSyncInProgress);
            files.setListIndex(found.isEmpty() ? -1 : files.row(found.first()));
        }
        m_host.ShowSelectedImage();
        if (files.pattern() != File1->pattern())
            files.setPattern(File1->pattern());
        Label1->setText(m_state.CurrentImagePath);
        updateCounters();
        layout();
        m_animation.play(m_state.CurrentImagePath, shownPixels());
        Picture1->show();
        Image1->show();
    } catch (const Error &) {
        Picture1->show();
        Image1->show();
        tooLarge();
    }
}

void Form4::Tim_Timer()
{
    Tim.stop();
}

bool Form4::navigationAllowed()
{
    if (Tim.isActive())
        return false;
    using core::encoding::checkIsOn;
    if (checkIsOn(core::keys::DisFsNav.read(m_settings))) {
        close();
        return false;
    }
    if (checkIsOn(core::keys::CloseAfter1.read(m_settings)) && m_launchedFromCommandLine) {
        close();
        return false;
    }
    return true;
}

void Form4::Nav(int button)
{
    if (!navigationAllowed())
        return;
    if (core::encoding::checkIsOn(core::keys::FsNav.read(m_settings)))
        button = button == 1 ? 2 : button == 2 ? 1 : button;
    if (button == 1)
        step(-1);
    else if (button == 2)
        step(1);
}

void Form4::attempt(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &error) {
        if (error.number == Error::UserInterrupt)
            return;
        m_desktop.msgBox(
            QStringLiteral("An error has occurred in the 'Nav' Procedure of the Full screen mode, "
                           "please report this error to ") +
                core::SupportAddress +
                QStringLiteral(" and please quote the error number just about to come up."),
            platform::Icon::Critical, platform::Buttons::Ok, QStringLiteral("Error Occurred"));
        m_desktop.msgBox(error.description + QStringLiteral(" Error Number:") +
                             QString::number(error.number),
                         platform::Icon::Critical, platform::Buttons::Ok, QStringLiteral("Error"));
    }
}

void Form4::reported(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
    }
}

void Form4::selectEntry(int index)
{
    File1->setListIndex(index);
}

void Form4::step(int direction)
{
    const int count = File1->listCount();
    if (count == 0)
        return;
    const int index = File1->listIndex();
    const auto notice = [this](const char *which) {
        m_desktop.msgBox(QStringLiteral("There are no more images to view in the current "
                                        "directory, switching to %1 image.")
                             .arg(QLatin1String(which)),
                         platform::Icon::Information, platform::Buttons::Ok,
                         QStringLiteral("Imagrove 2"));
    };
    if (direction < 0) {
        if (index == -1) {
            attempt([&] { selectEntry(0); });
        } else if (index == 0) {
            attempt([&] { notice("last"); });
            attempt([&] { selectEntry(count - 1); });
        } else {
            attempt([&] { selectEntry(index - 1); });
        }
        return;
    }
    if (index == count - 1) {
        attempt([&] { notice("first"); });
        attempt([&] { selectEntry(0); });
    } else {
        attempt([&] { selectEntry(index + 1); });
    }
}

void Form4::stepKey(int key)
{
    if (!navigationAllowed())
        return;
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        step(1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        step(-1);
        break;
    case Qt::Key_Home:
        if (File1->listCount() > 0)
            attempt([this] { selectEntry(0); });
        break;
    case Qt::Key_End:
        if (File1->listCount() > 0)
            attempt([this] { selectEntry(File1->listCount() - 1); });
        break;
    default:
        break;
    }
}

bool Form4::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
        return false;
    if (event->type() == QEvent::Paint && watched == Image1 && m_animation.paused() &&
        !isMinimized())
        m_animation.resume();
    if (event->type() == QEvent::Wheel)
        return wheel(static_cast<QWidget *>(watched), static_cast<QWheelEvent *>(event));
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // Any key that gives a character closes; the others step.
    if (!key->text().isEmpty()) {
        close();
        return true;
    }
    static constexpr int steps[] = {Qt::Key_Right, Qt::Key_Down,   Qt::Key_PageDown, Qt::Key_Left,
                                    Qt::Key_Up,    Qt::Key_PageUp, Qt::Key_Home,     Qt::Key_End};
    if (std::find(std::begin(steps), std::end(steps), key->key()) == std::end(steps))
        return false;
    stepKey(key->key());
    return true;
}

void Form4::mouseReleaseEvent(QMouseEvent *event)
{
    Nav(buttonCode(event->button()));
}

bool Form4::wheel(QWidget *over, QWheelEvent *event)
{
    // Scroll bars and the MiniBrowser's lists scroll themselves.
    if (over != this && over != Picture1 && over->parentWidget() != Picture1)
        return false;
    // A touchpad sends many small turns: they add up to one notch (120)
    // before the viewer steps, and a turn the other way starts afresh.
    const int delta = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        // Up: the picture at its own size; down: fitted to the screen.
        if (delta != 0 && fitting() != (delta < 0)) {
            m_fitByWheel = delta < 0;
            refit();
        }
        return true;
    }
    if (delta == 0 || !navigationAllowed())
        return true;
    if ((delta < 0) != (m_wheelTurned < 0))
        m_wheelTurned = 0;
    m_wheelTurned += delta;
    while (std::abs(m_wheelTurned) >= WheelNotch) {
        step(m_wheelTurned < 0 ? 1 : -1);
        m_wheelTurned += m_wheelTurned < 0 ? WheelNotch : -WheelNotch;
    }
    return true;
}

void Form4::showMenus(bool shown)
{
    menuBar->setGeometry(0, 0, width(), menuBar->sizeHint().height());
    menuBar->setVisible(shown);
    if (shown)
        menuBar->raise();
}

void Form4::ColReset()
{
    for (QAction *item : mnuColour)
        item->setChecked(false);
}

void Form4::mnuColour_Click(int index)
{
    applyScheme(index);
    ColReset();
    mnuColour[size_t(index)]->setChecked(true);
    reported(
        [&] { core::keys::FullScreenColour.save(m_settings, QLatin1String(schemes[index].word)); });
}

void Form4::mnuInfo_Click()
{
    const bool show = Label1->isHidden();
    Label1->setVisible(show);
    mnuInfo->setChecked(show);
    reported([&] {
        core::keys::FullScreenInfo.save(m_settings,
                                        show ? QStringLiteral("On") : QStringLiteral("Off"));
    });
}

void Form4::mnuFit_Click()
{
    m_fitByWheel.reset();
    reported([&] {
        core::keys::FullScreenFit.save(m_settings, mnuFit->isChecked() ? QStringLiteral("1")
                                                                       : QStringLiteral("0"));
    });
    refit();
}

void Form4::mnuExit_Click()
{
    m_launchedFromCommandLine = false;
    close();
}

void Form4::mnuContents_Click()
{
    showMenus(false);
    m_host.showHelpContents();
}

void Form4::mnuAbout_Click()
{
    showMenus(false);
    m_host.showAbout();
}

void Form4::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void Form4::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Tim.stop();
    m_fullScreen.reset();
    m_secondary.reset();
    platform::FileListBox &files = m_host.hostFiles();
    {
        const core::FlagHold sync(m_state.ListSyncInProgress);
        if (files.pattern() != File1->pattern())
            files.setPattern(File1->pattern());
        if (files.path() == File1->path())
            files.setListIndex(File1->listIndex());
    }
    m_host.viewerClosed();
}

} // namespace fullscreen
