// A command's output (a PDF) written where the user said: a file, a device or a pipe; and
// whether two paths are one file, so that an output never takes the place of an input.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/result.h"

namespace quarzello {

// Writes a command's output (a PDF) into path. A regular file, or a name not yet taken, is
// replaced all at once (writeFileAtomically); a character device or a named pipe is written
// into as a stream and never replaced, and a pipe that nobody reads is refused at once rather
// than waited on; anything else special is refused.
Result<void> writeOutputFile(const QString& path, const QByteArray& bytes);
// The same bytes into a descriptor already open (standard output). subject names it in a
// failure, as the start of a sentence: "Lo standard output".
Result<void> writeIntoStream(int descriptor, const QString& subject, const QByteArray& bytes);

// True when both paths lead to one existing file (through links, "..", another spelling).
bool isSameFile(const QString& a, const QString& b);

}  // namespace quarzello
