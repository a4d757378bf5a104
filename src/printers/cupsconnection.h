// One connection to the scheduler per call, each wait on it bounded by the call's deadline, and
// the requests and answers that travel on it.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <initializer_list>

#include "core/result.h"
#include "printers/cupslibrary.h"
#include "printers/deadline.h"

namespace quarzello {

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
    explicit Connection(Deadline& deadline);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return http_; }

    // Before each request or piece of document: how long a silence may last from now.
    void beginStep();
    // After a step that failed: a step that ran into the timeout without libcups asking us was
    // a silence as long as the timeout.
    void stepFailed();

  private:
    // libcups asks this when the scheduler has been silent for the whole timeout.
    static int keepWaiting(http_t*, void* data);

    Deadline& deadline_;
    http_t* http_ = nullptr;
    qint64 waitMs_ = 0;
    QElapsedTimer step_;
    bool asked_ = false;
};

bool failed(ipp_status_t status);
// The queue of a "name/instance": instances are the client's own option sets.
QByteArray queueOf(const QString& name);
QByteArray printerUri(const QString& name);

// Why a request about the named printer failed, from what libcups says and the deadline.
Failure failureFor(const QString& name, const Deadline& deadline);

// Asks the scheduler; the answer, or nothing with cupsLastError() saying why.
IppPointer ask(Connection& connection, IppPointer request);
// A request about the named printer, for these of its attributes.
IppPointer printerRequest(ipp_op_t operation, const QString& name,
                          std::initializer_list<const char*> wanted);

QString textOf(ipp_t* response, const char* attribute);
int integerOf(ipp_t* response, const char* attribute, ipp_tag_t tag = IPP_TAG_ENUM);
bool booleanOf(ipp_t* response, const char* attribute, bool otherwise);
QStringList keywordsOf(ipp_t* response, const char* attribute);

}  // namespace quarzello
