// The print service: its printers, a queue's state, handing a job over and following it, and
// the surface a job's document is drawn on.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "core/result.h"
#include "print/margins.h"
#include "printers/deadline.h"

namespace quarzello {

class PrintSurface;

struct PrinterList {
    QStringList names;    // device names, in the order the service gives them
    QString defaultName;  // the system's default printer, or empty
    // The service is not running at all (rather than slow to answer): no printers to list.
    bool serviceDown = false;
};

struct QueueState {
    bool acceptingJobs = true;
    bool stopped = false;  // paused by hand, or stopped after an error
    QString message;       // what the service says of the printer's state, when anything
};

enum class JobPhase { Waiting, Completed, Failed };

struct JobState {
    JobPhase phase = JobPhase::Waiting;
    bool queueStopped = false;
    QString reason;  // the service's own words, for a job that failed or a queue that stopped
};

class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;

    // The calls below may wait on the print service. They are made on a thread of their own,
    // never on the window's, and wait no longer than the deadline; a failure's text names the
    // printer and says whether the service was down, did not answer, or refused.
    virtual Result<PrinterList> listPrinters(Deadline& deadline) = 0;
    virtual Result<QueueState> queueState(const QString& name, Deadline& deadline) = 0;
    // Hands a PDF document to the printer's queue; gives the job's number.
    virtual Result<int> submitJob(const QString& name, const QByteArray& pdf,
                                  Deadline& deadline) = 0;
    virtual Result<JobState> jobState(const QString& name, int job, Deadline& deadline) = 0;
    // How far from the edges of A4 paper the printer prints; not known when it does not say.
    virtual Result<PrintableArea> printableArea(const QString& name, Deadline& deadline) = 0;

    // A surface to draw a job's document on, for a printer or a file named `target`.
    virtual std::unique_ptr<PrintSurface> newDocumentSurface(const QString& target) = 0;

    // The printer is installed under exactly this name (case included) and takes jobs; its
    // queue's state, or why it cannot print.
    Result<QueueState> checkPrinter(const QString& name, Deadline& deadline);
};

}  // namespace quarzello
