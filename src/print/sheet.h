// The sheet as a value: every card's place, text span, lines and cut marks on an A4 page,
// worked out once from the record and the grid; and the one routine that draws such a page.
#pragma once

#include <QStringList>
#include <functional>
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
};

// What the user chose for the sheet besides the record and its grid, the same for every page of
// a run: a new way of making the sheet (a kind of paper, a new item on the cards) is one more
// field here, its default the sheet as it always was.
struct SheetOptions {
    bool qrCode = false;  // the record's contact as a QR code on every card
    // The pre-cut product printed on; none: plain A4, cut by hand along the marks.
    std::optional<CardStock> stock;
    // A test sheet: every card's outline and a cross with scales at the page's centre, no lines.
    bool testSheet = false;
};

// The whole page, worked out before anything is drawn. The one-letter quantities are those
// named in sheet.cpp.
struct SheetPlan {
    Grid grid;
    float P = 0, Q = 0, W = 0, H = 0, S = 0, m = 0;
    CardContent content;
    std::vector<PlannedCard> cards;  // row by row from the top, left to right
    // A QR code was asked for and does not fit the cards: the plan is the sheet without it.
    bool qrLeftOut = false;
    bool testSheet = false;  // outlines and the centre's cross; no card lines
    QString testCaption;     // under the cross, naming the paper
};

// Sets the page up on the surface and plans the sheet of the record in the grid, measuring on
// the surface. Fails only when the surface gives no paper size.
Result<SheetPlan> planSheet(PrintSurface& surface, const CardRecord& record, const Grid& grid,
                            const SheetOptions& options = {});

// The grid with the most cards (the most rows among equals) whose cards take the record's QR
// code, planned on the surface; nothing when none does.
std::optional<Grid> largestGridWithQr(PrintSurface& surface, const CardRecord& record,
                                      const SheetOptions& options);

// The lines of the card that will print shorter than their text, as they will print, in order
// (one entry for each distinct shortened form). A name split over two lines is no shortening.
QStringList shortenedLines(const SheetPlan& plan);

// Draws the planned page on the surface it was planned on, without ending it. With a scale
// other than 1 the whole page is drawn scaled about its centre (the lines' type too), so the
// cards keep their places relative to each other and their cut marks; then everything is moved
// by the printer's offset. A failure on the way abandons the document.
Result<void> drawPage(PrintSurface& surface, const SheetPlan& plan, double scale = 1.0,
                      const PrinterOffset& offset = {});

// Prints the sheet for the record on the surface as a document of one page: the grid read,
// planned, drawn and handed over. processEvents, when given, runs at the start and once more
// before the page is handed over. Nothing is drawn when the grid is refused; a failure on the
// way abandons the page.
Result<void> StampaBiglietti(PrintSurface& surface, const CardRecord& record,
                             const std::function<void()>& processEvents = {});

}  // namespace quarzello
