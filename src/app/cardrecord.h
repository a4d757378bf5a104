// The card data record as a plain value: the eleven personal-data fields and the grid choice.
// The window's controls are the record; this is the snapshot that file and print code work on.
#pragma once

#include <QString>
#include <array>

inline constexpr int kFieldCount = 11;

// Field indices, the same in the window, the data file, the typing rules and printing.
enum Campo : int {
    Titolo = 0,
    Nome = 1,
    Cognome = 2,
    Incarico = 3,
    Indirizzo = 4,
    Cap = 5,
    Citta = 6,
    Telefono = 7,
    Cellulare = 8,
    Email = 9,
    Sito = 10,
};

// How many characters each box takes from the keyboard.
inline constexpr std::array<int, kFieldCount> kMaxLength = {20, 35, 30, 50, 35, 5,
                                                            35, 18, 18, 80, 100};

struct CardRecord {
    std::array<QString, kFieldCount> campi;
    QString righe = QStringLiteral("6");
    QString colonne = QStringLiteral("2");

    bool operator==(const CardRecord&) const = default;
};

// The window's shared line buffer: file lines while reading, composed card lines while printing.
inline constexpr int kDatiSize = 21;
using DatiBuffer = std::array<QString, kDatiSize>;
