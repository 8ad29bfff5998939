#include "ImageDisplay.h"

#include "core/SettingKeys.h"
#include "platform/BusyPointer.h"
#include "platform/ErrorReport.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCursor>
#include <QFileInfo>
#include <QFrame>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

using platform::Error;
namespace twips = platform::twips;

namespace browser {

namespace {

const QSize stretchBoxPixels{twips::toPixels(StretchWidth), twips::toPixels(StretchHeight)};

QColor colourOf(unsigned bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace

ImageDisplay::ImageDisplay(const Controls &controls, core::AppState &state,
                           core::SettingsStore &settings, platform::Desktop &desktop,
                           const ToolbarPictures &pictures, QObject *parent)
    : QObject(parent), m_c(controls), m_state(state), m_settings(settings), m_desktop(desktop),
      m_pictures(pictures)
{
    for (QScrollBar *bar : {m_c.HScroll1, m_c.VScroll1}) {
        bar->setSingleStep(150);
        bar->setPageStep(1500);
    }
    // Read now: a picture from the command line is shown before start-up's
    // other settings.
    m_keepProportions = core::keys::KeepProportions.read(m_settings) == QLatin1String("1");
    m_c.mnuKeepProp->setChecked(m_keepProportions);
    m_pan = new platform::DragPan(
        m_c.Image1, m_c.HScroll1, m_c.VScroll1,
        [this] { return !m_stretch && (m_c.HScroll1->isEnabled() || m_c.VScroll1->isEnabled()); },
        true, this);
    m_redraw.setSingleShot(true);
    m_redraw.setInterval(150);
    connect(&m_redraw, &QTimer::timeout, this, &ImageDisplay::redrawAtPaneSize);
    // Paints tell when the pane is seen again: look-ahead and animation wait for them.
    m_c.Image1->installEventFilter(this);
    wire();
}

void ImageDisplay::wire()
{
    const auto leftClick = [this](void (ImageDisplay::*handler)()) {
        return [this, handler](int, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                (this->*handler)();
        };
    };
    connect(m_c.File1, &platform::FileListBox::Click, this, &ImageDisplay::File1_Click);
    connect(m_c.File1, &platform::FileListBox::KeyDown, this, &ImageDisplay::File1_KeyDown);
    connect(m_c.mnuStretch, &QAction::triggered, this, &ImageDisplay::mnuStretch_Click);
    connect(m_c.mnuKeepProp, &QAction::triggered, this, &ImageDisplay::mnuKeepProp_Click);
    connect(m_c.resizeButton, &platform::PictureButton::MouseUp, this,
            leftClick(&ImageDisplay::resizeButton_Click));
    connect(m_c.fullScreenButton, &platform::PictureButton::MouseUp, this,
            leftClick(&ImageDisplay::mnuFullscrn_Click));
    // valueChanged covers both a change and the dragging of the thumb.
    connect(m_c.HScroll1, &QScrollBar::valueChanged, this, &ImageDisplay::HScroll1_Change);
    connect(m_c.VScroll1, &QScrollBar::valueChanged, this, &ImageDisplay::VScroll1_Change);
    connect(m_c.mnuBGrey, &QAction::triggered, this, &ImageDisplay::mnuBGrey_Click);
    connect(m_c.mnuBWhite, &QAction::triggered, this, &ImageDisplay::mnuBWhite_Click);
    connect(m_c.mnuBBlack, &QAction::triggered, this, &ImageDisplay::mnuBBlack_Click);
    connect(m_c.mnuChooseCol, &QAction::triggered, this, &ImageDisplay::mnuChooseCol_Click);
    connect(m_c.mnuFullscrn, &QAction::triggered, this, &ImageDisplay::mnuFullscrn_Click);
    connect(m_c.Image1, &platform::PictureButton::MouseUp, this,
            [this](int, Qt::MouseButton button) { Image1_MouseUp(button); });
    connect(m_c.Image1, &platform::PictureButton::DblClick, this, &ImageDisplay::Image1_DblClick);
    connect(&m_animation, &platform::Animation::frameReady, this, &ImageDisplay::showFrame);
}

bool ImageDisplay::paneSeen() const
{
    return m_c.Image1->isVisible() && !m_c.Image1->window()->isMinimized() &&
           !m_state.FullScreenOpen;
}

void ImageDisplay::showFrame(const QImage &frame)
{
    // Unseen, the animation waits for the pane's next paint.
    if (!paneSeen()) {
        m_animation.pause();
        return;
    }
    m_c.Image1->setPixmap(QPixmap::fromImage(frame));
}

void ImageDisplay::playAnimation()
{
    if (m_picture.format == "gif" && !m_state.FullScreenOpen)
        m_animation.play(m_state.CurrentImagePath, m_picture.image.size());
}

void ImageDisplay::File1_Click()
{
    // Clearing the selection shows nothing.
    if (m_state.ListSyncInProgress || m_c.File1->listIndex() < 0)
        return;
    ShowSelectedImage();
    enableViewButtons();
}

void ImageDisplay::showFile(const QString &path)
{
    // A file that is not there changes nothing of the window; why is said.
    try {
        platform::PictureDecoder::requireReadable(path);
    } catch (const Error &error) {
        if (error.number == Error::FileNotFound) {
            platform::reportError(m_desktop, error, platform::captions::NumberOnly);
            return;
        }
    }
    showPicture(path, QFileInfo(path).fileName(), -1);
    enableViewButtons();
}

void ImageDisplay::enableViewButtons()
{
    if (m_picture.isNull())
        return;
    m_c.fullScreenButton->setPixmap(m_pictures.picture(ToolbarPicture::FullScreen));
    m_c.fullScreenButton->setEnabled(true);
    m_c.resizeButton->setPixmap(
        m_pictures.picture(m_stretch ? ToolbarPicture::Actual : ToolbarPicture::Resize));
    m_c.resizeButton->setEnabled(true);
}

void ImageDisplay::ShowSelectedImage()
{
    const QString name = m_c.File1->fileName();
    showPicture(imagePath(m_c.File1->path(), name), name, m_c.File1->listIndex());
}

void ImageDisplay::showPicture(const QString &path, const QString &name, int listIndex)
{
    m_anySelected = true;
    m_c.mnuStretch->setEnabled(true);
    m_c.mnuBackCol->menuAction()->setEnabled(true);
    Q_EMIT imageSelected();

    const quint64 choice = ++m_choices;
    m_state.CurrentImagePath = path;
    m_animation.stop();
    // Reading ahead waits for this picture's paint, not an earlier one's.
    m_lookAheadArmed = m_lookAheadHeld;
    m_c.Image1->hide();
    // One decoding serves the pane and the measurement; the pane in stretched
    // mode needs no more than the box.
    m_fullSize = QImage();
    // The neighbour ahead is asked for first, so that it decodes on the
    // worker while this one decodes here.
    lookAhead(listIndex);
    bool shown = true;
    try {
        m_picture = decode(m_state.CurrentImagePath, targetFor(m_state.CurrentImagePath));
        // In proportion: drawn again at the size it keeps, once its own is known.
        if (m_keepProportions && m_stretch && !m_state.FullScreenOpen && !m_launchTarget &&
            m_picture.image.size() != stretchedSize()) {
            platform::BusyPointer busy;
            m_decoder.render(m_picture, stretchedSize());
        }
    } catch (const Error &error) {
        if (choice != m_choices)
            return; // a newer choice was shown meanwhile
        // A file that cannot be shown leaves an empty pane, not the last picture.
        clearPicture();
        shown = false;
        platform::reportError(m_desktop, error, platform::captions::NumberOnly);
        if (error.number == Error::UserInterrupt && listIndex >= 0)
            drawWhenStillChosen(path, choice);
    }
    if (choice != m_choices)
        return;

    m_c.HScroll1->setValue(0);
    m_c.VScroll1->setValue(0);
    // Under the viewer the pane is not seen: it takes the picture when the
    // viewer closes, instead of scaling every one the viewer steps through.
    if (!m_state.FullScreenOpen) {
        showImage();
        if (!m_stretch)
            layoutActualSize();
    }
    m_c.Image1->show();
    if (shown)
        playAnimation();
    // Only a picture on show can be viewed full screen.
    m_c.mnuFullscrn->setEnabled(shown);
    m_c.fullScreenButton->setPixmap(
        m_pictures.picture(shown ? ToolbarPicture::FullScreen : ToolbarPicture::FullScreenBw));
    m_c.fullScreenButton->setEnabled(shown);
    if (shown)
        Q_EMIT imageShown(m_state.CurrentImagePath, name, m_picture.naturalSize);
    else
        Q_EMIT imageFailed();
}

void ImageDisplay::drawWhenStillChosen(const QString &path, quint64 choice)
{
    // After the input that gave the drawing up has had its effect: a drawing
    // given up for a press that chose nothing else is drawn after all.
    QMetaObject::invokeMethod(
        this,
        [this, path, choice] {
            if (choice == m_choices && !m_state.FullScreenOpen &&
                m_c.Image1->window()->isVisible() && m_c.File1->listIndex() >= 0 &&
                imagePath(m_c.File1->path(), m_c.File1->fileName()) == path)
                File1_Click();
        },
        Qt::QueuedConnection);
}

QSize ImageDisplay::paneTarget(bool stretched)
{
    return stretched ? stretchBoxPixels : QSize();
}

QSize ImageDisplay::decodeTarget() const
{
    if (m_state.FullScreenOpen)
        return m_viewerBox.isEmpty() ? QSize() : platform::withinBox(m_viewerBox);
    if (m_launchTarget)
        return *m_launchTarget;
    return m_stretch ? m_c.Picture1->size() : QSize();
}

QSize ImageDisplay::targetFor(const QString &path)
{
    m_regions.reset();
    const QSize target = decodeTarget();
    if (!m_state.FullScreenOpen || target != QSize())
        return target;
    m_regions = platform::PictureRegions::of(path);
    return m_regions ? paneTarget(true) : target;
}

void ImageDisplay::paneResized()
{
    if (m_picture.isNull() || m_state.FullScreenOpen)
        return;
    if (!m_stretch) {
        layoutActualSize();
        return;
    }
    // The picture on show is scaled at once; drawn afresh at the new size
    // once the resizing stops.
    placeImage();
    m_redraw.start();
}

void ImageDisplay::redrawAtPaneSize()
{
    if (m_picture.isNull() || !m_stretch || m_state.FullScreenOpen ||
        m_picture.image.size() == stretchedSize())
        return;
    try {
        platform::BusyPointer busy;
        m_decoder.render(m_picture, stretchedSize());
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::NumberOnly);
        return;
    }
    showImage();
}

void ImageDisplay::setViewedBox(QSize box)
{
    m_viewerBox = box;
    m_launchTarget.reset();
    m_regions.reset();
    if (m_picture.isNull())
        return;
    const QSize exact = platform::exactTarget(decodeTarget(), m_picture.naturalSize);
    if (exact.isEmpty() && !m_picture.isVector() &&
        (m_regions = platform::PictureRegions::of(m_state.CurrentImagePath))) {
        // What is held already serves as the overview.
        return;
    }
    if (exact.isEmpty()) {
        // The whole picture, made once for the viewer and the clipboard alike.
        m_picture.image = shownPicture();
        return;
    }
    if (m_picture.image.size() != exact)
        m_picture = decode(m_state.CurrentImagePath, decodeTarget());
}

void ImageDisplay::viewerClosed()
{
    // What the viewer decoded may be smaller than what the pane shows.
    m_viewerBox = QSize();
    m_regions.reset();
    const QSize wanted = m_stretch ? stretchedSize() : m_picture.naturalSize;
    if (!m_picture.isNull() && !m_picture.isVector() &&
        (m_picture.image.width() < wanted.width() || m_picture.image.height() < wanted.height())) {
        try {
            m_picture = decode(m_state.CurrentImagePath, decodeTarget());
        } catch (const Error &error) {
            platform::reportError(m_desktop, error, platform::captions::NumberOnly);
        }
    }
    // A stretched picture is centred as it is shown; one at actual size by
    // its layout.
    showImage();
    if (!m_stretch)
        layoutActualSize();
    playAnimation();
}

platform::Picture ImageDisplay::decode(const QString &path, QSize target)
{
    if (m_cache) {
        if (std::optional<platform::Picture> held = m_cache->take(path, target))
            return *held;
    }
    platform::BusyPointer busy;
    platform::Picture picture = m_decoder.load(path, target);
    if (m_cache)
        m_cache->put(picture, target);
    return picture;
}

void ImageDisplay::lookAhead(int shownIndex)
{
    const int last = m_lastIndex;
    m_lastIndex = shownIndex;
    if (!m_cache || shownIndex < 0 || m_lookAheadHeld)
        return;
    // The entry behind was usually the one shown before, and is held; so
    // the two ahead in the direction of travel are read.
    const int step = last >= 0 && shownIndex < last ? -1 : 1;
    QStringList ahead;
    for (int index = shownIndex + step;
         ahead.size() < 2 && index >= 0 && index < m_c.File1->listCount(); index += step)
        ahead << imagePath(m_c.File1->path(), m_c.File1->list(index));
    const QSize target = decodeTarget();
    // One too large to hold whole is seen by regions: only its overview,
    // made when it is shown, would be of use.
    if (m_state.FullScreenOpen && target == QSize())
        ahead.removeIf([](const QString &path) { return platform::PictureRegions::suits(path); });
    m_cache->prefetch(ahead, target);
}

void ImageDisplay::holdLookAheadUntilPainted()
{
    m_lookAheadHeld = true;
}

void ImageDisplay::picturePainted()
{
    if (!m_lookAheadArmed)
        return;
    m_lookAheadArmed = false;
    // After this paint has reached the screen.
    QTimer::singleShot(0, this, [this] {
        m_lookAheadHeld = false;
        const int shown = m_lastIndex;
        m_lastIndex = -1;
        lookAhead(shown);
    });
}

bool ImageDisplay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_c.Image1 || event->type() != QEvent::Paint)
        return false;
    if (m_animation.paused() && paneSeen())
        m_animation.resume();
    if (!m_c.Image1->pixmap().isNull())
        picturePainted();
    return false;
}

void ImageDisplay::dropLookAhead(const QString &folder)
{
    m_lastIndex = -1;
    if (m_cache)
        m_cache->keepFolder(folder);
}

void ImageDisplay::placeImage()
{
    const QSize size = m_stretch ? stretchedSize() : m_picture.naturalSize;
    // A stretched picture smaller than the pane (in proportion) is centred.
    const QSize pane = m_c.Picture1->size();
    const QPoint at = m_stretch ? QPoint(std::max(0, (pane.width() - size.width()) / 2),
                                         std::max(0, (pane.height() - size.height()) / 2))
                                : QPoint(0, 0);
    m_c.Image1->setGeometry(QRect(at, size));
}

void ImageDisplay::showImage()
{
    placeImage();
    m_c.Image1->setPixmap(m_picture.image.isNull() ? QPixmap()
                                                   : QPixmap::fromImage(m_picture.image));
}

void ImageDisplay::clearPicture()
{
    m_picture = platform::Picture();
    m_fullSize = QImage();
    m_c.Image1->setPixmap(QPixmap());
}

void ImageDisplay::layoutActualSize()
{
    const QSize natural = m_picture.naturalSize.isValid() ? m_picture.naturalSize : QSize(0, 0);
    const ActualSizeLayout layout = actualSizeLayout(
        twips::fromPixels(natural.width()), twips::fromPixels(natural.height()),
        twips::fromPixels(m_c.Picture1->width()), twips::fromPixels(m_c.Picture1->height()));
    m_c.HScroll1->setRange(0, std::max(0, int(layout.hMax)));
    m_c.VScroll1->setRange(0, std::max(0, int(layout.vMax)));
    m_c.VScroll1->setEnabled(layout.vEnabled);
    m_c.HScroll1->setEnabled(layout.hEnabled);
    QPoint position(-twips::toPixels(m_c.HScroll1->value()),
                    -twips::toPixels(m_c.VScroll1->value()));
    if (layout.centredY)
        position.setY(twips::toPixels(layout.top));
    if (layout.centredX)
        position.setX(twips::toPixels(layout.left));
    m_c.Image1->setGeometry(QRect(position, natural));
    m_pan->updatePointer();
}

void ImageDisplay::toActualSize()
{
    m_c.Image1->hide();
    if (!m_picture.isNull() && m_picture.image.size() != m_picture.naturalSize) {
        // The full-size view is the first to need the whole picture.
        platform::BusyPointer busy;
        m_decoder.render(m_picture, {});
    }
    m_stretch = false;
    m_c.mnuStretch->setChecked(false);
    m_c.resizeButton->setPixmap(m_pictures.picture(ToolbarPicture::Resize));
    showImage();
    layoutActualSize();
    m_c.Image1->show();
}

void ImageDisplay::toStretched()
{
    m_c.Image1->hide();
    m_c.HScroll1->setEnabled(false);
    m_c.VScroll1->setEnabled(false);
    m_pan->updatePointer();
    m_c.Image1->move(m_c.Image1->x(), 0);
    if (!m_picture.isNull() && m_picture.image.size() != stretchedSize()) {
        if (m_picture.image.size() == m_picture.naturalSize)
            m_fullSize = m_picture.image;
        platform::BusyPointer busy;
        m_decoder.render(m_picture, stretchedSize());
    }
    m_stretch = true;
    m_c.mnuStretch->setChecked(true);
    m_c.resizeButton->setPixmap(m_pictures.picture(ToolbarPicture::Actual));
    showImage();
    m_c.Image1->show();
}

void ImageDisplay::tooLarge()
{
    platform::reportTooLarge(m_desktop, platform::Icon::Critical);
}

void ImageDisplay::switchMode(bool fromToolbar)
{
    const bool toActual = fromToolbar ? m_stretch : m_c.mnuStretch->isChecked();
    try {
        if (toActual)
            toActualSize();
        else
            toStretched();
    } catch (const Error &error) {
        m_c.Image1->show();
        if (error.number == Error::Overflow)
            tooLarge();
        else
            platform::reportError(m_desktop, error, platform::captions::CriticalError);
    }
}

void ImageDisplay::mnuStretch_Click()
{
    // The item's check mark has been inverted as it was chosen: it tells the
    // mode wanted, so test the mode it had.
    m_c.mnuStretch->setChecked(!m_c.mnuStretch->isChecked());
    switchMode(false);
}

void ImageDisplay::resizeButton_Click()
{
    switchMode(true);
}

void ImageDisplay::HScroll1_Change()
{
    if (!m_stretch && m_c.HScroll1->isEnabled())
        m_c.Image1->move(-twips::toPixels(m_c.HScroll1->value()), m_c.Image1->y());
}

void ImageDisplay::VScroll1_Change()
{
    if (!m_stretch && m_c.VScroll1->isEnabled())
        m_c.Image1->move(m_c.Image1->x(), -twips::toPixels(m_c.VScroll1->value()));
}

void ImageDisplay::setBackColour(unsigned bgr)
{
    QPalette palette = m_c.Picture1->palette();
    palette.setColor(QPalette::Window, colourOf(bgr));
    m_c.Picture1->setPalette(palette);
}

void ImageDisplay::saveColour(const QString &value)
{
    try {
        core::keys::Colour.save(m_settings, value);
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErroNumber);
    }
}

QColor ImageDisplay::backColour() const
{
    return m_c.Picture1->palette().color(QPalette::Window);
}

void ImageDisplay::ColReset()
{
    for (QAction *item : {m_c.mnuBGrey, m_c.mnuBBlack, m_c.mnuBWhite, m_c.mnuChooseCol})
        item->setChecked(false);
}

void ImageDisplay::mnuBGrey_Click()
{
    setBackColour(0xC0C0C0);
    ColReset();
    m_c.mnuBGrey->setChecked(true);
    saveColour(QStringLiteral("Grey"));
}

void ImageDisplay::mnuBWhite_Click()
{
    setBackColour(0xFFFFFF);
    ColReset();
    m_c.mnuBWhite->setChecked(true);
    saveColour(QStringLiteral("White"));
}

void ImageDisplay::mnuBBlack_Click()
{
    setBackColour(0x000000);
    ColReset();
    m_c.mnuBBlack->setChecked(true);
    saveColour(QStringLiteral("Black"));
}

void ImageDisplay::mnuChooseCol_Click()
{
    // Choosing the item toggled its check mark; only a chosen colour changes it.
    m_c.mnuChooseCol->setChecked(!m_c.mnuChooseCol->isChecked());
    const std::optional<QColor> chosen = m_desktop.chooseColour(m_c.Picture1->window(), Qt::black);
    if (!chosen)
        return;
    const unsigned bgr =
        core::encoding::colourNumber(chosen->red(), chosen->green(), chosen->blue());
    setBackColour(bgr);
    ColReset();
    m_c.mnuChooseCol->setChecked(true);
    saveColour(QString::number(bgr));
}

void ImageDisplay::applyStartupColour()
{
    const QString colour = core::keys::Colour.read(m_settings);
    ColReset();
    if (colour == QLatin1String("Black")) {
        m_c.mnuBBlack->setChecked(true);
        setBackColour(0x000000);
    } else if (colour == QLatin1String("White")) {
        m_c.mnuBWhite->setChecked(true);
        setBackColour(0xFFFFFF);
    } else if (colour == QLatin1String("Grey")) {
        m_c.mnuBGrey->setChecked(true);
        setBackColour(0xC0C0C0);
    } else {
        m_c.mnuChooseCol->setChecked(true);
        setBackColour(core::encoding::colourFromText(colour));
    }
}

QSize ImageDisplay::stretchedSize() const
{
    const QSize pane = m_c.Picture1->size();
    return m_keepProportions ? keptProportions(m_picture.naturalSize, pane) : pane;
}

void ImageDisplay::mnuKeepProp_Click()
{
    m_keepProportions = m_c.mnuKeepProp->isChecked();
    try {
        core::keys::KeepProportions.save(m_settings, m_keepProportions ? QStringLiteral("1")
                                                                       : QStringLiteral("0"));
    } catch (const Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErroNumber);
    }
    if (!m_stretch || m_picture.isNull() || m_state.FullScreenOpen)
        return;
    try {
        toStretched();
    } catch (const Error &error) {
        m_c.Image1->show();
        platform::reportError(m_desktop, error, platform::captions::CriticalError);
    }
}

void ImageDisplay::applyStartupMode()
{
    if (core::keys::ImageSize.read(m_settings) != QLatin1String("Normal"))
        return;
    if (!m_picture.isNull()) {
        // A picture from the command line is already shown, stretched.
        switchMode(true);
        return;
    }
    m_stretch = false;
    m_c.mnuStretch->setChecked(false);
    layoutActualSize();
    m_c.HScroll1->setEnabled(false);
}

QImage ImageDisplay::shownPicture() const
{
    if (m_picture.isNull())
        return {};
    if (m_picture.image.size() == m_picture.naturalSize)
        return m_picture.image;
    if (m_fullSize.isNull()) {
        platform::Picture full = m_picture;
        m_decoder.render(full, {});
        m_fullSize = full.image;
    }
    return m_fullSize;
}

void ImageDisplay::mnuFullscrn_Click()
{
    openFullScreen(false);
}

bool ImageDisplay::openFullScreen(bool launchedFromCommandLine)
{
    try {
        // The viewer fitting pictures to the screen decodes them for it
        // itself; at natural size the picture must be held whole, unless it
        // is seen by regions.
        if (core::keys::FullScreenFit.read(m_settings) != QLatin1String("1") &&
            (m_picture.isVector() || !platform::PictureRegions::suits(m_state.CurrentImagePath)))
            shownPicture();
        return m_viewer && m_viewer->open(launchedFromCommandLine);
    } catch (const Error &error) {
        if (error.number == Error::Overflow) {
            tooLarge();
            clearPicture();
        } else {
            platform::reportError(m_desktop, error, platform::captions::ErrorNumber);
        }
    }
    return false;
}

void ImageDisplay::Image1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton && m_anySelected)
        m_desktop.popUp(*m_c.mnuView, QCursor::pos());
}

void ImageDisplay::File1_KeyDown(int key)
{
    // Enter on the chosen picture views it full screen, as a double-click on it does.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_c.File1->listIndex() >= 0)
        Image1_DblClick();
}

void ImageDisplay::Image1_DblClick()
{
    // Not over the tips' placeholder, which disables the command.
    if (m_anySelected && m_c.mnuFullscrn->isEnabled())
        mnuFullscrn_Click();
}

} // namespace browser
