// Print job: StampaBiglietti for a 4 x 8 sheet of the full record on a QPrinterSurface writing a
// PDF file, from the call to the closed file; the floor is a bare QPainter on the same kind of
// printer drawing the same strings in the same fonts at the same places, and the same cut
// marks, with nothing measured, fitted or composed.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "benchmarks.h"
#include "benchsupport.h"
#include "print/fonts.h"
#include "print/qprintersurface.h"
#include "print/sheet.h"
#include "recordingsurface.h"
#include "samples.h"

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

void setUpPrinter(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("Biglietti da visita"));
    printer.setCreator(QStringLiteral("Quarzello del Camperista"));
}

FloorPage floorPage(const RecordingSurface& noted) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, QDir::temp().filePath(QStringLiteral("unused.pdf")));
    const double ppm = printer.resolution() / kMmPerInch;
    FloorPage page;
    for (const RecordedText& call : noted.texts) {
        QFont font(resolveFontFamily(call.font.name));
        font.setPointSizeF(call.font.size);
        font.setBold(call.font.bold);
        font.setItalic(call.font.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        const double ascent = QFontMetricsF(font, &printer).ascent();
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

void drawFloor(const FloorPage& page, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, path);
    QPainter painter;
    if (!painter.begin(&printer)) fail(QStringLiteral("the floor cannot open ") + path);
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
    if (!painter.end()) fail(QStringLiteral("the floor could not finish ") + path);
}

void printSheet(const CardRecord& record, const QString& path) {
    QPrinterSurface surface(path);
    const Result<void> outcome =
        StampaBiglietti(surface, record, [] { QCoreApplication::processEvents(); });
    if (!outcome.ok()) fail(QStringLiteral("the sheet did not print: ") + outcome.error());
}

}  // namespace

void benchPrintJob(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nPrint job (4 x 8 sheet of the full record into a PDF file)\n");
    QTemporaryDir folder;
    if (!folder.isValid()) fail(QStringLiteral("no temporary folder"));
    const QString realPdf = QDir(folder.path()).filePath(QStringLiteral("sheet.pdf"));
    const QString floorPdf = QDir(folder.path()).filePath(QStringLiteral("floor.pdf"));
    const CardRecord record = crowdedRecord(kColumns, kRows);

    // One untimed print to learn what the sheet draws, so that the floor draws just that.
    FloorPage page;
    {
        QPrinterSurface real(realPdf);
        RecordingSurface noted(&real);
        const Result<void> outcome = StampaBiglietti(noted, record);
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
    interleave(
        2, counts.printJobs, [&] { return timeMs([&] { printSheet(record, realPdf); }); },
        [&] { return timeMs([&] { drawFloor(page, floorPdf); }); }, value, floor);
    printSeries(QStringLiteral("StampaBiglietti on QPrinterSurface (PDF)"), value,
                QStringLiteral("ms"));
    printSeries(QStringLiteral("bare QPainter on QPrinter (PDF)"), floor, QStringLiteral("ms"));
    std::printf("  PDF sizes: sheet %lld bytes, floor %lld bytes\n", QFileInfo(realPdf).size(),
                QFileInfo(floorPdf).size());

    rows.push_back(ratioRow(QStringLiteral("print job, 4 x 8 sheet to PDF"), value.median(),
                            floor.median(), QStringLiteral("ms"), 1, 1.5));
}
