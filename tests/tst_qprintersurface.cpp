// The real print surface: a sheet written to a PDF file and to a private CUPS queue, read back
// with poppler's tools. Line ends and box bottoms must be where the layout put them, text sizes
// must be true points, the paper A4, and the cut marks must be on the page.
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "datafiles.h"
#include "pdfbox.h"
#include "print/fonts.h"
#include "print/qprintersurface.h"
#include "print/sheet.h"
#include "printers/cupsstatus.h"
#include "privatecups.h"
#include "samples.h"
#include "tools.h"

using namespace quarzello;
using datafiles::readBytes;

namespace {

constexpr double kMmPerPt = 25.4 / 72.0;
constexpr double kTolerance = 0.2;  // mm

// What a tool printed, as text; empty (with a warning) when it failed.
QString toolOutput(const QString& tool, const QStringList& args) {
    const ToolRun run = runTool(tool, args);
    if (!run.ok) qWarning() << run.failure;
    return QString::fromUtf8(run.output);
}

}  // namespace

class QPrinterSurfaceTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void paperSizeInTwips_data();
    void paperSizeInTwips();
    void typefaceStandIns_data();
    void typefaceStandIns();
    void fontSizesAreTruePoints();
    void sheetOnPdfMatchesTheLayout();
    void sheetOnACupsQueueMatchesTheLayout();
    void abandonedPageSendsNothing();
    void unwritableFileIsReported();
    void verifierDecidesWhetherThePrinterTookTheJob();
    void refusingQueueIsTold();
    void noPrinterInstalled();
    void sizeOfZeroPointsPrintsNothing();

  private:
    // Checks the sheet of fullRecord() in a PDF against the layout's arithmetic.
    void checkSheet(const QString& pdf);

    PrivateCups cups_;
    QTemporaryDir dir_;
};

void QPrinterSurfaceTest::initTestCase() {
    // The scheduler must be ours before anything in this process asks for a printer.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Alfa"), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Beta"), qPrintable(cups_.errorString()));
    QVERIFY(dir_.isValid());
}

void QPrinterSurfaceTest::paperSizeInTwips_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("A4 portrait") << 1 << 11906 << 16838;
    QTest::newRow("A4 landscape") << 2 << 16838 << 11906;
}

void QPrinterSurfaceTest::paperSizeInTwips() {
    QFETCH(int, orientation);
    QFETCH(int, width);
    QFETCH(int, height);
    QPrinterSurface surface(dir_.filePath("paper.pdf"));
    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(orientation);
    surface.setScaleMode(PrintSurface::kMillimetres);
    QCOMPARE(surface.paperWidth(), width);
    QCOMPARE(surface.paperHeight(), height);
}

void QPrinterSurfaceTest::typefaceStandIns_data() {
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("family");
    QTest::newRow("Times new roman") << "Times new roman"
                                     << "Liberation Serif";
    QTest::newRow("other case") << "TIMES NEW ROMAN"
                                << "Liberation Serif";
    QTest::newRow("Arial special") << "Arial special"
                                   << "Liberation Sans";
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                   << "Liberation Sans";
    QTest::newRow("MS Serif") << "MS Serif"
                              << "Liberation Serif";
}

void QPrinterSurfaceTest::typefaceStandIns() {
    QFETCH(QString, requested);
    QFETCH(QString, family);

    // The surface picks the face itself, with or without QFont's table.
    const QStringList names = {"Times new roman", "Arial special", "Arial", "MS Sans Serif",
                               "MS Serif"};
    for (const QString& name : names) QFont::removeSubstitutions(name);
    QPrinterSurface surface(dir_.filePath("fonts.pdf"));
    surface.setFontName(requested);
    surface.setFontBold(true);
    QCOMPARE(QFontInfo(surface.currentFont()).family(), family);
    QVERIFY(QFontInfo(surface.currentFont()).bold());

    // The same table for every QFont of the program, once main() has installed it.
    installFontSubstitutions();
    QCOMPARE(QFontInfo(QFont(requested)).family(), family);
    for (const QString& name : names) QFont::removeSubstitutions(name);
}

void QPrinterSurfaceTest::fontSizesAreTruePoints() {
    QPrinterSurface surface(dir_.filePath("sizes.pdf"));
    surface.setFontName("Times new roman");
    for (float points : {6.f, 9.f, 12.f}) {
        surface.setFontSize(points);
        QVERIFY(std::abs(surface.textHeight("Rossi") -
                         faceLineHeightMm("Liberation Serif", false, false, points)) < 0.01);
    }
    // Twice the size, twice the width.
    surface.setFontSize(6);
    const float small = surface.textWidth("Biglietti da visita");
    surface.setFontSize(12);
    QVERIFY(std::abs(surface.textWidth("Biglietti da visita") - 2 * small) < 0.01);
}

void QPrinterSurfaceTest::checkSheet(const QString& pdf) {
    // The paper: A4, as Qt writes it (whole points).
    const QString info = toolOutput("pdfinfo", {pdf});
    static const QRegularExpression sizeRe(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)");
    const auto size = sizeRe.match(info);
    QVERIFY2(size.hasMatch(), qPrintable(info));
    QVERIFY(std::abs(size.captured(1).toDouble() * kMmPerPt - 210) < kTolerance);
    QVERIFY(std::abs(size.captured(2).toDouble() * kMmPerPt - 297) < kTolerance);
    QVERIFY(info.contains(QRegularExpression(R"(Pages:\s+1\n)")));

    // The layout's numbers for this paper: 11906 x 16838 twips.
    const double P = float(11906 / 56.6857142);
    const double Q = float(16838 / 56.6868687);
    const double W = P / 2;
    const double H = (Q - 5) / 6;
    const double S = (H - 10) / 8;
    const double m = 15;

    const QList<PdfLine> lines = pdfLines(pdfWords(readBytes(pdf)), W);
    QCOMPARE(lines.size(), 12 * 8);
    for (int i = 0; i < 6; ++i) {
        for (int k = 0; k < 2; ++k) {
            for (int j = 0; j < 8; ++j) {
                const double bottom = i * H + 10 + j * S;
                const double right = (k + 1) * W - m - 3;
                const PdfLine* found = nullptr;
                for (const PdfLine& line : lines) {
                    if (std::abs(line.bottom - bottom) < kTolerance && line.left >= k * W &&
                        line.right <= (k + 1) * W)
                        found = &line;
                }
                const QString where = QString("card %1,%2 line %3").arg(i).arg(k).arg(j);
                QVERIFY2(found, qPrintable(where + " missing"));
                QCOMPARE(found->text, fullRecordLines()[j].simplified());
                QVERIFY2(std::abs(found->right - right) < kTolerance,
                         qPrintable(QString("%1 ends at %2, expected %3")
                                        .arg(where)
                                        .arg(found->right)
                                        .arg(right)));
                // A 9-point bold name and 7-point lines below it, in the Arial stand-in.
                const bool name = j == 0;
                const bool italic = j == 2 || j >= 6;
                const double height =
                    faceLineHeightMm("Liberation Sans", name || j == 3, italic, name ? 9 : 7);
                QVERIFY2(std::abs((found->bottom - found->top) - height) < 0.05,
                         qPrintable(QString("%1 is %2 mm high, expected %3")
                                        .arg(where)
                                        .arg(found->bottom - found->top)
                                        .arg(height)));
            }
        }
    }

    // The faces in the file are the stand-ins, none of fontconfig's guesses.
    const QString fonts = toolOutput("pdffonts", {pdf});
    QVERIFY2(fonts.contains("LiberationSans-Bold") && fonts.contains("LiberationSans-Italic"),
             qPrintable(fonts));
    QVERIFY2(!fonts.contains("DejaVu"), qPrintable(fonts));

    // Cut marks: a cross on every inner grid point, two ticks under every row.
    PdfRaster page;
    QString error;
    QVERIFY2(page.load(readBytes(pdf), 300, &error), qPrintable(error));
    auto dark = [&](double x, double y) { return page.darkest(x, y) < 128; };
    auto light = [&](double x, double y) { return page.darkest(x, y) > 200; };
    for (int i = 1; i < 6; ++i) {
        const double y = i * H;
        QVERIFY2(dark(W - 0.5, y) && dark(W + 0.5, y) && dark(W, y - 0.5) && dark(W, y + 0.5),
                 qPrintable(QString("cross %1").arg(i)));
        QVERIFY2(light(W - 1.6, y) && light(W + 1.6, y) && light(W, y - 1.6) && light(W, y + 1.6),
                 qPrintable(QString("cross %1 too long").arg(i)));
    }
    for (int i = 1; i <= 6; ++i) {
        const double y = i * H;
        QVERIFY2(dark(m + 0.5, y) && light(m - 0.6, y) && light(m + 1.6, y),
                 qPrintable(QString("left tick under row %1").arg(i)));
        QVERIFY2(dark(P - m - 1.5, y) && light(P - m - 2.6, y) && light(P - m - 0.4, y),
                 qPrintable(QString("right tick under row %1").arg(i)));
    }
    QVERIFY2(light(W, 6 * H) && light(W, 0.5), "no mark on the outer edges");
}

void QPrinterSurfaceTest::sheetOnPdfMatchesTheLayout() {
    const QString pdf = dir_.filePath("sheet.pdf");
    QPrinterSurface surface(pdf);
    const Result<void> outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error()));
    QVERIFY(!surface.documentOpen());
    checkSheet(pdf);
}

void QPrinterSurfaceTest::sheetOnACupsQueueMatchesTheLayout() {
    const QPrinterInfo info = QPrinterInfo::printerInfo("Alfa");
    QVERIFY(!info.isNull());
    QPrinterSurface surface(info, [] { return submittedJobStatus("Alfa"); });
    QCOMPARE(surface.deviceName(), QStringLiteral("Alfa"));
    const Result<void> outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error()));

    const QByteArray job = cups_.waitForJob("Alfa");
    QVERIFY2(!job.isEmpty(), qPrintable(cups_.errorString()));
    const QString pdf = dir_.filePath("job.pdf");
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(job) == job.size());
    file.close();
    checkSheet(pdf);
}

void QPrinterSurfaceTest::abandonedPageSendsNothing() {
    const int before = cups_.jobCount("Alfa");
    QVERIFY(before >= 0);
    QPrinterSurface queue(QPrinterInfo::printerInfo("Alfa"));
    const QString pdf = dir_.filePath("abandoned.pdf");
    QPrinterSurface file(pdf);
    for (QPrinterSurface* surface : {&queue, &file}) {
        QVERIFY(surface->drawLine(10, 10, 20, 10));
        surface->setCurrentX(10);
        surface->setCurrentY(20);
        QVERIFY(surface->printText("mezza pagina"));
        QVERIFY(surface->documentOpen());
        surface->abortDoc();
        QVERIFY(!surface->documentOpen());
        QVERIFY(surface->endDoc());  // nothing left to hand over
    }
    QCOMPARE(cups_.jobCount("Alfa"), before);
    QVERIFY(!QFile::exists(pdf));
}

void QPrinterSurfaceTest::unwritableFileIsReported() {
    const QString pdf = dir_.filePath("missing-folder/sheet.pdf");
    int verified = 0;
    QPrinterSurface surface(pdf, [&]() -> Result<void> {
        ++verified;
        return {};
    });
    const Result<void> outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error().contains(pdf), qPrintable(outcome.error()));
    QCOMPARE(verified, 0);
    QVERIFY(!surface.documentOpen());
}

void QPrinterSurfaceTest::verifierDecidesWhetherThePrinterTookTheJob() {
    const QString pdf = dir_.filePath("verified.pdf");
    const QString refusal = QStringLiteral("La stampante \"Prova\" ha rifiutato la stampa.");
    QString answer = refusal;
    int calls = 0;
    bool writtenWhenAsked = false;
    QPrinterSurface surface(pdf, [&]() -> Result<void> {
        ++calls;
        writtenWhenAsked = QFileInfo(pdf).size() > 0;
        if (answer.isEmpty()) return {};
        return Failure{answer};
    });
    Result<void> outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY(!outcome.ok());
    QCOMPARE(outcome.error(), refusal);
    QCOMPARE(calls, 1);
    QVERIFY(writtenWhenAsked);

    answer.clear();
    outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY(outcome.ok());
    QCOMPARE(calls, 2);
}

void QPrinterSurfaceTest::refusingQueueIsTold() {
    QVERIFY2(cups_.rejectJobs("Beta"), qPrintable(cups_.errorString()));
    QPrinterSurface surface(QPrinterInfo::printerInfo("Beta"),
                            [] { return submittedJobStatus("Beta"); });
    const Result<void> outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY2(cups_.acceptJobs("Beta"), qPrintable(cups_.errorString()));
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error().contains("Beta"), qPrintable(outcome.error()));
}

void QPrinterSurfaceTest::noPrinterInstalled() {
    QPrinterSurface surface{QPrinterInfo()};
    const Result<void> outcome = StampaBiglietti(surface, fullRecord());
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error().contains("stampante"), qPrintable(outcome.error()));
}

void QPrinterSurfaceTest::sizeOfZeroPointsPrintsNothing() {
    const QString pdf = dir_.filePath("zero.pdf");
    QPrinterSurface surface(pdf);
    surface.setFontSize(0);
    QCOMPARE(surface.textWidth("abc"), 0.f);
    surface.setCurrentX(10);
    surface.setCurrentY(10);
    QVERIFY(surface.printText("invisibile"));
    surface.setFontSize(10);
    surface.setCurrentY(30);
    QVERIFY(surface.printText("visibile"));
    QVERIFY(surface.endDoc());
    const QList<PdfWord> words = pdfWords(readBytes(pdf));
    QCOMPARE(words.size(), 1);
    QCOMPARE(words[0].text, QStringLiteral("visibile"));
}

QTEST_MAIN(QPrinterSurfaceTest)
#include "tst_qprintersurface.moc"
