// The back page. Lengths in millimetres; on each card at (x, y), w wide and h high, with the
// inner margin m:
//   lines   centred across the card, stacked from the bottom up, the last one's box ending at
//           y + h − m; line 1 bold 9 points, lines 2 and 3 regular 7 points
//   code    its quiet zone's right edge at x + w − m, centred down the space from y + m to
//           1.5 mm above the lines
//   emblem  as large as fits, centred in that space from x + m to x + w − m (or to 2 mm left
//           of the code's quiet zone)
#include "print/backside.h"

#include <algorithm>

#include "print/cardqr.h"
#include "print/printsurface.h"
#include "print/qrcode.h"
#include "print/sheetpage.h"
#include "print/stampatesto.h"
#include "print/vcard.h"

namespace quarzello {

namespace {

// The least inner margin of a back, and what the product's own margin may widen.
constexpr double kBackMarginMm = 3.0;
// Between the content and the first line, and between the emblem and the code's quiet zone.
constexpr double kAboveLinesMm = 1.5;
constexpr double kBesideCodeMm = 2.0;
// A line longer than this is cut before it is measured: no card holds so many characters.
constexpr qsizetype kBackLineCut = 1000;

SlotStyle backLineStyle(int index) {
    return index == 0 ? SlotStyle{9.0f, true, false, Centred}
                      : SlotStyle{7.0f, false, false, Centred};
}

double backMargin(const SheetPaper& paper) {
    return paper.stock ? std::max(paper.stock->markupMargin, kBackMarginMm) : kBackMarginMm;
}

// The text cut to kBackLineCut characters, never half a surrogate pair.
QString cutLine(const QString& line) {
    if (line.size() <= kBackLineCut) return line;
    const qsizetype at =
        line.at(kBackLineCut - 1).isHighSurrogate() ? kBackLineCut - 1 : kBackLineCut;
    return line.left(at);
}

// The back's lines fitted once for the cards' width: every back has the same. Empty lines take
// no place.
std::vector<CardLine> fitBackLines(PrintSurface& surface, const QStringList& texts, double width) {
    surface.setFontName(backLinesFont());
    std::vector<CardLine> lines;
    for (int i = 0; i < int(texts.size()) && i < kBackLines; ++i) {
        if (trimSpaces(texts[i]).isEmpty()) continue;
        CardLine line;
        line.slot = i;
        line.whole = trimSpaces(texts[i]);
        line.style = backLineStyle(i);
        // Fitted to width − 2 mm as the span: the fit allows 2 mm past it.
        line.fitted = fitLine(surface, texts[i], 0.0f, static_cast<float>(width - 2.0),
                              line.style.bold, line.style.italic, line.style.size);
        lines.push_back(std::move(line));
    }
    for (std::size_t j = 0; j < lines.size(); ++j) {
        lines[j].ordinal = int(j) + 1;
        lines[j].last = j + 1 == lines.size();
    }
    return lines;
}

// A code of `modules` modules a side with its quiet zone, in a space `across` wide and `down`
// high.
double quietSide(int modules) { return double(kQrModuleMm) * (modules + 2 * kQrQuietModules); }
bool quietZoneFits(double side, double across, double down) {
    return side <= across && side <= down;
}

// The code on a card's back, in the space from `top` to `bottom` down the card; nothing when
// its quiet zone does not fit there and inside the card's margins across.
std::optional<CardQr> placeBackQr(const PlannedCard& card, double m, double top, double bottom,
                                  const std::shared_ptr<const QrMatrix>& matrix) {
    CardQr qr;
    qr.matrix = matrix;
    const double quiet = double(qr.module) * kQrQuietModules;
    const double side = quietSide(matrix->size);
    if (!quietZoneFits(side, double(card.width) - 2 * m, bottom - top)) return std::nullopt;
    qr.x = static_cast<float>(double(card.x) + card.width - m - side + quiet);
    qr.y = static_cast<float>(top + (bottom - top - side) / 2 + quiet);
    return qr;
}

// The emblem as large as fits the box, its aspect kept, centred in it.
std::optional<QRectF> fitEmblem(const QSizeF& size, double left, double top, double right,
                                double bottom) {
    const double width = right - left, height = bottom - top;
    if (size.isEmpty() || width <= 0 || height <= 0) return std::nullopt;
    const double scale = std::min(width / size.width(), height / size.height());
    const double w = size.width() * scale, h = size.height() * scale;
    return QRectF(left + (width - w) / 2, top + (height - h) / 2, w, h);
}

// The record's codes, medium error correction first.
std::vector<std::shared_ptr<const QrMatrix>> recordCodes(const CardRecord& record) {
    std::vector<std::shared_ptr<const QrMatrix>> codes;
    const QByteArray contact = cardVCard(record).toUtf8();
    if (contact.isEmpty()) return codes;
    for (const QrCorrection correction : {QrCorrection::Medium, QrCorrection::Low})
        if (std::optional<QrMatrix> matrix = encodeQr(contact, correction))
            codes.push_back(std::make_shared<const QrMatrix>(std::move(*matrix)));
    return codes;
}

}  // namespace

QString backLinesFont() { return QStringLiteral("Arial"); }

double backLinesRoom(PrintSurface& surface, const QStringList& lines, double width) {
    const std::vector<CardLine> fitted = fitBackLines(surface, lines, width - 2 * kBackMarginMm);
    if (fitted.empty()) return 0;
    double room = kAboveLinesMm;
    for (const CardLine& line : fitted) room += double(line.fitted.height);
    return room;
}

bool backQrFits(double width, double height, double linesRoom, const QrMatrix& matrix) {
    return quietZoneFits(quietSide(matrix.size), width - 2 * kBackMarginMm,
                         height - 2 * kBackMarginMm - linesRoom);
}

Result<std::shared_ptr<const BackContent>> backContent(const CardBack& back, bool qrCode,
                                                       TurnEdge edge, PrinterOffset offset) {
    if (!back.hasContent(qrCode)) return std::shared_ptr<const BackContent>();
    auto content = std::make_shared<BackContent>();
    if (!back.emblem.isEmpty()) {
        Result<std::shared_ptr<const Emblem>> emblem = loadEmblem(back.emblem);
        if (!emblem) return emblem.failure();
        content->emblem = *emblem;
    }
    for (qsizetype i = 0; i < back.lines.size() && i < kBackLines; ++i)
        content->lines << cutLine(back.lines[i]);
    content->qr = qrCode && back.qrOnBack;
    content->edge = edge;
    content->offset = offset;
    return std::shared_ptr<const BackContent>(std::move(content));
}

QRectF backPlace(const QRectF& card, double pageWidth, double pageHeight, TurnEdge edge) {
    if (edge == TurnEdge::Long)
        return {pageWidth - card.x() - card.width(), card.y(), card.width(), card.height()};
    return {card.x(), pageHeight - card.y() - card.height(), card.width(), card.height()};
}

Result<SheetPlan> planBack(PrintSurface& surface, const CardRecord& record, const SheetPaper& paper,
                           const SheetOptions& options) {
    if (!options.back)
        return Failure{QStringLiteral("Il retro dei biglietti non è stato impostato.")};
    const BackContent& back = *options.back;
    SheetOptions backOptions = options;
    backOptions.offset = back.offset;
    Result<SheetPlan> planned = planPaperCards(surface, paper, backOptions);
    if (!planned) return planned;
    SheetPlan plan = std::move(*planned);
    plan.back = true;
    const double m = backMargin(paper);
    plan.m = static_cast<float>(m);

    // Every card where its back lands once the sheet is turned, named by its row and column as
    // the back is seen, and listed as the front's are: row by row, left to right.
    for (PlannedCard& card : plan.cards) {
        const QRectF place =
            backPlace(QRectF(card.x, card.y, card.width, card.height), plan.P, plan.Q, back.edge);
        card.x = static_cast<float>(place.x());
        card.y = static_cast<float>(place.y());
        card.daOrizz = static_cast<float>(place.x() + m);
        card.aOrizz = static_cast<float>(place.right() - m);
        card.marks.clear();
        if (back.edge == TurnEdge::Long)
            card.column = plan.grid.columns - 1 - card.column;
        else
            card.row = plan.grid.rows - 1 - card.row;
    }
    std::stable_sort(plan.cards.begin(), plan.cards.end(),
                     [](const PlannedCard& a, const PlannedCard& b) {
                         return a.row != b.row ? a.row < b.row : a.column < b.column;
                     });

    if (options.testSheet) {
        planTestDrawing(plan, surface, testCaption(paper) + QStringLiteral(", retro"));
        return plan;
    }
    if (plan.cards.empty()) return plan;

    const std::vector<CardLine> lines =
        fitBackLines(surface, back.lines, double(plan.cards.front().width) - 2 * m);
    const std::vector<std::shared_ptr<const QrMatrix>> codes =
        back.qr ? recordCodes(record) : std::vector<std::shared_ptr<const QrMatrix>>();
    // Each card's lines, and the bottom of the space above them for the code and the emblem.
    std::vector<double> above;
    above.reserve(plan.cards.size());
    for (PlannedCard& card : plan.cards) {
        double bottom = double(card.y) + card.height - m;
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            CardLine placed = *line;
            const double top = bottom - double(placed.fitted.height);
            placed.box = {
                static_cast<float>(double(card.x) + (double(card.width) - placed.fitted.width) / 2),
                static_cast<float>(top), placed.fitted.width, placed.fitted.height};
            card.lines.insert(card.lines.begin(), std::move(placed));
            bottom = top;
        }
        above.push_back(lines.empty() ? bottom : bottom - kAboveLinesMm);
    }
    // The code goes on every back or on none: the first of the record's codes that fits them all.
    std::shared_ptr<const QrMatrix> code;
    for (const std::shared_ptr<const QrMatrix>& candidate : codes) {
        bool fits = true;
        for (std::size_t c = 0; c < plan.cards.size() && fits; ++c) {
            const PlannedCard& card = plan.cards[c];
            fits = placeBackQr(card, m, double(card.y) + m, above[c], candidate).has_value();
        }
        if (fits) {
            code = candidate;
            break;
        }
    }
    plan.qrLeftOut = back.qr && !codes.empty() && !code;
    plan.emblem = back.emblem;
    for (std::size_t c = 0; c < plan.cards.size(); ++c) {
        PlannedCard& card = plan.cards[c];
        const double top = double(card.y) + m;
        double right = double(card.x) + card.width - m;
        if (code) {
            card.qr = placeBackQr(card, m, top, above[c], code);
            right = double(card.qr->quietLeft()) - kBesideCodeMm;
        }
        if (back.emblem)
            card.emblem = fitEmblem(back.emblem->size(), double(card.x) + m, top, right, above[c]);
    }
    return plan;
}

}  // namespace quarzello
