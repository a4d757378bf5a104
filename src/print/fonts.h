// The installed faces that stand in for the typeface names a card asks for ("Times new roman",
// "Arial special", ...), so that the printed card never depends on fontconfig's guesses.
#pragma once

#include <QString>

namespace quarzello {

// The installed family that prints for a requested typeface name (compared without regard to
// case); a name the table does not know is returned unchanged.
QString resolveFontFamily(const QString& requested);

// Registers the same table with QFont, so that every QFont the program makes follows it.
void installFontSubstitutions();

}  // namespace quarzello
