// Print job: the plan and drawPage for a 4 x 8 sheet of the crowded record on a PdfSurface, from
// the call to the finished PDF document in memory (what goes to a printer or into a file); the
// floor is a bare QPainter on a QPdfWriter of the same set-up drawing the same strings in the
// same fonts at the same places, and the same cut marks, with nothing measured, fitted or
// composed.
#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <cstdio>
#include <vector>

#include "benchmarks.h"
#include "benchsupport.h"
#include "print/fonts.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "recordingsurface.h"
#include "samples.h"
#include "sheetdrawing.h"

using namespace quarzello;

namespace {

constexpr int kColumns = 4;
constexpr int kRows = 8;
constexpr int kLinesPerCard = 11;
constexpr double kMmPerInch = 25.4;

// The floor's page, in device pixels, ready to draw.
struct FloorText {
    QFont font;
    QPointF baseline;
    QString text;
};
// In the order they were drawn: texts[index] when isText, else lines[index].
struct Call {
    bool isText;
    size_t index;
};
struct FloorPage {
    std::vector<FloorText> texts;
    std::vector<QLineF> lines;
    std::vector<Call> order;
    double lineWidth = 0;
};

// The writer as the PDF surface sets it up: A4 portrait, no margins, 1200 dots per inch.
void setUpWriter(QPdfWriter& writer) {
    writer.setResolution(1200);
    writer.setTitle(QStringLiteral("Biglietti da visita"));
    writer.setCreator(QStringLiteral("Quarzello del Camperista"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
}

FloorPage floorPage(const RecordingSurface& noted) {
    QBuffer unused;
    QPdfWriter writer(&unused);
    setUpWriter(writer);
    const double ppm = writer.resolution() / kMmPerInch;
    FloorPage page;
    for (const RecordedText& call : noted.texts) {
        QFont font(resolveFontFamily(call.font.name));
        font.setPointSizeF(call.font.size);
        font.setBold(call.font.bold);
        font.setItalic(call.font.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        const double ascent = QFontMetricsF(font, &writer).ascent();
        page.texts.push_back({font, QPointF(call.x * ppm, call.y * ppm + ascent), call.text});
    }
    for (const RecordedLine& l : noted.lines)
        page.lines.emplace_back(l.x1 * ppm, l.y1 * ppm, l.x2 * ppm, l.y2 * ppm);
    size_t texts = 0, lines = 0;
    for (const QString& operation : noted.log) {
        if (operation == QLatin1String("printText")) page.order.push_back({true, texts++});
        if (operation == QLatin1String("drawLine")) page.order.push_back({false, lines++});
    }
    page.lineWidth = 0.1 * ppm;
    return page;
}

QByteArray drawFloor(const FloorPage& page) {
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    setUpWriter(writer);
    QPainter painter;
    if (!painter.begin(&writer)) fail(QStringLiteral("the floor cannot begin its page"));
    const QPen linePen(Qt::black, page.lineWidth, Qt::SolidLine, Qt::FlatCap);
    const QPen textPen(Qt::black);
    for (const Call& call : page.order) {
        if (call.isText) {
            const FloorText& t = page.texts[call.index];
            painter.setPen(textPen);
            painter.setFont(t.font);
            painter.drawText(t.baseline, t.text);
        } else {
            painter.setPen(linePen);
            painter.drawLine(page.lines[call.index]);
        }
    }
    if (!painter.end()) fail(QStringLiteral("the floor could not finish its page"));
    return pdf;
}

QByteArray printSheet(const CardRecord& record) {
    PdfSurface surface(QStringLiteral("banco di prova"));
    const Result<void> outcome = drawSheet(surface, record);
    if (!outcome.ok()) fail(QStringLiteral("the sheet did not print: ") + outcome.error());
    return surface.document();
}

}  // namespace

void benchPrintJob(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nPrint job (4 x 8 sheet of the crowded record into a PDF document)\n");
    const CardRecord record = crowdedRecord(kColumns, kRows);

    // One untimed print to learn what the sheet draws, so that the floor draws just that.
    FloorPage page;
    {
        PdfSurface real(QStringLiteral("banco di prova"));
        RecordingSurface noted(&real);
        const Result<void> outcome = drawSheet(noted, record);
        if (!outcome.ok()) fail(QStringLiteral("the sheet did not print: ") + outcome.error());
        if (noted.texts.size() != kColumns * kRows * kLinesPerCard)
            fail(QStringLiteral("the full record printed %1 strings, not %2")
                     .arg(noted.texts.size())
                     .arg(kColumns * kRows * kLinesPerCard));
        page = floorPage(noted);
        std::printf("  %lld strings and %lld cut-mark lines on the page\n",
                    static_cast<long long>(noted.texts.size()),
                    static_cast<long long>(noted.lines.size()));
    }

    Series value, floor;
    qsizetype sheetBytes = 0, floorBytes = 0;
    interleave(
        2, counts.printJobs,
        [&] { return timeMs([&] { sheetBytes = printSheet(record).size(); }); },
        [&] { return timeMs([&] { floorBytes = drawFloor(page).size(); }); }, value, floor);
    printSeries(QStringLiteral("plan and drawPage on PdfSurface"), value, QStringLiteral("ms"));
    printSeries(QStringLiteral("bare QPainter on QPdfWriter"), floor, QStringLiteral("ms"));
    std::printf("  PDF sizes: sheet %lld bytes, floor %lld bytes\n",
                static_cast<long long>(sheetBytes), static_cast<long long>(floorBytes));

    rows.push_back(ratioRow(QStringLiteral("print job, 4 x 8 sheet to PDF"), value.median(),
                            floor.median(), QStringLiteral("ms"), 2, 1.1));

    // Many sheets in one run must not make the program grow. The first hundred prints fill the
    // caches (the allocator's and Qt's); after them, many more must add nothing.
    const qint64 heapAtStart = heapInUseKiB(), residentAtStart = residentKiB();
    for (int i = 0; i < 100; ++i) printSheet(record);
    const qint64 heapBefore = heapInUseKiB(), residentBefore = residentKiB();
    for (int i = 0; i < counts.manyPrints; ++i) printSheet(record);
    const qint64 heapAfter = heapInUseKiB(), residentAfter = residentKiB();
    std::printf("  heap in use %lld KiB, after 100 prints %lld KiB, after %d more %lld KiB\n",
                static_cast<long long>(heapAtStart), static_cast<long long>(heapBefore),
                counts.manyPrints, static_cast<long long>(heapAfter));
    std::printf("  resident    %lld KiB, after 100 prints %lld KiB, after %d more %lld KiB\n",
                static_cast<long long>(residentAtStart), static_cast<long long>(residentBefore),
                counts.manyPrints, static_cast<long long>(residentAfter));
    rows.push_back(
        ratioRow(QStringLiteral("heap after %1 more prints, against before").arg(counts.manyPrints),
                 heapAfter / 1024.0, heapBefore / 1024.0, QStringLiteral("MiB"), 2, 1.01));
}
