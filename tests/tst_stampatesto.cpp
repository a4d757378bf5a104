// One line fitted and placed in a span as the sheet plans it: trimming, fitting by dropping end
// characters, the three alignments and the bottom of the line box, on a surface with exact
// metrics.
#include <QTest>

#include "print/sheet.h"
#include "print/stampatesto.h"
#include "recordingsurface.h"

using namespace quarzello;

namespace {

// At 12 points the recording surface makes every character exactly 1 mm wide.
constexpr float kSize = 12.0f;

QString chars(int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += QChar(u'a' + i % 26);
    return text;
}

// The line fitted to the span and placed with the bottom of its box at y, as the plan does.
CardLine placed(RecordingSurface& surface, const QString& text, float y, float daOrizz,
                float aOrizz, bool bold, bool italic, float size, qint16 alignment) {
    CardLine line;
    line.whole = text;
    line.fitted = fitLine(surface, text, daOrizz, aOrizz, bold, italic, size);
    line.box = placedBox(line.fitted, y, daOrizz, aOrizz, alignment);
    return line;
}

}  // namespace

class StampaTestoTest : public QObject {
    Q_OBJECT

  private slots:
    void fitsByDroppingEndCharacters_data();
    void fitsByDroppingEndCharacters();
    void alignment_data();
    void alignment();
    void bottomOfLineBoxIsTheGivenHeight();
    void trimsSpacesOnly_data();
    void trimsSpacesOnly();
    void blankTextTouchesNothing();
    void shortenedTextIsNotTrimmedAgain();
    void setsWeightSlantSizeButNeverTheTypeface();
    void nonFinitePositionPrintsNothing();
};

void StampaTestoTest::fitsByDroppingEndCharacters_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<float>("daOrizz");
    QTest::addColumn<float>("aOrizz");
    QTest::addColumn<int>("printed");  // characters printed, -1 for nothing

    // Span 10..50: the limit is 42 mm and the test is "at least as wide".
    QTest::newRow("narrower than the limit, whole") << 41 << 10.f << 50.f << 41;
    QTest::newRow("exactly the limit, loses one") << 42 << 10.f << 50.f << 41;
    QTest::newRow("45 mm in 10..50, cut below 42") << 45 << 10.f << 50.f << 41;
    QTest::newRow("wider than the span, within +2") << 41 << 10.f << 49.5f << 41;
    QTest::newRow("fractional limit 22.5") << 23 << 10.f << 30.5f << 22;
    QTest::newRow("limit zero prints nothing") << 5 << 10.f << 8.f << -1;
    QTest::newRow("reversed span prints nothing") << 5 << 50.f << 10.f << -1;
    QTest::newRow("limit below one character") << 5 << 10.f << 8.5f << -1;
    // A value loaded from a file can be far longer than its box takes from the keyboard.
    QTest::newRow("5000 characters, limit 42") << 5000 << 10.f << 50.f << 41;
    QTest::newRow("5001 characters, limit 4999") << 5001 << 0.f << 4997.f << 4998;
    QTest::newRow("one character, limit 2") << 1 << 10.f << 10.f << 1;
    QTest::newRow("250,000 characters, limit 42") << 250000 << 10.f << 50.f << 41;
}

void StampaTestoTest::fitsByDroppingEndCharacters() {
    QFETCH(int, length);
    QFETCH(float, daOrizz);
    QFETCH(float, aOrizz);
    QFETCH(int, printed);

    RecordingSurface surface;
    const QString text = chars(length);
    const CardLine line =
        placed(surface, text, 30, daOrizz, aOrizz, false, false, kSize, AlignedRight);
    // A long text is cut to what could fit before it is measured.
    for (const auto& measured : surface.measured) QVERIFY(measured.first.size() <= 5001);
    if (printed < 0) {
        QVERIFY(!line.printed());
        return;
    }
    QVERIFY(line.printed());
    QCOMPARE(line.fitted.text, text.left(printed));
    // Right-aligned: the text ends 3 mm before the span's right end, however long it was.
    QCOMPARE(line.box.x + line.box.width, aOrizz - 3);
}

void StampaTestoTest::alignment_data() {
    QTest::addColumn<int>("allineato");
    QTest::addColumn<int>("length");
    QTest::addColumn<float>("daOrizz");
    QTest::addColumn<float>("aOrizz");
    QTest::addColumn<float>("x");

    QTest::newRow("left starts at the span") << 0 << 20 << 10.f << 50.f << 10.f;
    QTest::newRow("left may run 2 mm past") << 0 << 41 << 10.f << 50.f << 10.f;
    QTest::newRow("centred 20 mm in 10..50") << 1 << 20 << 10.f << 50.f << 19.f;
    QTest::newRow("centred, odd span") << 1 << 3 << 0.5f << 10.f << 2.75f;
    QTest::newRow("centred after fitting") << 1 << 60 << 10.f << 50.f << 8.5f;
    QTest::newRow("right ends 3 mm early") << 2 << 20 << 10.f << 50.f << 27.f;
    QTest::newRow("right, long text starts left of the span") << 2 << 45 << 10.f << 50.f << 6.f;
    QTest::newRow("unknown alignment is left") << 7 << 20 << 10.f << 50.f << 10.f;
}

void StampaTestoTest::alignment() {
    QFETCH(int, allineato);
    QFETCH(int, length);
    QFETCH(float, daOrizz);
    QFETCH(float, aOrizz);
    QFETCH(float, x);

    RecordingSurface surface;
    const CardLine line = placed(surface, chars(length), 30, daOrizz, aOrizz, false, false, kSize,
                                 static_cast<qint16>(allineato));
    QVERIFY(line.printed());
    QCOMPARE(line.box.x, x);
}

void StampaTestoTest::bottomOfLineBoxIsTheGivenHeight() {
    RecordingSurface surface;
    const LineBox large =
        placed(surface, QStringLiteral("Grande"), 30, 10, 80, true, false, 12, AlignedRight).box;
    const LineBox small =
        placed(surface, QStringLiteral("piccolo"), 30, 10, 80, false, true, 8, AlignedRight).box;
    QCOMPARE(large.y, 24.f);  // box 6 mm high
    QCOMPARE(small.y, 26.f);  // box 4 mm high
    QCOMPARE(large.y + large.height, 30.f);
    QCOMPARE(small.y + small.height, 30.f);
}

void StampaTestoTest::trimsSpacesOnly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed");
    QTest::newRow("spaces around") << "   Mario  Rossi  "
                                   << "Mario  Rossi";
    QTest::newRow("inner runs stay") << "a   b"
                                     << "a   b";
    QTest::newRow("tab is not a space") << "\tTel. "
                                        << "\tTel.";
    QTest::newRow("no-break space stays") << QStringLiteral("x\u00a0") << QStringLiteral("x\u00a0");
}

void StampaTestoTest::trimsSpacesOnly() {
    QFETCH(QString, text);
    QFETCH(QString, printed);
    RecordingSurface surface;
    QCOMPARE(placed(surface, text, 30, 10, 80, false, false, kSize, AlignedLeft).fitted.text,
             printed);
    // The width that placed it is the width of the trimmed text.
    QCOMPARE(surface.measured.constFirst().first, printed);
}

void StampaTestoTest::blankTextTouchesNothing() {
    RecordingSurface surface;
    const RecordedFont before = surface.font;
    QVERIFY(!placed(surface, QStringLiteral("     "), 30, 10, 80, true, true, 7, 2).printed());
    QVERIFY(!placed(surface, QString(), 30, 10, 80, true, true, 7, 2).printed());
    QVERIFY(surface.log.isEmpty());
    QCOMPARE(surface.font, before);
}

void StampaTestoTest::shortenedTextIsNotTrimmedAgain() {
    RecordingSurface surface;
    // Limit 5.5 mm: "abcd " is 5 mm and is printed with its trailing space.
    QCOMPARE(placed(surface, QStringLiteral("abcd efgh"), 30, 0, 3.5f, false, false, kSize, 0)
                 .fitted.text,
             QStringLiteral("abcd "));
}

void StampaTestoTest::setsWeightSlantSizeButNeverTheTypeface() {
    RecordingSurface surface;
    surface.font = {QStringLiteral("Arial special"), 10, false, false};
    QVERIFY(placed(surface, QStringLiteral("riga"), 30, 10, 80, true, true, 7.5f, AlignedRight)
                .printed());
    QCOMPARE(surface.log.mid(0, 4), QStringList({"bold", "italic", "size", "textWidth"}));
    QVERIFY(!surface.log.contains(QStringLiteral("fontName")));
    // The settings stay on the surface for what comes next.
    QCOMPARE(surface.font, (RecordedFont{QStringLiteral("Arial special"), 7.5f, true, true}));
}

void StampaTestoTest::nonFinitePositionPrintsNothing() {
    RecordingSurface surface;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QVERIFY(!placed(surface, QStringLiteral("riga"), 30, 10, inf, false, false, 9, 2).printed());
    QVERIFY(!placed(surface, QStringLiteral("riga"), nan, 10, 50, false, false, 9, 2).printed());
    QVERIFY(!placed(surface, QStringLiteral("riga"), 30, nan, 50, false, false, 9, 0).printed());
}

QTEST_GUILESS_MAIN(StampaTestoTest)
#include "tst_stampatesto.moc"
