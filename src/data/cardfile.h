// Card data files on disk (their 13 lines are data/cardcodec.h): reading, writing and copying,
// as plain functions on paths and bytes; a failure comes back as a sentence that names the file
// (core/result.h). A command's other output is data/outputfile.h.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/cardrecord.h"
#include "core/result.h"
#include "data/cardcodec.h"

namespace quarzello {

// Nothing the program writes comes near this; anything bigger is not a card data file, and
// refusing it keeps a stray video or disk image from being read into the window.
inline constexpr qint64 kMaxCardFileSize = 64 * 1024;
// The whole content of a card data file. Refuses a missing file, a folder, anything that is
// not a plain file, a file over kMaxCardFileSize, a file that cannot be read, and a file with a
// NUL byte: a card data file is text, and a picture or a program picked by mistake would
// otherwise fill the card with garbage.
Result<QByteArray> readCardFileBytes(const QString& path);
// The same checks but the NUL byte's, for another kind of file the program reads whole: at most
// maxSize bytes, and `kind` completes the refusal "Il file … non è …" ("un elenco dei soci").
Result<QByteArray> readTextFile(const QString& path, qint64 maxSize, const QString& kind);
// The first kDatiSize lines of a card data file, decoded; refuses what readCardFileBytes refuses.
Result<QStringList> readCardLines(const QString& path);

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

}  // namespace quarzello
