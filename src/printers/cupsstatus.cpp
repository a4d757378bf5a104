// The two questions the program asks CUPS directly, because Qt does not pass on the answers.
#include "printers/cupsstatus.h"

#include <cups/cups.h>

#include "printers/printermessages.h"

namespace quarzello {

namespace {

QString textFor(ipp_status_t status, const QString& name) {
    switch (status) {
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
            return printerRefusesText(name);
        case IPP_STATUS_ERROR_NOT_FOUND:
            return printerGoneText(name);
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            return printServiceDownText(name);
        default:
            return printerFailedText(name, QString::fromUtf8(cupsLastErrorString()));
    }
}

bool failed(ipp_status_t status) { return status >= IPP_STATUS_ERROR_BAD_REQUEST; }

}  // namespace

Result<QueueState> queryQueue(const QString& name) {
    // Instances are client-side option sets: the scheduler only knows the queue.
    const QByteArray queue = name.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    if (queue.isEmpty()) return Failure{printerGoneText(name)};

    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                  wanted);

    // cupsDoRequest frees the request; the answer is ours to free.
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    const ipp_status_t status = cupsLastError();
    if (!response || failed(status)) {
        ippDelete(response);
        return Failure{textFor(status, name)};
    }
    QueueState state;
    ipp_attribute_t* accepting =
        ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    if (accepting && !ippGetBoolean(accepting, 0)) state.acceptingJobs = false;
    ippDelete(response);
    return state;
}

Result<void> queueTakesJobs(const QString& name) {
    const Result<QueueState> queue = queryQueue(name);
    if (!queue) return queue.failure();
    if (!queue->acceptingJobs) return Failure{printerRefusesText(name)};
    return {};
}

Result<void> submittedJobStatus(const QString& name) {
    // Qt sends the job with cupsPrintFile() as the last thing QPainter::end() does and drops its
    // result; libcups keeps the status of its last request per thread, so on this thread it is
    // the scheduler's answer to that job. (Qt sends nothing only when its QPrinter found no
    // queue when it was made, and QtPrinterSystem hands out no such surface.)
    const ipp_status_t status = cupsLastError();
    if (!failed(status)) return {};
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS || status == IPP_STATUS_ERROR_NOT_FOUND ||
        status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return Failure{textFor(status, name)};
    // libcups reports some refusals only vaguely (a queue deleted after the QPrinter was made
    // comes back as an internal error, "No such file or directory"): the queue's state now
    // tells the user more.
    const QString detail = QString::fromUtf8(cupsLastErrorString());
    const Result<void> queue = queueTakesJobs(name);
    if (!queue) return queue;
    return Failure{printerFailedText(name, detail)};
}

}  // namespace quarzello
