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

#include "print/gridtext.h"
#include "print/printsurface.h"

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

// The horizontal span of the cards of column k: x0 = k·W + m to x0 + W − 2m.
struct Span {
    float daOrizz;
    float aOrizz;
};

Span spanOf(const SheetPlan& plan, int k) {
    const float x0 = static_cast<float>(k * double(plan.W) + plan.m);
    return {x0, static_cast<float>(double(x0) + plan.W - 2.0 * plan.m)};
}

// Gives up the page: whatever was drawn is thrown away, and the user is told which printer failed.
Failure abandonPage(PrintSurface& surface, const QString& why) {
    surface.abortDoc();
    if (!why.isEmpty()) return {why};
    return {QStringLiteral("La stampa sulla stampante \"%1\" non è riuscita.")
                .arg(surface.deviceName())};
}

}  // namespace

Result<SheetPlan> planSheet(PrintSurface& surface, const CardRecord& record) {
    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(PrintSurface::kPortrait);
    surface.setScaleMode(PrintSurface::kMillimetres);
    surface.setFontName(kPageFont);

    // A grid that cannot print is refused before anything reaches the printer: no blank or
    // half-filled sheet for a typing slip.
    const Result<Grid> grid = readGrid(record.rows, record.columns);
    if (!grid) return grid.failure();
    SheetPlan plan;
    plan.C = grid->columns;
    plan.R = grid->rows;

    const int paperWidth = surface.paperWidth();
    const int paperHeight = surface.paperHeight();
    if (paperWidth <= 0 || paperHeight <= 0) {
        return Failure{QStringLiteral("La stampante \"%1\" non indica il formato della carta: "
                                      "la stampa non è stata eseguita.")
                           .arg(surface.deviceName())};
    }
    plan.P = static_cast<float>(paperWidth / kTwipsPerMmWidth);
    plan.Q = static_cast<float>(paperHeight / kTwipsPerMmHeight);
    plan.W = static_cast<float>(double(plan.P) / plan.C);
    plan.H = static_cast<float>((double(plan.Q) - 5.0) / plan.R);

    plan.content = composeCard(surface, record, plan.Dati);
    plan.S = static_cast<float>((double(plan.H) - 10.0) / plan.content.n);
    plan.m = innerMargin(plan.C);

    // Every card of a column has the same span, so its lines are fitted once per column, and
    // columns whose spans allow the same width share the fit.
    surface.setFontName(kCardFont);
    plan.fitted.resize(plan.C);
    for (int k = 0; k < plan.C; ++k) {
        const Span span = spanOf(plan, k);
        const float limit = fitLimit(span.daOrizz, span.aOrizz);
        int same = -1;
        for (int earlier = 0; earlier < k && same < 0; ++earlier) {
            const Span other = spanOf(plan, earlier);
            if (fitLimit(other.daOrizz, other.aOrizz) == limit) same = earlier;
        }
        if (same >= 0) {
            plan.fitted[k] = plan.fitted[same];
            continue;
        }
        for (int slot = plan.content.F; slot <= kLastCardSlot; ++slot) {
            if (plan.Dati[slot].isEmpty()) continue;
            const SlotStyle style = slotStyle(slot, plan.R);
            plan.fitted[k][slot] = fitLine(surface, plan.Dati[slot], span.daOrizz, span.aOrizz,
                                           style.bold, style.italic, style.size);
        }
    }
    return plan;
}

QStringList shortenedLines(const SheetPlan& plan) {
    QStringList lines;
    for (int slot = plan.content.F; slot <= kLastCardSlot; ++slot) {
        if (plan.Dati[slot].isEmpty()) continue;
        const QString whole = trimSpaces(plan.Dati[slot]);
        for (const auto& column : plan.fitted) {
            const QString printed = column[slot].text + QStringLiteral("…");
            if (column[slot].text != whole && !lines.contains(printed)) lines << printed;
        }
    }
    return lines;
}

Result<void> drawSheet(PrintSurface& surface, const SheetPlan& plan,
                       const std::function<void()>& processEvents) {
    const float P = plan.P, W = plan.W, H = plan.H, S = plan.S, m = plan.m;
    for (int i = 0; i < plan.R; ++i) {
        for (int k = 0; k < plan.C; ++k) {
            float y = static_cast<float>(i * double(H) + 10.0);
            const Span span = spanOf(plan, k);

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
            for (int slot = plan.content.F; slot <= kLastCardSlot; ++slot) {
                if (plan.Dati[slot].isEmpty()) continue;
                // The line was fitted in this weight, slant and size; they are set again for
                // printing, as StampaTesto does (a composed line is never blank).
                const SlotStyle style = slotStyle(slot, plan.R);
                surface.setFontBold(style.bold);
                surface.setFontItalic(style.italic);
                surface.setFontSize(style.size);
                const Result<void> printed = placeLine(surface, plan.fitted[k][slot], y,
                                                       span.daOrizz, span.aOrizz, style.alignment);
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

Result<void> StampaBiglietti(PrintSurface& surface, const CardRecord& record,
                             const std::function<void()>& processEvents) {
    if (processEvents) processEvents();
    const Result<SheetPlan> plan = planSheet(surface, record);
    if (!plan) return plan.failure();
    return drawSheet(surface, *plan, processEvents);
}

}  // namespace quarzello
