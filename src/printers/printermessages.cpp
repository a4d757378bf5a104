// The Italian texts that tell the user why a printer did not print.
#include "printers/printermessages.h"

namespace quarzello {

QString printerGoneText(const QString& name) {
    return QStringLiteral("La stampante %1 non è più disponibile: il lavoro non è stato stampato.")
        .arg(name);
}

QString printerUnknownText(const QString& name) {
    return QStringLiteral(
               "La stampante %1 non esiste: il lavoro non è stato stampato (le stampanti "
               "installate sono quelle elencate da --stampanti).")
        .arg(name);
}

QString printerRefusesText(const QString& name) {
    return QStringLiteral("La stampante %1 non accetta stampe: il lavoro è stato rifiutato.")
        .arg(name);
}

QString printServiceDownText(const QString& name) {
    return QStringLiteral(
               "Il servizio di stampa non risponde: il lavoro per la stampante %1 non è stato "
               "stampato.")
        .arg(name);
}

QString printServiceSilentText(const QString& name, bool documentSent) {
    if (!documentSent) return printServiceDownText(name);
    return QStringLiteral(
               "Il servizio di stampa non risponde più: il lavoro per la stampante %1 gli è stato "
               "consegnato e potrebbe essere stampato quando tornerà a rispondere.")
        .arg(name);
}

QString printerListDownText() {
    return QStringLiteral(
        "Il servizio di stampa non risponde: non è possibile sapere quali stampanti sono "
        "installate.");
}

QString printerListSilentText() {
    return QStringLiteral(
        "Il servizio di stampa non risponde: l'elenco delle stampanti non è aggiornato.");
}

QString jobFailedText(const QString& name, const QString& reason) {
    QString text =
        QStringLiteral("La stampante %1 non ha stampato il lavoro: %2").arg(name, reason);
    if (!text.endsWith(u'.') && !text.endsWith(u'!') && !text.endsWith(u'?')) text += u'.';
    return text;
}

QString jobPrintedText() { return QStringLiteral("Stampa conclusa"); }

QString printerFailedText(const QString& name, const QString& detail) {
    return QStringLiteral("La stampante %1 non ha accettato il lavoro (%2).").arg(name, detail);
}

}  // namespace quarzello
