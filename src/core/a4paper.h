// The A4 sheet every page is printed on, in millimetres, and the units the surfaces convert
// from: the one place these numbers are written.
#pragma once

namespace quarzello {

inline constexpr double kA4WidthMm = 210.0;
inline constexpr double kA4HeightMm = 297.0;
// The strip left free at the foot of the plain sheet, under the last row of cards.
inline constexpr double kSheetFootMm = 5.0;
// The height of the plain sheet that its rows of cards share.
inline constexpr double kCardsHeightMm = kA4HeightMm - kSheetFootMm;

inline constexpr double kMmPerInch = 25.4;
inline constexpr double kTwipsPerInch = 1440.0;

}  // namespace quarzello
