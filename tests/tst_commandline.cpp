// The command line, as the real program run as a process: a PDF of a card file, a sheet on a
// private CUPS queue, the printer list, and every wrong input told with the right exit status
// and nothing half written.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "data/cardfile.h"
#include "datafiles.h"
#include "pdfbox.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "print/vcard.h"
#include "privatecups.h"
#include "samples.h"
#include "sheetdrawing.h"
#include "tools.h"

using namespace quarzello;
using datafiles::readBytes;
using datafiles::writeBytes;

class CommandLineTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void pdfIsTheSheetTheWindowPrints();
    void qrCodesReadByADecoder_data();
    void qrCodesReadByADecoder();
    void pdfOnPreCutStock();
    void offsetMovesEverythingOnThePrinterOnly();
    void printsOnAQueueAndListsThePrinters();
    void stoppedPrinterOnlyWhenAskedFor();
    void memberListIntoOnePdfAndOneJob();
    void addressBookIntoOnePdf();
    void refusals_data();
    void refusals();
    void devicesAndPipesAreWrittenIntoNotReplaced();
    void standardOutputThatCannotBeWritten_data();
    void standardOutputThatCannotBeWritten();
    void namesThatAreNotUtf8();
    void noDisplayIsNeededAndAGoneOneIsTold();
    void programFolderWithAnOddName();

  private:
    ToolRun quarzello(const QStringList& args, const QString& workingIn = {},
                      const QStringList& environmentToo = {}, const QString& output = {});
    QString path(const QString& name) const { return dir_.filePath(name); }

    PrivateCups cups_;
    QTemporaryDir dir_;
    QString card_;
};

void CommandLineTest::initTestCase() {
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Zeta"), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Alfa"), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter("Margini", QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd"),
             qPrintable(cups_.errorString()));
    card_ = path("socio.qcf");
    QVERIFY(writeBytes(card_, encodeCardFile(clubRecord("Ugo", "Neri", "6", "2"))));
    QVERIFY(writeBytes(path("soci.csv"),
                       "Nome;Cognome;Righe;Colonne\r\nUgo;Neri;3;4\r\n"
                       "Lia;Bassi;;\r\nEva;Gallo;2;\r\n"));
}

ToolRun CommandLineTest::quarzello(const QStringList& args, const QString& workingIn,
                                   const QStringList& environmentToo, const QString& output) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");  // no display is needed
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("XDG_DATA_HOME", path("data"));
    for (const QString& variable : environmentToo)
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!output.isEmpty()) process.setStandardOutputFile(output);
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
    QVERIFY(drawSheet(window, clubRecord("Ugo", "Neri", "6", "2")));
    const QList<PdfLine> expected = pdfLines(pdfWords(window.document()), 105);
    const QList<PdfLine> got = pdfLines(pdfWords(readBytes(path("foglio.pdf"))), 105);
    QCOMPARE(expected.first().text, QStringLiteral("Dott. Ugo Neri"));
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got[i].text, expected[i].text);
        QVERIFY(std::abs(got[i].right - expected[i].right) < 0.2 &&
                std::abs(got[i].bottom - expected[i].bottom) < 0.2);
    }
}

void CommandLineTest::qrCodesReadByADecoder_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("fits");
    QTest::newRow("2 x 6") << 2 << 6 << true;
    QTest::newRow("the largest grid where it fits") << 4 << 8 << false;
}

// The longest lines a card has, an accented letter among them: every card's code, cropped and
// read by a decoder that is not the encoder, gives the contact, and no ink is in its quiet zone;
// the document holds the code once.
void CommandLineTest::qrCodesReadByADecoder() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(bool, fits);
    CardRecord record = crowdedRecord(columns, rows);
    record.fields[Town] = QStringLiteral("Forlì (FC)");
    QVERIFY(writeBytes(path("qr.qcf"), encodeCardFile(record)));
    QFile::remove(path("qr.pdf"));
    if (!fits) {
        const ToolRun refused = quarzello({"--pdf", "qr.pdf", "--qr", "qr.qcf"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(!QFileInfo::exists(path("qr.pdf")));
        const QString told = QString::fromUtf8(refused.errors);
        QVERIFY2(told.startsWith("quarzello: Con 4 colonne e 8 righe il codice QR non entra nei "
                                 "biglietti."),
                 qPrintable(told));
        const QRegularExpressionMatch largest =
            QRegularExpression("entra al massimo con (\\d+) colonne e (\\d+) righe").match(told);
        QVERIFY2(largest.hasMatch(), qPrintable(told));
        columns = largest.captured(1).toInt();
        rows = largest.captured(2).toInt();
        record.rows = QString::number(rows);
        record.columns = QString::number(columns);
        QVERIFY(writeBytes(path("qr.qcf"), encodeCardFile(record)));
    }
    const ToolRun run = quarzello({"--pdf", "qr.pdf", "--qr", "qr.qcf"});
    QVERIFY2(run.ok, run.errors.constData());
    const QByteArray pdf = readBytes(path("qr.pdf"));
    QVERIFY(runTool(findTool("pdftoppm"),
                    {"-r", "300", "-gray", "-f", "1", "-l", "1", path("qr.pdf"), path("qr")})
                .ok);
    PdfSurface surface("qr");
    const Result<SheetPlan> plan = planSheet(surface, record, SheetPaper({columns, rows}), [] {
        SheetOptions options;
        options.qrCode = true;
        return options;
    }());
    QVERIFY(plan && !plan->qrLeftOut);
    // One picture of 1 bit a pixel in the document, placed on every card.
    const QStringList images =
        QString::fromUtf8(runTool(findTool("pdfimages"), {"-list", path("qr.pdf")}).output)
            .split('\n', Qt::SkipEmptyParts)
            .mid(2);
    QCOMPARE(std::size_t(images.size()), plan->cards.size());
    for (const QString& image : images)
        QCOMPARE(image.simplified().section(' ', 2), images[0].simplified().section(' ', 2));
    QCOMPARE(images[0].simplified().section(' ', 7, 7), QStringLiteral("1"));
    const QByteArray contact = cardVCard(record).toUtf8();
    PdfRaster raster;
    QVERIFY(raster.load(pdf, 300));
    const double pxPerMm = 300 / 25.4;
    for (const PlannedCard& card : plan->cards) {
        QVERIFY(card.qr);
        const QString crop = path(QStringLiteral("card-%1-%2.pgm").arg(card.row).arg(card.column));
        QVERIFY(runTool(findTool("convert"), {path("qr-1.pgm"), "-crop",
                                              QStringLiteral("%1x%2+%3+%4")
                                                  .arg(int(card.width * pxPerMm))
                                                  .arg(int(card.height * pxPerMm))
                                                  .arg(int(card.x * pxPerMm))
                                                  .arg(int(card.y * pxPerMm)),
                                              "+repage", crop})
                    .ok);
        const ToolRun decoded = runTool(findTool("zbarimg"), {"--raw", "-q", "-Sbinary", crop});
        QCOMPARE(decoded.output, contact);
        // The quiet zone, two pixels away from the code's edge, which smoothing greys.
        const CardQr& qr = *card.qr;
        const double l = qr.quietLeft(), t = qr.quietTop(), r = l + qr.quietSide(),
                     b = t + qr.quietSide(), gap = 0.2;
        QVERIFY(raster.darkestIn(l, t, r, qr.y - gap) > 250);
        QVERIFY(raster.darkestIn(l, qr.y + qr.side() + gap, r, b) > 250);
        QVERIFY(raster.darkestIn(l, t, qr.x - gap, b) > 250);
        QVERIFY(raster.darkestIn(qr.x + qr.side() + gap, t, r, b) > 250);
    }
    QFile::remove(path("qr.pdf"));  // other tests count the PDFs here
}

void CommandLineTest::pdfOnPreCutStock() {
    const ToolRun run =
        quarzello({"--pdf", "carta.pdf", "socio.qcf", "--carta", "AVERY c32011-10"});
    QVERIFY2(run.ok, run.errors.constData());
    // Avery C32011-10: cards of 85 x 54 mm from 15 mm left and 13.5 mm top, 95 mm apart across.
    QList<QRectF> cards;
    for (int i = 0; i < 5; ++i)
        for (int k = 0; k < 2; ++k) cards << QRectF(15 + 95 * k, 13.5 + 54 * i, 85, 54);
    const QList<PdfLine> lines = pdfLines(pdfWords(readBytes(path("carta.pdf"))), 105);
    for (const QRectF& card : cards) {
        int names = 0;
        for (const PdfLine& line : lines)
            names += line.text == "Dott. Ugo Neri" &&
                     card.contains(
                         QRectF(QPointF(line.left, line.top), QPointF(line.right, line.bottom)));
        QVERIFY2(names == 1, qPrintable(QString("card at %1, %2").arg(card.x()).arg(card.y())));
    }
    QFile::remove(path("carta.pdf"));
}

void CommandLineTest::offsetMovesEverythingOnThePrinterOnly() {
    // The offset remembered for Alfa, written as a user would.
    QVERIFY(QDir().mkpath(path("config/quarzello")));
    QVERIFY(
        writeBytes(path("config/quarzello/quarzello.conf"), "[spostamento]\nAlfa=\"1,5;-0,8\"\n"));
    const QStringList config{"XDG_CONFIG_HOME=" + path("config")};
    const ToolRun printed = quarzello({"--stampa", "Alfa", card_}, {}, config);
    QVERIFY2(printed.ok, printed.errors.constData());
    const QList<PdfWord> moved = pdfWords(cups_.waitForJob("Alfa"));
    const ToolRun pdf = quarzello({"--pdf", "-", card_}, {}, config);
    QVERIFY2(pdf.ok, pdf.errors.constData());
    const QList<PdfWord> unmoved = pdfWords(pdf.output);
    QCOMPARE(moved.size(), unmoved.size());
    QVERIFY(!moved.isEmpty());
    for (qsizetype i = 0; i < moved.size(); ++i) {
        QCOMPARE(moved[i].text, unmoved[i].text);
        QVERIFY2(std::abs(moved[i].xMin - unmoved[i].xMin - 1.5) < 0.02 &&
                     std::abs(moved[i].yMax - unmoved[i].yMax + 0.8) < 0.02,
                 qPrintable(QString("%1 at %2, %3 from %4, %5")
                                .arg(moved[i].text)
                                .arg(moved[i].xMin)
                                .arg(moved[i].yMax)
                                .arg(unmoved[i].xMin)
                                .arg(unmoved[i].yMax)));
    }
}

void CommandLineTest::printsOnAQueueAndListsThePrinters() {
    const ToolRun printed =
        quarzello({"--stampa", "Alfa", card_, "--righe", "8", "--colonne", "4"});
    QVERIFY2(printed.ok, printed.errors.constData());
    // Every word of a print goes to standard error, the closing one too.
    QCOMPARE(printed.errors, QByteArray("quarzello: Stampa conclusa\n"));
    QVERIFY(printed.output.isEmpty());
    QCOMPARE(PrivateCups::pdfText(cups_.waitForJob("Alfa")).count("Dott. Ugo Neri"), 32);

    const ToolRun listed = quarzello({"--stampanti"});
    QVERIFY2(listed.ok, listed.errors.constData());
    QCOMPARE(listed.output, QByteArray("Alfa\nMargini\nZeta\n"));
}

void CommandLineTest::stoppedPrinterOnlyWhenAskedFor() {
    QVERIFY(cups_.stopPrinter("Zeta", "Manutenzione"));
    const int before = cups_.jobCount("Zeta");
    const ToolRun refused = quarzello({"--stampa", "Zeta", card_});
    const ToolRun sent = quarzello({"--stampa", "Zeta", "--anche-se-ferma", card_});
    QVERIFY(cups_.restartPrinter("Zeta"));
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.errors.contains("La stampante Zeta è ferma"), refused.errors.constData());
    // Sent, not printed yet: it waits in the stopped queue.
    QCOMPARE(sent.exitCode, 3);
    QCOMPARE(cups_.jobCount("Zeta"), before + 1);
}

void CommandLineTest::memberListIntoOnePdfAndOneJob() {
    // The command line's columns for every page; each member's rows where the list gives them,
    // else 6 (there is no default data file). One page per member, in the list's order.
    const QStringList args{"--elenco", "soci.csv", "--colonne", "1"};
    const QStringList names{"Ugo Neri", "Lia Bassi", "Eva Gallo"};
    const QList<int> cards{3, 6, 2};
    const auto checkPages = [&](const QByteArray& pdf) {
        const QStringList pages = PrivateCups::pdfText(pdf).split('\f');
        QCOMPARE(pages.size(), names.size() + 1);  // pdftotext ends every page with a form feed
        for (qsizetype i = 0; i < names.size(); ++i)
            for (qsizetype other = 0; other < names.size(); ++other)
                QCOMPARE(pages[i].count(names[other]), other == i ? cards[i] : 0);
    };
    const ToolRun run = quarzello(QStringList{"--pdf", "soci.pdf"} + args);
    QVERIFY2(run.ok, run.errors.constData());
    checkPages(readBytes(path("soci.pdf")));
    const ToolRun printed = quarzello(QStringList{"--stampa", "Alfa"} + args);
    QVERIFY2(printed.ok, printed.errors.constData());
    checkPages(cups_.waitForJob("Alfa"));

    // The margins: one warning for the whole job, naming the members' pages.
    const ToolRun margins = quarzello({"--stampa", "Margini", "--elenco", "soci.csv"});
    QVERIFY2(margins.ok, margins.errors.constData());
    const QString told = QString::fromUtf8(margins.errors);
    QCOMPARE(told.count("Attenzione: la stampante non stampa vicino ai bordi"), 1);
    QVERIFY2(told.contains("\nla riga 2 dell'elenco (Ugo Neri): la riga dei biglietti della fila "
                           "in alto: «Ugo Neri»\n") &&
                 told.contains("\nla riga 4 dell'elenco (Eva Gallo): la riga dei biglietti"),
             margins.errors.constData());
    // --riduci: one factor for the whole job, said once.
    const ToolRun reduced = quarzello({"--stampa", "Margini", "--riduci", "--elenco", "soci.csv"});
    QVERIFY2(reduced.ok && reduced.errors.count("Il foglio è stampato ridotto al ") == 1,
             reduced.errors.constData());
}

// A phone's, a mail program's and a newer address book's contacts in one vCard file, named
// as no list is: a page each, with the member's name and city.
void CommandLineTest::addressBookIntoOnePdf() {
    QVERIFY(writeBytes(path("rubrica.txt"),
                       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
                       "N=C3=A8ri;Ugo\r\nADR;WORK;CHARSET=UTF-8;QUOTED-PRINTABLE:;;;Forl=\r\n=C3="
                       "AC;;;\r\nEND:VCARD\r\n"
                       "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bassi;Lia;;;\r\nADR:;;;Pisa;;;\r\n"
                       "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nFN:Eva Gallo\r\n"
                       "ADR;TYPE=work:;;;Bra;;;\r\nEND:VCARD\r\n"));
    const ToolRun run = quarzello({"--pdf", "rubrica.pdf", "--elenco", "rubrica.txt"});
    QVERIFY2(run.ok, run.errors.constData());
    const QStringList pages = PrivateCups::pdfText(readBytes(path("rubrica.pdf"))).split('\f');
    const QStringList expected{"Ugo Nèri|Forlì", "Lia Bassi|Pisa", "Eva Gallo|Bra"};
    QCOMPARE(pages.size(), expected.size() + 1);  // pdftotext ends every page with a form feed
    for (qsizetype i = 0; i < expected.size(); ++i)
        for (const QString& word : expected[i].split('|'))
            QVERIFY2(pages[i].count(word) == 12, qPrintable(pages[i]));
    QVERIFY(QFile::remove(path("rubrica.pdf")) && QFile::remove(path("rubrica.txt")));
}

void CommandLineTest::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");
    const QString card = "socio.qcf";
    QTest::newRow("grid refused") << QStringList{"--pdf", "x.pdf", card, "--righe", "20"} << 2
                                  << "Righe per pagina: il valore \"20\" non è valido.\n";
    const QStringList product{"--carta", "avery c32011-10"};
    QTest::newRow("grid refused on a product too")
        << QStringList{"--pdf", "x.pdf", card, "--colonne", "0"} + product << 2
        << "Colonne per pagina: il valore \"0\" non è valido.\n";
    // A run that goes on (status 0) says what it did not do as asked.
    QTest::newRow("test sheet, no card data")
        << QStringList{"--pdf", "/dev/null", "--prova"} + product << 0 << QString();
    QTest::newRow("a grid given for a product")
        << QStringList{"--pdf", "/dev/null", card, "--righe", "3"} + product << 0
        << "quarzello: Su Avery C32011-10 le righe e le colonne sono quelle della carta";
    QTest::newRow("a member with nothing to print")
        << QStringList{"--pdf", "/dev/null", "--elenco", "vuoti.csv"} + product << 0
        << "quarzello: La riga 3 dell'elenco non ha nessun dato da stampare: il suo foglio è "
           "saltato.\n";
    QTest::newRow("nothing to print")
        << QStringList{"--pdf", "x.pdf", "vuoto.qcf"} + product << 1
        << "quarzello: Tutti i campi sono vuoti: non c'è niente da stampare.\n";
    QTest::newRow("control bytes from the file")
        << QStringList{"--pdf", "x.pdf", "titolo.qcf"} << 1
        << "Righe per pagina: il valore \"\\x1b]0;X\\x07\\x1b[2J\\x9d\" non è valido.\n";
    QTest::newRow("binary") << QStringList{"--pdf", "x.pdf", "programma"} << 1
                            << "Il file " + path("programma") +
                                   " non è un file di dati dei biglietti: contiene dati binari.";
    const QString nothingOut = "\nNon è stato scritto né inviato nessun foglio.\n";
    QTest::newRow("several files, one missing")
        << QStringList{"--pdf", "x.pdf", card, "manca.qcf"} << 1
        << "Il file " + path("manca.qcf") + " non esiste." + nothingOut;
    QTest::newRow("several files, a grid refused")
        << QStringList{"--stampa", "Alfa", card, "titolo.qcf"} << 1
        << "Per il file " + path("titolo.qcf") +
               ":\nRighe per pagina: il valore \"\\x1b]0;X\\x07\\x1b[2J\\x9d\" non è valido.\n"
               "Indicare un numero intero da 1 a 19." +
               nothingOut;
    QTest::newRow("PDF onto the member list")
        << QStringList{"--pdf", "soci.csv", "--elenco", "soci.csv"} << 1
        << "Il PDF non può essere scritto nel file " + path("soci.csv") + ": è l'elenco dei soci " +
               path("soci.csv") + ", che andrebbe perso.";
    QTest::newRow("member list on a pipe")
        << QStringList{"--pdf", "x.pdf", "--elenco", "tubo"} << 1
        << "Il file " + path("tubo") + " non è un elenco dei soci: è un file speciale del sistema.";
    QTest::newRow("PDF in a missing folder")
        << QStringList{"--pdf", "manca/x.pdf", card} << 1 << "la cartella";
    QTest::newRow("PDF onto the card file")
        << QStringList{"--pdf", card, card} << 1
        << "Il PDF non può essere scritto nel file " + path(card) +
               ": è il file dei dati dei biglietti " + path(card) + ", che andrebbe perso.";
    QTest::newRow("PDF onto a link to the card file")
        << QStringList{"--pdf", "link.pdf", card} << 1
        << "è il file dei dati dei biglietti " + path(card) + ", che andrebbe perso.";
    QTest::newRow("full device") << QStringList{"--pdf", "pieno", card} << 1
                                 << "Il file " + path("pieno") +
                                        " non può essere scritto: il disco è pieno.";
    QTest::newRow("pipe nobody reads")
        << QStringList{"--pdf", "tubo", card} << 1
        << "Il file " + path("tubo") + " non può essere scritto: nessun programma lo sta leggendo.";
    QTest::newRow("socket") << QStringList{"--pdf", "presa", card} << 1
                            << "Il file " + path("presa") +
                                   " non può essere scritto: è un file speciale del sistema.";
    QTest::newRow("printer in other case")
        << QStringList{"--stampa", "alfa", card} << 1 << "La stampante alfa non esiste";
    QTest::newRow("unknown card stock")
        << QStringList{"--pdf", "x.pdf", card, "--carta", "avery c32011"} << 2
        << "la carta \"avery c32011\" non è installata; le più simili: Avery C32015, Avery 32015, "
           "Avery C32011-10";
    QTest::newRow("offset on a PDF") << QStringList{"--pdf", "x.pdf", card, "--spostamento", "1;1"}
                                     << 2 << "--spostamento vale solo con --stampa.";
    QTest::newRow("offset out of range")
        << QStringList{"--stampa", "Alfa", card, "--spostamento", "10,5;0"} << 2
        << "lo spostamento \"10,5;0\" non è valido";
    QTest::newRow("wrong command line")
        << QStringList{"--pdf", "x.pdf", "--pdf", "y.pdf", card} << 2
        << "quarzello: l'opzione --pdf è indicata più di una volta.\nPer l'aiuto: quarzello "
           "--help\n";
}

void CommandLineTest::refusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, told);
    QVERIFY(writeBytes(path("programma"), QByteArray("\x7f"
                                                     "ELF\x02\x01\x01\0\0\r\n6\r\n2",
                                                     15)));
    QVERIFY(writeBytes(path("titolo.qcf"),
                       "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                       "\x1b]0;X\a\x1b[2J\x9d\r\n2\r\n"));
    QVERIFY(writeBytes(path("vuoto.qcf"), encodeCardFile(CardRecord{})));
    QVERIFY(writeBytes(path("vuoti.csv"), "Titolo;Nome;Righe\nDott.;Ugo;5\n;;8\nIng.;Lia;3\n"));
    QFile::link(card_, path("link.pdf"));
    ::mkfifo(QFile::encodeName(path("tubo")).constData(), 0600);
    // A device of the test's own (as /dev/full), so that a fault replaces nothing of the system's.
    if (::mknod(QFile::encodeName(path("pieno")).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0 &&
        errno != EEXIST && QTest::currentDataTag() == QLatin1String("full device"))
        QSKIP("Making a device node needs root.");
    sockaddr_un socket{AF_UNIX, {}};
    qstrncpy(socket.sun_path, QFile::encodeName(path("presa")).constData(), sizeof socket.sun_path);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::bind(listening, reinterpret_cast<sockaddr*>(&socket), sizeof socket);
    const QByteArray cardBytes = readBytes(card_);
    const int alfa = cups_.jobCount("Alfa");
    const ToolRun run = quarzello(args);
    ::close(listening);
    QCOMPARE(run.exitCode, status);
    QVERIFY2(QString::fromUtf8(run.errors).contains(told), run.errors.constData());
    QVERIFY(!run.errors.contains('\x1b'));
    // The installed templates' faults are told by --carte, not by a print on another product.
    QVERIFY(!run.errors.contains("si sovrappongono"));
    QVERIFY(!QFileInfo::exists(path("x.pdf")));
    QCOMPARE(readBytes(card_), cardBytes);
    QCOMPARE(cups_.jobCount("Alfa"), alfa);
}

void CommandLineTest::devicesAndPipesAreWrittenIntoNotReplaced() {
    const ToolRun out = quarzello({"--pdf", "-", card_});
    QVERIFY2(out.ok, out.errors.constData());
    QVERIFY(PrivateCups::pdfText(out.output).contains("Dott. Ugo Neri"));
    // A null device of the test's own, as /dev/null: it takes the PDF and stays a device.
    const QByteArray null = QFile::encodeName(path("nulla"));
    if (::mknod(null.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        QSKIP("Making a device node needs root.");
    const ToolRun intoNull = quarzello({"--pdf", path("nulla"), card_});
    QVERIFY2(intoNull.ok, intoNull.errors.constData());
    struct stat status;
    QVERIFY(::stat(null.constData(), &status) == 0 && S_ISCHR(status.st_mode));
}

void CommandLineTest::standardOutputThatCannotBeWritten_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("help") << QStringList{"--help"} << 1;
    QTest::newRow("printers") << QStringList{"--stampanti"} << 1;
    QTest::newRow("a sheet that printed") << QStringList{"--stampa", "Alfa", card_} << 0;
}

void CommandLineTest::standardOutputThatCannotBeWritten() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    const ToolRun run = quarzello(args, {}, {}, "/dev/full");
    QCOMPARE(run.exitCode, status);
    if (status == 1)
        QCOMPARE(run.errors, QByteArray("quarzello: Lo standard output non può essere scritto: "
                                        "il disco è pieno.\n"));
}

void CommandLineTest::namesThatAreNotUtf8() {
    // Bytes a QString cannot carry: the shell makes the names.
    QVERIFY(writeBytes(QFile::decodeName(QFile::encodeName(path("")) + "\xe8.qcf"), "x\r\n"));
    for (const char* args :
         {"--pdf \"$(printf '\\377.pdf')\" socio.qcf", "--pdf x.pdf \"$(printf '\\350.qcf')\""}) {
        QProcess shell;
        shell.setWorkingDirectory(dir_.path());
        shell.start("/bin/sh", {"-c", QStringLiteral("exec \"$0\" ") + args, QUARZELLO_EXE});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.exitCode(), 2);
        QVERIFY2(
            shell.readAllStandardError().contains(" non è un testo UTF-8: nessun file con quel "
                                                  "nome può essere usato."),
            args);
    }
    QCOMPARE(QDir(dir_.path()).entryList({"*.pdf"}),
             (QStringList{"foglio.pdf", "link.pdf", "soci.pdf"}));
}

void CommandLineTest::noDisplayIsNeededAndAGoneOneIsTold() {
    const QStringList gone{"DISPLAY=:7391", "WAYLAND_DISPLAY=" + path("spento")};
    const ToolRun pdf = quarzello({"--pdf", "schermo.pdf", card_}, {}, gone);
    QVERIFY2(pdf.ok, pdf.errors.constData());
    const ToolRun window = quarzello({}, {}, gone);
    QCOMPARE(window.exitCode, 1);
    QCOMPARE(window.errors,
             "quarzello: la finestra non può essere aperta: lo schermo indicato "
             "(WAYLAND_DISPLAY=" +
                 path("spento").toUtf8() +
                 ", DISPLAY=:7391) non risponde. Senza finestra, per le altre "
                 "possibilità: quarzello --help\n");
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
    // The default data file is never the PDF's to take, whatever the run reads: itself, one
    // card file, several, or a member list.
    const QString data = path("data/quarzello/Quarzo.qdf");
    for (const QStringList& reads : {QStringList{}, QStringList{card_}, QStringList{card_, card_},
                                     QStringList{"--elenco", path("soci.csv")}}) {
        process.start(path("avvio"), QStringList{"--pdf", data} + reads);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(readBytes(data), encodeCardFile(clubRecord("Lia", "Bassi", "6", "2")));
    }
    std::filesystem::remove_all(odd);  // a name QTemporaryDir cannot remove
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
