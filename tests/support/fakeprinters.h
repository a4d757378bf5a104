// A fixed list of printers for window tests. Each printer's surface records into a recording
// surface that the test owns, so what a print did can be read after the window let go of it.
#pragma once

#include <map>
#include <memory>

#include "printers/printersystem.h"
#include "recordingsurface.h"

namespace quarzello {

class FakePrinterSystem : public PrinterSystem {
  public:
    QStringList names;
    QString defaultName;
    // What each printer received; a printer's entry is made on first use.
    std::map<QString, RecordingSurface> paper;
    QStringList surfacesAskedFor;

    QStringList printerNames() const override { return names; }
    QString defaultPrinterName() const override { return defaultName; }
    std::unique_ptr<PrintSurface> surfaceFor(const QString& name) override {
        surfacesAskedFor << name;
        if (!names.contains(name)) return nullptr;
        RecordingSurface& target = paper[name];
        target.name = name;
        return std::make_unique<RecordingSurface>(&target);
    }
};

}  // namespace quarzello
