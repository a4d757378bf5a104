// Writing a command's output: a file replaced all at once, or a device or a pipe written into.
#include "data/outputfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "data/cardfile.h"

namespace quarzello {

namespace {

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("Il file %1 non può essere scritto: %2").arg(path, why);
}

// The end of a sentence saying why a write into a device or a pipe failed.
QString notWritten(int error) {
    QString why;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            why = QStringLiteral("il disco è pieno.");
            break;
        case ENXIO:
            why = QStringLiteral("nessun programma lo sta leggendo.");
            break;
        case EPIPE:
            why = QStringLiteral("il programma che lo leggeva si è chiuso.");
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            why = QStringLiteral("mancano i permessi per scriverlo.");
            break;
        default:
            why = QStringLiteral("il sistema ha rifiutato la scrittura.");
    }
    return QStringLiteral(" non può essere scritto: ") + why;
}

}  // namespace

Result<void> writeIntoStream(int descriptor, const QString& subject, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return Failure{subject + notWritten(errno)};
        data += written;
        left -= written;
    }
    return {};
}

Result<void> writeOutputFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::stat(name.constData(), &status) != 0 || S_ISREG(status.st_mode) ||
        S_ISDIR(status.st_mode))
        return writeFileAtomically(path, bytes);
    const QString subject = QStringLiteral("Il file %1").arg(path);
    if (!S_ISCHR(status.st_mode) && !S_ISFIFO(status.st_mode))
        return Failure{cannotWrite(path, QStringLiteral("è un file speciale del sistema."))};
    // Not blocking at opening: a pipe that nobody reads answers ENXIO at once instead of
    // waiting for a reader that may never come.
    const int descriptor = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return Failure{subject + notWritten(errno)};
    Result<void> written;
    struct stat opened;
    if (::fstat(descriptor, &opened) != 0 || !(S_ISCHR(opened.st_mode) || S_ISFIFO(opened.st_mode)))
        written = Failure{subject + notWritten(EINVAL)};
    else if (::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0)
        written = Failure{subject + notWritten(errno)};
    else
        written = writeIntoStream(descriptor, subject, bytes);
    if (::close(descriptor) != 0 && written && errno != EINTR)
        written = Failure{subject + notWritten(errno)};
    return written;
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

}  // namespace quarzello
