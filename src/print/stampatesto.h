// One line of text placed in a horizontal span: trimmed, shortened from its end until it fits,
// aligned, with the bottom of its line box on a given height.
#pragma once

#include <QString>
#include <QtGlobal>

#include "core/result.h"

namespace quarzello {

class PrintSurface;

// How a line sits in its span.
enum Alignment : qint16 {
    AlignedLeft = 0,
    Centred = 1,
    AlignedRight = 2,
};

// The text without its leading and trailing space characters (other white space stays).
QString trimSpaces(const QString& text);

// A line fitted to its span: the text that will be printed (empty when nothing of it fits or
// there was nothing to print) and its width and line height in the font it was fitted in.
struct FittedLine {
    QString text;
    float width = 0;
    float height = 0;
};

// How wide a line may be in the span from daOrizz to aOrizz: a fitted line is narrower than
// this (the span plus 2 mm).
float fitLimit(float daOrizz, float aOrizz);

// Trims Txt, sets the weight, slant and size on the surface
// (unless nothing is left to print), and shortens the text from its end until it fits the span
// from daOrizz to aOrizz.
FittedLine fitLine(PrintSurface& surface, const QString& Txt, float daOrizz, float aOrizz,
                   bool Grassetto, bool Corsivo, float Size);

// Where a fitted line's box lands in the span by its alignment: x and y are its top-left
// corner (mm), width and height those it was fitted with.
struct LineBox {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};
LineBox placedBox(const FittedLine& line, float RigaStampaVerticale, float daOrizz, float aOrizz,
                  qint16 Allineato);

}  // namespace quarzello
