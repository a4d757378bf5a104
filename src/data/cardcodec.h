// The card data file's 13 lines (the eleven fields, rows, columns), each ended by CR LF, in
// Windows-1252: bytes to lines to a record and back, with no file in sight.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/cardrecord.h"

namespace quarzello {

// The lines the program writes: the eleven fields, rows, columns.
inline constexpr int kCardFileLines = kFieldCount + 2;

// The 13 lines of the record, CR LF each. A character the code page cannot hold is stored as
// "?", and a line break or a NUL inside a value as a space, so that the file always keeps its
// 13 lines and can be read again.
QByteArray encodeCardFile(const CardRecord& record);

// Cuts bytes into lines: a line ends at CR LF, at a lone CR or at a lone LF; the last line
// counts also without an ending; an empty input has no lines. At most maxLines (all when < 0).
QList<QByteArray> splitCardLines(const QByteArray& bytes, qsizetype maxLines = -1);
// The lines again, every one ended by CR LF.
QByteArray joinCardLines(const QList<QByteArray>& lines);
QStringList decodeCardLines(const QList<QByteArray>& lines);
// The first kDatiSize lines of a card data file's bytes, decoded.
QStringList cardLinesOf(const QByteArray& bytes);

// The record that the lines describe. A short file empties the fields it does not reach and
// leaves the rows and columns it does not reach as they are in current. Values are kept whole,
// also when longer than their box takes.
CardRecord recordFromLines(const QStringList& lines, const CardRecord& current);

}  // namespace quarzello
