// The command line: a sheet, several card files' sheets or a member list's, into a PDF file or
// onto a printer, or the list of printers, with no window. Its messages are the window's, on
// standard error.
#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>

#include "flows/datalocation.h"
#include "flows/printflow.h"

namespace quarzello {

// The exit statuses, as --help and the manual page list them.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // the work failed: a file, the grid, a printer, a job
inline constexpr int kExitWrongCommandLine = 2;
// Handed over, not printed yet: in the queue, waiting for the printer, or held.
inline constexpr int kExitNotPrintedYet = 3;
// Handed over, then the service fell silent: it may print, so do not simply try again.
inline constexpr int kExitMayPrint = 4;

// What the arguments ask for, read without doing any of it.
struct CommandLine {
    enum class Action { Wrong, Help, Version, Pdf, Print, ListPrinters };
    Action action = Action::Wrong;
    QString wrong;          // Wrong: why, as one sentence
    QStringList dataFiles;  // as given, one page each; none for the default data file
    QString memberList;     // the member list (CSV), one page per member; empty when none
    QString pdfFile;        // Pdf: as given; "-" for standard output
    QString printer;        // Print
    bool evenIfStopped = false;
    bool reduce = false;          // Print: reduced when the printer's margins would cut the sheet
    std::optional<QString> rows;  // in place of the file's
    std::optional<QString> columns;  // in place of the file's
};

// Reads the arguments (the program's name first, Qt's own options already taken out).
CommandLine parseCommandLine(const QStringList& arguments);
// What --help shows: the options, then the exit statuses.
QString commandLineHelp();

// The text as a terminal may show it: every control character (C0, DEL, C1) as \xHH, so that
// nothing from a file, a field or an argument can move the cursor, retitle the window or clear
// the screen. A CR, alone or before an LF, is the program's own line break, and becomes one.
QString terminalText(const QString& text);
// The first argument (the program's name left out) that is not valid UTF-8, its bytes shown
// as terminalText shows them and every byte outside UTF-8 as \xHH; nothing when all are.
std::optional<QString> argumentNotUtf8(const QByteArrayList& arguments);

// True when the arguments ask for the command line's work (or its help or version) rather than
// the window; decided before Qt starts, so that no display is needed for it.
bool wantsCommandLine(int argc, char* argv[]);

// Does what the arguments (Qt's own already taken out) ask. rawArguments: the same as the
// system gave them, before any decoding. startedIn: the folder the program was started from,
// against which relative paths are read; location: where the default data file is; timings:
// how long the print service is waited on. Returns the exit status.
int runCommandLine(const QStringList& arguments, const QByteArrayList& rawArguments,
                   const QString& startedIn, const DataLocation& location,
                   const ServiceTimings& timings = {});

}  // namespace quarzello
