// What became of a job, decided in one place from what the print service says of it and of its
// printer at the end of the follow, and the Italian text the user is told. The service's own
// messages are shown as they stand, never read: they come in the scheduler's language, and a
// client cannot tell a driver's warning from its small talk.
#pragma once

#include <QString>
#include <QStringList>

namespace quarzello {

// The service's view of a job and its printer, as IPP gives it.
struct JobSnapshot {
    int jobState = 3;            // job-state: 3 pending, 4 held, 5 processing, 6 stopped,
                                 // 7 canceled, 8 aborted, 9 completed
    QStringList jobReasons;      // job-state-reasons
    QString holdUntil;           // job-hold-until: indefinite, a time of day, or empty
    QString jobMessage;          // job-printer-state-message
    int printerState = 3;        // printer-state: 3 idle, 4 processing, 5 stopped
    QStringList printerReasons;  // printer-state-reasons
    bool accepting = true;       // printer-is-accepting-jobs
    QString printerMessage;      // printer-state-message
};

enum class JobOutcome {
    Printed,           // completed
    Queued,            // in the printer's queue with nothing in the way, not printed yet
    Waiting,           // in the queue, kept from printing until the printer is ready
    HeldUntil,         // held by the service, which will try again by itself at a time
    HeldIndefinitely,  // held until someone releases it
    Failed,            // aborted, canceled, or stopped by a failing filter: it will not print
};

struct JobReport {
    JobOutcome outcome = JobOutcome::Printed;
    QString text;          // for the user, naming the printer
    bool warning = false;  // a warning rather than an information
};

// The job ended one way or the other: there is nothing more to follow.
bool jobFinished(int jobState);
// The printer-state-reason keeps sheets from coming out.
bool reasonInTheWay(const QString& reason);
JobReport decideOutcome(const QString& printer, int job, const JobSnapshot& snapshot);

}  // namespace quarzello
