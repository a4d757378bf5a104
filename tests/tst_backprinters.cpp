// Printing both sides: the back's settings as a user writes them in the settings file, whether a
// queue of a private scheduler prints both sides, and the sides a job carries there.
#include <QTemporaryDir>
#include <QTest>

#include "datafiles.h"
#include "platform/settingsstore.h"
#include "print/pdfsurface.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"

using namespace quarzello;

class BackPrintersTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
        QVERIFY2(cups_.addTwoSidedPrinter("FronteRetro") &&
                     cups_.addPrinter("Margini", QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd"),
                 qPrintable(cups_.errorString()));
    }
    void settingsWrittenByHand_data();
    void settingsWrittenByHand();
    void settingsKeptAsSet();
    void printsTwoSidedAsTheQueueSays() {
        for (const auto& [name, expected] : {std::pair{"FronteRetro", true}, {"Margini", false}}) {
            Deadline deadline(30000);
            const Result<bool> twoSided = printers_.printsTwoSided(name, deadline);
            QVERIFY2(twoSided && *twoSided == expected, name);
        }
        Deadline deadline(30000);
        QVERIFY(printers_.printsTwoSided("Nessuna", deadline).error().contains("Nessuna"));
    }
    void jobCarriesTheSidesAsked_data();
    void jobCarriesTheSidesAsked();

  private:
    PrivateCups cups_;
    CupsPrinterSystem printers_;
};

void BackPrintersTest::settingsWrittenByHand_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("back");  // emblem, qrOnBack, print, then the lines
    QTest::addColumn<QString>("duplex");    // of Zeta/due: automatic, edge, reverse; none: empty
    QTest::addColumn<double>("across");     // of Zeta/due's back offset
    QTest::addColumn<QString>("warning");   // the one warning; none: empty
    QTest::newRow("good values, the instance apart")
        << QByteArray(
               "[retro]\nstemma=/club/stemma.svg\nriga1=Camper Club Roma\nriga3=dal 1987\n"
               "codice_qr=true\nstampa=true\n[fronte_retro]\nZeta=manuale lungo\n"
               "Zeta\\due=automatico corto inverso\n[spostamento_retro]\nZeta\\due=1,5 -0,8\n")
        << QStringList{"/club/stemma.svg", "1", "1", "Camper Club Roma", "", "dal 1987"} << "1 1 1"
        << 1.5 << "";
    QTest::newRow("a choice neither true nor false")
        << QByteArray("[retro]\ncodice_qr=forse\n") << QStringList{"", "0", "0"} << "" << 0.0
        << "La scelta \"Codice QR sul retro\" ricordata per il retro (\"forse\") non è valida";
    QTest::newRow("an emblem without its folder")
        << QByteArray("[retro]\nstemma=stemma.png\nstampa=1\n") << QStringList{"", "0", "1"} << ""
        << 0.0 << "(\"stemma.png\") non è un percorso completo";
    QTest::newRow("a line of 100,000 characters")
        << QByteArray("[retro]\nriga1=" + QByteArray(100000, 'x') + "\n")
        << QStringList{"", "0", "0", QString(100, 'x')} << "" << 0.0
        << "La riga 1 ricordata per il retro è troppo lunga (100000 caratteri; al massimo 100)";
    QTest::newRow("a control character")
        << QByteArray("[retro]\nriga2=a\\nb\n") << QStringList{"", "0", "0", "", ""} << "" << 0.0
        << "La riga 2 ricordata per il retro contiene caratteri di controllo";
    QTest::newRow("an edge not known")
        << QByteArray("[fronte_retro]\nZeta\\due=automatico diagonale\n")
        << QStringList{"", "0", "0"} << "" << 0.0
        << "per la stampante \"Zeta/due\" (\"automatico diagonale\") non è valido";
    QTest::newRow("a back offset out of range")
        << QByteArray("[spostamento_retro]\nZeta\\due=10,5 0\n") << QStringList{"", "0", "0"} << ""
        << 0.0 << "Lo spostamento del retro ricordato per la stampante \"Zeta/due\"";
}

void BackPrintersTest::settingsWrittenByHand() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, back);
    QFETCH(QString, duplex);
    QFETCH(double, across);
    QFETCH(QString, warning);
    QTemporaryDir folder;
    QVERIFY(datafiles::writeBytes(folder.filePath("q.conf"), file));
    SettingsStore store(folder.filePath("q.conf"));
    for (int twice = 0; twice < 2; ++twice) {
        const CardBack read = store.back();
        QCOMPARE(QStringList(
                     {read.emblem, QString::number(read.qrOnBack), QString::number(read.print)}) +
                     read.lines,
                 back);
        const std::optional<DuplexSetting> way = store.duplex("Zeta/due");
        QCOMPARE(way ? QStringLiteral("%1 %2 %3")
                           .arg(way->automatic)
                           .arg(way->edge == TurnEdge::Short)
                           .arg(way->reverseBacks)
                     : QString(),
                 duplex);
        QCOMPARE(store.backOffset("Zeta/due").offset.across, across);
        const QStringList told = store.takeWarnings();
        QCOMPARE(told.size(), twice == 0 && !warning.isEmpty() ? 1 : 0);
        if (!told.isEmpty()) QVERIFY2(told[0].contains(warning), qPrintable(told[0]));
    }
}

void BackPrintersTest::settingsKeptAsSet() {
    QTemporaryDir folder;
    SettingsStore store(folder.filePath("q.conf"));
    const CardBack back{"/club/a, b.png", {"", "Roma, dal 1987", QString(300, 'y'), "d"}, true};
    QVERIFY(store.rememberBack(back) &&
            store.rememberDuplex("Zeta", {false, TurnEdge::Short, true}) &&
            store.rememberDuplex("Zeta/due", {true, TurnEdge::Long, false}) &&
            store.rememberBackOffset("Zeta", {-2.5, 0.1}));
    SettingsStore again(folder.filePath("q.conf"));
    QCOMPARE(again.back(), (CardBack{back.emblem, {"", back.lines[1], QString(100, 'y')}, true}));
    QCOMPARE(again.duplex("Zeta"), (DuplexSetting{false, TurnEdge::Short, true}));
    QCOMPARE(again.duplex("Zeta/due"), (DuplexSetting{true, TurnEdge::Long, false}));
    QCOMPARE(again.backOffset("Zeta").offset.across, -2.5);
    QVERIFY(again.rememberBackOffset("Zeta", {}));
    QVERIFY(!datafiles::readBytes(folder.filePath("q.conf")).contains("spostamento_retro"));
    QVERIFY(again.takeWarnings().isEmpty());
}

void BackPrintersTest::jobCarriesTheSidesAsked_data() {
    QTest::addColumn<JobSides>("sides");
    QTest::addColumn<QString>("option");
    QTest::newRow("long edge") << JobSides::LongEdge << "two-sided-long-edge";
    QTest::newRow("short edge") << JobSides::ShortEdge << "two-sided-short-edge";
    QTest::newRow("one side") << JobSides::OneSided << "one-sided";
}

void BackPrintersTest::jobCarriesTheSidesAsked() {
    QFETCH(JobSides, sides);
    QFETCH(QString, option);
    const JobOptions options = jobOptions({{"sides", "one-sided"}, {"Duplex", "None"}}, sides);
    QCOMPARE(options, jobOptions({}, sides));
    QCOMPARE(options[1].name + "=" + options[1].value, "sides=" + option);
    // A front and a back, through the real filters of a two-sided queue.
    PdfSurface surface(QStringLiteral("FronteRetro"));
    surface.setScaleMode(PrintSurface::kMillimetres);
    QVERIFY(surface.printText("Fronte") && surface.endPage() && surface.printText("Retro") &&
            surface.endDoc());
    Deadline deadline(30000);
    QVERIFY(printers_.submitJob("FronteRetro", surface.document(), deadline, sides));
    const QString printed = PrivateCups::pdfText(cups_.waitForJob("FronteRetro"));
    QVERIFY2(printed.contains("Fronte") && printed.contains("\fRetro"), qPrintable(printed));
    QCOMPARE(cups_.jobAttributes("FronteRetro", "sides").last(), option);
}

QTEST_MAIN(BackPrintersTest)
#include "tst_backprinters.moc"
