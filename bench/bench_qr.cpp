// The QR code: a 2 x 6 sheet's print job with a code on every card against the same sheet
// without one, from the plan to the finished PDF in memory, in time and in the PDF's size.
#include <cstdio>

#include "benchmarks.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "samples.h"

using namespace quarzello;

namespace {

// The sheet's PDF, in bytes.
qsizetype printSheet(const CardRecord& record, bool qrCode) {
    PdfSurface surface(QStringLiteral("bench"));
    SheetOptions options;
    options.qrCode = qrCode;
    const Result<SheetPlan> plan = planSheet(surface, record, SheetPaper({2, 6}), options);
    if (!plan) fail(plan.error());
    if (qrCode && plan->qrLeftOut) fail(QStringLiteral("the code does not fit a 2 x 6 sheet"));
    if (const Result<void> drawn = drawPage(surface, *plan); !drawn) fail(drawn.error());
    if (const Result<void> ended = surface.endDoc(); !ended) fail(ended.error());
    return surface.document().size();
}

}  // namespace

void benchQr(const RunCounts& counts, std::vector<ResultRow>& rows) {
    const CardRecord record = readmeRecord(2, 6);
    Series withCode, without;
    qsizetype bytesWith = 0, bytesWithout = 0;
    interleave(
        2, counts.printJobs, [&] { return timeMs([&] { bytesWith = printSheet(record, true); }); },
        [&] { return timeMs([&] { bytesWithout = printSheet(record, false); }); }, withCode,
        without);
    printSeries(QStringLiteral("print job, 2 x 6 with a QR code"), withCode, "ms");
    printSeries(QStringLiteral("print job, 2 x 6 without"), without, "ms");
    std::printf("  PDF of the sheet: %lld bytes with the codes, %lld without\n",
                static_cast<long long>(bytesWith), static_cast<long long>(bytesWithout));
    rows.push_back(ratioRow(QStringLiteral("Print job 2 x 6 with QR / without"), withCode.median(),
                            without.median(), "ms", 2, 1.3));
    rows.push_back(ratioRow(QStringLiteral("PDF 2 x 6 with QR / without, size"),
                            double(bytesWith) / 1024, double(bytesWithout) / 1024, "KiB", 1, 1.3));
}
