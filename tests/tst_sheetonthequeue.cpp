// Printing from end to end, the sheet as the queue received it: the real window, the real printer
// list and a private CUPS scheduler whose queues write every job to a file. The sheet is read back
// with poppler's tools and held against the grid arithmetic, worked out here on its own; the PDF
// from the panel is the same sheet, and a full temporary folder still sends the whole of it.
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "cupswindowfixture.h"
#include "datafiles.h"
#include "pdfbox.h"
#include "samples.h"

using namespace quarzello;

namespace {

constexpr double kTolerance = 0.2;  // mm
constexpr int kDpi = 300;

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

class SheetOnTheQueueTest : public CupsWindowTest {
    Q_OBJECT

  private slots:
    void sheetOnTheQueueMatchesTheGrid_data();
    void sheetOnTheQueueMatchesTheGrid();
    void pdfFromThePanelIsTheSheetOnThePrinter();
    void fullTemporaryFolderStillSendsTheWholeSheet();

  private:
    void checkSheet(const QByteArray& pdf, const HandGrid& grid, const QList<ExpectedLine>& card);

    double worstRight_ = 0, worstBottom_ = 0;
};

void SheetOnTheQueueTest::sheetOnTheQueueMatchesTheGrid_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("longName");
    QTest::newRow("1x1, name on one line") << 1 << 1 << false;
    QTest::newRow("2x6, name split") << 2 << 6 << true;
    QTest::newRow("3x5, name on one line") << 3 << 5 << false;
    QTest::newRow("4x8, name split") << 4 << 8 << true;
    QTest::newRow("4x8, name on one line") << 4 << 8 << false;
}

void SheetOnTheQueueTest::sheetOnTheQueueMatchesTheGrid() {
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

void SheetOnTheQueueTest::checkSheet(const QByteArray& pdf, const HandGrid& g,
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

void SheetOnTheQueueTest::pdfFromThePanelIsTheSheetOnThePrinter() {
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

void SheetOnTheQueueTest::fullTemporaryFolderStillSendsTheWholeSheet() {
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

QTEST_MAIN(SheetOnTheQueueTest)
#include "tst_sheetonthequeue.moc"
