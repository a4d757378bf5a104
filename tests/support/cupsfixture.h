// A test program's own CUPS scheduler with the queues Zeta and Alfa, the print service talking
// to it, and the one-line jobs the print service's tests send through it.
#pragma once

#include <QTest>
#include <memory>

#include "core/result.h"
#include "print/pdfsurface.h"
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
    void initTestCase() {
        QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addPrinter(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
    }

  protected:
    PrivateCups cups_;
    CupsPrinterSystem printers_;
};

// One page with one line of text, through the same calls the sheet uses, as a document.
inline QByteArray documentWithLine(const QString& text) {
    const auto surface = std::make_unique<PdfSurface>(QStringLiteral("Alfa"));
    surface->setPaperSize(PrintSurface::kPaperA4);
    surface->setOrientation(PrintSurface::kPortrait);
    surface->setScaleMode(PrintSurface::kMillimetres);
    surface->setFontName(QStringLiteral("Times new roman"));
    surface->setFontSize(14);
    surface->setCurrentX(20);
    surface->setCurrentY(30);
    if (!surface->printText(text) || !surface->endDoc()) return {};
    return surface->document();
}

inline Result<int> submitLine(PrinterSystem& printers, const QString& printer,
                              const QString& text) {
    Deadline deadline(kPatient);
    return printers.submitJob(printer, documentWithLine(text), deadline);
}

inline Result<JobReport> follow(PrinterSystem& printers, const QString& printer, int job,
                                qint64 ms) {
    Deadline deadline(kPatient);
    deadline.noteDocumentSent();
    return printers.followJob(printer, job, ms, deadline);
}

inline QString checkError(PrinterSystem& printers, const QString& name) {
    Deadline deadline(kPatient);
    return printers.checkPrinter(name, deadline).error();
}

}  // namespace quarzello
