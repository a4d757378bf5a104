// What any print service can tell before printing: whether the printer is there, exactly as
// named, and takes jobs.
#include "printers/printersystem.h"

#include "printers/printermessages.h"

namespace quarzello {

Result<PrinterList> PrinterSystem::listPrinters(Deadline& deadline) {
    Result<PrinterList> list = askPrinters(deadline);
    if (list) {
        const std::lock_guard<std::mutex> hold(lock_);
        for (const QString& name : list->names)
            if (!listed_.contains(name)) listed_ << name;
    }
    return list;
}

Result<QueueState> PrinterSystem::checkPrinter(const QString& name, Deadline& deadline) {
    bool listedBefore = false;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        listedBefore = listed_.contains(name);
    }
    const Result<PrinterList> list = listPrinters(deadline);
    if (!list && list.kind() == Failure::Kind::ServiceDown)
        return Failure{printServiceDownText(name), Failure::Kind::ServiceDown};
    if (!list) return Failure{printServiceSilentText(name, deadline.documentSent())};
    // The service would also take "alfa" for "Alfa": only the name as listed prints.
    if (!list->names.contains(name))
        return Failure{listedBefore ? printerGoneText(name) : printerUnknownText(name)};
    Result<QueueState> queue = queueState(name, deadline);
    if (queue && !queue->acceptingJobs) return Failure{printerRefusesText(name)};
    return queue;
}

}  // namespace quarzello
