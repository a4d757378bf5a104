// The printer's margins on a surface with exact metrics: what falls outside the printable area,
// the question asked about it and the reduced sheet, and the QR code's size worked out before it
// is encoded.
#include <QTest>

#include "print/margins.h"
#include "print/qrcode.h"
#include "print/sheet.h"
#include "recordingsurface.h"
#include "samples.h"

using namespace quarzello;

Q_DECLARE_METATYPE(PrintableArea)
Q_DECLARE_METATYPE(CardRecord)

class MarginLossTest : public QObject {
    Q_OBJECT

  private slots:
    void marginsLoseAndReduce_data() {
        QTest::addColumn<CardRecord>("record");
        QTest::addColumn<PrintableArea>("area");
        QTest::addColumn<QStringList>("lost");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QPointF>("offset");  // the printer's, across and down

        // 2 x 6: the name's box is 5.5 to 10 mm from the top, the role's 11.33 to 14.83, the last
        // row's web line ends at 287.17 and its ticks are at 292. Against 284.3 mm the ticks need
        // (284.3 - 148.5) / (292 - 148.5) = 0.946; the name (148.5 - 12.7) / (148.5 - 5.5) = 0.950.
        const QStringList topAndBottom = {
            "la prima riga dei biglietti della fila in alto: «Dott. Mario Rossi»",
            "la seconda riga dei biglietti della fila in alto: «Presidente circolo»",
            "l'ultima riga dei biglietti della fila in basso: «Internet: www.esempio.it»",
            "i segni di taglio in basso"};
        QTest::newRow("2 x 6, 12.7 mm top and bottom")
            << fullRecord() << PrintableArea{true, 0, 0, 12.7, 12.7} << topAndBottom << 94
            << QPointF();
        // 4 x 8: ticks at 5 to 6 and 203 to 204 mm; a role of 88 characters (44 mm at 6 points)
        // starts 0.5 mm from the left edge: (105 - 6.35) / (105 - 0.5) = 0.944.
        CardRecord longRole = fullRecord("8", "4");
        longRole.fields[Role] = QString(100, u'x');
        QTest::newRow("4 x 8, 6.35 mm at the sides")
            << longRole << PrintableArea{true, 6.35, 6.35, 0, 0}
            << QStringList{"la seconda riga dei biglietti della colonna di sinistra: «" +
                               QString(88, u'x') + "…»",
                           "i segni di taglio a sinistra", "i segni di taglio a destra"}
            << 94 << QPointF();
        QTest::newRow("4.2 mm all round: it fits")
            << fullRecord() << PrintableArea{true, 4.2, 4.2, 4.2, 4.2} << QStringList() << 100
            << QPointF();
        QTest::newRow("unknown") << fullRecord() << PrintableArea{false, 6.35, 6.35, 12.7, 12.7}
                                 << QStringList() << 100 << QPointF();
        QTest::newRow("past the paper at the sides: clipped")
            << fullRecord() << PrintableArea{true, -3, -1, 12.7, 12.7} << topAndBottom << 94
            << QPointF();
        QTest::newRow("inverted") << fullRecord() << PrintableArea{true, 6.35, 6.35, 150, 150}
                                  << QStringList() << 100 << QPointF();
        // Wide, but a margin all the same: the ticks at 15 mm need (105 - 60) / (105 - 15) = 0.5.
        QTest::newRow("60 mm at the left")
            << fullRecord() << PrintableArea{true, 60, 0, 0, 0}
            << QStringList{"i segni di taglio a sinistra"} << 50 << QPointF();
        QTest::newRow("not a number") << fullRecord() << PrintableArea{true, NAN, 6.35, 12.7, 12.7}
                                      << QStringList() << 100 << QPointF();
        // The printer's offset moves everything before it is measured: 2 mm up takes the name past
        // a 4.2 mm margin, (148.5 - 6.2) / 143 = 0.995; 10 mm down takes the foot past the paper
        // whose printer said nothing, (297 - 10 - 148.5) / 143.5 = 0.965; 3 mm up needs
        // (148.5 - 15.7) / 143 = 0.929 against 12.7 mm margins.
        QTest::newRow("4.2 mm all round, moved 2 mm up")
            << fullRecord() << PrintableArea{true, 4.2, 4.2, 4.2, 4.2}
            << QStringList{topAndBottom[0]} << 99 << QPointF(0, -2);
        QTest::newRow("unknown, moved 10 mm down: past the paper")
            << fullRecord() << PrintableArea{} << QStringList{topAndBottom[2], topAndBottom[3]}
            << 96 << QPointF(0, 10);
        QTest::newRow("2 x 6, 12.7 mm top and bottom, moved 3 mm up")
            << fullRecord() << PrintableArea{true, 0, 0, 12.7, 12.7}
            << QStringList{topAndBottom[0], topAndBottom[1], topAndBottom[3]} << 92
            << QPointF(0, -3);
    }
    void marginsLoseAndReduce() {
        QFETCH(CardRecord, record);
        QFETCH(PrintableArea, area);
        QFETCH(QStringList, lost);
        QFETCH(int, factor);
        QFETCH(QPointF, offset);

        RecordingSurface whole, reduced;
        SheetOptions options;
        options.offset = {offset.x(), offset.y()};
        const SheetPaper paper = *paperFor(record, options);
        const Result<SheetPlan> plan = planSheet(whole, record, paper, options);
        QVERIFY(plan.ok());
        const MarginLoss loss = marginLoss(*plan, area);
        QCOMPARE(loss.lost, lost);
        QCOMPARE(loss.factorPercent, factor);
        if (factor == 94 && area.left == 0 && offset.isNull()) {
            const QString cr(QChar(13));
            QCOMPARE(
                marginLossQuestion(loss, area),
                "La stampante non stampa vicino ai bordi del foglio (in alto 12,7 mm, in basso "
                "12,7 mm, a sinistra 0 mm, a destra 0 mm): queste parti del foglio non saranno "
                "stampate:" +
                    cr + lost.join(cr) + cr + cr +
                    "Ridotto al 94 %, il foglio entra tutto nell'area stampabile e i biglietti "
                    "restano uguali tra loro." +
                    cr + cr + "Stampare così, ridurre il foglio o annullare la stampa?");
        }

        // Drawn at the factor, about the page's centre, all of it is inside.
        QVERIFY(drawPage(whole, *plan).ok() && whole.endDoc().ok());
        QVERIFY(planSheet(reduced, record, paper, options).ok());
        QVERIFY(drawPage(reduced, *plan, loss.factor()).ok() && reduced.endDoc().ok());
        const PrintableArea a = usableArea(area, 210, 297);
        // The parts the preview marks are what the question names: none when it names none, and
        // each of them at least partly outside the printable area.
        QCOMPARE(loss.parts.empty(), lost.isEmpty());
        const QRectF printable(a.left, a.top, 210 - a.left - a.right, 297 - a.top - a.bottom);
        for (const LostPart& part : loss.parts) QVERIFY(!printable.contains(part.box));
        const auto inside = [&](double x, double y) {
            return x >= a.left - kRecordedTolerance && x <= 210 - a.right + kRecordedTolerance &&
                   y >= a.top - kRecordedTolerance && y <= 297 - a.bottom + kRecordedTolerance;
        };
        const double f = loss.factor();
        QCOMPARE(reduced.texts.size(), whole.texts.size());
        for (int i = 0; i < reduced.texts.size(); ++i) {
            const RecordedText& t = reduced.texts[i];
            QVERIFY2(inside(t.x, t.y) && inside(t.right(), t.bottom()), qPrintable(t.text));
            QVERIFY(near(t.x, 105 + offset.x() + f * (whole.texts[i].x - offset.x() - 105)));
            QVERIFY(near(t.bottom(),
                         148.5 + offset.y() + f * (whole.texts[i].bottom() - offset.y() - 148.5)));
        }
        QCOMPARE(reduced.lines.size(), whole.lines.size());
        for (int i = 0; i < reduced.lines.size(); ++i) {
            const RecordedLine& l = reduced.lines[i];
            QVERIFY2(inside(l.x1, l.y1) && inside(l.x2, l.y2), qPrintable(describe(l)));
            QVERIFY(near(l.x2 - l.x1, f * (whole.lines[i].x2 - whole.lines[i].x1)));
        }
    }
    // A code's size comes from the bytes' length before its modules are worked out: the encoder
    // gives that size at the most bytes each version holds, and the next version one byte later.
    void qrSizeKnownBeforeEncoding() {
        for (const QrCorrection correction : {QrCorrection::Low, QrCorrection::Medium}) {
            std::optional<QrMatrix> last = encodeQr(QByteArray(1, 'x'), correction);
            int versions = 1;
            for (qsizetype n = 2;; ++n) {
                std::optional<QrMatrix> code = encodeQr(QByteArray(n, 'x'), correction);
                if (code && code->size == last->size) continue;
                QCOMPARE(encodeQr(QByteArray(n - 1, 'x'), correction)->modules().width(),
                         last->size);
                if (!code) break;
                QCOMPARE(code->modules().width(), code->size);
                QCOMPARE(code->size, last->size + 4);
                ++versions;
                last = std::move(code);
            }
            QCOMPARE(versions, 40);
        }
    }
};

QTEST_GUILESS_MAIN(MarginLossTest)
#include "tst_marginloss.moc"
