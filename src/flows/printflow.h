// A print on a printer, step by step and in one order for the window and the command line: the
// printer made ready (installed, answering, taking jobs, where on A4 it prints); the document's
// own questions (shortened lines, the printer's margins); the one about a stopped printer; the
// document drawn; handed over; followed; one closing word. What a print asks and tells, and
// the texts it tells, the same in the window and on the command line.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "core/cardback.h"
#include "core/cardrecord.h"
#include "core/printeroffset.h"
#include "core/result.h"
#include "platform/marginmemory.h"
#include "platform/prompts.h"
#include "print/gridtext.h"
#include "print/margins.h"
#include "print/sheet.h"

namespace quarzello {

class PrinterSystem;
class PrintSurface;
class ServiceWaiter;

// How long a command may wait on the print service, given by the process (tests shorten them).
struct ServiceTimings {
    qint64 budgetMs = 10000;  // every wait of one command on the service, added up
    qint64 followMs = 5000;   // how long a job is followed once the service took it
};

// A new, empty document to draw pages on, for a printer or a file named `target` (which
// messages about the document name): a PDF in memory for the program, a recording surface in
// tests.
using SurfaceFactory = std::function<std::unique_ptr<PrintSurface>(const QString& target)>;
SurfaceFactory pdfDocuments();

inline const QString kPrintDoneTitle = QStringLiteral("Fine stampa");
inline const QString kPrintDoneText = QStringLiteral("Stampa conclusa");
inline const QString kPdfEntry = QStringLiteral("Salva come PDF…");

// What a print asks and tells on its way: message boxes in the window, standard error and
// options on the command line.
class PrintConversation {
  public:
    virtual ~PrintConversation() = default;
    // Some lines will print shorter than their text: print all the same?
    virtual bool printShortened(const QStringList& lines) = 0;
    // Part of the sheet would fall outside what the printer can print: print it as it is,
    // reduced by loss.factorPercent, or not at all. `remembered`: what the user chose for this
    // printer before, asking not to be asked again. The reply's `remember` keeps the choice.
    virtual MarginReply printOutsideMargins(const QString& printer, const MarginLoss& loss,
                                            const PrintableArea& area,
                                            std::optional<MarginChoice> remembered) = 0;
    // The record's QR code does not fit the cards (notFit names the grid): print without it?
    // `largest` gives the largest grid where it fits, worked out only when asked for. `page`
    // names the page in a run of several; empty for one sheet.
    virtual bool printWithoutQr(const QString& page, const QString& notFit,
                                const std::function<QString()>& largest) = 0;
    // The printer's queue is stopped: send the job all the same?
    virtual bool sendToStoppedPrinter(const QString& printer, const QString& reason) = 0;
    // In a run of several pages, one page's lines that will print shorter than their text:
    // told, never asked. Only the command line prints several pages.
    virtual void pageShortened(const QString& page, const QStringList& lines) {
        (void)page;
        (void)lines;
    }
    // After each page is drawn, with how many there are in all.
    virtual void pageDrawn(int drawn, int pages) {
        (void)drawn;
        (void)pages;
    }
    // Two-sided by hand: the fronts of `sheets` sheets printed, the user is asked to put them
    // back in the tray turned on the setting's edge; true sends the backs. No answer: no backs.
    virtual bool printBacks(const QString& printer, const DuplexSetting& duplex, int sheets) {
        (void)printer;
        (void)duplex;
        (void)sheets;
        return false;
    }
    // Just before the sheet is drawn.
    virtual void beforeDrawing() {}
    // Asked before each page is planned and drawn: true once the user gave the run up, which then
    // ends writing and sending nothing, and telling nothing more.
    virtual bool stopped() const { return false; }
    virtual void fail(const QString& text) = 0;
    // The closing word of a print that went well.
    virtual void done(const QString& text) = 0;

    // A warning kept until the print has said its own word, then told (by fail) as it ends.
    void tellAfterwards(const QString& text) { afterwards_ << text; }
    QStringList takeAfterwards() { return std::exchange(afterwards_, {}); }

  private:
    QStringList afterwards_;
};

// The texts a print tells, the same in the window and on the command line.
QString shortenedLinesQuestion(const QStringList& lines);
// The QR code does not fit the cards of the grid or product; where it fits at most (none:
// nowhere); on a product, which has no other grid, what to do instead.
QString qrDoesNotFitText(const SheetPaper& paper);
QString qrOnProductText();
QString qrLargestGridText(const std::optional<Grid>& grid);
QString stoppedPrinterText(const QString& printer, const QString& reason);
QString waitingInStoppedQueueText(const QString& printer);
QString noPrinterText(bool serviceDown);
// A document that could not be drawn, with why.
QString preparationFailedText(const QString& why);
// Two-sided: a printer that cannot print both sides by itself; the question between the fronts
// and the backs printed by hand; the backs that were not printed.
QString noTwoSidedText(const QString& printer);
QString printBacksQuestion(const QString& printer, const DuplexSetting& duplex, int sheets);
QString backsNotPrintedText(const QString& printer);
// The document the surface holds once drawing ended as `drawn` says; nothing, the failure told,
// when drawing failed or left an empty document.
std::optional<QByteArray> finishedDocument(const Result<void>& drawn, PrintSurface& surface,
                                           PrintConversation& talk);

// How a print on a printer ended.
enum class PrintEnd {
    NotSent,     // nothing reached the service: refused, given up, or a failure told
    Failed,      // the service took the job and told it failed
    Printed,     // told done
    FrontsOnly,  // two-sided by hand: the fronts printed, the backs not (given up or failed)
    Pending,     // in a stopped queue: it prints when the printer is started again
    Unknown,     // the document reached the service, which then fell silent
};
struct PrintOutcome {
    bool printerReady = false;  // the printer was found installed, answering, taking jobs
    PrintEnd end = PrintEnd::NotSent;
    // Both sides were asked of the printer itself, and it prints one side only.
    bool oneSidedPrinter = false;
};

// A job on one printer, whatever its document.
struct JobRequest {
    QString printer;
    PrinterSystem& printers;
    qint64 followMs;
    MarginMemory* margins = nullptr;  // none: nothing recalled, nothing kept
    PrinterOffset offset = {};        // added to everything drawn on the printer's pages
    // With a back: how the printer prints both sides, and its offset for the back pages.
    DuplexSetting duplex = {};
    PrinterOffset backOffset = {};
    // With duplex.automatic: a queue that cannot print both sides gets the backs by hand rather
    // than a refusal (no setting chosen for the printer).
    bool byHandWhenOneSided = false;
};
// What a print hands to the printer: one document; with a back, either fronts and backs in
// turn that the printer prints on both sides, or (by hand) the fronts first and the backs made
// as a second job once the fronts printed and the user said to go on.
struct JobDocuments {
    QByteArray document;
    // The printer prints both sides, the sheet turned on this edge; none: one side.
    std::optional<TurnEdge> bothSides;
    // By hand: the backs' document (nothing: its failure told), and how many sheets there are.
    std::function<std::optional<QByteArray>()> backs;
    int sheets = 0;
};
// How the sheets' backs reach the printer: none, by the printer itself, or by hand.
enum class BackDelivery { None, ByPrinter, ByHand };
// The document of a job, made once the printer is ready: given where on A4 it prints, the
// question about a stopped queue to ask after the document's own questions, and how the backs
// go. Nothing when the user said no or the failure was told.
using DocumentMaker = std::function<std::optional<JobDocuments>(
    const PrintableArea& area, const std::function<bool()>& stoppedQuestion, BackDelivery backs)>;

// The printer checked (installed, answering, taking jobs); for backs by the printer, whether it
// prints both sides (if not: by hand when the request allows it, else refused naming the manual
// way); where it prints asked, the document made, handed over and followed to its outcome; by
// hand, the backs sent as a second job only once the fronts printed and the user said to go on.
// A step at a time through the waiter. `finished` is called once, at the end, unless the waiter
// is destroyed first.
void printDocumentOnPrinter(JobRequest request, BackDelivery backs, DocumentMaker makeDocument,
                            ServiceWaiter& waiter, PrintConversation& talk,
                            std::function<void(PrintOutcome)> finished);

// How much the sheet is drawn reduced to stay within the printer's margins, asking about the loss
// (or taking the answer remembered for the printer); nothing when the user would rather not print.
// An answer that could not be remembered is told after the print's own word.
std::optional<double> scaleForMargins(const MarginLoss& loss, const QString& printer,
                                      const PrintableArea& area, MarginMemory* memory,
                                      PrintConversation& talk);

}  // namespace quarzello
