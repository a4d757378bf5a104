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

namespace {

constexpr int kColonne = 4;
constexpr int kRighe = 8;
constexpr int kRigheBiglietto = 11;
constexpr double kMmPerInch = 25.4;

// What the sheet asked of the surface: each text with its font and place, each line.
struct TextCall {
    QString text;
    QString family;
    float size = 0;
    bool bold = false;
    bool italic = false;
    float x = 0;  // mm, top-left of the line box
    float y = 0;
};
struct LineCall {
    float x1, y1, x2, y2;  // mm
};
// In the order they were asked for: texts[i] or lines[i].
struct Call {
    bool isText;
    size_t index;
};

// Passes everything to the real surface and notes what was printed where.
class NotingSurface final : public PrintSurface {
  public:
    explicit NotingSurface(PrintSurface& real) : real_(real) {}
    std::vector<TextCall> texts;
    std::vector<LineCall> lines;
    std::vector<Call> order;

    void setPaperSize(int code) override { real_.setPaperSize(code); }
    void setOrientation(int code) override { real_.setOrientation(code); }
    void setScaleMode(int code) override { real_.setScaleMode(code); }
    void setFontName(const QString& name) override {
        font_.family = name;
        real_.setFontName(name);
    }
    void setFontBold(bool bold) override {
        font_.bold = bold;
        real_.setFontBold(bold);
    }
    void setFontItalic(bool italic) override {
        font_.italic = italic;
        real_.setFontItalic(italic);
    }
    void setFontSize(float points) override {
        font_.size = points;
        real_.setFontSize(points);
    }
    int paperWidth() const override { return real_.paperWidth(); }
    int paperHeight() const override { return real_.paperHeight(); }
    float textWidth(const QString& text) override { return real_.textWidth(text); }
    float textHeight(const QString& text) override { return real_.textHeight(text); }
    void setCurrentX(float x) override {
        font_.x = x;
        real_.setCurrentX(x);
    }
    void setCurrentY(float y) override {
        font_.y = y;
        real_.setCurrentY(y);
    }
    bool printText(const QString& text) override {
        TextCall call = font_;
        call.text = text;
        order.push_back({true, texts.size()});
        texts.push_back(call);
        return real_.printText(text);
    }
    bool drawLine(float x1, float y1, float x2, float y2) override {
        order.push_back({false, lines.size()});
        lines.push_back({x1, y1, x2, y2});
        return real_.drawLine(x1, y1, x2, y2);
    }
    bool endDoc() override { return real_.endDoc(); }
    void abortDoc() override { real_.abortDoc(); }
    QString deviceName() const override { return real_.deviceName(); }
    QString errorText() const override { return real_.errorText(); }

  private:
    PrintSurface& real_;
    TextCall font_;
};

// The floor's page, in device pixels, ready to draw.
struct FloorText {
    QFont font;
    QPointF baseline;
    QString text;
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

FloorPage floorPage(const NotingSurface& noted) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, QDir::temp().filePath(QStringLiteral("unused.pdf")));
    const double ppm = printer.resolution() / kMmPerInch;
    FloorPage page;
    for (const TextCall& call : noted.texts) {
        QFont font(resolveFontFamily(call.family));
        font.setPointSizeF(call.size);
        font.setBold(call.bold);
        font.setItalic(call.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        const double ascent = QFontMetricsF(font, &printer).ascent();
        page.texts.push_back({font, QPointF(call.x * ppm, call.y * ppm + ascent), call.text});
    }
    for (const LineCall& l : noted.lines)
        page.lines.emplace_back(l.x1 * ppm, l.y1 * ppm, l.x2 * ppm, l.y2 * ppm);
    page.order = noted.order;
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
    DatiBuffer Dati;
    QPrinterSurface surface(path);
    const PrintOutcome outcome =
        StampaBiglietti(surface, record, Dati, [] { QCoreApplication::processEvents(); });
    if (!outcome.printed) fail(QStringLiteral("the sheet did not print: ") + outcome.error);
}

}  // namespace

void benchPrintJob(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nPrint job (4 x 8 sheet of the full record into a PDF file)\n");
    QTemporaryDir folder;
    if (!folder.isValid()) fail(QStringLiteral("no temporary folder"));
    const QString realPdf = QDir(folder.path()).filePath(QStringLiteral("sheet.pdf"));
    const QString floorPdf = QDir(folder.path()).filePath(QStringLiteral("floor.pdf"));
    const CardRecord record = fullRecord(kColonne, kRighe);

    // One untimed print to learn what the sheet draws, so that the floor draws just that.
    FloorPage page;
    {
        DatiBuffer Dati;
        QPrinterSurface real(realPdf);
        NotingSurface noted(real);
        const PrintOutcome outcome = StampaBiglietti(noted, record, Dati);
        if (!outcome.printed) fail(QStringLiteral("the sheet did not print: ") + outcome.error);
        if (noted.texts.size() != size_t(kColonne * kRighe * kRigheBiglietto))
            fail(QStringLiteral("the full record printed %1 strings, not %2")
                     .arg(noted.texts.size())
                     .arg(kColonne * kRighe * kRigheBiglietto));
        page = floorPage(noted);
        std::printf("  %zu strings and %zu cut-mark lines on the page\n", noted.texts.size(),
                    noted.lines.size());
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
