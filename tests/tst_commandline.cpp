// The command line, as the real program run as a process: a PDF of a card file, with QR codes
// and on pre-cut stock, a sheet on a private CUPS queue, the printer list, and a member list or
// an address book into one document.
#include <QRegularExpression>
#include <QTest>

#include "commandlinefixture.h"
#include "pdfbox.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "print/vcard.h"
#include "sheetdrawing.h"

using namespace quarzello;
using datafiles::readBytes;
using datafiles::writeBytes;

class CommandLineTest : public CommandLineFixture {
    Q_OBJECT

  private slots:
    void pdfIsTheSheetTheWindowPrints() {
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
    void qrCodesReadByADecoder_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("fits");
        QTest::newRow("2 x 6") << 2 << 6 << true;
        QTest::newRow("the largest grid where it fits") << 4 << 8 << false;
    }
    // The longest lines a card has, an accented letter among them: every card's code, cropped and
    // read by a decoder that is not the encoder, gives the contact, and no ink is in its quiet
    // zone; the document holds the code once.
    void qrCodesReadByADecoder() {
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
            QVERIFY2(
                told.startsWith("quarzello: Con 4 colonne e 8 righe il codice QR non entra nei "
                                "biglietti."),
                qPrintable(told));
            const QRegularExpressionMatch largest =
                QRegularExpression("entra al massimo con (\\d+) colonne e (\\d+) righe")
                    .match(told);
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
            const QString crop =
                path(QStringLiteral("card-%1-%2.pgm").arg(card.row).arg(card.column));
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
    void pdfOnPreCutStock() {
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
                         card.contains(QRectF(QPointF(line.left, line.top),
                                              QPointF(line.right, line.bottom)));
            QVERIFY2(names == 1, qPrintable(QString("card at %1, %2").arg(card.x()).arg(card.y())));
        }
        QFile::remove(path("carta.pdf"));
    }
    void offsetMovesEverythingOnThePrinterOnly() {
        // The offset remembered for Alfa, written as a user would.
        QVERIFY(QDir().mkpath(path("config/quarzello")));
        QVERIFY(writeBytes(path("config/quarzello/quarzello.conf"),
                           "[spostamento]\nAlfa=\"1,5;-0,8\"\n"));
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
    void printsOnAQueueAndListsThePrinters() {
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
    void stoppedPrinterOnlyWhenAskedFor() {
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
    void memberListIntoOnePdfAndOneJob() {
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
        QVERIFY2(
            told.contains("\nla riga 2 dell'elenco (Ugo Neri): la riga dei biglietti della fila "
                          "in alto: «Ugo Neri»\n") &&
                told.contains("\nla riga 4 dell'elenco (Eva Gallo): la riga dei biglietti"),
            margins.errors.constData());
        // --riduci: one factor for the whole job, said once.
        const ToolRun reduced =
            quarzello({"--stampa", "Margini", "--riduci", "--elenco", "soci.csv"});
        QVERIFY2(reduced.ok && reduced.errors.count("Il foglio è stampato ridotto al ") == 1,
                 reduced.errors.constData());
    }
    // A phone's, a mail program's and a newer address book's contacts in one vCard file, named
    // as no list is: a page each, with the member's name and city.
    void addressBookIntoOnePdf() {
        QVERIFY(
            writeBytes(path("rubrica.txt"),
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
};

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
