// A connection to the scheduler bounded by the call's deadline, and reading its answers.
#include "printers/cupsconnection.h"

#include <sys/socket.h>

#include <algorithm>
#include <climits>

#include "printers/printermessages.h"

namespace quarzello {

Connection::Connection(Deadline& deadline) : deadline_(deadline) {
    if (!cups().loaded) return;  // no libcups on this machine: no print service either
    QElapsedTimer took;
    took.start();
    const qint64 ms = std::clamp<qint64>(deadline.remainingMs(), 1, INT_MAX);
    http_ = cups().httpConnect2(cups().cupsServer(), cups().ippPort(), nullptr, AF_UNSPEC,
                                cups().cupsEncryption(), 1, int(ms), deadline.connectCancel());
    deadline.charge(took.elapsed());
    if (!http_) return;
    beginStep();
    // A plain shutdown of the socket rather than httpShutdown(), which also tears down TLS
    // under the feet of the thread reading. The wait is also made short, should libcups
    // connect again on its own after the shutdown.
    deadline.setInterrupt([http = http_] {
        cups().httpSetTimeout(http, 0.01, keepWaiting, nullptr);
        ::shutdown(cups().httpGetFd(http), SHUT_RDWR);
    });
}

Connection::~Connection() {
    deadline_.setInterrupt({});
    if (http_) cups().httpClose(http_);
}

void Connection::beginStep() {
    waitMs_ = std::max<qint64>(deadline_.silenceAllowedMs(), 1);
    cups().httpSetTimeout(http_, double(waitMs_) / 1000.0, keepWaiting, this);
    step_.start();
    asked_ = false;
}

void Connection::stepFailed() {
    if (!asked_ && step_.elapsed() >= waitMs_) deadline_.charge(waitMs_);
}

int Connection::keepWaiting(http_t*, void* data) {
    auto* self = static_cast<Connection*>(data);
    if (!self) return 0;
    self->asked_ = true;
    self->deadline_.charge(self->waitMs_);
    return self->deadline_.passed() ? 0 : 1;
}

bool failed(ipp_status_t status) { return status >= IPP_STATUS_ERROR_BAD_REQUEST; }

QByteArray queueOf(const QString& name) { return name.section(QLatin1Char('/'), 0, 0).toUtf8(); }

QByteArray printerUri(const QString& name) {
    char uri[HTTP_MAX_URI];
    cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                            cups().ippPort(), "/printers/%s", queueOf(name).constData());
    return uri;
}

// Once the whole document reached the service, only a refusal in so many words says it will
// not print: a connection lost or a service gone may still print it.
Failure failureFor(const QString& name, const Deadline& deadline) {
    if (!cups().loaded) return {printServiceDownText(name), Failure::Kind::ServiceDown};
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

IppPointer ask(Connection& connection, IppPointer request) {
    connection.beginStep();
    // cupsDoRequest frees the request.
    IppPointer response(cups().cupsDoRequest(connection.get(), request.release(), "/"));
    if (!response) connection.stepFailed();
    if (response && failed(cups().cupsLastError())) return nullptr;
    return response;
}

IppPointer printerRequest(ipp_op_t operation, const QString& name,
                          std::initializer_list<const char*> wanted) {
    IppPointer request(cups().ippNewRequest(operation));
    cups().ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        printerUri(name).constData());
    cups().ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                         int(wanted.size()), nullptr, wanted.begin());
    return request;
}

QString textOf(ipp_t* response, const char* attribute) {
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, IPP_TAG_ZERO);
    const char* text = found ? cups().ippGetString(found, 0, nullptr) : nullptr;
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

int integerOf(ipp_t* response, const char* attribute, ipp_tag_t tag) {
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, tag);
    return found ? cups().ippGetInteger(found, 0) : 0;
}

bool booleanOf(ipp_t* response, const char* attribute, bool otherwise) {
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, IPP_TAG_BOOLEAN);
    return found ? cups().ippGetBoolean(found, 0) != 0 : otherwise;
}

QStringList keywordsOf(ipp_t* response, const char* attribute) {
    QStringList keywords;
    ipp_attribute_t* found = cups().ippFindAttribute(response, attribute, IPP_TAG_KEYWORD);
    for (int i = 0; found && i < cups().ippGetCount(found); ++i)
        keywords << QString::fromUtf8(cups().ippGetString(found, i, nullptr));
    return keywords;
}

}  // namespace quarzello
