// Printing both sides: the back's settings as a user writes them in the settings file, whether a
// queue of a private scheduler prints both sides, and the sides a job asks for.
#include <QTemporaryDir>
#include <QTest>

#include "datafiles.h"
#include "platform/settingsstore.h"
#include "printers/cupsprintersystem.h"
#include "printers/joboptions.h"
#include "privatecups.h"

using namespace quarzello;

namespace {

// What the store reads of the back, and of Zeta/due's two-sided way and back offset.
QString readBack(SettingsStore& store) {
    const CardBack back = store.back();
    const std::optional<DuplexSetting> way = store.duplex("Zeta/due");
    return QString("%1 %2 %3 %4 %5 %6")
        .arg(back.emblem)
        .arg(int(back.qrOnBack))
        .arg(int(back.print))
        .arg(back.lines.join('|'),
             way ? QString("%1%2%3").arg(way->automatic).arg(int(way->edge)).arg(way->reverseBacks)
                 : "-",
             offsetText(store.backOffset("Zeta/due").offset));
}

}  // namespace

class BackPrintersTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(cups_.start() && cups_.addTwoSidedPrinter("FronteRetro") &&
                     cups_.addPrinter("Margini", QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd"),
                 qPrintable(cups_.errorString()));
    }
    void settingsWrittenByHand_data();
    void settingsWrittenByHand();
    void settingsKeptAsSet();
    void jobCarriesTheSidesAsked_data();
    void jobCarriesTheSidesAsked();

  private:
    PrivateCups cups_;
    CupsPrinterSystem printers_;
};

void BackPrintersTest::settingsWrittenByHand_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read");          // as readBack() gives it
    QTest::addColumn<QStringList>("warnings");  // one for each value refused
    QTest::newRow("good values, the instance apart")
        << QByteArray(
               "[retro]\nstemma=/club/stemma.svg\nriga1=Camper Club\nriga3=dal 1987\n"
               "codice_qr=true\nstampa=true\n[fronte_retro]\nZeta=manuale lungo\n"
               "Zeta\\due=automatico corto inverso\n[spostamento_retro]\nZeta\\due=1,5 -0,8\n")
        << "/club/stemma.svg 1 1 Camper Club||dal 1987 111 1,5;-0,8" << QStringList();
    // Each refused value is left out on its own: "stampa=1" and the first 100 characters stay.
    QTest::newRow("every value refused")
        << QByteArray("[retro]\nstemma=stemma.png\ncodice_qr=forse\nstampa=1\nriga1=" +
                      QByteArray(100000, 'x') +
                      "\nriga2=a\\nb\n[fronte_retro]\nZeta\\due=automatico diagonale\n"
                      "[spostamento_retro]\nZeta\\due=10,5 0\n")
        << " 0 1 " + QString(100, 'x') + "| - 0,0;0,0"
        << QStringList{
               "(\"stemma.png\") non è un percorso completo",
               "La riga 1 ricordata per il retro è troppo lunga (100000 caratteri; al massimo 100)",
               "La riga 2 ricordata per il retro contiene caratteri di controllo",
               "La scelta \"Codice QR sul retro\" ricordata per il retro (\"forse\") non è valida",
               "per la stampante \"Zeta/due\" (\"automatico diagonale\") non è valido",
               "Lo spostamento del retro ricordato per la stampante \"Zeta/due\""};
}

void BackPrintersTest::settingsWrittenByHand() {
    QFETCH(QByteArray, file);
    QFETCH(QString, read);
    QFETCH(QStringList, warnings);
    QTemporaryDir folder;
    QVERIFY(datafiles::writeBytes(folder.filePath("q.conf"), file));
    SettingsStore store(folder.filePath("q.conf"));
    QCOMPARE(readBack(store), read);
    const QStringList told = store.takeWarnings();
    QCOMPARE(told.size(), warnings.size());
    for (qsizetype i = 0; i < told.size(); ++i)
        QVERIFY2(told[i].contains(warnings[i]), qPrintable(told[i]));
    // Read again: the same, and nothing told twice.
    QCOMPARE(readBack(store), read);
    QVERIFY(store.takeWarnings().isEmpty());
}

void BackPrintersTest::settingsKeptAsSet() {
    QTemporaryDir folder;
    SettingsStore store(folder.filePath("q.conf"));
    const CardBack back{"/club/a, b.png", {"", "Roma, dal 1987", QString(300, 'y'), "d"}, true};
    QVERIFY(store.rememberBack(back) && store.rememberDuplex("Zeta", {false, TurnEdge::Long}) &&
            store.rememberDuplex("Zeta/due", {true, TurnEdge::Short, true}) &&
            store.rememberBackOffset("Zeta/due", {-2.5, 0.1}));
    SettingsStore again(folder.filePath("q.conf"));
    QCOMPARE(readBack(again),
             "/club/a, b.png 1 0 |Roma, dal 1987|" + QString(100, 'y') + " 111 -2,5;0,1");
    QVERIFY(again.rememberBackOffset("Zeta/due", {}) && again.takeWarnings().isEmpty());
    QVERIFY(!datafiles::readBytes(folder.filePath("q.conf")).contains("spostamento_retro"));
}

void BackPrintersTest::jobCarriesTheSidesAsked_data() {
    QTest::addColumn<JobSides>("sides");
    QTest::addColumn<QString>("option");
    QTest::newRow("long edge") << JobSides::LongEdge << "sides=two-sided-long-edge";
    QTest::newRow("short edge") << JobSides::ShortEdge << "sides=two-sided-short-edge";
    QTest::newRow("one side") << JobSides::OneSided << "sides=one-sided";
}

void BackPrintersTest::jobCarriesTheSidesAsked() {
    QFETCH(JobSides, sides);
    // The printer's own sides never travel; the ones asked for do.
    const JobOptions options = jobOptions({{"sides", "one-sided"}, {"Duplex", "None"}}, sides);
    QCOMPARE(options, jobOptions({}, sides));
    QTEST(QString(options[1].name + "=" + options[1].value), "option");
    // The queue that prints both sides is told from the one that does not.
    const QString printer = sides == JobSides::OneSided ? "Margini" : "FronteRetro";
    Deadline deadline(30000);
    const Result<bool> twoSided = printers_.printsTwoSided(printer, deadline);
    QVERIFY2(twoSided && *twoSided == (sides != JobSides::OneSided), qPrintable(twoSided.error()));
}

QTEST_MAIN(BackPrintersTest)
#include "tst_backprinters.moc"
