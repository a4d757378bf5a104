// The scheduler of a print service test and its one-line jobs.
#include "cupsfixture.h"

#include <QTest>
#include <memory>

#include "print/pdfsurface.h"

namespace quarzello {

void PrivateCupsTest::initTestCase() {
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
}

QByteArray documentWithLine(const QString& text) {
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

Result<int> submitLine(PrinterSystem& printers, const QString& printer, const QString& text) {
    Deadline deadline(kPatient);
    return printers.submitJob(printer, documentWithLine(text), deadline);
}

Result<JobReport> follow(PrinterSystem& printers, const QString& printer, int job, qint64 ms) {
    Deadline deadline(kPatient);
    deadline.noteDocumentSent();
    return printers.followJob(printer, job, ms, deadline);
}

QString checkError(PrinterSystem& printers, const QString& name) {
    Deadline deadline(kPatient);
    return printers.checkPrinter(name, deadline).error();
}

}  // namespace quarzello
