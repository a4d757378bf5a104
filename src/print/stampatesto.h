// One line of text placed in a horizontal span: trimmed, shortened from its end until it fits,
// aligned, with the bottom of its line box on a given height.
#pragma once

#include <QString>
#include <QtGlobal>

class PrintSurface;

// Values of StampaTesto's Allineato.
enum Allineamento : qint16 {
    AllineaSinistra = 0,
    AllineaCentro = 1,
    AllineaDestra = 2,
};

// The text without its leading and trailing space characters (other white space stays).
QString trimSpaces(const QString& text);

// Prints Txt on the surface between daOrizz and aOrizz (mm), the bottom of its line box at
// RigaStampaVerticale, in the surface's current typeface with the given weight, slant and size
// (points). A line that cannot be fitted or placed is skipped silently. Returns false only when
// the surface refused to draw the line; the surface's errorText() then says why.
bool StampaTesto(PrintSurface& surface, const QString& Txt, float RigaStampaVerticale,
                 float daOrizz, float aOrizz, bool Grassetto, bool Corsivo, float Size,
                 qint16 Allineato);
