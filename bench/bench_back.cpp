// The back of the card: a 2 x 5 sheet printed on both sides (the front, then a back with a PNG
// emblem and three lines on every card) against the same sheet on one side, from the plan to
// the finished PDF in memory. The emblem's reading and decoding, once a print, is timed apart.
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

#include "benchmarks.h"
#include "print/backside.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "samples.h"

using namespace quarzello;

namespace {

// A club's emblem as a user would choose it: 600 × 600 pixels, colours and a transparent
// background.
QString writeEmblem(const QTemporaryDir& dir) {
    QImage picture(600, 600, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(20, 80, 160));
    painter.drawEllipse(20, 20, 560, 560);
    painter.setBrush(QColor(240, 200, 40));
    painter.drawRect(150, 250, 300, 120);
    painter.end();
    const QString path = dir.filePath(QStringLiteral("stemma.png"));
    if (!picture.save(path)) fail(QStringLiteral("the emblem could not be written"));
    return path;
}

void drawSide(PdfSurface& surface, const Result<SheetPlan>& plan) {
    if (!plan) fail(plan.error());
    if (const Result<void> drawn = drawPage(surface, *plan); !drawn) fail(drawn.error());
}

// The document's PDF, in bytes: the front alone, or the front and its back.
qsizetype printDocument(const CardRecord& record, const CardBack* back) {
    PdfSurface surface(QStringLiteral("bench"));
    SheetOptions options;
    const SheetPaper paper({2, 5});
    if (back) {
        const auto content = backContent(*back, false, TurnEdge::Long, {});
        if (!content) fail(content.error());
        options.back = *content;
    }
    drawSide(surface, planSheet(surface, record, paper, options));
    if (back) {
        if (const Result<void> ended = surface.endPage(); !ended) fail(ended.error());
        drawSide(surface, planBack(surface, record, paper, options));
    }
    if (const Result<void> ended = surface.endDoc(); !ended) fail(ended.error());
    return surface.document().size();
}

}  // namespace

void benchBack(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nTwo-sided (2 x 5 sheet, a back with a 600 x 600 PNG emblem and three lines)\n");
    const QTemporaryDir dir;
    CardBack back;
    back.emblem = writeEmblem(dir);
    back.lines = QStringList{QStringLiteral("Camper Club Roma"), QStringLiteral("dal 1987"),
                             QStringLiteral("www.camperclubroma.it")};
    const CardRecord record = readmeRecord(2, 5);
    CardBack linesOnly = back;
    linesOnly.emblem.clear();
    Series twoSided, oneSided, decoding, withoutEmblem, nothing;
    qsizetype bytesTwo = 0, bytesOne = 0;
    interleave(
        2, counts.printJobs,
        [&] { return timeMs([&] { bytesTwo = printDocument(record, &back); }); },
        [&] { return timeMs([&] { bytesOne = printDocument(record, nullptr); }); }, twoSided,
        oneSided);
    // The same back without its emblem: what a back page costs by itself.
    interleave(
        0, counts.printJobs, [&] { return timeMs([&] { printDocument(record, &linesOnly); }); },
        [] { return 0.0; }, withoutEmblem, nothing);
    interleave(
        2, counts.printJobs, [&] { return timeMs([&] { (void)loadEmblem(back.emblem); }); },
        [] { return 0.0; }, decoding, nothing);
    printSeries(QStringLiteral("front and back"), twoSided, "ms");
    printSeries(QStringLiteral("front only"), oneSided, "ms");
    printSeries(QStringLiteral("the emblem read and decoded"), decoding, "ms");
    printSeries(QStringLiteral("front and back without the emblem"), withoutEmblem, "ms");
    std::printf("  PDF: %lld bytes front and back, %lld front only\n",
                static_cast<long long>(bytesTwo), static_cast<long long>(bytesOne));
    rows.push_back(ratioRow(QStringLiteral("2 x 5 two-sided less decoding / one-sided"),
                            twoSided.median() - decoding.median(), oneSided.median(), "ms", 2,
                            1.3));
    rows.push_back(ratioRow(QStringLiteral("2 x 5 two-sided without emblem / one-sided"),
                            withoutEmblem.median(), oneSided.median(), "ms", 2, 0));
}
