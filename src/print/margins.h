// The printer's printable area on the A4 sheet, what of a planned sheet would fall outside it,
// and the largest reduction about the page's centre that brings all of it inside.
#pragma once

#include <QString>
#include <QStringList>

#include "core/printablearea.h"

namespace quarzello {

struct SheetPlan;

// The margins as the sheet's checks use them: a margin below zero (an area past the paper's
// edge) is none; none at all when unknown, not a number, or when the area is empty or inverted.
PrintableArea usableArea(const PrintableArea& area, double paperWidth, double paperHeight);

struct MarginLoss {
    // What would not be printed, in words a user understands, top first; empty: it all fits.
    QStringList lost;
    // The largest whole percentage at which the sheet, scaled about the page's centre, falls
    // entirely inside the printable area; 100 when nothing is lost.
    int factorPercent = 100;
    bool fits() const { return lost.isEmpty(); }
    double factor() const { return factorPercent / 100.0; }
};

// Each line's box as placed and each cut mark's end points, against the printable area.
MarginLoss marginLoss(const SheetPlan& plan, const PrintableArea& area);

// The question put to the user when something would be lost (its answers: Stampa così, Riduci
// al N %, Annulla).
QString marginLossQuestion(const MarginLoss& loss, const PrintableArea& area);
// What would be lost and why, as a clause that follows "Attenzione: " or opens the question.
QString marginLossText(const MarginLoss& loss, const PrintableArea& area);
// What is said when the sheet is printed reduced.
QString reducedSheetNotice(const MarginLoss& loss);

}  // namespace quarzello
