// The window's print commands: which printer, which file, and the waiting in between.
#include "flows/printcommands.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "data/cardfile.h"
#include "flows/cardfilecommands.h"
#include "flows/servicewaiter.h"
#include "platform/prompts.h"
#include "print/gridtext.h"
#include "printers/printermessages.h"
#include "printers/printersystem.h"

namespace quarzello {

namespace {

// A flag that is set for as long as it lives.
class BusyWhile {
  public:
    explicit BusyWhile(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyWhile() { flag_ = false; }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

  private:
    bool& flag_;
};

}  // namespace

PrintCommands::PrintCommands(Prompts& prompts, PrinterSystem& printers, PrintSettings settings,
                             std::function<bool()> stop)
    : prompts_(prompts),
      printers_(printers),
      settings_(std::move(settings)),
      stop_(std::move(stop)),
      known_(std::make_unique<PrinterList>()) {}

PrintCommands::~PrintCommands() {
    // A call to the print service given up on may still be on its way out.
    BackgroundWaiter::finishAbandoned(5000);
}

std::optional<QStringList> PrintCommands::listPrinters() {
    std::optional<Result<PrinterList>> list;
    {
        const BusyWhile busy(busy_);
        BackgroundWaiter waiter(settings_.timings.budgetMs, stop_);
        PrinterSystem& printers = printers_;
        list = waiter.run<Result<PrinterList>>(
            [&printers](Deadline& deadline) { return printers.listPrinters(deadline); });
    }
    if (stop_()) return std::nullopt;
    if (list && *list) *known_ = **list;
    if (!list)
        prompts_.warn(printerListSilentText());
    else if (!*list)
        prompts_.warn(list->error());
    QStringList names = known_->names;
    names.sort();
    return names;
}

void PrintCommands::print(const CardRecord& record, const QString& chosen,
                          PrintConversation& talk) {
    // A grid that cannot print is told before anything about printers.
    if (const Result<Grid> grid = readGrid(record.rows, record.columns); !grid) {
        talk.fail(grid.error());
        return;
    }
    QString name = !chosen.isEmpty() ? chosen : currentPrinter_;
    if (name.isEmpty()) name = known_->defaultName;
    if (name.isEmpty()) {
        talk.fail(known_->names.isEmpty() ? noPrinterText(known_->serviceDown)
                                          : QStringLiteral("Nessuna stampante predefinita: "
                                                           "scegliere una stampante dall'elenco."));
        return;
    }
    const BusyWhile busy(busy_);
    BackgroundWaiter waiter(settings_.timings.budgetMs, stop_);
    // A printer removed since the list was filled, or one that refuses jobs, is not silently
    // swapped for another: the user hears of it and nothing is printed.
    const bool ready = printOnPrinter(record, name, printers_, settings_.surfaces, waiter,
                                      settings_.timings.followMs, talk);
    if (ready && !chosen.isEmpty()) currentPrinter_ = chosen;
}

void PrintCommands::saveAsPdf(const CardRecord& record, PrintConversation& talk) {
    if (const Result<Grid> grid = readGrid(record.rows, record.columns); !grid) {
        talk.fail(grid.error());
        return;
    }
    QString start = lastPdfFolder_;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (start.isEmpty()) start = QDir::homePath();
    FileDialogRequest dialog;
    dialog.kind = FileDialogKind::Save;
    dialog.filter = QStringLiteral("Documento PDF (*.pdf)");
    dialog.initialPath = start;
    dialog.title = QStringLiteral("Salva PDF");
    dialog.confirmOverwrite = true;
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> answer = prompts_.chooseFile(dialog);
    if (!answer) return;
    QString path = *answer;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
        // The dialog asked about the name as typed; this one it never saw.
        if (QFileInfo(path).isFile() &&
            !prompts_.askYesNo(overwriteQuestion(path), PromptAnswer::Yes))
            return;
    }

    const std::optional<QByteArray> pdf = pdfOfSheet(record, path, settings_.surfaces, talk);
    if (!pdf) return;
    if (const Result<void> written = writeFileAtomically(path, *pdf); !written) {
        talk.fail(
            twoParagraphs(written.error(), QStringLiteral("Il file PDF non è stato salvato.")));
        return;
    }
    lastPdfFolder_ = QFileInfo(path).absolutePath();

    const PromptAnswer open =
        prompts_.message({kPrintDoneTitle,
                          twoParagraphs(QStringLiteral("Il file %1 è stato salvato.").arg(path),
                                        QStringLiteral("Aprirlo ora?")),
                          PromptButtons::YesNo, PromptIcon::Information, PromptAnswer::Yes});
    if (open == PromptAnswer::Yes && !prompts_.openWithDesktop(path))
        prompts_.warn(QStringLiteral("Il file %1 non può essere aperto: il sistema non ha un "
                                     "programma che lo mostri.")
                          .arg(path) +
                      QChar(13) +
                      QStringLiteral("Il file si trova nella cartella %1.")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
}

}  // namespace quarzello
