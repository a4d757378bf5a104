// What the CUPS scheduler itself says about a queue and about the job just handed to it. Qt's
// printing API cannot tell: its CUPS engine ignores the scheduler's answer to the job, so
// QPainter::end() succeeds on a queue that refuses jobs and on one that is gone.
#pragma once

#include <QString>

#include "core/result.h"

namespace quarzello {

struct QueueState {
    bool acceptingJobs = true;
};

// Asks the scheduler about the printer (a "name/instance" asks about the queue "name"). Fails,
// with an Italian text naming the printer, when the queue is gone or the scheduler does not
// answer. CUPS compares queue names without regard to case.
Result<QueueState> queryQueue(const QString& name);

// Whether the named printer can take a print now: there, and accepting jobs.
Result<void> queueTakesJobs(const QString& name);

// To be called on the thread that printed, right after QPainter::end() on a QPrinter for the
// named printer: fails when the scheduler did not take the job.
Result<void> submittedJobStatus(const QString& name);

}  // namespace quarzello
