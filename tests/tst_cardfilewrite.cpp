// Writing the card data file on real files: the exact bytes written, the atomic writer and the
// line copy, the same file told through other spellings, and every refusal.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "cardfilelines.h"
#include "data/cardfile.h"
#include "data/codepage.h"
#include "data/outputfile.h"
#include "foldertest.h"
#include "samples.h"
#include "tools.h"

using namespace quarzello;

namespace {

// What Load does with the files: the whole of one read, then the other replaced by it.
Result<void> copyCardLines(const QString& from, const QString& to) {
    const Result<QByteArray> copy = readCardFileForCopy(from);
    if (!copy) return copy.failure();
    return writeFileAtomically(to, *copy);
}

}  // namespace

class CardFileWriteTest : public FolderTest {
    Q_OBJECT

  private slots:
    void encodesTheThirteenLines_data() {
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
            << QByteArray(
                   "\r\nNicol\xF2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\x80\x92\r\n10\r\nx\r\n");

        CardRecord breaks;
        breaks.fields[Role] = QStringLiteral("a\r\nb");
        breaks.fields[Street] = QStringLiteral("c\nd") + QChar(0);
        breaks.columns = QStringLiteral("e\rf");
        QTest::newRow("line breaks and NUL inside values")
            << breaks
            << QByteArray("\r\n\r\n\r\na  b\r\nc d \r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\ne f\r\n");

        CardRecord foreign;
        foreign.fields[Surname] = QStringLiteral("Ōno");
        QTest::newRow("character outside the code page")
            << foreign << QByteArray("\r\n\r\n?no\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\n2\r\n");
    }
    void encodesTheThirteenLines() {
        QFETCH(CardRecord, record);
        QFETCH(QByteArray, bytes);
        const QByteArray encoded = encodeCardFile(record);
        QCOMPARE(encoded, bytes);
        QCOMPARE(splitCardLines(encoded).size(), kCardFileLines);
        QVERIFY(encoded.endsWith("\r\n"));
    }
    void writesTheBytesToDisk() {
        QVERIFY(writeCardFile(path("empty.qcf"), CardRecord{}));
        const QByteArray written = readBytes(path("empty.qcf"));
        QCOMPARE(written.size(), 28);
        QCOMPARE(written, QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n6\r\n2\r\n"));

        // A shorter record replaces a longer file entirely.
        QVERIFY(writeBytes(path("longer.qcf"), QByteArray(5000, 'z')));
        QVERIFY(writeCardFile(path("longer.qcf"), CardRecord{}));
        QCOMPARE(readBytes(path("longer.qcf")), written);
    }
    void everyCodePageCharacterSurvivesWriteAndRead() {
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

    void writeFailuresLeaveTheDiskAlone_data() {
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
    void writeFailuresLeaveTheDiskAlone() {
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
    void refusesToWriteWhatCouldNotBeReadBack() {
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
    void fullDiskLeavesTheEarlierFile() {
        const QString mountPoint = path("full");
        datafiles::FullDisk disk(mountPoint);
        if (!disk.failure().isEmpty()) QSKIP(qPrintable(disk.failure()));
        const QString target = mountPoint + QStringLiteral("/Quarzo.qdf");
        QVERIFY(writeBytes(target, "earlier content\r\n"));
        QVERIFY(disk.fill());
        const auto before = snapshot(mountPoint);
        QCOMPARE(
            writeCardFile(target, sampleRecord()).error(),
            QStringLiteral("Il file %1 non può essere scritto: il disco è pieno.").arg(target));
        QVERIFY(writeBytes(path("source.qcf"), crlf(numberedLines(13))));
        QCOMPARE(
            copyCardLines(path("source.qcf"), target).error(),
            QStringLiteral("Il file %1 non può essere scritto: il disco è pieno.").arg(target));
        // No temporary file left behind either.
        QCOMPARE(snapshot(mountPoint), before);
    }
    void writesThroughASymbolicLink() {
        QVERIFY(writeBytes(path("real.qdf"), "earlier\r\n"));
        QVERIFY(QFile::link(path("real.qdf"), path("link.qdf")));
        {
            const Result<QByteArray> done = writeCardFile(path("link.qdf"), CardRecord{});
            QVERIFY2(done, qPrintable(done.error()));
        }
        QVERIFY(QFileInfo(path("link.qdf")).isSymLink());
        QCOMPARE(readBytes(path("real.qdf")), encodeCardFile(CardRecord{}));
    }
    void missingPermissionsAreTold() {
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
        QVERIFY(
            QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
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

    void copiesEveryLineWithCrLf_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("copy");
        QTest::newRow("13 lines unchanged") << crlf(numberedLines(13)) << crlf(numberedLines(13));
        QTest::newRow("20 lines, all copied") << crlf(numberedLines(20)) << crlf(numberedLines(20));
        QTest::newRow("last line without end") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone CR and lone LF")
            << QByteArray("a\rb\nc\r\n") << QByteArray("a\r\nb\r\nc\r\n");
        QTest::newRow("blank lines kept")
            << QByteArray("\r\n\r\nx\r\n") << QByteArray("\r\n\r\nx\r\n");
        QTest::newRow("empty gives empty") << QByteArray() << QByteArray();
        QTest::newRow("bytes kept")
            << QByteArray("\xE8\x80\x01\r\n") << QByteArray("\xE8\x80\x01\r\n");
    }
    void copiesEveryLineWithCrLf() {
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
    void copyOntoItselfLosesNothing_data() {
        QTest::addColumn<QString>("other");
        QTest::newRow("same path") << "Quarzo.qdf";
        QTest::newRow("through a symbolic link") << "link.qcf";
        QTest::newRow("through ..") << "sub/../Quarzo.qdf";
    }
    void copyOntoItselfLosesNothing() {
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
    void copyFailuresLeaveTheDiskAlone_data() {
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
    void copyFailuresLeaveTheDiskAlone() {
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

    void tellsTheSameFile_data() {
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
    void tellsTheSameFile() {
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
};

QTEST_APPLESS_MAIN(CardFileWriteTest)
#include "tst_cardfilewrite.moc"
