// The print job: one A4 sheet with the same card repeated in a grid of columns and rows,
// cut marks between the cards, and the page handed to the printer.
#pragma once

#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "core/cardrecord.h"
#include "core/result.h"
#include "print/cardcontent.h"
#include "print/stampatesto.h"

namespace quarzello {

class PrintSurface;

// Twips per millimetre, one for the width and one for the height, as the sheet has always
// converted the paper size.
inline constexpr double kTwipsPerMmWidth = 56.6857142;
inline constexpr double kTwipsPerMmHeight = 56.6868687;

// Everything the sheet's drawing needs, worked out before anything is drawn: the grid, the
// sizes (named as in sheet.cpp), the card's lines, and each line fitted to its span.
struct SheetPlan {
    int C = 0, R = 0;
    float P = 0, Q = 0, W = 0, H = 0, S = 0, m = 0;
    CardContent content;
    DatiBuffer Dati;
    // fitted[k][slot]: the line of that slot as a card of column k prints it.
    std::vector<std::array<FittedLine, kLastCardSlot + 1>> fitted;
};

// Sets the page up on the surface, reads the grid (a grid that cannot print is refused before
// anything else), composes the card and fits every line to its span, measuring on the surface.
Result<SheetPlan> planSheet(PrintSurface& surface, const CardRecord& record);

// The lines of the card that will print shorter than their text, as they will print, in order
// (one entry for each distinct shortened form). A name split over two lines is no shortening.
QStringList shortenedLines(const SheetPlan& plan);

// Where one card's cut marks and lines land on the sheet at 100 %, rows counted from the top and
// columns from the left, as drawSheet draws them.
struct CardMark {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
struct CardLine {
    int slot = 0;       // the line's slot of Dati
    int ordinal = 0;    // 1 for the card's first line
    bool last = false;  // the card's last line
    FittedLine fitted;  // empty text: nothing of it fits, nothing is printed
    LineBox box;
};
struct PlacedCard {
    std::array<CardMark, 2> marks;
    std::vector<CardLine> lines;
};
PlacedCard placedCard(const SheetPlan& plan, int row, int column);

// Draws the planned sheet, card by card, on the surface it was planned on, without ending the
// page: several sheets make one document this way, each ended by endPage. Scaled as drawSheet
// is; a failure on the way abandons the document.
Result<void> drawPage(PrintSurface& surface, const SheetPlan& plan, double scale = 1.0);

// Draws the planned sheet, card by card, on the surface it was planned on, and hands the page
// over. With a scale other than 1 the whole sheet is drawn scaled about the page's centre (the
// lines' type too), so the cards keep their places relative to each other and their cut marks.
// processEvents, when given, runs before the page is handed over. A failure on the way abandons
// the page.
Result<void> drawSheet(PrintSurface& surface, const SheetPlan& plan, double scale = 1.0,
                       const std::function<void()>& processEvents = {});

// Prints the sheet for the record on the surface: planSheet, then drawSheet. processEvents, when
// given, runs at the start and once more before the page is handed over. Nothing is drawn when the
// grid is refused; a failure on the way abandons the page.
Result<void> StampaBiglietti(PrintSurface& surface, const CardRecord& record,
                             const std::function<void()>& processEvents = {});

}  // namespace quarzello
