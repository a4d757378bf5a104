// The sheet: card size from the paper size, cut marks and the card's lines on every card, row
// by row from the top and left to right.
//
// The sheet's quantities keep their one-letter names, all lengths in millimetres:
//   C, R  columns and rows of cards on the page (the grid)
//   P, Q  width and height of the paper
//   W, H  width and height of one card: W = P / C, H = (Q - 5) / R (5 mm stay free at the foot)
//         on the plain sheet; a product's own card size
//   m     inner margin of a card's text span, by the number of columns
//   F, n  first slot of the card and number of its lines (from the composition)
//   S     spacing of the lines on a card: S = (H - 10) / n
#include "print/sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "core/a4paper.h"
#include "print/backside.h"
#include "print/pdfsurface.h"
#include "print/printsurface.h"
#include "print/qrcode.h"
#include "print/sheetpage.h"
#include "print/stocksheet.h"
#include "print/vcard.h"

namespace quarzello {

namespace {

const QString kCardFont = QStringLiteral("Arial special");
const QString kPageFont = QStringLiteral("Times new roman");

// A side of the paper, as the surface gives it in twips, in the sheet's millimetres.
float sheetMm(int twips, double twipsPerMm) { return static_cast<float>(twips / twipsPerMm); }

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

// Each card's cut marks: an inner grid point gets a cross, horizontal stroke first; the cards
// of the first row and column get two ticks under the card, at the sheet's sides.
std::vector<CardMark> marksOf(const SheetPlan& plan, int i, int k) {
    const float P = plan.P, W = plan.W, H = plan.H, m = plan.m;
    if (i >= 1 && k >= 1) {
        const float gx = static_cast<float>(k * double(W));
        const float gy = static_cast<float>(i * double(H));
        return {CardMark{gx - 1, gy, gx + 1, gy}, CardMark{gx, gy - 1, gx, gy + 1}};
    }
    const float bottom = static_cast<float>((i + 1) * double(H));
    return {CardMark{m, bottom, m + 1, bottom}, CardMark{P - m - 2, bottom, P - m - 1, bottom}};
}

// Where a card's lines are fitted from. Right-aligned lines may reach 5 mm left of the span
// (3 mm kept from its end, 2 mm allowed past it); next to a code they may not cross the span's
// start, which is what fitting from 5 mm further gives.
float fitStart(const PlannedCard& card) {
    return card.qr ? static_cast<float>(double(card.daOrizz) + 5.0) : card.daOrizz;
}

// The record's contact as a code on every card, or on none: medium error correction where it
// fits, low where only that fits. A record with nothing in it has no code.
void addQrCodes(SheetPlan& plan, const CardRecord& record) {
    const QByteArray contact = cardVCard(record).toUtf8();
    if (contact.isEmpty()) return;
    for (const QrCorrection correction : {QrCorrection::Medium, QrCorrection::Low}) {
        std::optional<QrMatrix> matrix = encodeQr(contact, correction);
        if (!matrix) continue;
        const auto shared = std::make_shared<const QrMatrix>(std::move(*matrix));
        std::vector<PlacedQr> placed;
        for (const PlannedCard& card : plan.cards) {
            const std::optional<PlacedQr> place = placeCardQr(
                {card.x, card.y, card.width, card.height, card.daOrizz, card.aOrizz}, shared);
            if (!place) break;
            placed.push_back(*place);
        }
        if (placed.size() != plan.cards.size()) continue;
        for (std::size_t c = 0; c < placed.size(); ++c) {
            plan.cards[c].qr = placed[c].qr;
            plan.cards[c].daOrizz = placed[c].daOrizz;
        }
        return;
    }
    plan.qrLeftOut = true;
}

// Gives up the page: whatever was drawn is thrown away, and the user is told which printer failed.
Failure abandonPage(PrintSurface& surface, const QString& why) {
    surface.abortDoc();
    if (!why.isEmpty()) return {why};
    return {QStringLiteral("La stampa sulla stampante \"%1\" non è riuscita.")
                .arg(surface.deviceName())};
}

// The plain sheet's cards: the grid fills the page, every card with its cut marks.
std::vector<PlannedCard> plainCards(SheetPlan& plan, const Grid& grid) {
    const int C = grid.columns, R = grid.rows;
    plan.W = static_cast<float>(double(plan.P) / C);
    plan.H = static_cast<float>((double(plan.Q) - kSheetFootMm) / R);
    plan.m = innerMargin(C);
    std::vector<PlannedCard> cards;
    cards.reserve(std::size_t(R) * std::size_t(C));
    for (int i = 0; i < R; ++i) {
        for (int k = 0; k < C; ++k) {
            const Span span = spanOf(plan, k);
            PlannedCard card;
            card.row = i;
            card.column = k;
            card.x = static_cast<float>(k * double(plan.W));
            card.y = static_cast<float>(i * double(plan.H));
            card.width = plan.W;
            card.height = plan.H;
            card.daOrizz = span.daOrizz;
            card.aOrizz = span.aOrizz;
            card.marks = marksOf(plan, i, k);
            cards.push_back(std::move(card));
        }
    }
    return cards;
}

// The test sheet's own drawing, in page millimetres: every card's outline, and a cross at the
// page's centre whose arms are scales of 20 mm, a tick every millimetre and a longer one every 5.
void planTestSheet(SheetPlan& plan) {
    for (const PlannedCard& card : plan.cards) {
        const float right = card.x + card.width, bottom = card.y + card.height;
        plan.outlines.push_back({card.x, card.y, right, card.y});
        plan.outlines.push_back({right, card.y, right, bottom});
        plan.outlines.push_back({card.x, bottom, right, bottom});
        plan.outlines.push_back({card.x, card.y, card.x, bottom});
    }
    const float cx = plan.P / 2, cy = plan.Q / 2;
    plan.cross.push_back({cx - 10, cy, cx + 10, cy});
    plan.cross.push_back({cx, cy - 10, cx, cy + 10});
    for (int t = -10; t <= 10; ++t) {
        const float tick = t % 5 == 0 ? 2.0f : 1.0f;
        plan.cross.push_back({cx + float(t), cy, cx + float(t), cy + tick});
        plan.cross.push_back({cx, cy + float(t), cx + tick, cy + float(t)});
    }
}

// The caption goes below the cross, where no line of the sheet crosses a letter: the first
// place, going down, left of the cross or just inside an outline to its right, that keeps a
// millimetre clear of every line. Where there is none, it stays under the cross.
void placeTestCaption(SheetPlan& plan, PrintSurface& surface, const QString& text) {
    constexpr float kSize = 10, kClear = 1;
    surface.setFontName(kPageFont);
    const FittedLine fitted = fitLine(surface, text, 0, plan.P, false, false, kSize);
    const float w = fitted.width, h = fitted.height;
    const float cx = plan.P / 2, top = plan.Q / 2 + 12;
    std::vector<float> lefts{cx - 10};
    for (const CardMark& l : plan.outlines)
        if (l.x1 == l.x2 && l.x1 + kClear > cx - 10) lefts.push_back(l.x1 + kClear);
    std::sort(lefts.begin(), lefts.end());
    lefts.erase(std::unique(lefts.begin(), lefts.end()), lefts.end());
    const auto clear = [&](float x, float y) {
        if (x + w > plan.P - kClear) return false;
        for (const CardMark& l : plan.outlines)
            if (std::max(l.x1, l.x2) >= x - kClear && std::min(l.x1, l.x2) <= x + w + kClear &&
                std::max(l.y1, l.y2) >= y - kClear && std::min(l.y1, l.y2) <= y + h + kClear)
                return false;
        return true;
    };
    plan.caption = {fitted.text, kSize, {cx - 10, top, w, h}};
    for (float y = top; y + h < plan.Q - kClear; y += 1)
        for (const float x : lefts)
            if (clear(x, y)) {
                plan.caption.box = {x, y, w, h};
                return;
            }
}

}  // namespace

float SheetPlan::placedX(double x, double scale) const {
    const double c = P / 2.0;
    return static_cast<float>((scale == 1.0 ? x : c + scale * (x - c)) + offset.across);
}

float SheetPlan::placedY(double y, double scale) const {
    const double c = Q / 2.0;
    return static_cast<float>((scale == 1.0 ? y : c + scale * (y - c)) + offset.down);
}

QRectF SheetPlan::placed(const QRectF& box) const {
    return box.translated(offset.across, offset.down);
}

SheetPaper::SheetPaper(std::shared_ptr<const CardStock> product)
    : grid{product->columns(), product->rows()}, stock(std::move(product)) {}

Result<SheetPaper> paperFor(const CardRecord& record, const SheetOptions& options) {
    // On a product the cards are where the maker cut them: the grid texts are not read.
    if (options.stock) return SheetPaper(options.stock);
    const Result<Grid> grid = readGrid(record.rows, record.columns);
    if (!grid) return grid.failure();
    return SheetPaper(*grid);
}

bool CardLine::printed() const {
    return !fitted.text.isEmpty() && std::isfinite(box.x) && std::isfinite(box.y);
}

Result<SheetPlan> planPaperCards(PrintSurface& surface, const SheetPaper& paper,
                                 const SheetOptions& options) {
    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(PrintSurface::kPortrait);
    surface.setScaleMode(PrintSurface::kMillimetres);
    surface.setFontName(kPageFont);

    SheetPlan plan;
    const int paperWidth = surface.paperWidth();
    const int paperHeight = surface.paperHeight();
    if (paperWidth <= 0 || paperHeight <= 0) {
        return Failure{QStringLiteral("La stampante \"%1\" non indica il formato della carta: "
                                      "la stampa non è stata eseguita.")
                           .arg(surface.deviceName())};
    }
    plan.P = sheetMm(paperWidth, kTwipsPerMmWidth);
    plan.Q = sheetMm(paperHeight, kTwipsPerMmHeight);

    plan.offset = options.offset;
    plan.grid = paper.grid;
    plan.stock = paper.stock;
    if (paper.stock) {
        const CardStock& stock = *paper.stock;
        plan.W = static_cast<float>(stock.width);
        plan.H = static_cast<float>(stock.height);
        plan.m = static_cast<float>(stockMargin(stock));
        plan.cards = stockCards(stock);
    } else {
        plan.cards = plainCards(plan, paper.grid);
    }
    return plan;
}

void planTestDrawing(SheetPlan& plan, PrintSurface& surface, const QString& caption) {
    // Outlines, not cut marks: the sheet is held against the stock, not cut.
    plan.testSheet = true;
    for (PlannedCard& card : plan.cards) card.marks.clear();
    planTestSheet(plan);
    placeTestCaption(plan, surface, caption);
}

QString testCaption(const SheetPaper& paper) {
    return QStringLiteral("Foglio di prova: %1")
        .arg(paper.stock ? paper.stock->name() : QStringLiteral("A4 da tagliare"));
}

Result<SheetPlan> planSheet(PrintSurface& surface, const CardRecord& record,
                            const SheetPaper& paper, const SheetOptions& options) {
    Result<SheetPlan> planned = planPaperCards(surface, paper, options);
    if (!planned) return planned;
    SheetPlan plan = std::move(*planned);
    // The rows whose type the card's lines take: the grid's, or for a product those of a plain
    // sheet with cards as high as its own.
    const int typeRows = paper.stock ? stockTypeRows(*paper.stock) : paper.grid.rows;

    if (options.testSheet) {
        planTestDrawing(plan, surface, testCaption(paper));
        return plan;
    }
    // A code on the back leaves the front as the sheet without one.
    const bool codeOnBack = options.back && options.back->qr;
    if (options.qrCode && !codeOnBack) addQrCodes(plan, record);

    DatiBuffer Dati;
    plan.content = composeCard(surface, record, Dati);
    plan.S = static_cast<float>((double(plan.H) - 10.0) / plan.content.n);

    // The card's lines as they stand, with how each slot prints on this sheet.
    struct Slot {
        int slot;
        QString whole;
        SlotStyle style;
    };
    std::vector<Slot> cardSlots;
    for (int slot = plan.content.F; slot <= kLastCardSlot; ++slot) {
        if (Dati[slot].isEmpty()) continue;
        cardSlots.push_back({slot, trimSpaces(Dati[slot]), slotStyle(slot, typeRows)});
    }

    // The lines are fitted once for every width a span allows: the cards of a column share a
    // span, and columns whose spans allow the same width share the fit.
    surface.setFontName(kCardFont);
    std::vector<std::pair<float, std::vector<FittedLine>>> fits;
    const auto fittedFor = [&](const PlannedCard& card) -> const std::vector<FittedLine>& {
        const float from = fitStart(card);
        const float limit = fitLimit(from, card.aOrizz);
        for (const auto& [width, lines] : fits)
            if (width == limit) return lines;
        std::vector<FittedLine> lines;
        lines.reserve(cardSlots.size());
        for (const Slot& line : cardSlots) {
            lines.push_back(fitLine(surface, Dati[line.slot], from, card.aOrizz, line.style.bold,
                                    line.style.italic, line.style.size));
        }
        fits.emplace_back(limit, std::move(lines));
        return fits.back().second;
    };

    for (PlannedCard& card : plan.cards) {
        // Valid until the next fit is added, which is after this card's lines.
        const std::vector<FittedLine>& fitted = fittedFor(card);
        float y = static_cast<float>(double(card.y) + 10.0);
        for (std::size_t j = 0; j < cardSlots.size(); ++j) {
            CardLine line;
            line.slot = cardSlots[j].slot;
            line.ordinal = int(j) + 1;
            line.last = j + 1 == cardSlots.size();
            line.whole = cardSlots[j].whole;
            line.style = cardSlots[j].style;
            line.fitted = fitted[j];
            line.box = placedBox(line.fitted, y, card.daOrizz, card.aOrizz, line.style.alignment);
            card.lines.push_back(std::move(line));
            y += plan.S;
        }
    }
    return plan;
}

std::optional<Grid> largestGridWithQr(const CardRecord& record, const SheetOptions& options) {
    if (options.stock) return std::nullopt;
    const QByteArray contact = cardVCard(record).toUtf8();
    if (contact.isEmpty()) return std::nullopt;
    std::vector<Grid> grids;
    for (int columns = 1; columns <= kMaxColumns; ++columns)
        for (int rows = 1; rows <= kMaxRows; ++rows) grids.push_back({columns, rows});
    std::stable_sort(grids.begin(), grids.end(), [](const Grid& a, const Grid& b) {
        const int cardsA = a.columns * a.rows, cardsB = b.columns * b.rows;
        return cardsA != cardsB ? cardsA > cardsB : a.rows > b.rows;
    });
    // A code's place depends on its card's height and span only, the same for every card of a
    // plain sheet: the first card of each grid tells.
    std::vector<std::shared_ptr<const QrMatrix>> codes;
    for (const QrCorrection correction : {QrCorrection::Medium, QrCorrection::Low})
        if (std::optional<QrMatrix> matrix = encodeQr(contact, correction))
            codes.push_back(std::make_shared<const QrMatrix>(std::move(*matrix)));
    SheetPlan plan;
    plan.P = sheetMm(qRound(kA4WidthMm * kTwipsPerInch / kMmPerInch), kTwipsPerMmWidth);
    plan.Q = sheetMm(qRound(kA4HeightMm * kTwipsPerInch / kMmPerInch), kTwipsPerMmHeight);
    // A code on the back shares the card with the back's lines, measured as the print does.
    const bool onBack = options.back && options.back->qr;
    std::optional<PdfSurface> measure;
    if (onBack) measure.emplace(QString());
    for (const Grid& grid : grids) {
        const PlannedCard card = plainCards(plan, grid).front();
        const double linesRoom =
            onBack ? backLinesRoom(*measure, options.back->lines, card.width) : 0;
        for (const std::shared_ptr<const QrMatrix>& code : codes)
            if (onBack ? backQrFits(card.width, card.height, linesRoom, *code)
                       : placeCardQr(
                             {card.x, card.y, card.width, card.height, card.daOrizz, card.aOrizz},
                             code)
                             .has_value())
                return grid;
    }
    return std::nullopt;
}

QStringList shortenedLines(const SheetPlan& plan) {
    // Every row repeats the first, so the first row's cards say it all: slot by slot, the
    // columns from the left.
    QStringList lines;
    const std::size_t columns = std::size_t(plan.grid.columns);
    if (plan.cards.size() < columns || columns == 0) return lines;
    const std::size_t count = plan.cards.front().lines.size();
    for (std::size_t j = 0; j < count; ++j) {
        for (std::size_t k = 0; k < columns; ++k) {
            const CardLine& line = plan.cards[k].lines[j];
            const QString printed = line.fitted.text + QStringLiteral("…");
            if (line.shortened() && !lines.contains(printed)) lines << printed;
        }
    }
    return lines;
}

namespace {

// A code as its picture, one pixel a module, over the modules' square. Every card of the page
// draws the same picture, which the document keeps once.
template <typename ScaleX, typename ScaleY>
Result<void> drawQr(PrintSurface& surface, const CardQr& qr, const ScaleX& sx, const ScaleY& sy,
                    double scale) {
    const QImage& modules = qr.matrix->modules();
    if (modules.isNull())
        return Failure{QStringLiteral("Il codice QR dei biglietti non ha potuto essere composto.")};
    const auto side = static_cast<float>(double(qr.side()) * scale);
    return surface.drawImage(sx(qr.x), sy(qr.y), side, side, modules);
}

}  // namespace

Result<void> drawPage(PrintSurface& surface, const SheetPlan& plan, double scale) {
    // Scaling about the centre: a point keeps its direction from the centre, at scale times the
    // distance. At 1 every length is drawn exactly as planned; the offset moves all alike.
    const auto sx = [&](float x) { return plan.placedX(x, scale); };
    const auto sy = [&](float y) { return plan.placedY(y, scale); };
    if (plan.testSheet) {
        for (const std::vector<CardMark>* lines : {&plan.outlines, &plan.cross})
            for (const CardMark& line : *lines) {
                const Result<void> drawn =
                    surface.drawLine(sx(line.x1), sy(line.y1), sx(line.x2), sy(line.y2));
                if (!drawn) return abandonPage(surface, drawn.error());
            }
        // Which paper the sheet was printed for, under the cross.
        if (plan.caption.text.isEmpty()) return {};
        surface.setFontName(kPageFont);
        surface.setFontBold(false);
        surface.setFontItalic(false);
        surface.setFontSize(static_cast<float>(plan.caption.size * scale));
        surface.setCurrentX(sx(plan.caption.box.x));
        surface.setCurrentY(sy(plan.caption.box.y));
        const Result<void> captioned = surface.printText(plan.caption.text);
        if (!captioned) return abandonPage(surface, captioned.error());
        return {};
    }
    for (const PlannedCard& card : plan.cards) {
        for (const CardMark& mark : card.marks) {
            const Result<void> marked =
                surface.drawLine(sx(mark.x1), sy(mark.y1), sx(mark.x2), sy(mark.y2));
            if (!marked) return abandonPage(surface, marked.error());
        }

        if (card.qr) {
            if (const Result<void> drawn = drawQr(surface, *card.qr, sx, sy, scale); !drawn)
                return abandonPage(surface, drawn.error());
        }
        if (card.emblem && plan.emblem) {
            const QRectF& box = *card.emblem;
            const Result<void> drawn = surface.drawEmblem(
                sx(float(box.x())), sy(float(box.y())), static_cast<float>(box.width() * scale),
                static_cast<float>(box.height() * scale), *plan.emblem);
            if (!drawn) return abandonPage(surface, drawn.error());
        }

        surface.setFontName(plan.back ? backLinesFont() : kCardFont);
        for (const CardLine& line : card.lines) {
            // The line was fitted in this weight, slant and size; they are set again for
            // printing (a composed line is never blank).
            surface.setFontBold(line.style.bold);
            surface.setFontItalic(line.style.italic);
            surface.setFontSize(scale == 1.0 ? line.style.size
                                             : static_cast<float>(line.style.size * scale));
            // A position that overflowed has no place on paper: skipped.
            if (!line.printed()) continue;
            surface.setCurrentX(sx(line.box.x));
            surface.setCurrentY(sy(line.box.y));
            const Result<void> printed = surface.printText(line.fitted.text);
            if (!printed) return abandonPage(surface, printed.error());
        }
    }
    return {};
}

}  // namespace quarzello
