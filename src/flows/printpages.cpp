// A run of pages: checked whole first, then drawn page after page into one document. Only the
// document grows with the number of pages: each page is planned again as it is drawn, but for
// the first, whose plan the check keeps (a run of one page is planned once).
#include "flows/printpages.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/linebreak.h"
#include "flows/servicewaiter.h"
#include "print/margins.h"
#include "print/printsurface.h"
#include "print/sheet.h"

namespace quarzello {

namespace {

// A page's failure as the run tells it: naming the page when it has a name.
QString pageFailure(const SheetPage& page, const QString& why) {
    return page.name.isEmpty() ? why : pageRefusedText(page.name, why);
}

struct CheckedRun {
    MarginLoss loss;  // of every page, naming the pages in a run of several
    std::optional<SheetPlan> first;
};

// Every page planned on the surface: a page the surface cannot take stops the run, shortened
// lines are asked about (a page with no name: the window's one sheet) or told (named pages), and,
// for a printer, what each page would lose to the margins is gathered into one loss. Nothing
// when the run stops.
std::optional<CheckedRun> checkPages(const PageRun& run, PrintSurface& surface,
                                     PrintConversation& talk, const PrintableArea* area) {
    CheckedRun checked;
    for (std::size_t i = 0; i < run.pages.size(); ++i) {
        if (talk.stopped()) return std::nullopt;
        const SheetPage& page = run.pages[i];
        const bool named = !page.name.isEmpty();
        Result<SheetPlan> plan = planSheet(surface, page.record, run.papers[i], run.options);
        if (!plan) {
            talk.fail(pageFailure(page, plan.error()));
            return std::nullopt;
        }
        // The plan left the code out: printing it so is the user's choice, asked first, for the
        // shortened lines are those of the sheet without it.
        if (plan->qrLeftOut) {
            const SheetPaper& paper = run.papers[i];
            const auto largest = [&page, &run, &paper] {
                return paper.stock ? qrOnProductText()
                                   : qrLargestGridText(largestGridWithQr(page.record, run.options));
            };
            if (!talk.printWithoutQr(page.name, qrDoesNotFitText(paper), largest))
                return std::nullopt;
        }
        if (const QStringList shortened = shortenedLines(*plan); !shortened.isEmpty()) {
            if (named)
                talk.pageShortened(page.name, shortened);
            else if (!talk.printShortened(shortened))
                return std::nullopt;
        }
        if (area) {
            const MarginLoss loss = marginLoss(*plan, *area);
            for (const QString& part : loss.lost)
                checked.loss.lost << (named ? page.name + QStringLiteral(": ") + part : part);
            checked.loss.factorPercent = std::min(checked.loss.factorPercent, loss.factorPercent);
        }
        if (i == 0) checked.first = std::move(*plan);
    }
    return checked;
}

// The pages drawn one after the other into one document on the surface they were checked on.
std::optional<QByteArray> drawPages(const PageRun& run, PrintSurface& surface,
                                    std::optional<SheetPlan> first, PrintConversation& talk,
                                    double scale) {
    talk.beforeDrawing();
    const int count = int(run.pages.size());
    for (int i = 0; i < count; ++i) {
        if (talk.stopped()) {
            surface.abortDoc();
            return std::nullopt;
        }
        const std::size_t at = std::size_t(i);
        Result<SheetPlan> plan =
            i == 0 && first ? Result<SheetPlan>(std::move(*first))
                            : planSheet(surface, run.pages[at].record, run.papers[at], run.options);
        Result<void> drawn = plan ? drawPage(surface, *plan, scale) : Result<void>(plan.failure());
        if (drawn && i + 1 < count) drawn = surface.endPage();
        if (!drawn) {
            surface.abortDoc();
            talk.fail(preparationFailedText(drawn.error()));
            return std::nullopt;
        }
        talk.pageDrawn(i + 1, count);
    }
    const Result<void> ended = surface.endDoc();
    if (!ended) surface.abortDoc();
    return finishedDocument(ended, surface, talk);
}

}  // namespace

QString pageRefusedText(const QString& page, const QString& why) {
    return QStringLiteral("Per %1:").arg(page) + CR + why + CR +
           QStringLiteral("Non è stato scritto né inviato nessun foglio.");
}

std::optional<PageRun> readPageRun(std::vector<SheetPage> pages, PrintConversation& talk,
                                   const SheetOptions& options) {
    PageRun run;
    run.options = options;
    run.papers.reserve(pages.size());
    for (const SheetPage& page : pages) {
        Result<SheetPaper> paper = paperFor(page.record, options);
        if (!paper) {
            talk.fail(pageFailure(page, paper.error()));
            return std::nullopt;
        }
        run.papers.push_back(std::move(*paper));
    }
    // On a product a card with nothing on it makes an empty document (plain A4 has its cut
    // marks): said in the user's words.
    for (const SheetPage& page : pages)
        if (options.stock && !options.testSheet && page.record.hasNoText()) {
            talk.fail(pageFailure(
                page, QStringLiteral("Tutti i campi sono vuoti: non c'è niente da stampare.")));
            return std::nullopt;
        }
    run.pages = std::move(pages);
    return run;
}

std::optional<QByteArray> pdfOfPages(const PageRun& run, const QString& target,
                                     const SurfaceFactory& surfaces, PrintConversation& talk) {
    const std::unique_ptr<PrintSurface> surface = surfaces(target);
    std::optional<CheckedRun> checked = checkPages(run, *surface, talk, nullptr);
    if (!checked) return std::nullopt;
    return drawPages(run, *surface, std::move(checked->first), talk, 1.0);
}

void printPagesOnPrinter(PageRun run, JobRequest request, SurfaceFactory surfaces,
                         ServiceWaiter& waiter, PrintConversation& talk,
                         std::function<void(PrintOutcome)> finished) {
    const QString printer = request.printer;
    MarginMemory* const memory = request.margins;
    // The offset is part of every page's plan, so every check sees the sheet where it goes.
    run.options.offset = request.offset;
    printDocumentOnPrinter(
        std::move(request),
        [run = std::make_shared<const PageRun>(std::move(run)), printer,
         surfaces = std::move(surfaces), &talk,
         memory](const PrintableArea& area,
                 const std::function<bool()>& stoppedQuestion) -> std::optional<QByteArray> {
            const std::unique_ptr<PrintSurface> surface = surfaces(printer);
            std::optional<CheckedRun> checked = checkPages(*run, *surface, talk, &area);
            if (!checked) return std::nullopt;
            const std::optional<double> scale =
                scaleForMargins(checked->loss, printer, area, memory, talk);
            if (!scale || !stoppedQuestion()) return std::nullopt;
            return drawPages(*run, *surface, std::move(checked->first), talk, *scale);
        },
        waiter, talk, std::move(finished));
}

PrintOutcome printPagesOnPrinterHere(PageRun run, JobRequest request, SurfaceFactory surfaces,
                                     qint64 budgetMs, PrintConversation& talk) {
    DirectWaiter waiter(budgetMs);
    PrintOutcome outcome;
    printPagesOnPrinter(std::move(run), std::move(request), std::move(surfaces), waiter, talk,
                        [&outcome](PrintOutcome end) { outcome = end; });
    return outcome;
}

}  // namespace quarzello
