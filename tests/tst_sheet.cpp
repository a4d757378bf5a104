// The plain sheet on a surface with exact metrics: grid reading and refusal, card sizes and line
// positions, the order of the cards, the cut marks, and what a failing printer leads to.
#include <QTest>

#include "print/gridtext.h"
#include "print/sheet.h"
#include "recordingsurface.h"
#include "samples.h"
#include "sheetdrawing.h"

using namespace quarzello;

Q_DECLARE_METATYPE(RecordedLine)

namespace {

QStringList drawingsOnly(const QStringList& log) {
    QStringList kept;
    for (const QString& op : log) {
        if (op == "drawLine" || op == "printText" || op == "endDoc" || op == "abortDoc" ||
            op == "fontName")
            kept << op;
    }
    return kept;
}

}  // namespace

class SheetTest : public QObject {
    Q_OBJECT

  private slots:
    void workedExampleTwoColumnsSixRows() {
        RecordingSurface surface;
        const Result<void> outcome = drawSheet(surface, fullRecord());
        QVERIFY(outcome.ok());
        QVERIFY(outcome.error().isEmpty());
        QCOMPARE(surface.pagesHandedOver, 1);
        QCOMPARE(surface.paperSizeCode, 9);
        QCOMPARE(surface.orientationCode, 1);
        QCOMPARE(surface.scaleCode, 6);
        QCOMPARE(surface.log.mid(0, 4),
                 QStringList({"paperSize", "orientation", "scaleMode", "fontName"}));

        const QStringList lines = fullRecordLines();

        const double H = 292.0 / 6;     // 48.667
        const double S = (H - 10) / 8;  // 4.833 with 8 lines
        QVERIFY(near(S, 4.833));
        QCOMPARE(surface.texts.size(), 12 * 8);
        for (int card = 0; card < 12; ++card) {
            const int i = card / 2;
            const int k = card % 2;
            for (int line = 0; line < 8; ++line) {
                const RecordedText& t = surface.texts[card * 8 + line];
                QCOMPARE(t.text, lines[line]);
                QCOMPARE(t.font.name, QStringLiteral("Arial special"));
                QCOMPARE(t.font.size, line == 0 ? 9.f : 7.f);
                QVERIFY2(
                    near(t.right(), k == 0 ? 87 : 192),
                    qPrintable(
                        QString("card %1 line %2 ends at %3").arg(card).arg(line).arg(t.right())));
                const double bottom = i * H + 10 + line * S;
                QVERIFY2(near(t.bottom(), bottom),
                         qPrintable(QString("card %1 line %2 bottom %3, expected %4")
                                        .arg(card)
                                        .arg(line)
                                        .arg(t.bottom())
                                        .arg(bottom)));
            }
        }
    }
    void cardsGoRowByRowLeftToRight() {
        RecordingSurface surface;
        QVERIFY(drawSheet(surface, nameOnly("2", "3")).ok());

        QStringList perCard = {"drawLine", "drawLine", "fontName", "printText"};
        // The page's typeface, the name's measuring font and the cards' face for fitting the
        // lines, before the cards.
        QStringList expected = {"fontName", "fontName", "fontName"};
        for (int card = 0; card < 6; ++card) expected << perCard;
        expected << "endDoc";
        QCOMPARE(drawingsOnly(surface.log), expected);

        QCOMPARE(surface.texts.size(), 6);
        for (int card = 0; card < 6; ++card) {
            const int i = card / 3;
            const int k = card % 3;
            // 3 columns: cards 70 mm wide, margin 7, lines ending 10 mm before the card's edge.
            QVERIFY(near(surface.texts[card].right(), (k + 1) * 70.0 - 10));
            QVERIFY(near(surface.texts[card].bottom(), i * 146.0 + 10));
        }
    }
    void cutMarks_data() {
        QTest::addColumn<QString>("rowsText");
        QTest::addColumn<QString>("columnsText");
        QTest::addColumn<QList<RecordedLine>>("lines");

        // One row: only ticks on the bottom edge of the row, drawn once for every card.
        const float b = 292;
        QTest::newRow("one row, three columns")
            << "1"
            << "3" << QList<RecordedLine>{{7, b, 8, b},     {201, b, 202, b}, {7, b, 8, b},
                                          {201, b, 202, b}, {7, b, 8, b},     {201, b, 202, b}};

        // One column: every card is in the first column, so ticks under each row.
        const float h = 292.f / 3;
        QTest::newRow("three rows, one column")
            << "3"
            << "1" << QList<RecordedLine>{{40, h, 41, h},         {168, h, 169, h},
                                          {40, 2 * h, 41, 2 * h}, {168, 2 * h, 169, 2 * h},
                                          {40, 3 * h, 41, 3 * h}, {168, 3 * h, 169, 3 * h}};

        // An inner grid point gets a cross, horizontal stroke first.
        QTest::newRow("two rows, two columns")
            << "2"
            << "2"
            << QList<RecordedLine>{{15, 146, 16, 146},   {193, 146, 194, 146}, {15, 146, 16, 146},
                                   {193, 146, 194, 146}, {15, 292, 16, 292},   {193, 292, 194, 292},
                                   {104, 146, 106, 146}, {105, 145, 105, 147}};
    }
    void cutMarks() {
        QFETCH(QString, rowsText);
        QFETCH(QString, columnsText);
        QFETCH(QList<RecordedLine>, lines);

        RecordingSurface surface;
        CardRecord empty;
        empty.rows = rowsText;
        empty.columns = columnsText;
        // A card without data still gets its marks, and the page still goes out.
        QVERIFY(drawSheet(surface, empty).ok());
        QVERIFY(surface.texts.isEmpty());
        QCOMPARE(surface.lines.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            const RecordedLine& got = surface.lines[i];
            const RecordedLine& want = lines[i];
            QVERIFY2(near(got.x1, want.x1) && near(got.y1, want.y1) && near(got.x2, want.x2) &&
                         near(got.y2, want.y2),
                     qPrintable(QString("line %1 is %2, expected %3")
                                    .arg(i)
                                    .arg(describe(got), describe(want))));
        }
    }
    void readsGridNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");  // -99999: beyond 16 bits
        QTest::newRow("plain") << "6" << 6;
        QTest::newRow("leading spaces") << "  4" << 4;
        QTest::newRow("trailing text") << "3 colonne" << 3;
        QTest::newRow("italian decimal comma stops the number") << "2,5" << 2;
        QTest::newRow("half rounds to even, down") << "2.5" << 2;
        QTest::newRow("half rounds to even, up") << "3.5" << 4;
        QTest::newRow("only a fraction") << ".5" << 0;
        QTest::newRow("plus sign") << "+7" << 7;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("exponent") << "1e1" << 10;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letter first") << "x6" << 0;
        QTest::newRow("largest 16-bit") << "32767" << 32767;
        QTest::newRow("rounds past 16 bits") << "32767.5" << -99999;
        QTest::newRow("beyond 16 bits") << "40000" << -99999;
        QTest::newRow("below 16 bits") << "-32769" << -99999;
        QTest::newRow("huge") << QString(400, u'9') << -99999;
        QTest::newRow("huge exponent") << "1e999" << -99999;
        QTest::newRow("tiny exponent") << "1e-999" << 0;
        QTest::newRow("huge despite a negative exponent") << QString(400, u'9') + "e-1" << -99999;
        QTest::newRow("tiny despite a positive exponent") << "0." + QString(400, u'0') + "1e2" << 0;
        QTest::newRow("huge fraction") << QString(400, u'9') + ".5" << -99999;
    }
    void readsGridNumbers() {
        QFETCH(QString, text);
        QFETCH(int, value);
        const std::optional<int> got = readGridNumber(text);
        if (value == -99999) {
            QVERIFY(!got.has_value());
        } else {
            QVERIFY(got.has_value());
            QCOMPARE(*got, value);
        }
    }
    void refusesGridsThatCannotPrint_data() {
        QTest::addColumn<QString>("rowsText");
        QTest::addColumn<QString>("columnsText");
        QTest::addColumn<QStringList>("mentions");

        const QString columnsList = "Colonne per pagina";
        const QString rowsList = "Righe per pagina";
        const QString colRange = "da 1 a 21";
        const QString rowRange = "da 1 a 19";
        QTest::newRow("no columns") << "6"
                                    << "" << QStringList{columnsList, "\"\"", colRange};
        QTest::newRow("zero columns") << "6"
                                      << "0" << QStringList{columnsList, "\"0\"", colRange};
        QTest::newRow("negative columns") << "6"
                                          << "-1" << QStringList{columnsList, "\"-1\"", colRange};
        QTest::newRow("text for columns") << "6"
                                          << "abc" << QStringList{columnsList, "\"abc\"", colRange};
        QTest::newRow("22 columns") << "6"
                                    << "22" << QStringList{columnsList, "\"22\"", colRange};
        QTest::newRow("columns beyond 16 bits")
            << "6"
            << "70000" << QStringList{columnsList, "\"70000\"", colRange};
        QTest::newRow("no rows") << ""
                                 << "2" << QStringList{rowsList, "\"\"", rowRange};
        QTest::newRow("blank rows") << "   "
                                    << "2" << QStringList{rowsList, "\"   \"", rowRange};
        QTest::newRow("zero rows") << "0"
                                   << "2" << QStringList{rowsList, "\"0\"", rowRange};
        QTest::newRow("half a row rounds to zero")
            << "0.5"
            << "2" << QStringList{rowsList, "\"0.5\"", rowRange};
        QTest::newRow("20 rows") << "20"
                                 << "2" << QStringList{rowsList, "\"20\"", rowRange};
        QTest::newRow("rows beyond 16 bits") << "99999"
                                             << "2" << QStringList{rowsList, "\"99999\"", rowRange};
        QTest::newRow("both wrong")
            << "x"
            << "0" << QStringList{rowsList, "\"x\"", rowRange, columnsList, "\"0\"", colRange};
        QTest::newRow("long text is cut in the message")
            << QString(200, u'z') << "2"
            << QStringList{rowsList, "\"" + QString(30, u'z') + "...\""};
    }
    void refusesGridsThatCannotPrint() {
        QFETCH(QString, rowsText);
        QFETCH(QString, columnsText);
        QFETCH(QStringList, mentions);

        RecordingSurface surface;
        const Result<void> outcome = drawSheet(surface, fullRecord(rowsText, columnsText));
        QVERIFY(!outcome.ok());
        for (const QString& mention : mentions) {
            QVERIFY2(outcome.error().contains(mention),
                     qPrintable(QString("\"%1\" not in: %2").arg(mention, outcome.error())));
        }
        QVERIFY(outcome.error().contains(QChar(13)));
        QVERIFY(!outcome.error().contains(QChar(10)));
        // Nothing reached the paper, and no page was begun or sent.
        QVERIFY(!surface.touchedPaper());

        const Result<Grid> grid = readGrid(rowsText, columnsText);
        QVERIFY(!grid.ok());
        QCOMPARE(grid.error(), outcome.error());
    }
    void printsGridsTheListsDoNotOffer_data() {
        QTest::addColumn<QString>("rowsText");
        QTest::addColumn<QString>("columnsText");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<float>("margin");
        QTest::addColumn<float>("nameSize");

        QTest::newRow("5 columns, no margin") << "2"
                                              << "5" << 2 << 5 << 0.f << 11.f;
        QTest::newRow("21 columns") << "1"
                                    << "21" << 1 << 21 << 0.f << 12.f;
        QTest::newRow("9 rows") << "9"
                                << "1" << 9 << 1 << 40.f << 8.f;
        QTest::newRow("19 rows") << "19"
                                 << "2" << 19 << 2 << 15.f << 3.f;
        QTest::newRow("2.5 columns are 2") << "1"
                                           << "2.5" << 1 << 2 << 15.f << 12.f;
        QTest::newRow("3.5 rows are 4") << "3.5"
                                        << "1" << 4 << 1 << 40.f << 10.f;
        QTest::newRow("numbers before text") << "3 righe"
                                             << " 4 col" << 3 << 4 << 5.f << 11.f;
    }
    void printsGridsTheListsDoNotOffer() {
        QFETCH(QString, rowsText);
        QFETCH(QString, columnsText);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(float, margin);
        QFETCH(float, nameSize);

        const Result<Grid> grid = readGrid(rowsText, columnsText);
        QVERIFY(grid.ok());
        QCOMPARE(grid->rows, rows);
        QCOMPARE(grid->columns, columns);

        RecordingSurface surface;
        QVERIFY(drawSheet(surface, nameOnly(rowsText, columnsText)).ok());
        QCOMPARE(surface.texts.size(), rows * columns);
        const double W = 210.0 / columns;
        const double H = 292.0 / rows;
        for (int card = 0; card < rows * columns; ++card) {
            const RecordedText& t = surface.texts[card];
            const int i = card / columns;
            const int k = card % columns;
            QCOMPARE(t.font.size, nameSize);
            QVERIFY2(near(t.right(), (k + 1) * W - margin - 3),
                     qPrintable(QString("card %1 ends at %2").arg(card).arg(t.right())));
            QVERIFY(near(t.bottom(), i * H + 10));
        }
    }
    void sameDataPrintsTheSameCard() {
        // A name of 36 mm at 12 points: on one line, whatever font the surface held before.
        CardRecord record = fullRecord();
        record.fields[FirstName] = QStringLiteral("Mario Giuseppe");
        record.fields[Surname] =
            QStringLiteral("Rossi Verdi");  // "Dott. Mario Giuseppe Rossi Verdi"

        RecordingSurface fresh;
        QVERIFY(drawSheet(fresh, record).ok());
        QCOMPARE(fresh.texts[0].text, QStringLiteral("Dott. Mario Giuseppe Rossi Verdi"));

        RecordingSurface used;
        used.font = {QStringLiteral("Arial special"), 20, true, true};
        QVERIFY(drawSheet(used, record).ok());
        QVERIFY(drawSheet(used, record).ok());  // and again on the same surface

        QCOMPARE(used.texts.size(), 2 * fresh.texts.size());
        for (int i = 0; i < used.texts.size(); ++i) {
            const RecordedText& a = fresh.texts[i % fresh.texts.size()];
            const RecordedText& b = used.texts[i];
            QCOMPARE(b.text, a.text);
            QCOMPARE(b.font, a.font);
            QCOMPARE(b.x, a.x);
            QCOMPARE(b.y, a.y);
        }
    }
    void failingPrinterAbandonsThePage_data() {
        QTest::addColumn<int>("failDrawLineAt");
        QTest::addColumn<int>("failPrintTextAt");
        QTest::addColumn<bool>("failEndDoc");

        QTest::newRow("first mark") << 1 << 0 << false;
        QTest::newRow("second stroke of the cross") << 8 << 0 << false;  // card (1,1)
        QTest::newRow("first line of text") << 0 << 1 << false;
        QTest::newRow("a line of the last card") << 0 << 30 << false;
        QTest::newRow("handing the page over") << 0 << 0 << true;
    }
    void failingPrinterAbandonsThePage() {
        QFETCH(int, failDrawLineAt);
        QFETCH(int, failPrintTextAt);
        QFETCH(bool, failEndDoc);

        RecordingSurface surface;
        surface.failDrawLineAt = failDrawLineAt;
        surface.failPrintTextAt = failPrintTextAt;
        surface.failEndDoc = failEndDoc;
        const Result<void> outcome = drawSheet(surface, fullRecord("2", "2"));

        QVERIFY(!outcome.ok());
        QCOMPARE(outcome.error(), surface.failureText);
        QCOMPARE(surface.pagesHandedOver, 0);
        QCOMPARE(surface.log.count("abortDoc"), 1);
        QCOMPARE(surface.log.constLast(), QStringLiteral("abortDoc"));
        if (!failEndDoc) {
            // Nothing more is drawn after the failure, and the page is not handed over.
            QVERIFY(!surface.log.contains("endDoc"));
            const QString failed = failDrawLineAt ? "drawLine" : "printText";
            QCOMPARE(surface.log.at(surface.log.size() - 2), failed);
        } else {
            QCOMPARE(surface.log.at(surface.log.size() - 2), QStringLiteral("endDoc"));
        }
    }
    void failureWithoutReasonNamesThePrinter() {
        RecordingSurface surface;
        surface.name = QStringLiteral("Ufficio 2");
        surface.failureText.clear();
        surface.failDrawLineAt = 1;
        const Result<void> outcome = drawSheet(surface, fullRecord());
        QVERIFY(!outcome.ok());
        QVERIFY2(outcome.error().contains("\"Ufficio 2\""), qPrintable(outcome.error()));
    }
};

QTEST_GUILESS_MAIN(SheetTest)
#include "tst_sheet.moc"
