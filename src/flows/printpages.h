// The print of a run of pages, one or five thousand, into one PDF document or one print job:
// every grid read once and every page planned and checked before anything is drawn, then the
// pages drawn one after the other. The window's print is a run of one page.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/cardrecord.h"
#include "flows/printflow.h"
#include "print/gridtext.h"
#include "print/sheet.h"

namespace quarzello {

class ServiceWaiter;

// One page of a run: its record, and how messages name it ("il file /a/rossi.qcf", "la riga 4
// dell'elenco (Mario Rossi)"). The window's one sheet, and the command line's one card file, have
// no name: their shortened lines are asked about, as a question, and their failures told as they
// stand; a named page's are told with its name.
struct SheetPage {
    CardRecord record;
    QString name;
};

// The pages with their paper, worked out once (each grid read from its texts), and what the user
// chose for every page: what the print draws from.
// Which sides of each sheet a run prints, when the sheet has a back.
enum class SheetSides { Both, Front, Back };

struct PageRun {
    std::vector<SheetPage> pages;
    std::vector<SheetPaper> papers;  // papers[i] is pages[i]'s
    SheetOptions options;
    SheetSides sides = SheetSides::Both;
};

// Works out every page's paper; nothing when one cannot print (told, naming the page). Nothing is
// asked of the print service before this.
std::optional<PageRun> readPageRun(std::vector<SheetPage> pages, PrintConversation& talk,
                                   const SheetOptions& options = {});

// The failure of a named page, as the run tells it: the page, why, and that nothing came out.
QString pageRefusedText(const QString& page, const QString& why);

// The pages as one PDF document, after the question about shortened lines (or telling them);
// nothing when the user said no or a failure was told.
std::optional<QByteArray> pdfOfPages(const PageRun& run, const QString& target,
                                     const SurfaceFactory& surfaces, PrintConversation& talk);

// The pages as one job on the printer: the printer made ready; every page checked, its
// shortened lines asked about or told, what the margins would cut of all pages asked about once
// (one factor for all: the one the worst page needs), the stopped queue; then drawn, handed over
// and followed to its outcome. `finished` is called once, at the end, unless the waiter is
// destroyed first.
void printPagesOnPrinter(PageRun run, JobRequest request, SurfaceFactory surfaces,
                         ServiceWaiter& waiter, PrintConversation& talk,
                         std::function<void(PrintOutcome)> finished);

// The same, each call on the print service made where it is asked for, within `budgetMs` in
// all: for a thread of the caller's own, whose conversation carries the questions to the user.
PrintOutcome printPagesOnPrinterHere(PageRun run, JobRequest request, SurfaceFactory surfaces,
                                     qint64 budgetMs, PrintConversation& talk);

}  // namespace quarzello
