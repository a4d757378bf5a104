// The grid choice as the user typed it: the rows and columns texts read as whole numbers, and
// the grids that cannot print refused with a message that quotes the text.
#pragma once

#include <QString>
#include <optional>

#include "core/result.h"

namespace quarzello {

// The grids that print: more rows shrink the small lines to nothing, more columns make cards
// narrower than 10 mm.
inline constexpr int kMaxRows = 19;
inline constexpr int kMaxColumns = 21;

struct Grid {
    int columns = 0;
    int rows = 0;
};

// The number at the start of a grid text, rounded to a whole number with halves to even; 0 when
// the text does not begin with a number; nothing when the number is beyond 16 bits.
std::optional<int> readGridNumber(const QString& text);

// Reads the grid choice; a grid that cannot print is refused, naming the list, quoting its text
// and giving the accepted range (both lists when both are wrong).
Result<Grid> readGrid(const QString& rows, const QString& columns);

}  // namespace quarzello
