// Fuzzes the card's composition and the sheet: any eleven fields and grid texts, printed on a
// fixed-metric surface. The first input byte chooses how the rest is read; then the fields,
// the rows and the columns follow, one per line.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "app/cardrecord.h"
#include "fixedsurface.h"
#include "fuzzcheck.h"
#include "print/cardcontent.h"
#include "print/sheet.h"
#include "print/stampatesto.h"

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
    FixedMetricSurface::Font earlierFont;
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
    for (int i = 0; i < kFieldCount; ++i) input.record.campi[i] = decode(parts.value(i));
    if (parts.size() > kFieldCount) input.record.righe = decode(parts[kFieldCount]);
    if (parts.size() > kFieldCount + 1) input.record.colonne = decode(parts[kFieldCount + 1]);
    return input;
}

CardContent checkComposition(const Input& input, DatiBuffer& dati) {
    FixedMetricSurface surface;
    dati = filledWithSentinel();
    const CardContent content = componiBiglietto(surface, input.record, dati);
    const auto& campo = input.record.campi;

    FUZZ_CHECK(content.F == 0 || content.F == 1);
    FUZZ_CHECK(content.n >= 1 && content.n <= 11);
    for (int slot = kUltimoSlotBiglietto + 1; slot < kDatiSize; ++slot)
        FUZZ_CHECK(dati[slot].isEmpty());
    if (content.F == 1) FUZZ_CHECK(dati[0].isEmpty());
    int lines = 0;
    for (int slot = content.F; slot < kDatiSize; ++slot) lines += dati[slot].isEmpty() ? 0 : 1;
    FUZZ_CHECK(content.n == std::max(lines, 1));
    FUZZ_CHECK(surface.drawn.isEmpty() && surface.endDocCalls == 0);

    // The name splits exactly when it measures more than 40 mm in Times new roman, 12 points.
    const QString nome = trimSpaces(campo[Titolo] + QLatin1Char(' ') + campo[Nome] +
                                    QLatin1Char(' ') + campo[Cognome]);
    FUZZ_CHECK((content.F == 0) == (FixedMetricSurface::widthOf(nome, 12) > kLarghezzaMassimaNome));
    FUZZ_CHECK(dati[5].isEmpty() || dati[5].startsWith(QStringLiteral("Tel.: ")));
    FUZZ_CHECK(dati[6].isEmpty() || dati[6].startsWith(QStringLiteral("Cell.: ")));

    // Whatever font an earlier print left on the surface, the same record gives the same card.
    FixedMetricSurface used;
    used.font = input.earlierFont;
    DatiBuffer again = filledWithSentinel();
    const CardContent contentAgain = componiBiglietto(used, input.record, again);
    FUZZ_CHECK(again == dati && contentAgain.F == content.F && contentAgain.n == content.n);
    return content;
}

// The slot from `from` on whose line a drawn text can be: a prefix of the trimmed line, in
// the line's own style; -1 when there is none.
int matchingSlot(const FixedMetricSurface::Drawn& text, const DatiBuffer& dati, int from,
                 int righe) {
    for (int slot = from; slot <= kUltimoSlotBiglietto; ++slot) {
        if (dati[slot].isEmpty()) continue;
        const SlotStyle style = stileRiga(slot, righe);
        if (trimSpaces(dati[slot]).startsWith(text.text) && text.font.size == style.size &&
            text.font.bold == style.bold && text.font.italic == style.italic)
            return slot;
    }
    return -1;
}

void checkSheet(const Input& input, const DatiBuffer& composed, const CardContent& content) {
    FixedMetricSurface surface;
    DatiBuffer dati = filledWithSentinel();
    const PrintOutcome outcome = StampaBiglietti(surface, input.record, dati);
    const Griglia griglia = leggiGriglia(input.record.righe, input.record.colonne);

    if (!griglia.valida()) {
        // Refused before anything reaches the printer.
        FUZZ_CHECK(!outcome.printed && outcome.error == griglia.errore);
        FUZZ_CHECK(surface.drawn.isEmpty());
        FUZZ_CHECK(surface.endDocCalls == 0 && surface.abortDocCalls == 0);
        FUZZ_CHECK(dati == filledWithSentinel());
        return;
    }
    FUZZ_CHECK_MSG(outcome.printed && outcome.error.isEmpty(), outcome.error);
    FUZZ_CHECK(surface.endDocCalls == 1 && surface.abortDocCalls == 0);
    FUZZ_CHECK(dati == composed);

    // Card by card: two cut-mark lines, then the card's lines in slot order.
    const int R = griglia.righe;
    const int cards = griglia.righe * griglia.colonne;
    int seenCards = 0;
    qsizetype i = 0;
    while (i < surface.drawn.size()) {
        FUZZ_CHECK(i + 1 < surface.drawn.size() && surface.drawn[i].line &&
                   surface.drawn[i + 1].line);
        i += 2;
        ++seenCards;
        int slot = content.F;
        for (; i < surface.drawn.size() && !surface.drawn[i].line; ++i) {
            const FixedMetricSurface::Drawn& text = surface.drawn[i];
            FUZZ_CHECK(!text.text.isEmpty());
            FUZZ_CHECK(text.font.name == QStringLiteral("Arial special"));
            FUZZ_CHECK(std::isfinite(text.x) && std::isfinite(text.y));
            const int found = matchingSlot(text, dati, slot, R);
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
