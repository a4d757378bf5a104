// The card data file on real files: the exact bytes written, the line rules of the reader, what
// short, long and odd files give, the atomic writer and the line copy, and every refusal.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <algorithm>

#include "data/cardfile.h"
#include "data/codepage.h"
#include "data/outputfile.h"
#include "datafiles.h"
#include "samples.h"
#include "tools.h"

using namespace quarzello;

using datafiles::crlf;
using datafiles::readBytes;
using datafiles::snapshot;
using datafiles::writeBytes;

namespace {

QList<QByteArray> numberedLines(int count) { return datafiles::numberedLines(count, "riga"); }

// What Load does with the files: the whole of one read, then the other replaced by it.
Result<void> copyCardLines(const QString& from, const QString& to) {
    const Result<QByteArray> copy = readCardFileForCopy(from);
    if (!copy) return copy.failure();
    return writeFileAtomically(to, *copy);
}

QStringList numberedStrings(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines << QStringLiteral("riga %1").arg(i);
    return lines;
}

CardRecord recordOf(const QStringList& thirteen) {
    CardRecord record;
    for (int i = 0; i < kFieldCount; ++i) record.fields[i] = thirteen.at(i);
    record.rows = thirteen.at(11);
    record.columns = thirteen.at(12);
    return record;
}

// Expected messages name their files with placeholders: {file}, {from}, {to}, {dir}.
QString expand(QString message, const QString& file, const QString& to = {},
               const QString& dir = {}) {
    return message.replace("{file}", file)
        .replace("{from}", file)
        .replace("{to}", to)
        .replace("{dir}", dir);
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

class CardFileTest : public QObject {
    Q_OBJECT

  private slots:
    void init();

    void encodesTheThirteenLines_data();
    void encodesTheThirteenLines();
    void writesTheBytesToDisk();
    void everyCodePageCharacterSurvivesWriteAndRead();

    void splitsLines_data();
    void splitsLines();
    void readsFiles_data();
    void readsFiles();
    void fillsTheRecordFromLines_data();
    void fillsTheRecordFromLines();
    void readsOddBytesWithoutHarm_data();
    void readsOddBytesWithoutHarm();
    void readsUpToTheSizeLimit();
    void refusesWhatIsNotACardFile_data();
    void refusesWhatIsNotACardFile();

    void writeFailuresLeaveTheDiskAlone_data();
    void writeFailuresLeaveTheDiskAlone();
    void refusesToWriteWhatCouldNotBeReadBack();
    void fullDiskLeavesTheEarlierFile();
    void writesThroughASymbolicLink();
    void missingPermissionsAreTold();

    void copiesEveryLineWithCrLf_data();
    void copiesEveryLineWithCrLf();
    void copyOntoItselfLosesNothing_data();
    void copyOntoItselfLosesNothing();
    void copyFailuresLeaveTheDiskAlone_data();
    void copyFailuresLeaveTheDiskAlone();

    void tellsTheSameFile_data();
    void tellsTheSameFile();

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path(const QString& name) const { return dir_->filePath(name); }
};

void CardFileTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void CardFileTest::encodesTheThirteenLines_data() {
    QTest::addColumn<CardRecord>("record");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("all empty, 6 rows, 2 columns")
        << CardRecord{} << QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\n2\r\n");

    CardRecord spaces;
    spaces.fields[Title] = QStringLiteral("  Dott. ");
    spaces.fields[Town] = QStringLiteral(" Roma ");
    spaces.rows = QStringLiteral(" 4");
    spaces.columns = QStringLiteral("1 ");
    QTest::newRow("spaces kept") << spaces
                                 << QByteArray(
                                        "  Dott. \r\n\r\n\r\n\r\n\r\n\r\n Roma \r\n\r\n\r\n\r\n"
                                        "\r\n 4\r\n1 \r\n");

    CardRecord accents;
    accents.fields[FirstName] = QStringLiteral("Nicolò");
    accents.fields[Website] = QStringLiteral("€’");
    accents.rows = QStringLiteral("10");
    accents.columns = QStringLiteral("x");
    QTest::newRow("code page and grid as typed")
        << accents
        << QByteArray("\r\nNicol\xF2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\x80\x92\r\n10\r\nx\r\n");

    CardRecord breaks;
    breaks.fields[Role] = QStringLiteral("a\r\nb");
    breaks.fields[Street] = QStringLiteral("c\nd") + QChar(0);
    breaks.columns = QStringLiteral("e\rf");
    QTest::newRow("line breaks and NUL inside values")
        << breaks << QByteArray("\r\n\r\n\r\na  b\r\nc d \r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\ne f\r\n");

    CardRecord foreign;
    foreign.fields[Surname] = QStringLiteral("Ōno");
    QTest::newRow("character outside the code page")
        << foreign << QByteArray("\r\n\r\n?no\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\n2\r\n");
}

void CardFileTest::encodesTheThirteenLines() {
    QFETCH(CardRecord, record);
    QFETCH(QByteArray, bytes);
    const QByteArray encoded = encodeCardFile(record);
    QCOMPARE(encoded, bytes);
    QCOMPARE(splitCardLines(encoded).size(), kCardFileLines);
    QVERIFY(encoded.endsWith("\r\n"));
}

void CardFileTest::writesTheBytesToDisk() {
    QVERIFY(writeCardFile(path("empty.qcf"), CardRecord{}));
    const QByteArray written = readBytes(path("empty.qcf"));
    QCOMPARE(written.size(), 28);
    QCOMPARE(written, QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\n2\r\n"));

    // A shorter record replaces a longer file entirely.
    QVERIFY(writeBytes(path("longer.qcf"), QByteArray(5000, 'z')));
    QVERIFY(writeCardFile(path("longer.qcf"), CardRecord{}));
    QCOMPARE(readBytes(path("longer.qcf")), written);
}

void CardFileTest::everyCodePageCharacterSurvivesWriteAndRead() {
    // Every byte value but the two that end lines and NUL, spread over the thirteen values.
    QByteArray usable;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') usable.append(char(b));
    const QString all = codepage::decode(usable);
    QCOMPARE(all.size(), 253);
    QStringList values;
    const int share = (all.size() + kCardFileLines - 1) / kCardFileLines;
    for (int i = 0; i < kCardFileLines; ++i) values << all.mid(i * share, share);
    const CardRecord record = recordOf(values);
    QVERIFY(writeCardFile(path("all.qcf"), record));
    QByteArray expected;
    for (int i = 0; i < kCardFileLines; ++i) expected += usable.mid(i * share, share) + "\r\n";
    QCOMPARE(readBytes(path("all.qcf")), expected);

    const Result<QStringList> lines = readCardLines(path("all.qcf"));
    QVERIFY2(lines, qPrintable(lines.error()));
    QCOMPARE(*lines, values);
    QCOMPARE(recordFromLines(*lines, CardRecord{}), record);
}

void CardFileTest::splitsLines_data() {
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

void CardFileTest::splitsLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(splitCardLines(bytes), lines);
    QCOMPARE(splitCardLines(bytes, 1), lines.mid(0, 1));
}

void CardFileTest::readsFiles_data() {
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

void CardFileTest::readsFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    QVERIFY(writeBytes(path("in.qcf"), content));
    const Result<QStringList> read = readCardLines(path("in.qcf"));
    QVERIFY2(read, qPrintable(read.error()));
    QCOMPARE(*read, lines);
    QCOMPARE(readBytes(path("in.qcf")), content);
}

void CardFileTest::fillsTheRecordFromLines_data() {
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

void CardFileTest::fillsTheRecordFromLines() {
    QFETCH(QStringList, lines);
    QFETCH(CardRecord, expected);
    CardRecord current;
    for (QString& field : current.fields) field = QStringLiteral("vecchio");
    current.rows = QStringLiteral("3");
    current.columns = QStringLiteral("4");
    QCOMPARE(recordFromLines(lines, current), expected);
}

void CardFileTest::readsOddBytesWithoutHarm_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("binary noise") << noise(4096);
    QTest::newRow("binary noise at the limit") << noise(int(kMaxCardFileSize));
    QTest::newRow("only CRs") << QByteArray(1000, '\r');
    QTest::newRow("only LFs") << QByteArray(1000, '\n');
    QTest::newRow("one huge line") << QByteArray(60000, 'w');
}

void CardFileTest::readsOddBytesWithoutHarm() {
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

void CardFileTest::readsUpToTheSizeLimit() {
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

void CardFileTest::refusesWhatIsNotACardFile_data() {
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
    QTest::newRow("endless device")
        << "device"
        << "Il file {file} non è un file di dati dei biglietti: è un file speciale del sistema.";
    QTest::newRow("named pipe nobody writes")
        << "fifo"
        << "Il file {file} non è un file di dati dei biglietti: è un file speciale del sistema.";
    QTest::newRow("NUL bytes")
        << "binary"
        << "Il file {file} non è un file di dati dei biglietti: contiene dati binari.";
    QTest::newRow("empty path") << "empty"
                                << "Non è stato indicato nessun file da leggere.";
    QTest::newRow("a link that loops")
        << "loop"
        << "Il file {file} non può essere letto: un collegamento lungo il percorso rimanda a se "
           "stesso.";
    QTest::newRow("a path too long")
        << "long"
        << "Il file {file} non può essere letto: il percorso è troppo lungo per il sistema.";
}

void CardFileTest::refusesWhatIsNotACardFile() {
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

void CardFileTest::writeFailuresLeaveTheDiskAlone_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("a folder in the file's place")
        << "folder.qcf"
        << "Il file {file} non può essere scritto: al suo posto c'è una cartella.";
    QTest::newRow("through a regular file")
        << "regularfile/x.qcf"
        << "Il file {file} non può essere scritto: {dir}/regularfile non è una cartella.";
    QTest::newRow("missing folder")
        << "nofolder/x.qcf"
        << "Il file {file} non può essere scritto: la cartella {dir}/nofolder non esiste.";
    QTest::newRow("a folder that is a looping link")
        << "loop/x.qcf"
        << "Il file {file} non può essere scritto: un collegamento lungo il percorso rimanda a "
           "se stesso.";
    QTest::newRow("a name too long")
        << QString(300, u'x')
        << "Il file {file} non può essere scritto: il percorso è troppo lungo per il sistema.";
}

void CardFileTest::writeFailuresLeaveTheDiskAlone() {
    QFETCH(QString, target);
    QFETCH(QString, message);
    QVERIFY(QDir().mkdir(path("folder.qcf")));
    QVERIFY(writeBytes(path("folder.qcf/inside"), "keep"));
    QVERIFY(writeBytes(path("regularfile"), "keep me\r\n"));
    QVERIFY(QFile::link(path("loop"), path("loop")));
    const auto before = snapshot(dir_->path());
    QCOMPARE(writeCardFile(path(target), sampleRecord()).error(),
             expand(message, path(target), {}, dir_->path()));
    QCOMPARE(writeFileAtomically(path(target), "x").error(),
             expand(message, path(target), {}, dir_->path()));
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileTest::refusesToWriteWhatCouldNotBeReadBack() {
    QVERIFY(writeBytes(path("data.qcf"), "earlier\r\n"));
    const auto before = snapshot(dir_->path());
    CardRecord huge;
    huge.fields[Website] = QString(int(kMaxCardFileSize), QLatin1Char('w'));
    QCOMPARE(writeCardFile(path("data.qcf"), huge).error(),
             QStringLiteral("Il file %1 non può essere scritto: i dati sono troppi per un file "
                            "di dati dei biglietti (più di 64 KiB).")
                 .arg(path("data.qcf")));
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileTest::fullDiskLeavesTheEarlierFile() {
    const QString mountPoint = path("full");
    datafiles::FullDisk disk(mountPoint);
    if (!disk.failure().isEmpty()) QSKIP(qPrintable(disk.failure()));
    const QString target = mountPoint + QStringLiteral("/Quarzo.qdf");
    QVERIFY(writeBytes(target, "earlier content\r\n"));
    QVERIFY(disk.fill());
    const auto before = snapshot(mountPoint);
    QCOMPARE(writeCardFile(target, sampleRecord()).error(),
             QStringLiteral("Il file %1 non può essere scritto: il disco è pieno.").arg(target));
    QVERIFY(writeBytes(path("source.qcf"), crlf(numberedLines(13))));
    QCOMPARE(copyCardLines(path("source.qcf"), target).error(),
             QStringLiteral("Il file %1 non può essere scritto: il disco è pieno.").arg(target));
    // No temporary file left behind either.
    QCOMPARE(snapshot(mountPoint), before);
}

void CardFileTest::writesThroughASymbolicLink() {
    QVERIFY(writeBytes(path("real.qdf"), "earlier\r\n"));
    QVERIFY(QFile::link(path("real.qdf"), path("link.qdf")));
    {
        const Result<QByteArray> done = writeCardFile(path("link.qdf"), CardRecord{});
        QVERIFY2(done, qPrintable(done.error()));
    }
    QVERIFY(QFileInfo(path("link.qdf")).isSymLink());
    QCOMPARE(readBytes(path("real.qdf")), encodeCardFile(CardRecord{}));
}

void CardFileTest::missingPermissionsAreTold() {
    if (::geteuid() == 0) {
        // Root ignores file permissions: the same checks, as a user who does not.
        const ToolRun asNobody = runTestAsNobody(QStringLiteral("missingPermissionsAreTold"));
        QVERIFY2(asNobody.ok, qPrintable(asNobody.failure));
        return;
    }
    QVERIFY(writeBytes(path("secret.qcf"), "a\r\n"));
    QVERIFY(writeBytes(path("readonly.qdf"), "a\r\n"));
    QVERIFY(QFile::setPermissions(path("readonly.qdf"), QFileDevice::ReadOwner));
    QVERIFY(QFile::setPermissions(path("secret.qcf"), QFileDevice::WriteOwner));
    QVERIFY(QDir().mkdir(path("locked")));
    QVERIFY(writeBytes(path("locked/Quarzo.qdf"), "earlier\r\n"));
    // Given back at the end, or the temporary folder could not be removed.
    const auto unlock = qScopeGuard([this] {
        QFile::setPermissions(path("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    QVERIFY(QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto before = snapshot(dir_->path());
    QCOMPARE(readCardLines(path("secret.qcf")).error(),
             QStringLiteral("Il file %1 non può essere letto: mancano i permessi per leggerlo.")
                 .arg(path("secret.qcf")));
    QCOMPARE(writeCardFile(path("locked/Quarzo.qdf"), CardRecord{}).error(),
             QStringLiteral("Il file %1 non può essere scritto: mancano i permessi per "
                            "scrivere nella cartella %2.")
                 .arg(path("locked/Quarzo.qdf"), path("locked")));
    QCOMPARE(writeCardFile(path("readonly.qdf"), CardRecord{}).error(),
             QStringLiteral("Il file %1 non può essere scritto: è un file di sola lettura.")
                 .arg(path("readonly.qdf")));
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileTest::copiesEveryLineWithCrLf_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("copy");
    QTest::newRow("13 lines unchanged") << crlf(numberedLines(13)) << crlf(numberedLines(13));
    QTest::newRow("20 lines, all copied") << crlf(numberedLines(20)) << crlf(numberedLines(20));
    QTest::newRow("last line without end") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone CR and lone LF")
        << QByteArray("a\rb\nc\r\n") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("blank lines kept") << QByteArray("\r\n\r\nx\r\n") << QByteArray("\r\n\r\nx\r\n");
    QTest::newRow("empty gives empty") << QByteArray() << QByteArray();
    QTest::newRow("bytes kept") << QByteArray("\xE8\x80\x01\r\n") << QByteArray("\xE8\x80\x01\r\n");
}

void CardFileTest::copiesEveryLineWithCrLf() {
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, copy);
    QVERIFY(writeBytes(path("from.qcf"), source));
    QVERIFY(writeBytes(path("to.qcf"), QByteArray(3000, 'o')));
    {
        const Result<void> done = copyCardLines(path("from.qcf"), path("to.qcf"));
        QVERIFY2(done, qPrintable(done.error()));
    }
    QCOMPARE(readBytes(path("to.qcf")), copy);
    QCOMPARE(readBytes(path("from.qcf")), source);
}

void CardFileTest::copyOntoItselfLosesNothing_data() {
    QTest::addColumn<QString>("other");
    QTest::newRow("same path") << "Quarzo.qdf";
    QTest::newRow("through a symbolic link") << "link.qcf";
    QTest::newRow("through ..") << "sub/../Quarzo.qdf";
}

void CardFileTest::copyOntoItselfLosesNothing() {
    QFETCH(QString, other);
    QVERIFY(QDir().mkdir(path("sub")));
    QVERIFY(QFile::link(path("Quarzo.qdf"), path("link.qcf")));
    QVERIFY(writeBytes(path("Quarzo.qdf"), numberedLines(13).join('\n')));
    {
        const Result<void> done = copyCardLines(path("Quarzo.qdf"), path(other));
        QVERIFY2(done, qPrintable(done.error()));
    }
    QCOMPARE(readBytes(path("Quarzo.qdf")), crlf(numberedLines(13)));
    {
        const Result<void> done = copyCardLines(path(other), path("Quarzo.qdf"));
        QVERIFY2(done, qPrintable(done.error()));
    }
    QCOMPARE(readBytes(path("Quarzo.qdf")), crlf(numberedLines(13)));
    QVERIFY(QFileInfo(path("link.qcf")).isSymLink());
}

void CardFileTest::copyFailuresLeaveTheDiskAlone_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing source") << "missing.qcf"
                                    << "Quarzo.qdf"
                                    << "Il file {file} non esiste.";
    QTest::newRow("folder as source")
        << "folder.qcf"
        << "Quarzo.qdf"
        << "Il file {file} non è un file di dati dei biglietti: è una cartella.";
    QTest::newRow("too big source")
        << "big.qcf"
        << "Quarzo.qdf"
        << "Il file {file} non è un file di dati dei biglietti: è troppo grande.";
    QTest::newRow("copy would outgrow the limit")
        << "lf.qcf"
        << "Quarzo.qdf"
        << "Il file {file} non è un file di dati dei biglietti: è troppo grande.";
    QTest::newRow("folder as destination")
        << "Quarzo.qdf"
        << "folder.qcf"
        << "Il file {to} non può essere scritto: al suo posto c'è una cartella.";
    QTest::newRow("destination through a regular file")
        << "Quarzo.qdf"
        << "regularfile/x.qcf"
        << "Il file {to} non può essere scritto: {dir}/regularfile non è una cartella.";
}

void CardFileTest::copyFailuresLeaveTheDiskAlone() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QVERIFY(writeBytes(path("Quarzo.qdf"), crlf(numberedLines(13))));
    QVERIFY(QDir().mkdir(path("folder.qcf")));
    QVERIFY(writeBytes(path("regularfile"), "keep\r\n"));
    QVERIFY(writeBytes(path("big.qcf"), QByteArray(int(kMaxCardFileSize) + 1, 'b')));
    // Within the limit, but every lone LF becomes CR LF in the copy.
    QVERIFY(writeBytes(path("lf.qcf"), QByteArray(40000, '\n')));
    const auto before = snapshot(dir_->path());
    QCOMPARE(copyCardLines(path(from), path(to)).error(),
             expand(message, path(from), path(to), dir_->path()));
    QCOMPARE(snapshot(dir_->path()), before);
}

void CardFileTest::tellsTheSameFile_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("same path") << "Quarzo.qdf"
                               << "Quarzo.qdf" << true;
    QTest::newRow("symbolic link") << "link.qcf"
                                   << "Quarzo.qdf" << true;
    QTest::newRow("dot dot") << "Quarzo.qdf"
                             << "sub/../Quarzo.qdf" << true;
    QTest::newRow("hard link") << "hard.qcf"
                               << "Quarzo.qdf" << true;
    QTest::newRow("another file") << "other.qcf"
                                  << "Quarzo.qdf" << false;
    QTest::newRow("a missing file") << "missing.qcf"
                                    << "Quarzo.qdf" << false;
    QTest::newRow("both missing") << "missing.qcf"
                                  << "missing.qcf" << false;
}

void CardFileTest::tellsTheSameFile() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QVERIFY(QDir().mkdir(path("sub")));
    QVERIFY(writeBytes(path("Quarzo.qdf"), "a\r\n"));
    QVERIFY(writeBytes(path("other.qcf"), "a\r\n"));
    QVERIFY(QFile::link(path("Quarzo.qdf"), path("link.qcf")));
    QCOMPARE(::link(QFile::encodeName(path("Quarzo.qdf")).constData(),
                    QFile::encodeName(path("hard.qcf")).constData()),
             0);
    QCOMPARE(isSameFile(path(a), path(b)), same);
    QCOMPARE(isSameFile(path(b), path(a)), same);
}

QTEST_APPLESS_MAIN(CardFileTest)
#include "tst_cardfile.moc"
