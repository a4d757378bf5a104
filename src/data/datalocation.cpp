// The default data file's place. A program installed where its user cannot write (a package
// under /usr) keeps the data in the user's own folder; anywhere else it keeps them beside
// itself, and a data file already there always wins.
#include "data/datalocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

namespace quarzello {

namespace {

// Anything under that name, looked at without following links. An entry that cannot be
// looked at (no permission to search the folder, say) is taken as there: it is then reported
// when read, instead of the user's data silently moving elsewhere.
bool entryPresent(const QString& path) {
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0) return true;
    return errno != ENOENT && errno != ENOTDIR;
}

bool userCanWriteIn(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// $XDG_DATA_HOME/quarzello. A relative XDG_DATA_HOME is to be ignored, as the XDG Base
// Directory rules say, and Qt takes it as it stands: read against the current folder, it
// would put the user's data inside the program's folder.
QString userDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isRelativePath(base) || !folder.startsWith(base)) return folder;
    return QDir::homePath() + QStringLiteral("/.local/share") + folder.mid(base.size());
}

}  // namespace

DataLocation besideProgram(const QString& programFolder) {
    return {QDir(programFolder).filePath(kDefaultFileName), programFolder, false};
}

DataLocation inUserDataFolder() {
    const QString dataFolder = userDataFolder();
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir()) documents = QDir::homePath();
    return {QDir(dataFolder).filePath(kDefaultFileName), documents, true};
}

ProgramFolder findProgramFolder() {
    // The kernel's own link to the running program holds its name byte for byte.
    QByteArray exe(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink("/proc/self/exe", exe.data(), size_t(exe.size()));
    if (length <= 0 || length >= exe.size()) return {QCoreApplication::applicationDirPath(), {}};
    exe.truncate(length);
    const QByteArray folder = exe.left(exe.lastIndexOf('/'));
    const QString path = QFile::decodeName(folder);
    if (QFile::encodeName(path) != folder) return {QString(), folder};
    return {path, folder};
}

DataLocation forUnnamedProgramFolder(const ProgramFolder& folder) {
    DataLocation location = inUserDataFolder();
    location.notice = QStringLiteral(
                          "Il nome della cartella del programma (%1) contiene caratteri che il "
                          "sistema non sa rappresentare: i dati personali sono conservati nel file "
                          "%2.")
                          .arg(QString::fromLatin1(folder.bytes), location.dataFile);
    return location;
}

DataLocation decideDataLocation(const QString& programFolder) {
    const DataLocation beside = besideProgram(programFolder);
    if (entryPresent(beside.dataFile) || userCanWriteIn(programFolder)) return beside;
    return inUserDataFolder();
}

}  // namespace quarzello
