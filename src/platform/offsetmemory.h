// A printer's offset as the user writes it, "1,5;-0,8" or "1,5 -0,8", and as the settings store
// keeps it (under [spostamento], keyed as the margins answers are).
#pragma once

#include <QString>
#include <optional>

#include "core/printeroffset.h"

namespace quarzello {

// Millimetres across and down separated by a semicolon or by spaces, each with a decimal comma or
// point, within ±10 mm and in tenths; nothing when the text is not such an offset.
std::optional<PrinterOffset> readOffset(const QString& text);
// The offset as readOffset reads it back, with decimal commas.
QString offsetText(const PrinterOffset& offset);

struct RememberedOffset {
    PrinterOffset offset;  // none remembered, or one that is not an offset: zero
    QString warning;       // why what the settings file holds was ignored; empty when fine
};

}  // namespace quarzello
