#include "print/backside.h"

namespace quarzello {

// STUB: to be written with the back of the card.
Result<std::shared_ptr<const BackContent>> backContent(const CardBack& back, bool qrCode,
                                                       TurnEdge edge, PrinterOffset offset) {
    (void)back, (void)qrCode, (void)edge, (void)offset;
    return std::shared_ptr<const BackContent>();
}

QRectF backPlace(const QRectF& card, double pageWidth, double pageHeight, TurnEdge edge) {
    (void)pageWidth, (void)pageHeight, (void)edge;
    return card;
}

Result<SheetPlan> planBack(PrintSurface& surface, const CardRecord& record,
                           const SheetPaper& paper, const SheetOptions& options) {
    (void)surface, (void)record, (void)paper, (void)options;
    return Failure{QStringLiteral("planBack: non ancora fatto")};
}

}  // namespace quarzello
