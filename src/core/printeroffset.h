// How far a printer prints off where it is asked to, put right: an offset in millimetres added
// to everything drawn on its pages.
#pragma once

namespace quarzello {

// The offsets a user may set, in millimetres either way, in steps of a tenth.
inline constexpr double kMaxPrinterOffsetMm = 10.0;

struct PrinterOffset {
    double across = 0;  // to the right
    double down = 0;
    bool isZero() const { return across == 0 && down == 0; }
};

}  // namespace quarzello
