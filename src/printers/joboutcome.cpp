// The outcome of a job from job and printer states and reasons.
#include "printers/joboutcome.h"

#include <QRegularExpression>

#include "core/linebreak.h"
#include "printers/printermessages.h"

namespace quarzello {

namespace {

constexpr int kHeld = 4, kProcessingStopped = 6, kCanceled = 7, kAborted = 8, kCompleted = 9;
constexpr int kPrinterStopped = 5;

// The service's own words of the job, or of its printer.
QString serviceWords(const JobSnapshot& s) {
    return s.jobMessage.isEmpty() ? s.printerMessage : s.jobMessage;
}

QString withWords(QString text, const QString& words) {
    if (!words.isEmpty())
        text += CR + QStringLiteral("Messaggio del servizio di stampa: «%1»").arg(words);
    return text;
}

// What keeps the printer from printing, in words, from the state and the first reason in the way.
QString obstacle(const JobSnapshot& s) {
    if (s.printerState == kPrinterStopped) return QStringLiteral("la stampante è ferma");
    for (const QString& reason : s.printerReasons) {
        if (!reasonInTheWay(reason)) continue;
        const QString base = reason.section(QLatin1Char('-'), 0, -2);
        auto is = [&](const char* name) {
            return reason == QLatin1String(name) || base == QLatin1String(name);
        };
        if (is("paused") || is("moving-to-paused"))
            return QStringLiteral("la stampante è in pausa");
        if (is("offline") || reason == QLatin1String("offline-report") ||
            is("connecting-to-device") || is("timed-out") || is("shutdown"))
            return QStringLiteral("la stampante è spenta o non raggiungibile");
        if (is("media-empty") || is("media-needed")) return QStringLiteral("manca la carta");
        if (is("media-jam")) return QStringLiteral("la carta è inceppata");
        if (is("toner-empty") || is("marker-supply-empty"))
            return QStringLiteral("il toner o l'inchiostro è finito");
        if (is("cover-open") || is("door-open") || is("interlock-open"))
            return QStringLiteral("uno sportello della stampante è aperto");
        return QStringLiteral("la stampante segnala «%1»").arg(reason);
    }
    return QStringLiteral("il lavoro è stato fermato");
}

// When a job held until a time of day comes out, in words; empty when it is not such a time.
QString heldUntilText(const QString& hold) {
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,2}:\\d{2})(:\\d{2})?$"));
    if (const auto at = clock.match(hold); at.hasMatch())
        return QStringLiteral("alle %1 (ora UTC)").arg(at.captured(1));
    if (hold == QLatin1String("day-time")) return QStringLiteral("di giorno, dalle 6");
    if (hold == QLatin1String("evening")) return QStringLiteral("in serata, dalle 18");
    if (hold == QLatin1String("night")) return QStringLiteral("di notte, dalle 18");
    if (hold == QLatin1String("second-shift")) return QStringLiteral("al secondo turno, dalle 16");
    if (hold == QLatin1String("third-shift"))
        return QStringLiteral("al terzo turno, da mezzanotte");
    if (hold == QLatin1String("weekend")) return QStringLiteral("nel fine settimana");
    return QString();
}

}  // namespace

bool jobFinished(int jobState) { return jobState >= kCanceled; }

bool reasonInTheWay(const QString& reason) {
    if (reason.endsWith(QLatin1String("-error"))) return true;
    // CUPS's word for a printer that does not answer, although it is only a "report".
    if (reason == QLatin1String("offline-report")) return true;
    if (reason.endsWith(QLatin1String("-warning")) || reason.endsWith(QLatin1String("-report")))
        return false;
    // A reason without a severity is an error for IPP, but CUPS's own keywords tell how a job
    // goes, and supplies running low or trays filling up still print.
    if (reason.isEmpty() || reason == QLatin1String("none") ||
        reason.startsWith(QLatin1String("cups-")) || reason.contains(QLatin1String("-low")) ||
        reason.contains(QLatin1String("almost")) || reason.contains(QLatin1String("near-eol")))
        return false;
    return true;
}

JobReport decideOutcome(const QString& printer, int job, const JobSnapshot& s) {
    const QString words = serviceWords(s);
    if (s.jobState == kCompleted) return {JobOutcome::Printed, jobPrintedText(), false};
    if (s.jobState == kCanceled || s.jobState == kAborted) {
        QString reason = words;
        // The reasons are keywords, not words for a user: only a cancelled job is told apart.
        if (reason.isEmpty() && (s.jobState == kCanceled ||
                                 s.jobReasons.join(u' ').contains(QLatin1String("job-canceled"))))
            reason = QStringLiteral("il lavoro è stato annullato");
        if (reason.isEmpty())
            reason = QStringLiteral("il servizio di stampa ha interrotto il lavoro");
        return {JobOutcome::Failed, jobFailedText(printer, reason), true};
    }
    if (s.jobState == kHeld) {
        const QString when = heldUntilText(s.holdUntil);
        // The service's retry policy holds a job it could not send for a while, then retries.
        if (s.jobReasons.contains(QLatin1String("resources-are-not-ready")) || !when.isEmpty()) {
            const QString text =
                QStringLiteral(
                    "Il lavoro per la stampante %1 è trattenuto nella coda: il servizio di stampa "
                    "lo manderà alla stampante da sé %2.")
                    .arg(printer, when.isEmpty() ? QStringLiteral("fra poco") : when);
            return {JobOutcome::HeldUntil, withWords(text, words), true};
        }
        const QString text =
            QStringLiteral(
                "Il lavoro per la stampante %1 è trattenuto nella coda: sarà stampato solo quando "
                "verrà sbloccato (con «lp -i %1-%2 -H resume» o dalla coda di stampa).")
                .arg(printer)
                .arg(job);
        return {JobOutcome::HeldIndefinitely, withWords(text, words), true};
    }
    // A filter that failed stops the job (and, by the service's default policy, the queue): it
    // would fail again, not print once the printer is ready.
    if (s.jobState == kProcessingStopped &&
        s.jobReasons.contains(QLatin1String("job-completed-with-errors"))) {
        const QString reason =
            s.printerState == kPrinterStopped
                ? QStringLiteral(
                      "il servizio di stampa non è riuscito a prepararlo e ha fermato la coda "
                      "della stampante")
                : QStringLiteral(
                      "il servizio di stampa non è riuscito a prepararlo e lo ha fermato nella "
                      "coda");
        return {JobOutcome::Failed, withWords(jobFailedText(printer, reason), words), true};
    }
    bool inTheWay = s.jobState == kProcessingStopped || s.printerState == kPrinterStopped;
    for (const QString& reason : s.printerReasons) inTheWay = inTheWay || reasonInTheWay(reason);
    if (inTheWay) {
        const QString text =
            QStringLiteral(
                "La stampante %1 non è pronta (%2): il lavoro resta nella sua coda e sarà stampato "
                "quando la stampante sarà pronta (accesa, raggiungibile o riavviata).")
                .arg(printer, obstacle(s));
        return {JobOutcome::Waiting, withWords(text, words), true};
    }
    const QString text = QStringLiteral(
                             "Il lavoro è nella coda della stampante %1, ma non è ancora stato "
                             "stampato.")
                             .arg(printer);
    return {JobOutcome::Queued, withWords(text, words), false};
}

}  // namespace quarzello
