// The installed-printer list and real printing through a private CUPS scheduler: which printers
// are listed, which names get a surface, that a page really comes out as a PDF, and that a queue
// refusing jobs or a removed printer is reported to the user by name instead of printing nothing
// in silence.
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QTextStream>

#include "print/printsurface.h"
#include "printers/qtprintersystem.h"
#include "privatecups.h"

using namespace quarzello;

namespace {

// Set in the environment of the child that looks for printers with no scheduler to talk to.
const char* const kProbeVariable = "QUARZELLO_PRINTERS_PROBE";

// One page with one line of text, through the same calls the sheet uses.
Result<void> printOneLine(PrintSurface& surface, const QString& text) {
    surface.setPaperSize(PrintSurface::kPaperA4);
    surface.setOrientation(PrintSurface::kPortrait);
    surface.setScaleMode(PrintSurface::kMillimetres);
    surface.setFontName(QStringLiteral("Times new roman"));
    surface.setFontSize(14);
    surface.setCurrentX(20);
    surface.setCurrentY(30);
    if (Result<void> printed = surface.printText(text); !printed) return printed;
    return surface.endDoc();
}

// The child: what the printer list says when CUPS_SERVER leads nowhere.
int probeWithoutScheduler(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QtPrinterSystem printers;
    QTextStream out(stdout);
    out << "names=" << printers.printerNames().join(QLatin1Char(',')) << '\n';
    out << "default=" << printers.defaultPrinterName() << '\n';
    out << "surface=" << (printers.surfaceFor(QStringLiteral("Alfa")) ? "made" : "none") << '\n';
    out << "error=" << printers.checkAvailable(QStringLiteral("Alfa")).error() << '\n';
    return 0;
}

}  // namespace

class PrintersTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void listsExactlyTheInstalledQueues();
    void defaultPrinterIsTheSystemsDefault();
    void surfaceOnlyForAListedNameExactly_data();
    void surfaceOnlyForAListedNameExactly();
    void availabilityComparesNamesExactly_data();
    void availabilityComparesNamesExactly();
    void pageComesOutOfThePrinterAsPdf();
    void refusingQueueIsReportedBeforeAndAfterPrinting();
    void removedPrinterIsReportedAndGetsNoSurface();
    void noSchedulerMeansNoPrintersAndNoCrash();
    void listOnlySystemKnowsJustTheNames_data();
    void listOnlySystemKnowsJustTheNames();
    // Last: it stops the scheduler for a while.
    void stoppedServiceIsReportedAndComesBack();

  private:
    PrivateCups cups_;
    QtPrinterSystem printers_;
};

void PrintersTest::initTestCase() {
    // Before anything in this process asks for a printer: libcups keeps its first server.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
}

void PrintersTest::listsExactlyTheInstalledQueues() {
    QStringList names = printers_.printerNames();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Alfa"), QStringLiteral("Zeta")}));
}

void PrintersTest::defaultPrinterIsTheSystemsDefault() {
    QCOMPARE(printers_.defaultPrinterName(), QString());
    QVERIFY2(cups_.setDefault(QStringLiteral("Zeta")), qPrintable(cups_.errorString()));
    QCOMPARE(printers_.defaultPrinterName(), QStringLiteral("Zeta"));
}

void PrintersTest::surfaceOnlyForAListedNameExactly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("made");
    QTest::newRow("installed") << QStringLiteral("Alfa") << true;
    QTest::newRow("the other installed") << QStringLiteral("Zeta") << true;
    QTest::newRow("other case") << QStringLiteral("alfa") << false;
    QTest::newRow("upper case") << QStringLiteral("ALFA") << false;
    QTest::newRow("not installed") << QStringLiteral("Nessuna") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("trailing space") << QStringLiteral("Alfa ") << false;
}

void PrintersTest::surfaceOnlyForAListedNameExactly() {
    QFETCH(QString, name);
    QFETCH(bool, made);
    const std::unique_ptr<PrintSurface> surface = printers_.surfaceFor(name);
    QCOMPARE(surface != nullptr, made);
    if (surface) QCOMPARE(surface->deviceName(), name);
}

void PrintersTest::availabilityComparesNamesExactly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("installed") << QStringLiteral("Alfa") << QString();
    QTest::newRow("other case")
        << QStringLiteral("alfa")
        << QStringLiteral(
               "La stampante alfa non è più disponibile: il lavoro non è stato stampato.");
    QTest::newRow("not installed")
        << QStringLiteral("Nessuna")
        << QStringLiteral(
               "La stampante Nessuna non è più disponibile: il lavoro non è stato stampato.");
}

void PrintersTest::availabilityComparesNamesExactly() {
    QFETCH(QString, name);
    QFETCH(QString, error);
    QCOMPARE(printers_.checkAvailable(name).error(), error);
}

void PrintersTest::pageComesOutOfThePrinterAsPdf() {
    const int jobsBefore = cups_.jobCount(QStringLiteral("Alfa"));
    const std::unique_ptr<PrintSurface> surface = printers_.surfaceFor(QStringLiteral("Alfa"));
    QVERIFY(surface);
    {
        const Result<void> printed =
            printOneLine(*surface, QStringLiteral("Prova di stampa Quarzello"));
        QVERIFY2(printed, qPrintable(printed.error()));
    }
    QCOMPARE(cups_.jobCount(QStringLiteral("Alfa")), jobsBefore + 1);

    const QByteArray pdf = cups_.waitForJob(QStringLiteral("Alfa"));
    QVERIFY2(!pdf.isEmpty(), qPrintable(cups_.errorString()));
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY2(PrivateCups::pdfText(pdf).contains(QStringLiteral("Prova di stampa Quarzello")),
             qPrintable(PrivateCups::pdfText(pdf)));
    // The other queue got nothing.
    QCOMPARE(cups_.jobCount(QStringLiteral("Zeta")), 0);
}

void PrintersTest::refusingQueueIsReportedBeforeAndAfterPrinting() {
    const QString refused =
        QStringLiteral("La stampante Alfa non accetta stampe: il lavoro è stato rifiutato.");
    // Made while Alfa still took jobs, as when the user picks it and it closes meanwhile.
    const std::unique_ptr<PrintSurface> surface = printers_.surfaceFor(QStringLiteral("Alfa"));
    QVERIFY(surface);
    const int jobsBefore = cups_.jobCount(QStringLiteral("Alfa"));

    QVERIFY2(cups_.rejectJobs(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
    QCOMPARE(printers_.checkAvailable(QStringLiteral("Alfa")).error(), refused);
    QCOMPARE(printOneLine(*surface, QStringLiteral("Non deve uscire")).error(), refused);
    QCOMPARE(cups_.jobCount(QStringLiteral("Alfa")), jobsBefore);
    // Still listed: a closed queue is installed all the same.
    QVERIFY(printers_.printerNames().contains(QStringLiteral("Alfa")));

    QVERIFY2(cups_.acceptJobs(QStringLiteral("Alfa")), qPrintable(cups_.errorString()));
    QCOMPARE(printers_.checkAvailable(QStringLiteral("Alfa")).error(), QString());
    {
        const Result<void> printed = printOneLine(*surface, QStringLiteral("Di nuovo aperta"));
        QVERIFY2(printed, qPrintable(printed.error()));
    }
    const QByteArray pdf = cups_.waitForJob(QStringLiteral("Alfa"));
    QVERIFY2(!pdf.isEmpty(), qPrintable(cups_.errorString()));
    const QString text = PrivateCups::pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Di nuovo aperta")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Non deve uscire")));
}

void PrintersTest::removedPrinterIsReportedAndGetsNoSurface() {
    const QString gone =
        QStringLiteral("La stampante Beta non è più disponibile: il lavoro non è stato stampato.");
    QVERIFY2(cups_.addPrinter(QStringLiteral("Beta")), qPrintable(cups_.errorString()));
    QVERIFY(printers_.printerNames().contains(QStringLiteral("Beta")));
    const std::unique_ptr<PrintSurface> surface = printers_.surfaceFor(QStringLiteral("Beta"));
    QVERIFY(surface);
    QCOMPARE(printers_.checkAvailable(QStringLiteral("Beta")).error(), QString());

    QVERIFY2(cups_.removePrinter(QStringLiteral("Beta")), qPrintable(cups_.errorString()));
    QVERIFY(!printers_.printerNames().contains(QStringLiteral("Beta")));
    QVERIFY(!printers_.surfaceFor(QStringLiteral("Beta")));
    QCOMPARE(printers_.checkAvailable(QStringLiteral("Beta")).error(), gone);
    // The surface made before the removal finds out when the job is handed over.
    QCOMPARE(printOneLine(*surface, QStringLiteral("Nessuno la stampa")).error(), gone);
}

void PrintersTest::noSchedulerMeansNoPrintersAndNoCrash() {
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
    QCOMPARE(lines.value(0), QStringLiteral("names="));
    QCOMPARE(lines.value(1), QStringLiteral("default="));
    QCOMPARE(lines.value(2), QStringLiteral("surface=none"));
    QCOMPARE(lines.value(3),
             QStringLiteral("error=Il servizio di stampa non risponde: il lavoro per la stampante "
                            "Alfa non è stato stampato."));
}

void PrintersTest::listOnlySystemKnowsJustTheNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("listed") << QStringLiteral("Alfa") << QString();
    QTest::newRow("other case")
        << QStringLiteral("ALFA")
        << QStringLiteral(
               "La stampante ALFA non è più disponibile: il lavoro non è stato stampato.");
}

void PrintersTest::listOnlySystemKnowsJustTheNames() {
    // A printer system that can only list names (as a test double does) still refuses a name it
    // does not list, in the same words.
    class FixedList final : public PrinterSystem {
      public:
        QStringList printerNames() const override {
            return {QStringLiteral("Zeta"), QStringLiteral("Alfa")};
        }
        QString defaultPrinterName() const override { return QString(); }
        std::unique_ptr<PrintSurface> surfaceFor(const QString&) override { return nullptr; }
    };
    QFETCH(QString, name);
    QFETCH(QString, error);
    QCOMPARE(FixedList().checkAvailable(name).error(), error);
}

void PrintersTest::stoppedServiceIsReportedAndComesBack() {
    const QString down = QStringLiteral(
        "Il servizio di stampa non risponde: il lavoro per la stampante Alfa non è stato "
        "stampato.");
    const std::unique_ptr<PrintSurface> surface = printers_.surfaceFor(QStringLiteral("Alfa"));
    QVERIFY(surface);

    cups_.stop();
    QCOMPARE(printers_.printerNames(), QStringList());
    QCOMPARE(printers_.checkAvailable(QStringLiteral("Alfa")).error(), down);
    QVERIFY(!printers_.surfaceFor(QStringLiteral("Alfa")));
    QCOMPARE(printOneLine(*surface, QStringLiteral("Senza servizio")).error(), down);

    // The same program, untouched, prints again once the service is back.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QCOMPARE(printers_.checkAvailable(QStringLiteral("Alfa")).error(), QString());
    {
        const Result<void> printed = printOneLine(*surface, QStringLiteral("Servizio tornato"));
        QVERIFY2(printed, qPrintable(printed.error()));
    }
    const QByteArray pdf = cups_.waitForJob(QStringLiteral("Alfa"));
    QVERIFY2(!pdf.isEmpty(), qPrintable(cups_.errorString()));
    const QString text = PrivateCups::pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Servizio tornato")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Senza servizio")));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(kProbeVariable)) return probeWithoutScheduler(argc, argv);
    QGuiApplication app(argc, argv);
    PrintersTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printers.moc"
