// The card data file: 13 lines (the eleven fields, rows, columns), each ended by CR LF, in
// Windows-1252. Reading, writing and copying, as plain functions on paths and bytes; a failure
// comes back as a sentence that names the file (core/result.h).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/cardrecord.h"
#include "core/result.h"

namespace quarzello {

// Nothing the program writes comes near this; anything bigger is not a card data file, and
// refusing it keeps a stray video or disk image from being read into the window.
inline constexpr qint64 kMaxCardFileSize = 64 * 1024;
// The lines the program writes: the eleven fields, rows, columns.
inline constexpr int kCardFileLines = kFieldCount + 2;

// The 13 lines of the record, CR LF each. A character the code page cannot hold is stored as
// "?", and a line break inside a value as a space, so that the file always keeps its 13 lines.
QByteArray encodeCardFile(const CardRecord& record);

// Cuts bytes into lines: a line ends at CR LF, at a lone CR or at a lone LF; the last line
// counts also without an ending; an empty input has no lines. At most maxLines (all when < 0).
QList<QByteArray> splitCardLines(const QByteArray& bytes, qsizetype maxLines = -1);
// The lines again, every one ended by CR LF.
QByteArray joinCardLines(const QList<QByteArray>& lines);
QStringList decodeCardLines(const QList<QByteArray>& lines);

// The whole content of a card data file. Refuses a missing file, a folder, anything that is
// not a plain file, a file over kMaxCardFileSize, a file that cannot be read.
Result<QByteArray> readCardFileBytes(const QString& path);
// The first kDatiSize lines of a card data file, decoded; refuses what readCardFileBytes refuses.
Result<QStringList> readCardLines(const QString& path);
// The same lines, from the file's bytes.
QStringList cardLinesOf(const QByteArray& bytes);

// The record that the lines describe. A short file empties the fields it does not reach and
// leaves the rows and columns it does not reach as they are in current. Values are kept whole,
// also when longer than their box takes.
CardRecord recordFromLines(const QStringList& lines, const CardRecord& current);

// Replaces the file with bytes all at once: on any failure the earlier file stays as it was.
Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes);
// Creates the folder that is to hold the file, and the folders above it, when missing. The
// failure names the file and the folder, and says why where the system tells.
Result<void> createFolderFor(const QString& path);
// Writes the record (encodeCardFile) atomically; gives the bytes written.
Result<QByteArray> writeCardFile(const QString& path, const CardRecord& record);
// The file's lines as a copy holds them, every one ended by CR LF; refuses what
// readCardFileBytes refuses, and a copy that would grow past kMaxCardFileSize.
Result<QByteArray> readCardFileForCopy(const QString& path);

// True when both paths lead to one existing file (through links, "..", another spelling).
bool isSameFile(const QString& a, const QString& b);

}  // namespace quarzello
