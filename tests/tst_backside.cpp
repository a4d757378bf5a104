// The back of the sheet: where each back lands, its lines, code and emblem on a surface with
// exact metrics; the emblem in a real PDF; the emblem files that are refused.
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "pdfbox.h"
#include "print/backside.h"
#include "print/margins.h"
#include "print/pdfsurface.h"
#include "print/qrcode.h"
#include "print/vcard.h"
#include "recordingsurface.h"
#include "tools.h"

using namespace quarzello;

namespace {

constexpr double kTolerance = 0.01;

CardRecord rossi() {
    CardRecord record;
    record.fields[Surname] = QStringLiteral("Rossi");
    return record;
}

// A product whose maker leaves 15 mm at the left and 20 mm at the right, with a 4 mm margin.
std::shared_ptr<const CardStock> product() {
    return std::make_shared<const CardStock>(
        CardStock{"Prova", "P-10", 85, 54, 4, {{2, 5, 15, 10, 90, 55}}});
}

// An emblem twice as wide as high.
std::shared_ptr<const Emblem> wideEmblem() {
    auto emblem = std::make_shared<Emblem>();
    emblem->image = QImage(200, 100, QImage::Format_RGB32);
    emblem->image.fill(Qt::red);
    return emblem;
}

bool near(const QRectF& a, const QRectF& b) {
    return std::abs(a.x() - b.x()) <= kTolerance && std::abs(a.y() - b.y()) <= kTolerance &&
           std::abs(a.width() - b.width()) <= kTolerance &&
           std::abs(a.height() - b.height()) <= kTolerance;
}

QString shown(const QRectF& r) {
    return QStringLiteral("(%1, %2, %3 × %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

#define COMPARE_RECT(actual, expected) \
    QVERIFY2(near(actual, expected),   \
             qPrintable(QStringLiteral("%1 != %2").arg(shown(actual), shown(expected))))

struct BackSheet {
    std::shared_ptr<const BackContent> back;
    SheetOptions options;
    Result<SheetPlan> plan = Failure{QString()};
};

BackSheet planBackOn(PrintSurface& surface, const QString& paper, TurnEdge edge, bool lines,
                     bool qr, std::shared_ptr<const Emblem> emblem) {
    BackSheet sheet;
    auto content = std::make_shared<BackContent>();
    if (lines) content->lines = QStringList{"Club", "dal 1987", "www"};
    content->qr = qr;
    content->edge = edge;
    content->emblem = std::move(emblem);
    sheet.back = content;
    sheet.options.qrCode = qr;
    sheet.options.back = content;
    if (paper == "product") sheet.options.stock = product();
    CardRecord record = rossi();
    record.rows = paper.section('x', 1);
    record.columns = paper.section('x', 0);
    sheet.plan = planBack(surface, record, *paperFor(record, sheet.options), sheet.options);
    return sheet;
}

}  // namespace

class BackSideTest : public QObject {
    Q_OBJECT

  private slots:
    void backsAndTheirContent_data();
    void backsAndTheirContent();
    void longLineIsCutAndTold();
    void testSheetAndMarginsOnTheBack();
    void largestGridForACodeOnTheBack();
    void pdfKeepsOneEmblemAndDrawsSvg();
    void badEmblems_data();
    void badEmblems();
};

void BackSideTest::backsAndTheirContent_data() {
    // Worked out by hand. The recording surface's type: 9 points is 0.75 mm a character and
    // 4.5 mm high, 7 points 7/12 mm and 3.5 mm. The lines "Club" (3 mm), "dal 1987" (4.667 mm),
    // "www" (1.75 mm) take 4.5 + 3.5 + 3.5 mm above the card's bottom margin, and the content
    // ends 1.5 mm above them. Rossi's code has 33 modules: 41 with its quiet zone, 16.4 mm.
    // The emblem, 2:1, is scaled to the box's width or height, whichever is tighter.
    QTest::addColumn<QString>("paper");
    QTest::addColumn<bool>("shortEdge");
    QTest::addColumn<bool>("lines");
    QTest::addColumn<bool>("qr");
    QTest::addColumn<QRectF>("first");  // the first back of the page, and the last
    QTest::addColumn<QRectF>("last");
    QTest::addColumn<QRectF>("line1");  // the first back's first line's box; empty: no lines
    QTest::addColumn<QPointF>("code");  // its code's first module; (0, 0): no code
    QTest::addColumn<QRectF>("emblem");
    // 105 × 48.667: the box 99 × 42.667 from (3, 3); the emblem 85.333 × 42.667.
    QTest::newRow("2x6 long") << "2x6" << false << false << false << QRectF(0, 0, 105, 48.6667)
                              << QRectF(105, 243.3333, 105, 48.6667) << QRectF() << QPointF()
                              << QRectF(9.8333, 3, 85.3333, 42.6667);
    // The 5 mm foot is at the top of the back: 297 − 243.333 − 48.667. Lines from 50.667 up;
    // the box from y 8 to 37.667, 29.667 high: the emblem 59.333 × 29.667.
    QTest::newRow("2x6 short lines")
        << "2x6" << true << true << false << QRectF(0, 5, 105, 48.6667)
        << QRectF(105, 248.3333, 105, 48.6667) << QRectF(51, 39.1667, 3, 4.5) << QPointF()
        << QRectF(22.8333, 8, 59.3333, 29.6667);
    // 52.5 × 36.5: lines from 33.5 up, the content from 3 to 20.5; the quiet zone from x 33.1
    // to 49.5 and y 3.55; the emblem's box 28.1 wide, to 2 mm left of the quiet zone.
    QTest::newRow("4x8 long lines code")
        << "4x8" << false << true << true << QRectF(0, 0, 52.5, 36.5)
        << QRectF(157.5, 255.5, 52.5, 36.5) << QRectF(24.75, 22, 3, 4.5) << QPointF(34.7, 5.15)
        << QRectF(3, 4.725, 28.1, 14.05);
    // No lines: the content from 8 to 38.5, the quiet zone from y 15.05.
    QTest::newRow("4x8 short code") << "4x8" << true << false << true << QRectF(0, 5, 52.5, 36.5)
                                    << QRectF(157.5, 260.5, 52.5, 36.5) << QRectF()
                                    << QPointF(34.7, 16.65) << QRectF(3, 16.225, 28.1, 14.05);
    // The product's front cards start at x 15 and 105: their backs at 210 − 105 − 85 = 20 and
    // 210 − 15 − 85 = 110. m = 4: lines from 60 up, the content from 14 to 47.
    QTest::newRow("product long lines")
        << "product" << false << true << false << QRectF(20, 10, 85, 54) << QRectF(110, 230, 85, 54)
        << QRectF(61, 48.5, 3, 4.5) << QPointF() << QRectF(29.5, 14, 66, 33);
    // The last front row (y 230) is the first back row: 297 − 230 − 54 = 13. Lines from 63 up,
    // the content from 17 to 50; the quiet zone from x 79.6 to 96, from y 25.3.
    QTest::newRow("product short lines code")
        << "product" << true << true << true << QRectF(15, 13, 85, 54) << QRectF(105, 233, 85, 54)
        << QRectF(56, 51.5, 3, 4.5) << QPointF(81.2, 26.9) << QRectF(19, 18.85, 58.6, 29.3);
}

void BackSideTest::backsAndTheirContent() {
    QFETCH(QString, paper);
    QFETCH(bool, shortEdge);
    QFETCH(bool, lines);
    QFETCH(bool, qr);
    QFETCH(QRectF, first);
    QFETCH(QRectF, last);
    QFETCH(QRectF, line1);
    QFETCH(QPointF, code);
    QFETCH(QRectF, emblem);
    QCOMPARE(encodeQr(cardVCard(rossi()).toUtf8(), QrCorrection::Medium)->size, 33);
    RecordingSurface surface;
    const BackSheet sheet = planBackOn(surface, paper, shortEdge ? TurnEdge::Short : TurnEdge::Long,
                                       lines, qr, wideEmblem());
    QVERIFY(sheet.plan.ok());
    const SheetPlan& plan = *sheet.plan;
    const PlannedCard& card = plan.cards.front();
    COMPARE_RECT(QRectF(card.x, card.y, card.width, card.height), first);
    const PlannedCard& end = plan.cards.back();
    COMPARE_RECT(QRectF(end.x, end.y, end.width, end.height), last);
    QCOMPARE(card.lines.size(), lines ? 3u : 0u);
    if (lines) {
        const LineBox& b = card.lines.front().box;
        COMPARE_RECT(QRectF(b.x, b.y, b.width, b.height), line1);
        // The last line's box ends on the bottom margin.
        QVERIFY(std::abs(card.lines.back().box.y + 3.5 - (card.y + card.height - plan.m)) < 0.01);
    }
    QCOMPARE(card.qr.has_value(), qr);
    if (qr) QVERIFY(QLineF(QPointF(card.qr->x, card.qr->y), code).length() < kTolerance);
    COMPARE_RECT(*card.emblem, emblem);

    // Drawn: every emblem where planned, the lines in the back's face, no cut marks.
    surface.clearRecord();
    QVERIFY(drawPage(surface, plan).ok());
    QCOMPARE(surface.emblems.size(), qsizetype(plan.cards.size()));
    COMPARE_RECT(surface.emblems.front().rect, emblem);
    QCOMPARE(surface.emblems.front().emblem, plan.emblem.get());
    QVERIFY(surface.lines.isEmpty());
    QCOMPARE(surface.images.size(), qr ? qsizetype(plan.cards.size()) : 0);
    if (lines) QCOMPARE(surface.texts.front().font, (RecordedFont{"Arial", 9, true, false}));

    // With the code on the back, the front has none.
    RecordingSurface front;
    const Result<SheetPlan> frontPlan =
        planSheet(front, rossi(), *paperFor(rossi(), sheet.options), sheet.options);
    QVERIFY(frontPlan.ok() && !frontPlan->qrLeftOut && !frontPlan->cards.front().qr);
}

void BackSideTest::longLineIsCutAndTold() {
    RecordingSurface surface;
    CardBack set;
    set.lines = QStringList{QString(100'000, QLatin1Char('x')), "", "dal 1987", "quarta"};
    const auto content = backContent(set, false, TurnEdge::Long, {});
    QVERIFY(content.ok() && *content);
    QCOMPARE((*content)->lines.size(), kBackLines);
    SheetOptions options;
    options.back = *content;
    const Result<SheetPlan> plan = planBack(surface, rossi(), SheetPaper(Grid{2, 6}), options);
    QVERIFY(plan.ok());
    // The empty line takes no place; the long one fits 99 mm: 131 characters of 0.75 mm.
    QCOMPARE(plan->cards.front().lines.size(), 2u);
    QCOMPARE(shortenedLines(*plan), QStringList{QString(131, QLatin1Char('x')) + "…"});
    for (const auto& [text, font] : surface.measured) QVERIFY(text.size() < 2000);
}

void BackSideTest::testSheetAndMarginsOnTheBack() {
    RecordingSurface surface;
    BackSheet sheet = planBackOn(surface, "product", TurnEdge::Long, true, false, wideEmblem());
    // 30 mm at the left: the emblems of the left column (from 29.5) are lost, nothing else.
    const MarginLoss loss = marginLoss(*sheet.plan, {true, 30, 5, 5, 5});
    QCOMPARE(loss.lost, QStringList{"lo stemma dei biglietti della colonna di sinistra"});

    sheet.options.testSheet = true;
    const Result<SheetPlan> test = planBack(surface, rossi(), SheetPaper(product()), sheet.options);
    QVERIFY(test.ok() && test->testSheet);
    const CardMark top = test->outlines.front(), cross = test->cross.front();
    QCOMPARE(QLineF(top.x1, top.y1, top.x2, top.y2), QLineF(20, 10, 105, 10));
    QCOMPARE(QLineF(cross.x1, cross.y1, cross.x2, cross.y2), QLineF(95, 148.5, 115, 148.5));
}

void BackSideTest::largestGridForACodeOnTheBack() {
    // Rossi's code, at low correction too: 33 modules, 16.4 mm with the quiet zone; with the 3 mm
    // margins a back needs 22.4 mm each way: 210 / 9 columns, 292 / 13 rows. A bold 9-point
    // line (ascent and descent of the face) and the 1.5 mm above it need that much more height.
    QCOMPARE(encodeQr(cardVCard(rossi()).toUtf8(), QrCorrection::Low)->size, 33);
    auto back = std::make_shared<BackContent>();
    back->qr = true;
    SheetOptions options;
    options.qrCode = true;
    options.back = back;
    const auto largest = [&] {
        const std::optional<Grid> grid = largestGridWithQr(rossi(), options);
        return grid ? QPoint(grid->columns, grid->rows) : QPoint();
    };
    QCOMPARE(largest(), QPoint(9, 13));
    back->lines = QStringList{"Club"};
    const double line = faceLineHeightMm("Liberation Sans", true, false, 9);
    QCOMPARE(largest(), QPoint(9, int(292 / (22.4 + 1.5 + line))));
}

void BackSideTest::pdfKeepsOneEmblemAndDrawsSvg() {
    QTemporaryDir dir;
    QImage picture(64, 32, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    QVERIFY(picture.save(dir.filePath("stemma.png")));
    QFile svg(dir.filePath("stemma.svg"));
    QVERIFY(svg.open(QIODevice::WriteOnly));
    svg.write(
        "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
        "<rect width='20' height='10' fill='black'/></svg>");
    svg.close();
    for (const QString name : {"stemma.png", "stemma.svg"}) {
        const Result<std::shared_ptr<const Emblem>> emblem = loadEmblem(dir.filePath(name));
        QVERIFY2(emblem.ok(), qPrintable(emblem.error()));
        PdfSurface surface(QStringLiteral("prova.pdf"));
        const BackSheet sheet = planBackOn(surface, "2x6", TurnEdge::Long, false, false, *emblem);
        QVERIFY(drawPage(surface, *sheet.plan).ok() && surface.endDoc().ok());
        PdfRaster raster;
        QVERIFY(raster.load(surface.document(), 50));
        const QRectF box = *sheet.plan->cards.front().emblem;
        QVERIFY(raster.darkest(box.center().x(), box.center().y()) < 64);
        if (name.endsWith(".svg")) continue;
        // pdfimages lists each use of an image with its object number: twelve uses, one object.
        QFile pdf(dir.filePath("retro.pdf"));
        QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write(surface.document()) > 0);
        pdf.close();
        const ToolRun listed = runTool(findTool("pdfimages"), {"-list", pdf.fileName()});
        QVERIFY2(listed.ok, qPrintable(listed.failure));
        QSet<QByteArray> objects;
        int uses = 0;
        for (const QByteArray& row : listed.output.split('\n')) {
            const QList<QByteArray> cells = row.simplified().split(' ');
            if (cells.size() > 11 && cells[2] == "image") ++uses, objects << cells[10];
        }
        QCOMPARE(uses, 12);
        QCOMPARE(objects.size(), 1);
    }
}

void BackSideTest::badEmblems_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("not a picture") << "note.png"
                                   << "non è un'immagine (PNG, JPEG o SVG)";
    QTest::newRow("gone") << "sparito.png"
                          << "non c'è più";
    QTest::newRow("directory") << "cartella"
                               << "non è un'immagine (PNG, JPEG o SVG)";
    QTest::newRow("17 MiB") << "grande.png"
                            << "è troppo grande: uno stemma può essere al massimo";
    QTest::newRow("100 megapixels") << "enorme.png"
                                    << "è troppo grande: 10000 × 10000 pixel";
}

void BackSideTest::badEmblems() {
    QFETCH(QString, name);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (name == "note.png") {
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Camper Club Roma\n") > 0);
    } else if (name == "cartella") {
        QVERIFY(QDir(dir.path()).mkdir(name));
    } else if (name == "grande.png") {
        // Sparse: no disk is spent on it.
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(kMaxEmblemBytes + 1));
    } else if (name == "enorme.png") {
        // A few kilobytes of PNG that would decode to 10000 × 10000 pixels.
        QImage huge(10000, 10000, QImage::Format_Mono);
        huge.fill(0);
        QVERIFY(huge.save(path, "PNG"));
    }
    file.close();
    const Result<std::shared_ptr<const Emblem>> emblem = loadEmblem(path);
    QVERIFY(!emblem.ok());
    QVERIFY2(emblem.error().startsWith("Il file " + path + " ") && emblem.error().contains(why),
             qPrintable(emblem.error()));
}

QTEST_MAIN(BackSideTest)
#include "tst_backside.moc"
