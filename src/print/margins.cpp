// The sheet against the printer's margins. Everything is measured where drawPage puts it at
// 100 %: a line by its box (what the surface measured), a cut mark by its two end points, a QR
// code by its modules (its quiet zone is blank, and the paper beyond a margin is too).
#include "print/margins.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>

#include "print/sheet.h"

namespace quarzello {

namespace {

const QChar CR(13);
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

QString lineName(const CardLine& line, const QString& where) {
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
    return QStringLiteral("%1 dei biglietti%2: «%3»").arg(which, where, text);
}

QString marksName(Edge edge) {
    switch (edge) {
        case Top:
            return QStringLiteral("i segni di taglio in alto");
        case Bottom:
            return QStringLiteral("i segni di taglio in basso");
        case Left:
            return QStringLiteral("i segni di taglio a sinistra");
        case Right:
            break;
    }
    return QStringLiteral("i segni di taglio a destra");
}

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
    const PrintableArea a = usableArea(given, P, Q);
    MarginLoss loss;
    if (!a.known) return loss;

    double scale = 1.0;
    const auto keep = [&](double x, double y) {
        scale = std::min(scale, scaleKeeping(x, P / 2, a.left, P - a.right));
        scale = std::min(scale, scaleKeeping(y, Q / 2, a.top, Q - a.bottom));
    };
    for (const PlannedCard& card : plan.cards) {
        for (const CardMark& mark : card.marks) {
            keep(mark.x1, mark.y1);
            keep(mark.x2, mark.y2);
        }
        if (card.qr) {
            keep(card.qr->x, card.qr->y);
            keep(double(card.qr->x) + card.qr->side(), double(card.qr->y) + card.qr->side());
        }
        for (const CardLine& line : card.lines) {
            if (!line.printed()) continue;
            keep(line.box.x, line.box.y);
            keep(double(line.box.x) + line.box.width, double(line.box.y) + line.box.height);
        }
    }

    for (const Edge edge : {Top, Bottom, Left, Right}) {
        bool marksLost = false;
        for (const PlannedCard& card : plan.cards) {
            const bool byRow = edge == Top || edge == Bottom;
            const QString where = byRow ? whereOnSheet(edge, card.row, plan.grid.rows)
                                        : whereOnSheet(edge, card.column, plan.grid.columns);
            for (const CardLine& line : card.lines) {
                const LineBox& b = line.box;
                if (!line.printed() || !crosses(edge, b.x, b.y, double(b.x) + b.width,
                                                double(b.y) + b.height, a, P, Q))
                    continue;
                const QString name = lineName(line, where);
                if (!loss.lost.contains(name)) loss.lost << name;
            }
            if (const std::optional<CardQr>& qr = card.qr;
                qr && crosses(edge, qr->x, qr->y, double(qr->x) + qr->side(),
                              double(qr->y) + qr->side(), a, P, Q)) {
                const QString name = QStringLiteral("il codice QR dei biglietti%1").arg(where);
                if (!loss.lost.contains(name)) loss.lost << name;
            }
            for (const CardMark& m : card.marks)
                marksLost = marksLost || crosses(edge, m.x1, m.y1, m.x2, m.y2, a, P, Q);
        }
        if (marksLost) loss.lost << marksName(edge);
    }

    if (!loss.fits()) {
        // The factor used is exactly the percentage shown, so it is rounded down; the slack
        // keeps an exact 0.95 from becoming 94.
        loss.factorPercent = std::clamp(int(std::floor(scale * 100 + 1e-6)), 1, 99);
    }
    return loss;
}

QString marginLossText(const MarginLoss& loss, const PrintableArea& area) {
    return QStringLiteral(
               "la stampante non stampa vicino ai bordi del foglio (%1): queste parti "
               "del foglio non saranno stampate:")
               .arg(marginsText(area)) +
           CR + loss.lost.join(CR);
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
