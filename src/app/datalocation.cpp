// The default data file's place. A program installed where its user cannot write (a package
// under /usr) keeps the data in the user's own folder; anywhere else it keeps them beside
// itself, as it always has, and a data file already there always wins.
#include "app/datalocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

#include "app/cardfilecommands.h"

namespace quarzello {

namespace {

// Anything under that name, looked at without following links. An entry that cannot be
// looked at (no permission to search the folder, say) is taken as there: it is then reported
// when read, exactly as before, instead of the user's data silently moving elsewhere.
bool entryPresent(const QString& path) {
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0) return true;
    return errno != ENOENT && errno != ENOTDIR;
}

bool userCanWriteIn(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

}  // namespace

DataLocation besideProgram(const QString& programFolder) {
    return {QDir(programFolder).filePath(kDefaultFileName), programFolder, false};
}

DataLocation inUserDataFolder() {
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir()) documents = QDir::homePath();
    return {QDir(dataFolder).filePath(kDefaultFileName), documents, true};
}

DataLocation decideDataLocation(const QString& programFolder) {
    const DataLocation beside = besideProgram(programFolder);
    if (entryPresent(beside.dataFile) || userCanWriteIn(programFolder)) return beside;
    return inUserDataFolder();
}

}  // namespace quarzello
