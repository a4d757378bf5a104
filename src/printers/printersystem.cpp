// What any print service can tell before printing: whether the printer is there, exactly as
// named, and takes jobs.
#include "printers/printersystem.h"

#include "printers/printermessages.h"

namespace quarzello {

Result<QueueState> PrinterSystem::checkPrinter(const QString& name, Deadline& deadline) {
    const Result<PrinterList> list = listPrinters(deadline);
    if (!list) return Failure{printServiceSilentText(name, deadline.documentSent())};
    if (list->serviceDown) return Failure{printServiceDownText(name)};
    // The service would also take "alfa" for "Alfa": only the name as listed prints.
    if (!list->names.contains(name)) return Failure{printerGoneText(name)};
    Result<QueueState> queue = queueState(name, deadline);
    if (queue && !queue->acceptingJobs) return Failure{printerRefusesText(name)};
    return queue;
}

}  // namespace quarzello
