// The sheet against the printer's margins. Everything is measured where drawPage puts it at
// 100 %, the printer's offset included: a line by its box (what the surface measured), a cut
// mark by its two end points, a QR code by its modules (its quiet zone is blank, and the paper
// beyond a margin is too).
#include "print/margins.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>

#include "core/linebreak.h"
#include "print/sheet.h"

namespace quarzello {

namespace {

// A thing this close to a margin is inside it: single-precision positions are not exact.
constexpr double kSlackMm = 0.005;

enum Edge { Top, Bottom, Left, Right };

QString feminineOrdinal(int n) {
    static const std::array<const char*, 21> words = {
        "prima",          "seconda",         "terza",
        "quarta",         "quinta",          "sesta",
        "settima",        "ottava",          "nona",
        "decima",         "undicesima",      "dodicesima",
        "tredicesima",    "quattordicesima", "quindicesima",
        "sedicesima",     "diciassettesima", "diciottesima",
        "diciannovesima", "ventesima",       "ventunesima"};
    if (n >= 1 && n <= int(words.size())) return QString::fromLatin1(words[n - 1]);
    return QStringLiteral("%1ª").arg(n);
}

// Which cards a row or column is, as the user sees the sheet: "della fila in alto", ...
QString whereOnSheet(Edge edge, int index, int count) {
    const bool rows = edge == Top || edge == Bottom;
    if (count <= 1) return {};
    if (rows) {
        if (index == 0) return QStringLiteral(" della fila in alto");
        if (index == count - 1) return QStringLiteral(" della fila in basso");
        return QStringLiteral(" della %1 fila dall'alto").arg(feminineOrdinal(index + 1));
    }
    if (index == 0) return QStringLiteral(" della colonna di sinistra");
    if (index == count - 1) return QStringLiteral(" della colonna di destra");
    return QStringLiteral(" della %1 colonna da sinistra").arg(feminineOrdinal(index + 1));
}

// "dei biglietti", or "del retro dei biglietti" on a back page.
QString ofCards(bool back) {
    return back ? QStringLiteral("del retro dei biglietti") : QStringLiteral("dei biglietti");
}

QString lineName(const CardLine& line, const QString& where, bool back) {
    QString which;
    if (line.ordinal == 1 && line.last)
        which = QStringLiteral("la riga");
    else if (line.last)
        which = QStringLiteral("l'ultima riga");
    else
        which = QStringLiteral("la %1 riga").arg(feminineOrdinal(line.ordinal));
    // The line as it prints, marked as shortened the way the shortened-lines question does.
    QString text = line.fitted.text;
    if (line.shortened()) text += QStringLiteral("…");
    return QStringLiteral("%1 %2%3: «%4»").arg(which, ofCards(back), where, text);
}

// The edge's words for a part of the sheet: "in alto", "a sinistra".
QString edgeWords(Edge edge) {
    switch (edge) {
        case Top:
            return QStringLiteral("in alto");
        case Bottom:
            return QStringLiteral("in basso");
        case Left:
            return QStringLiteral("a sinistra");
        case Right:
            break;
    }
    return QStringLiteral("a destra");
}

QString outlinesName(Edge edge) {
    return QStringLiteral("i contorni dei biglietti %1").arg(edgeWords(edge));
}

QString marksName(Edge edge) { return QStringLiteral("i segni di taglio %1").arg(edgeWords(edge)); }

// The box from (x1, y1) to (x2, y2) crosses that edge of the printable area.
bool crosses(Edge edge, double x1, double y1, double x2, double y2, const PrintableArea& a,
             double P, double Q) {
    switch (edge) {
        case Top:
            return std::min(y1, y2) < a.top - kSlackMm;
        case Bottom:
            return std::max(y1, y2) > Q - a.bottom + kSlackMm;
        case Left:
            return std::min(x1, x2) < a.left - kSlackMm;
        case Right:
            break;
    }
    return std::max(x1, x2) > P - a.right + kSlackMm;
}

// The largest scale about the centre c that keeps v between low and high.
double scaleKeeping(double v, double c, double low, double high) {
    if (v < c) return (c - low) / (c - v);
    if (v > c) return (high - c) / (v - c);
    return 1.0;
}

QString millimetres(double mm) {
    QString text = QLocale(QLocale::Italian).toString(mm, 'f', 2);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char(','))) text.chop(1);
    return text + QStringLiteral(" mm");
}

QString marginsText(const PrintableArea& a) {
    return QStringLiteral("in alto %1, in basso %2, a sinistra %3, a destra %4")
        .arg(millimetres(a.top), millimetres(a.bottom), millimetres(a.left), millimetres(a.right));
}

// "1,5 mm a destra e 0,8 mm in alto": the printer's offset as the user reads it.
QString offsetWords(const PrinterOffset& offset) {
    QStringList parts;
    if (offset.across != 0)
        parts << millimetres(std::abs(offset.across)) + (offset.across > 0
                                                             ? QStringLiteral(" a destra")
                                                             : QStringLiteral(" a sinistra"));
    if (offset.down != 0)
        parts << millimetres(std::abs(offset.down)) +
                     (offset.down > 0 ? QStringLiteral(" in basso") : QStringLiteral(" in alto"));
    return parts.join(QStringLiteral(" e "));
}

}  // namespace

PrintableArea usableArea(const PrintableArea& area, double paperWidth, double paperHeight) {
    if (!area.known || !std::isfinite(area.left) || !std::isfinite(area.right) ||
        !std::isfinite(area.top) || !std::isfinite(area.bottom))
        return {};
    // An area past the paper's edge prints up to the edge, and no further.
    const PrintableArea clipped = {true, std::max(area.left, 0.0), std::max(area.right, 0.0),
                                   std::max(area.top, 0.0), std::max(area.bottom, 0.0)};
    // Wide margins are still margins; only an area with nothing inside says nothing.
    if (clipped.left + clipped.right >= paperWidth || clipped.top + clipped.bottom >= paperHeight)
        return {};
    return clipped;
}

MarginLoss marginLoss(const SheetPlan& plan, const PrintableArea& given) {
    const double P = plan.P, Q = plan.Q;
    MarginLoss loss;
    loss.offset = plan.offset;
    PrintableArea a = usableArea(given, P, Q);
    if (!a.known) {
        // Where the printer prints is not known: at its place the sheet is on the paper, and
        // moved it may leave it.
        if (plan.offset.isZero()) return loss;
        a = {true, 0, 0, 0, 0};
        loss.paperEdges = true;
    }

    // Scaled about the centre c and moved by o, a point v lands at c + s(v - c) + o: it stays
    // between low and high while s keeps v - c between low - o - c and high - o - c.
    const double ox = plan.offset.across, oy = plan.offset.down;
    double scale = 1.0;
    const auto keep = [&](double x, double y) {
        scale = std::min(scale, scaleKeeping(x, P / 2, a.left - ox, P - a.right - ox));
        scale = std::min(scale, scaleKeeping(y, Q / 2, a.top - oy, Q - a.bottom - oy));
    };
    const auto keepBox = [&](const QRectF& box) {
        keep(box.left(), box.top());
        keep(box.right(), box.bottom());
    };
    const auto outside = [&](Edge edge, const QRectF& box) {
        const QRectF at = plan.placed(box);
        return crosses(edge, at.left(), at.top(), at.right(), at.bottom(), a, P, Q);
    };
    const auto outsideAny = [&](const QRectF& box) {
        return outside(Top, box) || outside(Bottom, box) || outside(Left, box) ||
               outside(Right, box);
    };
    const auto lose = [&](const QString& name) {
        if (!loss.lost.contains(name)) loss.lost << name;
    };
    const auto lineBox = [](const CardLine& line) {
        return QRectF(line.box.x, line.box.y, line.box.width, line.box.height);
    };
    const auto qrBox = [](const CardQr& qr) { return QRectF(qr.x, qr.y, qr.side(), qr.side()); };
    const auto markBox = [](const CardMark& m) {
        return QRectF(QPointF(m.x1, m.y1), QPointF(m.x2, m.y2)).normalized();
    };

    for (std::size_t c = 0; c < plan.cards.size(); ++c) {
        const PlannedCard& card = plan.cards[c];
        std::vector<QRectF> boxes;
        for (const CardMark& mark : card.marks) boxes.push_back(markBox(mark));
        if (card.qr) boxes.push_back(qrBox(*card.qr));
        if (card.emblem) boxes.push_back(*card.emblem);
        for (const CardLine& line : card.lines)
            if (line.printed()) boxes.push_back(lineBox(line));
        for (const QRectF& box : boxes) {
            keepBox(box);
            if (outsideAny(box)) loss.parts.push_back({int(c), plan.placed(box)});
        }
    }
    std::vector<QRectF> drawing;
    for (const std::vector<CardMark>* lines : {&plan.outlines, &plan.cross})
        for (const CardMark& line : *lines) drawing.push_back(markBox(line));
    if (!plan.caption.text.isEmpty()) {
        const LineBox& b = plan.caption.box;
        drawing.emplace_back(b.x, b.y, b.width, b.height);
    }
    for (const QRectF& box : drawing) {
        keepBox(box);
        if (outsideAny(box)) loss.parts.push_back({-1, plan.placed(box)});
    }

    for (const Edge edge : {Top, Bottom, Left, Right}) {
        bool marksLost = false, outlinesLost = false;
        for (const PlannedCard& card : plan.cards) {
            const bool byRow = edge == Top || edge == Bottom;
            const QString where = byRow ? whereOnSheet(edge, card.row, plan.grid.rows)
                                        : whereOnSheet(edge, card.column, plan.grid.columns);
            for (const CardLine& line : card.lines)
                if (line.printed() && outside(edge, lineBox(line)))
                    lose(lineName(line, where, plan.back));
            if (card.qr && outside(edge, qrBox(*card.qr)))
                lose(QStringLiteral("il codice QR %1%2").arg(ofCards(plan.back), where));
            if (card.emblem && outside(edge, *card.emblem))
                lose(QStringLiteral("lo stemma dei biglietti%1").arg(where));
            for (const CardMark& m : card.marks) marksLost = marksLost || outside(edge, markBox(m));
        }
        if (marksLost) lose(marksName(edge));
        for (const CardMark& line : plan.outlines)
            outlinesLost = outlinesLost || outside(edge, markBox(line));
        if (outlinesLost) lose(outlinesName(edge));
    }
    for (const CardMark& line : plan.cross)
        if (outsideAny(markBox(line))) lose(QStringLiteral("la croce al centro del foglio"));
    if (!plan.caption.text.isEmpty() && outsideAny(drawing.back()))
        lose(QStringLiteral("la scritta del foglio di prova"));

    if (!loss.fits()) {
        // The factor used is exactly the percentage shown, so it is rounded down; the slack
        // keeps an exact 0.95 from becoming 94.
        loss.factorPercent = std::clamp(int(std::floor(scale * 100 + 1e-6)), 1, 99);
    }
    return loss;
}

QString marginLossText(const MarginLoss& loss, const PrintableArea& area) {
    QString why;
    if (loss.paperEdges)
        why = QStringLiteral(
                  "spostato come indicato per la stampante (%1), il foglio esce "
                  "dalla carta")
                  .arg(offsetWords(loss.offset));
    else
        why = QStringLiteral("la stampante non stampa vicino ai bordi del foglio (%1)")
                  .arg(marginsText(area));
    if (!loss.paperEdges && !loss.offset.isZero())
        why +=
            QStringLiteral(" e il foglio le è mandato spostato (%1)").arg(offsetWords(loss.offset));
    return why + QStringLiteral(": queste parti del foglio non saranno stampate:") + CR +
           loss.lost.join(CR);
}

QString marginLossQuestion(const MarginLoss& loss, const PrintableArea& area) {
    QString text = marginLossText(loss, area);
    text[0] = text[0].toUpper();
    return text + CR + CR +
           QStringLiteral(
               "Ridotto al %1 %, il foglio entra tutto nell'area stampabile e i "
               "biglietti restano uguali tra loro.")
               .arg(loss.factorPercent) +
           CR + CR + QStringLiteral("Stampare così, ridurre il foglio o annullare la stampa?");
}

QString reducedSheetNotice(const MarginLoss& loss) {
    return QStringLiteral(
               "Il foglio è stampato ridotto al %1 %, perché entri tutto nell'area "
               "stampabile della stampante.")
        .arg(loss.factorPercent);
}

}  // namespace quarzello
