// The installed printers: their names, the system's default, and a surface to print on one.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

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
    // Why a print on the named printer cannot go ahead now, in Italian for the user, naming the
    // printer (it is gone, it refuses jobs, the print service does not answer); empty when it
    // can. The name is compared exactly, case included. This one only knows the list; a system
    // that can ask the printer itself says more.
    virtual QString availabilityError(const QString& name) const;
};
