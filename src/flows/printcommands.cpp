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

namespace {

// The printer's two-sided way as chosen for it; none chosen: automatic on the long edge where
// the printer prints both sides, else by hand on the long edge.
void setDuplex(JobRequest& request, const std::optional<DuplexSetting>& chosen) {
    request.duplex = chosen.value_or(DuplexSetting{true, TurnEdge::Long, false});
    request.byHandWhenOneSided = !chosen;
}

}  // namespace

QString printWithoutEmblemQuestion(const QString& why) {
    return twoParagraphs(why, QStringLiteral("Stampare il retro senza lo stemma?"));
}

std::optional<std::shared_ptr<const BackContent>> readBack(
    const CardBack& back, bool qrCode, TurnEdge edge, const PrinterOffset& offset,
    PrintConversation& talk, const std::function<bool(const QString&)>& withoutEmblem) {
    Result<std::shared_ptr<const BackContent>> content = backContent(back, qrCode, edge, offset);
    if (!content && !back.emblem.isEmpty()) {
        if (!withoutEmblem(content.error())) return std::nullopt;
        // Without the emblem no file is read.
        CardBack plain = back;
        plain.emblem.clear();
        content = backContent(plain, qrCode, edge, offset);
    }
    if (content) return *content;
    talk.fail(content.error());
    return std::nullopt;
}

bool addBack(PageRun& run, JobRequest& request, const CardBack& back,
             const std::optional<DuplexSetting>& duplex, PrintConversation& talk,
             const std::function<bool(const QString&)>& withoutEmblem) {
    run.options.back.reset();
    if (!back.print || !back.hasContent(run.options.qrCode)) return true;
    setDuplex(request, duplex);
    const std::optional<std::shared_ptr<const BackContent>> content = readBack(
        back, run.options.qrCode, request.duplex.edge, request.backOffset, talk, withoutEmblem);
    if (!content) return false;
    run.options.back = *content;
    return true;
}

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

template <typename T>
void PrintCommands::lookUp(std::unique_ptr<BackgroundWaiter>& slot,
                           std::function<Result<T>(PrinterSystem&, Deadline&)> ask,
                           std::function<void(std::optional<T>)> show) {
    // The waiter before is destroyed first: its call gives up and reports nothing.
    slot.reset();
    slot = std::make_unique<BackgroundWaiter>(settings_.timings.budgetMs, *settings_.pool);
    PrinterSystem& printers = printers_;
    slot->call<Result<T>>(
        [&printers, ask = std::move(ask)](Deadline& deadline) { return ask(printers, deadline); },
        [this, show = std::move(show)](std::optional<Result<T>> answer) {
            if (stop_()) return;
            show(answer && *answer ? std::optional<T>(**answer) : std::nullopt);
        });
}

void PrintCommands::lookUpArea(const QString& printer,
                               std::function<void(std::optional<PrintableArea>)> show) {
    lookUp<PrintableArea>(
        areaWaiter_,
        [printer](PrinterSystem& printers, Deadline& deadline) {
            return printers.printableArea(printer, deadline);
        },
        std::move(show));
}

void PrintCommands::lookUpTwoSided(const QString& printer,
                                   std::function<void(std::optional<bool>)> show) {
    lookUp<bool>(
        sidesWaiter_,
        [printer](PrinterSystem& printers, Deadline& deadline) {
            return printers.printsTwoSided(printer, deadline);
        },
        std::move(show));
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
    JobRequest request{name, printers_, settings_.timings.followMs, settings_.margins, offset};
    run->options.back.reset();
    const CardBack back = settings_.store ? settings_.store->back() : CardBack{};
    if (!back.print || !back.hasContent(run->options.qrCode)) {
        printRun(std::move(*run), std::move(request), chosen, newWaiter(), talk);
        return;
    }

    // The back: the emblem read off the window's thread, through the command's waiter; the
    // question about an emblem that cannot be read comes back here.
    const std::optional<DuplexSetting> duplex = settings_.store->duplex(name);
    const RememberedOffset backOffset = settings_.store->backOffset(name);
    if (!backOffset.warning.isEmpty()) talk.tellAfterwards(backOffset.warning);
    request.backOffset = backOffset.offset;
    setDuplex(request, duplex);
    using BackRead = std::shared_ptr<Result<std::shared_ptr<const BackContent>>>;
    const bool qr = run->options.qrCode;
    const TurnEdge edge = request.duplex.edge;
    const PrinterOffset backShift = request.backOffset;
    BackgroundWaiter& waiter = newWaiter();
    waiter.call<BackRead>(
        [back, qr, edge, backShift](Deadline&) {
            return std::make_shared<Result<std::shared_ptr<const BackContent>>>(
                backContent(back, qr, edge, backShift));
        },
        [this, &waiter, &talk, run = std::move(*run), request = std::move(request), chosen, back,
         qr, edge, backShift](std::optional<BackRead> read) mutable {
            if (waiter.givenUp() || stop_()) {
                busy_ = false;
                return;
            }
            if (!read) {
                busy_ = false;
                talk.fail(QStringLiteral("Lo stemma %1 non è stato letto in tempo: non è stato "
                                         "stampato niente.")
                              .arg(back.emblem));
                return;
            }
            // What failed is asked here, and the back without the emblem needs no file.
            std::optional<std::shared_ptr<const BackContent>> content;
            if (**read) {
                content = ***read;
            } else if (prompts_.askYesNo(printWithoutEmblemQuestion((*read)->error()),
                                         PromptAnswer::Yes)) {
                CardBack plain = back;
                plain.emblem.clear();
                content = readBack(plain, qr, edge, backShift, talk, {});
            }
            if (!content) {
                busy_ = false;
                return;
            }
            run.options.back = *content;
            printRun(std::move(run), std::move(request), chosen, waiter, talk);
        });
}

void PrintCommands::printRun(PageRun run, JobRequest request, const QString& chosen,
                             BackgroundWaiter& waiter, PrintConversation& talk) {
    // A printer removed since the list was filled, or one that refuses jobs, is not silently
    // swapped for another: the user hears of it and nothing is printed.
    printPagesOnPrinter(std::move(run), std::move(request), settings_.surfaces, waiter, talk,
                        [this, chosen](const PrintOutcome& outcome) {
                            busy_ = false;
                            if (outcome.printerReady && !chosen.isEmpty()) currentPrinter_ = chosen;
                        });
}

QString PrintCommands::printerWhenNoneChosen() const {
    return !currentPrinter_.isEmpty() ? currentPrinter_ : known_->defaultName;
}

void PrintCommands::saveAsPdf(const CardRecord& record, PrintConversation& talk,
                              const SheetOptions& options) {
    std::optional<PageRun> run = readPageRun({SheetPage{record, {}}}, talk, options);
    if (!run) return;
    // With its back, the file a print shop expects: front, back, laid out for the long edge.
    run->options.back.reset();
    if (settings_.store) {
        const CardBack back = settings_.store->back();
        if (back.print && back.hasContent(run->options.qrCode)) {
            const std::optional<std::shared_ptr<const BackContent>> content = readBack(
                back, run->options.qrCode, TurnEdge::Long, {}, talk, [this](const QString& why) {
                    return prompts_.askYesNo(printWithoutEmblemQuestion(why), PromptAnswer::Yes);
                });
            if (!content) return;
            run->options.back = *content;
        }
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
