// Pre-cut stock: reading the whole installed catalogue against reading the same files' bytes
// alone; and a print job on Avery C32011-10 against the plain 4 x 8 sheet's.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "benchmarks.h"
#include "data/stockcatalogue.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "samples.h"
#include "sheetdrawing.h"

using namespace quarzello;

namespace {

// Every template file the catalogue reads, read whole and nothing more.
std::size_t readBytesOnly(const QStringList& folders) {
    std::size_t bytes = 0;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(
                 {QStringLiteral("*-templates.xml"), QStringLiteral("*.template")}, QDir::Files)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly)) bytes += std::size_t(file.readAll().size());
        }
    }
    return bytes;
}

// One sheet of the crowded record into a PDF in memory, on the paper the options give.
void printSheet(const SheetOptions& options) {
    PdfSurface surface(QStringLiteral("bench"));
    const CardRecord record = crowdedRecord(4, 8);
    if (const Result<void> drawn = drawSheet(surface, record, options); !drawn) fail(drawn.error());
    if (surface.document().isEmpty()) fail(QStringLiteral("an empty document"));
}

}  // namespace

void benchStock(const RunCounts& counts, std::vector<ResultRow>& rows) {
    const QStringList folders = stockFolders();
    StockCatalogue catalogue;
    Series reading, bytesOnly;
    interleave(
        1, counts.printJobs,
        [&] { return timeMs([&] { catalogue = readStockCatalogue(folders); }); },
        [&] { return timeMs([&] { readBytesOnly(folders); }); }, reading, bytesOnly);
    const CardStock* stock = findStock(catalogue, QStringLiteral("Avery C32011-10"));
    if (!stock) fail(QStringLiteral("Avery C32011-10 is not installed (glabels-data)"));
    printSeries(QStringLiteral("catalogue read (%1 products)").arg(catalogue.stocks.size()),
                reading, "ms");
    printSeries(QStringLiteral("its files' bytes read"), bytesOnly, "ms");
    rows.push_back(ratioRow(QStringLiteral("Catalogue read, all installed files"), reading.median(),
                            bytesOnly.median(), "ms", 2, 0));

    SheetOptions onStock;
    onStock.stock = std::make_shared<const CardStock>(*stock);
    Series stockJob, plainJob;
    interleave(
        2, counts.printJobs, [&] { return timeMs([&] { printSheet(onStock); }); },
        [&] { return timeMs([&] { printSheet({}); }); }, stockJob, plainJob);
    printSeries(QStringLiteral("print job on C32011-10"), stockJob, "ms");
    printSeries(QStringLiteral("print job, plain 4 x 8"), plainJob, "ms");
    // Ten cards against thirty-two: a product's job must cost no more than the plain sheet's.
    rows.push_back(ratioRow(QStringLiteral("Print job on C32011-10 / plain 4 x 8"),
                            stockJob.median(), plainJob.median(), "ms", 1, 1.0));
}
