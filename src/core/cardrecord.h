// The card data record as a plain value: the eleven personal-data fields and the grid choice.
// The window's controls are the record; this is the snapshot that file and print code work on.
#pragma once

#include <QString>
#include <algorithm>
#include <array>

namespace quarzello {

inline constexpr int kFieldCount = 11;

// Field indexes, the same in the window, the data file, the typing rules and printing.
enum Field : int {
    Title = 0,
    FirstName = 1,
    Surname = 2,
    Role = 3,
    Street = 4,
    Postcode = 5,
    Town = 6,
    Landline = 7,
    Mobile = 8,
    Email = 9,
    Website = 10,
};

// How many characters each box takes from the keyboard.
inline constexpr std::array<int, kFieldCount> kMaxLength = {20, 35, 30, 50, 35, 5,
                                                            35, 18, 18, 80, 100};

struct CardRecord {
    std::array<QString, kFieldCount> fields;
    QString rows = QStringLiteral("6");     // the text of the rows list, as typed
    QString columns = QStringLiteral("2");  // the text of the columns list, as typed

    bool operator==(const CardRecord&) const = default;
    // Every field empty or only spaces: a card with nothing on it.
    bool hasNoText() const {
        return std::all_of(fields.begin(), fields.end(),
                           [](const QString& field) { return field.trimmed().isEmpty(); });
    }
};

// Lines of a file the reader keeps (and slots of the card's line buffer, Dati).
inline constexpr int kDatiSize = 21;

}  // namespace quarzello
