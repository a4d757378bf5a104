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

#include <cmath>

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

PlacedCard placedCard(const SheetPlan& plan, int i, int k) {
    const float P = plan.P, W = plan.W, H = plan.H, m = plan.m;
    PlacedCard card;
    if (i >= 1 && k >= 1) {
        // An inner grid point gets a cross, horizontal stroke first.
        const float gx = static_cast<float>(k * double(W));
        const float gy = static_cast<float>(i * double(H));
        card.marks = {CardMark{gx - 1, gy, gx + 1, gy}, CardMark{gx, gy - 1, gx, gy + 1}};
    } else {
        const float bottom = static_cast<float>((i + 1) * double(H));
        card.marks = {CardMark{m, bottom, m + 1, bottom},
                      CardMark{P - m - 2, bottom, P - m - 1, bottom}};
    }

    const Span span = spanOf(plan, k);
    float y = static_cast<float>(i * double(H) + 10.0);
    for (int slot = plan.content.F; slot <= kLastCardSlot; ++slot) {
        if (plan.Dati[slot].isEmpty()) continue;
        CardLine line;
        line.slot = slot;
        line.ordinal = int(card.lines.size()) + 1;
        line.fitted = plan.fitted[k][slot];
        line.box =
            placedBox(line.fitted, y, span.daOrizz, span.aOrizz, slotStyle(slot, plan.R).alignment);
        card.lines.push_back(line);
        y += plan.S;
    }
    if (!card.lines.empty()) card.lines.back().last = true;
    return card;
}

Result<void> drawPage(PrintSurface& surface, const SheetPlan& plan, double scale) {
    // Scaling about the centre: a point keeps its direction from the centre, at scale times the
    // distance. At 1 every length is drawn exactly as planned.
    const double cx = plan.P / 2.0, cy = plan.Q / 2.0;
    const auto sx = [&](float x) {
        return scale == 1.0 ? x : static_cast<float>(cx + scale * (double(x) - cx));
    };
    const auto sy = [&](float y) {
        return scale == 1.0 ? y : static_cast<float>(cy + scale * (double(y) - cy));
    };
    for (int i = 0; i < plan.R; ++i) {
        for (int k = 0; k < plan.C; ++k) {
            const PlacedCard card = placedCard(plan, i, k);
            for (const CardMark& mark : card.marks) {
                const Result<void> marked =
                    surface.drawLine(sx(mark.x1), sy(mark.y1), sx(mark.x2), sy(mark.y2));
                if (!marked) return abandonPage(surface, marked.error());
            }

            surface.setFontName(kCardFont);
            for (const CardLine& line : card.lines) {
                // The line was fitted in this weight, slant and size; they are set again for
                // printing, as StampaTesto does (a composed line is never blank).
                const SlotStyle style = slotStyle(line.slot, plan.R);
                surface.setFontBold(style.bold);
                surface.setFontItalic(style.italic);
                surface.setFontSize(scale == 1.0 ? style.size
                                                 : static_cast<float>(style.size * scale));
                // A position that overflowed has no place on paper: skipped, as StampaTesto does.
                if (line.fitted.text.isEmpty() || !std::isfinite(line.box.x) ||
                    !std::isfinite(line.box.y))
                    continue;
                surface.setCurrentX(sx(line.box.x));
                surface.setCurrentY(sy(line.box.y));
                const Result<void> printed = surface.printText(line.fitted.text);
                if (!printed) return abandonPage(surface, printed.error());
            }
        }
    }

    return {};
}

Result<void> drawSheet(PrintSurface& surface, const SheetPlan& plan, double scale,
                       const std::function<void()>& processEvents) {
    if (const Result<void> drawn = drawPage(surface, plan, scale); !drawn) return drawn;
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
    return drawSheet(surface, *plan, 1.0, processEvents);
}

}  // namespace quarzello
