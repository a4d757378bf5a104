// The print's steps. Everything that may wait on the print service goes through the waiter.
#include "flows/printflow.h"

#include <QChar>
#include <QElapsedTimer>
#include <functional>
#include <optional>
#include <utility>

#include "core/linebreak.h"
#include "flows/servicewaiter.h"
#include "platform/marginmemory.h"
#include "print/pdfsurface.h"
#include "print/printsurface.h"
#include "printers/joboutcome.h"
#include "printers/printermessages.h"
#include "printers/printersystem.h"

namespace quarzello {

namespace {

// One print on one printer, a step at a time: each step starts when the service has answered
// the one before, so that the window goes on meanwhile.
class PrintRun : public std::enable_shared_from_this<PrintRun> {
  public:
    PrintRun(JobRequest request, BackDelivery backs, DocumentMaker makeDocument,
             ServiceWaiter& waiter, PrintConversation& talk,
             std::function<void(PrintOutcome)> finished)
        : request_(std::move(request)),
          delivery_(backs),
          makeDocument_(std::move(makeDocument)),
          waiter_(waiter),
          talk_(talk),
          finished_(std::move(finished)) {}

    void start() {
        ask<QueueState>(
            [printers = &request_.printers, name = request_.printer](Deadline& deadline) {
                return printers->checkPrinter(name, deadline);
            },
            [self = shared_from_this()](const QueueState& queue) { self->checked(queue); });
    }

  private:
    // Making the printer ready ends with where on the paper it can print; backs by the printer
    // first ask whether it prints both sides.
    void checked(const QueueState& queue) {
        outcome_.printerReady = true;
        queue_ = queue;
        if (delivery_ != BackDelivery::ByPrinter) return askArea();
        ask<bool>([printers = &request_.printers, name = request_.printer](
                      Deadline& deadline) { return printers->printsTwoSided(name, deadline); },
                  [self = shared_from_this()](const bool& twoSided) {
                      if (!twoSided) {
                          if (!self->request_.byHandWhenOneSided) {
                              self->talk_.fail(noTwoSidedText(self->request_.printer));
                              self->outcome_.oneSidedPrinter = true;
                              return self->end(PrintEnd::NotSent);
                          }
                          self->delivery_ = BackDelivery::ByHand;
                      }
                      self->askArea();
                  });
    }

    void askArea() {
        ask<PrintableArea>(
            [printers = &request_.printers, name = request_.printer](Deadline& deadline) {
                return printers->printableArea(name, deadline);
            },
            [self = shared_from_this()](const PrintableArea& area) { self->ready(area); });
    }

    void ready(const PrintableArea& area) {
        const QueueState& queue = queue_;
        std::optional<JobDocuments> documents = makeDocument_(
            area,
            [&] {
                return !queue.stopped ||
                       talk_.sendToStoppedPrinter(request_.printer, queue.message);
            },
            delivery_);
        if (!documents) return end(PrintEnd::NotSent);
        JobSides sides = JobSides::OneSided;
        if (documents->bothSides)
            sides =
                *documents->bothSides == TurnEdge::Short ? JobSides::ShortEdge : JobSides::LongEdge;
        backs_ = std::move(documents->backs);
        sheets_ = documents->sheets;
        submit(std::move(documents->document), sides);
    }

    void submit(QByteArray document, JobSides sides) {
        ask<int>(
            [printers = &request_.printers, name = request_.printer, pdf = std::move(document),
             sides](Deadline& deadline) { return printers->submitJob(name, pdf, deadline, sides); },
            [self = shared_from_this()](int job) { self->submitted(job); });
    }

    void submitted(int job) {
        if (queue_.stopped) {
            talk_.done(waitingInStoppedQueueText(request_.printer));
            return end(PrintEnd::Pending);
        }
        // Followed until the service says the job is done or failed, or the time is up; what
        // it says then is what the user is told.
        ask<JobReport>(
            [printers = &request_.printers, name = request_.printer, job,
             followMs = request_.followMs](Deadline& deadline) {
                return printers->followJob(name, job, followMs, deadline);
            },
            [self = shared_from_this()](const JobReport& report) { self->followed(report); });
    }

    void followed(const JobReport& report) {
        // The fronts of a print by hand printed: their closing word waits for the backs.
        if (backs_ && report.outcome == JobOutcome::Printed) {
            if (report.warning) talk_.fail(report.text);
            return frontsPrinted();
        }
        if (report.warning)
            talk_.fail(report.text);
        else
            talk_.done(report.text);
        switch (report.outcome) {
            case JobOutcome::Printed:
                return end(PrintEnd::Printed);
            case JobOutcome::Failed:
                return end(PrintEnd::Failed);
            default:
                return end(PrintEnd::Pending);
        }
    }

    // The user puts the printed sheets back in the tray; on their yes the backs go as a second
    // job, followed as the first was.
    void frontsPrinted() {
        const std::function<std::optional<QByteArray>()> backs = std::exchange(backs_, nullptr);
        if (!talk_.printBacks(request_.printer, request_.duplex, sheets_))
            return end(PrintEnd::FrontsOnly);
        std::optional<QByteArray> document = backs();
        if (!document) return end(PrintEnd::FrontsOnly);
        submit(std::move(*document), JobSides::OneSided);
    }

    // Asks the service; `next` gets the answer. A silence, a refusal or the waiting given up
    // ends the print, the user told unless they gave up themselves.
    template <typename T>
    void ask(std::function<Result<T>(Deadline&)> call, std::function<void(const T&)> next) {
        waiter_.call<Result<T>>(
            std::move(call),
            [self = shared_from_this(), next = std::move(next)](std::optional<Result<T>> answer) {
                if (answer && *answer) return next(**answer);
                ServiceWaiter& waiter = self->waiter_;
                if (!answer && !waiter.givenUp())
                    self->talk_.fail(
                        printServiceSilentText(self->request_.printer, waiter.documentSent()));
                else if (answer)
                    self->talk_.fail(answer->error());
                self->end(waiter.documentSent() ? PrintEnd::Unknown : PrintEnd::NotSent);
            });
    }

    void end(PrintEnd how) {
        outcome_.end = how;
        // Fronts handed over whose backs never went: said, whatever became of the fronts.
        if ((backs_ || how == PrintEnd::FrontsOnly) && waiter_.documentSent() && !waiter_.givenUp())
            talk_.fail(backsNotPrintedText(request_.printer));
        backs_ = nullptr;
        for (const QString& text : talk_.takeAfterwards()) talk_.fail(text);
        if (finished_) std::exchange(finished_, nullptr)(outcome_);
    }

    JobRequest request_;
    BackDelivery delivery_;
    DocumentMaker makeDocument_;
    ServiceWaiter& waiter_;
    PrintConversation& talk_;
    std::function<void(PrintOutcome)> finished_;
    QueueState queue_;
    PrintOutcome outcome_;
    // By hand: the backs still to be made and sent once the fronts printed.
    std::function<std::optional<QByteArray>()> backs_;
    int sheets_ = 0;
};

}  // namespace

QString preparationFailedText(const QString& why) {
    return QStringLiteral("La stampa non ha potuto essere preparata.") + CR + why;
}

std::optional<QByteArray> finishedDocument(const Result<void>& drawn, PrintSurface& surface,
                                           PrintConversation& talk) {
    if (!drawn) {
        talk.fail(preparationFailedText(drawn.error()));
        return std::nullopt;
    }
    QByteArray document = surface.document();
    if (document.isEmpty()) {
        talk.fail(
            preparationFailedText(QStringLiteral("Il documento da stampare è risultato vuoto.")));
        return std::nullopt;
    }
    return document;
}

QString noTwoSidedText(const QString& printer) {
    return QStringLiteral(
               "La stampante %1 non stampa da sola sui due lati del foglio: per stampare il "
               "retro scegliere la stampa manuale (il fronte, poi i fogli rimessi nel vassoio "
               "e il retro; sulla riga di comando: --fronte-retro manuale).")
        .arg(printer);
}

QString printBacksQuestion(const QString& printer, const DuplexSetting& duplex, int sheets) {
    const QString edge =
        duplex.edge == TurnEdge::Short ? QStringLiteral("corto") : QStringLiteral("lungo");
    const QString printed =
        sheets == 1 ? QStringLiteral("Il fronte del foglio è stato stampato")
                    : QStringLiteral("Il fronte dei %1 fogli è stato stampato").arg(sheets);
    return printed + QStringLiteral(" sulla stampante %1.").arg(printer) + CR +
           QStringLiteral(
               "Rimettere i fogli stampati nel vassoio, girati sul lato %1, così come sono "
               "usciti, per stampare il retro.")
               .arg(edge) +
           CR + CR + QStringLiteral("Stampare il retro?");
}

QString backsNotPrintedText(const QString& printer) {
    return QStringLiteral("Il retro dei fogli non è stato stampato sulla stampante %1.")
        .arg(printer);
}

QString shortenedLinesQuestion(const QStringList& lines) {
    return QStringLiteral("Queste righe non entrano nel biglietto e saranno accorciate:") + CR +
           lines.join(CR) + CR + CR + QStringLiteral("Stampare comunque?");
}

namespace {

QString gridWords(const Grid& grid) {
    return QStringLiteral("%1 %2 e %3 %4")
        .arg(grid.columns)
        .arg(grid.columns == 1 ? QStringLiteral("colonna") : QStringLiteral("colonne"))
        .arg(grid.rows)
        .arg(grid.rows == 1 ? QStringLiteral("riga") : QStringLiteral("righe"));
}

}  // namespace

QString qrDoesNotFitText(const SheetPaper& paper) {
    if (paper.stock)
        return QStringLiteral("Sui biglietti di %1 il codice QR non entra.")
            .arg(paper.stock->name());
    return QStringLiteral("Con %1 il codice QR non entra nei biglietti.")
        .arg(gridWords(paper.grid));
}

QString qrOnProductText() {
    return QStringLiteral(
        "Per avere il codice QR scegliere un'altra carta, con biglietti più "
        "grandi.");
}

QString qrLargestGridText(const std::optional<Grid>& grid) {
    if (!grid) return QStringLiteral("Il codice QR di questi dati non entra in nessuna griglia.");
    return QStringLiteral("Il codice QR entra al massimo con %1.").arg(gridWords(*grid));
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

SurfaceFactory pdfDocuments() {
    return [](const QString& target) { return std::make_unique<PdfSurface>(target); };
}

std::optional<double> scaleForMargins(const MarginLoss& loss, const QString& printer,
                                      const PrintableArea& area, MarginMemory* memory,
                                      PrintConversation& talk) {
    if (loss.fits()) return 1.0;
    const MarginReply reply = talk.printOutsideMargins(
        printer, loss, area, memory ? memory->recalled(printer) : std::nullopt);
    if (reply.choice == MarginChoice::Cancel) return std::nullopt;
    if (reply.remember && memory)
        if (const Result<void> kept = memory->remember(printer, reply.choice); !kept)
            talk.tellAfterwards(kept.error());
    return reply.choice == MarginChoice::Reduce ? loss.factor() : 1.0;
}

void printDocumentOnPrinter(JobRequest request, BackDelivery backs, DocumentMaker makeDocument,
                            ServiceWaiter& waiter, PrintConversation& talk,
                            std::function<void(PrintOutcome)> finished) {
    std::make_shared<PrintRun>(std::move(request), backs, std::move(makeDocument), waiter, talk,
                               std::move(finished))
        ->start();
}

}  // namespace quarzello
