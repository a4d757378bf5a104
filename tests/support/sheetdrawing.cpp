#include "sheetdrawing.h"

#include "print/printsurface.h"
#include "print/sheet.h"

namespace quarzello {

Result<void> drawSheet(PrintSurface& surface, const CardRecord& record) {
    return drawSheet(surface, record, SheetOptions{});
}

Result<void> drawSheet(PrintSurface& surface, const CardRecord& record,
                       const SheetOptions& options) {
    const Result<SheetPaper> paper = paperFor(record, options);
    if (!paper) return paper.failure();
    const Result<SheetPlan> plan = planSheet(surface, record, *paper, options);
    if (!plan) return plan.failure();
    if (const Result<void> drawn = drawPage(surface, *plan); !drawn) return drawn;
    const Result<void> ended = surface.endDoc();
    if (!ended) surface.abortDoc();
    return ended;
}

}  // namespace quarzello
