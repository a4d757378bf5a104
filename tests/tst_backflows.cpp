// The run with a back: the real program's PDF read back, two-sided prints on a private
// scheduler, the flows' decisions between the fronts and the backs, and the command line's
// refusals.
#include <QTemporaryDir>
#include <QTest>

#include "core/printablearea.h"
#include "data/cardfile.h"
#include "datafiles.h"
#include "fakeprinters.h"
#include "flows/printpages.h"
#include "pdfbox.h"
#include "platform/settingslocation.h"
#include "platform/settingsstore.h"
#include "print/backside.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"
#include "samples.h"
#include "tools.h"

using namespace quarzello;
using datafiles::readBytes;
using datafiles::writeBytes;

namespace {

// A product whose margins differ on every side: a back at the wrong place shows.
const QByteArray kLopsidedStock =
    "<?xml version=\"1.0\"?>\n<Glabels-templates>\n"
    "<Template brand=\"Prova\" part=\"Storto\" size=\"A4\" _description=\"Business Cards\">\n"
    "<Meta category=\"business-card\"/>\n"
    "<Label-rectangle id=\"0\" width=\"85mm\" height=\"54mm\" round=\"0mm\">\n"
    "<Markup-margin size=\"1mm\"/>\n"
    "<Layout nx=\"2\" ny=\"5\" x0=\"10mm\" y0=\"8mm\" dx=\"90mm\" dy=\"54mm\"/>\n"
    "</Label-rectangle>\n</Template>\n</Glabels-templates>\n";

const QString kClub = QStringLiteral("Camper Club Roma");

// Answers the print's questions as a user who goes on, and keeps what it was told.
class Answers final : public PrintConversation {
  public:
    bool backs = true;  // the answer to the two-sided question
    int asked = 0;
    std::function<void()> whenAsked;
    QStringList told;
    bool printShortened(const QStringList&) override { return true; }
    MarginReply printOutsideMargins(const QString&, const MarginLoss&, const PrintableArea&,
                                    std::optional<MarginChoice>) override {
        return {MarginChoice::PrintAsIs, false};
    }
    bool printWithoutQr(const QString&, const QString&, const std::function<QString()>&) override {
        return false;
    }
    bool sendToStoppedPrinter(const QString&, const QString&) override { return false; }
    bool printBacks(const QString&, const DuplexSetting&, int) override {
        ++asked;
        if (whenAsked) whenAsked();
        return backs;
    }
    void fail(const QString& text) override { told << text; }
    void done(const QString& text) override { told << text; }
};

// How many pages a PDF has, as poppler counts them.
int pageCount(const QByteArray& pdf) { return int(PrivateCups::pdfText(pdf).count('\f')); }

}  // namespace

class BackFlowsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void pdfHoldsFrontThenBack_data();
    void pdfHoldsFrontThenBack();
    void printsBothSidesOnTheScheduler_data();
    void printsBothSidesOnTheScheduler();
    void decidesWhatReachesThePrinter_data();
    void decidesWhatReachesThePrinter();
    void refusals_data();
    void refusals();

  private:
    ToolRun quarzello(const QStringList& args);
    PageRun backRun(TurnEdge edge);
    QString path(const QString& name) const { return dir_.filePath(name); }

    PrivateCups cups_;
    QTemporaryDir dir_;
};

void BackFlowsTest::initTestCase() {
    QVERIFY2(cups_.start() && cups_.addTwoSidedPrinter("FronteRetro") && cups_.addPrinter("Alfa"),
             qPrintable(cups_.errorString()));
    QVERIFY(writeBytes(path("socio.qcf"), encodeCardFile(clubRecord("Ugo", "Neri", "6", "2"))));
    QVERIFY(writeBytes(path("nonfoto.png"), "not a picture"));
    const QString templates = qEnvironmentVariable("XDG_CONFIG_HOME") + "/libglabels/templates";
    QVERIFY(QDir().mkpath(templates));
    QVERIFY(writeBytes(templates + "/prova-templates.xml", kLopsidedStock));
    // The back as the window keeps it, for --retro.
    SettingsStore settings(settingsFilePath());
    QVERIFY(settings.rememberBack({{}, {kClub}, false, true}));
}

ToolRun BackFlowsTest::quarzello(const QStringList& args) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    return runTool(QStringLiteral(QUARZELLO_EXE), args, {}, environment);
}

void BackFlowsTest::pdfHoldsFrontThenBack_data() {
    QTest::addColumn<QStringList>("edge");
    QTest::addColumn<int>("turn");  // TurnEdge
    QTest::newRow("long edge, the default") << QStringList{} << int(TurnEdge::Long);
    QTest::newRow("short edge") << QStringList{"--fronte-retro", "corto"} << int(TurnEdge::Short);
}

// The front page is the one-sided sheet's, word for word and place for place; the back page
// has the club's line at the bottom of every card's back, where the sheet turned puts it.
void BackFlowsTest::pdfHoldsFrontThenBack() {
    QFETCH(QStringList, edge);
    QFETCH(int, turn);
    const QStringList common{path("socio.qcf"), "--carta", "prova storto"};
    const ToolRun front = quarzello(QStringList{"--pdf", path("fronte.pdf")} + common);
    const ToolRun both =
        quarzello(QStringList{"--pdf", path("retro.pdf"), "--retro"} + common + edge);
    QVERIFY2(front.ok && both.ok, (front.errors + both.errors).constData());
    const QByteArray pdf = readBytes(path("retro.pdf"));
    QCOMPARE(pageCount(pdf), 2);
    const QList<PdfWord> alone = pdfWords(readBytes(path("fronte.pdf")));
    const QList<PdfWord> words = pdfWords(pdf);
    QVERIFY(!alone.isEmpty() && words.size() > alone.size());
    for (qsizetype i = 0; i < alone.size(); ++i)
        QVERIFY(words[i].text == alone[i].text && std::abs(words[i].xMin - alone[i].xMin) < 0.01 &&
                std::abs(words[i].yMax - alone[i].yMax) < 0.01);
    const QList<PdfLine> backLines = pdfLines(words.mid(alone.size()), 105);
    QCOMPARE(backLines.size(), 10);
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 2; ++column) {
            const QRectF place =
                backPlace(QRectF(10 + 90 * column, 8 + 54 * row, 85, 54), 210, 297, TurnEdge(turn));
            int found = 0;
            for (const PdfLine& line : backLines)
                found += line.text == kClub &&
                         std::abs((line.left + line.right) / 2 - place.center().x()) < 0.2 &&
                         std::abs(line.bottom - (place.bottom() - 3)) < 0.2;
            QVERIFY2(found == 1,
                     qPrintable(QString("back at %1, %2").arg(place.x()).arg(place.y())));
        }
}

PageRun BackFlowsTest::backRun(TurnEdge edge) {
    Answers talk;
    SheetOptions options;
    options.back = *backContent({{}, {kClub}, false, true}, false, edge, {});
    std::vector<SheetPage> pages{{clubRecord("Ugo", "Neri", "6", "2"), "Ugo"},
                                 {clubRecord("Lia", "Bassi", "6", "2"), "Lia"}};
    return *readPageRun(std::move(pages), talk, options);
}

void BackFlowsTest::printsBothSidesOnTheScheduler_data() {
    QTest::addColumn<QString>("printer");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("edge");
    QTest::addColumn<QStringList>("sides");  // each job's, as the scheduler holds it
    QTest::addColumn<QStringList>("texts");  // what each job's pages read, page by page
    QTest::newRow("by the printer, short edge")
        << "FronteRetro" << true << int(TurnEdge::Short) << QStringList{"two-sided-short-edge"}
        << QStringList{"Dott. Ugo Neri|" + kClub + "|Dott. Lia Bassi|" + kClub};
    QTest::newRow("by hand") << "Alfa" << false << int(TurnEdge::Long)
                             << QStringList{"one-sided", "one-sided"}
                             << QStringList{"Dott. Ugo Neri|Dott. Lia Bassi", kClub + "|" + kClub};
}

// The sides each job carries, and each job's pages in order.
void BackFlowsTest::printsBothSidesOnTheScheduler() {
    QFETCH(QString, printer);
    QFETCH(bool, automatic);
    QFETCH(int, edge);
    QFETCH(QStringList, sides);
    QFETCH(QStringList, texts);
    CupsPrinterSystem printers;
    Answers talk;
    // Each job's document as it came out; the fronts by hand before the question.
    QList<QByteArray> printed;
    talk.whenAsked = [&] { printed << cups_.waitForJob(printer); };
    JobRequest request{printer, printers, 5000};
    request.duplex = {automatic, TurnEdge(edge), true};
    const PrintOutcome outcome =
        printPagesOnPrinterHere(backRun(TurnEdge::Long), request, pdfDocuments(), 20000, talk);
    QVERIFY2(outcome.end == PrintEnd::Printed, qPrintable(talk.told.join('\n')));
    QCOMPARE(talk.asked, automatic ? 0 : 1);
    QCOMPARE(cups_.jobAttributes(printer, "sides"), sides);
    printed << cups_.waitForJob(printer);
    QCOMPARE(printed.size(), texts.size());
    for (const QString& text : texts) {
        const QStringList pages = PrivateCups::pdfText(printed.takeFirst()).split('\f');
        QCOMPARE(pages.size() - 1, text.count('|') + 1);
        for (qsizetype i = 0; i < pages.size() - 1; ++i)
            QVERIFY2(pages[i].contains(text.split('|')[i]), qPrintable(pages[i]));
    }
}

void BackFlowsTest::decidesWhatReachesThePrinter_data() {
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("twoSided");  // the queue prints both sides
    QTest::addColumn<bool>("byHandWhenOneSided");
    QTest::addColumn<bool>("frontsFail");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("jobs");  // each job's sides: 1 one, L long edge
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("end");       // PrintEnd
    QTest::addColumn<QString>("told");  // a part of the last word
    const QString noBacks = QStringLiteral("Il retro dei fogli non è stato stampato");
    QTest::newRow("by the printer") << true << true << false << false << true << "L" << false
                                    << int(PrintEnd::Printed) << kPrintDoneText;
    QTest::newRow("by the printer, asked of a one-sided queue")
        << true << false << false << false << true << "" << false << int(PrintEnd::NotSent)
        << "--fronte-retro manuale";
    QTest::newRow("nothing chosen, a one-sided queue: by hand")
        << true << false << true << false << true << "11" << true << int(PrintEnd::Printed)
        << kPrintDoneText;
    QTest::newRow("by hand, yes") << false << true << false << false << true << "11" << true
                                  << int(PrintEnd::Printed) << kPrintDoneText;
    QTest::newRow("by hand, no answer: no backs")
        << false << false << false << false << false << "1" << true << int(PrintEnd::FrontsOnly)
        << noBacks;
    QTest::newRow("by hand, the fronts failed: no backs")
        << false << false << false << true << true << "1" << false << int(PrintEnd::Failed)
        << noBacks;
}

// What is sent, on which sides, whether the user is asked, and the word the print ends with.
void BackFlowsTest::decidesWhatReachesThePrinter() {
    QFETCH(bool, automatic);
    QFETCH(bool, twoSided);
    QFETCH(bool, byHandWhenOneSided);
    QFETCH(bool, frontsFail);
    QFETCH(bool, answer);
    QFETCH(QString, jobs);
    QFETCH(bool, asked);
    QFETCH(int, end);
    QFETCH(QString, told);
    FakePrinterSystem printers;
    printers.names = {"Zeta"};
    if (twoSided) printers.twoSided << "Zeta";
    if (frontsFail) printers.fates["Zeta"].jobState = 8;
    Answers talk;
    talk.backs = answer;
    JobRequest request{"Zeta", printers, 1000};
    request.duplex.automatic = automatic;
    request.byHandWhenOneSided = byHandWhenOneSided;
    const PrintOutcome outcome =
        printPagesOnPrinterHere(backRun(TurnEdge::Long), request, pdfDocuments(), 5000, talk);
    QString sent;
    for (const JobSides sides : printers.jobSides["Zeta"])
        sent += sides == JobSides::OneSided ? '1' : sides == JobSides::LongEdge ? 'L' : 'S';
    QCOMPARE(sent, jobs);
    QCOMPARE(talk.asked, int(asked));
    QCOMPARE(int(outcome.end), end);
    QVERIFY2(talk.told.last().contains(told), qPrintable(talk.told.join('\n')));
}

void BackFlowsTest::refusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");  // a part of what standard error says
    const QString card = path("socio.qcf");
    QTest::newRow("both sides asked of a one-sided printer")
        << QStringList{"--stampa", "Alfa", "--retro", "--fronte-retro", "lungo", card} << 2
        << "--fronte-retro manuale";
    QTest::newRow("a fourth back line") << QStringList{"--riga-retro",
                                                       "a",
                                                       "--riga-retro",
                                                       "b",
                                                       "--riga-retro",
                                                       "c",
                                                       "--riga-retro",
                                                       "d",
                                                       card}
                                        << 2 << "--riga-retro si può indicare al massimo 3 volte";
    QTest::newRow("the code on the back without a code")
        << QStringList{"--qr-retro", card} << 2 << "--qr-retro vale solo con --qr";
    QTest::newRow("an edge unknown") << QStringList{"--retro", "--fronte-retro", "lato", card} << 2
                                     << "indicare lungo, corto o manuale";
    QTest::newRow("a side unknown")
        << QStringList{"--retro", "--lato", "sopra", card} << 2 << "indicare fronte o retro";
    QTest::newRow("one side of no back")
        << QStringList{"--lato", "fronte", card} << 2 << "--lato vale solo con il retro";
    QTest::newRow("by hand into a file")
        << QStringList{"--retro", "--fronte-retro", "manuale", card} << 2
        << "--fronte-retro manuale vale solo con --stampa";
    QTest::newRow("an emblem that is no picture")
        << QStringList{"--stemma", path("nonfoto.png"), card} << 1 << path("nonfoto.png");
    QTest::newRow("an emblem that is gone")
        << QStringList{"--stemma", path("sparito.svg"), card} << 1 << path("sparito.svg");
}

// Refused with the status and the words, nothing written or sent.
void BackFlowsTest::refusals() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, told);
    const int sent = cups_.jobCount("Alfa");
    if (!args.contains("--stampa")) args = QStringList{"--pdf", path("rifiutato.pdf")} + args;
    const ToolRun run = quarzello(args);
    QCOMPARE(run.exitCode, status);
    QVERIFY2(QString::fromUtf8(run.errors).contains(told), run.errors.constData());
    QVERIFY(!QFileInfo::exists(path("rifiutato.pdf")));
    QCOMPARE(cups_.jobCount("Alfa"), sent);
}

QTEST_MAIN(BackFlowsTest)
#include "tst_backflows.moc"
