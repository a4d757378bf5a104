// Composing the card's lines from the fields. Empty fields leave no gap; addresses are
// lower-cased; a list of addresses prints its first and last entry only.
#include "print/cardcontent.h"

#include <cmath>

#include "print/printsurface.h"
#include "print/stampatesto.h"

namespace {

const QString kFontNome = QStringLiteral("Times new roman");
constexpr float kSizeNome = 12.0f;
const QChar kSeparatore = QLatin1Char(';');

// Splits a line holding an address list: its first entry stays in `slot`, the last one, trimmed,
// goes to `next`. Entries between them are not printed.
void separaIndirizzi(DatiBuffer& Dati, int slot, int next) {
    const QString riga = Dati[slot];
    if (!riga.contains(kSeparatore)) return;
    Dati[next] = trimSpaces(riga.mid(riga.lastIndexOf(kSeparatore) + 1));
    Dati[slot] = riga.left(riga.indexOf(kSeparatore));
}

}  // namespace

CardContent componiBiglietto(PrintSurface& surface, const CardRecord& record, DatiBuffer& Dati) {
    const auto& campo = record.campi;
    const QString spazio = QStringLiteral(" ");
    CardContent content;

    for (QString& slot : Dati) slot.clear();

    Dati[1] = trimSpaces(campo[Titolo] + spazio + campo[Nome] + spazio + campo[Cognome]);

    // The name is measured in a fixed font: measuring in whatever an earlier print left on the
    // surface made the same data split on one print and not on the next.
    surface.setFontName(kFontNome);
    surface.setFontSize(kSizeNome);
    surface.setFontBold(false);
    surface.setFontItalic(false);
    if (surface.textWidth(Dati[1]) > kLarghezzaMassimaNome) {
        Dati[0] = trimSpaces(campo[Titolo] + spazio + campo[Nome]);
        Dati[1] = trimSpaces(campo[Cognome]);
        content.F = 0;
    }

    Dati[2] = trimSpaces(campo[Incarico]);
    Dati[3] = trimSpaces(campo[Indirizzo]);
    Dati[4] = trimSpaces(campo[Cap] + spazio + campo[Citta]);

    const QString telefono = trimSpaces(campo[Telefono]);
    if (!telefono.isEmpty()) Dati[5] = QStringLiteral("Tel.: ") + telefono;
    const QString cellulare = trimSpaces(campo[Cellulare]);
    if (!cellulare.isEmpty()) Dati[6] = QStringLiteral("Cell.: ") + cellulare;

    int prossimo = 8;
    if (!trimSpaces(campo[Email]).isEmpty()) {
        Dati[7] = QStringLiteral("e-mail: ") + trimSpaces(campo[Email].toLower());
    }
    if (Dati[7].contains(kSeparatore)) {
        separaIndirizzi(Dati, 7, 8);
        prossimo = 9;
    }
    if (!trimSpaces(campo[Sito]).isEmpty()) {
        Dati[prossimo] = QStringLiteral("Internet: ") + trimSpaces(campo[Sito].toLower());
    }
    separaIndirizzi(Dati, prossimo, prossimo + 1);

    content.n = 0;
    for (int slot = content.F; slot < kDatiSize; ++slot) {
        if (!Dati[slot].isEmpty()) ++content.n;
    }
    if (content.n == 0) content.n = 1;
    return content;
}

SlotStyle stileRiga(int slot, int righe) {
    const int grande = 12 - static_cast<int>(std::floor(righe / 2.0));
    SlotStyle style;
    style.size = static_cast<float>(slot <= 1 ? grande : grande - 2);
    style.bold = slot == 0 || slot == 1 || slot == 4;
    style.italic = slot == 3 || (slot >= 7 && slot <= kUltimoSlotBiglietto);
    style.alignment = AllineaDestra;
    return style;
}
