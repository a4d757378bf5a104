// A pre-cut card stock as the label makers' catalogue describes it: every card's size, where
// the cards lie on the A4 page, and the margin the maker leaves inside each card.
#pragma once

#include <QString>
#include <algorithm>
#include <vector>

namespace quarzello {

// One block of cards on the page: nx across and ny down, the first card's top-left corner at
// (x0, y0), the next ones dx across and dy down from each other. Millimetres.
struct StockLayout {
    int nx = 1, ny = 1;
    double x0 = 0, y0 = 0, dx = 0, dy = 0;
};

struct CardStock {
    QString brand;
    QString part;
    double width = 0, height = 0;  // of one card, in millimetres
    double markupMargin = -1;      // millimetres; negative when the maker gives none
    std::vector<StockLayout> layouts;

    // "Avery C32011-10": how the user names it, on the command line too.
    QString name() const { return brand + QLatin1Char(' ') + part; }
    int cardCount() const {
        int count = 0;
        for (const StockLayout& layout : layouts) count += layout.nx * layout.ny;
        return count;
    }
    // The grid shown for it: the widest block's columns, the rows of all blocks together.
    int columns() const {
        int columns = 0;
        for (const StockLayout& layout : layouts) columns = std::max(columns, layout.nx);
        return columns;
    }
    int rows() const {
        int rows = 0;
        for (const StockLayout& layout : layouts) rows += layout.ny;
        return rows;
    }
};

}  // namespace quarzello
