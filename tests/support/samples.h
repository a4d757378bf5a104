// The sample card data records the tests, benchmarks and pictures use, in one place.
#pragma once

#include <QString>
#include <QStringList>

#include "core/cardrecord.h"

namespace quarzello {

// Something in every field, accents and the euro sign included; 8 rows, 3 columns.
CardRecord sampleRecord();

// The surname Rossi alone, in the grid typed.
CardRecord nameOnly(const QString& rowsText, const QString& columnsText);

// Every field filled with short values that fit any grid; the e-mail in mixed case.
CardRecord fullRecord(const QString& rows = QStringLiteral("6"),
                      const QString& columns = QStringLiteral("2"));
// The card fullRecord() prints, worked out by hand: eight lines, the name unsplit.
QStringList fullRecordLines();

// A club member's card with the name given; the e-mail field holds two addresses.
CardRecord clubRecord(const QString& firstName, const QString& surname, const QString& rows,
                      const QString& columns);

// The README's card: eight lines (name, role, street, town, two phones, e-mail, web).
CardRecord readmeRecord(int columns, int rows);
// Every field long: the name is split, the e-mail and web fields hold two addresses each, so
// all eleven card lines print and the long ones must be shortened on small cards.
CardRecord crowdedRecord(int columns, int rows);

}  // namespace quarzello
