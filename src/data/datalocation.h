// Where the default data file lives: beside the program when it can be kept there, otherwise
// in the user's own data folder. Decided once, at start-up.
#pragma once

#include <QByteArray>
#include <QString>

namespace quarzello {

// The default data file's own name, wherever it is kept.
inline const QString kDefaultFileName = QStringLiteral("Quarzo.qdf");

struct DataLocation {
    QString dataFile;      // NomeFile, the full path of the default data file
    QString dialogFolder;  // where the Save and Load dialogs open the first time in a run
    // The data file's folder may not exist yet: the first Save or Load creates it.
    bool createsFolder = false;
    // Told once at start-up, before anything else: why the data are not where the user would
    // look for them.
    QString notice = {};
};

// The default data file beside the program, as a program folder the user can write keeps it.
DataLocation besideProgram(const QString& programFolder);
// The default data file in the user's data folder ($XDG_DATA_HOME/quarzello), the dialogs
// starting in the user's Documents folder (the home folder when there is none).
DataLocation inUserDataFolder();

// The folder that holds the running program, as the system names it, and as a path the program
// can use: empty when that name cannot be written as text (bytes that are not UTF-8, from an
// old USB stick say), which no file path of the program could then reach.
struct ProgramFolder {
    QString path;
    QByteArray bytes;
};
ProgramFolder findProgramFolder();

// For a program folder the program cannot name: the user's data folder, and a notice saying so.
DataLocation forUnnamedProgramFolder(const ProgramFolder& folder);

// Beside the program when the program folder already holds an entry named Quarzo.qdf (whatever
// it is: a file, a folder, a link even broken, so that it is reported rather than passed over)
// or when the user can write in that folder; in the user's data folder otherwise. Touches
// nothing on disk.
DataLocation decideDataLocation(const QString& programFolder);

}  // namespace quarzello
