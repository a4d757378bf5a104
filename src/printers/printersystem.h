// The print service: its printers, a queue's state, handing a job over and following it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

#include "core/printablearea.h"
#include "core/result.h"
#include "printers/deadline.h"
#include "printers/joboptions.h"
#include "printers/joboutcome.h"

namespace quarzello {

struct PrinterList {
    QStringList names;    // device names, in the order the service gives them
    QString defaultName;  // the system's default printer, or empty
};

struct QueueState {
    bool acceptingJobs = true;
    bool stopped = false;  // paused by hand, or stopped after an error
    QString message;       // what the service says of the printer's state, when anything
};

class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;

    // The calls below may wait on the print service. They are made on a thread of their own,
    // never on the window's, and wait no longer than the deadline; a failure's text names the
    // printer and says whether the service was down, did not answer, or refused. A service
    // that is not running at all is a failure of kind ServiceDown.
    Result<PrinterList> listPrinters(Deadline& deadline);
    virtual Result<QueueState> queueState(const QString& name, Deadline& deadline) = 0;
    // Hands a PDF document to the printer's queue, printed on `sides`; gives the job's number.
    virtual Result<int> submitJob(const QString& name, const QByteArray& pdf, Deadline& deadline,
                                  JobSides sides = JobSides::OneSided) = 0;
    // Whether the printer prints both sides of a sheet by itself (its queue lists a two-sided
    // value among the sides it supports).
    virtual Result<bool> printsTwoSided(const QString& name, Deadline& deadline) = 0;
    // Follows the job on one connection, looking at it at most ten times a second, until it
    // completed or failed or followMs passed; then decides its outcome. A failure when the
    // service fell silent, telling whether the job may still print.
    virtual Result<JobReport> followJob(const QString& name, int job, qint64 followMs,
                                        Deadline& deadline) = 0;
    // How far from the edges of A4 paper the printer prints; not known when it does not say.
    virtual Result<PrintableArea> printableArea(const QString& name, Deadline& deadline) = 0;

    // The printer is installed under exactly this name (case included) and takes jobs; its
    // queue's state, or why it cannot print. A name not installed is told as gone when an
    // earlier list had it, as not existing when it was never listed (typed by the user).
    Result<QueueState> checkPrinter(const QString& name, Deadline& deadline);

  private:
    // The printers as the service lists them now.
    virtual Result<PrinterList> askPrinters(Deadline& deadline) = 0;

    std::mutex lock_;
    QStringList listed_;  // every name any list has had
};

}  // namespace quarzello
