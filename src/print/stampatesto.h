// One line of text placed in a horizontal span: trimmed, shortened from its end until it fits,
// aligned, with the bottom of its line box on a given height.
#pragma once

#include <QString>
#include <QtGlobal>

#include "core/result.h"

namespace quarzello {

class PrintSurface;

// Values of StampaTesto's Allineato.
enum Alignment : qint16 {
    AlignedLeft = 0,
    Centred = 1,
    AlignedRight = 2,
};

// The text without its leading and trailing space characters (other white space stays).
QString trimSpaces(const QString& text);

// Prints Txt on the surface between daOrizz and aOrizz (mm), the bottom of its line box at
// RigaStampaVerticale, in the surface's current typeface with the given weight, slant and size
// (points). A line that cannot be fitted or placed is skipped silently; it fails only when the
// surface refused to draw the line.
Result<void> StampaTesto(PrintSurface& surface, const QString& Txt, float RigaStampaVerticale,
                         float daOrizz, float aOrizz, bool Grassetto, bool Corsivo, float Size,
                         qint16 Allineato);

}  // namespace quarzello
