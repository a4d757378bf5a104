// What the CUPS scheduler itself says about a queue and about the job just handed to it. Qt's
// printing API cannot tell: its CUPS engine ignores the scheduler's answer to the job, so
// QPainter::end() succeeds on a queue that refuses jobs and on one that is gone.
#pragma once

#include <QString>

struct CupsQueueStatus {
    bool exists = false;  // the scheduler answered and knows the queue
    QString error;        // for the user, naming the printer; empty when it takes jobs
};

// Asks the scheduler about the printer (a "name/instance" asks about the queue "name"): whether
// it is there and takes jobs, and if not, an Italian text naming it that says it is gone,
// refuses new jobs, or the scheduler does not answer. CUPS compares queue names without regard
// to case.
CupsQueueStatus cupsQueueStatus(const QString& name);

// To be called on the thread that printed, right after QPainter::end() on a QPrinter for the
// named printer: an Italian text when the scheduler did not take the job, empty when it did.
QString cupsSubmitError(const QString& name);
