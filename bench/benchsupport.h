// What the benchmarks and quarzello-print-sheet share: prompts that answer every box with its
// default, a machine without printers, the sample cards, and the process's peak memory.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "app/cardrecord.h"
#include "platform/prompts.h"
#include "print/printsurface.h"
#include "printers/printersystem.h"

// Answers each message box with its default button and cancels every file dialog; keeps the
// texts, so that a run can tell a silent start-up from one that complained.
class DefaultPrompts : public Prompts {
  public:
    PromptAnswer message(const MessageRequest& request) override;
    std::optional<QString> chooseFile(const FileDialogRequest& request) override;
    QStringList texts;
};

// Nothing is printed through the system here: the sheets go to PDF files.
class NoPrinters : public PrinterSystem {
  public:
    QStringList printerNames() const override { return {}; }
    QString defaultPrinterName() const override { return {}; }
    std::unique_ptr<PrintSurface> surfaceFor(const QString&) override { return nullptr; }
};

// The README's sample card: eight lines (name, role, street, town, two phones, e-mail, web).
CardRecord sampleRecord(int colonne, int righe);
// Every field filled: the name is long enough to be split, and the e-mail and web fields hold
// two addresses each, so all eleven card lines print and the long ones must be shortened.
CardRecord fullRecord(int colonne, int righe);

// Peak resident memory of this process so far (VmHWM), in KiB; -1 when it cannot be read.
qint64 peakResidentKiB();
