// The print service through libcups and a private CUPS scheduler: which printers are listed,
// which names print, that a document really comes out of the queue, that a queue refusing jobs,
// a removed printer, a stopped queue, a failing driver, a scheduler gone and one that stops
// answering are each told by name, and that no call waits past its deadline.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include "fakeprinters.h"
#include "pdfbox.h"
#include "print/margins.h"
#include "print/printsurface.h"
#include "print/sheet.h"
#include "printers/cupsprintersystem.h"
#include "printers/joboptions.h"
#include "privatecups.h"
#include "samples.h"

using namespace quarzello;

namespace {

// Set in the environment of the child that looks for printers with no scheduler to talk to.
const char* const kProbeVariable = "QUARZELLO_PRINTERS_PROBE";
constexpr qint64 kPatient = 30000;

// One page with one line of text, through the same calls the sheet uses, as a document.
QByteArray documentWithLine(PrinterSystem& printers, const QString& text) {
    const std::unique_ptr<PrintSurface> surface = printers.newDocumentSurface("Alfa");
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
    return printers.submitJob(printer, documentWithLine(printers, text), deadline);
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
    out << "down=" << (list && list->serviceDown) << '\n';
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
    void failingDriverFailsTheJobWithItsReason();
    void noSchedulerMeansServiceDownAndNoCrash();
    void jobOptionsKeepTheSheet_data();
    void jobOptionsKeepTheSheet();
    void marginsQueuePrintsWholeOrReduced();
    // Last: they stop the scheduler for a while.
    void silentSchedulerIsGivenUpAtTheDeadline();
    void documentSentOrGivenUpNeverBoth();
    void stoppedServiceIsReportedAndComesBack();

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
    QVERIFY(!list->serviceDown);
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
    auto gone = [](const QString& name) {
        return QStringLiteral(
                   "La stampante %1 non è più disponibile: il lavoro non è stato "
                   "stampato.")
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
    Deadline deadline(kPatient);
    QTRY_VERIFY_WITH_TIMEOUT(
        printers_.jobState(QStringLiteral("Alfa"), *job, deadline)->phase == JobPhase::Completed,
        20000);
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

void PrintersTest::failingDriverFailsTheJobWithItsReason() {
    QVERIFY2(cups_.failJobs(QStringLiteral("Zeta"), QStringLiteral("Carta inceppata")),
             qPrintable(cups_.errorString()));
    const Result<int> job =
        submitLine(printers_, QStringLiteral("Zeta"), QStringLiteral("Non uscirà"));
    QVERIFY2(job, qPrintable(job.error()));
    JobState state;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            Deadline deadline(kPatient);
            state = *printers_.jobState(QStringLiteral("Zeta"), *job, deadline);
            return state.phase != JobPhase::Waiting || state.queueStopped;
        }(),
        20000);
    QVERIFY2(cups_.succeedJobs(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
    QVERIFY(state.phase != JobPhase::Completed);
    QVERIFY2(state.reason.contains(QStringLiteral("Carta inceppata")), qPrintable(state.reason));
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
    const QStringList own = {"media=A4", "sides=one-sided", "print-scaling=none"};
    QTest::newRow("nothing set") << ""
                                 << ""
                                 << "Alfa" << own;
    QTest::newRow("the instance's copies, never its sheet")
        << ""
        << "Dest Alfa/due copies=2 media=Letter fit-to-page=true PageSize=Letter "
           "sides=two-sided-long-edge number-up=2 page-ranges=1 Collate=True\n"
        << "Alfa/due" << own + QStringList{"copies=2", "Collate=True"};
    QTest::newRow("instance over its queue, another instance apart")
        << "Dest Alfa copies=3 ColorModel=Gray\nDest Alfa/due copies=2\nDest Alfa/tre copies=5\n"
        << ""
        << "Alfa/due" << own + QStringList{"copies=2", "ColorModel=Gray"};
    QTest::newRow("the user's file wins, quotes and escapes")
        << "Default Alfa/due copies=2 job-sheets=none\n"
        << "Dest Alfa/due copies=4 job-sheets=\"none,none\" title='a b' note=c\\ d nocollate "
           "landscape\n"
        << "Alfa/due"
        << own + QStringList{"copies=4", "job-sheets=none,none", "title=a b", "note=c d",
                             "collate=false"};
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
    QCOMPARE(got, options);
}

void PrintersTest::marginsQueuePrintsWholeOrReduced() {
    // A PDF printer with 6.35 mm at the sides and 12.7 mm at the top and bottom, through the real
    // filters, whose default is to fit every page to that area.
    const QString name = QStringLiteral("Margini");
    QVERIFY2(cups_.addPrinter(name, QStringLiteral(QUARZELLO_SOURCE_DIR "/tests/cups/margini.ppd")),
             qPrintable(cups_.errorString()));
    const auto removed = qScopeGuard([&] { cups_.removePrinter(name); });
    QVERIFY2(cups_.setQueueOption(name, "fit-to-page-default=true"),
             qPrintable(cups_.errorString()));
    Deadline deadline(kPatient);
    const Result<PrintableArea> area = printers_.printableArea(name, deadline);
    QVERIFY2(area, qPrintable(area.error()));
    QVERIFY(area->known);
    QCOMPARE(QList<double>({area->left, area->right, area->top, area->bottom}),
             QList<double>({6.35, 6.35, 12.7, 12.7}));

    const std::unique_ptr<PrintSurface> surface = printers_.newDocumentSurface(name);
    const Result<SheetPlan> plan = planSheet(*surface, fullRecord());
    QVERIFY(plan);
    const MarginLoss loss = marginLoss(*plan, *area);
    QVERIFY(!loss.fits());
    QList<PdfWord> whole;
    // At 100 % the words come out where the program put them, the queue's fit-to-page
    // notwithstanding; reduced, each is that far from the page's centre times the factor.
    for (const double f : {1.0, loss.factor()}) {
        QVERIFY(drawSheet(*surface, *plan, f).ok());
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
    const QByteArray document = documentWithLine(printers_, QStringLiteral("Forse"));
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
    QVERIFY(list && list->serviceDown && list->names.isEmpty());
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
