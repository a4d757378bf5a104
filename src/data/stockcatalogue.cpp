// Reading the label makers' template files. Only what a business card needs is kept: the A4
// products of the business-card category with one rectangular card size; an `equiv` product
// shares the geometry of the one it names, which may sit in another file.
#include "data/stockcatalogue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/configfolder.h"

namespace quarzello {

namespace {

constexpr double kPageWidth = 210.0, kPageHeight = 297.0;
// The makers' figures are rounded (cards 153.07 pt high, 153 pt apart): less than this is taken
// as cards that touch, not as cards that overlap or leave the page.
constexpr double kSlackMm = 0.1;
// Deeper than any real template file; a file that nests further is refused, not followed.
constexpr int kMaxDepth = 16;
// More cards than any sheet of business cards: a figure beyond it is a broken file.
constexpr int kMaxCardsAcross = 100;
// The rows the paper list keeps for a product, all its blocks together.
constexpr int kMaxRows = 100;
// Far more cards than an A4 sheet of the smallest cards holds without overlapping.
constexpr int kMaxCards = 1000;
// A card smaller than this, either way, leaves no room for a line inside the least margin the
// print keeps (3 mm a side).
constexpr double kLeastCardMm = 10.0;
// Steps of `equiv` followed before giving up.
constexpr int kMaxEquivSteps = 4;
// The longest part of a name compared when suggesting the nearest names.
constexpr qsizetype kComparedLength = 64;

// A template as it stands in its file, before `equiv` is followed.
struct RawTemplate {
    QString file;
    CardStock stock;
    QString size;
    QString equiv;
    bool businessCard = false;
    int rectangles = 0;
    int otherShapes = 0;
    QString bad;  // why its figures cannot be read
};

QString fileNameOf(const QString& path) { return QDir::toNativeSeparators(path); }

// A length as the files write it: a number and a unit, a bare number in points.
std::optional<double> readLength(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)\s*(pt|mm|cm|in|pc)?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    bool isNumber = false;
    const double number = match.captured(1).toDouble(&isNumber);
    const QString unit = match.captured(2);
    const double scale = unit == QLatin1String("mm")   ? 1.0
                         : unit == QLatin1String("cm") ? 10.0
                         : unit == QLatin1String("in") ? 25.4
                         : unit == QLatin1String("pc") ? 25.4 / 6.0
                                                       : 25.4 / 72.0;
    // Beyond the range of a double, or made infinite by the unit: no length at all.
    if (!isNumber || !std::isfinite(number * scale)) return std::nullopt;
    return number * scale;
}

// Reads the named lengths of the element into `into`; the first that cannot be read is noted.
void readLengths(const QXmlStreamAttributes& attributes,
                 std::initializer_list<std::pair<const char*, double*>> wanted, QString& bad) {
    for (const auto& [name, into] : wanted) {
        const QString text = attributes.value(QLatin1String(name)).toString();
        const std::optional<double> length = readLength(text);
        if (length)
            *into = *length;
        else if (bad.isEmpty())
            bad = QStringLiteral("ha una misura che non si può leggere: %1=\"%2\"")
                      .arg(QLatin1String(name), text.left(40));
    }
}

void readLayout(const QXmlStreamAttributes& attributes, RawTemplate& raw) {
    StockLayout layout;
    bool nxRead = false, nyRead = false;
    layout.nx = attributes.value(QLatin1String("nx")).toInt(&nxRead);
    layout.ny = attributes.value(QLatin1String("ny")).toInt(&nyRead);
    readLengths(attributes,
                {{"x0", &layout.x0}, {"y0", &layout.y0}, {"dx", &layout.dx}, {"dy", &layout.dy}},
                raw.bad);
    if ((!nxRead || !nyRead || layout.nx < 1 || layout.ny < 1 || layout.nx > kMaxCardsAcross ||
         layout.ny > kMaxCardsAcross) &&
        raw.bad.isEmpty())
        raw.bad = QStringLiteral("ha un numero di biglietti che non si può leggere");
    raw.stock.layouts.push_back(layout);
}

// The templates of one file, or why the file cannot be read.
Result<std::vector<RawTemplate>> readTemplateFile(const QString& path) {
    // Opened without waiting (a FIFO would wait for a writer for ever), then looked at: only a
    // regular file is read, whatever its name leads to.
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0)
        return Failure{QStringLiteral("non può essere aperto (%1)").arg(qt_error_string(errno))};
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return Failure{file.errorString()};
    }
    struct stat status = {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode))
        return Failure{QStringLiteral("non è un file normale")};
    if (status.st_size > kMaxTemplateFileBytes)
        return Failure{QStringLiteral("è troppo grande per un file di modelli (%1 MB)")
                           .arg(status.st_size / (qint64(1024) * 1024))};
    // Read at most the limit, whatever the file grew to since it was measured.
    const QByteArray bytes = file.read(kMaxTemplateFileBytes + 1);
    if (bytes.size() > kMaxTemplateFileBytes)
        return Failure{QStringLiteral("è troppo grande per un file di modelli")};

    std::vector<RawTemplate> templates;
    QXmlStreamReader xml(bytes);
    int depth = 0;
    RawTemplate* current = nullptr;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (--depth == 1) current = nullptr;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        if (++depth > kMaxDepth) return Failure{QStringLiteral("è annidato troppo in profondità")};
        const QStringView name = xml.name();
        const QXmlStreamAttributes attributes = xml.attributes();
        if (depth == 1) {
            if (name != QLatin1String("Glabels-templates"))
                return Failure{QStringLiteral("non è un file di modelli di etichette")};
        } else if (depth == 2 && name == QLatin1String("Template")) {
            RawTemplate raw;
            raw.file = path;
            raw.stock.brand = attributes.value(QLatin1String("brand")).toString().simplified();
            raw.stock.part = attributes.value(QLatin1String("part")).toString().simplified();
            raw.size = attributes.value(QLatin1String("size")).toString();
            raw.equiv = attributes.value(QLatin1String("equiv")).toString().simplified();
            templates.push_back(std::move(raw));
            current = &templates.back();
        } else if (current && depth == 3 && name == QLatin1String("Meta")) {
            if (attributes.value(QLatin1String("category")) == QLatin1String("business-card"))
                current->businessCard = true;
        } else if (current && depth == 3 && name == QLatin1String("Label-rectangle")) {
            ++current->rectangles;
            readLengths(attributes,
                        {{"width", &current->stock.width}, {"height", &current->stock.height}},
                        current->bad);
        } else if (current && depth == 3 && name.startsWith(QLatin1String("Label-"))) {
            ++current->otherShapes;
        } else if (current && depth == 4 && name == QLatin1String("Markup-margin")) {
            readLengths(attributes, {{"size", &current->stock.markupMargin}}, current->bad);
        } else if (current && depth == 4 && name == QLatin1String("Layout")) {
            readLayout(attributes, *current);
        }
    }
    if (xml.hasError())
        return Failure{QStringLiteral("non è leggibile alla riga %1: %2")
                           .arg(xml.lineNumber())
                           .arg(xml.errorString())};
    return templates;
}

QString keyOf(const QString& brand, const QString& part) {
    return QString(brand + QLatin1Char(' ') + part).simplified().toCaseFolded();
}

// Why the cards of the product cannot be printed on, or nothing when they can. Bounded whatever
// the file holds: the cards are counted before any is placed, and the overlap is found by
// sweeping the cards sorted across the page.
QString wrongGeometry(const CardStock& stock) {
    if (stock.width <= 0 || stock.height <= 0) return QStringLiteral("ha biglietti senza misura");
    if (stock.width < kLeastCardMm || stock.height < kLeastCardMm)
        return QStringLiteral("ha biglietti troppo piccoli (meno di %1 mm)").arg(kLeastCardMm);
    if (stock.markupMargin * 2 >= std::min(stock.width, stock.height))
        return QStringLiteral("ha un margine interno che non lascia spazio al testo");
    if (stock.rows() > kMaxRows)
        return QStringLiteral("ha più di %1 righe di biglietti").arg(kMaxRows);
    if (stock.cardCount() > kMaxCards)
        return QStringLiteral("ha più di %1 biglietti").arg(kMaxCards);
    struct Box {
        double x, y;
    };
    std::vector<Box> cards;
    for (const StockLayout& layout : stock.layouts)
        for (int i = 0; i < layout.ny; ++i)
            for (int k = 0; k < layout.nx; ++k)
                cards.push_back({layout.x0 + k * layout.dx, layout.y0 + i * layout.dy});
    for (const Box& card : cards)
        if (!(card.x >= -kSlackMm && card.y >= -kSlackMm &&
              card.x + stock.width <= kPageWidth + kSlackMm &&
              card.y + stock.height <= kPageHeight + kSlackMm))
            return QStringLiteral("ha biglietti fuori dal foglio A4");
    std::sort(cards.begin(), cards.end(), [](const Box& a, const Box& b) { return a.x < b.x; });
    for (std::size_t a = 0; a < cards.size(); ++a)
        for (std::size_t b = a + 1;
             b < cards.size() && cards[b].x - cards[a].x < stock.width - kSlackMm; ++b)
            if (std::abs(cards[a].y - cards[b].y) < stock.height - kSlackMm)
                return QStringLiteral("ha biglietti che si sovrappongono");
    return {};
}

QString leftOut(const RawTemplate& raw, const QString& why) {
    return QStringLiteral("Il modello \"%1\" del file %2 %3: non è tra le carte.")
        .arg(raw.stock.brand + QLatin1Char(' ') + raw.stock.part, fileNameOf(raw.file), why);
}

QString millimetres(double length) {
    return QString::number(std::round(length * 10.0) / 10.0, 'g', 6)
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

int distance(const QString& whole, const QString& other) {
    // A name of any length costs no more than one of a few dozen letters.
    const QStringView a = QStringView(whole).left(kComparedLength);
    const QStringView b = QStringView(other).left(kComparedLength);
    std::vector<int> row(std::size_t(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j) row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[std::size_t(j)];
            row[std::size_t(j)] = std::min({above + 1, row[std::size_t(j - 1)] + 1,
                                            diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

}  // namespace

QStringList stockFolders() {
    const QString config = configFolder();
    return {QStringLiteral("/usr/share/libglabels-3.0/templates"),
            QStringLiteral("/usr/share/glabels-qt/templates"),
            config + QStringLiteral("/libglabels/templates")};
}

StockCatalogue readStockCatalogue(const QStringList& folders) {
    StockCatalogue catalogue;
    std::vector<RawTemplate> all;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList names =
            dir.entryList({QStringLiteral("*-templates.xml"), QStringLiteral("*.template")},
                          QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
        for (const QString& name : names) {
            const QString path = dir.filePath(name);
            Result<std::vector<RawTemplate>> read = readTemplateFile(path);
            if (!read) {
                catalogue.warnings << QStringLiteral("Il file dei modelli %1 è stato saltato: %2.")
                                          .arg(fileNameOf(path), read.error());
                continue;
            }
            for (RawTemplate& raw : *read) all.push_back(std::move(raw));
        }
    }

    // A later template of the same brand and part (the user's own) replaces an earlier one; two
    // that only read alike ("Evil Dup" "X", "Evil" "Dup X") are both left out.
    QHash<QString, std::size_t> byName;
    QSet<QString> alike;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const CardStock& stock = all[i].stock;
        if (stock.brand.isEmpty() || stock.part.isEmpty()) continue;
        const QString key = keyOf(stock.brand, stock.part);
        if (const auto earlier = byName.constFind(key);
            earlier != byName.cend() &&
            all[*earlier].stock.brand.toCaseFolded() != stock.brand.toCaseFolded())
            alike.insert(key);
        byName.insert(key, i);
    }

    QHash<QString, CardStock> taken;
    auto refuse = [&catalogue](const QString& key, const QString& warning) {
        catalogue.warnings << warning;
        catalogue.leftOut.insert(key, warning);
    };
    for (std::size_t index = 0; index < all.size(); ++index) {
        const RawTemplate& named = all[index];
        if (named.stock.brand.isEmpty() || named.stock.part.isEmpty()) {
            catalogue.warnings << QStringLiteral(
                                      "Un modello del file %1 non ha marca o codice: non è tra "
                                      "le carte.")
                                      .arg(fileNameOf(named.file));
            continue;
        }
        const QString key = keyOf(named.stock.brand, named.stock.part);
        if (alike.contains(key)) {
            // Told once, at the first of them.
            if (!catalogue.leftOut.contains(key))
                refuse(key, leftOut(named, QStringLiteral("ha lo stesso nome di un modello di "
                                                          "un'altra marca")));
            continue;
        }
        if (byName.value(key) != index) continue;
        // An equiv names a product of the same brand; a chain of them is followed a few steps.
        const RawTemplate* geometry = &named;
        std::vector<std::size_t> followed{index};
        QString broken;
        for (int step = 0; !geometry->equiv.isEmpty(); ++step) {
            const auto found = byName.constFind(keyOf(named.stock.brand, geometry->equiv));
            if (step == kMaxEquivSteps)
                broken = QStringLiteral("rimanda ad altri modelli per più di %1 passaggi")
                             .arg(kMaxEquivSteps);
            else if (found == byName.cend())
                broken = QStringLiteral(
                             "rimanda al modello \"%1\", che non c'è tra quelli di "
                             "%2")
                             .arg(geometry->equiv.left(80), named.stock.brand);
            else if (step == 0 && *found == index)
                broken = QStringLiteral("rimanda a sé stesso");
            else if (std::find(followed.begin(), followed.end(), *found) != followed.end())
                broken = QStringLiteral("rimanda ad altri modelli che si rimandano in cerchio");
            if (!broken.isEmpty()) break;
            followed.push_back(*found);
            geometry = &all[*found];
        }
        if (!broken.isEmpty()) {
            refuse(key, leftOut(named, broken));
            continue;
        }
        if (geometry->size != QLatin1String("A4") || !geometry->businessCard ||
            geometry->rectangles != 1 || geometry->otherShapes != 0 ||
            geometry->stock.layouts.empty())
            continue;
        if (!geometry->bad.isEmpty()) {
            refuse(key, leftOut(named, geometry->bad));
            continue;
        }
        if (const QString wrong = wrongGeometry(geometry->stock); !wrong.isEmpty()) {
            refuse(key, leftOut(named, wrong));
            continue;
        }
        CardStock stock = geometry->stock;
        stock.brand = named.stock.brand;
        stock.part = named.stock.part;
        taken.insert(key, stock);
    }
    QStringList keys = taken.keys();
    std::sort(keys.begin(), keys.end());
    for (const QString& key : keys) catalogue.stocks.push_back(taken.value(key));
    return catalogue;
}

QString stockLabel(const CardStock& stock) {
    QStringList grids;
    for (const StockLayout& layout : stock.layouts)
        grids << QStringLiteral("%1 × %2").arg(layout.nx).arg(layout.ny);
    return QStringLiteral("%1 — %2, %3 × %4 mm")
        .arg(stock.name(), grids.join(QStringLiteral(" + ")), millimetres(stock.width),
             millimetres(stock.height));
}

QString whyLeftOut(const StockCatalogue& catalogue, const QString& name) {
    return catalogue.leftOut.value(name.simplified().toCaseFolded());
}

const CardStock* findStock(const StockCatalogue& catalogue, const QString& name) {
    const QString wanted = name.simplified().toCaseFolded();
    for (const CardStock& stock : catalogue.stocks)
        if (keyOf(stock.brand, stock.part) == wanted) return &stock;
    return nullptr;
}

QStringList closestStocks(const StockCatalogue& catalogue, const QString& name, int count) {
    const QString wanted = name.simplified().toCaseFolded();
    std::vector<std::pair<int, QString>> ranked;
    for (const CardStock& stock : catalogue.stocks) {
        const QString key = keyOf(stock.brand, stock.part);
        // The part alone, typed without the brand, is as near as it gets.
        const int near =
            std::min(distance(wanted, key), distance(wanted, stock.part.toCaseFolded()));
        ranked.emplace_back(near, stock.name());
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList names;
    for (std::size_t i = 0; i < ranked.size() && int(i) < count; ++i) names << ranked[i].second;
    return names;
}

}  // namespace quarzello
