// The command line, as the real program run as a process: a PDF of a card file, a sheet on a
// private CUPS queue, the printer list, and every wrong input told with the right exit status
// and nothing half written.
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "data/cardfile.h"
#include "datafiles.h"
#include "pdfbox.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "privatecups.h"
#include "samples.h"
#include "tools.h"

using namespace quarzello;
using datafiles::readBytes;
using datafiles::writeBytes;

class CommandLineTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void pdfIsTheSheetTheWindowPrints();
    void printsOnAQueueAndListsThePrinters();
    void stoppedPrinterOnlyWhenAskedFor();
    void refusals_data();
    void refusals();
    void programFolderWithAnOddName();

  private:
    ToolRun quarzello(const QStringList& args, const QString& workingIn = {});
    QString path(const QString& name) const { return dir_.filePath(name); }

    PrivateCups cups_;
    QTemporaryDir dir_;
    QString card_;
};

void CommandLineTest::initTestCase() {
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Zeta"), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Alfa"), qPrintable(cups_.errorString()));
    card_ = path("socio.qcf");
    QVERIFY(writeBytes(card_, encodeCardFile(clubRecord("Ugo", "Neri", "6", "2"))));
}

ToolRun CommandLineTest::quarzello(const QStringList& args, const QString& workingIn) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");  // no display is needed
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("XDG_DATA_HOME", path("data"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingIn.isEmpty() ? dir_.path() : workingIn);
    process.start(QStringLiteral(QUARZELLO_EXE), args);
    ToolRun run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitCode();
    run.ok = process.exitStatus() == QProcess::NormalExit && run.exitCode == 0;
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

void CommandLineTest::pdfIsTheSheetTheWindowPrints() {
    const ToolRun run = quarzello({"--pdf", "foglio.pdf", "socio.qcf"});  // relative to here
    QVERIFY2(run.ok, run.errors.constData());
    PdfSurface window("Alfa");
    QVERIFY(StampaBiglietti(window, clubRecord("Ugo", "Neri", "6", "2")));
    const QList<PdfLine> expected = pdfLines(pdfWords(window.document()), 105);
    const QList<PdfLine> got = pdfLines(pdfWords(readBytes(path("foglio.pdf"))), 105);
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].text, expected[i].text);
        QVERIFY(std::abs(got[i].right - expected[i].right) < 0.2 &&
                std::abs(got[i].bottom - expected[i].bottom) < 0.2);
    }
}

void CommandLineTest::printsOnAQueueAndListsThePrinters() {
    const ToolRun printed =
        quarzello({"--stampa", "Alfa", card_, "--righe", "8", "--colonne", "4"});
    QVERIFY2(printed.ok, printed.errors.constData());
    QCOMPARE(printed.output, QByteArray("Stampa conclusa\n"));
    QCOMPARE(PrivateCups::pdfText(cups_.waitForJob("Alfa")).count("Dott. Ugo Neri"), 32);

    const ToolRun listed = quarzello({"--stampanti"});
    QVERIFY2(listed.ok, listed.errors.constData());
    QCOMPARE(listed.output, QByteArray("Alfa\nZeta\n"));
}

void CommandLineTest::stoppedPrinterOnlyWhenAskedFor() {
    QVERIFY(cups_.stopPrinter("Zeta", "Manutenzione"));
    const int before = cups_.jobCount("Zeta");
    const ToolRun refused = quarzello({"--stampa", "Zeta", card_});
    const ToolRun sent = quarzello({"--stampa", "Zeta", "--anche-se-ferma", card_});
    QVERIFY(cups_.restartPrinter("Zeta"));
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.errors.contains("La stampante Zeta è ferma"), refused.errors.constData());
    QVERIFY2(sent.ok, sent.errors.constData());
    QCOMPARE(cups_.jobCount("Zeta"), before + 1);
}

void CommandLineTest::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");
    const QString card = "socio.qcf";
    QTest::newRow("grid refused") << QStringList{"--pdf", "x.pdf", card, "--righe", "20"} << 1
                                  << "Righe per pagina: il valore \"20\" non è valido.\n";
    QTest::newRow("missing file") << QStringList{"--pdf", "x.pdf", "manca.qcf"} << 1
                                  << "non esiste";
    QTest::newRow("binary") << QStringList{"--pdf", "x.pdf", "programma"} << 1 << "dati binari";
    QTest::newRow("PDF in a missing folder")
        << QStringList{"--pdf", "manca/x.pdf", card} << 1 << "la cartella";
    QTest::newRow("printer in other case")
        << QStringList{"--stampa", "alfa", card} << 1 << "La stampante alfa non è più disponibile";
    QTest::newRow("unknown option") << QStringList{"--pdff", "x.pdf"} << 2 << "pdff";
    QTest::newRow("missing value") << QStringList{"--pdf"} << 2 << "--pdf";
    QTest::newRow("two things at once")
        << QStringList{"--pdf", "x.pdf", "--stampanti"} << 2 << "una sola";
}

void CommandLineTest::refusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, told);
    QVERIFY(writeBytes(path("programma"), QByteArray("\x7f"
                                                     "ELF\x02\x01\x01\0\0\r\n6\r\n2",
                                                     15)));
    const int alfa = cups_.jobCount("Alfa");
    const ToolRun run = quarzello(args);
    QCOMPARE(run.exitCode, status);
    QVERIFY2(QString::fromUtf8(run.errors).contains(told), run.errors.constData());
    QVERIFY(!QFileInfo::exists(path("x.pdf")));
    QCOMPARE(cups_.jobCount("Alfa"), alfa);
}

void CommandLineTest::programFolderWithAnOddName() {
    // A folder named in Latin-1, as on an old USB stick, reached through a link with a plain name.
    const std::filesystem::path odd = QFile::encodeName(path("Citt")).toStdString() + "\xe0";
    std::filesystem::create_directory(odd);
    std::filesystem::copy_file(QUARZELLO_EXE, odd / "quarzello");
    QCOMPARE(::symlink((odd / "quarzello").c_str(), QFile::encodeName(path("avvio")).constData()),
             0);
    QVERIFY(QDir().mkpath(path("data/quarzello")) && QDir().mkpath(path("altrove")));
    QVERIFY(writeBytes(path("data/quarzello/Quarzo.qdf"),
                       encodeCardFile(clubRecord("Lia", "Bassi", "6", "2"))));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", path("data"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(path("altrove"));
    process.start(path("avvio"), {"--pdf", path("lia.pdf")});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    // The user's data were found, and nothing was written where it was started from.
    QVERIFY(PrivateCups::pdfText(readBytes(path("lia.pdf"))).contains("Dott. Lia Bassi"));
    QCOMPARE(QDir(path("altrove")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
