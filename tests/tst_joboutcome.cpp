// What a followed job's outcome is, decided from the states and reasons the print service gives,
// and a deadline that never lets a document be both sent and given up.
#include <QTest>

#include "printers/deadline.h"
#include "printers/joboutcome.h"

using namespace quarzello;

class JobOutcomeTest : public QObject {
    Q_OBJECT

  private slots:
    void outcomeIsDecidedFromStatesAndReasons_data();
    void outcomeIsDecidedFromStatesAndReasons();
    void documentSentOrGivenUpNeverBoth();
};

void JobOutcomeTest::outcomeIsDecidedFromStatesAndReasons_data() {
    QTest::addColumn<int>("jobState");
    QTest::addColumn<QString>("jobReasons");
    QTest::addColumn<QString>("holdUntil");
    QTest::addColumn<int>("printerState");
    QTest::addColumn<QString>("printerReasons");
    QTest::addColumn<QString>("words");
    QTest::addColumn<JobOutcome>("outcome");
    QTest::addColumn<QString>("text");
    const QString off = QStringLiteral("The printer may not exist or is unavailable at this time.");
    const QString queued = QStringLiteral(
        "Il lavoro è nella coda della stampante Alfa, ma non è ancora stato stampato.");
    const QString notReady = QStringLiteral(
        "La stampante Alfa non è pronta (%1): il lavoro resta nella sua coda e sarà stampato "
        "quando "
        "la stampante sarà pronta (accesa, raggiungibile o riavviata).");
    const QString said = QStringLiteral("\rMessaggio del servizio di stampa: «%1»");
    const QString heldFor = QStringLiteral(
        "Il lavoro per la stampante Alfa è trattenuto nella coda: il servizio di stampa lo manderà "
        "alla stampante da sé %1.");
    const QString retry = QStringLiteral("Job held for 300 seconds since it could not be sent.");
    QTest::newRow("completed") << 9 << "job-completed-successfully"
                               << "" << 3 << "none"
                               << "" << JobOutcome::Printed << "Stampa conclusa";
    QTest::newRow("switched off: only the words tell")
        << 5 << "job-printing"
        << "" << 4 << "none" << off << JobOutcome::Queued << queued + said.arg(off);
    QTest::newRow("pending, normal reasons")
        << 3 << "none"
        << "" << 4 << "toner-low-warning,cups-waiting-for-job-completed,media-low"
        << "" << JobOutcome::Queued << queued;
    QTest::newRow("offline") << 5 << "job-printing"
                             << "" << 4 << "offline-report" << off << JobOutcome::Waiting
                             << notReady.arg("la stampante è spenta o non raggiungibile") +
                                    said.arg(off);
    QTest::newRow("queue stopped")
        << 3 << "none"
        << "" << 5 << "paused"
        << "Manutenzione" << JobOutcome::Waiting
        << notReady.arg("la stampante è ferma") + said.arg("Manutenzione");
    QTest::newRow("paper out") << 5 << "job-printing"
                               << "" << 4 << "media-empty-error"
                               << "" << JobOutcome::Waiting << notReady.arg("manca la carta");
    QTest::newRow("no severity is an error")
        << 3 << "none"
        << "" << 4 << "media-jam"
        << "" << JobOutcome::Waiting << notReady.arg("la carta è inceppata");
    QTest::newRow("other reason") << 5 << "job-printing"
                                  << "" << 4 << "fuser-over-temp-error"
                                  << "" << JobOutcome::Waiting
                                  << notReady.arg("la stampante segnala «fuser-over-temp-error»");
    QTest::newRow("processing-stopped")
        << 6 << "job-stopped"
        << "" << 4 << "none"
        << "" << JobOutcome::Waiting << notReady.arg("il lavoro è stato fermato");
    QTest::newRow("held by the retry policy") << 4 << "resources-are-not-ready"
                                              << "" << 3 << "none" << retry << JobOutcome::HeldUntil
                                              << heldFor.arg("fra poco") + said.arg(retry);
    QTest::newRow("held until night")
        << 4 << "job-hold-until-specified"
        << "night" << 3 << "none"
        << "" << JobOutcome::HeldUntil << heldFor.arg("di notte, dalle 18");
    QTest::newRow("held indefinitely")
        << 4 << "job-hold-until-specified"
        << "indefinite" << 3 << "none"
        << "" << JobOutcome::HeldIndefinitely
        << "Il lavoro per la stampante Alfa è trattenuto nella coda: sarà stampato solo quando "
           "verrà sbloccato (con «lp -i Alfa-7 -H resume» o dalla coda di stampa).";
    QTest::newRow("aborted") << 8 << "aborted-by-system"
                             << "" << 3 << "none"
                             << "Carta inceppata" << JobOutcome::Failed
                             << "La stampante Alfa non ha stampato il lavoro: Carta inceppata.";
    QTest::newRow("a filter failed, the queue stopped")
        << 6 << "job-completed-with-errors"
        << "" << 5 << "paused"
        << "Filter failed" << JobOutcome::Failed
        << "La stampante Alfa non ha stampato il lavoro: il servizio di stampa non è riuscito a "
           "prepararlo e ha fermato la coda della stampante." +
               said.arg("Filter failed");
    QTest::newRow("canceled") << 7 << "job-canceled-by-user"
                              << "" << 3 << "none"
                              << "" << JobOutcome::Failed
                              << "La stampante Alfa non ha stampato il lavoro: il lavoro è stato "
                                 "annullato.";
}

void JobOutcomeTest::outcomeIsDecidedFromStatesAndReasons() {
    QFETCH(int, jobState);
    QFETCH(QString, jobReasons);
    QFETCH(QString, holdUntil);
    QFETCH(int, printerState);
    QFETCH(QString, printerReasons);
    QFETCH(QString, words);
    QFETCH(JobOutcome, outcome);
    QFETCH(QString, text);
    JobSnapshot snapshot{jobState,     jobReasons.split(u','),     holdUntil, {},
                         printerState, printerReasons.split(u','), true,      words};
    const JobReport report = decideOutcome(QStringLiteral("Alfa"), 7, snapshot);
    QCOMPARE(report.outcome, outcome);
    QCOMPARE(report.text, text);
    QCOMPARE(report.warning, outcome != JobOutcome::Printed && outcome != JobOutcome::Queued);
}

void JobOutcomeTest::documentSentOrGivenUpNeverBoth() {
    // The window tells "not printed" once it gave up: a document finished after that would print.
    Deadline late(30000);
    late.giveUp();
    QVERIFY(!late.noteDocumentSent() && !late.documentSent());
    Deadline early(30000);
    QVERIFY(early.noteDocumentSent());
    early.giveUp();
    QVERIFY(early.documentSent() && early.passed());
}

QTEST_GUILESS_MAIN(JobOutcomeTest)
#include "tst_joboutcome.moc"
