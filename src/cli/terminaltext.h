// Text for a terminal: what comes from a file, a field or an argument shown so that it cannot
// steer the terminal, and the program's messages written to standard error and output.
#pragma once

#include <QByteArrayList>
#include <QString>
#include <cstdio>
#include <optional>

#include "core/result.h"

namespace quarzello {

// The text as a terminal may show it: every control character (C0, DEL, C1) as \xHH, so that
// nothing from a file, a field or an argument can move the cursor, retitle the window or clear
// the screen. A CR, alone or before an LF, is the program's own line break, and becomes one.
QString terminalText(const QString& text);
// The first argument (the program's name left out) that is not valid UTF-8, its bytes shown
// as terminalText shows them and every byte outside UTF-8 as \xHH; nothing when all are.
std::optional<QString> argumentNotUtf8(const QByteArrayList& arguments);

// The message on the stream (standard error), after "quarzello: " as every message of the
// program's there, as terminalText shows it, and a line break.
void say(FILE* stream, const QString& text);
// The text on standard output, written at once and checked: a list or a help that did not reach
// it is a failure (a full disk, a reader gone).
Result<void> sayOut(const QString& text);

}  // namespace quarzello
