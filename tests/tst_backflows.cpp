// The run with a back: the real program's PDF read back, two-sided prints on a private
// scheduler, the flows' decisions between the fronts and the backs, the command line's refusals.
#include <QTest>

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

const QString kClub = QStringLiteral("Camper Club Roma");

// Goes on at every question, answers the two-sided one as told, and keeps what it was told.
struct Answers final : PrintConversation {
    bool backs = true;
    std::function<void()> whenAsked = [] {};
    QStringList told;
    bool printShortened(const QStringList&) override { return true; }
    MarginReply printOutsideMargins(const QString&, const MarginLoss&, const PrintableArea&,
                                    std::optional<MarginChoice>) override {
        return {};
    }
    bool printWithoutQr(const QString&, const QString&, const std::function<QString()>&) override {
        return false;
    }
    bool sendToStoppedPrinter(const QString&, const QString&) override { return false; }
    bool printBacks(const QString&, const DuplexSetting&, int) override {
        return whenAsked(), backs;
    }
    void fail(const QString& text) override { told << text; }
    void done(const QString& text) override { told << text; }
};

// Two members' sheets with the club's line on the back, printed on `request`.
PrintOutcome printTwoMembers(const JobRequest& request, Answers& talk) {
    SheetOptions options;
    options.back = *backContent({{}, {kClub}, false, true}, false, TurnEdge::Long, {});
    std::optional<PageRun> run = readPageRun({{clubRecord("Ugo", "Neri", "6", "2"), "Ugo"},
                                              {clubRecord("Lia", "Bassi", "6", "2"), "Lia"}},
                                             talk, options);
    return printPagesOnPrinterHere(std::move(*run), request, pdfDocuments(), 20000, talk);
}

}  // namespace

class BackFlowsTest : public QObject {
    Q_OBJECT
    PrivateCups cups_;
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
    ToolRun quarzello(const QStringList& args) { return runTool(QUARZELLO_EXE, args); }

  private slots:
    void initTestCase() {
        QVERIFY2(
            cups_.start() && cups_.addTwoSidedPrinter("FronteRetro") && cups_.addPrinter("Alfa"),
            qPrintable(cups_.errorString()));
        // A product whose margins differ on every side: a back at the wrong place shows.
        const QString stocks = qEnvironmentVariable("XDG_CONFIG_HOME") + "/libglabels/templates";
        QVERIFY(
            QDir().mkpath(stocks) &&
            writeBytes(stocks + "/prova.xml",
                       "<Glabels-templates><Template brand=\"Prova\" part=\"Storto\" "
                       "size=\"A4\"><Meta category=\"business-card\"/><Label-rectangle id=\"0\" "
                       "width=\"85mm\" height=\"54mm\"><Markup-margin size=\"1mm\"/><Layout "
                       "nx=\"2\" ny=\"5\" x0=\"10mm\" y0=\"8mm\" dx=\"90mm\" dy=\"54mm\"/>"
                       "</Label-rectangle></Template></Glabels-templates>"));
        QVERIFY(writeBytes(path("socio.qcf"), encodeCardFile(clubRecord("Ugo", "Neri", "6", "2"))));
        QVERIFY(writeBytes(path("nonfoto.png"), "not a picture"));
        // The back as the window keeps it, for --retro.
        QVERIFY(SettingsStore(settingsFilePath()).rememberBack({{}, {kClub}, false, true}));
    }

    // The front page is the one-sided sheet's, word for word and place for place; the back page
    // has the club's line at the bottom of every card's back, where the sheet turned puts it.
    void pdfHoldsFrontThenBack() {
        const QStringList sheet{path("socio.qcf"), "--carta", "prova storto", "--pdf"};
        QVERIFY(quarzello(sheet + QStringList{path("1.pdf")}).ok);
        QVERIFY(quarzello(sheet + QStringList{path("2.pdf"), "--retro"}).ok);
        const QList<PdfWord> front = pdfWords(readBytes(path("1.pdf")));
        const QList<PdfWord> words = pdfWords(readBytes(path("2.pdf")));
        QCOMPARE(PrivateCups::pdfText(readBytes(path("2.pdf"))).count('\f'), 2);
        for (qsizetype i = 0; i < front.size(); ++i)
            QVERIFY(words[i].text == front[i].text && qFuzzyCompare(words[i].xMin, front[i].xMin) &&
                    qFuzzyCompare(words[i].yMax, front[i].yMax));
        const QList<PdfLine> backs = pdfLines(words.mid(front.size()), 105);
        QCOMPARE(backs.size(), 10);
        for (int card = 0; card < 10; ++card) {
            const QRectF at = backPlace({10.0 + 90 * (card % 2), 8.0 + 54 * (card / 2), 85, 54},
                                        210, 297, TurnEdge::Long);
            QCOMPARE(std::count_if(backs.begin(), backs.end(),
                                   [&](const PdfLine& l) {
                                       return l.text == kClub &&
                                              std::abs(l.left + l.right - 2 * at.center().x()) <
                                                  0.4 &&
                                              std::abs(l.bottom - at.bottom() + 3) < 0.2;
                                   }),
                     1);
        }
    }

    // The sides each job carries, and each job's pages (U: Ugo's front, L: Lia's, C: a back);
    // by hand, the fronts came out before the question.
    void printsBothSidesOnTheScheduler_data() {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QStringList>("sides");
        QTest::addColumn<QStringList>("jobs");
        QTest::newRow("by the printer, short edge")
            << "FronteRetro" << QStringList{"two-sided-short-edge"} << QStringList{"UCLC"};
        QTest::newRow("by hand") << "Alfa" << QStringList{"one-sided", "one-sided"}
                                 << QStringList{"UL", "CC"};
    }
    void printsBothSidesOnTheScheduler() {
        QFETCH(QString, printer);
        QFETCH(QStringList, jobs);
        CupsPrinterSystem printers;
        JobRequest request{printer, printers, 5000};
        request.duplex = {printer == "FronteRetro", TurnEdge::Short, false};
        Answers talk;
        QList<QByteArray> printed;
        talk.whenAsked = [&] { printed << cups_.waitForJob(printer); };
        QVERIFY2(printTwoMembers(request, talk).end == PrintEnd::Printed,
                 qPrintable(talk.told.join('\n')));
        QTEST(cups_.jobAttributes(printer, "sides"), "sides");
        printed << cups_.waitForJob(printer);
        QCOMPARE(printed.size(), jobs.size());
        for (const QString& job : jobs) {
            QString pages;
            for (const QString& page : PrivateCups::pdfText(printed.takeFirst()).split('\f'))
                pages += page.contains("Ugo Neri")    ? "U"
                         : page.contains("Lia Bassi") ? "L"
                         : page.contains(kClub)       ? "C"
                                                      : "";
            QCOMPARE(pages, job);
        }
    }

    // What is sent on which sides (1 one side), how the print ends and a part of its last word,
    // from the setup: A both sides by the printer, h by hand when it cannot, x the fronts fail,
    // n the user says no; the queue prints one side.
    void decidesWhatReachesThePrinter_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("jobs");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("told");
        const QString noBacks = "Il retro dei fogli non è stato stampato";
        // clang-format off
        QTest::newRow("by the printer") << "A" << "" << int(PrintEnd::NotSent) << "--fronte-retro manuale";
        QTest::newRow("none chosen") << "Ah" << "11" << int(PrintEnd::Printed) << kPrintDoneText;
        QTest::newRow("by hand, no answer") << "n" << "1" << int(PrintEnd::FrontsOnly) << noBacks;
        QTest::newRow("by hand, fronts failed") << "x" << "1" << int(PrintEnd::Failed) << noBacks;
        // clang-format on
    }
    void decidesWhatReachesThePrinter() {
        QFETCH(QString, setup);
        FakePrinterSystem printers;
        printers.names = {"Zeta"};
        printers.fates["Zeta"].jobState = setup.contains('x') ? 8 : 9;
        JobRequest request{"Zeta", printers, 1000};
        request.duplex.automatic = setup.contains('A');
        request.byHandWhenOneSided = setup.contains('h');
        Answers talk;
        talk.backs = !setup.contains('n');
        QTEST(int(printTwoMembers(request, talk).end), "end");
        QString sent;
        for (const JobSides sides : printers.jobSides["Zeta"])
            sent += sides == JobSides::OneSided ? '1' : '2';
        QTEST(sent, "jobs");
        QFETCH(QString, told);
        QVERIFY2(talk.told.last().contains(told), qPrintable(talk.told.join('\n')));
    }

    // Refused with the status and the words, nothing written or sent.
    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        const QString card = path("socio.qcf"), pdf = path("no.pdf"), no = path("nonfoto.png");
        const QStringList four{"--riga-retro", "a", "--riga-retro", "b",
                               "--riga-retro", "c", "--riga-retro", "d"};
        // clang-format off
        QTest::newRow("two sides of a one-sided printer") << QStringList{"--stampa", "Alfa", "--retro", "--fronte-retro", "lungo", card} << 2 << "--fronte-retro manuale";
        QTest::newRow("a fourth back line") << QStringList{"--pdf", pdf, card} + four << 2 << "--riga-retro si può indicare al massimo 3 volte";
        QTest::newRow("the back's code, no code") << QStringList{"--pdf", pdf, "--qr-retro", card} << 2 << "--qr-retro vale solo con --qr";
        QTest::newRow("an emblem no picture") << QStringList{"--pdf", pdf, "--stemma", no, card} << 1 << no;
        // clang-format on
    }
    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(QString, told);
        const int sent = cups_.jobCount("Alfa");
        const ToolRun run = quarzello(args);
        QTEST(run.exitCode, "status");
        QVERIFY2(QString::fromUtf8(run.errors).contains(told), run.errors.constData());
        QVERIFY(!QFileInfo::exists(path("no.pdf")) && cups_.jobCount("Alfa") == sent);
    }
};

QTEST_MAIN(BackFlowsTest)
#include "tst_backflows.moc"
