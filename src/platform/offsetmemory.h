// A printer's offset remembered per printer in the user's settings file (under [spostamento],
// keyed as the margins answers are), and the offset as the user writes it: "1,5;-0,8".
#pragma once

#include <QString>
#include <optional>

#include "core/printeroffset.h"
#include "core/result.h"

namespace quarzello {

// Millimetres across and down separated by a semicolon, each with a decimal comma or point,
// within ±10 mm and in tenths; nothing when the text is not such an offset.
std::optional<PrinterOffset> readOffset(const QString& text);
// The offset as readOffset reads it back, with decimal commas.
QString offsetText(const PrinterOffset& offset);

struct RememberedOffset {
    PrinterOffset offset;  // none remembered, or one that is not an offset: zero
    QString warning;       // why what the settings file holds was ignored; empty when fine
};

RememberedOffset rememberedOffset(const QString& printer);
// Remembers the offset for the printer (a zero one is forgotten); fails, saying why.
Result<void> rememberOffset(const QString& printer, const PrinterOffset& offset);

}  // namespace quarzello
