// A CUPS scheduler that is slow, missing, silent, stopped or killed: each told by name, no call
// waiting past its deadline, and the same program printing again once the service is back.
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include "cupsfixture.h"
#include "slowrelay.h"

using namespace quarzello;

namespace {

// Set in the environment of the child that looks for printers with no scheduler to talk to.
const char* const kProbeVariable = "QUARZELLO_PRINTERS_PROBE";

// The child: what the print service says when CUPS_SERVER leads nowhere.
int probeWithoutScheduler(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    CupsPrinterSystem printers;
    Deadline deadline(kPatient);
    const Result<PrinterList> list = printers.listPrinters(deadline);
    QTextStream out(stdout);
    out << "down=" << (list.kind() == Failure::Kind::ServiceDown) << '\n';
    out << "names=" << (list ? list->names.join(QLatin1Char(',')) : QString()) << '\n';
    out << "error=" << checkError(printers, QStringLiteral("Alfa")) << '\n';
    return 0;
}

}  // namespace

class SchedulerFailuresTest : public PrivateCupsTest {
    Q_OBJECT

  private slots:
    void slowServiceStillPrints();
    void noSchedulerMeansServiceDownAndNoCrash();
    // Last: they stop the scheduler for a while.
    void silentSchedulerIsGivenUpAtTheDeadline();
    void stoppedServiceIsReportedAndComesBack();
    // The queues it added since the scheduler last saved them are lost with it.
    void killedSchedulerMayStillPrint();
};

void SchedulerFailuresTest::slowServiceStillPrints() {
    SlowRelay relay(cups_.socketPath(), 512, 300);
    QVERIFY(relay.start());
    // A thread that never used libcups reads CUPS_SERVER afresh.
    const QByteArray server = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(relay.socketPath()));
    const auto restore = qScopeGuard([&] { qputenv("CUPS_SERVER", server); });
    Result<JobReport> report = Failure{};
    std::unique_ptr<QThread> thread(QThread::create([&] {
        const Result<int> job = submitLine(printers_, "Alfa", QStringLiteral("Piano piano"));
        report = job ? follow(printers_, "Alfa", *job, 20000) : Failure{job.error()};
    }));
    thread->start();
    QVERIFY(thread->wait(60000));
    QVERIFY2(report && report->outcome == JobOutcome::Printed, qPrintable(report.error()));
    QVERIFY(PrivateCups::pdfText(cups_.waitForJob("Alfa")).contains(QStringLiteral("Piano piano")));
}

void SchedulerFailuresTest::noSchedulerMeansServiceDownAndNoCrash() {
    // libcups keeps the server it first talked to, so this runs in a child of its own.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kProbeVariable), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CUPS_SERVER"),
                       cups_.socketPath() + QStringLiteral(".nobody-listens"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == 0, qPrintable(err));

    const QStringList lines =
        QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("down=1"));
    QCOMPARE(lines.value(1), QStringLiteral("names="));
    QCOMPARE(lines.value(2),
             QStringLiteral("error=Il servizio di stampa non risponde: il lavoro per la stampante "
                            "Alfa non è stato stampato."));
}

void SchedulerFailuresTest::silentSchedulerIsGivenUpAtTheDeadline() {
    const QByteArray document = documentWithLine(QStringLiteral("Forse"));
    // A list got while the scheduler answered, which its silence then leaves out of date.
    Deadline first(kPatient);
    QVERIFY(printers_.listPrinters(first));
    QVERIFY2(cups_.freeze(), qPrintable(cups_.errorString()));
    Deadline listing(300);
    const Result<PrinterList> list = printers_.listPrinters(listing);
    Deadline checking(300);
    const QString checked = printers_.checkPrinter(QStringLiteral("Alfa"), checking).error();
    Deadline submitting(300);
    const Result<int> job = printers_.submitJob(QStringLiteral("Alfa"), document, submitting);
    QVERIFY2(cups_.thaw(), qPrintable(cups_.errorString()));

    QVERIFY(!list);
    QCOMPARE(list.error(), QStringLiteral("Il servizio di stampa non risponde: l'elenco delle "
                                          "stampanti non è aggiornato."));
    QVERIFY(!job);
    for (const QString& text : {job.error(), checked}) {
        QVERIFY2(text.startsWith(QStringLiteral("Il servizio di stampa non risponde")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Alfa")) && !text.contains(QStringLiteral("Success")),
                 qPrintable(text));
    }
}

void SchedulerFailuresTest::stoppedServiceIsReportedAndComesBack() {
    const QString down = QStringLiteral(
        "Il servizio di stampa non risponde: il lavoro per la stampante Alfa non è stato "
        "stampato.");
    cups_.stop();
    Deadline deadline(kPatient);
    const Result<PrinterList> list = printers_.listPrinters(deadline);
    QVERIFY(!list && list.kind() == Failure::Kind::ServiceDown);
    QCOMPARE(checkError(printers_, QStringLiteral("Alfa")), down);
    QCOMPARE(submitLine(printers_, QStringLiteral("Alfa"), QStringLiteral("Senza")).error(), down);

    // The same program, untouched, prints again once the service is back.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QCOMPARE(checkError(printers_, QStringLiteral("Alfa")), QString());
    const Result<int> job =
        submitLine(printers_, QStringLiteral("Alfa"), QStringLiteral("Servizio tornato"));
    QVERIFY2(job, qPrintable(job.error()));
    const QString text = PrivateCups::pdfText(cups_.waitForJob(QStringLiteral("Alfa")));
    QVERIFY2(text.contains(QStringLiteral("Servizio tornato")), qPrintable(text));
}

void SchedulerFailuresTest::killedSchedulerMayStillPrint() {
    QVERIFY(cups_.addPrinter("Lenta", "capture:" + cups_.capturePath("Lenta"), {}));
    QVERIFY(cups_.slowJobs("Lenta", 1));
    Deadline deadline(kPatient);
    const Result<int> job =
        printers_.submitJob("Lenta", documentWithLine(QStringLiteral("Dopo la caduta")), deadline);
    QVERIFY2(job, qPrintable(job.error()));
    cups_.kill();
    const Result<JobReport> report = printers_.followJob("Lenta", *job, 1000, deadline);
    QCOMPARE(report.error(), QStringLiteral("Il servizio di stampa non risponde più: il lavoro per "
                                            "la stampante Lenta gli è stato consegnato e potrebbe "
                                            "essere stampato quando tornerà a rispondere."));
    // And it does: the driver goes on without the scheduler.
    QVERIFY2(!cups_.waitForJob("Lenta").isEmpty(), qPrintable(cups_.errorString()));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(kProbeVariable)) return probeWithoutScheduler(argc, argv);
    QGuiApplication app(argc, argv);
    SchedulerFailuresTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_schedulerfailures.moc"
