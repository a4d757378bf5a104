// The real print surface: a sheet drawn into a PDF document, on its own and after a private CUPS
// queue received it, read back with poppler's tools. Line ends and box bottoms must be where the
// layout put them, text sizes must be true points, the paper A4, and the cut marks on the page.
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "datafiles.h"
#include "pdfbox.h"
#include "print/fonts.h"
#include "print/pdfsurface.h"
#include "print/screensurface.h"
#include "print/sheet.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"
#include "samples.h"
#include "sheetdrawing.h"
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

class PdfSurfaceTest : public QObject {
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
    void abandonedPageLeavesNoDocument();
    void severalPagesInOneDocument();
    void sizeOfZeroPointsPrintsNothing();
    void previewIsThePrint_data();
    void previewIsThePrint();

  private:
    // Checks the sheet of fullRecord() in a PDF against the layout's arithmetic.
    void checkSheet(const QString& pdf);

    PrivateCups cups_;
    QTemporaryDir dir_;
};

void PdfSurfaceTest::initTestCase() {
    // The scheduler must be ours before anything in this process asks for a printer.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Alfa"), qPrintable(cups_.errorString()));
    QVERIFY(dir_.isValid());
}

void PdfSurfaceTest::paperSizeInTwips_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("A4 portrait") << 1 << 11906 << 16838;
    QTest::newRow("A4 landscape") << 2 << 16838 << 11906;
}

void PdfSurfaceTest::paperSizeInTwips() {
    QFETCH(int, orientation);
    QFETCH(int, width);
    QFETCH(int, height);
    PdfSurface surface("Prova");
    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(orientation);
    surface.setScaleMode(PrintSurface::kMillimetres);
    QCOMPARE(surface.paperWidth(), width);
    QCOMPARE(surface.paperHeight(), height);
}

void PdfSurfaceTest::typefaceStandIns_data() {
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

void PdfSurfaceTest::typefaceStandIns() {
    QFETCH(QString, requested);
    QFETCH(QString, family);

    // The surface picks the face itself, with or without QFont's table.
    const QStringList names = {"Times new roman", "Arial special", "Arial", "MS Sans Serif",
                               "MS Serif"};
    for (const QString& name : names) QFont::removeSubstitutions(name);
    PdfSurface surface("Prova");
    surface.setFontName(requested);
    surface.setFontBold(true);
    QCOMPARE(QFontInfo(surface.currentFont()).family(), family);
    QVERIFY(QFontInfo(surface.currentFont()).bold());

    // The same table for every QFont of the program, once main() has installed it.
    installFontSubstitutions();
    QCOMPARE(QFontInfo(QFont(requested)).family(), family);
    for (const QString& name : names) QFont::removeSubstitutions(name);
}

void PdfSurfaceTest::fontSizesAreTruePoints() {
    PdfSurface surface("Prova");
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

void PdfSurfaceTest::checkSheet(const QString& pdf) {
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

void PdfSurfaceTest::sheetOnPdfMatchesTheLayout() {
    PdfSurface surface("Prova");
    const Result<void> outcome = drawSheet(surface, fullRecord());
    QVERIFY2(outcome.ok(), qPrintable(outcome.error()));
    QVERIFY(!surface.documentOpen());
    const QString pdf = dir_.filePath("sheet.pdf");
    QVERIFY(datafiles::writeBytes(pdf, surface.document()));
    checkSheet(pdf);
}

void PdfSurfaceTest::sheetOnACupsQueueMatchesTheLayout() {
    // What the queue receives is the very document the surface drew.
    PdfSurface surface("Alfa");
    QVERIFY(drawSheet(surface, fullRecord()).ok());
    CupsPrinterSystem printers;
    Deadline deadline(30000);
    const Result<int> job = printers.submitJob("Alfa", surface.document(), deadline);
    QVERIFY2(job.ok(), qPrintable(job.error()));

    const QByteArray received = cups_.waitForJob("Alfa");
    QVERIFY2(!received.isEmpty(), qPrintable(cups_.errorString()));
    QCOMPARE(received, surface.document());
    const QString pdf = dir_.filePath("job.pdf");
    QVERIFY(datafiles::writeBytes(pdf, received));
    checkSheet(pdf);
}

void PdfSurfaceTest::abandonedPageLeavesNoDocument() {
    PdfSurface surface("Prova");
    QVERIFY(surface.drawLine(10, 10, 20, 10));
    surface.setCurrentX(10);
    surface.setCurrentY(20);
    QVERIFY(surface.printText("mezza pagina"));
    QVERIFY(surface.documentOpen());
    QVERIFY(surface.endPage());
    QVERIFY(surface.printText("seconda pagina"));
    surface.abortDoc();  // the page ended before goes too
    QVERIFY(!surface.documentOpen());
    QVERIFY(surface.endDoc());  // nothing left to end
    QVERIFY(surface.document().isEmpty());
}

void PdfSurfaceTest::severalPagesInOneDocument() {
    const QStringList names{"Ugo Neri", "Lia Bassi", "Eva Gallo"};
    PdfSurface surface("Prova");
    for (const QString& name : names) {
        const Result<SheetPlan> plan =
            planSheet(surface, clubRecord(name.section(' ', 0, 0), name.section(' ', 1), "6", "2"),
                      SheetPaper({2, 6}));
        QVERIFY(plan && drawPage(surface, *plan));
        if (name != names.constLast()) QVERIFY(surface.endPage());
    }
    QVERIFY(surface.endDoc());
    const QStringList pages = PrivateCups::pdfText(surface.document()).split('\f');
    QCOMPARE(pages.size(), names.size() + 1);  // pdftotext ends every page with a form feed
    for (qsizetype i = 0; i < names.size(); ++i)
        for (qsizetype other = 0; other < names.size(); ++other)
            QCOMPARE(pages[i].count("Dott. " + names[other]), other == i ? 12 : 0);
}

void PdfSurfaceTest::sizeOfZeroPointsPrintsNothing() {
    PdfSurface surface("Prova");
    surface.setFontSize(0);
    QCOMPARE(surface.textWidth("abc"), 0.f);
    surface.setCurrentX(10);
    surface.setCurrentY(10);
    QVERIFY(surface.printText("invisibile"));
    surface.setFontSize(10);
    surface.setCurrentY(30);
    QVERIFY(surface.printText("visibile"));
    QVERIFY(surface.endDoc());
    const QList<PdfWord> words = pdfWords(surface.document());
    QCOMPARE(words.size(), 1);
    QCOMPARE(words[0].text, QStringLiteral("visibile"));
}

void PdfSurfaceTest::previewIsThePrint_data() {
    QTest::addColumn<CardRecord>("record");
    for (const auto& [columns, rows] : {std::pair{"2", "6"}, {"4", "8"}}) {
        const QString grid = QStringLiteral(" %1 x %2").arg(columns, rows);
        CardRecord longRole = fullRecord(rows, columns);
        longRole.fields[Role] = QString(120, u'x');
        QTest::newRow(qPrintable("full" + grid)) << fullRecord(rows, columns);
        QTest::newRow(qPrintable("long name split" + grid))
            << crowdedRecord(QString(columns).toInt(), QString(rows).toInt());
        QTest::newRow(qPrintable("long role shortened" + grid)) << longRole;
    }
}

void PdfSurfaceTest::previewIsThePrint() {
    // The preview's picture of the page against the PDF's, both at 150 dots per inch: only the
    // antialiasing of the two renderers may differ.
    QFETCH(CardRecord, record);
    constexpr int kDpi = 150;
    PdfSurface pdf("Prova");
    QVERIFY(drawSheet(pdf, record).ok());
    PdfRaster printed;
    QString error;
    QVERIFY2(printed.load(pdf.document(), kDpi, &error), qPrintable(error));

    ScreenSurface screen;
    QVERIFY(drawSheet(screen, record).ok());
    const QImage shown = screen.picture(kDpi).convertToFormat(QImage::Format_Grayscale8);
    // pdftoppm rounds the page's points up to whole pixels.
    QVERIFY(std::abs(shown.width() - printed.width()) <= 1);
    QVERIFY(std::abs(shown.height() - printed.height()) <= 1);
    const int width = std::min(shown.width(), printed.width());
    const int height = std::min(shown.height(), printed.height());
    // The two renderers antialias edges their own way: a pixel is ink when darker than mid-grey,
    // and an inked pixel of one picture is the same when the other has ink at it or next to it.
    // Only inked pixels count, so that the white paper does not hide a missing line.
    const auto inked = [&](int x, int y, bool paper) {
        return (paper ? printed.grey(x, y) : int(shown.constScanLine(y)[x])) < 128;
    };
    const auto inkNear = [&](int x, int y, bool paper) {
        for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny)
            for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx)
                if (inked(nx, ny, paper)) return true;
        return false;
    };
    qint64 apart = 0, ink = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool onScreen = inked(x, y, false), onPaper = inked(x, y, true);
            ink += onScreen || onPaper;
            apart += (onScreen && !inkNear(x, y, true)) || (onPaper && !inkNear(x, y, false));
        }
    QVERIFY(ink > 1000);  // something printed to compare
    const double share = double(apart) / double(ink);
    QVERIFY2(share < 0.01,
             qPrintable(QStringLiteral("%1 % of the inked pixels differ").arg(share * 100)));
}

QTEST_MAIN(PdfSurfaceTest)
#include "tst_pdfsurface.moc"
