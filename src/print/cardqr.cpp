// The code's place on a card. The cut marks reach 1 mm into a card at its corners and along its
// foot, so the quiet zone keeps that far from the card's top and bottom.
#include "print/cardqr.h"

#include <algorithm>

namespace quarzello {

namespace {

constexpr float kMarkReachMm = 1.0f;

}  // namespace

std::optional<PlacedQr> placeCardQr(const CardArea& card,
                                    const std::shared_ptr<const QrMatrix>& matrix) {
    if (!matrix || matrix->size <= 0) return std::nullopt;
    PlacedQr placed;
    placed.qr.matrix = matrix;
    const double quiet = double(kQrModuleMm) * kQrQuietModules;
    const double side = double(placed.qr.side()) + 2 * quiet;
    if (side > double(card.height) - 2 * double(kMarkReachMm)) return std::nullopt;
    // The span's start is where the card's ink may begin, never left of the card itself.
    const double left = std::max(double(card.daOrizz), double(card.x));
    const double spanStart = left + side + double(kQrGapMm);
    if (double(card.aOrizz) - spanStart < double(kQrLeastSpanMm)) return std::nullopt;
    placed.qr.x = static_cast<float>(left + quiet);
    placed.qr.y = static_cast<float>(double(card.y) + (double(card.height) - side) / 2 + quiet);
    placed.daOrizz = static_cast<float>(spanStart);
    return placed;
}

}  // namespace quarzello
