#pragma once

#include <functional>
#include <QObject>
#include <QPoint>

class QScrollBar;
class QWidget;

namespace platform {

// Moves a picture larger than its pane by dragging it (hand pointer), and,
// when asked, by the wheel: both through the pane's scroll bars, whose
// values are in twips, so the pane lays the picture out as for the bars.
class DragPan final : public QObject
{
public:
    // pannable: whether the picture can move now.
    DragPan(QWidget *picture, QScrollBar *horizontal, QScrollBar *vertical,
            std::function<bool()> pannable, bool wheelScrolls, QObject *parent = nullptr);

    // The pointer: a hand over a picture that can move.
    void updatePointer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_picture;
    QScrollBar *m_horizontal;
    QScrollBar *m_vertical;
    std::function<bool()> m_pannable;
    bool m_wheelScrolls;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_from;      // where the press was, on the screen
    QPoint m_fromValue; // the bars' values then
};

} // namespace platform
