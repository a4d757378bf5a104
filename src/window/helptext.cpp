// The help panel's text, built anew at every press of the help button.
#include "window/helptext.h"

#include <QStringList>

#include "core/windowtitle.h"

namespace quarzello {

QString helpText() {
    const QStringList paragraphs = {
        QStringLiteral("Benvenuto nel programma di stampa dei ") + kWindowTitle + u'.',
        QStringLiteral("BREVI ISTRUZIONI:"),
        QStringLiteral("Immettere i dati personali, salvarli per riaverli al prossimo riavvio del "
                       "programma."),
        QStringLiteral("E' possibile salvare e caricare versioni con dati personali diversi "
                       "(Carica e Salva)."),
        // The lists offer up to 4 columns and 8 rows, the grids this text names; a grid typed by
        // hand prints up to 21 columns and 19 rows (print/gridtext.h), which the text leaves
        // unsaid.
        QStringLiteral("Indicare anche il numero delle righe e colonne che si desidera per ogni "
                       "pagina in formato A4: da 1 a 32 biglietti per pagina (da 1 colonna/1 riga "
                       "a 4 colonne/8 righe)."),
        QStringLiteral("Portando il cursore su ogni campo, appare una brevissima descrizione del "
                       "dato."),
        QStringLiteral("Nessun campo è obbligatorio! Quelli non inseriti non vengono presi in "
                       "considerazione e non sono lasciate righe bianche nella stampa."),
        QStringLiteral("E-mail e indirizzo http: sono stampati comunque in minuscolo."),
        QStringLiteral("Campi telef. fisso e cell.: ammesso carattere '+' solo a inizio campo con "
                       "campo vuoto."),
        QStringLiteral("Carta: A4 da tagliare, o una carta prefustellata per biglietti da visita; "
                       "su una carta prefustellata righe e colonne sono quelle della carta."),
        QStringLiteral("Codice QR: stampa su ogni biglietto un codice con i dati personali come "
                       "contatto; inquadrato con il telefono, li aggiunge alla rubrica."),
        QStringLiteral("Anteprima: mostra accanto ai dati il foglio come sarà stampato; premuto di "
                       "nuovo, lo nasconde."),
        QStringLiteral("Regola la posizione… (nel riquadro di scelta della stampante): se la "
                       "stampante stampa spostato, indicare di quanto spostare il foglio; il "
                       "foglio di prova aiuta a misurarlo."),
        QStringLiteral("Dalla tastiera: Tab passa al campo seguente, Maiusc+Tab al precedente; Alt "
                       "con la lettera sottolineata preme il pulsante (Alt+S Stampa, Alt+L Salva, "
                       "Alt+C Carica, Alt+E Esci, Alt+Q Codice QR, Alt+A Anteprima); F1 mostra "
                       "queste istruzioni. Nel riquadro di scelta della stampante le frecce "
                       "scelgono la stampante, Invio o Alt+S stampa, Alt+P regola la posizione, "
                       "Esc o Alt+R rinuncia."),
        QStringLiteral("Per chiudere queste istruzioni: clic sul testo, o il tasto Esc."),
    };
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

}  // namespace quarzello
