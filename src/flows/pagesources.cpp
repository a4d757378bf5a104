// Card files and member lists into the pages of a run.
#include "flows/pagesources.h"

#include <QFileInfo>

#include "core/linebreak.h"
#include "data/cardfile.h"
#include "data/memberlist.h"
#include "data/outputfile.h"

namespace quarzello {

namespace {

const QString kCardFileWhat = QStringLiteral("il file dei dati dei biglietti");
const QString kNothingOut = QStringLiteral("Non è stato scritto né inviato nessun foglio.");

// The grid a member's page takes when neither the command line nor the list gives one: the
// default data file's, else 6 rows and 2 columns.
CardRecord defaultGrid(const QString& dataFile, QStringList& warnings) {
    CardRecord grid;
    if (!QFileInfo::exists(dataFile)) return grid;
    const Result<QByteArray> bytes = readCardFileBytes(dataFile);
    if (!bytes) {
        warnings << QStringLiteral("Attenzione: ") + bytes.error() + CR +
                        QStringLiteral(
                            "Dove l'elenco non dà la griglia, valgono 6 righe e 2 "
                            "colonne.");
        return grid;
    }
    const CardRecord read = recordFromLines(cardLinesOf(*bytes), CardRecord{});
    if (!read.rows.isEmpty()) grid.rows = read.rows;
    if (!read.columns.isEmpty()) grid.columns = read.columns;
    return grid;
}

Result<void> addMembers(const PageSources& sources, const QString& defaultDataFile,
                        AssembledPages& run) {
    run.inputs << RunInput{sources.memberList, QStringLiteral("l'elenco dei soci")};
    const Result<MemberList> list = readMemberList(sources.memberList);
    if (!list) return list.failure();
    run.warnings << list->warnings;
    const CardRecord fallback = defaultGrid(defaultDataFile, run.warnings);
    run.pages.reserve(list->members.size());
    for (const Member& member : list->members) {
        if (member.record.hasNoText()) {
            run.warnings << QStringLiteral(
                                "La riga %1 dell'elenco non ha nessun dato da stampare: "
                                "il suo foglio %2.")
                                .arg(member.line)
                                .arg(sources.onStock ? QStringLiteral("è saltato")
                                                     : QStringLiteral("ha solo i segni di taglio"));
            if (sources.onStock) continue;
        }
        SheetPage page{
            member.record,
            QStringLiteral("la riga %1 dell'elenco (%2)").arg(member.line).arg(member.name())};
        CardRecord& record = page.record;
        record.rows = sources.rows            ? *sources.rows
                      : record.rows.isEmpty() ? fallback.rows
                                              : record.rows;
        record.columns = sources.columns            ? *sources.columns
                         : record.columns.isEmpty() ? fallback.columns
                                                    : record.columns;
        run.pages.push_back(std::move(page));
    }
    return {};
}

Result<void> addCardFiles(const PageSources& sources, const QString& defaultDataFile,
                          AssembledPages& run) {
    const QStringList files =
        sources.cardFiles.isEmpty() ? QStringList{defaultDataFile} : sources.cardFiles;
    const bool named = files.size() > 1;
    for (const QString& path : files) {
        run.inputs << RunInput{path, kCardFileWhat};
        SheetPage page{CardRecord{}, named ? QStringLiteral("il file ") + path : QString()};
        // The test sheet without the default data file: an empty card's, of 6 rows and 2 columns.
        if (!sources.testSheet || !sources.cardFiles.isEmpty() || QFileInfo::exists(path)) {
            const Result<QByteArray> bytes = readCardFileBytes(path);
            if (!bytes) return Failure{named ? bytes.error() + CR + kNothingOut : bytes.error()};
            // A file's own grid as it stands: an empty one is refused.
            page.record = recordFromLines(cardLinesOf(*bytes), CardRecord{});
        }
        if (sources.rows) page.record.rows = *sources.rows;
        if (sources.columns) page.record.columns = *sources.columns;
        run.pages.push_back(std::move(page));
    }
    return {};
}

}  // namespace

Result<AssembledPages> assemblePages(const PageSources& sources, const QString& defaultDataFile) {
    AssembledPages run;
    const Result<void> added = sources.memberList.isEmpty()
                                   ? addCardFiles(sources, defaultDataFile, run)
                                   : addMembers(sources, defaultDataFile, run);
    if (!added) return added.failure();
    if (run.pages.empty())
        return Failure{QStringLiteral("Nessun socio dell'elenco ha dati da stampare.") + CR +
                       kNothingOut};
    // The default data file is the user's whole record: no output ever takes its place, whether
    // or not this run reads it.
    run.inputs << RunInput{defaultDataFile, kCardFileWhat};
    return run;
}

Result<QString> outputTarget(const QString& path, bool toStandardOutput,
                             const QList<RunInput>& inputs) {
    const QString target = toStandardOutput ? QStringLiteral("/dev/stdout") : path;
    for (const RunInput& input : inputs) {
        if (isSameFile(input.path, target))
            return Failure{QStringLiteral("Il PDF non può essere scritto %1: è %2 %3, che andrebbe "
                                          "perso.")
                               .arg(toStandardOutput ? QStringLiteral("sullo standard output")
                                                     : QStringLiteral("nel file ") + target,
                                    input.what, input.path)};
    }
    return target;
}

}  // namespace quarzello
