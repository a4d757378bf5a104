// Reading, writing and copying card data files. Every file is read whole (it is small) and
// every file is written through QSaveFile, so a failure never leaves half a file behind; only
// a device or a pipe, which cannot be replaced, is written into as it goes.
#include "data/cardfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>

namespace quarzello {

namespace {

QString cannotRead(const QString& path, const QString& why) {
    return QStringLiteral("Il file %1 non può essere letto: %2").arg(path, why);
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("Il file %1 non può essere scritto: %2").arg(path, why);
}

const QString kCardFileKind = QStringLiteral("un file di dati dei biglietti");

// Why the system cannot reach the path (an errno), following links; 0 when it can.
int reachError(const QString& path) {
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) return 0;
    return errno;
}

// What keeps a path that does not exist from being reached, when it is more than its absence.
QString unreachableBecause(const QString& path) {
    switch (reachError(path)) {
        case ELOOP:
            return QStringLiteral("un collegamento lungo il percorso rimanda a se stesso.");
        case ENAMETOOLONG:
            return QStringLiteral("il percorso è troppo lungo per il sistema.");
        case EACCES:
            return QStringLiteral("mancano i permessi per raggiungerlo.");
        default:
            return QString();
    }
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
    const QFileInfo file(path);
    if (file.exists() && !file.isWritable())
        return cannotWrite(path, QStringLiteral("è un file di sola lettura."));
    if (!QFileInfo(folder).isWritable())
        return cannotWrite(
            path, QStringLiteral("mancano i permessi per scrivere nella cartella %1.").arg(folder));
    return cannotWrite(path, QStringLiteral("il sistema ha rifiutato la scrittura."));
}

}  // namespace

Result<QByteArray> readCardFileBytes(const QString& path) {
    Result<QByteArray> bytes = readTextFile(path, kMaxCardFileSize, kCardFileKind);
    if (bytes && bytes->contains('\0'))
        return Failure{
            QStringLiteral("Il file %1 non è %2: contiene dati binari.").arg(path, kCardFileKind)};
    return bytes;
}

Result<QByteArray> readTextFile(const QString& path, qint64 maxSize, const QString& kind) {
    const auto notACardFile = [&kind](const QString& file, const QString& why) {
        return QStringLiteral("Il file %1 non è %2: %3").arg(file, kind, why);
    };
    const auto tooBig = [&](const QString& file) {
        return notACardFile(file, QStringLiteral("è troppo grande."));
    };
    if (path.isEmpty()) {
        return Failure{QStringLiteral("Non è stato indicato nessun file da leggere.")};
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        if (const QString why = unreachableBecause(path); !why.isEmpty())
            return Failure{cannotRead(path, why)};
        return Failure{QStringLiteral("Il file %1 non esiste.").arg(path)};
    }
    if (info.isDir()) {
        return Failure{notACardFile(path, QStringLiteral("è una cartella."))};
    }
    // Devices and pipes could be endless or block forever.
    if (!info.isFile()) {
        return Failure{notACardFile(path, QStringLiteral("è un file speciale del sistema."))};
    }
    if (info.size() > maxSize) {
        return Failure{tooBig(path)};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Failure{
            info.isReadable()
                ? cannotRead(path, QStringLiteral("il sistema non ne permette l'apertura."))
                : cannotRead(path, QStringLiteral("mancano i permessi per leggerlo."))};
    }
    // One byte more than allowed tells a file that grew since it was measured.
    QByteArray bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError) {
        return Failure{
            cannotRead(path, QStringLiteral("la lettura si è interrotta per un errore."))};
    }
    if (bytes.size() > maxSize) {
        return Failure{tooBig(path)};
    }
    return bytes;
}

Result<QStringList> readCardLines(const QString& path) {
    const Result<QByteArray> bytes = readCardFileBytes(path);
    if (!bytes) return bytes.failure();
    return cardLinesOf(*bytes);
}

Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) {
        return Failure{QStringLiteral("Non è stato indicato nessun file da scrivere.")};
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        return Failure{cannotWrite(path, QStringLiteral("al suo posto c'è una cartella."))};
    }
    const QFileInfo folder(info.absolutePath());
    // A folder on the way that cannot be entered is told below, naming that folder.
    if (const int error = reachError(path); error == ELOOP || error == ENAMETOOLONG)
        return Failure{cannotWrite(path, unreachableBecause(path))};
    if (!folder.exists()) {
        if (const QString why = unreachableBecause(folder.absoluteFilePath()); !why.isEmpty())
            return Failure{cannotWrite(path, why)};
        return Failure{cannotWrite(
            path, QStringLiteral("la cartella %1 non esiste.").arg(folder.absoluteFilePath()))};
    }
    if (!folder.isDir()) {
        return Failure{cannotWrite(
            path, QStringLiteral("%1 non è una cartella.").arg(folder.absoluteFilePath()))};
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Failure{whyWriteFailed(path, bytes.size(), file.error(), true)};
    }
    // flush() on its own, because a failure inside commit()'s own flush can go unnoticed; an
    // uncommitted QSaveFile removes its temporary file and leaves the real one alone.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = whyWriteFailed(path, bytes.size(), file.error(), false);
        file.cancelWriting();
        return Failure{why};
    }
    if (!file.commit()) {
        return Failure{whyWriteFailed(path, bytes.size(), file.error(), false)};
    }
    return {};
}

Result<void> createFolderFor(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (!error) return {};

    QString why;
    if (error == std::errc::no_space_on_device) {
        why = QStringLiteral(" perché il disco è pieno");
    } else if (error == std::errc::permission_denied || error == std::errc::read_only_file_system ||
               error == std::errc::operation_not_permitted) {
        why = QStringLiteral(" perché mancano i permessi");
    } else if (error == std::errc::not_a_directory || error == std::errc::file_exists) {
        // Something else in the way, at the folder's place or above it: name it.
        QFileInfo blocking(folder);
        while (!blocking.exists() && !blocking.isSymLink() && !blocking.isRoot())
            blocking.setFile(blocking.absolutePath());
        why = QStringLiteral(" perché %1 non è una cartella").arg(blocking.absoluteFilePath());
    }
    return Failure{cannotWrite(
        path, QStringLiteral("la cartella %1 non può essere creata%2.").arg(folder, why))};
}

Result<QByteArray> writeCardFile(const QString& path, const CardRecord& record) {
    const QByteArray bytes = encodeCardFile(record);
    if (bytes.size() > kMaxCardFileSize) {
        // It could never be read back.
        return Failure{cannotWrite(path, QStringLiteral("i dati sono troppi per un file di dati "
                                                        "dei biglietti (più di 64 KiB)."))};
    }
    if (const Result<void> written = writeFileAtomically(path, bytes); !written)
        return written.failure();
    return bytes;
}

Result<QByteArray> readCardFileForCopy(const QString& path) {
    const Result<QByteArray> source = readCardFileBytes(path);
    if (!source) return source.failure();
    QByteArray copy = joinCardLines(splitCardLines(*source));
    // Lone line ends grow into CR LF; a copy that could not be read back is not made.
    if (copy.size() > kMaxCardFileSize) {
        return Failure{
            QStringLiteral("Il file %1 non è %2: è troppo grande.").arg(path, kCardFileKind)};
    }
    return copy;
}

}  // namespace quarzello
