// The ring drawn around whichever control of a window or dialog has the keyboard focus, so that it
// can be seen against the window's teal and a dialog's grey: the style's own focus frame is a
// one-pixel line that can't.
#pragma once

#include <QFocusFrame>
#include <QPointer>

namespace quarzello {

// How far two colours stand apart, from 1:1 to 21:1, as the accessibility guidelines reckon it.
double contrastRatio(const QColor& a, const QColor& b);

// A focus frame to Qt, which keeps it out of what assistive technology is shown; it places and
// paints itself, with a gap between the control and the ring that the style's frame lacks.
class FocusRing : public QFocusFrame {
    Q_OBJECT

  public:
    // Follows the focus among the controls of window, from now until window goes.
    explicit FocusRing(QWidget* window);

    // What the ring is drawn in against a background: of the window's own yellow and black,
    // the one that stands out more.
    static QColor colourAgainst(const QColor& background);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow(QWidget* focused);
    void place();

    QWidget* window_;
    QPointer<QWidget> target_;
    // The see-through parent of the control that the ring lies beneath, when not the control.
    QPointer<QWidget> branch_;
    QColor colour_;
};

}  // namespace quarzello
