// The sheet: card size from the paper size, cut marks and the card's lines on every card, row
// by row from the top and left to right.
//
// The sheet's quantities keep their one-letter names, all lengths in millimetres:
//   C, R  columns and rows of cards on the page (the grid texts, read as whole numbers)
//   P, Q  width and height of the paper
//   W, H  width and height of one card: W = P / C, H = (Q - 5) / R (5 mm stay free at the foot)
//   m     inner margin of a card's text span, by the number of columns
//   F, n  first slot of the card and number of its lines (from the composition)
//   S     spacing of the lines on a card: S = (H - 10) / n
#include "print/sheet.h"

#include "print/cardcontent.h"
#include "print/gridtext.h"
#include "print/printsurface.h"
#include "print/stampatesto.h"

namespace quarzello {

namespace {

const QString kCardFont = QStringLiteral("Arial special");
const QString kPageFont = QStringLiteral("Times new roman");

// Inner margin of the text spans, by the number of columns.
float innerMargin(int columns) {
    switch (columns) {
        case 1:
            return 40.0f;
        case 2:
            return 15.0f;
        case 3:
            return 7.0f;
        case 4:
            return 5.0f;
        default:
            return 0.0f;
    }
}

// Gives up the page: whatever was drawn is thrown away, and the user is told which printer failed.
Failure abandonPage(PrintSurface& surface, const QString& why) {
    surface.abortDoc();
    if (!why.isEmpty()) return {why};
    return {QStringLiteral("La stampa sulla stampante \"%1\" non è riuscita.")
                .arg(surface.deviceName())};
}

}  // namespace

Result<void> StampaBiglietti(PrintSurface& surface, const CardRecord& record,
                             const std::function<void()>& processEvents) {
    if (processEvents) processEvents();

    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(PrintSurface::kPortrait);
    surface.setScaleMode(PrintSurface::kMillimetres);
    surface.setFontName(kPageFont);

    // A grid that cannot print is refused before anything reaches the printer: no blank or
    // half-filled sheet for a typing slip.
    const Result<Grid> grid = readGrid(record.rows, record.columns);
    if (!grid) return grid.failure();
    const int C = grid->columns;
    const int R = grid->rows;

    const int paperWidth = surface.paperWidth();
    const int paperHeight = surface.paperHeight();
    if (paperWidth <= 0 || paperHeight <= 0) {
        return Failure{QStringLiteral("La stampante \"%1\" non indica il formato della carta: "
                                      "la stampa non è stata eseguita.")
                           .arg(surface.deviceName())};
    }
    const float P = static_cast<float>(paperWidth / kTwipsPerMmWidth);
    const float Q = static_cast<float>(paperHeight / kTwipsPerMmHeight);
    const float W = static_cast<float>(double(P) / C);
    const float H = static_cast<float>((double(Q) - 5.0) / R);

    DatiBuffer Dati;
    const CardContent content = composeCard(surface, record, Dati);
    const float S = static_cast<float>((double(H) - 10.0) / content.n);
    const float m = innerMargin(C);

    for (int i = 0; i < R; ++i) {
        for (int k = 0; k < C; ++k) {
            float y = static_cast<float>(i * double(H) + 10.0);
            const float x0 = static_cast<float>(k * double(W) + m);
            const float aOrizz = static_cast<float>(double(x0) + W - 2.0 * m);

            Result<void> marked;
            if (i >= 1 && k >= 1) {
                const float gx = static_cast<float>(k * double(W));
                const float gy = static_cast<float>(i * double(H));
                marked = surface.drawLine(gx - 1, gy, gx + 1, gy);
                if (marked) marked = surface.drawLine(gx, gy - 1, gx, gy + 1);
            } else {
                const float bottom = static_cast<float>((i + 1) * double(H));
                marked = surface.drawLine(m, bottom, m + 1, bottom);
                if (marked) marked = surface.drawLine(P - m - 2, bottom, P - m - 1, bottom);
            }
            if (!marked) return abandonPage(surface, marked.error());

            surface.setFontName(kCardFont);
            for (int slot = content.F; slot <= kLastCardSlot; ++slot) {
                if (Dati[slot].isEmpty()) continue;
                const SlotStyle style = slotStyle(slot, R);
                const Result<void> printed =
                    StampaTesto(surface, Dati[slot], y, x0, aOrizz, style.bold, style.italic,
                                style.size, style.alignment);
                if (!printed) return abandonPage(surface, printed.error());
                y += S;
            }
        }
    }

    if (processEvents) processEvents();
    if (const Result<void> handedOver = surface.endDoc(); !handedOver)
        return abandonPage(surface, handedOver.error());
    return {};
}

}  // namespace quarzello
