// The typing rules of the personal-data boxes.
#include "window/inputrules.h"

#include "core/cardrecord.h"

namespace quarzello {

bool txtCampo_KeyPress(int index, QChar c, const QString& current) {
    switch (index) {
        case Postcode:
        case Landline:
        case Mobile:
            if (c.unicode() < 32) return true;
            if (!QStringLiteral("+0123456789").contains(c)) return false;
            // A leading "+" only, and only for the telephone numbers: the whole text decides,
            // not where the caret stands.
            if (c == u'+') return index != Postcode && current.isEmpty();
            return true;
        case Email:
        case Website:
            // Printing splits these fields at ";": one typed separator is all that makes sense.
            return !(c == u';' && current.contains(u';'));
        default:
            return true;
    }
}

}  // namespace quarzello
