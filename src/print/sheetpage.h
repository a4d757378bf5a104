// What planning a front page and planning a back page share: the paper set up and its cards
// placed, and the test sheet's drawing. For the print layer's own use.
#pragma once

#include <QString>
#include <QStringList>

#include "core/result.h"
#include "print/qrcode.h"
#include "print/sheet.h"

namespace quarzello {

class PrintSurface;

// The face of the lines on the back of the cards.
QString backLinesFont();

// On a plain sheet's back w wide: the height the back's lines take, with the gap above them,
// measured on the surface; and whether the card's code fits a back of w × h beside them.
double backLinesRoom(PrintSurface& surface, const QStringList& lines, double width);
bool backQrFits(double width, double height, double linesRoom, const QrMatrix& matrix);

// Sets the page up on the surface and places the paper's cards, with their cut marks on the
// plain sheet; the plan's offset is options.offset. Fails when the surface gives no paper size.
Result<SheetPlan> planPaperCards(PrintSurface& surface, const SheetPaper& paper,
                                 const SheetOptions& options);

// The test sheet over the plan's cards: their outlines instead of cut marks, the cross with its
// scales at the page's centre, and the caption under it.
void planTestDrawing(SheetPlan& plan, PrintSurface& surface, const QString& caption);

// The test sheet's caption for the paper.
QString testCaption(const SheetPaper& paper);

}  // namespace quarzello
