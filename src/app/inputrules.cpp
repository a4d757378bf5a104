#include "app/inputrules.h"

#include "app/cardrecord.h"

bool txtCampo_KeyPress(int index, QChar c, const QString& current) {
    switch (index) {
        case Cap:
        case Telefono:
        case Cellulare:
            if (c.unicode() < 32) return true;
            if (!QStringLiteral("+0123456789").contains(c)) return false;
            // A leading "+" only, and only for the telephone numbers: the whole text decides,
            // not where the caret stands.
            if (c == u'+') return index != Cap && current.isEmpty();
            return true;
        case Email:
        case Sito:
            // Printing splits these fields at ";": one typed separator is all that makes sense.
            return !(c == u';' && current.contains(u';'));
        default:
            return true;
    }
}
