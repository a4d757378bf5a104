// The run of several pages: checked whole first, then drawn page after page into one document.
#include "flows/batchprint.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "print/gridtext.h"
#include "print/margins.h"
#include "print/printsurface.h"
#include "print/sheet.h"

namespace quarzello {

namespace {

const QChar CR(13);

// Every page planned on a scratch surface: a refused grid stops the run, shortened lines are
// told, and (for a printer) what each page would lose to the margins is gathered into one loss
// that names the pages. Nothing when a page is refused.
std::optional<MarginLoss> checkPages(const std::vector<SheetPage>& pages, const QString& target,
                                     const SurfaceFactory& surfaces, BatchConversation& talk,
                                     const PrintableArea* area) {
    const std::unique_ptr<PrintSurface> scratch = surfaces(target);
    MarginLoss all;
    for (const SheetPage& page : pages) {
        const Result<SheetPlan> plan = planSheet(*scratch, page.record);
        if (!plan) {
            talk.fail(pageRefusedText(page.name, plan.error()));
            return std::nullopt;
        }
        if (const QStringList shortened = shortenedLines(*plan); !shortened.isEmpty())
            talk.pageShortened(page.name, shortened);
        if (!area) continue;
        const MarginLoss loss = marginLoss(*plan, *area);
        for (const QString& part : loss.lost) all.lost << page.name + QStringLiteral(": ") + part;
        all.factorPercent = std::min(all.factorPercent, loss.factorPercent);
    }
    return all;
}

// The pages drawn one after the other into one document, each planned afresh.
std::optional<QByteArray> drawPages(const std::vector<SheetPage>& pages, const QString& target,
                                    const SurfaceFactory& surfaces, BatchConversation& talk,
                                    double scale) {
    talk.beforeDrawing();
    const std::unique_ptr<PrintSurface> surface = surfaces(target);
    const int count = int(pages.size());
    for (int i = 0; i < count; ++i) {
        const Result<SheetPlan> plan = planSheet(*surface, pages[std::size_t(i)].record);
        Result<void> drawn = plan ? drawPage(*surface, *plan, scale) : Result<void>(plan.failure());
        if (drawn && i + 1 < count) drawn = surface->endPage();
        if (!drawn) {
            surface->abortDoc();
            talk.fail(preparationFailedText(drawn.error()));
            return std::nullopt;
        }
        talk.pageDrawn(i + 1, count);
    }
    const Result<void> ended = surface->endDoc();
    if (!ended) surface->abortDoc();
    return finishedDocument(ended, *surface, talk);
}

}  // namespace

QString pageRefusedText(const QString& page, const QString& why) {
    return QStringLiteral("Per %1:").arg(page) + CR + why + CR +
           QStringLiteral("Non è stato scritto né inviato nessun foglio.");
}

std::optional<QByteArray> pdfOfPages(const std::vector<SheetPage>& pages, const QString& target,
                                     const SurfaceFactory& surfaces, BatchConversation& talk) {
    if (!checkPages(pages, target, surfaces, talk, nullptr)) return std::nullopt;
    return drawPages(pages, target, surfaces, talk, 1.0);
}

void printPagesOnPrinter(std::vector<SheetPage> pages, JobRequest request, SurfaceFactory surfaces,
                         ServiceWaiter& waiter, BatchConversation& talk,
                         std::function<void(PrintOutcome)> finished) {
    // Nothing is asked of the service while a grid cannot print.
    for (const SheetPage& page : pages) {
        if (const Result<Grid> grid = readGrid(page.record.rows, page.record.columns); !grid) {
            talk.fail(pageRefusedText(page.name, grid.error()));
            if (finished) finished(PrintOutcome{});
            return;
        }
    }
    const auto shared = std::make_shared<const std::vector<SheetPage>>(std::move(pages));
    const QString printer = request.printer;
    MarginMemory* const memory = request.margins;
    printDocumentOnPrinter(
        std::move(request),
        [shared, printer, surfaces = std::move(surfaces), &talk, memory](
            const PrintableArea& area,
            const std::function<bool()>& stoppedQuestion) -> std::optional<QByteArray> {
            const std::optional<MarginLoss> loss =
                checkPages(*shared, printer, surfaces, talk, &area);
            if (!loss) return std::nullopt;
            const std::optional<double> scale = scaleForMargins(*loss, printer, area, memory, talk);
            if (!scale || !stoppedQuestion()) return std::nullopt;
            return drawPages(*shared, printer, surfaces, talk, *scale);
        },
        waiter, talk, std::move(finished));
}

}  // namespace quarzello
