// libcups, one connection per call, each wait on the scheduler bounded by the call's deadline.
#include "printers/cupsprintersystem.h"

#include <cups/cups.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <climits>

#include "print/pdfsurface.h"
#include "printers/printermessages.h"

namespace quarzello {

namespace {

const char* const kJobTitle = "Biglietti da visita";
// How often a wait on the scheduler looks at the deadline, in seconds.
constexpr double kPatience = 0.2;

// libcups asks this whenever the scheduler has been silent for kPatience: go on waiting or not.
int keepWaiting(http_t*, void* deadline) {
    return static_cast<const Deadline*>(deadline)->passed() ? 0 : 1;
}

// A connection to the scheduler of the call's own; null when the scheduler cannot be reached.
class Connection {
  public:
    explicit Connection(Deadline& deadline) {
        int cancel = 0;
        const qint64 ms = std::clamp<qint64>(deadline.remainingMs(), 1, INT_MAX);
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             int(ms), &cancel);
        if (http_) httpSetTimeout(http_, kPatience, keepWaiting, &deadline);
    }
    ~Connection() { httpClose(http_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return http_; }

  private:
    http_t* http_ = nullptr;
};

bool failed(ipp_status_t status) { return status >= IPP_STATUS_ERROR_BAD_REQUEST; }

// The queue of a "name/instance": instances are the client's own option sets.
QByteArray queueOf(const QString& name) { return name.section(QLatin1Char('/'), 0, 0).toUtf8(); }

QByteArray printerUri(const QString& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queueOf(name).constData());
    return uri;
}

// Why a request about the named printer failed, from what libcups says and the deadline.
Failure failureFor(const QString& name, const Deadline& deadline) {
    const ipp_status_t status = cupsLastError();
    if (deadline.passed()) return {printServiceSilentText(name, deadline.documentSent())};
    switch (status) {
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
            return {printerRefusesText(name)};
        case IPP_STATUS_ERROR_NOT_FOUND:
            return {printerGoneText(name)};
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            return {printServiceDownText(name)};
        default:
            break;
    }
    // libcups keeps the last status even when a connection failed before any answer: never
    // show a "Success" next to a failure.
    const QString detail = failed(status) ? QString::fromUtf8(cupsLastErrorString()) : QString();
    if (detail.isEmpty()) return {printServiceDownText(name)};
    return {printerFailedText(name, detail)};
}

QString textOf(ipp_t* response, const char* attribute) {
    ipp_attribute_t* found = ippFindAttribute(response, attribute, IPP_TAG_ZERO);
    const char* text = found ? ippGetString(found, 0, nullptr) : nullptr;
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

int integerOf(ipp_t* response, const char* attribute, ipp_tag_t tag = IPP_TAG_ENUM) {
    ipp_attribute_t* found = ippFindAttribute(response, attribute, tag);
    return found ? ippGetInteger(found, 0) : 0;
}

// Asks the scheduler; the answer, or nothing with cupsLastError() saying why.
ipp_t* ask(Connection& connection, ipp_t* request) {
    // cupsDoRequest frees the request; the answer is the caller's to free.
    ipp_t* response = cupsDoRequest(connection.get(), request, "/");
    if (response && failed(cupsLastError())) {
        ippDelete(response);
        return nullptr;
    }
    return response;
}

ipp_t* printerRequest(ipp_op_t operation, const QString& name,
                      std::initializer_list<const char*> wanted) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri(name).constData());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(wanted.size()), nullptr, wanted.begin());
    return request;
}

// Why a job failed, in the service's words: its own message, the printer's, or its reasons.
QString reasonOf(ipp_t* job, ipp_t* printer) {
    QString reason = textOf(job, "job-printer-state-message");
    if (reason.isEmpty() && printer) reason = textOf(printer, "printer-state-message");
    if (reason.isEmpty()) reason = textOf(job, "job-state-reasons");
    if (reason.isEmpty()) reason = QStringLiteral("il servizio di stampa ha interrotto il lavoro");
    return reason;
}

// What the user set for printing on this machine: a default printer, and instances (a queue
// with options of its own, "queue/instance"), from the environment and the lpoptions files.
struct UserOptions {
    QString defaultName;
    QStringList instances;
};

void readLpoptions(const QString& path, UserOptions& options) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).simplified();
        const QString keyword = line.section(QLatin1Char(' '), 0, 0).toLower();
        const QString dest = line.section(QLatin1Char(' '), 1, 1);
        if (dest.isEmpty() ||
            (keyword != QLatin1String("dest") && keyword != QLatin1String("default")))
            continue;
        if (keyword == QLatin1String("default")) options.defaultName = dest;
        if (dest.contains(QLatin1Char('/')) && !options.instances.contains(dest))
            options.instances << dest;
    }
}

UserOptions readUserOptions() {
    UserOptions options;
    // The machine's settings first, then the user's own, which win.
    const QString serverRoot = qEnvironmentVariableIsSet("CUPS_SERVERROOT")
                                   ? qEnvironmentVariable("CUPS_SERVERROOT")
                                   : QStringLiteral("/etc/cups");
    readLpoptions(serverRoot + QStringLiteral("/lpoptions"), options);
    readLpoptions(QDir::homePath() + QStringLiteral("/.cups/lpoptions"), options);
    // The environment overrides both, as for every CUPS program.
    for (const char* variable : {"PRINTER", "LPDEST"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty() && value != QLatin1String("lp")) options.defaultName = value;
    }
    return options;
}

}  // namespace

Result<PrinterList> CupsPrinterSystem::listPrinters(Deadline& deadline) {
    const Failure silent{QStringLiteral(
        "Il servizio di stampa non risponde: l'elenco delle stampanti non è aggiornato.")};
    PrinterList list;
    Connection connection(deadline);
    if (!connection.get()) {
        if (deadline.passed()) return silent;
        list.serviceDown = true;
        return list;
    }
    // Asked directly rather than through cupsGetDests(), which asks again and again on a
    // scheduler that does not answer, and in the end on a connection of its own with no limit.
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    ipp_t* printers = cupsDoRequest(connection.get(), request, "/");
    const ipp_status_t status = cupsLastError();
    if (!printers && status != IPP_STATUS_ERROR_NOT_FOUND) {
        if (deadline.passed()) return silent;
        list.serviceDown = true;
        return list;
    }
    QStringList queues;
    for (ipp_attribute_t* a = ippFirstAttribute(printers); a; a = ippNextAttribute(printers)) {
        if (ippGetName(a) && qstrcmp(ippGetName(a), "printer-name") == 0)
            queues << QString::fromUtf8(ippGetString(a, 0, nullptr));
    }
    ippDelete(printers);

    QString serverDefault;
    if (ipp_t* answer =
            cupsDoRequest(connection.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/")) {
        serverDefault = textOf(answer, "printer-name");
        ippDelete(answer);
    } else if (deadline.passed()) {
        return silent;
    }

    const UserOptions user = readUserOptions();
    for (const QString& queue : queues) {
        list.names << queue;
        for (const QString& instance : user.instances)
            if (instance.section(QLatin1Char('/'), 0, 0) == queue) list.names << instance;
    }
    for (const QString& wanted : {user.defaultName, serverDefault}) {
        if (list.names.contains(wanted)) {
            list.defaultName = wanted;
            break;
        }
    }
    return list;
}

Result<QueueState> CupsPrinterSystem::queueState(const QString& name, Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    ipp_t* response = ask(connection, printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                                                     {"printer-is-accepting-jobs", "printer-state",
                                                      "printer-state-message"}));
    if (!response) return failureFor(name, deadline);
    QueueState state;
    ipp_attribute_t* accepting =
        ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    state.acceptingJobs = !accepting || ippGetBoolean(accepting, 0);
    state.stopped = integerOf(response, "printer-state") == IPP_PSTATE_STOPPED;
    state.message = textOf(response, "printer-state-message");
    ippDelete(response);
    return state;
}

Result<int> CupsPrinterSystem::submitJob(const QString& name, const QByteArray& pdf,
                                         Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const QByteArray queue = queueOf(name);

    // Create-Job asked by hand: cupsCreateJob() first looks the printer up on connections of
    // its own, with no limit in time.
    ipp_t* create = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri(name).constData());
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, kJobTitle);
    // The paper and sides a sheet of cards is printed with, as Qt has always sent them.
    cups_option_t* options = nullptr;
    int count = cupsAddOption("media", "A4", 0, &options);
    count = cupsAddOption("sides", "one-sided", count, &options);
    cupsEncodeOptions2(create, count, options, IPP_TAG_JOB);
    cupsFreeOptions(count, options);
    ipp_t* created = ask(connection, create);
    const int job = created ? integerOf(created, "job-id", IPP_TAG_INTEGER) : 0;
    ippDelete(created);
    if (job == 0) return failureFor(name, deadline);

    bool written = cupsStartDocument(connection.get(), queue.constData(), job, kJobTitle,
                                     CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype kChunk = 64 * 1024;
    for (qsizetype at = 0; written && at < pdf.size(); at += kChunk) {
        const size_t length = size_t(std::min(kChunk, pdf.size() - at));
        written = cupsWriteRequestData(connection.get(), pdf.constData() + at, length) ==
                  HTTP_STATUS_CONTINUE;
    }
    if (written) deadline.noteDocumentSent();
    const ipp_status_t finished = cupsFinishDocument(connection.get(), queue.constData());
    if (!written || failed(finished)) {
        const Failure why = failureFor(name, deadline);
        // A job without its whole document must not print half a sheet, nor wait for ever.
        if (!deadline.passed()) {
            Connection another(deadline);
            ipp_t* cancel = ippNewRequest(IPP_OP_CANCEL_JOB);
            ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                         printerUri(name).constData());
            ippAddInteger(cancel, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
            ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                         cupsUser());
            if (another.get())
                ippDelete(ask(another, cancel));
            else
                ippDelete(cancel);
        }
        return why;
    }
    return job;
}

Result<JobState> CupsPrinterSystem::jobState(const QString& name, int job, Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    ipp_t* request =
        printerRequest(IPP_OP_GET_JOB_ATTRIBUTES, name,
                       {"job-state", "job-state-reasons", "job-printer-state-message"});
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ipp_t* jobAnswer = ask(connection, request);
    if (!jobAnswer) return failureFor(name, deadline);
    ipp_t* printerAnswer =
        ask(connection, printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                                       {"printer-state", "printer-state-message"}));
    if (!printerAnswer && deadline.passed()) {
        ippDelete(jobAnswer);
        return failureFor(name, deadline);
    }

    JobState state;
    state.queueStopped =
        printerAnswer && integerOf(printerAnswer, "printer-state") == IPP_PSTATE_STOPPED;
    switch (integerOf(jobAnswer, "job-state")) {
        case IPP_JSTATE_COMPLETED:
            state.phase = JobPhase::Completed;
            break;
        case IPP_JSTATE_STOPPED:
        case IPP_JSTATE_CANCELED:
        case IPP_JSTATE_ABORTED:
            state.phase = JobPhase::Failed;
            break;
        default:
            state.phase = JobPhase::Waiting;
            break;
    }
    if (state.phase == JobPhase::Failed || state.queueStopped)
        state.reason = reasonOf(jobAnswer, printerAnswer);
    ippDelete(jobAnswer);
    ippDelete(printerAnswer);
    return state;
}

std::unique_ptr<PrintSurface> CupsPrinterSystem::newDocumentSurface(const QString& target) {
    return std::make_unique<PdfSurface>(target);
}

}  // namespace quarzello
