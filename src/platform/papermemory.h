// The paper chosen in the window, remembered between runs in the user's settings file (under
// [carta]): its name and grid, so that the window shows it without reading the catalogue.
#pragma once

#include <QString>

#include "core/result.h"

namespace quarzello {

struct PaperChoice {
    QString name;  // the product ("Avery C32011-10"); empty: A4 da tagliare
    int columns = 0, rows = 0;
};

// The remembered choice; A4 da tagliare when none, or when what the file holds is not one.
PaperChoice rememberedPaper();
// Remembers the choice; fails, saying why, when it could not be kept.
Result<void> rememberPaper(const PaperChoice& choice);

}  // namespace quarzello
