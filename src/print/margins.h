// The printer's printable area on the A4 sheet, what of a planned sheet would fall outside it,
// and the largest reduction about the page's centre that brings all of it inside.
#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/printablearea.h"
#include "core/printeroffset.h"

namespace quarzello {

struct SheetPlan;

// The margins as the sheet's checks use them: a margin below zero (an area past the paper's
// edge) is none; none at all when unknown, not a number, or when the area is empty or inverted.
PrintableArea usableArea(const PrintableArea& area, double paperWidth, double paperHeight);

// A part of the sheet that would not be printed, where it lands on the paper (millimetres);
// card: its index in the plan's cards, or -1 for the test sheet's drawing.
struct LostPart {
    int card = -1;
    QRectF box;
};

struct MarginLoss {
    // What would not be printed, in words a user understands, top first; empty: it all fits.
    QStringList lost;
    // Each line, code, mark or line of the test sheet that falls outside, on its own.
    std::vector<LostPart> parts;
    // The largest whole percentage at which the sheet, scaled about the page's centre, falls
    // entirely inside the printable area; 100 when nothing is lost.
    int factorPercent = 100;
    // The printer's offset the sheet was measured with, and whether only the paper's edges
    // were measured against (the printer did not say where it prints).
    PrinterOffset offset;
    bool paperEdges = false;
    bool fits() const { return lost.isEmpty(); }
    double factor() const { return factorPercent / 100.0; }
};

// Everything the plan puts on paper, where its offset puts it, against the printable area: each
// line's box, each code's modules, each cut mark's end points, the test sheet's lines and
// caption. The paper's edges are a limit too, whatever the printer says.
MarginLoss marginLoss(const SheetPlan& plan, const PrintableArea& area);

// The question put to the user when something would be lost (its answers: Stampa così, Riduci
// al N %, Annulla).
QString marginLossQuestion(const MarginLoss& loss, const PrintableArea& area);
// What would be lost and why, as a clause that follows "Attenzione: " or opens the question.
QString marginLossText(const MarginLoss& loss, const PrintableArea& area);
// What is said when the sheet is printed reduced.
QString reducedSheetNotice(const MarginLoss& loss);

}  // namespace quarzello
