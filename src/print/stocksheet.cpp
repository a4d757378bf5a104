// A product's cards. The type is sized as on a plain sheet whose rows are about as high as the
// product's cards: 292 mm of the A4 page shared by that many rows.
#include "print/stocksheet.h"

#include <algorithm>
#include <cmath>

#include "print/sheet.h"

namespace quarzello {

double stockMargin(const CardStock& stock) {
    return std::max(stock.markupMargin, kLeastStockMargin);
}

int stockTypeRows(const CardStock& stock) {
    // Halves to even, as the grid texts are rounded.
    const double rows = std::nearbyint(292.0 / stock.height);
    return std::clamp(static_cast<int>(rows), 1, 8);
}

std::vector<PlannedCard> stockCards(const CardStock& stock) {
    const double m = stockMargin(stock);
    std::vector<PlannedCard> cards;
    cards.reserve(std::size_t(stock.cardCount()));
    int firstRow = 0;
    for (const StockLayout& layout : stock.layouts) {
        for (int i = 0; i < layout.ny; ++i) {
            for (int k = 0; k < layout.nx; ++k) {
                const double x = layout.x0 + k * layout.dx;
                const double y = layout.y0 + i * layout.dy;
                PlannedCard card;
                card.row = firstRow + i;
                card.column = k;
                card.x = static_cast<float>(x);
                card.y = static_cast<float>(y);
                card.width = static_cast<float>(stock.width);
                card.height = static_cast<float>(stock.height);
                card.daOrizz = static_cast<float>(x + m);
                card.aOrizz = static_cast<float>(x + stock.width - m);
                cards.push_back(std::move(card));
            }
        }
        firstRow += layout.ny;
    }
    return cards;
}

}  // namespace quarzello
