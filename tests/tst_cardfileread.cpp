// Reading the card data file from real files: the line rules of the reader, what short, long and
// odd files give, the record filled from the lines, and every refusal.
#include <sys/stat.h>

#include <QtTest>
#include <algorithm>

#include "cardfilelines.h"
#include "data/cardfile.h"
#include "data/codepage.h"
#include "foldertest.h"

using namespace quarzello;

namespace {

QStringList numberedStrings(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines << QStringLiteral("riga %1").arg(i);
    return lines;
}

// Deterministic noise, so that a failure can be replayed; no NUL byte, which makes a file binary.
QByteArray noise(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 12345;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = char(std::max(1u, (state >> 16) & 0xffu));
    }
    return bytes;
}

}  // namespace

class CardFileReadTest : public FolderTest {
    Q_OBJECT

  private slots:
    void splitsLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("empty") << QByteArray() << L{};
        QTest::newRow("no line end") << QByteArray("a") << L{"a"};
        QTest::newRow("CR LF") << QByteArray("a\r\n") << L{"a"};
        QTest::newRow("last without end") << QByteArray("a\r\nb") << L{"a", "b"};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << L{"a", "b"};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << L{"a", "b"};
        QTest::newRow("blank lines") << QByteArray("\r\n\r\nc\r\n") << L{"", "", "c"};
        QTest::newRow("CR then CR LF") << QByteArray("\r\r\n") << L{"", ""};
        QTest::newRow("LF then CR") << QByteArray("x\n\ry") << L{"x", "", "y"};
        QTest::newRow("NUL kept") << QByteArray("a\0b\r\n", 5) << L{QByteArray("a\0b", 3)};
    }
    void splitsLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(splitCardLines(bytes), lines);
        QCOMPARE(splitCardLines(bytes, 1), lines.mid(0, 1));
    }
    void readsFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("13 lines") << crlf(numberedLines(13)) << numberedStrings(13);
        QByteArray noEnd = crlf(numberedLines(12)) + "2";
        QTest::newRow("last line without CR LF") << noEnd << (numberedStrings(12) << "2");
        QTest::newRow("LF only") << numberedLines(13).join('\n') + '\n' << numberedStrings(13);
        QTest::newRow("CR only") << numberedLines(13).join('\r') + '\r' << numberedStrings(13);
        QTest::newRow("20 lines") << crlf(numberedLines(20)) << numberedStrings(20);
        QTest::newRow("30 lines: 21 read") << crlf(numberedLines(30)) << numberedStrings(21);
        QTest::newRow("rows beyond the list")
            << QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n9\r\n4\r\n")
            << QStringList{"", "", "", "", "", "", "", "", "", "", "", "9", "4"};
        QTest::newRow("code page") << QByteArray("Citt\xE0\r\n\x80 5\r\n")
                                   << QStringList{QStringLiteral("Città"), QStringLiteral("€ 5")};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void readsFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lines);
        QVERIFY(writeBytes(path("in.qcf"), content));
        const Result<QStringList> read = readCardLines(path("in.qcf"));
        QVERIFY2(read, qPrintable(read.error()));
        QCOMPARE(*read, lines);
        QCOMPARE(readBytes(path("in.qcf")), content);
    }
    void fillsTheRecordFromLines_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<CardRecord>("expected");

        // The record before reading: every field and the grid hold something.
        CardRecord none;
        for (QString& field : none.fields) field = QStringLiteral("vecchio");
        none.rows = QStringLiteral("3");
        none.columns = QStringLiteral("4");

        CardRecord emptied = none;
        for (QString& field : emptied.fields) field.clear();
        QTest::newRow("no lines: fields emptied, grid kept") << QStringList{} << emptied;

        CardRecord five = emptied;
        for (int i = 0; i < 5; ++i) five.fields[i] = QStringLiteral("riga %1").arg(i + 1);
        QTest::newRow("5 lines") << numberedStrings(5) << five;

        CardRecord eleven = recordOf(numberedStrings(13));
        eleven.rows = none.rows;
        eleven.columns = none.columns;
        QTest::newRow("11 lines: grid kept") << numberedStrings(11) << eleven;

        CardRecord twelve = eleven;
        twelve.rows = QStringLiteral("riga 12");
        QTest::newRow("12 lines: rows read, columns kept") << numberedStrings(12) << twelve;

        QTest::newRow("13 lines") << numberedStrings(13) << recordOf(numberedStrings(13));
        QTest::newRow("21 lines: the rest unused")
            << numberedStrings(21) << recordOf(numberedStrings(13));

        QStringList longValues = numberedStrings(13);
        longValues[Postcode] = QString(300, QLatin1Char('7'));
        longValues[Title] = QStringLiteral("  spazi  ");
        QTest::newRow("values kept whole") << longValues << recordOf(longValues);
    }
    void fillsTheRecordFromLines() {
        QFETCH(QStringList, lines);
        QFETCH(CardRecord, expected);
        CardRecord current;
        for (QString& field : current.fields) field = QStringLiteral("vecchio");
        current.rows = QStringLiteral("3");
        current.columns = QStringLiteral("4");
        QCOMPARE(recordFromLines(lines, current), expected);
    }
    void readsOddBytesWithoutHarm_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary noise") << noise(4096);
        QTest::newRow("binary noise at the limit") << noise(int(kMaxCardFileSize));
        QTest::newRow("only CRs") << QByteArray(1000, '\r');
        QTest::newRow("only LFs") << QByteArray(1000, '\n');
        QTest::newRow("one huge line") << QByteArray(60000, 'w');
    }
    void readsOddBytesWithoutHarm() {
        QFETCH(QByteArray, content);
        QVERIFY(writeBytes(path("odd.qcf"), content));
        const Result<QStringList> lines = readCardLines(path("odd.qcf"));
        QVERIFY2(lines, qPrintable(lines.error()));
        // Whatever the bytes, each value is exactly the bytes of its line, no more and no less.
        const QList<QByteArray> raw = splitCardLines(content, kDatiSize);
        QCOMPARE(lines->size(), raw.size());
        QVERIFY(lines->size() <= kDatiSize);
        for (int i = 0; i < raw.size(); ++i) QCOMPARE(codepage::encode(lines->at(i)), raw.at(i));
    }
    void readsUpToTheSizeLimit() {
        const QByteArray limit(int(kMaxCardFileSize), 'A');
        QVERIFY(writeBytes(path("limit.qcf"), limit));
        const Result<QStringList> lines = readCardLines(path("limit.qcf"));
        QVERIFY2(lines, qPrintable(lines.error()));
        QCOMPARE(lines->size(), 1);
        QCOMPARE(lines->first().size(), 65536);

        QVERIFY(writeBytes(path("over.qcf"), limit + "A"));
        QCOMPARE(readCardLines(path("over.qcf")).error(),
                 QStringLiteral("Il file %1 non è un file di dati dei biglietti: è troppo grande.")
                     .arg(path("over.qcf")));
    }
    void refusesWhatIsNotACardFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing"
                                 << "Il file {file} non esiste.";
        QTest::newRow("through a regular file") << "through"
                                                << "Il file {file} non esiste.";
        QTest::newRow("dangling link") << "dangling"
                                       << "Il file {file} non esiste.";
        QTest::newRow("folder")
            << "folder"
            << "Il file {file} non è un file di dati dei biglietti: è una cartella.";
        QTest::newRow("too big")
            << "big"
            << "Il file {file} non è un file di dati dei biglietti: è troppo grande.";
        QTest::newRow("endless device") << "device"
                                        << "Il file {file} non è un file di dati dei biglietti: è "
                                           "un file speciale del sistema.";
        QTest::newRow("named pipe nobody writes") << "fifo"
                                                  << "Il file {file} non è un file di dati dei "
                                                     "biglietti: è un file speciale del sistema.";
        QTest::newRow("NUL bytes")
            << "binary"
            << "Il file {file} non è un file di dati dei biglietti: contiene dati binari.";
        QTest::newRow("empty path") << "empty"
                                    << "Non è stato indicato nessun file da leggere.";
        QTest::newRow("a link that loops") << "loop"
                                           << "Il file {file} non può essere letto: un "
                                              "collegamento lungo il percorso rimanda a se "
                                              "stesso.";
        QTest::newRow("a path too long")
            << "long"
            << "Il file {file} non può essere letto: il percorso è troppo lungo per il sistema.";
    }
    void refusesWhatIsNotACardFile() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QString target = path("x.qcf");
        QVERIFY(writeBytes(path("regularfile"), "13\r\n"));
        if (kind == "through") target = path("regularfile/x.qcf");
        if (kind == "dangling") QVERIFY(QFile::link(path("nowhere"), target));
        if (kind == "folder") QVERIFY(QDir().mkdir(target));
        if (kind == "big") QVERIFY(writeBytes(target, crlf(numberedLines(13)) + noise(70000)));
        if (kind == "device") target = QStringLiteral("/dev/zero");
        if (kind == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        if (kind == "binary") QVERIFY(writeBytes(target, QByteArray("Dott.\r\nUgo\0\r\n", 12)));
        if (kind == "empty") target.clear();
        if (kind == "loop") QVERIFY(QFile::link(target, target));
        if (kind == "long") target = path(QString(300, u'x'));

        const auto before = snapshot(dir_->path());
        QCOMPARE(readCardLines(target).error(), expand(message, target));
        QCOMPARE(readCardFileForCopy(target).error(), expand(message, target));
        QCOMPARE(snapshot(dir_->path()), before);
    }
};

QTEST_APPLESS_MAIN(CardFileReadTest)
#include "tst_cardfileread.moc"
