// The printers through libcups and a private CUPS scheduler: which printers are listed, which
// names print, that a document really comes out of the queue, and that a queue refusing jobs, a
// removed printer, a stopped queue and a failing driver are each told by name.
#include <QScopeGuard>
#include <QTcpServer>
#include <QTest>

#include "cupsfixture.h"
#include "fakeprinters.h"

using namespace quarzello;

class PrintersTest : public PrivateCupsTest {
    Q_OBJECT

  private slots:
    void listsExactlyTheInstalledQueues() {
        Deadline deadline(kPatient);
        const Result<PrinterList> list = printers_.listPrinters(deadline);
        QVERIFY2(list, qPrintable(list.error()));
        QStringList names = list->names;
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("Alfa"), QStringLiteral("Zeta")}));
    }
    void defaultPrinterIsTheSystemsDefault() {
        Deadline before(kPatient);
        QCOMPARE(printers_.listPrinters(before)->defaultName, QString());
        QVERIFY2(cups_.setDefault(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
        Deadline after(kPatient);
        QCOMPARE(printers_.listPrinters(after)->defaultName, QStringLiteral("Zeta"));
    }
    void printsOnlyOnANameListedExactly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        // Never listed before: a name the user typed.
        auto gone = [](const QString& name) {
            return QStringLiteral(
                       "La stampante %1 non esiste: il lavoro non è stato stampato (le stampanti "
                       "installate sono quelle elencate da --stampanti).")
                .arg(name);
        };
        QTest::newRow("installed") << QStringLiteral("Alfa") << QString();
        QTest::newRow("the other installed") << QStringLiteral("Zeta") << QString();
        QTest::newRow("other case") << QStringLiteral("alfa") << gone("alfa");
        QTest::newRow("upper case") << QStringLiteral("ALFA") << gone("ALFA");
        QTest::newRow("not installed") << QStringLiteral("Nessuna") << gone("Nessuna");
        QTest::newRow("empty") << QString() << gone(QString());
        QTest::newRow("trailing space") << QStringLiteral("Alfa ") << gone("Alfa ");
    }
    void printsOnlyOnANameListedExactly() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        QCOMPARE(checkError(printers_, name), error);
        // A printer system that only knows the list (as a test double) says the same.
        FakePrinterSystem fake;
        fake.names = {QStringLiteral("Zeta"), QStringLiteral("Alfa")};
        QCOMPARE(checkError(fake, name), error);
    }
    void documentComesOutOfTheQueue() {
        const int jobsBefore = cups_.jobCount(QStringLiteral("Alfa"));
        const Result<int> job = submitLine(printers_, QStringLiteral("Alfa"),
                                           QStringLiteral("Prova di stampa Quarzello"));
        QVERIFY2(job, qPrintable(job.error()));
        QVERIFY(*job > 0);
        QCOMPARE(cups_.jobCount(QStringLiteral("Alfa")), jobsBefore + 1);

        const QByteArray pdf = cups_.waitForJob(QStringLiteral("Alfa"));
        QVERIFY2(!pdf.isEmpty(), qPrintable(cups_.errorString()));
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY2(PrivateCups::pdfText(pdf).contains(QStringLiteral("Prova di stampa Quarzello")),
                 qPrintable(PrivateCups::pdfText(pdf)));
        // The job is followed to its end by its number.
        QCOMPARE(follow(printers_, QStringLiteral("Alfa"), *job, 20000)->outcome,
                 JobOutcome::Printed);
        // The other queue got nothing.
        QCOMPARE(cups_.jobCount(QStringLiteral("Zeta")), 0);
    }
    void refusingQueueIsReportedBeforeAndAfterPrinting() {
        const QString refused =
            QStringLiteral("La stampante Alfa non accetta stampe: il lavoro è stato rifiutato.");
        const int jobsBefore = cups_.jobCount(QStringLiteral("Alfa"));

        QVERIFY2(cups_.rejectJobs(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
        QCOMPARE(checkError(printers_, QStringLiteral("Alfa")), refused);
        // As when the user picked it and it closed meanwhile.
        QCOMPARE(submitLine(printers_, QStringLiteral("Alfa"), QStringLiteral("Non deve uscire"))
                     .error(),
                 refused);
        QCOMPARE(cups_.jobCount(QStringLiteral("Alfa")), jobsBefore);

        QVERIFY2(cups_.acceptJobs(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
        QCOMPARE(checkError(printers_, QStringLiteral("Alfa")), QString());
        const Result<int> job =
            submitLine(printers_, QStringLiteral("Alfa"), QStringLiteral("Di nuovo aperta"));
        QVERIFY2(job, qPrintable(job.error()));
        const QString text = PrivateCups::pdfText(cups_.waitForJob(QStringLiteral("Alfa")));
        QVERIFY2(text.contains(QStringLiteral("Di nuovo aperta")), qPrintable(text));
    }
    void removedPrinterIsReported() {
        const QString gone = QStringLiteral(
            "La stampante Beta non è più disponibile: il lavoro non è stato stampato.");
        QVERIFY2(cups_.addPrinter(QStringLiteral("Beta")), qPrintable(cups_.errorString()));
        QCOMPARE(checkError(printers_, QStringLiteral("Beta")), QString());

        QVERIFY2(cups_.removePrinter(QStringLiteral("Beta")), qPrintable(cups_.errorString()));
        QCOMPARE(checkError(printers_, QStringLiteral("Beta")), gone);
        // A print that found it before the removal finds out when the job is handed over.
        QCOMPARE(submitLine(printers_, QStringLiteral("Beta"), QStringLiteral("Nessuno")).error(),
                 gone);
    }
    void stoppedQueueIsToldWithItsReason() {
        QVERIFY2(cups_.stopPrinter(QStringLiteral("Zeta"), QStringLiteral("Carta finita")),
                 qPrintable(cups_.errorString()));
        Deadline deadline(kPatient);
        const Result<QueueState> state = printers_.checkPrinter(QStringLiteral("Zeta"), deadline);
        QVERIFY2(cups_.restartPrinter(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
        // A stopped queue still takes jobs, which wait in it: that is for the user to decide.
        QVERIFY2(state, qPrintable(state.error()));
        QVERIFY(state->stopped);
        QCOMPARE(state->message, QStringLiteral("Carta finita"));

        Deadline again(kPatient);
        QVERIFY(!printers_.queueState(QStringLiteral("Zeta"), again)->stopped);
    }
    void followedJobGetsItsTrueOutcome_data() {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QList<JobOutcome>>("outcomes");
        QTest::addColumn<QString>("told");
        QTest::newRow("healthy") << "Alfa" << QList{JobOutcome::Printed} << "Stampa conclusa";
        QTest::newRow("switched off") << "Spenta" << QList{JobOutcome::Queued, JobOutcome::Waiting}
                                      << "Messaggio del servizio di stampa: «The printer";
        QTest::newRow("held indefinitely")
            << "Trattenuta" << QList{JobOutcome::HeldIndefinitely} << "lp -i Trattenuta-";
        QTest::newRow("disabled while printing") << "Lenta" << QList{JobOutcome::Waiting}
                                                 << "La stampante Lenta non è pronta (la stampante "
                                                    "è ferma)";
        QTest::newRow("failing driver") << "Zeta" << QList{JobOutcome::Failed}
                                        << "La stampante Zeta non ha stampato il lavoro: Carta "
                                           "inceppata";
    }
    void followedJobGetsItsTrueOutcome() {
        QFETCH(QString, printer);
        QFETCH(QList<JobOutcome>, outcomes);
        QFETCH(QString, told);
        QTcpServer closed;  // a port where nothing listens once it is closed again
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        QVERIFY(cups_.addPrinter("Spenta", QStringLiteral("socket://127.0.0.1:%1").arg(port), {}));
        QVERIFY(cups_.addPrinter("Trattenuta", "capture:" + cups_.capturePath("Trattenuta"),
                                 {"job-hold-until-default=indefinite"}));
        QVERIFY(cups_.addPrinter("Lenta", "capture:" + cups_.capturePath("Lenta"), {}));
        QVERIFY(cups_.slowJobs("Lenta", 3));
        QVERIFY(cups_.failJobs("Zeta", QStringLiteral("Carta inceppata")));
        const auto restore = qScopeGuard([&] {
            cups_.succeedJobs("Zeta");
            cups_.restartPrinter("Lenta");
        });
        const Result<int> job = submitLine(printers_, printer, QStringLiteral("Esito"));
        QVERIFY2(job, qPrintable(job.error()));
        if (printer == QLatin1String("Lenta")) {
            QTRY_VERIFY_WITH_TIMEOUT(cups_.isPrinting("Lenta"), 20000);
            QVERIFY(cups_.stopPrinter("Lenta", QStringLiteral("Spenta a mano")));
        }
        const Result<JobReport> report = follow(printers_, printer, *job, 1500);
        QVERIFY2(report, qPrintable(report.error()));
        QVERIFY2(outcomes.contains(report->outcome) && report->text.contains(told),
                 qPrintable(report->text));
        if (printer == QLatin1String("Lenta")) {
            // Told it waits, it prints once the queue goes again.
            QVERIFY(cups_.restartPrinter("Lenta") && cups_.slowJobs("Lenta", 0));
            QVERIFY2(!cups_.waitForJob("Lenta").isEmpty(), qPrintable(cups_.errorString()));
        }
    }
};

QTEST_MAIN(PrintersTest)
#include "tst_printers.moc"
