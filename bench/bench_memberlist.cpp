// The whole club in one run: a member list of 200 crowded records, read and checked, then drawn
// page after page into one PDF document in memory, per member, against the print job's own time
// for one sheet of the same record (the floor: one sheet planned, drawn and made a PDF).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "benchmarks.h"
#include "benchsupport.h"
#include "data/memberlist.h"
#include "datafiles.h"
#include "flows/printpages.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "print/vcard.h"
#include "samples.h"
#include "sheetdrawing.h"

using namespace quarzello;

namespace {

constexpr int kMembers = 200;

// Tells nothing: the run is timed, not read.
class Silent final : public PrintConversation {
  public:
    bool printShortened(const QStringList&) override { return true; }
    MarginReply printOutsideMargins(const QString&, const MarginLoss&, const PrintableArea&,
                                    std::optional<MarginChoice>) override {
        return {MarginChoice::PrintAsIs, false};
    }
    bool sendToStoppedPrinter(const QString&, const QString&) override { return true; }
    bool printWithoutQr(const QString&, const QString& notFit,
                        const std::function<QString()>&) override {
        ::fail(notFit);
        return false;
    }
    void fail(const QString& text) override { ::fail(text); }
    void done(const QString&) override {}
    void pageShortened(const QString&, const QStringList&) override {}
};

QByteArray memberListOf(const CardRecord& record) {
    QByteArray csv =
        "Titolo;Nome;Cognome;Incarico;Indirizzo;CAP;Citta;Telefono;Cellulare;"
        "Email;Sito;Righe;Colonne\r\n";
    for (int i = 1; i <= kMembers; ++i) {
        CardRecord member = record;
        member.fields[FirstName] += QString::number(i);
        QStringList values(member.fields.begin(), member.fields.end());
        values << member.rows << member.columns;
        // Quoted as a spreadsheet quotes a field that holds the separator.
        for (QString& value : values)
            value = '"' + value.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + '"';
        csv += values.join(';').toUtf8() + "\r\n";
    }
    return csv;
}

// The list printed into one PDF, as the command line does.
void printList(const QString& list, const SheetOptions& options = {}) {
    const Result<MemberList> members = readMemberList(list);
    if (!members) fail(members.error());
    std::vector<SheetPage> pages;
    for (const Member& member : members->members) {
        // A contact gives no grid: 6 rows of 2, as the command line's without a data file.
        SheetPage page{member.record, member.name()};
        if (page.record.rows.isEmpty()) page.record.rows = CardRecord{}.rows;
        if (page.record.columns.isEmpty()) page.record.columns = CardRecord{}.columns;
        pages.push_back(std::move(page));
    }
    Silent talk;
    const std::optional<PageRun> run = readPageRun(std::move(pages), talk, options);
    if (!run || !pdfOfPages(*run, QStringLiteral("banco di prova"), pdfDocuments(), talk))
        fail(QStringLiteral("the list did not print"));
}

// Time and the process's peak memory (reset before each run) to print a list.
std::pair<double, double> costOf(const QString& list) {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        fail(QStringLiteral("cannot reset the peak memory"));
    reset.close();
    const double ms = timeMs([&] { printList(list); });
    return {ms, double(peakResidentKiB()) / 1024.0};
}

// Three members, one of them with a role of 16 MiB, against the same three with ordinary roles.
void benchHugeField(const RunCounts& counts, std::vector<ResultRow>& rows, const QDir& dir) {
    std::printf(
        "\nMember list with one 16 MiB field, against the same list with ordinary fields\n");
    // Every member names the grid: no default data file is read in a benchmark.
    const QByteArray head =
        "Righe;Colonne;Nome;Cognome;Incarico\r\n6;2;Ugo;Neri;Socio\r\n6;2;Lia;Bassi;";
    const QString ordinary = dir.filePath(QStringLiteral("ordinari.csv"));
    const QString huge = dir.filePath(QStringLiteral("enorme.csv"));
    if (!datafiles::writeBytes(ordinary, head + "Tesoriere\r\n6;2;Eva;Bruni;Socio\r\n") ||
        !datafiles::writeBytes(
            huge, head + QByteArray(kMaxMemberListSize - 100, 'x') + "\r\n6;2;Eva;Bruni;Socio\r\n"))
        fail(QStringLiteral("no list file"));
    Series time, timeFloor, memory, memoryFloor;
    for (int i = 0; i < counts.memberLists; ++i) {
        const auto [floorMs, floorMiB] = costOf(ordinary);
        const auto [ms, mib] = costOf(huge);
        timeFloor.runs.push_back(floorMs);
        time.runs.push_back(ms);
        memoryFloor.runs.push_back(floorMiB);
        memory.runs.push_back(mib);
    }
    printSeries(QStringLiteral("one 16 MiB field"), time, QStringLiteral("ms"));
    printSeries(QStringLiteral("ordinary fields"), timeFloor, QStringLiteral("ms"));
    rows.push_back(ratioRow(QStringLiteral("list with a 16 MiB field vs ordinary, time"),
                            time.median(), timeFloor.median(), QStringLiteral("ms"), 2, 2));
    rows.push_back(ratioRow(QStringLiteral("list with a 16 MiB field vs ordinary, peak memory"),
                            memory.median(), memoryFloor.median(), QStringLiteral("MiB"), 1, 2));
}

// The same 200 members as an address book's vCard file (the cards' own vCards, one a member)
// against the CSV list: reading alone, and the whole print per member.
void benchVCardList(const RunCounts& counts, std::vector<ResultRow>& rows, const QDir& dir) {
    std::printf("\nThe %d members as a vCard file, against the same as CSV\n", kMembers);
    const CardRecord record = readmeRecord(2, 6);
    const QString csv = dir.filePath(QStringLiteral("stessi.csv"));
    const QString vcf = dir.filePath(QStringLiteral("stessi.vcf"));
    QByteArray contacts;
    for (int i = 1; i <= kMembers; ++i) {
        CardRecord member = record;
        member.fields[FirstName] += QString::number(i);
        contacts += cardVCard(member).toUtf8();
    }
    if (!datafiles::writeBytes(csv, memberListOf(record)) || !datafiles::writeBytes(vcf, contacts))
        fail(QStringLiteral("no list file"));
    const auto read = [](const QString& list) {
        return timeMs([&] {
            if (const Result<MemberList> members = readMemberList(list); !members)
                fail(members.error());
        });
    };
    Series reading, readingFloor, printing, printingFloor;
    interleave(
        3, counts.memberLists * 5, [&] { return read(vcf); }, [&] { return read(csv); }, reading,
        readingFloor);
    interleave(
        1, counts.memberLists, [&] { return timeMs([&] { printList(vcf); }) / kMembers; },
        [&] { return timeMs([&] { printList(csv); }) / kMembers; }, printing, printingFloor);
    printSeries(QStringLiteral("vCard file read"), reading, QStringLiteral("ms"));
    printSeries(QStringLiteral("CSV list read"), readingFloor, QStringLiteral("ms"));
    printSeries(QStringLiteral("vCard file printed, per member"), printing, QStringLiteral("ms"));
    printSeries(QStringLiteral("CSV list printed, per member"), printingFloor,
                QStringLiteral("ms"));
    rows.push_back(ratioRow(QStringLiteral("200 contacts read, vCard vs CSV"), reading.median(),
                            readingFloor.median(), QStringLiteral("ms"), 2, 1.5));
    rows.push_back(ratioRow(QStringLiteral("200 contacts printed, vCard vs CSV, per member"),
                            printing.median(), printingFloor.median(), QStringLiteral("ms"), 2,
                            1.1));
}

}  // namespace

void benchMemberList(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nMember list (%d crowded records, 4 x 8, into one PDF document)\n", kMembers);
    const CardRecord record = crowdedRecord(4, 8);
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("soci.csv"));
    if (!datafiles::writeBytes(list, memberListOf(record))) fail(QStringLiteral("no list file"));

    Series value, floor;
    qsizetype bytes = 0;
    interleave(
        1, counts.memberLists,
        [&] {
            return timeMs([&] {
                       const Result<MemberList> members = readMemberList(list);
                       if (!members) fail(members.error());
                       std::vector<SheetPage> pages;
                       for (const Member& member : members->members)
                           pages.push_back({member.record, member.name()});
                       Silent talk;
                       const std::optional<PageRun> run = readPageRun(std::move(pages), talk);
                       const std::optional<QByteArray> pdf =
                           run ? pdfOfPages(*run, QStringLiteral("banco di prova"), pdfDocuments(),
                                            talk)
                               : std::nullopt;
                       if (!pdf) fail(QStringLiteral("the list did not print"));
                       bytes = pdf->size();
                   }) /
                   kMembers;
        },
        [&] {
            return timeMs([&] {
                PdfSurface surface(QStringLiteral("banco di prova"));
                if (!drawSheet(surface, record)) fail(QStringLiteral("no sheet"));
            });
        },
        value, floor);
    printSeries(QStringLiteral("member list, per member"), value, QStringLiteral("ms"));
    printSeries(QStringLiteral("print job, one sheet"), floor, QStringLiteral("ms"));
    std::printf("  PDF of %d pages: %lld bytes\n", kMembers, static_cast<long long>(bytes));
    rows.push_back(ratioRow(QStringLiteral("member list to one PDF, per member, vs one sheet"),
                            value.median(), floor.median(), QStringLiteral("ms"), 2, 1.2));
    benchHugeField(counts, rows, QDir(dir.path()));
    benchVCardList(counts, rows, QDir(dir.path()));
}

// The same 200 members, 2 x 6, with each member's own QR code against without: the code's
// cost per member, encoding included.
void benchListWithQr(const RunCounts& counts, std::vector<ResultRow>& rows) {
    std::printf("\nMember list (%d README cards, 2 x 6) with a QR code, against without\n",
                kMembers);
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("qr.csv"));
    if (!datafiles::writeBytes(list, memberListOf(readmeRecord(2, 6))))
        fail(QStringLiteral("no list file"));
    SheetOptions withQr;
    withQr.qrCode = true;
    Series withCode, without;
    interleave(
        1, counts.memberLists, [&] { return timeMs([&] { printList(list, withQr); }) / kMembers; },
        [&] { return timeMs([&] { printList(list); }) / kMembers; }, withCode, without);
    printSeries(QStringLiteral("with a QR code, per member"), withCode, QStringLiteral("ms"));
    printSeries(QStringLiteral("without, per member"), without, QStringLiteral("ms"));
    rows.push_back(ratioRow(QStringLiteral("member list 2 x 6 with QR vs without, per member"),
                            withCode.median(), without.median(), QStringLiteral("ms"), 2, 1.5));
}
