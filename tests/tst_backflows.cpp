// The run with a back: the real program's PDF read back, two-sided prints on a private
// scheduler, the flows' decisions between the fronts and the backs, the command line's refusals.
#include <QTest>

#include "data/cardfile.h"
#include "datafiles.h"
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
            writeBytes(stocks + "/prova-templates.xml",
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
            const auto there = [&](const PdfLine& l) {
                return l.text == kClub && std::abs(l.left + l.right - 2 * at.center().x()) < 0.4 &&
                       std::abs(l.bottom - at.bottom() + 3) < 0.2;
            };
            QCOMPARE(std::count_if(backs.begin(), backs.end(), there), 1);
        }
    }

    // How the print ends, a part of its last word, and each job's sides (1 one side, S short
    // edge) and pages (U: Ugo's front, L: Lia's, C: a back), from the setup: A both sides by the
    // printer (FronteRetro; else by hand on Alfa), x the fronts fail, n the user says no. By hand,
    // the fronts came out before the question.
    void decidesWhatReachesThePrinter_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("jobs");
        const QString noBacks = "Il retro dei fogli non è stato stampato";
        const int printed = int(PrintEnd::Printed);
        // clang-format off
        QTest::newRow("by the printer, short edge") << "A" << printed << kPrintDoneText << "S:UCLC";
        QTest::newRow("by hand") << "" << printed << kPrintDoneText << "1:UL 1:CC";
        QTest::newRow("by hand, no answer") << "n" << int(PrintEnd::FrontsOnly) << noBacks << "1:UL";
        QTest::newRow("by hand, fronts failed") << "x" << int(PrintEnd::Failed) << noBacks << "1:";
        // clang-format on
    }
    void decidesWhatReachesThePrinter() {
        QFETCH(QString, setup);
        const QString printer = setup.contains('A') ? "FronteRetro" : "Alfa";
        CupsPrinterSystem printers;
        JobRequest request{printer, printers, 5000};
        request.duplex = {setup.contains('A'), TurnEdge::Short, false};
        Answers talk;
        talk.backs = !setup.contains('n');
        QList<QByteArray> printed;
        talk.whenAsked = [&] { printed << cups_.waitForJob(printer); };
        const int before = cups_.jobCount(printer);
        QVERIFY(!setup.contains('x') || cups_.failJobs(printer, "Carta inceppata"));
        // Two members' sheets with the club's line on the back.
        SheetOptions options;
        options.back = *backContent({{}, {kClub}, false, true}, false, TurnEdge::Long, {});
        std::optional<PageRun> run = readPageRun({{clubRecord("Ugo", "Neri", "6", "2"), "Ugo"},
                                                  {clubRecord("Lia", "Bassi", "6", "2"), "Lia"}},
                                                 talk, options);
        const PrintEnd end =
            printPagesOnPrinterHere(std::move(*run), request, pdfDocuments(), 20000, talk).end;
        QVERIFY(cups_.succeedJobs(printer));
        QTEST(int(end), "end");
        QFETCH(QString, told);
        QVERIFY2(talk.told.last().contains(told), qPrintable(talk.told.join('\n')));
        // The last job comes out once the print is done.
        if (end == PrintEnd::Printed) printed << cups_.waitForJob(printer);
        QStringList jobs;
        for (const QString& sides : cups_.jobAttributes(printer, "sides").mid(before)) {
            jobs << (sides == "one-sided" ? "1:" : sides == "two-sided-short-edge" ? "S:" : "L:");
            for (const QString& page :
                 PrivateCups::pdfText(printed.value(jobs.size() - 1)).split('\f'))
                jobs.last() += page.contains("Ugo Neri")    ? "U"
                               : page.contains("Lia Bassi") ? "L"
                               : page.contains(kClub)       ? "C"
                                                            : "";
        }
        QTEST(jobs.join(' '), "jobs");
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
