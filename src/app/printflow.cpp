// The print's steps. Everything that may wait on the print service goes through the waiter.
#include "app/printflow.h"

#include <QChar>
#include <functional>
#include <optional>
#include <utility>

#include "app/servicewaiter.h"
#include "print/gridtext.h"
#include "print/printsurface.h"
#include "print/sheet.h"
#include "printers/printermessages.h"
#include "printers/printersystem.h"

namespace quarzello {

namespace {

const QChar CR(13);
constexpr int kJobFollowMs = 5000;

QString preparationFailedText(const QString& why) {
    return QStringLiteral("La stampa non ha potuto essere preparata.") + CR + why;
}

// The sheet drawn into a document of the print service's kind, with the questions first.
std::optional<QByteArray> drawDocument(const CardRecord& record, const QString& target,
                                       PrinterSystem& printers, PrintConversation& talk,
                                       const std::function<bool()>& afterQuestions) {
    const std::unique_ptr<PrintSurface> surface = printers.newDocumentSurface(target);
    const Result<SheetPlan> plan = planSheet(*surface, record);
    if (!plan) {
        talk.fail(plan.error());
        return std::nullopt;
    }
    const QStringList shortened = shortenedLines(*plan);
    if (!shortened.isEmpty() && !talk.printShortened(shortened)) return std::nullopt;
    if (!afterQuestions()) return std::nullopt;

    talk.beforeDrawing();
    const Result<void> drawn = drawSheet(*surface, *plan);
    if (!drawn) {
        talk.fail(preparationFailedText(drawn.error()));
        return std::nullopt;
    }
    QByteArray document = surface->document();
    if (document.isEmpty()) {
        talk.fail(
            preparationFailedText(QStringLiteral("Il documento da stampare è risultato vuoto.")));
        return std::nullopt;
    }
    return document;
}

// The print service's answer to one call, or nothing when it did not answer in time, the wait
// was given up, or it answered with a failure; the user has then been told, unless they gave
// up themselves.
template <typename T>
std::optional<T> askService(ServiceWaiter& waiter, PrintConversation& talk, const QString& printer,
                            std::function<Result<T>(Deadline&)> call) {
    const std::optional<Result<T>> answer = waiter.run<Result<T>>(std::move(call));
    if (!answer) {
        if (!waiter.givenUp()) talk.fail(printServiceSilentText(printer, waiter.documentSent()));
        return std::nullopt;
    }
    if (!*answer) {
        talk.fail(answer->error());
        return std::nullopt;
    }
    return **answer;
}

}  // namespace

QString shortenedLinesQuestion(const QStringList& lines) {
    return QStringLiteral("Queste righe non entrano nel biglietto e saranno accorciate:") + CR +
           lines.join(CR) + CR + CR + QStringLiteral("Stampare comunque?");
}

QString stoppedPrinterText(const QString& printer, const QString& reason) {
    QString text = QStringLiteral(
                       "La stampante %1 è ferma: il lavoro resterà nella sua coda finché la "
                       "stampante non sarà riavviata.")
                       .arg(printer);
    if (!reason.isEmpty())
        text += CR + QStringLiteral("Motivo indicato dal servizio di stampa: ") + reason;
    return text;
}

QString waitingInStoppedQueueText(const QString& printer) {
    return QStringLiteral(
               "Il lavoro è nella coda della stampante %1, che è ferma: sarà stampato quando la "
               "stampante sarà riavviata.")
        .arg(printer);
}

QString noPrinterText(bool serviceDown) {
    const QString first =
        serviceDown
            ? QStringLiteral("Il servizio di stampa non risponde: non è possibile stampare.")
            : QStringLiteral("Nessuna stampante installata: non è possibile stampare.");
    return first + CR +
           QStringLiteral("Per ottenere un file PDF, scegliere \"%1\" nell'elenco.").arg(kPdfEntry);
}

int jobFollowMs() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("QUARZELLO_JOB_WAIT_MS", &ok);
    return ok && ms >= 0 ? ms : kJobFollowMs;
}

bool printOnPrinter(const CardRecord& record, const QString& printer, PrinterSystem& printers,
                    ServiceWaiter& waiter, PrintConversation& talk) {
    // Nothing is asked of the service for a grid that cannot print.
    if (const Result<Grid> grid = readGrid(record.rows, record.columns); !grid) {
        talk.fail(grid.error());
        return false;
    }
    const std::optional<QueueState> queue =
        askService<QueueState>(waiter, talk, printer, [&printers, printer](Deadline& deadline) {
            return printers.checkPrinter(printer, deadline);
        });
    if (!queue) return false;

    const std::optional<QByteArray> document = drawDocument(record, printer, printers, talk, [&] {
        return !queue->stopped || talk.sendToStoppedPrinter(printer, queue->message);
    });
    if (!document) return true;

    const QByteArray pdf = *document;
    const std::optional<int> job =
        askService<int>(waiter, talk, printer, [&printers, printer, pdf](Deadline& deadline) {
            return printers.submitJob(printer, pdf, deadline);
        });
    if (!job) return true;
    if (queue->stopped) {
        talk.done(waitingInStoppedQueueText(printer));
        return true;
    }

    // Followed until the service says the job is done or failed, or the time is up; what it
    // says then is what the user is told.
    const int id = *job;
    const std::optional<JobReport> report =
        askService<JobReport>(waiter, talk, printer, [&printers, printer, id](Deadline& deadline) {
            return printers.followJob(printer, id, jobFollowMs(), deadline);
        });
    if (!report) return true;
    if (report->warning)
        talk.fail(report->text);
    else
        talk.done(report->text);
    return true;
}

std::optional<QByteArray> pdfOfSheet(const CardRecord& record, const QString& target,
                                     PrinterSystem& printers, PrintConversation& talk) {
    return drawDocument(record, target, printers, talk, [] { return true; });
}

}  // namespace quarzello
