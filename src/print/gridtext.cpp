// Reading the grid texts: the number at the start of the text, read as the lists read it
// (halves to even, 16 bits), and the range of grids that give a sheet.
#include "print/gridtext.h"

#include <QByteArray>
#include <QChar>
#include <cmath>
#include <limits>

#include "core/linebreak.h"

namespace quarzello {

namespace {

const QString kRowsList = QStringLiteral("Righe per pagina");
const QString kColumnsList = QStringLiteral("Colonne per pagina");
// Long texts are cut in the message, so that the box stays readable.
constexpr int kLongestQuote = 30;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfToEven(double v) {
    double r = std::floor(v);
    const double rest = v - r;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return r;
}

// True when the decimal number (sign, digits, '.', digits, optional exponent) is at least 1
// in size, judged from where its first significant digit stands: enough to tell a number too
// large for a double from one too small.
bool isAtLeastOne(const QByteArray& number) {
    qsizetype i = 0;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    long long position = 0;  // power of ten of the first significant digit, plus one
    bool found = false, point = false;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        if (number[i] == '.') {
            point = true;
        } else if (!found && number[i] == '0') {
            if (point) --position;
        } else {
            found = true;
            if (!point) ++position;
        }
    }
    if (!found) return false;
    long long exponent = 0;
    bool negative = false;
    if (i < number.size() && number[i] == 'e') {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size(); ++i)
            exponent = std::min<long long>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
    }
    return position + (negative ? -exponent : exponent) > 0;
}

QString quote(const QString& text) {
    if (text.size() <= kLongestQuote) return text;
    // Never cut between the two halves of a character outside the basic plane.
    const bool halvesPair = text.at(kLongestQuote - 1).isHighSurrogate();
    return text.left(kLongestQuote - (halvesPair ? 1 : 0)) + QStringLiteral("...");
}

QString refusal(const QString& list, const QString& text, int largest) {
    return QStringLiteral("%1: il valore \"%2\" non è valido.").arg(list, quote(text)) + CR +
           QStringLiteral("Indicare un numero intero da 1 a %1.").arg(largest);
}

// The count in a grid text; otherwise the reason joins what is wrong so far.
std::optional<int> readCount(const QString& text, const QString& list, int largest,
                             QString& wrong) {
    const std::optional<int> value = readGridNumber(text);
    if (value && *value >= 1 && *value <= largest) return value;
    if (!wrong.isEmpty()) wrong += CR;
    wrong += refusal(list, text, largest);
    return std::nullopt;
}

}  // namespace

std::optional<int> readGridNumber(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t'))) ++i;

    QByteArray number;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        number += text.at(i).toLatin1();
        ++i;
    }
    bool digits = false;
    while (i < n && isDigit(text.at(i))) {
        number += text.at(i++).toLatin1();
        digits = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && isDigit(text.at(i))) {
            number += text.at(i++).toLatin1();
            digits = true;
        }
    }
    if (!digits) return 0;

    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-'))) {
            exponent += text.at(j++).toLatin1();
        }
        if (j < n && isDigit(text.at(j))) {
            while (j < n && isDigit(text.at(j))) exponent += text.at(j++).toLatin1();
            number += exponent;
        }
    }

    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        // Out of double's range: far too small rounds to 0, far too large is beyond 16 bits.
        // The sign of the exponent alone does not tell which ("9…9e-1" with 400 nines is huge).
        if (isAtLeastOne(number)) return std::nullopt;
        return 0;
    }
    const double whole = roundHalfToEven(value);
    if (whole < std::numeric_limits<qint16>::min() || whole > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<int>(whole);
}

Result<Grid> readGrid(const QString& rows, const QString& columns) {
    QString wrong;
    const auto c = readCount(columns, kColumnsList, kMaxColumns, wrong);
    const auto r = readCount(rows, kRowsList, kMaxRows, wrong);
    if (!c || !r) return Failure{wrong};
    return Grid{*c, *r};
}

}  // namespace quarzello
