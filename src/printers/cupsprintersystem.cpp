// The print service through libcups: the printers, a queue's state, handing a job over and
// following it, each call on a connection of its own bounded by the call's deadline.
#include "printers/cupsprintersystem.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <algorithm>
#include <optional>

#include "printers/cupsconnection.h"
#include "printers/cupsprintablearea.h"
#include "printers/joboptions.h"
#include "printers/lpoptions.h"
#include "printers/printermessages.h"

namespace quarzello {

namespace {

const char* const kJobTitle = "Biglietti da visita";
// Between two looks at a followed job: at most ten a second.
constexpr qint64 kJobLookMs = 100;
// What a cancel of a job given up may take past the budget; less while the program closes.
constexpr qint64 kCancelMs = 2000, kCancelClosingMs = 300;

// Cancels a job given up before its document was whole, on a connection and with an allowance
// of its own: the budget is spent by then, and a closing program has less time still.
void cancelJob(const QString& name, int job, bool closing) {
    const qint64 ms = closing ? kCancelClosingMs : kCancelMs;
    Deadline allowance(ms, ms);
    Connection connection(allowance);
    if (!connection.get()) return;
    IppPointer cancel(cups().ippNewRequest(IPP_OP_CANCEL_JOB));
    cups().ippAddString(cancel.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        printerUri(name).constData());
    cups().ippAddInteger(cancel.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    cups().ippAddString(cancel.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name",
                        nullptr, cups().cupsUser());
    ask(connection, std::move(cancel));
}

// One look at the job; its printer too when `withPrinter`. Nothing when the service did not
// answer.
std::optional<JobSnapshot> lookAt(Connection& connection, const QString& name, int job,
                                  bool withPrinter) {
    IppPointer request = printerRequest(
        IPP_OP_GET_JOB_ATTRIBUTES, name,
        {"job-state", "job-state-reasons", "job-printer-state-message", "job-hold-until"});
    cups().ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    const IppPointer jobAnswer = ask(connection, std::move(request));
    if (!jobAnswer) return std::nullopt;
    JobSnapshot snapshot;
    snapshot.jobState = integerOf(jobAnswer.get(), "job-state");
    snapshot.jobReasons = keywordsOf(jobAnswer.get(), "job-state-reasons");
    snapshot.jobMessage = textOf(jobAnswer.get(), "job-printer-state-message");
    snapshot.holdUntil = textOf(jobAnswer.get(), "job-hold-until");
    if (!withPrinter) return snapshot;

    const IppPointer printer =
        ask(connection, printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                                       {"printer-state", "printer-state-reasons",
                                        "printer-state-message", "printer-is-accepting-jobs"}));
    if (!printer) return std::nullopt;
    snapshot.printerState = integerOf(printer.get(), "printer-state");
    snapshot.printerReasons = keywordsOf(printer.get(), "printer-state-reasons");
    snapshot.printerMessage = textOf(printer.get(), "printer-state-message");
    snapshot.accepting = booleanOf(printer.get(), "printer-is-accepting-jobs", true);
    return snapshot;
}

// The sheet's own options and the printer's others (an instance's, as lp -d queue/instance
// sends them), as job attributes of the request.
void addJobOptions(ipp_t* request, const QString& name, JobSides sides) {
    cups_option_t* options = nullptr;
    int count = 0;
    for (const JobOption& option : jobOptions(printerOptions(name, lpoptionsFiles()), sides))
        count = cups().cupsAddOption(option.name.toUtf8().constData(),
                                     option.value.toUtf8().constData(), count, &options);
    cups().cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
    cups().cupsFreeOptions(count, options);
}

}  // namespace

Result<PrinterList> CupsPrinterSystem::askPrinters(Deadline& deadline) {
    const Failure silent{printerListSilentText()};
    const Failure down{printerListDownText(), Failure::Kind::ServiceDown};
    Connection connection(deadline);
    if (!connection.get()) return deadline.passed() ? silent : down;
    // Asked directly rather than through cupsGetDests(), which asks again and again on a
    // scheduler that does not answer, and in the end on a connection of its own with no limit.
    IppPointer request(cups().ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    cups().ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                        nullptr, "printer-name");
    const IppPointer printers(cups().cupsDoRequest(connection.get(), request.release(), "/"));
    if (!printers && cups().cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
        return deadline.passed() ? silent : down;
    QStringList queues;
    for (ipp_attribute_t* a = cups().ippFirstAttribute(printers.get()); a;
         a = cups().ippNextAttribute(printers.get())) {
        if (cups().ippGetName(a) && qstrcmp(cups().ippGetName(a), "printer-name") == 0)
            queues << QString::fromUtf8(cups().ippGetString(a, 0, nullptr));
    }

    QString serverDefault;
    if (const IppPointer answer(cups().cupsDoRequest(
            connection.get(), cups().ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
        answer)
        serverDefault = textOf(answer.get(), "printer-name");
    else if (deadline.passed())
        return silent;

    // Instances are listed under their queue's name as the service spells it.
    const UserDestinations user = userDestinations(lpoptionsFiles());
    PrinterList list;
    for (const QString& queue : queues) {
        list.names << queue;
        for (const QString& instance : user.instances)
            if (sameDestination(queue, instance.section(QLatin1Char('/'), 0, 0)))
                list.names << queue + QLatin1Char('/') + instance.section(QLatin1Char('/'), 1);
    }
    for (const QString& wanted : {user.defaultName, serverDefault}) {
        const auto listed =
            std::find_if(list.names.cbegin(), list.names.cend(),
                         [&](const QString& name) { return sameDestination(name, wanted); });
        if (!wanted.isEmpty() && listed != list.names.cend()) {
            list.defaultName = *listed;
            break;
        }
    }
    return list;
}

Result<QueueState> CupsPrinterSystem::queueState(const QString& name, Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const IppPointer response = ask(
        connection,
        printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                       {"printer-is-accepting-jobs", "printer-state", "printer-state-message"}));
    if (!response) return failureFor(name, deadline);
    QueueState state;
    state.acceptingJobs = booleanOf(response.get(), "printer-is-accepting-jobs", true);
    state.stopped = integerOf(response.get(), "printer-state") == IPP_PSTATE_STOPPED;
    state.message = textOf(response.get(), "printer-state-message");
    return state;
}

Result<int> CupsPrinterSystem::submitJob(const QString& name, const QByteArray& pdf,
                                         Deadline& deadline, JobSides sides) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const QByteArray queue = queueOf(name);

    // Create-Job asked by hand: cupsCreateJob() first looks the printer up on connections of
    // its own, with no limit in time.
    IppPointer create(cups().ippNewRequest(IPP_OP_CREATE_JOB));
    cups().ippAddString(create.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        printerUri(name).constData());
    cups().ippAddString(create.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name",
                        nullptr, cups().cupsUser());
    cups().ippAddString(create.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                        kJobTitle);
    addJobOptions(create.get(), name, sides);
    const IppPointer created = ask(connection, std::move(create));
    const int job = created ? integerOf(created.get(), "job-id", IPP_TAG_INTEGER) : 0;
    if (job == 0) return failureFor(name, deadline);

    connection.beginStep();
    bool written = cups().cupsStartDocument(connection.get(), queue.constData(), job, kJobTitle,
                                            CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype kChunk = qsizetype(64) * 1024;
    for (qsizetype at = 0; written && at < pdf.size() && !deadline.passed(); at += kChunk) {
        const size_t length = size_t(std::min(kChunk, pdf.size() - at));
        connection.beginStep();
        written = cups().cupsWriteRequestData(connection.get(), pdf.constData() + at, length) ==
                  HTTP_STATUS_CONTINUE;
    }
    if (!written) connection.stepFailed();
    // Once the one waiting has told the user that nothing was printed, the document stays
    // unfinished, and the service drops the job.
    written = written && !deadline.passed() && deadline.noteDocumentSent();
    if (written) connection.beginStep();
    const ipp_status_t finished =
        written ? cups().cupsFinishDocument(connection.get(), queue.constData()) : IPP_STATUS_OK;
    if (written && failed(finished)) connection.stepFailed();
    if (!written || failed(finished)) {
        const Failure why = failureFor(name, deadline);
        // A job the user is told will not print must not print, nor wait for ever with half a
        // document.
        if (!deadline.documentSent()) cancelJob(name, job, deadline.givenUp());
        return why;
    }
    return job;
}

Result<JobReport> CupsPrinterSystem::followJob(const QString& name, int job, qint64 followMs,
                                               Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const QDeadlineTimer following(std::max<qint64>(followMs, 0));
    for (;;) {
        QElapsedTimer look;
        look.start();
        const bool last = following.hasExpired();
        std::optional<JobSnapshot> snapshot = lookAt(connection, name, job, last);
        if (!snapshot) return failureFor(name, deadline);
        // The printer's state matters only to a job that did not come out.
        if (jobFinished(snapshot->jobState) && snapshot->jobState != IPP_JSTATE_COMPLETED && !last)
            snapshot = lookAt(connection, name, job, true);
        if (!snapshot) return failureFor(name, deadline);
        if (last || jobFinished(snapshot->jobState)) return decideOutcome(name, job, *snapshot);
        const qint64 rest = std::min(kJobLookMs - look.elapsed(), following.remainingTime());
        if (!deadline.pause(rest)) return failureFor(name, deadline);
    }
}

Result<PrintableArea> CupsPrinterSystem::printableArea(const QString& name, Deadline& deadline) {
    // Asked by hand: cupsCopyDestInfo sleeps and asks again on a busy scheduler, past any limit.
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const IppPointer response =
        ask(connection, printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                                       {"media-col-default", "media-col-database"}));
    if (!response) return failureFor(name, deadline);
    return a4PrintableArea(response.get());
}

Result<bool> CupsPrinterSystem::printsTwoSided(const QString& name, Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const IppPointer response =
        ask(connection, printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name, {"sides-supported"}));
    if (!response) return failureFor(name, deadline);
    const QStringList sides = keywordsOf(response.get(), "sides-supported");
    return std::any_of(sides.cbegin(), sides.cend(), [](const QString& side) {
        return side.startsWith(QLatin1String("two-sided-"));
    });
}

}  // namespace quarzello
