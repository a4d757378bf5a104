// Fuzzes the grid texts: the number at the start of a text, checked against the C library's
// own conversion, and the grid check of rows and columns with its messages.
#include <QByteArray>
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "data/codepage.h"
#include "fuzzcheck.h"
#include "print/gridtext.h"

using namespace quarzello;

namespace {

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The number a grid text begins with, worked out separately: the longest prefix that reads as
// a decimal number (spaces and tabs before it, an exponent only with digits), converted by
// strtod and rounded by the current rounding mode, which is to nearest with halves to even.
std::optional<int> expectedNumber(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    std::string number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += char(text[i++].unicode());
    bool digits = false;
    for (; i < n && isAsciiDigit(text[i]); ++i, digits = true) number += char(text[i].unicode());
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        for (++i; i < n && isAsciiDigit(text[i]); ++i, digits = true)
            number += char(text[i].unicode());
    }
    if (!digits) return 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].unicode());
        if (j < n && isAsciiDigit(text[j])) {
            for (; j < n && isAsciiDigit(text[j]); ++j) exponent += char(text[j].unicode());
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    const double whole = std::nearbyint(value);
    if (whole < -32768.0 || whole > 32767.0) return std::nullopt;
    return static_cast<int>(whole);
}

QString describe(const QString& text, const std::optional<int>& got,
                 const std::optional<int>& expected) {
    auto show = [](const std::optional<int>& v) {
        return v ? QString::number(*v) : QStringLiteral("nothing");
    };
    return QStringLiteral("text \"%1\": got %2, expected %3")
        .arg(text.left(200), show(got), show(expected));
}

void checkNumber(const QString& text) {
    const std::optional<int> number = readGridNumber(text);
    const std::optional<int> expected = expectedNumber(text);
    FUZZ_CHECK_MSG(number == expected, describe(text, number, expected));
    if (number) FUZZ_CHECK(*number >= -32768 && *number <= 32767);

    // Spaces and tabs before the number, and a letter after the text, change nothing.
    FUZZ_CHECK(readGridNumber(QStringLiteral(" \t ") + text) == number);
    FUZZ_CHECK(readGridNumber(text + QLatin1Char('x')) == number);

    // A sign turns the number round; 16 bits hold -32768 but not 32768.
    const bool unsignedStart =
        !text.isEmpty() && (isAsciiDigit(text[0]) || text[0] == QLatin1Char('.'));
    if (unsignedStart) {
        const std::optional<int> plus = readGridNumber(QLatin1Char('+') + text);
        const std::optional<int> minus = readGridNumber(QLatin1Char('-') + text);
        FUZZ_CHECK(plus == number);
        if (plus) FUZZ_CHECK(minus && *minus == -*plus);
        if (!minus) FUZZ_CHECK(!plus);
    }
}

void checkGrid(const QString& rows, const QString& columns) {
    const Result<Grid> grid = readGrid(rows, columns);
    const std::optional<int> r = readGridNumber(rows);
    const std::optional<int> c = readGridNumber(columns);
    const bool rowsValid = r && *r >= 1 && *r <= kMaxRows;
    const bool columnsValid = c && *c >= 1 && *c <= kMaxColumns;

    FUZZ_CHECK(grid.ok() == (rowsValid && columnsValid));
    if (grid.ok()) {
        FUZZ_CHECK(grid->rows == *r && grid->columns == *c);
        FUZZ_CHECK(grid->rows >= 1 && grid->rows <= 19);
        FUZZ_CHECK(grid->columns >= 1 && grid->columns <= 21);
        return;
    }
    const QString& error = grid.error();
    FUZZ_CHECK(!error.isEmpty());
    FUZZ_CHECK(error.contains(QStringLiteral("non è valido")));
    FUZZ_CHECK(error.contains(QStringLiteral("Righe per pagina")) == !rowsValid);
    FUZZ_CHECK(error.contains(QStringLiteral("Colonne per pagina")) == !columnsValid);
    if (!rowsValid) FUZZ_CHECK(error.contains(QStringLiteral("da 1 a 19.")));
    if (!columnsValid) FUZZ_CHECK(error.contains(QStringLiteral("da 1 a 21.")));
    // The texts are quoted shortened, so that a long one still gives a box that can be read.
    FUZZ_CHECK_MSG(error.size() <= 300, error);
    // Shortening must not cut a character in half.
    if (!hasLoneSurrogate(rows) && !hasLoneSurrogate(columns))
        FUZZ_CHECK_MSG(!hasLoneSurrogate(error), error);
}

// The whole text as one number and, cut at its first line end, as rows and columns; the
// whole text alone stands for both.
void checkText(const QString& text) {
    checkNumber(text);
    const qsizetype cut = text.indexOf(QLatin1Char('\n'));
    if (cut < 0) {
        checkGrid(text, text);
    } else {
        checkNumber(text.left(cut));
        checkNumber(text.mid(cut + 1));
        checkGrid(text.left(cut), text.mid(cut + 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // As typed into the window, and as read from a card data file.
    checkText(QString::fromUtf8(bytes));
    checkText(codepage::decode(bytes));
    return 0;
}
