// Fuzzes the card's composition and the sheet: any eleven fields and grid texts, printed on a
// fixed-metric surface. The first input byte chooses how the rest is read; then the fields,
// the rows and the columns follow, one per line.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "core/cardrecord.h"
#include "fuzzcheck.h"
#include "print/cardcontent.h"
#include "print/gridtext.h"
#include "print/sheet.h"
#include "print/stampatesto.h"
#include "recordingsurface.h"
#include "sheetdrawing.h"

using namespace quarzello;

namespace {

const QString kSentinel = QStringLiteral("\u00a7 non toccato");

DatiBuffer filledWithSentinel() {
    DatiBuffer dati;
    dati.fill(kSentinel);
    return dati;
}

// Mode byte: bit 0 reads every part as UTF-16 (lone surrogates can come in), bits 1 and 2 and
// the rest give the font a surface holds before the card is composed.
struct Input {
    CardRecord record;
    bool utf16 = false;
    RecordedFont earlierFont{QStringLiteral("Courier"), 10, false, false};
};

Input readInput(const uint8_t* data, size_t size) {
    Input input;
    if (size == 0) return input;
    const uint8_t mode = data[0];
    input.utf16 = mode & 1;
    input.earlierFont.bold = mode & 2;
    input.earlierFont.italic = mode & 4;
    input.earlierFont.size = float(mode >> 3);

    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QList<QByteArray> parts(1);
    for (char c : rest) {
        if (c == '\n')
            parts.append(QByteArray());
        else
            parts.back() += c;
    }
    auto decode = [&input](const QByteArray& part) {
        if (input.utf16)
            return QString(reinterpret_cast<const QChar*>(part.constData()), part.size() / 2);
        return QString::fromUtf8(part);
    };
    for (int i = 0; i < kFieldCount; ++i) input.record.fields[i] = decode(parts.value(i));
    if (parts.size() > kFieldCount) input.record.rows = decode(parts[kFieldCount]);
    if (parts.size() > kFieldCount + 1) input.record.columns = decode(parts[kFieldCount + 1]);
    return input;
}

// What a surface drew, in order: a cut-mark line (line true) or a text.
struct Drawn {
    bool line = false;
    RecordedText text;
};

QList<Drawn> drawnInOrder(const RecordingSurface& surface) {
    QList<Drawn> drawn;
    qsizetype texts = 0, lines = 0;
    for (const QString& operation : surface.log) {
        if (operation == QLatin1String("printText") && texts < surface.texts.size())
            drawn.append(Drawn{false, surface.texts[texts++]});
        if (operation == QLatin1String("drawLine") && lines < surface.lines.size()) {
            drawn.append(Drawn{true, {}});
            ++lines;
        }
    }
    return drawn;
}

CardContent checkComposition(const Input& input, DatiBuffer& dati) {
    RecordingSurface surface;
    dati = filledWithSentinel();
    const CardContent content = composeCard(surface, input.record, dati);
    const auto& field = input.record.fields;

    FUZZ_CHECK(content.F == 0 || content.F == 1);
    FUZZ_CHECK(content.n >= 1 && content.n <= 11);
    for (int slot = kLastCardSlot + 1; slot < kDatiSize; ++slot) FUZZ_CHECK(dati[slot].isEmpty());
    if (content.F == 1) FUZZ_CHECK(dati[0].isEmpty());
    int lines = 0;
    for (int slot = content.F; slot < kDatiSize; ++slot) lines += dati[slot].isEmpty() ? 0 : 1;
    FUZZ_CHECK(content.n == std::max(lines, 1));
    FUZZ_CHECK(!surface.touchedPaper());

    // The name splits exactly when it measures more than 40 mm in Times new roman, 12 points.
    const QString name = trimSpaces(field[Title] + QLatin1Char(' ') + field[FirstName] +
                                    QLatin1Char(' ') + field[Surname]);
    FUZZ_CHECK((content.F == 0) == (RecordingSurface::widthOf(name, 12) > kNameSplitWidth));
    FUZZ_CHECK(dati[5].isEmpty() || dati[5].startsWith(QStringLiteral("Tel.: ")));
    FUZZ_CHECK(dati[6].isEmpty() || dati[6].startsWith(QStringLiteral("Cell.: ")));

    // Whatever font an earlier print left on the surface, the same record gives the same card.
    RecordingSurface used;
    used.font = input.earlierFont;
    DatiBuffer again = filledWithSentinel();
    const CardContent contentAgain = composeCard(used, input.record, again);
    FUZZ_CHECK(again == dati && contentAgain.F == content.F && contentAgain.n == content.n);
    return content;
}

// The slot from `from` on whose line a drawn text can be: a prefix of the trimmed line, in
// the line's own style; -1 when there is none.
int matchingSlot(const RecordedText& text, const DatiBuffer& dati, int from, int rows) {
    for (int slot = from; slot <= kLastCardSlot; ++slot) {
        if (dati[slot].isEmpty()) continue;
        const SlotStyle style = slotStyle(slot, rows);
        if (trimSpaces(dati[slot]).startsWith(text.text) && text.font.size == style.size &&
            text.font.bold == style.bold && text.font.italic == style.italic)
            return slot;
    }
    return -1;
}

void checkSheet(const Input& input, const DatiBuffer& composed, const CardContent& content) {
    RecordingSurface surface;
    const Result<void> outcome = drawSheet(surface, input.record);
    const Result<Grid> grid = readGrid(input.record.rows, input.record.columns);

    if (!grid.ok()) {
        // Refused before anything reaches the printer.
        FUZZ_CHECK(!outcome.ok() && outcome.error() == grid.error());
        FUZZ_CHECK(!surface.touchedPaper());
        return;
    }
    FUZZ_CHECK_MSG(outcome.ok() && outcome.error().isEmpty(), outcome.error());
    FUZZ_CHECK(surface.log.count(QStringLiteral("endDoc")) == 1 &&
               surface.log.count(QStringLiteral("abortDoc")) == 0);

    // Card by card: two cut-mark lines, then the card's lines in slot order.
    const int R = grid->rows;
    const int cards = grid->rows * grid->columns;
    const QList<Drawn> drawn = drawnInOrder(surface);
    int seenCards = 0;
    qsizetype i = 0;
    while (i < drawn.size()) {
        FUZZ_CHECK(i + 1 < drawn.size() && drawn[i].line && drawn[i + 1].line);
        i += 2;
        ++seenCards;
        int slot = content.F;
        for (; i < drawn.size() && !drawn[i].line; ++i) {
            const RecordedText& text = drawn[i].text;
            FUZZ_CHECK(!text.text.isEmpty());
            FUZZ_CHECK(text.font.name == QStringLiteral("Arial special"));
            FUZZ_CHECK(std::isfinite(text.x) && std::isfinite(text.y));
            const int found = matchingSlot(text, composed, slot, R);
            FUZZ_CHECK_MSG(found >= 0, text.text.left(200));
            slot = found + 1;
        }
    }
    FUZZ_CHECK(seenCards == cards);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Input input = readInput(data, size);
    DatiBuffer composed;
    const CardContent content = checkComposition(input, composed);
    checkSheet(input, composed, content);
    return 0;
}
