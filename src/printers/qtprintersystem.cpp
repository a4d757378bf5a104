// The installed printers through Qt, with CUPS asked directly where Qt cannot tell.
#include "printers/qtprintersystem.h"

#include <QPrinterInfo>

#include "print/qprintersurface.h"
#include "printers/cupsstatus.h"
#include "printers/printermessages.h"

namespace quarzello {

QStringList QtPrinterSystem::printerNames() const { return QPrinterInfo::availablePrinterNames(); }

QString QtPrinterSystem::defaultPrinterName() const { return QPrinterInfo::defaultPrinterName(); }

std::unique_ptr<PrintSurface> QtPrinterSystem::surfaceFor(const QString& name) {
    // QPrinterInfo::printerInfo() finds "alfa" for "Alfa", and a QPrinter on a name Qt cannot
    // find silently prints on some other printer: only an exact, listed name gets a surface.
    if (name.isEmpty() || !printerNames().contains(name)) return nullptr;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) return nullptr;
    auto surface =
        std::make_unique<QPrinterSurface>(info, [name] { return submittedJobStatus(name); });
    // The QPrinter is bound to its queue now; had the queue vanished in between, Qt would drop
    // the job without a word, so it must still be there.
    if (!queryQueue(name)) return nullptr;
    return surface;
}

Result<void> QtPrinterSystem::checkAvailable(const QString& name) const {
    if (Result<void> queue = queueTakesJobs(name); !queue) return queue;
    // The scheduler found a queue, but perhaps by another case of the name.
    return PrinterSystem::checkAvailable(name);
}

}  // namespace quarzello
