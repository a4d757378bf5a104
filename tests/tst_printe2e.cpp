// Printing from end to end: the real window, the real printer list and a private CUPS scheduler
// whose queues write every job to a file. The sheet that the queue received is read back with
// poppler's tools and held against the grid arithmetic, worked out here on its own; failures
// (a refused grid, a queue that refuses jobs, a printer that has gone) must reach no queue and
// leave the program answering.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/setup.h"
#include "datafiles.h"
#include "flows/printflow.h"
#include "pdfbox.h"
#include "printers/cupsprintersystem.h"
#include "privatecups.h"
#include "samples.h"
#include "scriptedprompts.h"
#include "window/frmquarzello.h"
#include "windowfixture.h"

using namespace quarzello;

namespace {

constexpr double kMmPerPt = 25.4 / 72.0;
constexpr double kTolerance = 0.2;  // mm
constexpr int kDpi = 300;

const QString kAlfa = QStringLiteral("Alfa");
const QString kZeta = QStringLiteral("Zeta");
const QString kPdf = QStringLiteral("Salva come PDF…");
const QString kTitle = QStringLiteral("Quarzello del Camperista");

const QString kShortFirstName = QStringLiteral("Ugo");
const QString kShortSurname = QStringLiteral("Neri");
const QString kLongFirstName = QStringLiteral("Massimiliano");
const QString kLongSurname = QStringLiteral("Bartolomei Ferraris");

// One line the card must show, with the style it is printed in.
struct ExpectedLine {
    QString text;
    bool large, bold, italic;
};

// The card of clubRecord(), written out by hand: one name line or two, then the rest.
QList<ExpectedLine> expectedCard(const QString& firstName, const QString& surname, bool split) {
    QList<ExpectedLine> lines;
    if (split) {
        lines << ExpectedLine{QStringLiteral("Dott. ") + firstName, true, true, false}
              << ExpectedLine{surname, true, true, false};
    } else {
        lines << ExpectedLine{QStringLiteral("Dott. %1 %2").arg(firstName, surname), true, true,
                              false};
    }
    lines << ExpectedLine{QStringLiteral("Presidente del Club"), false, false, false}
          << ExpectedLine{QStringLiteral("Via Garibaldi 12"), false, false, true}
          << ExpectedLine{QStringLiteral("20121 Milano (MI)"), false, true, false}
          << ExpectedLine{QStringLiteral("Tel.: 02 7654321"), false, false, false}
          << ExpectedLine{QStringLiteral("Cell.: +39 333 1234567"), false, false, false}
          << ExpectedLine{QStringLiteral("e-mail: mario.rossi@esempio.it"), false, false, true}
          << ExpectedLine{QStringLiteral("segreteria@club.it"), false, false, true}
          << ExpectedLine{QStringLiteral("Internet: www.club-camper.it"), false, false, true};
    return lines;
}

// The sheet's arithmetic for A4 (11906 x 16838 twips) in a grid of C columns and R rows.
struct HandGrid {
    int C, R;
    double P = 11906 / 56.6857142;
    double Q = 16838 / 56.6868687;
    double W, H, m;
    HandGrid(int columns, int rows) : C(columns), R(rows) {
        W = P / C;
        H = (Q - 5) / R;
        m = C == 1 ? 40 : C == 2 ? 15 : C == 3 ? 7 : C == 4 ? 5 : 0;
    }
    double rightEnd(int k) const { return k * W + W - m - 3; }
    double bottom(int i, int j, int n) const { return i * H + 10 + j * (H - 10) / n; }
};

}  // namespace

class PrintEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listShowsAlfaAboveZetaWithNothingSelected();
    void sheetOnTheQueueMatchesTheGrid_data();
    void sheetOnTheQueueMatchesTheGrid();
    void laterPrintWithNothingSelectedGoesToTheChosenPrinter();
    void refusedGridReachesNoQueue_data();
    void refusedGridReachesNoQueue();
    void unavailablePrinterIsToldAndNothingPrints_data();
    void unavailablePrinterIsToldAndNothingPrints();
    void pdfFromThePanelIsTheSheetOnThePrinter();
    void shortenedLinesAreAskedAbout_data();
    void shortenedLinesAreAskedAbout();
    void stoppedPrinterIsAskedAbout_data();
    void stoppedPrinterIsAskedAbout();
    void failedJobIsToldWhileTheWindowAnswers();
    void silentServiceIsToldWhileTheWindowAnswers_data();
    void silentServiceIsToldWhileTheWindowAnswers();
    void fullTemporaryFolderStillSendsTheWholeSheet();
    void otherCommandsWaitForThePrint_data();
    void otherCommandsWaitForThePrint();
    void givingUpEndsTheWaitAtOnce_data();
    void givingUpEndsTheWaitAtOnce();

  private:
    template <typename T>
    T* child(const QString& name) const {
        T* widget = window_->findChild<T*>(name);
        if (!widget) qFatal("no widget named %s", qPrintable(name));
        return widget;
    }
    // The main print button, then (when a name is given) a click on that printer in the list.
    void openPanelAndPick(const QString& printer);
    void pressPanelPrint();
    // The whole print through the window, then the job as the queue received it. Checks that the
    // end-of-printing message came once, only after the scheduler had the job, and that no other
    // queue got anything.
    QByteArray printThroughWindow(const QString& pick, const QString& expectedQueue);
    void typeInto(QLineEdit* box, const QString& text);
    void checkEndMessageOnlyWhenPrinted(bool printed);
    void checkSheet(const QByteArray& pdf, const HandGrid& grid, const QList<ExpectedLine>& card);

    PrivateCups cups_;
    CupsPrinterSystem printers_;
    // Where the window's calls on the service run: a test waits for them to end.
    QThreadPool pool_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedPrompts> prompts_;
    std::unique_ptr<frmQuarzello> window_;
    // Puts Alfa back, installed and accepting jobs, after a test took it away.
    bool restoreAlfa();
    void openWindow(const ServiceTimings& timings);

    int jobsWhenEndShown_ = -1;
    bool alfaTakenAway_ = false;
    QString queueOfEndMessage_;
    double worstRight_ = 0, worstBottom_ = 0;
};

void PrintEndToEndTest::initTestCase() {
    // The scheduler must be ours before anything in this process asks for a printer.
    QVERIFY2(cups_.start(), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(kZeta), qPrintable(cups_.errorString()));
    QVERIFY2(cups_.addPrinter(kAlfa), qPrintable(cups_.errorString()));
    // A default that is not Alfa: a print that lost the user's choice would show up on Zeta.
    QVERIFY2(cups_.setDefault(kZeta), qPrintable(cups_.errorString()));
}

void PrintEndToEndTest::init() {
    // Each test starts the program afresh, as the user would.
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    prompts_ = std::make_unique<ScriptedPrompts>();
    setUpProcess(folder_->path());
    openWindow(ServiceTimings{});
    prompts_->onMessage = [this](const MessageRequest& request) {
        if (request.text == QStringLiteral("Stampa conclusa"))
            jobsWhenEndShown_ = cups_.jobCount(queueOfEndMessage_);
    };
    jobsWhenEndShown_ = -1;
}

void PrintEndToEndTest::openWindow(const ServiceTimings& timings) {
    window_ = std::make_unique<frmQuarzello>(folder_->path(), decideDataLocation(folder_->path()),
                                             *prompts_, printers_,
                                             PrintSettings{timings, pdfDocuments(), &pool_});
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    prompts_->messages.clear();  // the first-run greeting
}

bool PrintEndToEndTest::restoreAlfa() {
    if (!alfaTakenAway_) return true;
    alfaTakenAway_ = false;
    Deadline deadline(30000);
    const Result<PrinterList> list = printers_.listPrinters(deadline);
    const bool there = (list && list->names.contains(kAlfa)) || cups_.addPrinter(kAlfa);
    if (!there || !cups_.acceptJobs(kAlfa)) {
        qWarning("Alfa cannot be restored: %s", qPrintable(cups_.errorString()));
        return false;
    }
    return true;
}

void PrintEndToEndTest::cleanup() {
    // A test that failed half-way still leaves Alfa installed and open for the next one.
    restoreAlfa();
    window_.reset();
    prompts_.reset();
    folder_.reset();
}

void PrintEndToEndTest::openPanelAndPick(const QString& printer) {
    QWidget* panel = child<QWidget>(QStringLiteral("frmPrinter"));
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdStampa")), Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
    if (printer.isEmpty()) return;
    QListWidget* list = child<QListWidget>(QStringLiteral("lstStampanti"));
    QVERIFY2(pickPrinter(list, printer), qPrintable(entries(list).join(u',')));
}

void PrintEndToEndTest::pressPanelPrint() {
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_0")), Qt::LeftButton);
    QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
}

void PrintEndToEndTest::typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void PrintEndToEndTest::checkEndMessageOnlyWhenPrinted(bool printed) {
    int ends = 0;
    for (const MessageRequest& m : prompts_->messages) {
        if (m.text != QStringLiteral("Stampa conclusa")) continue;
        ++ends;
        QCOMPARE(m.title, QStringLiteral("Fine stampa"));
        QCOMPARE(m.icon, PromptIcon::Information);
        QCOMPARE(m.buttons, PromptButtons::Ok);
    }
    QCOMPARE(ends, printed ? 1 : 0);
}

QByteArray PrintEndToEndTest::printThroughWindow(const QString& pick,
                                                 const QString& expectedQueue) {
    const QString other = expectedQueue == kAlfa ? kZeta : kAlfa;
    const int before = cups_.jobCount(expectedQueue);
    const int otherBefore = cups_.jobCount(other);
    [&] {
        QVERIFY(before >= 0 && otherBefore >= 0);
        prompts_->messages.clear();
        queueOfEndMessage_ = expectedQueue;
        jobsWhenEndShown_ = -1;
        openPanelAndPick(pick);
        if (QTest::currentTestFailed()) return;
        pressPanelPrint();
        QVERIFY2(prompts_->messages.size() == 1, qPrintable(prompts_->texts().join(u'|')));
        checkEndMessageOnlyWhenPrinted(true);
        // The scheduler had the job when the user was told it was done.
        QCOMPARE(jobsWhenEndShown_, before + 1);
        QCOMPARE(cups_.jobCount(expectedQueue), before + 1);
        QCOMPARE(cups_.jobCount(other), otherBefore);
    }();
    if (QTest::currentTestFailed()) return QByteArray();
    const QByteArray job = cups_.waitForJob(expectedQueue);
    if (job.isEmpty()) QTest::qFail(qPrintable(cups_.errorString()), __FILE__, __LINE__);
    return job;
}

void PrintEndToEndTest::listShowsAlfaAboveZetaWithNothingSelected() {
    QListWidget* list = child<QListWidget>(QStringLiteral("lstStampanti"));
    QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
    openPanelAndPick(QString());
    // What the user sees. CUPS itself hands its queues over in name order, whatever order they
    // were added in, so the list's own sorting shows only with a fixed list (tst_printpanel).
    QCOMPARE(entries(list), QStringList({kAlfa, kZeta, kPdf}));
    QVERIFY(list->selectedItems().isEmpty());
    // Current, not selected, the system's default: a print goes there, the keyboard starts there.
    QCOMPARE(list->currentItem()->text(), kZeta);

    // Hidden with a choice made and shown again: filled afresh, nothing selected.
    openPanelAndPick(kZeta);
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_1")), Qt::LeftButton);
    QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
    openPanelAndPick(QString());
    QCOMPARE(entries(list), QStringList({kAlfa, kZeta, kPdf}));
    QVERIFY(list->selectedItems().isEmpty());
    QVERIFY(prompts_->messages.isEmpty());
}

void PrintEndToEndTest::sheetOnTheQueueMatchesTheGrid_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("longName");
    QTest::newRow("1x1, name on one line") << 1 << 1 << false;
    QTest::newRow("2x6, name split") << 2 << 6 << true;
    QTest::newRow("3x5, name on one line") << 3 << 5 << false;
    QTest::newRow("4x8, name split") << 4 << 8 << true;
    QTest::newRow("4x8, name on one line") << 4 << 8 << false;
}

void PrintEndToEndTest::sheetOnTheQueueMatchesTheGrid() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(bool, longName);
    const QString firstName = longName ? kLongFirstName : kShortFirstName;
    const QString surname = longName ? kLongSurname : kShortSurname;

    // The name is split when it is wider than 40 mm in Times new roman, 12 points: make sure the
    // names are well to either side of the limit.
    const double nameWidth = faceTextWidthMm(QStringLiteral("Liberation Serif"), 12,
                                             QStringLiteral("Dott. %1 %2").arg(firstName, surname));
    QVERIFY2(longName ? nameWidth > 45 : nameWidth < 35, qPrintable(QString::number(nameWidth)));

    window_->setRecord(
        clubRecord(firstName, surname, QString::number(rows), QString::number(columns)));
    const QByteArray pdf = printThroughWindow(kAlfa, kAlfa);
    if (QTest::currentTestFailed()) return;
    checkSheet(pdf, HandGrid(columns, rows), expectedCard(firstName, surname, longName));
    qInfo("largest deviation so far: right end %.4f mm, box bottom %.4f mm", worstRight_,
          worstBottom_);
}

void PrintEndToEndTest::checkSheet(const QByteArray& pdf, const HandGrid& g,
                                   const QList<ExpectedLine>& card) {
    QVERIFY(pdf.startsWith("%PDF-"));
    // One page only.
    QCOMPARE(PrivateCups::pdfText(pdf).count(QChar(u'\f')), qsizetype(1));

    QString error;
    const QList<PdfWord> words = pdfWords(pdf, &error);
    QVERIFY2(!words.isEmpty(), qPrintable(error));
    const QList<PdfLine> lines = pdfLines(words, g.W);
    const int n = int(card.size());
    if (lines.size() != g.C * g.R * n) {
        QStringList found;
        for (const PdfLine& line : lines)
            found << QStringLiteral("%1 @%2: %3").arg(line.column).arg(line.bottom).arg(line.text);
        QFAIL(qPrintable(QStringLiteral("%1 lines, expected %2:\n%3")
                             .arg(lines.size())
                             .arg(g.C * g.R * n)
                             .arg(found.join(u'\n'))));
    }

    const double large = 12 - std::floor(g.R / 2.0);
    const double small = large - 2;
    for (int k = 0; k < g.C; ++k) {
        for (int i = 0; i < g.R; ++i) {
            for (int j = 0; j < n; ++j) {
                // pdfLines sorts by column, then top to bottom: card (i, k) line j.
                const PdfLine& line = lines[(k * g.R + i) * n + j];
                const QString where = QStringLiteral("card row %1 column %2 line %3 \"%4\"")
                                          .arg(i)
                                          .arg(k)
                                          .arg(j)
                                          .arg(line.text);
                QCOMPARE(line.column, k);
                QVERIFY2(line.text == card[j].text,
                         qPrintable(where + " expected " + card[j].text));

                const double right = std::abs(line.right - g.rightEnd(k));
                const double bottom = std::abs(line.bottom - g.bottom(i, j, n));
                worstRight_ = std::max(worstRight_, right);
                worstBottom_ = std::max(worstBottom_, bottom);
                QVERIFY2(right <= kTolerance, qPrintable(QStringLiteral("%1 ends at %2, not %3")
                                                             .arg(where)
                                                             .arg(line.right)
                                                             .arg(g.rightEnd(k))));
                QVERIFY2(bottom <= kTolerance,
                         qPrintable(QStringLiteral("%1 box bottom at %2, not %3")
                                        .arg(where)
                                        .arg(line.bottom)
                                        .arg(g.bottom(i, j, n))));
                // The box is one line of the Arial stand-in at the size for this many rows.
                const double height =
                    faceLineHeightMm(QStringLiteral("Liberation Sans"), card[j].bold,
                                     card[j].italic, card[j].large ? large : small);
                QVERIFY2(std::abs((line.bottom - line.top) - height) < 0.05,
                         qPrintable(QStringLiteral("%1 is %2 mm high, not %3")
                                        .arg(where)
                                        .arg(line.bottom - line.top)
                                        .arg(height)));
            }
        }
    }

    // The cut marks, on the page as it would come out of a printer.
    PdfRaster page;
    QVERIFY2(page.load(pdf, kDpi, &error), qPrintable(error));
    QVERIFY(std::abs(page.width() - std::lround(210 / 25.4 * kDpi)) <= 1);
    QVERIFY(std::abs(page.height() - std::lround(297 / 25.4 * kDpi)) <= 1);
    auto dark = [&](double x, double y) { return page.darkest(x, y) < 128; };
    auto white = [&](double x, double y) { return page.darkest(x, y) > 200; };
    auto at = [](const char* what, double x, double y) {
        return QStringLiteral("%1 at (%2, %3) mm").arg(QLatin1String(what)).arg(x).arg(y);
    };

    // A 2 mm cross on every inner grid point, and nothing along the card edges between them.
    for (int i = 1; i < g.R; ++i) {
        for (int k = 1; k < g.C; ++k) {
            const double x = k * g.W, y = i * g.H;
            QVERIFY2(dark(x - 0.7, y) && dark(x + 0.7, y) && dark(x, y - 0.7) && dark(x, y + 0.7),
                     qPrintable(at("cross", x, y)));
            QVERIFY2(white(x - 1.5, y) && white(x + 1.5, y) && white(x, y - 1.5) &&
                         white(x, y + 1.5) && white(x + 0.6, y + 0.6),
                     qPrintable(at("cross no larger than 2 mm", x, y)));
            QVERIFY2(white(x, y + g.H / 2) && white(x + g.W / 2, y),
                     qPrintable(at("no cut line along the edges from", x, y)));
        }
    }
    // Two 1 mm ticks on every row's lower edge, the last row's included.
    for (int i = 1; i <= g.R; ++i) {
        const double y = i * g.H;
        QVERIFY2(dark(g.m + 0.5, y) && white(g.m - 0.6, y) && white(g.m + 1.6, y),
                 qPrintable(at("left tick", g.m, y)));
        QVERIFY2(dark(g.P - g.m - 1.5, y) && white(g.P - g.m - 2.6, y) && white(g.P - g.m - 0.4, y),
                 qPrintable(at("right tick", g.P - g.m - 2, y)));
    }
    // Nothing at all along the top edge of the sheet (the first lines begin 5 mm lower) nor
    // below the last row's ticks; no cross on the bottom edge or on the outer edges.
    QVERIFY2(page.darkestIn(0, 0, g.P, 4) > 200, "marks on the top edge of the sheet");
    QVERIFY2(page.darkestIn(0, g.R * g.H + 0.3, g.P, g.Q + 5) > 200, "marks below the last row");
    for (int k = 1; k < g.C; ++k)
        QVERIFY2(white(k * g.W, g.R * g.H), qPrintable(at("bottom edge", k * g.W, g.R * g.H)));
    for (int i = 1; i < g.R; ++i) {
        QVERIFY2(white(0.5, i * g.H) && white(g.P - 0.5, i * g.H),
                 qPrintable(at("outer edge", 0, i * g.H)));
    }
}

void PrintEndToEndTest::laterPrintWithNothingSelectedGoesToTheChosenPrinter() {
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    // Before any choice, nothing selected: the system's default.
    QByteArray job = printThroughWindow(QString(), kZeta);
    if (QTest::currentTestFailed()) return;
    QVERIFY(PrivateCups::pdfText(job).contains(QStringLiteral("Dott. Ugo Neri")));

    job = printThroughWindow(kAlfa, kAlfa);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window_->currentPrinter(), kAlfa);

    // The panel again, nothing selected: Alfa once more, not the default.
    typeInto(child<QLineEdit>(QStringLiteral("txtCampo_3")), QStringLiteral("Tesoriere"));
    openPanelAndPick(QString());
    QVERIFY(child<QListWidget>(QStringLiteral("lstStampanti"))->selectedItems().isEmpty());
    prompts_->messages.clear();
    const int alfa = cups_.jobCount(kAlfa);
    const int zeta = cups_.jobCount(kZeta);
    queueOfEndMessage_ = kAlfa;
    pressPanelPrint();
    checkEndMessageOnlyWhenPrinted(true);
    QCOMPARE(jobsWhenEndShown_, alfa + 1);
    QCOMPARE(cups_.jobCount(kAlfa), alfa + 1);
    QCOMPARE(cups_.jobCount(kZeta), zeta);
    job = cups_.waitForJob(kAlfa);
    QVERIFY2(!job.isEmpty(), qPrintable(cups_.errorString()));
    QVERIFY(PrivateCups::pdfText(job).contains(QStringLiteral("Tesoriere")));
}

void PrintEndToEndTest::refusedGridReachesNoQueue_data() {
    QTest::addColumn<QString>("rowsText");
    QTest::addColumn<QString>("columnsText");
    QTest::addColumn<QString>("message");
    const QChar cr(13);
    const QString columnsRefused =
        QStringLiteral("Colonne per pagina: il valore \"%1\" non è valido.") + cr +
        QStringLiteral("Indicare un numero intero da 1 a 21.");
    const QString rowsRefused = QStringLiteral("Righe per pagina: il valore \"%1\" non è valido.") +
                                cr + QStringLiteral("Indicare un numero intero da 1 a 19.");
    QTest::newRow("columns abc") << "6"
                                 << "abc" << columnsRefused.arg("abc");
    QTest::newRow("rows 20") << "20"
                             << "2" << rowsRefused.arg("20");
    QTest::newRow("columns empty") << "6"
                                   << "" << columnsRefused.arg("");
    QTest::newRow("rows 0 and columns 22")
        << "0"
        << "22" << columnsRefused.arg("22") + cr + rowsRefused.arg("0");
}

void PrintEndToEndTest::refusedGridReachesNoQueue() {
    QFETCH(QString, rowsText);
    QFETCH(QString, columnsText);
    QFETCH(QString, message);
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    // Typed into the grid lists, as the user would.
    QComboBox* cmbRighe = child<QComboBox>(QStringLiteral("cmbRighe"));
    QComboBox* cmbColonne = child<QComboBox>(QStringLiteral("cmbColonne"));
    typeInto(cmbRighe->lineEdit(), rowsText);
    typeInto(cmbColonne->lineEdit(), columnsText);
    QCOMPARE(window_->record().rows, rowsText);
    QCOMPARE(window_->record().columns, columnsText);

    const int alfa = cups_.jobCount(kAlfa);
    const int zeta = cups_.jobCount(kZeta);
    QVERIFY(alfa >= 0 && zeta >= 0);
    openPanelAndPick(kAlfa);
    pressPanelPrint();
    QCOMPARE(prompts_->messages.size(), qsizetype(1));
    const MessageRequest& shown = prompts_->messages.first();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, kTitle);
    QCOMPARE(shown.icon, PromptIcon::Warning);
    checkEndMessageOnlyWhenPrinted(false);
    QCOMPARE(cups_.jobCount(kAlfa), alfa);
    QCOMPARE(cups_.jobCount(kZeta), zeta);

    // Still answering: a field takes typing, and a good grid prints.
    QLineEdit* role = child<QLineEdit>(QStringLiteral("txtCampo_3"));
    typeInto(role, QStringLiteral("Tesoriere"));
    QCOMPARE(window_->record().fields[Role], QStringLiteral("Tesoriere"));
    typeInto(cmbRighe->lineEdit(), QStringLiteral("3"));
    typeInto(cmbColonne->lineEdit(), QStringLiteral("1"));
    const QByteArray job = printThroughWindow(kAlfa, kAlfa);
    if (QTest::currentTestFailed()) return;
    const QString text = PrivateCups::pdfText(job);
    QCOMPARE(text.count(QStringLiteral("Tesoriere")), 3);
}

void PrintEndToEndTest::unavailablePrinterIsToldAndNothingPrints_data() {
    QTest::addColumn<bool>("remove");
    QTest::addColumn<bool>("whileDrawing");
    QTest::addColumn<QString>("message");
    const QString refuses =
        QStringLiteral("La stampante Alfa non accetta stampe: il lavoro è stato rifiutato.");
    const QString gone =
        QStringLiteral("La stampante Alfa non è più disponibile: il lavoro non è stato stampato.");
    QTest::newRow("refuses jobs, closed after it was picked") << false << false << refuses;
    QTest::newRow("removed after it was picked") << true << false << gone;
    // The program has checked the printer and begun the sheet when the queue goes.
    QTest::newRow("refuses jobs, closed while the sheet is drawn") << false << true << refuses;
    QTest::newRow("removed while the sheet is drawn") << true << true << gone;
}

void PrintEndToEndTest::unavailablePrinterIsToldAndNothingPrints() {
    QFETCH(bool, remove);
    QFETCH(bool, whileDrawing);
    QFETCH(QString, message);
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    const int zeta = cups_.jobCount(kZeta);
    const int alfa = cups_.jobCount(kAlfa);
    QVERIFY(zeta >= 0 && alfa >= 0);

    auto takeAlfaAway = [&] {
        alfaTakenAway_ = true;
        return remove ? cups_.removePrinter(kAlfa) : cups_.rejectJobs(kAlfa);
    };
    openPanelAndPick(kAlfa);
    bool tookAway = false;
    bool duringThePrint = false;
    if (whileDrawing) {
        // Runs when the print job lets pending events through, after the panel has gone and
        // the printer was found fit to print.
        QMetaObject::invokeMethod(
            this,
            [&] {
                duringThePrint = child<QWidget>(QStringLiteral("frmPrinter"))->isHidden() &&
                                 prompts_->messages.isEmpty();
                tookAway = takeAlfaAway();
            },
            Qt::QueuedConnection);
    } else {
        tookAway = takeAlfaAway();
    }
    pressPanelPrint();
    // Had the print let no events through, the call must still run while its captures live.
    QCoreApplication::processEvents();
    QVERIFY2(tookAway, qPrintable(cups_.errorString()));
    if (whileDrawing) QVERIFY(duringThePrint);

    QCOMPARE(prompts_->texts(), QStringList({message}));
    QCOMPARE(prompts_->messages.first().title, kTitle);
    QCOMPARE(prompts_->messages.first().icon, PromptIcon::Warning);
    checkEndMessageOnlyWhenPrinted(false);
    // Nothing went to the default printer in its place, nor to Alfa.
    QCOMPARE(cups_.jobCount(kZeta), zeta);
    if (remove) {
        QCOMPARE(entries(child<QListWidget>(QStringLiteral("lstStampanti"))).count(kAlfa), 1);
        QVERIFY(!QFileInfo::exists(cups_.capturePath(kAlfa)));
    } else {
        QCOMPARE(cups_.jobCount(kAlfa), alfa);
    }

    // Still answering: typing, and the list shows what is installed now.
    typeInto(child<QLineEdit>(QStringLiteral("txtCampo_3")), QStringLiteral("Tesoriere"));
    QCOMPARE(window_->record().fields[Role], QStringLiteral("Tesoriere"));
    openPanelAndPick(QString());
    QCOMPARE(entries(child<QListWidget>(QStringLiteral("lstStampanti"))),
             remove ? QStringList({kZeta, kPdf}) : QStringList({kAlfa, kZeta, kPdf}));
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_1")), Qt::LeftButton);
    QCOMPARE(prompts_->messages.size(), qsizetype(1));

    // Alfa back as it was, and the same window prints on it.
    QVERIFY(restoreAlfa());
    const QByteArray job = printThroughWindow(kAlfa, kAlfa);
    if (QTest::currentTestFailed()) return;
    QVERIFY(PrivateCups::pdfText(job).contains(QStringLiteral("Tesoriere")));
}

void PrintEndToEndTest::pdfFromThePanelIsTheSheetOnThePrinter() {
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    const QByteArray job = printThroughWindow(kAlfa, kAlfa);
    if (QTest::currentTestFailed()) return;

    const QString file = folder_->filePath(QStringLiteral("foglio.pdf"));
    prompts_->files = {file};
    prompts_->answers = {PromptAnswer::No};  // not opened now
    openPanelAndPick(kPdf);
    pressPanelPrint();
    QCOMPARE(prompts_->messages.last().title, QStringLiteral("Fine stampa"));
    const QList<PdfLine> onPaper = pdfLines(pdfWords(job), 105);
    const QList<PdfLine> inFile = pdfLines(pdfWords(datafiles::readBytes(file)), 105);
    QCOMPARE(inFile.size(), onPaper.size());
    for (qsizetype i = 0; i < onPaper.size(); ++i) {
        QCOMPARE(inFile[i].text, onPaper[i].text);
        QVERIFY(std::abs(inFile[i].left - onPaper[i].left) < 0.01 &&
                std::abs(inFile[i].right - onPaper[i].right) < 0.01 &&
                std::abs(inFile[i].bottom - onPaper[i].bottom) < 0.01);
    }
    QCOMPARE(window_->currentPrinter(), kAlfa);  // a PDF leaves the current printer alone
}

void PrintEndToEndTest::shortenedLinesAreAskedAbout_data() {
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("readMs");  // 0: answered No at once; else Yes after that long
    QTest::newRow("fits on 1 x 1") << "1"
                                   << "1" << 0;
    QTest::newRow("cut short on 4 x 8") << "4"
                                        << "8" << 0;
    // Read for longer than the whole budget of the print: the question's time is not charged.
    QTest::newRow("cut short, read at length") << "4"
                                               << "8" << 1500;
}

void PrintEndToEndTest::shortenedLinesAreAskedAbout() {
    QFETCH(QString, columns);
    QFETCH(QString, rows);
    QFETCH(int, readMs);
    if (readMs > 0) {
        openWindow(ServiceTimings{1000});
        prompts_->onMessage = [readMs](const MessageRequest& asked) {
            if (asked.text.startsWith(QStringLiteral("Queste righe"))) QTest::qWait(readMs);
        };
        prompts_->answers = {PromptAnswer::Yes};
    }
    CardRecord card = clubRecord(kShortFirstName, kShortSurname, rows, columns);
    card.fields[Role] = QStringLiteral("Presidente del Club dei Camperisti di Milano e provincia");
    window_->setRecord(card);
    if (columns == "1") {
        QVERIFY(!printThroughWindow(kAlfa, kAlfa).isEmpty());
        return;
    }
    const int before = cups_.jobCount(kAlfa);
    if (readMs == 0) prompts_->answers = {PromptAnswer::No};
    openPanelAndPick(kAlfa);
    pressPanelPrint();
    QCOMPARE(cups_.jobCount(kAlfa), before + int(readMs > 0));
    QCOMPARE(prompts_->messages.size(), qsizetype(readMs > 0 ? 2 : 1));
    QCOMPARE(prompts_->texts().last() == QStringLiteral("Stampa conclusa"), readMs > 0);
    const MessageRequest& asked = prompts_->messages.first();
    QVERIFY2(asked.text.startsWith(QStringLiteral("Queste righe non entrano nel biglietto e "
                                                  "saranno accorciate:\rPresidente del Club")) &&
                 asked.text.endsWith(QStringLiteral("…\r\rStampare comunque?")),
             qPrintable(asked.text));
    QCOMPARE(asked.defaultButton, PromptAnswer::Yes);
}

void PrintEndToEndTest::stoppedPrinterIsAskedAbout_data() {
    QTest::addColumn<PromptAnswer>("answer");
    QTest::newRow("no: nothing sent") << PromptAnswer::No;
    QTest::newRow("yes: waits in the queue") << PromptAnswer::Yes;
}

void PrintEndToEndTest::stoppedPrinterIsAskedAbout() {
    QFETCH(PromptAnswer, answer);
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    QVERIFY2(cups_.stopPrinter(kAlfa, QStringLiteral("Manutenzione")),
             qPrintable(cups_.errorString()));
    alfaTakenAway_ = true;
    const int before = cups_.jobCount(kAlfa);
    prompts_->answers = {answer};
    openPanelAndPick(kAlfa);
    pressPanelPrint();
    const MessageRequest& asked = prompts_->messages.first();
    QVERIFY2(asked.text.startsWith(QStringLiteral("La stampante Alfa è ferma")) &&
                 asked.text.contains(QStringLiteral("Manutenzione")),
             qPrintable(asked.text));
    QCOMPARE(asked.defaultButton, PromptAnswer::No);
    QCOMPARE(cups_.jobCount(kAlfa), before + (answer == PromptAnswer::Yes ? 1 : 0));
    QCOMPARE(prompts_->texts().mid(1), answer == PromptAnswer::Yes
                                           ? QStringList{waitingInStoppedQueueText(kAlfa)}
                                           : QStringList{});
    checkEndMessageOnlyWhenPrinted(false);
    QVERIFY(cups_.restartPrinter(kAlfa));
    if (answer == PromptAnswer::Yes) QVERIFY(!cups_.waitForJob(kAlfa).isEmpty());
}

void PrintEndToEndTest::failedJobIsToldWhileTheWindowAnswers() {
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    QVERIFY(cups_.failJobs(kAlfa, QStringLiteral("Carta inceppata")));
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    prompts_->onMessage = [&](const MessageRequest&) { tick.stop(); };
    openPanelAndPick(kAlfa);
    tick.start(5);
    pressPanelPrint();
    QVERIFY(cups_.succeedJobs(kAlfa));
    QVERIFY2(ticks > 0, "the window did not answer while the job was followed");
    QCOMPARE(prompts_->messages.size(), qsizetype(1));
    QVERIFY2(prompts_->texts().first().contains(QStringLiteral("Alfa")) &&
                 prompts_->texts().first().contains(QStringLiteral("Carta inceppata")),
             qPrintable(prompts_->texts().first()));
    checkEndMessageOnlyWhenPrinted(false);
}

void PrintEndToEndTest::silentServiceIsToldWhileTheWindowAnswers_data() {
    QTest::addColumn<bool>("whilePrinting");
    QTest::newRow("filling the list") << false;
    QTest::newRow("printing") << true;
}

void PrintEndToEndTest::silentServiceIsToldWhileTheWindowAnswers() {
    QFETCH(bool, whilePrinting);
    openWindow(ServiceTimings{1500});
    const auto restore = qScopeGuard([this] { cups_.thaw(); });
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    if (whilePrinting) openPanelAndPick(kAlfa);
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(5);
    QVERIFY(cups_.freeze());
    if (whilePrinting)
        pressPanelPrint();
    else
        QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdStampa")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
    QVERIFY2(ticks > 10, "the window did not answer while the service was silent");
    QCOMPARE(prompts_->messages.size(), qsizetype(1));
    const QString told = prompts_->texts().first();
    QVERIFY2(told.startsWith(QStringLiteral("Il servizio di stampa non risponde")) &&
                 told.contains(whilePrinting ? kAlfa : QStringLiteral("elenco")),
             qPrintable(told));
    if (!whilePrinting) QCOMPARE(entries(child<QListWidget>("lstStampanti")).last(), kPdf);
}

void PrintEndToEndTest::fullTemporaryFolderStillSendsTheWholeSheet() {
    datafiles::FullDisk disk(folder_->filePath(QStringLiteral("tmp")));
    if (!disk.failure().isEmpty()) QSKIP(qPrintable(disk.failure()));
    QVERIFY(disk.fill());
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(folder_->filePath(QStringLiteral("tmp"))));
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    const QByteArray job = printThroughWindow(kAlfa, kAlfa);
    qputenv("TMPDIR", tmpdir);
    // Told done only with the whole document on the queue.
    QVERIFY(job.trimmed().endsWith("%%EOF"));
    QCOMPARE(PrivateCups::pdfText(job).count(QStringLiteral("Dott. Ugo Neri")), qsizetype(12));
}

void PrintEndToEndTest::otherCommandsWaitForThePrint_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Esci") << int(Qt::Key_E);
    QTest::newRow("Salva") << int(Qt::Key_L);
    QTest::newRow("Carica") << int(Qt::Key_C);
    QTest::newRow("Stampa") << int(Qt::Key_S);
}

void PrintEndToEndTest::otherCommandsWaitForThePrint() {
    QFETCH(int, key);
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    const int before = cups_.jobCount(kAlfa);
    openPanelAndPick(kAlfa);
    QVERIFY(cups_.freeze());
    auto thaw = qScopeGuard([this] { cups_.thaw(); });
    QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdSelStampante_0")), Qt::LeftButton);
    QTest::keyClick(window_.get(), Qt::Key(key), Qt::AltModifier);
    // An access key presses its button and clicks it a moment later: that click must fall
    // within the print too, so the scheduler stays frozen until it has come.
    const QList<QPushButton*> buttons = window_->findChildren<QPushButton*>();
    QTRY_VERIFY(std::none_of(buttons.begin(), buttons.end(),
                             [](const QPushButton* button) { return button->isDown(); }));
    // The command is refused as the key is handled: the print goes on, nothing is asked.
    QVERIFY(window_->commandUnderWay());
    QVERIFY2(prompts_->messages.isEmpty() && prompts_->dialogs.isEmpty(),
             qPrintable(prompts_->texts().join(u'|')));
    QVERIFY(cups_.thaw());
    QTRY_VERIFY_WITH_TIMEOUT(!window_->commandUnderWay(), 20000);
    QVERIFY2(prompts_->texts() == QStringList{QStringLiteral("Stampa conclusa")},
             qPrintable(prompts_->texts().join(u'|')));
    QCOMPARE(cups_.jobCount(kAlfa), before + 1);
    QVERIFY(window_->isVisible());
}

void PrintEndToEndTest::givingUpEndsTheWaitAtOnce_data() {
    QTest::addColumn<bool>("closing");
    QTest::newRow("Escape while the list is filled") << false;
    QTest::newRow("the close box during a print") << true;
}

void PrintEndToEndTest::givingUpEndsTheWaitAtOnce() {
    QFETCH(bool, closing);
    window_->setRecord(
        clubRecord(kShortFirstName, kShortSurname, QStringLiteral("6"), QStringLiteral("2")));
    if (closing) openPanelAndPick(kAlfa);
    QVERIFY(cups_.freeze());
    auto thaw = qScopeGuard([this] { cups_.thaw(); });
    QTest::mouseClick(child<QPushButton>(closing ? QStringLiteral("cmdSelStampante_0")
                                                 : QStringLiteral("cmdStampa")),
                      Qt::LeftButton);
    QVERIFY(window_->commandUnderWay());
    if (closing) {
        window_->close();
    } else {
        QTest::keyClick(child<QListWidget>(QStringLiteral("lstStampanti")), Qt::Key_Escape);
        QVERIFY(!window_->commandUnderWay());
        QVERIFY(child<QWidget>(QStringLiteral("frmPrinter"))->isHidden());
    }
    // The call on the service ends with the scheduler still frozen, long before its budget.
    QTRY_COMPARE_WITH_TIMEOUT(pool_.activeThreadCount(), 0, 5000);
    QCoreApplication::sendPostedEvents();  // what the finished call reported
    if (closing) window_.reset();
    QVERIFY(prompts_->messages.isEmpty());
}

QTEST_MAIN(PrintEndToEndTest)
#include "tst_printe2e.moc"
