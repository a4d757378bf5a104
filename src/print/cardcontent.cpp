// Composing the card's lines from the fields. Empty fields leave no gap; addresses are
// lower-cased; a list of addresses prints its first and last entry only.
#include "print/cardcontent.h"

#include <cmath>

#include "print/printsurface.h"
#include "print/stampatesto.h"

namespace quarzello {

namespace {

const QString kNameFont = QStringLiteral("Times new roman");
constexpr float kNameFontSize = 12.0f;
const QChar kSeparator = QLatin1Char(';');

// Splits a line holding an address list: its first entry stays in `slot`, the last one, trimmed,
// goes to `next`. Entries between them are not printed.
void splitAddressList(DatiBuffer& Dati, int slot, int next) {
    const QString line = Dati[slot];
    if (!line.contains(kSeparator)) return;
    Dati[next] = trimSpaces(line.mid(line.lastIndexOf(kSeparator) + 1));
    Dati[slot] = line.left(line.indexOf(kSeparator));
}

}  // namespace

CardContent composeCard(PrintSurface& surface, const CardRecord& record, DatiBuffer& Dati) {
    const auto& field = record.fields;
    const QString space = QStringLiteral(" ");
    CardContent content;

    for (QString& slot : Dati) slot.clear();

    Dati[1] = trimSpaces(field[Title] + space + field[FirstName] + space + field[Surname]);

    // The name is measured in a fixed font: measuring in whatever an earlier print left on the
    // surface made the same data split on one print and not on the next.
    surface.setFontName(kNameFont);
    surface.setFontSize(kNameFontSize);
    surface.setFontBold(false);
    surface.setFontItalic(false);
    if (surface.textWidth(Dati[1]) > kNameSplitWidth) {
        Dati[0] = trimSpaces(field[Title] + space + field[FirstName]);
        Dati[1] = trimSpaces(field[Surname]);
        content.F = 0;
    }

    Dati[2] = trimSpaces(field[Role]);
    Dati[3] = trimSpaces(field[Street]);
    Dati[4] = trimSpaces(field[Postcode] + space + field[Town]);

    const QString landline = trimSpaces(field[Landline]);
    if (!landline.isEmpty()) Dati[5] = QStringLiteral("Tel.: ") + landline;
    const QString mobile = trimSpaces(field[Mobile]);
    if (!mobile.isEmpty()) Dati[6] = QStringLiteral("Cell.: ") + mobile;

    int next = 8;
    if (!trimSpaces(field[Email]).isEmpty()) {
        Dati[7] = QStringLiteral("e-mail: ") + trimSpaces(field[Email].toLower());
    }
    if (Dati[7].contains(kSeparator)) {
        splitAddressList(Dati, 7, 8);
        next = 9;
    }
    if (!trimSpaces(field[Website]).isEmpty()) {
        Dati[next] = QStringLiteral("Internet: ") + trimSpaces(field[Website].toLower());
    }
    splitAddressList(Dati, next, next + 1);

    content.n = 0;
    for (int slot = content.F; slot < kDatiSize; ++slot) {
        if (!Dati[slot].isEmpty()) ++content.n;
    }
    if (content.n == 0) content.n = 1;
    return content;
}

SlotStyle slotStyle(int slot, int rows) {
    const int large = 12 - static_cast<int>(std::floor(rows / 2.0));
    SlotStyle style;
    style.size = static_cast<float>(slot <= 1 ? large : large - 2);
    style.bold = slot == 0 || slot == 1 || slot == 4;
    style.italic = slot == 3 || (slot >= 7 && slot <= kLastCardSlot);
    style.alignment = AlignedRight;
    return style;
}

}  // namespace quarzello
