// Where a printer can print on the paper: the print service tells it, the sheet's checks use it.
#pragma once

namespace quarzello {

// How far from each edge of the paper the printer can print, in millimetres. Unknown (the
// printer does not say) is taken as printing everywhere.
struct PrintableArea {
    bool known = false;
    double left = 0, right = 0, top = 0, bottom = 0;
};

}  // namespace quarzello
