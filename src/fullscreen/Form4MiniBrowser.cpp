// The MiniBrowser: the viewer's floating panel with its own lists.
#include "Form4.h"

#include "platform/Drawing.h"
#include "platform/ErrorReport.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

using platform::Error;
namespace twips = platform::twips;

namespace fullscreen {

namespace {

const QColor panelColour(255, 224, 192);
const QColor listColour(192, 255, 255);
const QColor greyPanel(128, 128, 128);
const QColor greyList(224, 224, 224);

template <typename W>
W *place(W *widget, const QString &name, double x, double y, double w, double h)
{
    widget->setObjectName(name);
    widget->setGeometry(twips::rect(x, y, w, h));
    return widget;
}

// The program's icon: a small landscape in a frame.
QPixmap programIcon()
{
    return platform::drawnPicture(17, [](QPainter &p) {
        p.fillRect(QRectF(1, 2, 15, 13), QColor(0x70, 0xB0, 0xF0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x90, 0x30));
        p.drawPolygon(QPolygonF(
            {QPointF(1, 15), QPointF(6, 8), QPointF(10, 12), QPointF(13, 9), QPointF(16, 15)}));
        p.setBrush(QColor(0xF8, 0xE0, 0x40));
        p.drawEllipse(QPointF(12, 5.5), 2, 2);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.5, 1.5, 16, 14));
    });
}

// The pin: a round head on a needle.
QPixmap pinPicture()
{
    return platform::drawnPicture(15, [](QPainter &p) {
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
        p.drawLine(QPointF(7.5, 8), QPointF(7.5, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD0, 0x20, 0x20));
        p.drawEllipse(QPointF(7.5, 5), 4, 4);
    });
}

QPixmap lamp()
{
    return platform::drawnPicture(16, [](QPainter &p) {
        p.setPen(QColor(0x60, 0x60, 0x60));
        p.setBrush(QColor(0xA0, 0xA0, 0xA0));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    });
}

void colour(QWidget *widget, QPalette::ColorRole role, const QColor &value)
{
    QPalette palette = widget->palette();
    palette.setColor(role, value);
    widget->setPalette(palette);
}

} // namespace

void Form4::buildMiniBrowser()
{
    Frame1 = place(new QFrame(this), QStringLiteral("Frame1"), 165, 1755, 2880, 6010);
    Frame1->setAutoFillBackground(true);
    // Clicks on the panel are the panel's: they never step the picture.
    Frame1->setAttribute(Qt::WA_NoMousePropagation);
    colour(Frame1, QPalette::Window, panelColour);
    Shape2 = place(new QFrame(Frame1), QStringLiteral("Shape2"), 0, 0, 2880, 6010);
    Shape2->setFrameShape(QFrame::Box);
    Shape1 = place(new QFrame(Frame1), QStringLiteral("Shape1"), 75, 60, 2730, 330);
    Shape1->setAutoFillBackground(true);
    colour(Shape1, QPalette::Window, QColor(0, 0, 128));
    Label5 = place(new QLabel(QStringLiteral("IG MiniBrowser"), Frame1), QStringLiteral("Label5"),
                   435, 120, 1395, 210);
    QFont bold = Label5->font();
    bold.setPointSizeF(8.25);
    bold.setBold(true);
    Label5->setFont(bold);
    colour(Label5, QPalette::WindowText, Qt::white);
    Image3 =
        place(new platform::PictureButton(-1, Frame1), QStringLiteral("Image3"), 120, 98, 255, 255);
    Image3->setPixmap(programIcon());
    Image3->setScaledContents(true);
    shpPinOn = place(new QLabel(Frame1), QStringLiteral("shpPinOn"), 2205, 105, 240, 240);
    shpPinOn->setPixmap(lamp());
    shpPinOn->setScaledContents(true);
    shpPinOn->hide();
    Image2 = place(new platform::PictureButton(-1, Frame1), QStringLiteral("Image2"), 2205, 120,
                   225, 225);
    Image2->setPixmap(pinPicture());
    Image2->setScaledContents(true);
    cmdExit = place(new QPushButton(QStringLiteral("X"), Frame1), QStringLiteral("cmdExit"), 2520,
                    105, 240, 240);
    cmdExit->setFont(bold);
    Drive1 =
        place(new platform::DriveListBox(Frame1), QStringLiteral("Drive1"), 90, 420, 2730, 315);
    Dir1 = place(new platform::DirListBox(Frame1), QStringLiteral("Dir1"), 90, 765, 2720, 2340);
    File1 = place(new platform::FileListBox(Frame1), QStringLiteral("File1"), 90, 3135, 2720, 2565);
    // In a large desktop font the drive box is as tall as its text needs;
    // the folder list below gives up the room.
    if (const int more = Drive1->minimumSizeHint().height() - Drive1->height(); more > 0) {
        Drive1->resize(Drive1->width(), Drive1->height() + more);
        Dir1->setGeometry(Dir1->geometry().adjusted(0, more, 0, 0));
    }
    File1->setPattern(QStringLiteral("*.bmp;*.wmf;*.ico;*.gif;*.jpg"));
    for (QWidget *list : std::initializer_list<QWidget *>{Drive1, Dir1, File1}) {
        colour(list, QPalette::Base, listColour);
        colour(list, QPalette::Button, listColour);
    }
    Label3 = place(new QLabel(QStringLiteral("Viewing Image"), Frame1), QStringLiteral("Label3"),
                   330, 5740, 1275, 210);
    lblNumber = place(new QLabel(QStringLiteral("000"), Frame1), QStringLiteral("lblNumber"), 1575,
                      5740, 345, 210);
    lblNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label6 = place(new QLabel(QStringLiteral("of"), Frame1), QStringLiteral("Label6"), 1950, 5740,
                   180, 210);
    lblCount = place(new QLabel(QStringLiteral("000"), Frame1), QStringLiteral("lblCount"), 2160,
                     5740, 315, 210);
    for (QLabel *label : {Label3, lblNumber, Label6, lblCount}) {
        label->setFont(bold);
        label->setAutoFillBackground(true);
        colour(label, QPalette::Window, panelColour);
    }
    // The label's box is narrower than "Viewing Image" in most desktop
    // fonts: the text is drawn smaller rather than cut.
    QFont fitted = bold;
    while (fitted.pointSizeF() > 6 &&
           QFontMetrics(fitted).horizontalAdvance(Label3->text()) > Label3->width())
        fitted.setPointSizeF(fitted.pointSizeF() - 0.25);
    Label3->setFont(fitted);
    Frame1->hide();
}

void Form4::wireMiniBrowser()
{
    connect(File1, &platform::FileListBox::Click, this, &Form4::File1_Click);
    connect(Drive1, &platform::DriveListBox::Change, this, &Form4::Drive1_Change);
    connect(Dir1, &platform::DirListBox::Change, this, &Form4::Dir1_Change);
    connect(Dir1, &platform::DirListBox::MouseDown, this, &Form4::Dir1_MouseDown);
    connect(Dir1, &platform::DirListBox::MouseUp, this, &Form4::listMouseUp);
    connect(File1, &platform::FileListBox::MouseUp, this, &Form4::listMouseUp);
    connect(Image2, &platform::PictureButton::MouseUp, this, [this](int, Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            Image2_Click();
    });
    connect(Image3, &platform::PictureButton::DblClick, this, &Form4::Image3_DblClick);
    m_iconMenuDue.setSingleShot(true);
    connect(&m_iconMenuDue, &QTimer::timeout, this,
            [this] { m_desktop.popUp(*mnuIcon, QCursor::pos()); });
    connect(Image3, &platform::PictureButton::MouseDown, this,
            [this](int, Qt::MouseButton button) { Image3_MouseDown(button); });
    connect(cmdExit, &QPushButton::clicked, this, &Form4::cmdExit_Click);
}

void Form4::applyGreyMode()
{
    colour(Frame1, QPalette::Window, greyPanel);
    for (QWidget *list : std::initializer_list<QWidget *>{Drive1, Dir1, File1}) {
        colour(list, QPalette::Base, greyList);
        colour(list, QPalette::Button, greyList);
    }
    for (QLabel *label : {Label3, lblNumber, Label6, lblCount}) {
        colour(label, QPalette::Window, greyPanel);
        colour(label, QPalette::WindowText, Qt::white);
    }
}

void Form4::updateCounters()
{
    lblCount->setText(QString::number(File1->listCount()));
    lblNumber->setText(QString::number(File1->listIndex() + 1));
}

void Form4::followFolder(const QString &folder)
{
    Drive1->followFolder(folder);
    if (Dir1->path() != folder)
        Dir1->setPath(folder);
}

void Form4::Drive1_Change()
{
    try {
        const QString drive = Drive1->drive();
        platform::volumes::requireReady(drive);
        Dir1->setPath(platform::volumes::currentFolder(drive));
        m_host.hostDrive().setDrive(drive);
    } catch (const Error &error) {
        if (error.number == Error::DeviceUnavailable)
            platform::reportDriveUnavailable(m_desktop);
        else
            platform::reportError(m_desktop, error, platform::captions::NumberOnly);
    }
}

void Form4::Dir1_Change()
{
    const QString folder = Dir1->path();
    try {
        // The main window's tree lists the folder and its file list with it.
        if (m_host.hostFolders().path() != folder)
            m_host.hostFolders().setPath(folder);
        File1->setPath(folder);
        if (m_host.hostFiles().path() != folder)
            m_host.hostFiles().setPath(folder);
    } catch (const Error &) {
        // A folder that cannot be read leaves the lists as they are.
    }
    updateCounters();
}

void Form4::Dir1_MouseDown()
{
    const QString entry = Dir1->list(Dir1->listIndex());
    if (entry.isEmpty())
        return;
    try {
        if (entry != Dir1->path()) {
            Dir1->setPath(entry);
        } else {
            // The folder that is open already: read it again.
            File1->refresh();
            Dir1->refresh();
            updateCounters();
        }
    } catch (const Error &) {
        // As the platform's lists leave it.
    }
}

void Form4::listMouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_host.popUpFavourites(QCursor::pos());
}

void Form4::Image2_Click()
{
    shpPinOn->setVisible(shpPinOn->isHidden());
    // The lamp shows behind the pin.
    Image2->raise();
}

void Form4::Image3_DblClick()
{
    m_iconMenuDue.stop();
    close();
}

void Form4::Image3_MouseDown(Qt::MouseButton button)
{
    // The menu waits out a double-click: opened at once, it would take the
    // second click, and the double-click that closes the viewer never came.
    if (button == Qt::LeftButton)
        m_iconMenuDue.start(QApplication::doubleClickInterval());
}

void Form4::cmdExit_Click()
{
    m_launchedFromCommandLine = false;
    close();
}

void Form4::lblMiniOn_MouseMove()
{
    if (shpPinOn->isHidden()) {
        Frame1->show();
        Frame1->raise();
    }
}

void Form4::lblMiniOff_MouseMove()
{
    showMenus(false);
    if (shpPinOn->isHidden())
        Frame1->hide();
}

} // namespace fullscreen
