// The window's print commands as one flow: the printer list, a print on the printer picked (or
// the current one, or the system's default), and the sheet saved as a PDF file. It keeps what
// the window must remember between commands (the printers the service listed last, the current
// printer, where the last PDF went) and tells the user through the prompts and the conversation.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QThreadPool;

#include "core/cardback.h"
#include "core/cardrecord.h"
#include "core/printablearea.h"
#include "flows/printflow.h"
#include "print/backside.h"
#include "print/sheet.h"

namespace quarzello {

class BackgroundWaiter;
class Deadline;
class SettingsStore;
class Prompts;
class PrinterSystem;
struct PageRun;
struct PrinterList;

// What the print side of the window is built on, besides the printers themselves.
struct PrintSettings {
    ServiceTimings timings = {};
    SurfaceFactory surfaces = pdfDocuments();
    // Where the calls to the print service run; it must outlive the printer system's every use
    // (the process waits for it before the printer system goes). None: one of the commands' own.
    QThreadPool* pool = nullptr;
    // Where the margins answers are remembered. None: every print asks, and nothing is kept.
    MarginMemory* margins = nullptr;
    // What the user chose before (the paper, the QR code, each printer's offset, the preview).
    // None: the window keeps a store of the user's own settings file.
    SettingsStore* store = nullptr;
};

// The question when the emblem cannot be read (`why` names the file): print the back without it?
QString printWithoutEmblemQuestion(const QString& why);

// The back of one print as the user set it, its emblem read now (`back.print` is not looked at).
// Nothing on the back: no content. An emblem that cannot be read is asked about through
// `withoutEmblem` (given the failure's text): yes gives the back without it; no gives nothing,
// and nothing is to be printed. Any other failure is told, and gives nothing.
std::optional<std::shared_ptr<const BackContent>> readBack(
    const CardBack& back, bool qrCode, TurnEdge edge, const PrinterOffset& offset,
    PrintConversation& talk, const std::function<bool(const QString&)>& withoutEmblem);

// The back as set added to a run on request.printer (whose backOffset is set), with `duplex`
// the way chosen for the printer (none: automatic where it can, else by hand; on the long
// edge), the emblem read here. False when nothing is to be printed: a failure told, or no to
// printing without the emblem. A back not to be printed, or with nothing on it, leaves the run
// one-sided.
bool addBack(PageRun& run, JobRequest& request, const CardBack& back,
             const std::optional<DuplexSetting>& duplex, PrintConversation& talk,
             const std::function<bool(const QString&)>& withoutEmblem);

class PrintCommands {
  public:
    // stop: true once the window is closing; whatever is waited on is then given up.
    PrintCommands(Prompts& prompts, PrinterSystem& printers, PrintSettings settings,
                  std::function<bool()> stop);
    ~PrintCommands();

    // Asks the service for its printers afresh and gives the panel's entries to `show`, sorted
    // as a sorted list box orders them; a service that does not answer leaves the list it gave
    // last, and the user is told. `show` is not called when the wait was given up.
    void listPrinters(std::function<void(const QStringList&)> show);

    // Prints the record on `chosen`, or when nothing was picked on the current printer, or on
    // the system's default. A printer found ready becomes the current one. The conversation
    // must last until the print ends (busy() false again).
    void print(const CardRecord& record, const QString& chosen, PrintConversation& talk,
               const SheetOptions& options = {});
    // Gives up at once whatever is waited on (the list being filled, a print).
    void giveUp();
    // The sheet into a PDF file the user names; offers to open it.
    void saveAsPdf(const CardRecord& record, PrintConversation& talk,
                   const SheetOptions& options = {});

    // Asks the service where the printer prints on A4 and gives it to `show`: nothing when the
    // service did not say. It goes on beside any command; a new question gives up the one before.
    void lookUpArea(const QString& printer, std::function<void(std::optional<PrintableArea>)> show);

    // Asks the service whether the printer prints both sides of a sheet by itself and gives it
    // to `show`: nothing when the service did not say. As lookUpArea, beside any command.
    void lookUpTwoSided(const QString& printer, std::function<void(std::optional<bool>)> show);

    // The printer the next print goes to when none is picked in the list.
    const QString& currentPrinter() const { return currentPrinter_; }
    // Where a print goes when none is picked: the current printer, or else the system's
    // default as the service said when the list was filled last; empty when neither is known.
    QString printerWhenNoneChosen() const;
    // A command (the list, a print) is under way: no other may start.
    bool busy() const { return busy_; }
    // Where the window's work off its own thread runs.
    QThreadPool& pool() const { return *settings_.pool; }

  private:
    BackgroundWaiter& newWaiter();
    // Asks the service one thing on the slot's own waiter, beside any command, and gives the
    // answer to `show`: nothing when the service did not say.
    template <typename T>
    void lookUp(std::unique_ptr<BackgroundWaiter>& slot,
                std::function<Result<T>(PrinterSystem&, Deadline&)> ask,
                std::function<void(std::optional<T>)> show);
    // The run handed to the printer, with its back when it has one.
    void printRun(PageRun run, JobRequest request, const QString& chosen, BackgroundWaiter& waiter,
                  PrintConversation& talk);

    std::unique_ptr<QThreadPool> ownPool_;
    Prompts& prompts_;
    PrinterSystem& printers_;
    PrintSettings settings_;
    std::function<bool()> stop_;
    QString currentPrinter_;
    // What the print service said when the list was filled last.
    std::unique_ptr<PrinterList> known_;
    bool serviceDown_ = false;
    QString lastPdfFolder_;
    // The waiting of the command under way, or of the last one; replaced by the next command.
    std::unique_ptr<BackgroundWaiter> waiter_;
    // The waiting of the printable area's question, apart from the commands'.
    std::unique_ptr<BackgroundWaiter> areaWaiter_;
    // The waiting of the question whether a printer prints both sides.
    std::unique_ptr<BackgroundWaiter> sidesWaiter_;
    bool busy_ = false;
};

}  // namespace quarzello
