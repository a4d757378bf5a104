// The installed printers as Qt sees them (the system's CUPS queues), and surfaces to print on
// them that find out whether the printer really took the job.
#pragma once

#include "printers/printersystem.h"

namespace quarzello {

class QtPrinterSystem final : public PrinterSystem {
  public:
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
    // Only a name listed now, exactly as listed (CUPS itself would also take "alfa" for "Alfa").
    // The surface's end of document fails, with the reason for the user, when the printer did
    // not take the job.
    std::unique_ptr<PrintSurface> surfaceFor(const QString& name) override;
    // Asks the printer itself: gone, refusing jobs, or the print service not answering.
    Result<void> checkAvailable(const QString& name) const override;
};

}  // namespace quarzello
