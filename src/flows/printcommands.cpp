// The window's print commands: which printer, which file, and the waiting in between.
#include "flows/printcommands.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThreadPool>

#include "core/linebreak.h"
#include "data/cardfile.h"
#include "flows/cardfilecommands.h"
#include "flows/printpages.h"
#include "flows/servicewaiter.h"
#include "platform/prompts.h"
#include "platform/settingsstore.h"
#include "printers/printermessages.h"
#include "printers/printersystem.h"

namespace quarzello {

PrintCommands::PrintCommands(Prompts& prompts, PrinterSystem& printers, PrintSettings settings,
                             std::function<bool()> stop)
    : prompts_(prompts),
      printers_(printers),
      settings_(std::move(settings)),
      stop_(std::move(stop)),
      known_(std::make_unique<PrinterList>()) {
    if (!settings_.pool) {
        ownPool_ = std::make_unique<QThreadPool>();
        settings_.pool = ownPool_.get();
    }
}

PrintCommands::~PrintCommands() {
    // Whatever is outstanding gives up now; an own pool then waits for its threads, which end as
    // soon as their calls notice.
    waiter_.reset();
    areaWaiter_.reset();
}

BackgroundWaiter& PrintCommands::newWaiter() {
    waiter_ = std::make_unique<BackgroundWaiter>(settings_.timings.budgetMs, *settings_.pool);
    return *waiter_;
}

void PrintCommands::giveUp() {
    if (busy_ && waiter_) waiter_->giveUp();
}

void PrintCommands::listPrinters(std::function<void(const QStringList&)> show) {
    if (busy_) return;
    busy_ = true;
    BackgroundWaiter& waiter = newWaiter();
    PrinterSystem& printers = printers_;
    waiter.call<Result<PrinterList>>(
        [&printers](Deadline& deadline) { return printers.listPrinters(deadline); },
        [this, &waiter, show = std::move(show)](std::optional<Result<PrinterList>> list) {
            busy_ = false;
            if (waiter.givenUp() || stop_()) return;
            if (list && *list) *known_ = **list;
            // A service that is not running has no printers, and says so only when printing.
            serviceDown_ = list && list->kind() == Failure::Kind::ServiceDown;
            if (serviceDown_) *known_ = PrinterList{};
            if (!list)
                prompts_.warn(printerListSilentText());
            else if (!*list && !serviceDown_)
                prompts_.warn(list->error());
            QStringList names = known_->names;
            names.sort();
            show(names);
        });
}

void PrintCommands::lookUpArea(const QString& printer,
                               std::function<void(std::optional<PrintableArea>)> show) {
    // The waiter before is destroyed first: its call gives up and reports nothing.
    areaWaiter_.reset();
    areaWaiter_ = std::make_unique<BackgroundWaiter>(settings_.timings.budgetMs, *settings_.pool);
    PrinterSystem& printers = printers_;
    areaWaiter_->call<Result<PrintableArea>>(
        [&printers, printer](Deadline& deadline) {
            return printers.printableArea(printer, deadline);
        },
        [this, show = std::move(show)](std::optional<Result<PrintableArea>> area) {
            if (stop_()) return;
            show(area && *area ? std::optional<PrintableArea>(**area) : std::nullopt);
        });
}

void PrintCommands::print(const CardRecord& record, const QString& chosen, PrintConversation& talk,
                          const SheetOptions& options) {
    if (busy_) return;
    // A grid that cannot print is told before anything about printers.
    std::optional<PageRun> run = readPageRun({SheetPage{record, {}}}, talk, options);
    if (!run) return;
    const QString name = !chosen.isEmpty() ? chosen : printerWhenNoneChosen();
    if (name.isEmpty()) {
        talk.fail(known_->names.isEmpty() ? noPrinterText(serviceDown_)
                                          : QStringLiteral("Nessuna stampante predefinita: "
                                                           "scegliere una stampante dall'elenco."));
        return;
    }
    busy_ = true;
    PrinterOffset offset;
    if (settings_.store) {
        const RememberedOffset remembered = settings_.store->offset(name);
        if (!remembered.warning.isEmpty()) talk.tellAfterwards(remembered.warning);
        offset = remembered.offset;
    }
    // A printer removed since the list was filled, or one that refuses jobs, is not silently
    // swapped for another: the user hears of it and nothing is printed.
    printPagesOnPrinter(
        std::move(*run), {name, printers_, settings_.timings.followMs, settings_.margins, offset},
        settings_.surfaces, newWaiter(), talk, [this, chosen](const PrintOutcome& outcome) {
            busy_ = false;
            if (outcome.printerReady && !chosen.isEmpty()) currentPrinter_ = chosen;
        });
}

QString PrintCommands::printerWhenNoneChosen() const {
    return !currentPrinter_.isEmpty() ? currentPrinter_ : known_->defaultName;
}

void PrintCommands::saveAsPdf(const CardRecord& record, PrintConversation& talk,
                              const SheetOptions& options) {
    const std::optional<PageRun> run = readPageRun({SheetPage{record, {}}}, talk, options);
    if (!run) return;
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

    const std::optional<QByteArray> pdf = pdfOfPages(*run, path, settings_.surfaces, talk);
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
                      CR +
                      QStringLiteral("Il file si trova nella cartella %1.")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
}

}  // namespace quarzello
