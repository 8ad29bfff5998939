#include "SysTray.h"

#include "platform/Drawing.h"

namespace extras {

namespace {

constexpr int iconId = 0;

// The control's own picture, until an icon is given: the tray shows
// nothing without one.
QIcon defaultIcon()
{
    return QIcon(platform::drawnPicture(16, [](QPainter &p) {
        p.fillRect(QRect(1, 2, 14, 12), QColor(0x70, 0xB0, 0xF0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x90, 0x30));
        p.drawPolygon(QPolygon({QPoint(1, 14), QPoint(6, 7), QPoint(10, 11), QPoint(15, 14)}));
    }));
}

} // namespace

SysTray::SysTray(QObject *parent) : QObject(parent), m_icon(defaultIcon()) {}

SysTray::~SysTray()
{
    setInTray(false);
}

void SysTray::setInTray(bool value)
{
    if (value == m_inTray)
        return;
    if (value) {
        add();
    } else if (m_tray) {
        m_tray->hide();
        delete m_tray;
    }
    m_inTray = value;
}

void SysTray::add()
{
    m_tray = new QSystemTrayIcon(this);
    m_tray->setObjectName(QStringLiteral("ostrelIcon"));
    m_tray->setIcon(m_icon);
    if (!m_tip.isEmpty())
        m_tray->setToolTip(m_tip.left(TipCapacity));
    connect(m_tray, &QSystemTrayIcon::activated, this, &SysTray::activated);
    m_tray->show();
}

void SysTray::setTrayIcon(const platform::Picture &picture)
{
    if (picture.image.isNull() || picture.format != "ico")
        return;
    m_icon = QIcon(QPixmap::fromImage(picture.image));
    if (m_tray)
        m_tray->setIcon(m_icon);
}

void SysTray::setTrayTip(const QString &text)
{
    m_tip = text;
    if (m_tray)
        m_tray->setToolTip(text.left(TipCapacity));
}

void SysTray::activated(QSystemTrayIcon::ActivationReason reason)
{
    // The tray reports clicks, not presses and releases: a click is both.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        Q_EMIT MouseDown(1, iconId);
        Q_EMIT MouseUp(1, iconId);
        break;
    case QSystemTrayIcon::Context:
        Q_EMIT MouseDown(2, iconId);
        Q_EMIT MouseUp(2, iconId);
        break;
    case QSystemTrayIcon::DoubleClick:
        Q_EMIT MouseDblClick(1, iconId);
        break;
    default: // the middle button and the rest raise nothing
        break;
    }
}

} // namespace extras
