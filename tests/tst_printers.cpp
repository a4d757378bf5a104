// The print service through libcups and a private CUPS scheduler: which printers are listed,
// which names print, that a document really comes out of the queue, that a queue refusing jobs,
// a removed printer, a stopped queue, a failing driver, a scheduler gone and one that stops
// answering are each told by name, and that no call waits past its deadline.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "fakeprinters.h"
#include "pdfbox.h"
#include "print/margins.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "printers/cupsprintersystem.h"
#include "printers/joboptions.h"
#include "printers/lpoptions.h"
#include "privatecups.h"
#include "samples.h"
#include "slowrelay.h"

using namespace quarzello;

namespace {

// Set in the environment of the child that looks for printers with no scheduler to talk to.
const char* const kProbeVariable = "QUARZELLO_PRINTERS_PROBE";
constexpr qint64 kPatient = 30000;

// One page with one line of text, through the same calls the sheet uses, as a document.
QByteArray documentWithLine(const QString& text) {
    const auto surface = std::make_unique<PdfSurface>(QStringLiteral("Alfa"));
    surface->setPaperSize(PrintSurface::kPaperA4);
    surface->setOrientation(PrintSurface::kPortrait);
    surface->setScaleMode(PrintSurface::kMillimetres);
    surface->setFontName(QStringLiteral("Times new roman"));
    surface->setFontSize(14);
    surface->setCurrentX(20);
    surface->setCurrentY(30);
    if (!surface->printText(text) || !surface->endDoc()) return {};
    return surface->document();
}

Result<int> submitLine(PrinterSystem& printers, const QString& printer, const QString& text) {
    Deadline deadline(kPatient);
    return printers.submitJob(printer, documentWithLine(text), deadline);
}

Result<JobReport> follow(PrinterSystem& printers, const QString& printer, int job, qint64 ms) {
    Deadline deadline(kPatient);
    deadline.noteDocumentSent();
    return printers.followJob(printer, job, ms, deadline);
}

QString checkError(PrinterSystem& printers, const QString& name) {
    Deadline deadline(kPatient);
    return printers.checkPrinter(name, deadline).error();
}

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

class PrintersTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void listsExactlyTheInstalledQueues();
    void defaultPrinterIsTheSystemsDefault();
    void printsOnlyOnANameListedExactly_data();
    void printsOnlyOnANameListedExactly();
    void documentComesOutOfTheQueue();
    void refusingQueueIsReportedBeforeAndAfterPrinting();
    void removedPrinterIsReported();
    void stoppedQueueIsToldWithItsReason();
    void outcomeIsDecidedFromStatesAndReasons_data();
    void outcomeIsDecidedFromStatesAndReasons();
    void followedJobGetsItsTrueOutcome_data();
    void followedJobGetsItsTrueOutcome();
    void slowServiceStillPrints();
    void noSchedulerMeansServiceDownAndNoCrash();
    void jobOptionsKeepTheSheet_data();
    void jobOptionsKeepTheSheet();
    void marginsQueuePrintsWholeOrReduced();
    // Last: they stop the scheduler for a while.
    void silentSchedulerIsGivenUpAtTheDeadline();
    void documentSentOrGivenUpNeverBoth();
    void stoppedServiceIsReportedAndComesBack();
    // The queues it added since the scheduler last saved them are lost with it.
    void killedSchedulerMayStillPrint();

  private:
    PrivateCups cups_;
    CupsPrinterSystem printers_;
};

void PrintersTest::initTestCase() {
    // Before anything in this process asks for a printer: libcups keeps its first server.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
}

void PrintersTest::listsExactlyTheInstalledQueues() {
    Deadline deadline(kPatient);
    const Result<PrinterList> list = printers_.listPrinters(deadline);
    QVERIFY2(list, qPrintable(list.error()));
    QStringList names = list->names;
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Alfa"), QStringLiteral("Zeta")}));
}

void PrintersTest::defaultPrinterIsTheSystemsDefault() {
    Deadline before(kPatient);
    QCOMPARE(printers_.listPrinters(before)->defaultName, QString());
    QVERIFY2(cups_.setDefault(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
    Deadline after(kPatient);
    QCOMPARE(printers_.listPrinters(after)->defaultName, QStringLiteral("Zeta"));
}

void PrintersTest::printsOnlyOnANameListedExactly_data() {
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

void PrintersTest::printsOnlyOnANameListedExactly() {
    QFETCH(QString, name);
    QFETCH(QString, error);
    QCOMPARE(checkError(printers_, name), error);
    // A printer system that only knows the list (as a test double) says the same.
    FakePrinterSystem fake;
    fake.names = {QStringLiteral("Zeta"), QStringLiteral("Alfa")};
    QCOMPARE(checkError(fake, name), error);
}

void PrintersTest::documentComesOutOfTheQueue() {
    const int jobsBefore = cups_.jobCount(QStringLiteral("Alfa"));
    const Result<int> job =
        submitLine(printers_, QStringLiteral("Alfa"), QStringLiteral("Prova di stampa Quarzello"));
    QVERIFY2(job, qPrintable(job.error()));
    QVERIFY(*job > 0);
    QCOMPARE(cups_.jobCount(QStringLiteral("Alfa")), jobsBefore + 1);

    const QByteArray pdf = cups_.waitForJob(QStringLiteral("Alfa"));
    QVERIFY2(!pdf.isEmpty(), qPrintable(cups_.errorString()));
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY2(PrivateCups::pdfText(pdf).contains(QStringLiteral("Prova di stampa Quarzello")),
             qPrintable(PrivateCups::pdfText(pdf)));
    // The job is followed to its end by its number.
    QCOMPARE(follow(printers_, QStringLiteral("Alfa"), *job, 20000)->outcome, JobOutcome::Printed);
    // The other queue got nothing.
    QCOMPARE(cups_.jobCount(QStringLiteral("Zeta")), 0);
}

void PrintersTest::refusingQueueIsReportedBeforeAndAfterPrinting() {
    const QString refused =
        QStringLiteral("La stampante Alfa non accetta stampe: il lavoro è stato rifiutato.");
    const int jobsBefore = cups_.jobCount(QStringLiteral("Alfa"));

    QVERIFY2(cups_.rejectJobs(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
    QCOMPARE(checkError(printers_, QStringLiteral("Alfa")), refused);
    // As when the user picked it and it closed meanwhile.
    QCOMPARE(
        submitLine(printers_, QStringLiteral("Alfa"), QStringLiteral("Non deve uscire")).error(),
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

void PrintersTest::removedPrinterIsReported() {
    const QString gone =
        QStringLiteral("La stampante Beta non è più disponibile: il lavoro non è stato stampato.");
    QVERIFY2(cups_.addPrinter(QStringLiteral("Beta")), qPrintable(cups_.errorString()));
    QCOMPARE(checkError(printers_, QStringLiteral("Beta")), QString());

    QVERIFY2(cups_.removePrinter(QStringLiteral("Beta")), qPrintable(cups_.errorString()));
    QCOMPARE(checkError(printers_, QStringLiteral("Beta")), gone);
    // A print that found it before the removal finds out when the job is handed over.
    QCOMPARE(submitLine(printers_, QStringLiteral("Beta"), QStringLiteral("Nessuno")).error(),
             gone);
}

void PrintersTest::stoppedQueueIsToldWithItsReason() {
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

void PrintersTest::outcomeIsDecidedFromStatesAndReasons_data() {
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

void PrintersTest::outcomeIsDecidedFromStatesAndReasons() {
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

void PrintersTest::followedJobGetsItsTrueOutcome_data() {
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

void PrintersTest::followedJobGetsItsTrueOutcome() {
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

void PrintersTest::slowServiceStillPrints() {
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

void PrintersTest::killedSchedulerMayStillPrint() {
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

void PrintersTest::noSchedulerMeansServiceDownAndNoCrash() {
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

void PrintersTest::jobOptionsKeepTheSheet_data() {
    QTest::addColumn<QString>("machine");  // the two lpoptions files
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("printer");
    QTest::addColumn<QStringList>("options");
    const QStringList own = {"media=A4",
                             "sides=one-sided",
                             "print-scaling=none",
                             "number-up=1",
                             "number-up-layout=lrtb",
                             "orientation-requested=3",
                             "page-border=none",
                             "mirror=false",
                             "page-set=all",
                             "job-sheets=none,none",
                             "booklet=off",
                             "fit-to-page=false",
                             "scaling=100",
                             "natural-scaling=100",
                             "position=center"};
    QTest::newRow("nothing set") << ""
                                 << ""
                                 << "Alfa" << own;
    QTest::newRow("the instance's copies, never its sheet")
        << ""
        << "Dest Alfa/due copies=2 media=Letter fit-to-page=true PageSize=Letter "
           "sides=two-sided-long-edge number-up=2 page-ranges=1 Collate=True booklet=on "
           "job-sheets=standard page-set=even mirror orientation-requested=4\n"
        << "Alfa/due" << own + QStringList{"copies=2", "Collate=True"};
    QTest::newRow("instance over its queue, another instance apart")
        << "Dest Alfa copies=3 ColorModel=Gray\nDest alfa/due copies=2\nDest Alfa/tre copies=5\n"
        << ""
        << "Alfa/due" << own + QStringList{"copies=2", "ColorModel=Gray"};
    QTest::newRow("the user's file wins, quotes and escapes")
        << "Default Alfa/due copies=2 job-sheets=none\n"
        << "Dest Alfa/due copies=4 job-sheets=\"none,none\" title='a b' note=c\\ d nocollate "
           "landscape\n"
        << "Alfa/due" << own + QStringList{"copies=4", "title=a b", "note=c d", "collate=false"};
}

void PrintersTest::jobOptionsKeepTheSheet() {
    QFETCH(QString, machine);
    QFETCH(QString, user);
    QFETCH(QString, printer);
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    QStringList files;
    for (const QString& text : {machine, user}) {
        files << dir.filePath(QString::number(files.size()));
        QFile file(files.last());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.size());
    }
    QStringList got;
    for (const JobOption& option : jobOptions(printerOptions(printer, files)))
        got << option.name + "=" + option.value;
    // The sheet's own first, in any order; the printer's after them.
    const qsizetype sheet = jobOptions({}).size();
    QCOMPARE(got.mid(0, sheet), options.mid(0, sheet));
    got.sort();
    options.sort();
    QCOMPARE(got, options);
}

void PrintersTest::marginsQueuePrintsWholeOrReduced() {
    // A PDF printer with 6.35 mm at the sides and 12.7 mm at the top and bottom, through the real
    // filters, whose defaults fit every page to that area, two to a sheet, turned, mirrored,
    // after a banner page.
    const QString name = QStringLiteral("Margini");
    QVERIFY2(cups_.addPrinter(name, QStringLiteral(QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd")),
             qPrintable(cups_.errorString()));
    const auto removed = qScopeGuard([&] { cups_.removePrinter(name); });
    for (const char* option :
         {"fit-to-page-default=true", "number-up-default=2", "orientation-requested-default=4",
          "mirror-default=true", "job-sheets-default=standard,none"})
        QVERIFY2(cups_.setQueueOption(name, option), qPrintable(cups_.errorString()));
    Deadline deadline(kPatient);
    const Result<PrintableArea> area = printers_.printableArea(name, deadline);
    QVERIFY2(area, qPrintable(area.error()));
    QVERIFY(area->known);
    QCOMPARE(QList<double>({area->left, area->right, area->top, area->bottom}),
             QList<double>({6.35, 6.35, 12.7, 12.7}));

    const auto surface = std::make_unique<PdfSurface>(name);
    const Result<SheetPlan> plan = planSheet(*surface, fullRecord(), SheetPaper({2, 6}));
    QVERIFY(plan);
    const MarginLoss loss = marginLoss(*plan, *area);
    QVERIFY(!loss.fits());
    QList<PdfWord> whole;
    // At 100 % the words come out where the program put them, the queue's fit-to-page
    // notwithstanding; reduced, each is that far from the page's centre times the factor.
    for (const double f : {1.0, loss.factor()}) {
        QVERIFY(drawPage(*surface, *plan, f).ok() && surface->endDoc().ok());
        if (f == 1.0) whole = pdfWords(surface->document());
        Deadline sending(kPatient);
        QVERIFY(printers_.submitJob(name, surface->document(), sending));
        const QByteArray printed = cups_.waitForJob(name);
        QVERIFY2(printed.startsWith("%PDF"), qPrintable(cups_.errorString()));
        const QList<PdfWord> out = pdfWords(printed);
        QCOMPARE(out.size(), whole.size());
        for (qsizetype i = 0; i < out.size(); ++i) {
            const double x = 105 + f * (whole[i].xMin - 105),
                         y = 148.5 + f * (whole[i].yMax - 148.5);
            QVERIFY2(std::abs(out[i].xMin - x) < 0.15 && std::abs(out[i].yMax - y) < 0.15,
                     qPrintable(QString("%1 at %2, %3, not %4, %5")
                                    .arg(out[i].text)
                                    .arg(out[i].xMin)
                                    .arg(out[i].yMax)
                                    .arg(x)
                                    .arg(y)));
            if (f < 1.0) QVERIFY(out[i].yMin >= 12.7 && out[i].yMax <= 297 - 12.7);
        }
    }
}

void PrintersTest::silentSchedulerIsGivenUpAtTheDeadline() {
    const QByteArray document = documentWithLine(QStringLiteral("Forse"));
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

void PrintersTest::documentSentOrGivenUpNeverBoth() {
    // The window tells "not printed" once it gave up: a document finished after that would print.
    Deadline late(kPatient);
    late.giveUp();
    QVERIFY(!late.noteDocumentSent() && !late.documentSent());
    Deadline early(kPatient);
    QVERIFY(early.noteDocumentSent());
    early.giveUp();
    QVERIFY(early.documentSent() && early.passed());
}

void PrintersTest::stoppedServiceIsReportedAndComesBack() {
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

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(kProbeVariable)) return probeWithoutScheduler(argc, argv);
    QGuiApplication app(argc, argv);
    PrintersTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printers.moc"
