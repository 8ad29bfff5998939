#pragma once

#include <QLabel>

namespace platform {

// A picture that acts as a button: one element of a control array, reporting
// its mouse events with its index so the owner draws the button look itself.
class PictureButton : public QLabel
{
    Q_OBJECT
public:
    PictureButton(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }

Q_SIGNALS:
    void MouseDown(int index, Qt::MouseButton button);
    void MouseUp(int index, Qt::MouseButton button);
    void MouseMove(int index, Qt::MouseButtons buttons);
    void DblClick(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int m_index;
};

} // namespace platform
