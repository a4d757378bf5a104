// Where a run's pages come from, for the command line: card files or a member list read whole,
// each page's grid chosen by the order of precedence, and the files the run reads, which its
// output may never replace.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/result.h"
#include "flows/printpages.h"

namespace quarzello {

struct PageSources {
    QStringList cardFiles;           // absolute, a page each in order; none: the default data file
    QString memberList;              // absolute; a page per member; empty when none
    std::optional<QString> rows;     // in place of every page's own
    std::optional<QString> columns;  // in place of every page's own
    // The test sheet needs no card data: without the default data file it is an empty card's.
    bool testSheet = false;
    // On a product a member with nothing to print has no page; on plain A4, only cut marks.
    bool onStock = false;
};

// A file the run reads, and what it is to the user ("il file dei dati dei biglietti").
struct RunInput {
    QString path;
    QString what;
};

struct AssembledPages {
    std::vector<SheetPage> pages;
    // Every file the run reads, and the default data file always.
    QList<RunInput> inputs;
    // Warnings to tell before anything else, in the order they arose.
    QStringList warnings;
};

// Reads every page before anything is drawn. One card file (or the default data file) gives one
// page with no name, as the window's sheet; several, or a member list, give named pages. A
// member's grid is `rows`/`columns` when given, else the member's own, else the default data
// file's, else 6 rows of 2. A file that cannot be read stops the run.
Result<AssembledPages> assemblePages(const PageSources& sources, const QString& defaultDataFile);

// The output's path as given (a file, or "/dev/stdout" for standard output), or the failure
// when it leads to one of the files the run reads, whatever name leads there.
Result<QString> outputTarget(const QString& path, bool toStandardOutput,
                             const QList<RunInput>& inputs);

}  // namespace quarzello
