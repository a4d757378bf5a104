// The focus ring: a sibling of the focused control, just beneath it in the stacking order, a
// little larger than the control, painted only in its outer band. Where the control's parent is
// see-through and too small for the ring (a dialog's row of buttons), the ring lies in the
// parent's parent, beneath the parent.
#include "platform/focusring.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <cmath>

namespace quarzello {

namespace {

constexpr int kRingWidth = 2;
// Between the control's edge and the ring, so that the ring is not read as the control's border.
constexpr int kRingGap = 1;

double relativeLuminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

FocusRing::FocusRing(QWidget* window) : QFocusFrame(window), window_(window) {
    hide();  // until a control of the window has the focus
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
}

QColor FocusRing::colourAgainst(const QColor& background) {
    const QColor yellow(255, 255, 0), black(0, 0, 0);
    return contrastRatio(yellow, background) >= contrastRatio(black, background) ? yellow : black;
}

void FocusRing::follow(QWidget* focused) {
    if (target_) target_->removeEventFilter(this);
    if (branch_) branch_->removeEventFilter(this);
    target_ = nullptr;
    branch_ = nullptr;
    // The edit part of a drop-down list takes the focus for the whole list.
    if (focused && qobject_cast<QComboBox*>(focused->parentWidget()))
        focused = focused->parentWidget();
    if (focused && focused != window_ && focused->window() == window_) {
        target_ = focused;
        target_->installEventFilter(this);
    }
    place();
}

void FocusRing::place() {
    if (!target_ || !target_->isVisible()) {
        hide();
        return;
    }
    const int margin = kRingGap + kRingWidth;
    QRect ring = target_->geometry().adjusted(-margin, -margin, margin, margin);
    QWidget* above = target_;
    QWidget* ground = target_->parentWidget();
    while (!ground->rect().contains(ring) && !ground->isWindow() && !ground->autoFillBackground()) {
        ring.translate(ground->pos());
        above = ground;
        ground = ground->parentWidget();
    }
    if (parentWidget() != ground) setParent(ground);
    setGeometry(ring);
    // A layout that moves the see-through parent moves the ring too.
    if (above != target_ && above != branch_) {
        if (branch_) branch_->removeEventFilter(this);
        branch_ = above;
        branch_->installEventFilter(this);
    }
    // Of the two colours, the other where the ring would run along a boxed caption drawn in its
    // colour (the title banner): there it would merge with the box's line.
    const QColor background = ground->palette().color(ground->backgroundRole());
    colour_ = colourAgainst(background);
    const QColor other = colour_ == Qt::black ? QColor(Qt::yellow) : QColor(Qt::black);
    for (const QFrame* box : ground->findChildren<QFrame*>(Qt::FindDirectChildrenOnly))
        if (box->isVisible() && box->frameShape() == QFrame::Box &&
            box->geometry().intersects(ring) &&
            box->palette().color(box->foregroundRole()) == colour_ &&
            contrastRatio(other, background) >= 3)
            colour_ = other;
    // Beneath the control, so that whatever lies over the control lies over its ring too.
    stackUnder(above);
    show();
    update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_ || watched == branch_) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                place();
                break;
            default:
                break;
        }
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(colour_, kRingWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const double half = kRingWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

}  // namespace quarzello
