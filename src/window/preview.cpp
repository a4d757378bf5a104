// The preview. It plans and draws the page with the print's own routines on a surface that
// measures as the PDF does, so the pictures are the print; the marks for shortened lines and
// the printer's borders are laid over the pictures, never into them.
#include "window/preview.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "core/a4paper.h"
#include "core/linebreak.h"
#include "print/backside.h"
#include "print/margins.h"
#include "print/screensurface.h"

namespace quarzello {

namespace {

constexpr int kGap = 6;
constexpr int kLabelHeight = 16;
constexpr int kCardWidth = 420;
constexpr int kNoteHeight = 30;
constexpr int kSideButtonHeight = 22;
const QColor kShortened(220, 0, 0);
const QColor kBorderShade(90, 90, 90, 110);
const QColor kCut(255, 120, 0, 150);

QLabel* makeNote(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

// What the page holds, for a screen reader: the paper, what the QR code and the printer's
// margins do to it, and the shortened lines with their whole text.
QString describe(const SheetPlan& plan, const MarginLoss& loss, const QString& printer,
                 const PrintableArea& area) {
    QStringList parts;
    if (plan.back) parts << QStringLiteral("Retro del foglio:");
    const int cards = int(plan.cards.size());
    if (plan.stock)
        parts << QStringLiteral("Foglio %1, %2 biglietti.").arg(plan.stock->name()).arg(cards);
    else
        parts << QStringLiteral("Foglio A4 da tagliare, %1 colonne e %2 righe: %3 biglietti.")
                     .arg(plan.grid.columns)
                     .arg(plan.grid.rows)
                     .arg(cards);
    if (plan.qrLeftOut) parts << qrLeftOutNote();
    if (!plan.cards.empty())
        for (const CardLine& line : plan.cards.front().lines)
            if (line.printed() && line.shortened())
                parts << QStringLiteral("Riga stampata più corta: «%1…», testo intero: «%2».")
                             .arg(line.fitted.text, line.whole);
    if (!loss.fits()) {
        QString text = marginLossText(loss, area);
        text[0] = text[0].toUpper();
        text.replace(CR, QLatin1Char(' '));
        parts << (printer.isEmpty() ? text
                                    : QStringLiteral("Con la stampante %1: ").arg(printer) + text);
    }
    return parts.join(QLatin1Char(' '));
}

}  // namespace

QString qrLeftOutNote() {
    return QStringLiteral(
        "Il codice QR non entra in questi biglietti: il foglio è stampato "
        "senza.");
}

int SheetPreview::widthFor(int height) {
    const int sheetHeight = height - 2 * kGap - kLabelHeight;
    return kGap + qRound(sheetHeight * kA4WidthMm / kA4HeightMm) + 2 * kGap + kCardWidth + kGap;
}

SheetPreview::SheetPreview(QWidget* parent)
    : QWidget(parent), surface_(std::make_unique<ScreenSurface>()), pending_(new QTimer(this)) {
    setObjectName(QStringLiteral("preview"));
    setAccessibleName(QStringLiteral("Anteprima del foglio"));
    // Reached with Tab, so that a screen reader reads what the sheet holds.
    setFocusPolicy(Qt::TabFocus);
    // Every change that comes at once (a Load fills eleven boxes) is drawn once, when the event
    // loop is free again: typing never waits for a drawing.
    pending_->setSingleShot(true);
    pending_->setInterval(0);
    connect(pending_, &QTimer::timeout, this, &SheetPreview::redraw);
    printerLabel_ = makeNote(this, "lblAnteprimaStampante");
    cardLabel_ = makeNote(this, "lblAnteprimaRighe");
    front_ = new QPushButton(QStringLiteral("Fronte"), this);
    front_->setObjectName(QStringLiteral("cmdAnteprimaFronte"));
    back_ = new QPushButton(QStringLiteral("Retro"), this);
    back_->setObjectName(QStringLiteral("cmdAnteprimaRetro"));
    auto* sides = new QButtonGroup(this);
    for (QPushButton* side : {front_, back_}) {
        side->setCheckable(true);
        side->setAutoDefault(false);
        side->setFocusPolicy(Qt::TabFocus);
        side->hide();
        sides->addButton(side);
    }
    front_->setAccessibleName(QStringLiteral("Anteprima del fronte"));
    back_->setAccessibleName(QStringLiteral("Anteprima del retro"));
    front_->setChecked(true);
    connect(back_, &QPushButton::toggled, this, [this] { pending_->start(); });
}

SheetPreview::~SheetPreview() = default;

void SheetPreview::follow(const CardRecord& record, const SheetOptions& options) {
    record_ = record;
    options_ = options;
    pending_->start();
}

void SheetPreview::setPrinter(const QString& name, std::optional<PrintableArea> area) {
    printer_ = name;
    area_ = area;
    QString text;
    if (!name.isEmpty()) {
        text = QStringLiteral("Stampante: %1").arg(name);
        if (!area) text += QStringLiteral(" (margini non noti)");
    }
    printerLabel_->setText(text);
    printerLabel_->setToolTip(text);
    // What the margins cut is worked out with the plan.
    pending_->start();
}

void SheetPreview::setBackNote(const QString& note) {
    backNote_ = note;
    pending_->start();
}

bool SheetPreview::showingBack() const { return options_.back && back_->isChecked(); }

void SheetPreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    redraw();
}

void SheetPreview::placeParts() {
    const int sheetHeight = height() - 2 * kGap - kLabelHeight;
    sheetRect_ = QRect(kGap, kGap, qRound(sheetHeight * kA4WidthMm / kA4HeightMm), sheetHeight);
    printerLabel_->setGeometry(kGap, sheetRect_.bottom() + 3, width() - 2 * kGap, kLabelHeight);
    const int cardLeft = sheetRect_.right() + 1 + 2 * kGap;
    cardLabel_->setGeometry(cardLeft, sheetRect_.bottom() + 1 - kNoteHeight,
                            width() - cardLeft - kGap, kNoteHeight);
    const int sideWidth = (width() - cardLeft - 2 * kGap) / 4;
    front_->setGeometry(cardLeft, kGap, sideWidth, kSideButtonHeight);
    back_->setGeometry(cardLeft + sideWidth, kGap, sideWidth, kSideButtonHeight);
}

void SheetPreview::redraw() {
    pending_->stop();
    placeParts();
    plan_.reset();
    loss_ = {};
    refused_.clear();
    shortened_ = 0;
    surface_->abortDoc();
    const bool back = showingBack();
    for (QPushButton* side : {front_, back_}) side->setVisible(options_.back != nullptr);
    if (const Result<SheetPaper> paper = paperFor(record_, options_); !paper) {
        refused_ = paper.error();
    } else if (Result<SheetPlan> plan = back ? planBack(*surface_, record_, *paper, options_)
                                             : planSheet(*surface_, record_, *paper, options_);
               !plan) {
        refused_ = plan.error();
    } else if (const Result<void> drawn = drawPage(*surface_, *plan); !drawn) {
        refused_ = drawn.error();
    } else {
        (void)surface_->endPage();
        plan_ = std::move(*plan);
        loss_ = marginLoss(*plan_, area_.value_or(PrintableArea{}));
    }

    const double ratio = devicePixelRatioF();
    sheet_ = QImage();
    card_ = QImage();
    cardRect_ = QRect();
    if (plan_ && !plan_->cards.empty()) {
        sheet_ = surface_->picture(surface_->paperMm(), sheetRect_.size() * ratio);
        sheet_.setDevicePixelRatio(ratio);
        const PlannedCard& first = plan_->cards.front();
        cardMm_ = plan_->placed(QRectF(first.x, first.y, first.width, first.height));
        // Below the switch between front and back, when there is one.
        const int top = options_.back ? 2 * kGap + kSideButtonHeight : kGap;
        const QRect room(sheetRect_.right() + 1 + 2 * kGap, top,
                         width() - sheetRect_.right() - 1 - 3 * kGap,
                         sheetRect_.height() - kNoteHeight - top);
        const double scale =
            std::min(room.width() / cardMm_.width(), room.height() / cardMm_.height());
        cardRect_ = QRect(room.topLeft(),
                          QSize(qRound(cardMm_.width() * scale), qRound(cardMm_.height() * scale)));
        card_ = surface_->picture(cardMm_, cardRect_.size() * ratio);
        card_.setDevicePixelRatio(ratio);
        for (const CardLine& line : first.lines) shortened_ += line.printed() && line.shortened();
    }
    QStringList notes;
    if (back && !backNote_.isEmpty()) notes << backNote_;
    if (plan_ && plan_->qrLeftOut) notes << qrLeftOutNote();
    if (shortened_ == 1)
        notes << QStringLiteral(
            "1 riga è stampata più corta del suo testo (segnata in rosso): il "
            "testo intero appare col mouse sopra.");
    else if (shortened_ > 1)
        notes << QStringLiteral(
                     "%1 righe sono stampate più corte del loro testo (segnate in "
                     "rosso): il testo intero appare col mouse sopra.")
                     .arg(shortened_);
    cardLabel_->setText(notes.join(QLatin1Char(' ')));
    setAccessibleDescription(
        plan_ ? describe(*plan_, loss_, printer_, area_.value_or(PrintableArea{})) : refused_);
    update();
}

QRectF SheetPreview::onSheet(const QRectF& mm) const {
    const double scale = sheetRect_.width() / surface_->paperMm().width();
    return {sheetRect_.left() + mm.left() * scale, sheetRect_.top() + mm.top() * scale,
            mm.width() * scale, mm.height() * scale};
}

// A line's box where it lands on the paper.
QRectF SheetPreview::boxOf(const CardLine& line) const {
    return plan_->placed({line.box.x, line.box.y, line.box.width, line.box.height});
}

QRectF SheetPreview::onCard(const QRectF& mm) const {
    const double scale = cardRect_.width() / cardMm_.width();
    return {cardRect_.left() + (mm.left() - cardMm_.left()) * scale,
            cardRect_.top() + (mm.top() - cardMm_.top()) * scale, mm.width() * scale,
            mm.height() * scale};
}

void SheetPreview::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    if (!plan_) {
        // No sheet to show: the paper stays blank and says why.
        painter.fillRect(sheetRect_, QColor(235, 235, 235));
        painter.setPen(Qt::black);
        painter.drawText(sheetRect_.adjusted(kGap, kGap, -kGap, -kGap),
                         Qt::AlignCenter | Qt::TextWordWrap, refused_);
        return;
    }
    painter.drawImage(sheetRect_.topLeft(), sheet_);
    painter.drawImage(cardRect_.topLeft(), card_);
    painter.setPen(QColor(60, 60, 60));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheetRect_.adjusted(-1, -1, 0, 0));
    painter.drawRect(cardRect_.adjusted(-1, -1, 0, 0));

    if (area_) {
        // What the printer cannot reach is shaded.
        const QRectF paper = surface_->paperMm();
        const PrintableArea usable = usableArea(*area_, paper.width(), paper.height());
        const QRectF printable =
            paper.adjusted(usable.left, usable.top, -usable.right, -usable.bottom);
        const QRectF reach = onSheet(printable);
        painter.save();
        painter.setClipRegion(QRegion(sheetRect_).subtracted(QRegion(reach.toAlignedRect())));
        painter.fillRect(sheetRect_, kBorderShade);
        painter.restore();
    }
    // What of the sheet would be lost is marked, exactly what the margins check names; a thin
    // thing (a cut mark) a pixel wider, to be seen.
    for (const LostPart& part : loss_.parts) {
        painter.fillRect(onSheet(part.box).adjusted(-1, -1, 1, 1), kCut);
        if (part.card == 0) painter.fillRect(onCard(part.box), kCut);
    }
    painter.setPen(QPen(kShortened, 1));
    for (std::size_t c = 0; c < plan_->cards.size(); ++c)
        for (const CardLine& line : plan_->cards[c].lines)
            if (line.printed() && line.shortened()) {
                painter.drawRect(onSheet(boxOf(line)));
                if (c == 0) painter.drawRect(onCard(boxOf(line)));
            }
}

QString SheetPreview::toolTipAt(const QPoint& at) const {
    if (!plan_) return refused_;
    const PlannedCard& first = plan_->cards.front();
    for (const CardLine& line : first.lines)
        if (line.printed() && line.shortened() && onCard(boxOf(line)).contains(at))
            return line.whole;
    if (!sheetRect_.contains(at)) return {};
    for (const PlannedCard& card : plan_->cards)
        for (const CardLine& line : card.lines)
            if (line.printed() && line.shortened() && onSheet(boxOf(line)).contains(at))
                return line.whole;
    if (!loss_.fits()) {
        QString text = marginLossText(loss_, area_.value_or(PrintableArea{}));
        text[0] = text[0].toUpper();
        return text;
    }
    return {};
}

bool SheetPreview::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace quarzello
