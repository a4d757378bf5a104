// The back of the sheet: every card's back at the place its front has on the other side of the
// paper, with the club's emblem, its lines and (when chosen) the card's QR code; planned as the
// front is, into a SheetPlan, and drawn by the same drawPage.
#pragma once

#include <QRectF>
#include <QStringList>
#include <memory>

#include "core/cardback.h"
#include "core/cardrecord.h"
#include "core/printeroffset.h"
#include "core/result.h"
#include "print/emblem.h"
#include "print/sheet.h"

namespace quarzello {

class PrintSurface;

// What every back carries, read for one print: the emblem decoded once for the whole document.
struct BackContent {
    std::shared_ptr<const Emblem> emblem;  // none: no emblem
    QStringList lines;                     // up to kBackLines
    bool qr = false;                       // the card's code goes on the back, and not on the front
    TurnEdge edge = TurnEdge::Long;
    PrinterOffset offset;  // the printer's offset for the back pages; none for a PDF
};

// The back as set, its emblem read and checked; nothing to print on the back gives no content.
Result<std::shared_ptr<const BackContent>> backContent(const CardBack& back, bool qrCode,
                                                       TurnEdge edge, PrinterOffset offset);

// Where the back of a card at `card` on a front page of pageWidth × pageHeight lies on the back
// page, for a sheet turned on `edge`.
QRectF backPlace(const QRectF& card, double pageWidth, double pageHeight, TurnEdge edge);

// The back page of the sheet planned on the paper: options.back must be set. With a test sheet,
// the cards' outlines at their backs' places and the cross at the page's centre.
Result<SheetPlan> planBack(PrintSurface& surface, const CardRecord& record, const SheetPaper& paper,
                           const SheetOptions& options);

}  // namespace quarzello
