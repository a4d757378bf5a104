// The paper under the sheet on a surface with exact metrics: another paper size, a paper without
// one, pre-cut card stock, and the test sheet's outlines and cross.
#include <QTest>

#include "print/sheet.h"
#include "recordingsurface.h"
#include "samples.h"
#include "sheetdrawing.h"

using namespace quarzello;

Q_DECLARE_METATYPE(CardStock)

class PaperAndStockTest : public QObject {
    Q_OBJECT

  private slots:
    void otherPaperMovesOnlyWhatDependsOnIt() {
        // US Letter: 8.5 x 11 inches.
        RecordingSurface surface;
        surface.paperWidthTwips = 12240;
        surface.paperHeightTwips = 15840;
        QVERIFY(drawSheet(surface, nameOnly("1", "1")).ok());
        const double P = 12240 / 56.6857142;  // 215.93, not 215.9: the width's own divisor
        const double Q = 15840 / 56.6868687;
        QVERIFY(near(P, 215.93));
        QCOMPARE(surface.lines.size(), 2);
        QVERIFY(near(surface.lines[0].x1, 40) && near(surface.lines[0].y1, Q - 5));
        QVERIFY(near(surface.lines[1].x1, P - 42) && near(surface.lines[1].x2, P - 41));
        QCOMPARE(surface.texts.size(), 1);
        QVERIFY(near(surface.texts[0].right(), P - 43));
        QVERIFY(near(surface.texts[0].bottom(), 10));
    }
    void paperWithoutSizeIsRefused() {
        RecordingSurface surface;
        surface.paperWidthTwips = 0;
        const Result<void> outcome = drawSheet(surface, fullRecord());
        QVERIFY(!outcome.ok());
        QVERIFY(outcome.error().contains("\"Registratore\""));
        QVERIFY(!surface.touchedPaper());
    }
    void productCards_data() {
        // Each product as its maker's file gives it; the expected figures worked out by hand.
        QTest::addColumn<CardStock>("stock");
        QTest::addColumn<QList<double>>("firstCard");  // x, y, width, height
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<QList<double>>("spans");  // daOrizz and aOrizz of columns 0 and 1
        QTest::addColumn<double>("S");
        QTest::addColumn<float>("large");
        QTest::addColumn<float>("small");
        // 292 / 54 = 5.41: type of 5 rows, 10 and 8 points; margin 3.2 mm; S = 44 / 8.
        QTest::newRow("C32011-10")
            << CardStock{"Avery", "C32011-10", 85, 54, 3.2, {{2, 5, 15, 13.5, 95, 54}}}
            << QList<double>{15, 13.5, 85, 54} << 95.0 << 54.0
            << QList<double>{18.2, 96.8, 113.2, 191.8} << 5.5 << 10.f << 8.f;
        // In points: 255.1 x 147.4 (89.994 x 51.999 mm), from 42.51, 52.44 (14.997, 18.500 mm),
        // margin 5 pt (1.764 mm, less than 3 mm). 292 / 51.999 = 5.62: type of 6 rows, 9 and 7
        // points.
        const double pt = 25.4 / 72;
        QTest::newRow("L7414")
            << CardStock{"Avery",    "L7414",
                         255.1 * pt, 147.4 * pt,
                         5 * pt,     {{2, 5, 42.51 * pt, 52.44 * pt, 255.1 * pt, 147.4 * pt}}}
            << QList<double>{14.997, 18.500, 89.994, 51.999} << 89.994 << 51.999
            << QList<double>{17.997, 101.990, 107.990, 191.984} << 5.2499 << 9.f << 7.f;
    }
    void productCards() {
        QFETCH(CardStock, stock);
        QFETCH(QList<double>, firstCard);
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(QList<double>, spans);
        QFETCH(double, S);
        QFETCH(float, large);
        QFETCH(float, small);
        RecordingSurface surface;
        SheetOptions options;
        options.stock = std::make_shared<const CardStock>(stock);
        // The grid texts are not used on a product.
        const CardRecord record = fullRecord("19", "1");
        const Result<SheetPlan> plan =
            planSheet(surface, record, *paperFor(record, options), options);
        QVERIFY(plan.ok());
        QVERIFY(drawPage(surface, *plan).ok());
        QCOMPARE(plan->cards.size(), 10u);
        QVERIFY(surface.lines.isEmpty());  // no cut marks on pre-cut stock
        const QStringList lines = fullRecordLines();
        QCOMPARE(surface.texts.size(), 10 * 8);
        for (int card = 0; card < 10; ++card) {
            const int i = card / 2, k = card % 2;
            const PlannedCard& planned = plan->cards[std::size_t(card)];
            QVERIFY(near(planned.x, firstCard[0] + k * dx) &&
                    near(planned.y, firstCard[1] + i * dy));
            QVERIFY(near(planned.width, firstCard[2]) && near(planned.height, firstCard[3]));
            QVERIFY(near(planned.daOrizz, spans[2 * k]) && near(planned.aOrizz, spans[2 * k + 1]));
            for (int line = 0; line < 8; ++line) {
                const RecordedText& t = surface.texts[card * 8 + line];
                QCOMPARE(t.text, lines[line]);
                QCOMPARE(t.font.size, line == 0 ? large : small);
                // Right-aligned 3 mm before the span's end; the first box's bottom 10 mm down.
                QVERIFY2(near(t.right(), spans[2 * k + 1] - 3) &&
                             near(t.bottom(), firstCard[1] + i * dy + 10 + line * S),
                         qPrintable(QString("card %1 line %2 at %3, %4")
                                        .arg(card)
                                        .arg(line)
                                        .arg(t.right())
                                        .arg(t.bottom())));
            }
        }
    }
    void testSheetOutlinesAndCross() {
        RecordingSurface surface;
        SheetOptions options;
        options.stock = std::make_shared<const CardStock>(
            CardStock{"Avery", "C32011-10", 85, 54, 3.2, {{2, 5, 15, 13.5, 95, 54}}});
        options.testSheet = true;
        options.offset = {1.5, -0.8};
        const Result<SheetPlan> plan =
            planSheet(surface, fullRecord(), *paperFor({}, options), options);
        QVERIFY(plan.ok());
        QVERIFY(drawPage(surface, *plan).ok());
        QCOMPARE(surface.texts.size(), 1);
        const RecordedText& caption = surface.texts[0];
        QCOMPARE(caption.text, QStringLiteral("Foglio di prova: Avery C32011-10"));
        // No line of the sheet runs through the caption.
        for (const RecordedLine& l : surface.lines)
            QVERIFY2(std::max(l.x1, l.x2) < caption.x || std::min(l.x1, l.x2) > caption.right() ||
                         std::max(l.y1, l.y2) < caption.y ||
                         std::min(l.y1, l.y2) > caption.bottom(),
                     qPrintable(describe(l)));
        // 4 sides of 10 cards, the cross's two arms, 21 ticks on each.
        QCOMPARE(surface.lines.size(), 40 + 2 + 42);
        const auto is = [](const RecordedLine& l, double x1, double y1, double x2, double y2) {
            return near(l.x1, x1) && near(l.y1, y1) && near(l.x2, x2) && near(l.y2, y2);
        };
        // The first card's top and right sides; the last card's bottom; all moved by the offset.
        QVERIFY2(is(surface.lines[0], 16.5, 12.7, 101.5, 12.7),
                 qPrintable(describe(surface.lines[0])));
        QVERIFY(is(surface.lines[1], 101.5, 12.7, 101.5, 66.7));
        QVERIFY(is(surface.lines[38], 111.5, 282.7, 196.5, 282.7));
        // The cross at the page's centre, 105 and 148.5 mm from the paper's edges.
        QVERIFY(is(surface.lines[40], 96.5, 147.7, 116.5, 147.7));
        QVERIFY(is(surface.lines[41], 106.5, 137.7, 106.5, 157.7));
        // The ticks at -10 mm (longer) and -9 mm, on the horizontal arm.
        QVERIFY(is(surface.lines[42], 96.5, 147.7, 96.5, 149.7));
        QVERIFY(is(surface.lines[44], 97.5, 147.7, 97.5, 148.7));
    }
};

QTEST_GUILESS_MAIN(PaperAndStockTest)
#include "tst_paperandstock.moc"
