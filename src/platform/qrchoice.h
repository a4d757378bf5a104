// Whether the cards carry a QR code, remembered between runs in the user's settings file (the
// margins answers' file, under [biglietti]), never in the card data file.
#pragma once

#include "core/result.h"

namespace quarzello {

// What the user chose last; off when nothing was kept.
bool recalledQrChoice();
// Keeps the choice; fails, saying why, when the settings file cannot be written.
Result<void> rememberQrChoice(bool on);

}  // namespace quarzello
