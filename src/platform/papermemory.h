// The paper chosen in the window, as the settings store keeps it (under [carta]): its name and
// grid, so that the window shows it without reading the catalogue.
#pragma once

#include <QString>

namespace quarzello {

struct PaperChoice {
    QString name;  // the product ("Avery C32011-10"); empty: A4 da tagliare
    int columns = 0, rows = 0;
};

// The largest grid a remembered product may have, either way.
inline constexpr int kMaxRememberedGrid = 1000;

}  // namespace quarzello
