// The sheet's live preview beside the form: the whole A4 page as it will print and one card
// enlarged, drawn by the print's own code, with what paper would hide marked on them.
#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>
#include <memory>
#include <optional>

#include "core/cardrecord.h"
#include "core/printablearea.h"
#include "print/margins.h"
#include "print/sheet.h"

class QLabel;
class QPushButton;
class QTimer;

namespace quarzello {

class ScreenSurface;

// Said under the card, and to a screen reader, when the code was asked for and does not fit.
QString qrLeftOutNote();

class SheetPreview final : public QWidget {
    Q_OBJECT

  public:
    // The width it takes beside the form, for a window height given.
    static int widthFor(int height);

    explicit SheetPreview(QWidget* parent = nullptr);
    ~SheetPreview() override;

    // Shows the sheet of this record, once the changes that come at once have all come.
    void follow(const CardRecord& record, const SheetOptions& options);
    // The printer whose unprintable borders are shaded; empty name: none. An area not known
    // (the service did not say) shades nothing, and says so.
    void setPrinter(const QString& name, std::optional<PrintableArea> area);

    // Said under the card when the back is shown: what of it could not be read (the emblem).
    void setBackNote(const QString& note);
    // Whether the back of the sheet is shown rather than its front ("Retro" pressed); only a
    // sheet with a back (options.back) has one to show.
    bool showingBack() const;

    // Draws now what follow() asked for; the timer calls it when the changes have come.
    void redraw();
    // The lines that print shorter than their text on the last sheet drawn.
    int shortenedCount() const { return shortened_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void placeParts();
    QString toolTipAt(const QPoint& at) const;
    // A rectangle of the paper in millimetres, on this widget's sheet or card picture.
    QRectF onSheet(const QRectF& mm) const;
    QRectF onCard(const QRectF& mm) const;
    QRectF boxOf(const CardLine& line) const;

    std::unique_ptr<ScreenSurface> surface_;
    QTimer* pending_ = nullptr;
    CardRecord record_;
    SheetOptions options_;
    std::optional<SheetPlan> plan_;
    MarginLoss loss_;  // what the printer's margins would cut of the plan
    QString refused_;  // why there is no sheet to show

    QString printer_;
    std::optional<PrintableArea> area_;

    QRect sheetRect_, cardRect_;
    QRectF cardMm_;
    QImage sheet_, card_;
    QLabel* printerLabel_ = nullptr;
    QLabel* cardLabel_ = nullptr;
    // "Fronte" and "Retro", above the card, shown only for a sheet with a back.
    QPushButton* front_ = nullptr;
    QPushButton* back_ = nullptr;
    QString backNote_;
    int shortened_ = 0;
};

}  // namespace quarzello
