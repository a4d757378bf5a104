// The catalogue of pre-cut card stock: the label makers' template files read into the products
// this program can print on (A4 business cards of one rectangular card size), with a warning for
// every file or template left out.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/cardstock.h"
#include "core/result.h"

namespace quarzello {

struct StockCatalogue {
    std::vector<CardStock> stocks;    // by name, case ignored
    QStringList warnings;             // in the order they arose, each naming its file
    QHash<QString, QString> leftOut;  // the warning about a product left out, by its name's key
};

// A template file larger than this is skipped unread: no catalogue file comes near it.
inline constexpr qint64 kMaxTemplateFileBytes = 4 * 1024 * 1024;

// Where the templates are looked for: the system's folders, then the user's own (a product the
// user drew there replaces the system's of the same name).
QStringList stockFolders();

// Reads every template file (*-templates.xml, *.template) of the folders that exist, in a time
// bounded by the files' size whatever they hold. A file that is not a regular file or cannot be
// read or parsed is skipped with one warning; a product that cannot be printed on (figures that
// are not lengths, cards off the page, overlapping, too small, too many, a margin that leaves no
// room, an `equiv` that leads nowhere, no brand or part, a name another brand's reads as) is
// left out with one warning.
StockCatalogue readStockCatalogue(const QStringList& folders);

// "Avery C32011-10 — 2 × 5, 85 × 54 mm": the product as the lists show it.
QString stockLabel(const CardStock& stock);

// The warning about the product of that name when it was left out; empty otherwise.
QString whyLeftOut(const StockCatalogue& catalogue, const QString& name);

// The product of that name ("avery c32011-10": case and runs of spaces ignored), or nothing.
const CardStock* findStock(const StockCatalogue& catalogue, const QString& name);

// The names nearest to a name that is not in the catalogue, nearest first (at most `count`).
QStringList closestStocks(const StockCatalogue& catalogue, const QString& name, int count = 3);

}  // namespace quarzello
