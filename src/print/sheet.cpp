// The sheet: grid reading, card size from the paper size, cut marks and the card's lines on
// every card, row by row from the top and left to right.
#include "print/sheet.h"

#include <QByteArray>
#include <QChar>
#include <cmath>
#include <limits>

#include "print/cardcontent.h"
#include "print/printsurface.h"
#include "print/stampatesto.h"

namespace {

const QString kFontBiglietto = QStringLiteral("Arial special");
const QString kFontPagina = QStringLiteral("Times new roman");
const QString kListaRighe = QStringLiteral("Righe per pagina");
const QString kListaColonne = QStringLiteral("Colonne per pagina");
// Long texts are cut in the message, so that the box stays readable.
constexpr int kCitazioneMassima = 30;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double arrotondaPari(double v) {
    double r = std::floor(v);
    const double resto = v - r;
    if (resto > 0.5 || (resto == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return r;
}

// True when the decimal number (sign, digits, '.', digits, optional exponent) is at least 1
// in size, judged from where its first significant digit stands: enough to tell a number too
// large for a double from one too small.
bool oltreLUnita(const QByteArray& numero) {
    qsizetype i = 0;
    if (i < numero.size() && (numero[i] == '+' || numero[i] == '-')) ++i;
    long long posizione = 0;  // power of ten of the first significant digit, plus one
    bool trovata = false, punto = false;
    for (; i < numero.size() && numero[i] != 'e'; ++i) {
        if (numero[i] == '.') {
            punto = true;
        } else if (!trovata && numero[i] == '0') {
            if (punto) --posizione;
        } else {
            trovata = true;
            if (!punto) ++posizione;
        }
    }
    if (!trovata) return false;
    long long esponente = 0;
    bool negativo = false;
    if (i < numero.size() && numero[i] == 'e') {
        ++i;
        if (i < numero.size() && (numero[i] == '+' || numero[i] == '-'))
            negativo = numero[i++] == '-';
        for (; i < numero.size(); ++i)
            esponente = std::min<long long>(esponente * 10 + (numero[i] - '0'), 1'000'000'000);
    }
    return posizione + (negativo ? -esponente : esponente) > 0;
}

QString citazione(const QString& text) {
    if (text.size() <= kCitazioneMassima) return text;
    // Never cut between the two halves of a character outside the basic plane.
    const bool halvesPair = text.at(kCitazioneMassima - 1).isHighSurrogate();
    return text.left(kCitazioneMassima - (halvesPair ? 1 : 0)) + QStringLiteral("...");
}

QString erroreGriglia(const QString& lista, const QString& text, int massimo) {
    return QStringLiteral("%1: il valore \"%2\" non è valido.").arg(lista, citazione(text)) +
           QChar(13) + QStringLiteral("Indicare un numero intero da 1 a %1.").arg(massimo);
}

// The count in a grid text, or an explanation of why that text gives no sheet.
std::optional<int> leggiConteggio(const QString& text, const QString& lista, int massimo,
                                  QString& errore) {
    const std::optional<int> valore = leggiNumeroGriglia(text);
    if (valore && *valore >= 1 && *valore <= massimo) return valore;
    if (!errore.isEmpty()) errore += QChar(13);
    errore += erroreGriglia(lista, text, massimo);
    return std::nullopt;
}

// Inner margin of the text spans, by the number of columns.
float margineInterno(int colonne) {
    switch (colonne) {
        case 1:
            return 40.0f;
        case 2:
            return 15.0f;
        case 3:
            return 7.0f;
        case 4:
            return 5.0f;
        default:
            return 0.0f;
    }
}

// Gives up the page: whatever was drawn is thrown away, and the user is told which printer failed.
PrintOutcome abbandona(PrintSurface& surface) {
    surface.abortDoc();
    QString errore = surface.errorText();
    if (errore.isEmpty()) {
        errore = QStringLiteral("La stampa sulla stampante \"%1\" non è riuscita.")
                     .arg(surface.deviceName());
    }
    return {false, errore};
}

}  // namespace

std::optional<int> leggiNumeroGriglia(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t'))) ++i;

    QByteArray numero;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        numero += text.at(i).toLatin1();
        ++i;
    }
    bool cifre = false;
    while (i < n && isDigit(text.at(i))) {
        numero += text.at(i++).toLatin1();
        cifre = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        numero += '.';
        ++i;
        while (i < n && isDigit(text.at(i))) {
            numero += text.at(i++).toLatin1();
            cifre = true;
        }
    }
    if (!cifre) return 0;

    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QByteArray esponente = "e";
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-'))) {
            esponente += text.at(j++).toLatin1();
        }
        if (j < n && isDigit(text.at(j))) {
            while (j < n && isDigit(text.at(j))) esponente += text.at(j++).toLatin1();
            numero += esponente;
        }
    }

    bool ok = false;
    const double valore = numero.toDouble(&ok);
    if (!ok || !std::isfinite(valore)) {
        // Out of double's range: far too small rounds to 0, far too large is beyond 16 bits.
        // The sign of the exponent alone does not tell which ("9…9e-1" with 400 nines is huge).
        if (oltreLUnita(numero)) return std::nullopt;
        return 0;
    }
    const double intero = arrotondaPari(valore);
    if (intero < std::numeric_limits<qint16>::min() || intero > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<int>(intero);
}

Griglia leggiGriglia(const QString& righe, const QString& colonne) {
    Griglia griglia;
    const auto c = leggiConteggio(colonne, kListaColonne, kMaxColonne, griglia.errore);
    const auto r = leggiConteggio(righe, kListaRighe, kMaxRighe, griglia.errore);
    if (c && r) {
        griglia.colonne = *c;
        griglia.righe = *r;
    }
    return griglia;
}

PrintOutcome StampaBiglietti(PrintSurface& surface, const CardRecord& record, DatiBuffer& Dati,
                             const std::function<void()>& processEvents) {
    if (processEvents) processEvents();

    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(PrintSurface::kPortrait);
    surface.setScaleMode(PrintSurface::kMillimetres);
    surface.setFontName(kFontPagina);

    // A grid that cannot print is refused before anything reaches the printer: no blank or
    // half-filled sheet for a typing slip.
    const Griglia griglia = leggiGriglia(record.righe, record.colonne);
    if (!griglia.valida()) return {false, griglia.errore};
    const int C = griglia.colonne;
    const int R = griglia.righe;

    const int larghezzaCarta = surface.paperWidth();
    const int altezzaCarta = surface.paperHeight();
    if (larghezzaCarta <= 0 || altezzaCarta <= 0) {
        return {false, QStringLiteral("La stampante \"%1\" non indica il formato della carta: "
                                      "la stampa non è stata eseguita.")
                           .arg(surface.deviceName())};
    }
    const float P = static_cast<float>(larghezzaCarta / kTwipsPerMmLarghezza);
    const float Q = static_cast<float>(altezzaCarta / kTwipsPerMmAltezza);
    const float W = static_cast<float>(double(P) / C);
    const float H = static_cast<float>((double(Q) - 5.0) / R);

    const CardContent content = componiBiglietto(surface, record, Dati);
    const float S = static_cast<float>((double(H) - 10.0) / content.n);
    const float m = margineInterno(C);

    for (int i = 0; i < R; ++i) {
        for (int k = 0; k < C; ++k) {
            float y = static_cast<float>(i * double(H) + 10.0);
            const float x0 = static_cast<float>(k * double(W) + m);
            const float aOrizz = static_cast<float>(double(x0) + W - 2.0 * m);

            bool ok = true;
            if (i >= 1 && k >= 1) {
                const float gx = static_cast<float>(k * double(W));
                const float gy = static_cast<float>(i * double(H));
                ok = surface.drawLine(gx - 1, gy, gx + 1, gy) &&
                     surface.drawLine(gx, gy - 1, gx, gy + 1);
            } else {
                const float fondo = static_cast<float>((i + 1) * double(H));
                ok = surface.drawLine(m, fondo, m + 1, fondo) &&
                     surface.drawLine(P - m - 2, fondo, P - m - 1, fondo);
            }
            if (!ok) return abbandona(surface);

            surface.setFontName(kFontBiglietto);
            for (int slot = content.F; slot <= kUltimoSlotBiglietto; ++slot) {
                if (Dati[slot].isEmpty()) continue;
                const SlotStyle stile = stileRiga(slot, R);
                if (!StampaTesto(surface, Dati[slot], y, x0, aOrizz, stile.bold, stile.italic,
                                 stile.size, stile.alignment)) {
                    return abbandona(surface);
                }
                y += S;
            }
        }
    }

    if (processEvents) processEvents();
    if (!surface.endDoc()) return abbandona(surface);
    return {true, {}};
}
