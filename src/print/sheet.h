// The sheet as a value: every card's place, text span, lines and cut marks on an A4 page,
// worked out once from the record and the grid; and the one routine that draws such a page.
#pragma once

#include <QRectF>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "core/cardrecord.h"
#include "core/cardstock.h"
#include "core/printeroffset.h"
#include "core/result.h"
#include "print/cardcontent.h"
#include "print/cardqr.h"
#include "print/gridtext.h"
#include "print/stampatesto.h"

namespace quarzello {

class PrintSurface;
struct BackContent;
struct Emblem;

// Twips per millimetre, one for the width and one for the height, as the sheet has always
// converted the paper size.
inline constexpr double kTwipsPerMmWidth = 56.6857142;
inline constexpr double kTwipsPerMmHeight = 56.6868687;

// A cut mark, from (x1, y1) to (x2, y2), in millimetres from the paper's top-left corner.
struct CardMark {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// One line of a card as it prints: its text fitted to the card's span and its box placed.
struct CardLine {
    int slot = 0;       // the line's slot of Dati
    int ordinal = 0;    // 1 for the card's first line
    bool last = false;  // the card's last line
    QString whole;      // the line's whole text, before any shortening
    SlotStyle style;
    FittedLine fitted;  // empty text: nothing of it fits, nothing is printed
    LineBox box;
    // Something of the line reaches paper: a text, at a position that did not overflow.
    bool printed() const;
    bool shortened() const { return fitted.text != whole; }
};

// One card of the sheet: its rectangle, the span its lines are fitted in, its lines top to
// bottom, its cut marks and its QR code.
struct PlannedCard {
    int row = 0, column = 0;  // rows counted from the top, columns from the left
    float x = 0, y = 0, width = 0, height = 0;
    float daOrizz = 0, aOrizz = 0;  // the text span
    std::vector<CardLine> lines;
    std::vector<CardMark> marks;
    std::optional<CardQr> qr;
    std::optional<QRectF> emblem;  // on a back: the emblem's box, its aspect kept
};

// What the user chose for the sheet besides the record, the same for every page of a run: a new
// way of making the sheet (a new item on the cards) is one more field here, its default the
// sheet as it always was.
struct SheetOptions {
    bool qrCode = false;  // the record's contact as a QR code on every card
    // The pre-cut product printed on; none: plain A4, cut by hand along the marks. Each page's
    // paper is worked out from it once (paperFor); the plan reads the paper.
    std::shared_ptr<const CardStock> stock;
    // A test sheet: every card's outline and a cross with scales at the page's centre, no lines.
    bool testSheet = false;
    // The printer's offset, added to everything on the page: the checks see the sheet where it
    // goes on paper. None for a PDF.
    PrinterOffset offset;
    // The back of every sheet; none: the sheet has one side. With a back whose `qr` is set the
    // front carries no code.
    std::shared_ptr<const BackContent> back;
};

// The paper one page is printed on: the plain sheet in the record's grid, or the product's
// cards, whose grid is the product's.
struct SheetPaper {
    explicit SheetPaper(Grid plainGrid) : grid(plainGrid) {}
    explicit SheetPaper(std::shared_ptr<const CardStock> product);
    Grid grid;
    std::shared_ptr<const CardStock> stock;  // none: the plain sheet
};

// The paper of a page of this record: the product chosen, else the record's own grid, which
// fails, saying why, when it cannot print. On a product the grid texts are not read.
Result<SheetPaper> paperFor(const CardRecord& record, const SheetOptions& options);

// The test sheet's caption, naming the paper: its text and the box it was placed in.
struct TestCaption {
    QString text;
    float size = 0;  // points
    LineBox box;
};

// The whole page, worked out before anything is drawn. The one-letter quantities are those
// named in sheet.cpp. Every position is where the sheet is meant to be on the paper; `offset`
// is added to all of them as they go to the printer (placedX, placedY).
struct SheetPlan {
    Grid grid;
    std::shared_ptr<const CardStock> stock;  // the product printed on; none: the plain sheet
    float P = 0, Q = 0, W = 0, H = 0, S = 0, m = 0;
    PrinterOffset offset;
    CardContent content;
    std::vector<PlannedCard> cards;  // row by row from the top, left to right
    // A QR code was asked for and does not fit the cards: the plan is the sheet without it.
    bool qrLeftOut = false;
    bool testSheet = false;  // outlines and the centre's cross; no card lines
    // The test sheet's drawing: the cards' outlines, then the cross with its scales.
    std::vector<CardMark> outlines, cross;
    TestCaption caption;  // under the cross, naming the paper
    // A back page (planBack): the cards at their backs' places, the emblem drawn in each card's
    // `emblem` box, no cut marks.
    bool back = false;
    std::shared_ptr<const Emblem> emblem;

    // Where a position of the plan lands on the paper, the sheet reduced to scale about the
    // page's centre and then moved by the printer's offset.
    float placedX(double x, double scale = 1.0) const;
    float placedY(double y, double scale = 1.0) const;
    // A box of the plan as it lands on the paper at full size.
    QRectF placed(const QRectF& box) const;
};

// Sets the page up on the surface and plans the sheet of the record on the paper, measuring on
// the surface. Fails only when the surface gives no paper size.
Result<SheetPlan> planSheet(PrintSurface& surface, const CardRecord& record,
                            const SheetPaper& paper, const SheetOptions& options = {});

// The plain sheet's grid with the most cards (the most rows among equals) whose cards take the
// record's QR code, from the size of one card of each grid; nothing when none does, or on a
// product, whose cards are what they are.
std::optional<Grid> largestGridWithQr(const CardRecord& record, const SheetOptions& options);

// The lines of the card that will print shorter than their text, as they will print, in order
// (one entry for each distinct shortened form). A name split over two lines is no shortening.
QStringList shortenedLines(const SheetPlan& plan);

// Draws the planned page on the surface it was planned on, without ending it. With a scale
// other than 1 the whole page is drawn scaled about its centre (the lines' type too), so the
// cards keep their places relative to each other and their cut marks; then everything is moved
// by the plan's offset. A failure on the way abandons the document.
Result<void> drawPage(PrintSurface& surface, const SheetPlan& plan, double scale = 1.0);

}  // namespace quarzello
