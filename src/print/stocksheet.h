// The cards of a pre-cut product on the page: each card where the maker cut it, its text span
// inside the maker's margin, and the type sized for the card's height. No cut marks.
#pragma once

#include <vector>

#include "core/cardstock.h"

namespace quarzello {

struct PlannedCard;

// The least inner margin of a card's text span on a product, in millimetres.
inline constexpr double kLeastStockMargin = 3.0;

// The product's cards, block after block, row by row from the top and left to right, with
// their rectangles and text spans (no lines yet).
std::vector<PlannedCard> stockCards(const CardStock& stock);

// The inner margin of the text span on the product's cards.
double stockMargin(const CardStock& stock);

// The number of rows of the plain sheet whose type suits cards of the product's height.
int stockTypeRows(const CardStock& stock);

}  // namespace quarzello
