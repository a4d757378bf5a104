// Where a card's QR code goes: at the left of the card's text span, centred in its height, with
// its quiet zone, and how much of the span that leaves to the lines.
#pragma once

#include <memory>
#include <optional>

#include "print/qrcode.h"

namespace quarzello {

// Every module at least this wide: what a phone reads at a hand's distance.
inline constexpr float kQrModuleMm = 0.4f;
// The quiet zone on every side, in modules: nothing is printed there.
inline constexpr int kQrQuietModules = 4;
// From the quiet zone to the text span, and the least span the lines keep beside a code.
inline constexpr float kQrGapMm = 2.0f;
inline constexpr float kQrLeastSpanMm = 20.0f;

// A card's code as planned: the top-left corner of its first module and the module's side, in
// millimetres from the paper's top-left corner.
struct CardQr {
    float x = 0, y = 0, module = kQrModuleMm;
    std::shared_ptr<const QrMatrix> matrix;
    float side() const { return module * float(matrix ? matrix->size : 0); }
    // The code with its quiet zone.
    float quietLeft() const { return x - module * kQrQuietModules; }
    float quietTop() const { return y - module * kQrQuietModules; }
    float quietSide() const { return side() + 2 * module * kQrQuietModules; }
};

// A card's rectangle and text span, as the sheet planned them.
struct CardArea {
    float x = 0, y = 0, width = 0, height = 0;
    float daOrizz = 0, aOrizz = 0;
};

// The code placed on the card, and the text span's new start, 2 mm after the quiet zone.
struct PlacedQr {
    CardQr qr;
    float daOrizz = 0;
};

// Places the code on the card; nothing when it does not fit: the quiet zone outside the card
// or over its cut marks, or less than kQrLeastSpanMm of span left.
std::optional<PlacedQr> placeCardQr(const CardArea& card,
                                    const std::shared_ptr<const QrMatrix>& matrix);

}  // namespace quarzello
