// The print job: one A4 sheet with the same card repeated in a grid of columns and rows,
// cut marks between the cards, and the page handed to the printer.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "app/cardrecord.h"

class PrintSurface;

// What the window shows when the sheet has gone to the printer.
inline const QString kTestoStampaConclusa = QStringLiteral("Stampa conclusa");
inline const QString kTitoloFineStampa = QStringLiteral("Fine stampa");

// The grids that print: more rows shrink the small lines to nothing, more columns make cards
// narrower than 10 mm.
inline constexpr int kMaxRighe = 19;
inline constexpr int kMaxColonne = 21;

// Twips per millimetre, one for the width and one for the height, as the sheet has always
// converted the paper size.
inline constexpr double kTwipsPerMmLarghezza = 56.6857142;
inline constexpr double kTwipsPerMmAltezza = 56.6868687;

// The number at the start of a grid text, rounded to a whole number with halves to even; 0 when
// the text does not begin with a number; nothing when the number is beyond 16 bits.
std::optional<int> leggiNumeroGriglia(const QString& text);

struct Griglia {
    int colonne = 0;
    int righe = 0;
    QString errore;  // in Italian, for the user; empty when the grid prints
    bool valida() const { return errore.isEmpty(); }
};

// Reads the grid choice and refuses the grids that cannot print, naming the list, quoting its
// text and giving the accepted range.
Griglia leggiGriglia(const QString& righe, const QString& colonne);

struct PrintOutcome {
    bool printed = false;  // the page was handed to the printer
    QString error;         // in Italian, for the user, when it was not
};

// Prints the sheet for the record on the surface and leaves the card's lines in Dati.
// processEvents, when given, runs at the start and once more before the page is handed over.
// Nothing is drawn when the grid is refused; a failure on the way abandons the page.
PrintOutcome StampaBiglietti(PrintSurface& surface, const CardRecord& record, DatiBuffer& Dati,
                             const std::function<void()>& processEvents = {});
