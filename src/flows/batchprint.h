// Several sheets in one run, for the command line: card files or a member list into one PDF
// document or one print job, one page per sheet. Every page is planned and checked before
// anything is drawn, and planned again as it is drawn, so that only the document grows with
// the number of pages.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "core/cardrecord.h"
#include "flows/printflow.h"

namespace quarzello {

// One page of the run: its record, and how messages name it ("il file /a/rossi.qcf",
// "la riga 4 dell'elenco (Mario Rossi)").
struct SheetPage {
    CardRecord record;
    QString name;
};

// What a run of several pages tells on its way, besides what one print does.
class BatchConversation : public PrintConversation {
  public:
    // One page's lines that will print shorter than their text: told, never asked.
    virtual void pageShortened(const QString& page, const QStringList& lines) = 0;
    // After each page is drawn, with how many there are in all.
    virtual void pageDrawn(int drawn, int pages) {
        (void)drawn;
        (void)pages;
    }
};

// The failure of one page, as the run tells it: the page, why, and that nothing came out.
QString pageRefusedText(const QString& page, const QString& why);

// The pages as one PDF document; nothing when a page is refused (told, naming it).
std::optional<QByteArray> pdfOfPages(const std::vector<SheetPage>& pages, const QString& target,
                                     const SurfaceFactory& surfaces, BatchConversation& talk);

// The pages as one job on the printer: every grid read before the service is asked anything;
// the printer made ready; every page checked, its shortened lines told, the margins' loss of all
// pages asked about once (one factor for all: the one the worst page needs); then drawn, handed
// over and followed as one print is.
void printPagesOnPrinter(std::vector<SheetPage> pages, JobRequest request, SurfaceFactory surfaces,
                         ServiceWaiter& waiter, BatchConversation& talk,
                         std::function<void(PrintOutcome)> finished);

}  // namespace quarzello
