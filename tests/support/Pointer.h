#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Pointer input as the window system delivers it to a widget, at a point
// of the screen.
inline void sendMouse(QWidget *widget, QEvent::Type type, QPoint global, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
    QApplication::sendEvent(widget, &event);
}

// A left-button drag from one point of the widget, as it is when pressed,
// to another; the widget may move under the pointer.
inline void drag(QWidget *widget, QPoint from, QPoint to)
{
    const QPoint start = widget->mapToGlobal(from);
    const QPoint end = widget->mapToGlobal(to);
    sendMouse(widget, QEvent::MouseButtonPress, start, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, (start + end) / 2, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, end, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, end, Qt::NoButton);
}

// One wheel turn over a widget's corner; 120 is a notch.
inline void turnWheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers = {})
{
    QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), {}, {0, delta},
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}
