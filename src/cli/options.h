// The command line's options: the arguments read into a plain value without doing any of it,
// --help's text, and the exit statuses it lists.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

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
    enum class Action { Wrong, Help, Version, Pdf, Print, ListPrinters, ListStocks };
    Action action = Action::Wrong;
    QString wrong;          // Wrong: why, as one sentence
    QStringList dataFiles;  // as given, one page each; none for the default data file
    QString memberList;     // the member list (CSV), one page per member; empty when none
    QString pdfFile;        // Pdf: as given; "-" for standard output
    QString printer;        // Print
    bool evenIfStopped = false;
    bool reduce = false;          // Print: reduced when the printer's margins would cut the sheet
    bool qrCode = false;          // a QR code of the card's contact on every card
    std::optional<QString> rows;  // in place of the file's
    std::optional<QString> columns;  // in place of the file's
    QString stock;                   // the pre-cut product, as typed; empty: plain A4
    bool testSheet = false;          // the test sheet instead of the cards
    std::optional<QString> offset;   // Print: in place of the printer's remembered offset
    // The back of the cards: as set in the window, and what the command line sets for this run.
    bool back = false;
    QString emblem;         // as given; empty: the window's, or none
    QStringList backLines;  // in place of the window's, when given
    bool qrOnBack = false;
    // How both sides are printed; Default: the printer's remembered way, else by the printer on
    // the long edge where it can, else by hand. A PDF is laid out for the long edge unless Short.
    enum class TwoSided { Default, Long, Short, ByHand };
    TwoSided twoSided = TwoSided::Default;
    enum class Side { Both, Front, Back };
    Side side = Side::Both;  // one side only
    // Some option asks for a back.
    bool wantsBack() const { return back || !emblem.isEmpty() || !backLines.isEmpty() || qrOnBack; }
};

// Reads the arguments (the program's name first, Qt's own options already taken out).
CommandLine parseCommandLine(const QStringList& arguments);
// What --help shows: the options, then the exit statuses.
QString commandLineHelp();

// True when the arguments ask for the command line's work (or its help or version) rather than
// the window; decided before Qt starts, so that no display is needed for it.
bool wantsCommandLine(int argc, char* argv[]);

}  // namespace quarzello
