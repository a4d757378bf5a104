// The print job: one A4 sheet with the same card repeated in a grid of columns and rows,
// cut marks between the cards, and the page handed to the printer.
#pragma once

#include <functional>

#include "core/cardrecord.h"
#include "core/result.h"

namespace quarzello {

class PrintSurface;

// Twips per millimetre, one for the width and one for the height, as the sheet has always
// converted the paper size.
inline constexpr double kTwipsPerMmWidth = 56.6857142;
inline constexpr double kTwipsPerMmHeight = 56.6868687;

// Prints the sheet for the record on the surface. processEvents, when given, runs at the start
// and once more before the page is handed over. Nothing is drawn when the grid is refused; a
// failure on the way abandons the page.
Result<void> StampaBiglietti(PrintSurface& surface, const CardRecord& record,
                             const std::function<void()>& processEvents = {});

}  // namespace quarzello
