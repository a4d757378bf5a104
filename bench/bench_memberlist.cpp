// The whole club in one run: a member list of 200 crowded records, read and checked, then drawn
// page after page into one PDF document in memory, per member, against the print job's own time
// for one sheet of the same record (the floor: one sheet planned, drawn and made a PDF).
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "benchmarks.h"
#include "benchsupport.h"
#include "data/memberlist.h"
#include "datafiles.h"
#include "flows/printpages.h"
#include "print/pdfsurface.h"
#include "print/sheet.h"
#include "samples.h"

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
                if (!StampaBiglietti(surface, record)) fail(QStringLiteral("no sheet"));
            });
        },
        value, floor);
    printSeries(QStringLiteral("member list, per member"), value, QStringLiteral("ms"));
    printSeries(QStringLiteral("print job, one sheet"), floor, QStringLiteral("ms"));
    std::printf("  PDF of %d pages: %lld bytes\n", kMembers, static_cast<long long>(bytes));
    rows.push_back(ratioRow(QStringLiteral("member list to one PDF, per member, vs one sheet"),
                            value.median(), floor.median(), QStringLiteral("ms"), 2, 1.2));
}
