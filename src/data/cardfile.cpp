// Reading, writing and copying card data files. Every file is read whole (it is small) and
// every file is written through QSaveFile, so a failure never leaves half a file behind.
#include "data/cardfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <filesystem>
#include <system_error>

#include "data/codepage.h"

namespace {

const QByteArray kLineEnd("\r\n");

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

QString cannotRead(const QString& path, const QString& why) {
    return QStringLiteral("Il file %1 non può essere letto: %2").arg(path, why);
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("Il file %1 non può essere scritto: %2").arg(path, why);
}

QString notACardFile(const QString& path, const QString& why) {
    return QStringLiteral("Il file %1 non è un file di dati dei biglietti: %2").arg(path, why);
}

QString tooBig(const QString& path) {
    return notACardFile(path, QStringLiteral("è troppo grande."));
}

// The reason a write failed, told from what can still be seen once it has failed. Qt reports
// a full disk as ResourceError only on writing; at opening the free space tells.
QString whyWriteFailed(const QString& path, qint64 size, QFileDevice::FileError fileError,
                       bool opening) {
    const QString folder = QFileInfo(path).absolutePath();
    const QStorageInfo storage(folder);
    const bool full = (!opening && fileError == QFileDevice::ResourceError) ||
                      (storage.isValid() && storage.bytesAvailable() < size + 1);
    if (full) return cannotWrite(path, QStringLiteral("il disco è pieno."));
    if (!QFileInfo(folder).isWritable())
        return cannotWrite(
            path, QStringLiteral("mancano i permessi per scrivere nella cartella %1.").arg(folder));
    return cannotWrite(path, QStringLiteral("il sistema ha rifiutato la scrittura."));
}

}  // namespace

QByteArray encodeCardFile(const CardRecord& record) {
    QByteArray bytes;
    auto addLine = [&bytes](QString value) {
        // A value with a line break in it would push every later value one line down.
        value.replace(QLatin1Char('\r'), QLatin1Char(' '));
        value.replace(QLatin1Char('\n'), QLatin1Char(' '));
        bytes += codepage::encodeReplacing(value);
        bytes += kLineEnd;
    };
    for (const QString& campo : record.campi) addLine(campo);
    addLine(record.righe);
    addLine(record.colonne);
    return bytes;
}

QList<QByteArray> splitCardLines(const QByteArray& bytes, qsizetype maxLines) {
    QList<QByteArray> lines;
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    while (start < size && (maxLines < 0 || lines.size() < maxLines)) {
        qsizetype end = start;
        while (end < size && bytes.at(end) != '\r' && bytes.at(end) != '\n') ++end;
        lines.append(bytes.mid(start, end - start));
        if (end < size) {
            const bool crlf = bytes.at(end) == '\r' && end + 1 < size && bytes.at(end + 1) == '\n';
            end += crlf ? 2 : 1;
        }
        start = end;
    }
    return lines;
}

QByteArray joinCardLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + kLineEnd;
    return bytes;
}

QStringList decodeCardLines(const QList<QByteArray>& lines) {
    QStringList decoded;
    decoded.reserve(lines.size());
    for (const QByteArray& line : lines) decoded.append(codepage::decode(line));
    return decoded;
}

std::optional<QByteArray> readCardFileBytes(const QString& path, QString* error) {
    if (path.isEmpty()) {
        setError(error, QStringLiteral("Non è stato indicato nessun file da leggere."));
        return std::nullopt;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        setError(error, QStringLiteral("Il file %1 non esiste.").arg(path));
        return std::nullopt;
    }
    if (info.isDir()) {
        setError(error, notACardFile(path, QStringLiteral("è una cartella.")));
        return std::nullopt;
    }
    // Devices and pipes could be endless or block forever.
    if (!info.isFile()) {
        setError(error, notACardFile(path, QStringLiteral("è un file speciale del sistema.")));
        return std::nullopt;
    }
    if (info.size() > kMaxCardFileSize) {
        setError(error, tooBig(path));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error,
                 info.isReadable()
                     ? cannotRead(path, QStringLiteral("il sistema non ne permette l'apertura."))
                     : cannotRead(path, QStringLiteral("mancano i permessi per leggerlo.")));
        return std::nullopt;
    }
    // One byte more than allowed tells a file that grew since it was measured.
    QByteArray bytes = file.read(kMaxCardFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        setError(error,
                 cannotRead(path, QStringLiteral("la lettura si è interrotta per un errore.")));
        return std::nullopt;
    }
    if (bytes.size() > kMaxCardFileSize) {
        setError(error, tooBig(path));
        return std::nullopt;
    }
    return bytes;
}

std::optional<QStringList> readCardLines(const QString& path, QString* error) {
    const std::optional<QByteArray> bytes = readCardFileBytes(path, error);
    if (!bytes) return std::nullopt;
    return decodeCardLines(splitCardLines(*bytes, kDatiSize));
}

CardRecord recordFromLines(const QStringList& lines, const CardRecord& current) {
    CardRecord record = current;
    for (int i = 0; i < kFieldCount; ++i) record.campi[i] = lines.value(i);
    if (lines.size() > kFieldCount) record.righe = lines.at(kFieldCount);
    if (lines.size() > kFieldCount + 1) record.colonne = lines.at(kFieldCount + 1);
    return record;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    if (path.isEmpty()) {
        setError(error, QStringLiteral("Non è stato indicato nessun file da scrivere."));
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        setError(error, cannotWrite(path, QStringLiteral("al suo posto c'è una cartella.")));
        return false;
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists()) {
        setError(
            error,
            cannotWrite(
                path, QStringLiteral("la cartella %1 non esiste.").arg(folder.absoluteFilePath())));
        return false;
    }
    if (!folder.isDir()) {
        setError(
            error,
            cannotWrite(path,
                        QStringLiteral("%1 non è una cartella.").arg(folder.absoluteFilePath())));
        return false;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, whyWriteFailed(path, bytes.size(), file.error(), true));
        return false;
    }
    // flush() on its own, because a failure inside commit()'s own flush can go unnoticed; an
    // uncommitted QSaveFile removes its temporary file and leaves the real one alone.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        setError(error, whyWriteFailed(path, bytes.size(), file.error(), false));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, whyWriteFailed(path, bytes.size(), file.error(), false));
        return false;
    }
    return true;
}

bool writeCardFile(const QString& path, const CardRecord& record, QString* error) {
    const QByteArray bytes = encodeCardFile(record);
    if (bytes.size() > kMaxCardFileSize) {
        // It could never be read back.
        setError(error, cannotWrite(path, QStringLiteral("i dati sono troppi per un file di dati "
                                                         "dei biglietti (più di 64 KiB).")));
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

std::optional<QByteArray> readCardFileForCopy(const QString& path, QString* error) {
    const std::optional<QByteArray> source = readCardFileBytes(path, error);
    if (!source) return std::nullopt;
    QByteArray copy = joinCardLines(splitCardLines(*source));
    // Lone line ends grow into CR LF; a copy that could not be read back is not made.
    if (copy.size() > kMaxCardFileSize) {
        setError(error, tooBig(path));
        return std::nullopt;
    }
    return copy;
}

bool copyCardLines(const QString& from, const QString& to, QString* error) {
    const std::optional<QByteArray> copy = readCardFileForCopy(from, error);
    return copy && writeFileAtomically(to, *copy, error);
}

bool isSameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (canonicalA.isEmpty()) return false;
    if (canonicalA == QFileInfo(b).canonicalFilePath()) return true;
    // Hard links have two canonical paths but one file.
    std::error_code ignored;
    return std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                       QFile::encodeName(b).toStdString(), ignored);
}
