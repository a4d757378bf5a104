// The back of the sheet: where each back lands, its lines, code and emblem on a surface with
// exact metrics; the emblem in a real PDF; the emblem files that are refused.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "datafiles.h"
#include "pdfbox.h"
#include "print/backside.h"
#include "print/margins.h"
#include "print/pdfsurface.h"
#include "recordingsurface.h"

using namespace quarzello;

namespace {

CardRecord rossi(const QString& paper = "2x6") {
    CardRecord record;
    record.fields[Surname] = QStringLiteral("Rossi");
    record.rows = paper.section('x', 1);
    record.columns = paper.section('x', 0);
    return record;
}

// The back of every card of the paper ("2x6", or a product whose maker leaves 15 mm at the left
// and 20 mm at the right, with a 4 mm margin): three lines or none, the code or none, an emblem
// (by default a picture twice as wide as high).
SheetOptions backOf(const QString& paper, TurnEdge edge, bool lines, bool qr,
                    std::shared_ptr<const Emblem> emblem = std::make_shared<const Emblem>(Emblem{
                        {}, QImage(200, 100, QImage::Format_RGB32), {}, {}})) {
    SheetOptions options;
    options.qrCode = qr;
    BackContent back{std::move(emblem), {}, qr, edge, {}};
    if (lines) back.lines = {"Club", "dal 1987", "www"};
    options.back = std::make_shared<const BackContent>(std::move(back));
    if (paper == "product")
        options.stock = std::make_shared<const CardStock>(
            CardStock{"Prova", "P-10", 85, 54, 4, {{2, 5, 15, 10, 90, 55}}});
    return options;
}

}  // namespace

class BackSideTest : public QObject {
    Q_OBJECT

  private slots:
    void backsAndTheirContent_data();
    void backsAndTheirContent();
    void longLineTestSheetMarginsAndLargestGrid();
    void emblemFilesRefusedOrDrawn();
};

void BackSideTest::backsAndTheirContent_data() {
    // Worked out by hand. The recording surface's 9 points are 0.75 mm a character and 4.5 mm
    // high, 7 points 3.5 mm high: the lines take 11.5 mm above the bottom margin, the content
    // ends 1.5 mm above them. Rossi's code (33 modules) is 16.4 mm with its quiet zone. The
    // emblem, 2:1, fits its box's width or height. A row: the paper, edge, lines and code; the
    // first back (x, y, w, h), the last (x, y); on the first, the first line's box and the
    // code's first module (x, y; -1: none), the emblem (x, y, w, h).
    QTest::addColumn<QString>("want");
    // The 5 mm foot is at the top of the back; lines from 50.667 up, the box from 8 to 37.667.
    QTest::newRow("2x6 short lines")
        << "0 5 105 48.667  105 248.333  51 39.167  -1 -1  22.833 8 59.333 29.667";
    // No lines: the content from 8 to 38.5; the quiet zone from x 33.1 to 49.5 and y 15.05;
    // the emblem's box to 2 mm left of it.
    QTest::newRow("4x8 short code")
        << "0 5 52.5 36.5  157.5 260.5  -1 -1  34.7 16.65  3 16.225 28.1 14.05";
    // Front cards at x 15 and 105: their backs at 210 − 105 − 85 = 20 and 210 − 15 − 85 = 110.
    QTest::newRow("product long lines") << "20 10 85 54  110 230  61 48.5  -1 -1  29.5 14 66 33";
    // The last front row (y 230) is the first back row: 297 − 230 − 54 = 13.
    QTest::newRow("product short lines code")
        << "15 13 85 54  105 233  56 51.5  81.2 26.9  19 18.85 58.6 29.3";
}

void BackSideTest::backsAndTheirContent() {
    QFETCH(QString, want);
    const QString row = QTest::currentDataTag();
    const QString paper = row.section(' ', 0, 0);
    const bool lines = row.contains("lines"), qr = row.contains("code");
    const SheetOptions options =
        backOf(paper, row.contains("short") ? TurnEdge::Short : TurnEdge::Long, lines, qr);
    RecordingSurface surface;
    const Result<SheetPlan> plan =
        planBack(surface, rossi(paper), *paperFor(rossi(paper), options), options);
    const PlannedCard &card = plan->cards.front(), &end = plan->cards.back();
    // As drawn: one emblem a card, the lines in the back's face, no cut marks.
    surface.clearRecord();
    QVERIFY(drawPage(surface, *plan).ok());
    const qsizetype n = qsizetype(plan->cards.size());
    QCOMPARE((QList<qsizetype>{surface.emblems.size(), surface.images.size(), surface.texts.size(),
                               surface.lines.size()}),
             (QList<qsizetype>{n, qr ? n : 0, lines ? 3 * n : 0, 0}));
    if (lines) QCOMPARE(surface.texts.front().font, (RecordedFont{"Arial", 9, true, false}));
    const QRectF e = surface.emblems.front().rect,
                 code = qr ? surface.images.front().rect : QRectF(-1, -1, 0, 0);
    const RecordedText line = lines ? surface.texts.front() : RecordedText{{}, -1, -1, {}};
    const QList<double> got{card.x, card.y, card.width, card.height, end.x,
                            end.y,  line.x, line.y,     code.x(),    code.y(),
                            e.x(),  e.y(),  e.width(),  e.height()};
    const QStringList figures = want.split(' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < figures.size(); ++i)
        QVERIFY2(near(got[i], figures[i].toDouble()),
                 qPrintable(QString("%1: %2").arg(i).arg(got[i])));
    // With the code on the back, the front has none.
    const Result<SheetPlan> front =
        planSheet(surface, rossi(paper), *paperFor(rossi(paper), options), options);
    QVERIFY(front.ok() && !front->qrLeftOut && !front->cards.front().qr);
}

void BackSideTest::longLineTestSheetMarginsAndLargestGrid() {
    CardBack set;
    set.lines = QStringList{QString(100'000, QLatin1Char('x')), "", "dal 1987", "quarta"};
    SheetOptions options;
    options.back = *backContent(set, false, TurnEdge::Long, {});
    QCOMPARE(options.back->lines.size(), kBackLines);
    RecordingSurface surface;
    const Result<SheetPlan> plan = planBack(surface, rossi(), SheetPaper(Grid{2, 6}), options);
    // The empty line takes no place; the long one fits 99 mm: 131 characters of 0.75 mm.
    QCOMPARE(plan->cards.front().lines.size(), 2u);
    QCOMPARE(shortenedLines(*plan), QStringList{QString(131, QLatin1Char('x')) + "…"});
    for (const auto& [text, font] : surface.measured) QVERIFY(text.size() < 2000);

    options = backOf("product", TurnEdge::Long, true, false);
    const SheetPaper paper(options.stock);
    // 30 mm at the left: the emblems of the left column (from 29.5) are lost, nothing else.
    const MarginLoss loss =
        marginLoss(*planBack(surface, rossi(), paper, options), {true, 30, 5, 5, 5});
    QCOMPARE(loss.lost, QStringList{"lo stemma dei biglietti della colonna di sinistra"});
    options.testSheet = true;
    const Result<SheetPlan> test = planBack(surface, rossi(), paper, options);
    const CardMark top = test->outlines.front(), cross = test->cross.front();
    QCOMPARE(QLineF(top.x1, top.y1, top.x2, top.y2), QLineF(20, 10, 105, 10));
    QCOMPARE(QLineF(cross.x1, cross.y1, cross.x2, cross.y2), QLineF(95, 148.5, 115, 148.5));

    // The code on the back, at low correction too 16.4 mm with its quiet zone, needs 22.4 mm
    // each way: 210 / 9 columns, 292 / 13 rows; the three lines (the face's ascent and descent)
    // and the 1.5 mm above them need that much more height.
    const auto largest = [](const SheetOptions& back) {
        const std::optional<Grid> grid = largestGridWithQr(rossi(), back);
        return grid ? QPoint(grid->columns, grid->rows) : QPoint();
    };
    QCOMPARE(largest(backOf("2x6", TurnEdge::Long, false, true, nullptr)), QPoint(9, 13));
    const double lines = 22.4 + 1.5 + faceLineHeightMm("Liberation Sans", true, false, 9) +
                         2 * faceLineHeightMm("Liberation Sans", false, false, 7);
    QCOMPARE(largest(backOf("2x6", TurnEdge::Long, true, true, nullptr)),
             QPoint(9, int(292 / lines)));
}

void BackSideTest::emblemFilesRefusedOrDrawn() {
    QTemporaryDir dir;
    QVERIFY(datafiles::writeBytes(dir.filePath("note.png"), "Camper Club Roma\n"));
    QVERIFY(QDir(dir.path()).mkdir("cartella"));
    // Sparse: no disk is spent on it.
    QVERIFY(datafiles::writeBytes(dir.filePath("grande.png"), "") &&
            QFile::resize(dir.filePath("grande.png"), kMaxEmblemBytes + 1));
    QImage huge(10000, 10000, QImage::Format_Mono);
    huge.fill(0);  // a few kilobytes of PNG
    QVERIFY(huge.save(dir.filePath("enorme.png"), "PNG"));
    const QList<QPair<QString, QString>> cases{
        {"note.png", "non è un'immagine (PNG, JPEG o SVG)."},
        {"sparito.png", "non c'è più."},
        {"cartella", "non è un'immagine (PNG, JPEG o SVG)."},
        {"grande.png", "è troppo grande: uno stemma può essere al massimo di 16 MiB."},
        {"enorme.png", "è troppo grande: 10000 × 10000 pixel, uno stemma può averne al massimo"}};
    for (const auto& [name, why] : cases) {
        const Result<std::shared_ptr<const Emblem>> emblem = loadEmblem(dir.filePath(name));
        QVERIFY2(
            !emblem.ok() && emblem.error().startsWith("Il file " + dir.filePath(name) + " " + why),
            qPrintable(emblem.error()));
    }

    QImage picture(64, 32, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    QVERIFY(picture.save(dir.filePath("stemma.png")));
    QVERIFY(datafiles::writeBytes(dir.filePath("stemma.svg"),
                                  "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
                                  "<rect width='20' height='10'/></svg>"));
    for (const QString name : {"stemma.png", "stemma.svg"}) {
        const Result<std::shared_ptr<const Emblem>> emblem = loadEmblem(dir.filePath(name));
        const SheetOptions options = backOf("2x6", TurnEdge::Long, false, false, *emblem);
        PdfSurface surface(QStringLiteral("prova.pdf"));
        const Result<SheetPlan> plan = planBack(surface, rossi(), SheetPaper(Grid{2, 6}), options);
        QVERIFY(drawPage(surface, *plan).ok() && surface.endDoc().ok());
        // Every card's emblem drawn; a picture kept once in the document, an SVG as vectors.
        PdfRaster raster;
        QVERIFY(raster.load(surface.document(), 50));
        for (const PlannedCard& card : plan->cards)
            QVERIFY(raster.darkest(card.emblem->center().x(), card.emblem->center().y()) < 64);
        QCOMPARE(surface.document().count("/Subtype /Image"), name.endsWith(".png") ? 1 : 0);
    }
}

QTEST_MAIN(BackSideTest)
#include "tst_backside.moc"
