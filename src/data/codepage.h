// The 8-bit code page of card data files: Windows-1252, so that files written on Windows
// systems and files written here are the same bytes.
#pragma once

#include <QByteArray>
#include <QString>

namespace quarzello::codepage {

// Bytes of the text in Windows-1252. ok (when given) is false if some character could not be held.
QByteArray encode(const QString& text, bool* ok = nullptr);
QString decode(const QByteArray& bytes);
// True when every character of the text has a place in Windows-1252.
bool canHold(const QString& text);
// Like encode, but every character that has no place in the code page becomes one replacement
// byte, as Windows does when it writes such text to an 8-bit file.
QByteArray encodeReplacing(const QString& text, char replacement = '?');

}  // namespace quarzello::codepage
