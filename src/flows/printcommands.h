// The window's print commands as one flow: the printer list, a print on the printer picked (or
// the current one, or the system's default), and the sheet saved as a PDF file. It keeps what
// the window must remember between commands (the printers the service listed last, the current
// printer, where the last PDF went) and tells the user through the prompts and the conversation.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "core/cardrecord.h"
#include "flows/printflow.h"

namespace quarzello {

class Prompts;
class PrinterSystem;
struct PrinterList;

// What the print side of the window is built on, besides the printers themselves.
struct PrintSettings {
    ServiceTimings timings = {};
    SurfaceFactory surfaces = pdfDocuments();
};

class PrintCommands {
  public:
    // stop: true once the window is closing; whatever is waited on is then given up.
    PrintCommands(Prompts& prompts, PrinterSystem& printers, PrintSettings settings,
                  std::function<bool()> stop);
    ~PrintCommands();

    // Asks the service for its printers afresh and gives the panel's entries, sorted as a
    // sorted list box orders them; a service that does not answer leaves the list it gave last,
    // and the user is told. Nothing when the window is closing.
    std::optional<QStringList> listPrinters();

    // Prints the record on `chosen`, or when nothing was picked on the current printer, or on
    // the system's default. A printer found ready becomes the current one.
    void print(const CardRecord& record, const QString& chosen, PrintConversation& talk);
    // The sheet into a PDF file the user names; offers to open it.
    void saveAsPdf(const CardRecord& record, PrintConversation& talk);

    // The printer the next print goes to when none is picked in the list.
    const QString& currentPrinter() const { return currentPrinter_; }
    // A command is waiting on the print service.
    bool busy() const { return busy_; }

  private:
    Prompts& prompts_;
    PrinterSystem& printers_;
    PrintSettings settings_;
    std::function<bool()> stop_;
    QString currentPrinter_;
    // What the print service said when the list was filled last.
    std::unique_ptr<PrinterList> known_;
    QString lastPdfFolder_;
    bool busy_ = false;
};

}  // namespace quarzello
