// A test program's own CUPS scheduler with the queues Zeta and Alfa, the print service talking
// to it, and the one-line jobs the print service's tests send through it.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "core/result.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"

namespace quarzello {

// How long a call on the service may take when nothing is meant to go wrong.
constexpr qint64 kPatient = 30000;

// The base of a test class: the scheduler starts before anything in the process asks for a
// printer, since libcups keeps the first server it talks to.
class PrivateCupsTest : public QObject {
    Q_OBJECT

  protected slots:
    void initTestCase();

  protected:
    PrivateCups cups_;
    CupsPrinterSystem printers_;
};

// One page with one line of text, through the same calls the sheet uses, as a document.
QByteArray documentWithLine(const QString& text);

Result<int> submitLine(PrinterSystem& printers, const QString& printer, const QString& text);
Result<JobReport> follow(PrinterSystem& printers, const QString& printer, int job, qint64 ms);
QString checkError(PrinterSystem& printers, const QString& name);

}  // namespace quarzello
