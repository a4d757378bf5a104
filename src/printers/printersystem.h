// The installed printers: their names, the system's default, and a surface to print on one.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "core/result.h"

namespace quarzello {

class PrintSurface;

class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;
    // Device names in the order the system gives them.
    virtual QStringList printerNames() const = 0;
    // The system's default printer, or empty when there is none.
    virtual QString defaultPrinterName() const = 0;
    // A fresh surface on the named printer, or nullptr when no such printer is installed now.
    virtual std::unique_ptr<PrintSurface> surfaceFor(const QString& name) = 0;
    // Whether a print on the named printer can go ahead now; when not, why, naming the printer
    // (it is gone, it refuses jobs, the print service does not answer). The name is compared
    // exactly, case included. This one only knows the list; a system that can ask the printer
    // itself says more.
    virtual Result<void> checkAvailable(const QString& name) const;
};

}  // namespace quarzello
