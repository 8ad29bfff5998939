#include "PictureButton.h"

#include <QMouseEvent>

namespace platform {

PictureButton::PictureButton(int index, QWidget *parent) : QLabel(parent), m_index(index)
{
    setAlignment(Qt::AlignCenter);
    setMouseTracking(true);
    setObjectName(QStringLiteral("pics(%1)").arg(index));
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT MouseDown(m_index, event->button());
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    // A disabled picture reports nothing, as a disabled control would not.
    if (isEnabled())
        Q_EMIT MouseUp(m_index, event->button());
}

void PictureButton::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT MouseMove(m_index, event->buttons());
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent *)
{
    Q_EMIT DblClick(m_index);
}

} // namespace platform
