// The sheet on a surface with exact metrics: grid reading and refusal, card sizes and line
// positions, the order of the cards, the cut marks, and what a failing printer leads to.
#include <QTest>

#include "print/cardcontent.h"
#include "print/gridtext.h"
#include "print/margins.h"
#include "print/qrcode.h"
#include "print/sheet.h"
#include "recordingsurface.h"
#include "samples.h"
#include "sheetdrawing.h"

using namespace quarzello;

Q_DECLARE_METATYPE(RecordedLine)
Q_DECLARE_METATYPE(PrintableArea)
Q_DECLARE_METATYPE(CardRecord)
Q_DECLARE_METATYPE(CardStock)

namespace {

constexpr float kTolerance = 0.01f;

CardRecord nameOnly(const QString& rowsText, const QString& columnsText) {
    CardRecord record;
    record.fields[Surname] = QStringLiteral("Rossi");
    record.rows = rowsText;
    record.columns = columnsText;
    return record;
}

bool near(double a, double b) { return std::abs(a - b) <= kTolerance; }

QString describe(const RecordedLine& l) {
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(l.x1).arg(l.y1).arg(l.x2).arg(l.y2);
}

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
    void workedExampleTwoColumnsSixRows();
    void cardsGoRowByRowLeftToRight();
    void cutMarks_data();
    void cutMarks();
    void readsGridNumbers_data();
    void readsGridNumbers();
    void refusesGridsThatCannotPrint_data();
    void refusesGridsThatCannotPrint();
    void printsGridsTheListsDoNotOffer_data();
    void printsGridsTheListsDoNotOffer();
    void sameDataPrintsTheSameCard();
    void failingPrinterAbandonsThePage_data();
    void failingPrinterAbandonsThePage();
    void failureWithoutReasonNamesThePrinter();
    void otherPaperMovesOnlyWhatDependsOnIt();
    void paperWithoutSizeIsRefused();
    void productCards_data();
    void productCards();
    void testSheetOutlinesAndCross();
    void marginsLoseAndReduce_data();
    void marginsLoseAndReduce();
    void qrSizeKnownBeforeEncoding();
};

void SheetTest::workedExampleTwoColumnsSixRows() {
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
            QVERIFY2(near(t.right(), k == 0 ? 87 : 192),
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

void SheetTest::cardsGoRowByRowLeftToRight() {
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

void SheetTest::cutMarks_data() {
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

void SheetTest::cutMarks() {
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
        QVERIFY2(
            near(got.x1, want.x1) && near(got.y1, want.y1) && near(got.x2, want.x2) &&
                near(got.y2, want.y2),
            qPrintable(
                QString("line %1 is %2, expected %3").arg(i).arg(describe(got), describe(want))));
    }
}

void SheetTest::readsGridNumbers_data() {
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

void SheetTest::readsGridNumbers() {
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

void SheetTest::refusesGridsThatCannotPrint_data() {
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
    QTest::newRow("half a row rounds to zero") << "0.5"
                                               << "2" << QStringList{rowsList, "\"0.5\"", rowRange};
    QTest::newRow("20 rows") << "20"
                             << "2" << QStringList{rowsList, "\"20\"", rowRange};
    QTest::newRow("rows beyond 16 bits") << "99999"
                                         << "2" << QStringList{rowsList, "\"99999\"", rowRange};
    QTest::newRow("both wrong") << "x"
                                << "0" << QStringList{rowsList,    "\"x\"", rowRange,
                                                      columnsList, "\"0\"", colRange};
    QTest::newRow("long text is cut in the message")
        << QString(200, u'z') << "2" << QStringList{rowsList, "\"" + QString(30, u'z') + "...\""};
}

void SheetTest::refusesGridsThatCannotPrint() {
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

void SheetTest::printsGridsTheListsDoNotOffer_data() {
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

void SheetTest::printsGridsTheListsDoNotOffer() {
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

void SheetTest::sameDataPrintsTheSameCard() {
    // A name of 36 mm at 12 points: on one line, whatever font the surface held before.
    CardRecord record = fullRecord();
    record.fields[FirstName] = QStringLiteral("Mario Giuseppe");
    record.fields[Surname] = QStringLiteral("Rossi Verdi");  // "Dott. Mario Giuseppe Rossi Verdi"

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

void SheetTest::failingPrinterAbandonsThePage_data() {
    QTest::addColumn<int>("failDrawLineAt");
    QTest::addColumn<int>("failPrintTextAt");
    QTest::addColumn<bool>("failEndDoc");

    QTest::newRow("first mark") << 1 << 0 << false;
    QTest::newRow("second stroke of the cross") << 8 << 0 << false;  // card (1,1)
    QTest::newRow("first line of text") << 0 << 1 << false;
    QTest::newRow("a line of the last card") << 0 << 30 << false;
    QTest::newRow("handing the page over") << 0 << 0 << true;
}

void SheetTest::failingPrinterAbandonsThePage() {
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

void SheetTest::failureWithoutReasonNamesThePrinter() {
    RecordingSurface surface;
    surface.name = QStringLiteral("Ufficio 2");
    surface.failureText.clear();
    surface.failDrawLineAt = 1;
    const Result<void> outcome = drawSheet(surface, fullRecord());
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error().contains("\"Ufficio 2\""), qPrintable(outcome.error()));
}

void SheetTest::otherPaperMovesOnlyWhatDependsOnIt() {
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

void SheetTest::paperWithoutSizeIsRefused() {
    RecordingSurface surface;
    surface.paperWidthTwips = 0;
    const Result<void> outcome = drawSheet(surface, fullRecord());
    QVERIFY(!outcome.ok());
    QVERIFY(outcome.error().contains("\"Registratore\""));
    QVERIFY(!surface.touchedPaper());
}

void SheetTest::productCards_data() {
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
    QTest::newRow("C32011-10") << CardStock{"Avery", "C32011-10", 85,
                                            54,      3.2,         {{2, 5, 15, 13.5, 95, 54}}}
                               << QList<double>{15, 13.5, 85, 54} << 95.0 << 54.0
                               << QList<double>{18.2, 96.8, 113.2, 191.8} << 5.5 << 10.f << 8.f;
    // In points: 255.1 x 147.4 (89.994 x 51.999 mm), from 42.51, 52.44 (14.997, 18.500 mm),
    // margin 5 pt (1.764 mm, less than 3 mm). 292 / 51.999 = 5.62: type of 6 rows, 9 and 7 points.
    const double pt = 25.4 / 72;
    QTest::newRow("L7414")
        << CardStock{"Avery",    "L7414", 255.1 * pt,
                     147.4 * pt, 5 * pt,  {{2, 5, 42.51 * pt, 52.44 * pt, 255.1 * pt, 147.4 * pt}}}
        << QList<double>{14.997, 18.500, 89.994, 51.999} << 89.994 << 51.999
        << QList<double>{17.997, 101.990, 107.990, 191.984} << 5.2499 << 9.f << 7.f;
}

void SheetTest::productCards() {
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
    const Result<SheetPlan> plan = planSheet(surface, record, *paperFor(record, options), options);
    QVERIFY(plan.ok());
    QVERIFY(drawPage(surface, *plan).ok());
    QCOMPARE(plan->cards.size(), 10u);
    QVERIFY(surface.lines.isEmpty());  // no cut marks on pre-cut stock
    const QStringList lines = fullRecordLines();
    QCOMPARE(surface.texts.size(), 10 * 8);
    for (int card = 0; card < 10; ++card) {
        const int i = card / 2, k = card % 2;
        const PlannedCard& planned = plan->cards[std::size_t(card)];
        QVERIFY(near(planned.x, firstCard[0] + k * dx) && near(planned.y, firstCard[1] + i * dy));
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

void SheetTest::testSheetOutlinesAndCross() {
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
                     std::max(l.y1, l.y2) < caption.y || std::min(l.y1, l.y2) > caption.bottom(),
                 qPrintable(describe(l)));
    // 4 sides of 10 cards, the cross's two arms, 21 ticks on each.
    QCOMPARE(surface.lines.size(), 40 + 2 + 42);
    const auto is = [](const RecordedLine& l, double x1, double y1, double x2, double y2) {
        return near(l.x1, x1) && near(l.y1, y1) && near(l.x2, x2) && near(l.y2, y2);
    };
    // The first card's top and right sides; the last card's bottom; all moved by the offset.
    QVERIFY2(is(surface.lines[0], 16.5, 12.7, 101.5, 12.7), qPrintable(describe(surface.lines[0])));
    QVERIFY(is(surface.lines[1], 101.5, 12.7, 101.5, 66.7));
    QVERIFY(is(surface.lines[38], 111.5, 282.7, 196.5, 282.7));
    // The cross at the page's centre, 105 and 148.5 mm from the paper's edges.
    QVERIFY(is(surface.lines[40], 96.5, 147.7, 116.5, 147.7));
    QVERIFY(is(surface.lines[41], 106.5, 137.7, 106.5, 157.7));
    // The ticks at -10 mm (longer) and -9 mm, on the horizontal arm.
    QVERIFY(is(surface.lines[42], 96.5, 147.7, 96.5, 149.7));
    QVERIFY(is(surface.lines[44], 97.5, 147.7, 97.5, 148.7));
}

void SheetTest::marginsLoseAndReduce_data() {
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
        << fullRecord() << PrintableArea{true, 0, 0, 12.7, 12.7} << topAndBottom << 94 << QPointF();
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
        << fullRecord() << PrintableArea{true, 4.2, 4.2, 4.2, 4.2} << QStringList{topAndBottom[0]}
        << 99 << QPointF(0, -2);
    QTest::newRow("unknown, moved 10 mm down: past the paper")
        << fullRecord() << PrintableArea{} << QStringList{topAndBottom[2], topAndBottom[3]} << 96
        << QPointF(0, 10);
    QTest::newRow("2 x 6, 12.7 mm top and bottom, moved 3 mm up")
        << fullRecord() << PrintableArea{true, 0, 0, 12.7, 12.7}
        << QStringList{topAndBottom[0], topAndBottom[1], topAndBottom[3]} << 92 << QPointF(0, -3);
}

void SheetTest::marginsLoseAndReduce() {
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
        QCOMPARE(marginLossQuestion(loss, area),
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
        return x >= a.left - kTolerance && x <= 210 - a.right + kTolerance &&
               y >= a.top - kTolerance && y <= 297 - a.bottom + kTolerance;
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
void SheetTest::qrSizeKnownBeforeEncoding() {
    for (const QrCorrection correction : {QrCorrection::Low, QrCorrection::Medium}) {
        std::optional<QrMatrix> last = encodeQr(QByteArray(1, 'x'), correction);
        int versions = 1;
        for (qsizetype n = 2;; ++n) {
            std::optional<QrMatrix> code = encodeQr(QByteArray(n, 'x'), correction);
            if (code && code->size == last->size) continue;
            QCOMPARE(encodeQr(QByteArray(n - 1, 'x'), correction)->modules().width(), last->size);
            if (!code) break;
            QCOMPARE(code->modules().width(), code->size);
            QCOMPARE(code->size, last->size + 4);
            ++versions;
            last = std::move(code);
        }
        QCOMPARE(versions, 40);
    }
}

QTEST_GUILESS_MAIN(SheetTest)
#include "tst_sheet.moc"
