// A run of pages: checked whole first, then drawn page after page into one document. Only the
// document grows with the number of pages: each page is planned again as it is drawn, but for
// the first, whose plan the check keeps (a run of one page is planned once).
#include "flows/printpages.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/linebreak.h"
#include "flows/servicewaiter.h"
#include "print/backside.h"
#include "print/margins.h"
#include "print/printsurface.h"
#include "print/sheet.h"

namespace quarzello {

namespace {

// A page's failure as the run tells it: naming the page when it has a name.
QString pageFailure(const SheetPage& page, const QString& why) {
    return page.name.isEmpty() ? why : pageRefusedText(page.name, why);
}

// Which sides of each sheet a document holds, and in what order.
struct Sides {
    bool fronts = true;
    bool backs = false;
    bool reversed = false;  // the pages last first
};

// The sides the run prints: with no back, the fronts only, whatever the run says.
Sides sidesOf(const PageRun& run) {
    if (!run.options.back) return {};
    return {run.sides != SheetSides::Back, run.sides != SheetSides::Front, false};
}

struct CheckedRun {
    MarginLoss loss;  // of every page, naming the pages in a run of several
    std::optional<SheetPlan> first, firstBack;
};

// The page's front or back planned on the surface.
Result<SheetPlan> planSide(PrintSurface& surface, const PageRun& run, std::size_t at, bool back) {
    return back ? planBack(surface, run.pages[at].record, run.papers[at], run.options)
                : planSheet(surface, run.pages[at].record, run.papers[at], run.options);
}

// Every page planned on the surface, its back too when printed: a page the surface cannot take
// stops the run, the code left out is asked about, shortened lines of both sides are asked about
// (a page with no name: the window's one sheet) or told (named pages) together, and, for a
// printer, what each side would lose to the margins is gathered into one loss. Nothing when the
// run stops.
std::optional<CheckedRun> checkPages(const PageRun& run, PrintSurface& surface,
                                     PrintConversation& talk, const PrintableArea* area) {
    const Sides sides = sidesOf(run);
    CheckedRun checked;
    for (std::size_t i = 0; i < run.pages.size(); ++i) {
        if (talk.stopped()) return std::nullopt;
        const SheetPage& page = run.pages[i];
        const bool named = !page.name.isEmpty();
        std::optional<SheetPlan> front, back;
        for (const bool isBack : {false, true}) {
            if (!(isBack ? sides.backs : sides.fronts)) continue;
            Result<SheetPlan> plan = planSide(surface, run, i, isBack);
            if (!plan) {
                talk.fail(pageFailure(page, plan.error()));
                return std::nullopt;
            }
            (isBack ? back : front) = std::move(*plan);
        }
        // The plan left the code out: printing it so is the user's choice, asked first, for the
        // shortened lines are those of the sheet without it.
        if ((front && front->qrLeftOut) || (back && back->qrLeftOut)) {
            const SheetPaper& paper = run.papers[i];
            const auto largest = [&page, &run, &paper] {
                return paper.stock ? qrOnProductText()
                                   : qrLargestGridText(largestGridWithQr(page.record, run.options));
            };
            if (!talk.printWithoutQr(page.name, qrDoesNotFitText(paper), largest))
                return std::nullopt;
        }
        QStringList shortened;
        for (const std::optional<SheetPlan>* plan : {&front, &back})
            if (*plan)
                for (const QString& line : shortenedLines(**plan))
                    if (!shortened.contains(line)) shortened << line;
        if (!shortened.isEmpty()) {
            if (named)
                talk.pageShortened(page.name, shortened);
            else if (!talk.printShortened(shortened))
                return std::nullopt;
        }
        if (area)
            for (const std::optional<SheetPlan>* plan : {&front, &back}) {
                if (!*plan) continue;
                const MarginLoss loss = marginLoss(**plan, *area);
                for (const QString& part : loss.lost)
                    checked.loss.lost << (named ? page.name + QStringLiteral(": ") + part : part);
                checked.loss.factorPercent =
                    std::min(checked.loss.factorPercent, loss.factorPercent);
            }
        if (i == 0) {
            checked.first = std::move(front);
            checked.firstBack = std::move(back);
        }
    }
    return checked;
}

// The pages drawn one after the other into one document on the surface they were checked on:
// each page's front, then its back, as `sides` says.
std::optional<QByteArray> drawPages(const PageRun& run, PrintSurface& surface, CheckedRun checked,
                                    PrintConversation& talk, double scale, Sides sides) {
    talk.beforeDrawing();
    const int count = int(run.pages.size());
    bool firstSide = true;
    for (int n = 0; n < count; ++n) {
        if (talk.stopped()) {
            surface.abortDoc();
            return std::nullopt;
        }
        const int i = sides.reversed ? count - 1 - n : n;
        const std::size_t at = std::size_t(i);
        for (const bool isBack : {false, true}) {
            if (!(isBack ? sides.backs : sides.fronts)) continue;
            std::optional<SheetPlan>& kept = isBack ? checked.firstBack : checked.first;
            Result<SheetPlan> plan = i == 0 && kept ? Result<SheetPlan>(*std::exchange(kept, {}))
                                                    : planSide(surface, run, at, isBack);
            Result<void> drawn = firstSide ? Result<void>() : Result<void>(surface.endPage());
            firstSide = false;
            if (drawn)
                drawn = plan ? drawPage(surface, *plan, scale) : Result<void>(plan.failure());
            if (!drawn) {
                surface.abortDoc();
                talk.fail(preparationFailedText(drawn.error()));
                return std::nullopt;
            }
        }
        talk.pageDrawn(n + 1, count);
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
    return drawPages(run, *surface, std::move(*checked), talk, 1.0, sidesOf(run));
}

void printPagesOnPrinter(PageRun run, JobRequest request, SurfaceFactory surfaces,
                         ServiceWaiter& waiter, PrintConversation& talk,
                         std::function<void(PrintOutcome)> finished) {
    const QString printer = request.printer;
    MarginMemory* const memory = request.margins;
    // The offsets are part of every page's plan, so every check sees the sheet where it goes;
    // the backs lie where the printer's edge turns the sheet.
    run.options.offset = request.offset;
    BackDelivery delivery = BackDelivery::None;
    if (run.options.back) {
        auto back = std::make_shared<BackContent>(*run.options.back);
        back->edge = request.duplex.edge;
        back->offset = request.backOffset;
        run.options.back = std::move(back);
        if (run.sides == SheetSides::Both)
            delivery = request.duplex.automatic ? BackDelivery::ByPrinter : BackDelivery::ByHand;
    }
    // Backs alone, by hand, come in the order the printer's setting says.
    const bool reverseBacks = !request.duplex.automatic && request.duplex.reverseBacks;
    printDocumentOnPrinter(
        std::move(request), delivery,
        [run = std::make_shared<const PageRun>(std::move(run)), printer,
         surfaces = std::move(surfaces), &talk, memory,
         reverseBacks](const PrintableArea& area, const std::function<bool()>& stoppedQuestion,
                       BackDelivery backs) -> std::optional<JobDocuments> {
            const std::unique_ptr<PrintSurface> surface = surfaces(printer);
            std::optional<CheckedRun> checked = checkPages(*run, *surface, talk, &area);
            if (!checked) return std::nullopt;
            const std::optional<double> scale =
                scaleForMargins(checked->loss, printer, area, memory, talk);
            if (!scale || !stoppedQuestion()) return std::nullopt;
            Sides sides = sidesOf(*run);
            sides.reversed = reverseBacks && !sides.fronts;
            JobDocuments documents;
            if (backs == BackDelivery::ByPrinter) {
                documents.bothSides = run->options.back->edge;
            } else if (backs == BackDelivery::ByHand) {
                sides.backs = false;
                documents.sheets = int(run->pages.size());
                documents.backs = [run, printer, surfaces, &talk, scale = *scale,
                                   reverseBacks]() -> std::optional<QByteArray> {
                    const std::unique_ptr<PrintSurface> backSurface = surfaces(printer);
                    return drawPages(*run, *backSurface, {}, talk, scale,
                                     {false, true, reverseBacks});
                };
            }
            std::optional<QByteArray> document =
                drawPages(*run, *surface, std::move(*checked), talk, *scale, sides);
            if (!document) return std::nullopt;
            documents.document = std::move(*document);
            return documents;
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
