#include "DragPan.h"

#include "Twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

namespace platform {

DragPan::DragPan(QWidget *picture, QScrollBar *horizontal, QScrollBar *vertical,
                 std::function<bool()> pannable, bool wheelScrolls, QObject *parent)
    : QObject(parent), m_picture(picture), m_horizontal(horizontal), m_vertical(vertical),
      m_pannable(std::move(pannable)), m_wheelScrolls(wheelScrolls)
{
    m_picture->installEventFilter(this);
}

void DragPan::updatePointer()
{
    if (m_pannable())
        m_picture->setCursor(m_dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        m_picture->unsetCursor();
}

bool DragPan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_picture)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressed = mouse->button() == Qt::LeftButton && m_pannable();
        m_dragging = false;
        m_from = mouse->globalPosition().toPoint();
        m_fromValue = QPoint(m_horizontal->value(), m_vertical->value());
        updatePointer();
        return false;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressed || !(mouse->buttons() & Qt::LeftButton))
            return false;
        const QPoint moved = mouse->globalPosition().toPoint() - m_from;
        if (!m_dragging && moved.manhattanLength() < QApplication::startDragDistance())
            return false;
        m_dragging = true;
        updatePointer();
        // The picture follows the pointer: the bars move the other way.
        m_horizontal->setValue(m_fromValue.x() - int(twips::fromPixels(moved.x())));
        m_vertical->setValue(m_fromValue.y() - int(twips::fromPixels(moved.y())));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const bool dragged = m_dragging;
        m_pressed = m_dragging = false;
        updatePointer();
        // A drag is no click: what a click does is not done.
        return dragged;
    }
    case QEvent::Wheel: {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (!m_wheelScrolls || !m_pannable() || wheel->modifiers() & Qt::ControlModifier)
            return false;
        QPoint delta = wheel->pixelDelta();
        if (delta.isNull()) // some lines a notch, as a list scrolls
            delta = wheel->angleDelta() *
                    (QApplication::wheelScrollLines() * twips::toPixels(m_vertical->singleStep())) /
                    120;
        if (wheel->modifiers() & Qt::ShiftModifier && delta.x() == 0)
            delta = QPoint(delta.y(), 0);
        m_horizontal->setValue(m_horizontal->value() - int(twips::fromPixels(delta.x())));
        m_vertical->setValue(m_vertical->value() - int(twips::fromPixels(delta.y())));
        return true;
    }
    case QEvent::Enter:
        updatePointer();
        return false;
    default:
        return false;
    }
}

} // namespace platform
