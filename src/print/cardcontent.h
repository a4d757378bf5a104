// The card's lines: the personal-data fields composed into the slots of Dati, and the size,
// weight, slant and alignment each slot prints with.
#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

#include "core/cardrecord.h"

namespace quarzello {

class PrintSurface;

// The card's line buffer: slot l holds line l of the card, or nothing.
using DatiBuffer = std::array<QString, kDatiSize>;

// The last slot of Dati that holds a card line.
inline constexpr int kLastCardSlot = 10;
// A name line wider than this (mm, in Times new roman 12 points) is split over two lines.
inline constexpr float kNameSplitWidth = 40.0f;

struct CardContent {
    int F = 1;  // first slot of the card: 0 when the name is split over two lines, else 1
    int n = 1;  // lines on the card (at least 1), which sets the line spacing
};

struct SlotStyle {
    float size = 0;  // points
    bool bold = false;
    bool italic = false;
    qint16 alignment = 0;  // an Alignment
};

// Empties all of Dati and fills slots 0 to 10 with the card's lines. Measures the name line on
// the surface, so it sets the surface's font to Times new roman, 12 points, regular, upright
// first: the same record always gives the same card.
CardContent composeCard(PrintSurface& surface, const CardRecord& record, DatiBuffer& Dati);

// How slot `slot` prints on a sheet of `rows` rows of cards.
SlotStyle slotStyle(int slot, int rows);

}  // namespace quarzello
