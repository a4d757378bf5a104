// A fixed list of printers for window tests; surfaces come from a factory the test sets.
#pragma once

#include <functional>

#include "print/printsurface.h"
#include "printers/printersystem.h"

class FakePrinterSystem : public PrinterSystem {
public:
    QStringList names;
    QString defaultName;
    QStringList surfacesAskedFor;
    std::function<std::unique_ptr<PrintSurface>(const QString&)> makeSurface;

    QStringList printerNames() const override { return names; }
    QString defaultPrinterName() const override { return defaultName; }
    std::unique_ptr<PrintSurface> surfaceFor(const QString& name) override {
        surfacesAskedFor << name;
        if (!names.contains(name) || !makeSurface) return nullptr;
        return makeSurface(name);
    }
};
