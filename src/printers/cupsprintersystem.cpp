// libcups, one connection per call, each wait on the scheduler bounded by the call's deadline.
#include "printers/cupsprintersystem.h"

#include <cups/cups.h>
#include <dlfcn.h>
#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <optional>

#include "printers/joboptions.h"
#include "printers/printermessages.h"

namespace quarzello {

namespace {

// libcups is opened the first time the print service is asked anything: linked in, it and the
// libraries it pulls in (TLS, Kerberos, service discovery) would cost every start of the
// program some 2 ms and 3 MB before its window is shown, for what most runs never use.
// clang-format off
#define QUARZELLO_CUPS_FUNCTIONS(X) \
    X(httpConnect2) X(httpSetTimeout) X(httpClose) X(cupsServer) X(ippPort) X(cupsEncryption) \
    X(cupsUser) X(cupsLastError) X(cupsLastErrorString) X(httpAssembleURIf) X(ippNewRequest) \
    X(ippAddString) X(ippAddStrings) X(ippAddInteger) X(cupsDoRequest) X(ippDelete) \
    X(ippFindAttribute) X(ippGetString) X(ippGetInteger) X(ippGetBoolean) X(ippFirstAttribute) \
    X(ippNextAttribute) X(ippGetName) X(cupsAddOption) X(cupsEncodeOptions2) X(cupsFreeOptions) \
    X(cupsStartDocument) X(cupsWriteRequestData) X(cupsFinishDocument) X(httpGetFd) \
    X(ippGetCount) X(ippGetCollection)
// clang-format on

struct CupsLibrary {
#define QUARZELLO_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    QUARZELLO_CUPS_FUNCTIONS(QUARZELLO_CUPS_POINTER)
#undef QUARZELLO_CUPS_POINTER
    bool loaded = false;
};

const CupsLibrary& cups() {
    static const CupsLibrary library = [] {
        CupsLibrary opened;
        void* handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!handle) return opened;
#define QUARZELLO_CUPS_RESOLVE(name)                                           \
    opened.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
    if (!opened.name) return CupsLibrary{};
        QUARZELLO_CUPS_FUNCTIONS(QUARZELLO_CUPS_RESOLVE)
#undef QUARZELLO_CUPS_RESOLVE
        opened.loaded = true;
        return opened;
    }();
    return library;
}

const char* const kJobTitle = "Biglietti da visita";
// Between two looks at a followed job: at most ten a second.
constexpr qint64 kJobLookMs = 100;
// What a cancel of a job given up may take past the budget; less while the program closes.
constexpr qint64 kCancelMs = 2000, kCancelClosingMs = 300;

// A connection to the scheduler of the call's own; null when the scheduler cannot be reached.
//
// libcups 2.4.2 waits for a reply the connection's timeout once and then fails without asking
// the timeout callback again, and waits a second of its own for a document's go-ahead: a short
// timeout makes any slow reply fail. So each wait is given as long as a silence may last before
// the call must give up (never less than the free gap), and a silence that long is charged in
// full; shorter ones cost nothing. Giving up does not wait for the timeout: it shuts the
// connection down.
class Connection {
  public:
    explicit Connection(Deadline& deadline) : deadline_(deadline) {
        if (!cups().loaded) return;  // no libcups on this machine: no print service either
        QElapsedTimer took;
        took.start();
        const qint64 ms = std::clamp<qint64>(deadline.remainingMs(), 1, INT_MAX);
        http_ = cups().httpConnect2(cups().cupsServer(), cups().ippPort(), nullptr, AF_UNSPEC,
                                    cups().cupsEncryption(), 1, int(ms), deadline.connectCancel());
        deadline.charge(took.elapsed());
        if (!http_) return;
        beginStep();
        // A plain shutdown of the socket rather than httpShutdown(), which also tears down
        // TLS under the feet of the thread reading. The wait is also made short, should
        // libcups connect again on its own after the shutdown.
        deadline.setInterrupt([http = http_] {
            cups().httpSetTimeout(http, 0.01, keepWaiting, nullptr);
            ::shutdown(cups().httpGetFd(http), SHUT_RDWR);
        });
    }
    ~Connection() {
        deadline_.setInterrupt({});
        if (http_) cups().httpClose(http_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return http_; }

    // Before each request or piece of document: how long a silence may last from now.
    void beginStep() {
        waitMs_ = std::max<qint64>(deadline_.silenceAllowedMs(), 1);
        cups().httpSetTimeout(http_, double(waitMs_) / 1000.0, keepWaiting, this);
        step_.start();
        asked_ = false;
    }
    // After a step that failed: a step that ran into the timeout without libcups asking us was
    // a silence as long as the timeout.
    void stepFailed() {
        if (!asked_ && step_.elapsed() >= waitMs_) deadline_.charge(waitMs_);
    }

  private:
    // libcups asks this when the scheduler has been silent for the whole timeout.
    static int keepWaiting(http_t*, void* data) {
        auto* self = static_cast<Connection*>(data);
        if (!self) return 0;
        self->asked_ = true;
        self->deadline_.charge(self->waitMs_);
        return self->deadline_.passed() ? 0 : 1;
    }

    Deadline& deadline_;
    http_t* http_ = nullptr;
    qint64 waitMs_ = 0;
    QElapsedTimer step_;
    bool asked_ = false;
};

bool failed(ipp_status_t status) { return status >= IPP_STATUS_ERROR_BAD_REQUEST; }

// The queue of a "name/instance": instances are the client's own option sets.
QByteArray queueOf(const QString& name) { return name.section(QLatin1Char('/'), 0, 0).toUtf8(); }

QByteArray printerUri(const QString& name) {
    char uri[HTTP_MAX_URI];
    cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                            cups().ippPort(), "/printers/%s", queueOf(name).constData());
    return uri;
}

// Why a request about the named printer failed, from what libcups says and the deadline. Once
// the whole document reached the service, only a refusal in so many words says it will not
// print: a connection lost or a service gone may still print it.
Failure failureFor(const QString& name, const Deadline& deadline) {
    if (!cups().loaded) return {printServiceDownText(name)};
    const ipp_status_t status = cups().cupsLastError();
    if (deadline.passed()) return {printServiceSilentText(name, deadline.documentSent())};
    switch (status) {
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
            return {printerRefusesText(name)};
        case IPP_STATUS_ERROR_NOT_FOUND:
            return {printerGoneText(name)};
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        case IPP_STATUS_ERROR_INTERNAL:  // libcups's own word for a connection that failed
            return {printServiceSilentText(name, deadline.documentSent())};
        default:
            break;
    }
    // libcups keeps the last status even when a connection failed before any answer: never
    // show a "Success" next to a failure.
    const QString detail =
        failed(status) ? QString::fromUtf8(cups().cupsLastErrorString()) : QString();
    if (detail.isEmpty()) return {printServiceSilentText(name, deadline.documentSent())};
    return {printerFailedText(name, detail)};
}

QString textOf(ipp_t* response, const char* attribute) {
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, IPP_TAG_ZERO);
    const char* text = found ? cups().ippGetString(found, 0, nullptr) : nullptr;
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

int integerOf(ipp_t* response, const char* attribute, ipp_tag_t tag = IPP_TAG_ENUM) {
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, tag);
    return found ? cups().ippGetInteger(found, 0) : 0;
}

// Asks the scheduler; the answer, or nothing with cupsLastError() saying why.
ipp_t* ask(Connection& connection, ipp_t* request) {
    connection.beginStep();
    // cupsDoRequest frees the request; the answer is the caller's to free.
    ipp_t* response = cups().cupsDoRequest(connection.get(), request, "/");
    if (!response) connection.stepFailed();
    if (response && failed(cups().cupsLastError())) {
        cups().ippDelete(response);
        return nullptr;
    }
    return response;
}

ipp_t* printerRequest(ipp_op_t operation, const QString& name,
                      std::initializer_list<const char*> wanted) {
    ipp_t* request = cups().ippNewRequest(operation);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        printerUri(name).constData());
    cups().ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                         int(wanted.size()), nullptr, wanted.begin());
    return request;
}

QStringList keywordsOf(ipp_t* response, const char* attribute) {
    QStringList keywords;
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, IPP_TAG_KEYWORD);
    for (int i = 0; found && i < cups().ippGetCount(found); ++i)
        keywords << QString::fromUtf8(cups().ippGetString(found, i, nullptr));
    return keywords;
}

// Cancels a job given up before its document was whole, on a connection and with an allowance
// of its own: the budget is spent by then, and a closing program has less time still.
void cancelJob(const QString& name, int job, bool closing) {
    const qint64 ms = closing ? kCancelClosingMs : kCancelMs;
    Deadline allowance(ms, ms);
    Connection connection(allowance);
    if (!connection.get()) return;
    ipp_t* cancel = cups().ippNewRequest(IPP_OP_CANCEL_JOB);
    cups().ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        printerUri(name).constData());
    cups().ippAddInteger(cancel, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    cups().ippAddString(cancel, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                        cups().cupsUser());
    cups().ippDelete(ask(connection, cancel));
}

// One look at the job; its printer too when `withPrinter`. Nothing when the service did not
// answer.
std::optional<JobSnapshot> lookAt(Connection& connection, const QString& name, int job,
                                  bool withPrinter) {
    ipp_t* request = printerRequest(
        IPP_OP_GET_JOB_ATTRIBUTES, name,
        {"job-state", "job-state-reasons", "job-printer-state-message", "job-hold-until"});
    cups().ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ipp_t* jobAnswer = ask(connection, request);
    if (!jobAnswer) return std::nullopt;
    JobSnapshot snapshot;
    snapshot.jobState = integerOf(jobAnswer, "job-state");
    snapshot.jobReasons = keywordsOf(jobAnswer, "job-state-reasons");
    snapshot.jobMessage = textOf(jobAnswer, "job-printer-state-message");
    snapshot.holdUntil = textOf(jobAnswer, "job-hold-until");
    cups().ippDelete(jobAnswer);
    if (!withPrinter) return snapshot;

    ipp_t* printer =
        ask(connection, printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                                       {"printer-state", "printer-state-reasons",
                                        "printer-state-message", "printer-is-accepting-jobs"}));
    if (!printer) return std::nullopt;
    snapshot.printerState = integerOf(printer, "printer-state");
    snapshot.printerReasons = keywordsOf(printer, "printer-state-reasons");
    snapshot.printerMessage = textOf(printer, "printer-state-message");
    ipp_attribute_t* accepting =
        cups().ippFindAttribute(printer, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    snapshot.accepting = !accepting || cups().ippGetBoolean(accepting, 0);
    cups().ippDelete(printer);
    return snapshot;
}

// The sheet's own options and the printer's others (an instance's, as lp -d queue/instance
// sends them), as job attributes of the request.
void addJobOptions(ipp_t* request, const QString& name) {
    cups_option_t* options = nullptr;
    int count = 0;
    for (const JobOption& option : jobOptions(printerOptions(name, lpoptionsFiles())))
        count = cups().cupsAddOption(option.name.toUtf8().constData(),
                                     option.value.toUtf8().constData(), count, &options);
    cups().cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
    cups().cupsFreeOptions(count, options);
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
    const Failure silent{printerListSilentText()};
    PrinterList list;
    Connection connection(deadline);
    if (!connection.get()) {
        if (deadline.passed()) return silent;
        list.serviceDown = true;
        return list;
    }
    // Asked directly rather than through cupsGetDests(), which asks again and again on a
    // scheduler that does not answer, and in the end on a connection of its own with no limit.
    ipp_t* request = cups().ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                        nullptr, "printer-name");
    ipp_t* printers = cups().cupsDoRequest(connection.get(), request, "/");
    const ipp_status_t status = cups().cupsLastError();
    if (!printers && status != IPP_STATUS_ERROR_NOT_FOUND) {
        if (deadline.passed()) return silent;
        list.serviceDown = true;
        return list;
    }
    QStringList queues;
    for (ipp_attribute_t* a = cups().ippFirstAttribute(printers); a;
         a = cups().ippNextAttribute(printers)) {
        if (cups().ippGetName(a) && qstrcmp(cups().ippGetName(a), "printer-name") == 0)
            queues << QString::fromUtf8(cups().ippGetString(a, 0, nullptr));
    }
    cups().ippDelete(printers);

    QString serverDefault;
    if (ipp_t* answer = cups().cupsDoRequest(connection.get(),
                                             cups().ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/")) {
        serverDefault = textOf(answer, "printer-name");
        cups().ippDelete(answer);
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
        cups().ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    state.acceptingJobs = !accepting || cups().ippGetBoolean(accepting, 0);
    state.stopped = integerOf(response, "printer-state") == IPP_PSTATE_STOPPED;
    state.message = textOf(response, "printer-state-message");
    cups().ippDelete(response);
    return state;
}

Result<int> CupsPrinterSystem::submitJob(const QString& name, const QByteArray& pdf,
                                         Deadline& deadline) {
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    const QByteArray queue = queueOf(name);

    // Create-Job asked by hand: cupsCreateJob() first looks the printer up on connections of
    // its own, with no limit in time.
    ipp_t* create = cups().ippNewRequest(IPP_OP_CREATE_JOB);
    cups().ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        printerUri(name).constData());
    cups().ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                        cups().cupsUser());
    cups().ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, kJobTitle);
    addJobOptions(create, name);
    ipp_t* created = ask(connection, create);
    const int job = created ? integerOf(created, "job-id", IPP_TAG_INTEGER) : 0;
    cups().ippDelete(created);
    if (job == 0) return failureFor(name, deadline);

    connection.beginStep();
    bool written = cups().cupsStartDocument(connection.get(), queue.constData(), job, kJobTitle,
                                            CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype kChunk = 64 * 1024;
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

namespace {

// A4 in hundredths of a millimetre, with room for a printer that rounds its sizes.
constexpr int kA4Width = 21000, kA4Height = 29700, kSizeSlack = 100;

int memberOf(ipp_t* collection, const char* name) {
    ipp_attribute_t* found = cups().ippFindAttribute(collection, name, IPP_TAG_INTEGER);
    return found ? cups().ippGetInteger(found, 0) : -1;
}

// The margins of a media-col that describes A4 paper, in hundredths of a millimetre; none for
// another paper, or one whose margins are not all given.
std::optional<std::array<int, 4>> a4Margins(ipp_t* col) {
    ipp_attribute_t* size = cups().ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION);
    ipp_t* dimensions = size ? cups().ippGetCollection(size, 0) : nullptr;
    if (!dimensions || std::abs(memberOf(dimensions, "x-dimension") - kA4Width) > kSizeSlack ||
        std::abs(memberOf(dimensions, "y-dimension") - kA4Height) > kSizeSlack)
        return std::nullopt;
    const std::array<int, 4> margins = {
        memberOf(col, "media-left-margin"), memberOf(col, "media-right-margin"),
        memberOf(col, "media-top-margin"), memberOf(col, "media-bottom-margin")};
    if (*std::min_element(margins.begin(), margins.end()) < 0) return std::nullopt;
    return margins;
}

PrintableArea areaOf(const std::array<int, 4>& m) {
    return {true, m[0] / 100.0, m[1] / 100.0, m[2] / 100.0, m[3] / 100.0};
}

// The printable area of A4 from a printer's attributes. Of several A4 entries (a borderless one
// beside the ordinary one), the one with the widest margins: a job that asks for A4 and no
// margins of its own gets the ordinary one.
PrintableArea a4Area(ipp_t* printer) {
    std::optional<std::array<int, 4>> widest;
    for (const char* name : {"media-col-default", "media-col-database"}) {
        ipp_attribute_t* cols = cups().ippFindAttribute(printer, name, IPP_TAG_BEGIN_COLLECTION);
        for (int i = 0; cols && i < cups().ippGetCount(cols); ++i) {
            const auto margins = a4Margins(cups().ippGetCollection(cols, i));
            const auto total = [](const std::array<int, 4>& m) {
                return m[0] + m[1] + m[2] + m[3];
            };
            if (margins && (!widest || total(*margins) > total(*widest))) widest = margins;
        }
    }
    if (widest) return areaOf(*widest);

    // No media information: the margins the printer supports, the widest of each.
    std::array<int, 4> supported{};
    const char* names[] = {"media-left-margin-supported", "media-right-margin-supported",
                           "media-top-margin-supported", "media-bottom-margin-supported"};
    for (std::size_t side = 0; side < 4; ++side) {
        ipp_attribute_t* values = cups().ippFindAttribute(printer, names[side], IPP_TAG_INTEGER);
        if (!values || cups().ippGetCount(values) == 0) return {};
        supported[side] = -1;
        for (int i = 0; i < cups().ippGetCount(values); ++i)
            supported[side] = std::max(supported[side], cups().ippGetInteger(values, i));
    }
    return areaOf(supported);
}

}  // namespace

Result<PrintableArea> CupsPrinterSystem::printableArea(const QString& name, Deadline& deadline) {
    // Asked by hand: cupsCopyDestInfo sleeps and asks again on a busy scheduler, past any limit.
    Connection connection(deadline);
    if (!connection.get()) return failureFor(name, deadline);
    ipp_t* response =
        ask(connection,
            printerRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name,
                           {"media-col-default", "media-col-database",
                            "media-left-margin-supported", "media-right-margin-supported",
                            "media-top-margin-supported", "media-bottom-margin-supported"}));
    if (!response) return failureFor(name, deadline);
    const PrintableArea area = a4Area(response);
    cups().ippDelete(response);
    return area;
}

}  // namespace quarzello
