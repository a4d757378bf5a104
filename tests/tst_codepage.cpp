// The code page of card data files: Windows-1252 both ways, every byte value included, and what
// becomes of characters it cannot hold.
#include <QtTest>

#include "data/codepage.h"

using namespace quarzello;

class CodepageTest : public QObject {
    Q_OBJECT

  private slots:
    void everyByteValueDecodesAndEncodesBack();
    void knownCharacters_data();
    void knownCharacters();
    void charactersOutsideTheCodePage_data();
    void charactersOutsideTheCodePage();
};

void CodepageTest::everyByteValueDecodesAndEncodesBack() {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QString text = codepage::decode(all);
    QCOMPARE(text.size(), 256);
    // Each byte is a character of its own, no two alike.
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
    QVERIFY(codepage::canHold(text));
    bool ok = false;
    QCOMPARE(codepage::encode(text, &ok), all);
    QVERIFY(ok);
    QCOMPARE(codepage::encodeReplacing(text), all);
}

void CodepageTest::knownCharacters_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("byte");
    QTest::newRow("e grave") << QStringLiteral("è") << 0xE8;
    QTest::newRow("euro") << QStringLiteral("€") << 0x80;
    QTest::newRow("right single quote") << QStringLiteral("’") << 0x92;
    QTest::newRow("a grave") << QStringLiteral("à") << 0xE0;
    QTest::newRow("u grave") << QStringLiteral("ù") << 0xF9;
    QTest::newRow("degree") << QStringLiteral("°") << 0xB0;
    QTest::newRow("y diaeresis") << QStringLiteral("ÿ") << 0xFF;
    QTest::newRow("unassigned 0x81") << QString(QChar(0x81)) << 0x81;
    QTest::newRow("substitute control") << QString(QChar(0x1A)) << 0x1A;
}

void CodepageTest::knownCharacters() {
    QFETCH(QString, character);
    QFETCH(int, byte);
    const QByteArray bytes(1, char(byte));
    QCOMPARE(codepage::encode(character), bytes);
    QCOMPARE(codepage::encodeReplacing(character), bytes);
    QCOMPARE(codepage::decode(bytes), character);
}

void CodepageTest::charactersOutsideTheCodePage_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("A macron") << QStringLiteral("Ā") << QByteArray("?");
    QTest::newRow("between held ones") << QStringLiteral("a€Āb") << QByteArray("a\x80?b");
    QTest::newRow("emoji is one character")
        << QString::fromUtf8("x\xF0\x9F\x98\x80y") << QByteArray("x?y");
    QTest::newRow("lone surrogate")
        << QString(QChar(0xD800)) + QLatin1Char('z') << QByteArray("?z");
    QTest::newRow("lone surrogate at the end")
        << QLatin1Char('z') + QString(QChar(0xD800)) << QByteArray("z?");
    QTest::newRow("real 0x1A stays")
        << QString(QChar(0x1A)) + QStringLiteral("Ω") << QByteArray("\x1A?");
}

void CodepageTest::charactersOutsideTheCodePage() {
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    QVERIFY(!codepage::canHold(text));
    bool ok = true;
    codepage::encode(text, &ok);
    QVERIFY(!ok);
    QCOMPARE(codepage::encodeReplacing(text), stored);
}

QTEST_APPLESS_MAIN(CodepageTest)
#include "tst_codepage.moc"
