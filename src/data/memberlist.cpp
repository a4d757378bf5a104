// The member list's reader. A small one of our own rather than a CSV library: what a
// spreadsheet writes is a handful of rules (one separator, quotes, line ends), and the list also
// needs what no such library does for us: the code page guessed, each record's first line
// counted for messages, and the file's own limits.
#include "data/memberlist.h"

#include <algorithm>
#include <optional>

#include "data/cardfile.h"
#include "data/codepage.h"
#include "data/vcardlist.h"

namespace quarzello {

namespace {

const QString kListKind = QStringLiteral("un elenco dei soci");

// The columns a list may have, by their names as compared (see columnKey), and where each goes.
constexpr int kRowsColumn = kFieldCount;
constexpr int kColumnsColumn = kFieldCount + 1;
struct KnownColumn {
    const char* key;
    int target;
};
constexpr KnownColumn kKnownColumns[] = {
    {"titolo", Title},      {"nome", FirstName},        {"cognome", Surname},
    {"incarico", Role},     {"indirizzo", Street},      {"cap", Postcode},
    {"citta", Town},        {"telefono", Landline},     {"cellulare", Mobile},
    {"e-mail", Email},      {"email", Email},           {"sito", Website},
    {"righe", kRowsColumn}, {"colonne", kColumnsColumn}};

// A column's name as compared: no case, no spaces, no dots, no accents.
QString columnKey(const QString& name) {
    QString key;
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.isSpace() || c == QLatin1Char('.') || c.category() == QChar::Mark_NonSpacing)
            continue;
        key += c;
    }
    return key.toCaseFolded();
}

std::optional<int> columnTarget(const QString& name) {
    if (name.isEmpty()) return std::nullopt;  // a header can hold millions of these
    const QString key = columnKey(name);
    for (const KnownColumn& column : kKnownColumns)
        if (key == QLatin1String(column.key)) return column.target;
    return std::nullopt;
}

// The line (from 1) that the byte at `offset` stands on; CR LF, LF and a lone CR end a line.
int lineAt(const QByteArray& bytes, qsizetype offset) {
    int line = 1;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n' ||
            (bytes.at(i) == '\r' && (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n')))
            ++line;
    }
    return line;
}

// The length of the UTF-8 sequence that starts at i, or 0 when none valid does.
qsizetype utf8SequenceAt(const QByteArray& bytes, qsizetype i) {
    const uchar lead = uchar(bytes.at(i));
    const qsizetype length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 0;
    if (length == 0 || i + length > bytes.size()) return 0;
    return bytes.mid(i, length).isValidUtf8() ? length : 0;
}

// One record as cut from the text: its fields go one by one to the caller, who keeps what it
// needs, so that a row of a million empty fields costs nothing per field.
struct RawRecord {
    int line = 0;
    qsizetype fields = 0;
    bool holdsNothing = true;
    // How often each of ';', ',' and tab stood outside quotes without being the separator.
    int others[3] = {0, 0, 0};
};

const QChar kCandidates[3] = {QLatin1Char(';'), QLatin1Char(','), QLatin1Char('\t')};

// Cuts the text into records. Fails only on a quote never closed.
class Cutter {
  public:
    Cutter(const QString& text, QChar separator) : text_(text), separator_(separator) {}

    bool atEnd() const { return at_ >= text_.size(); }

    // The next record, each field handed to onField(index, QString&&); nothing when a quote
    // opened on `openedAt` is never closed.
    template <typename OnField>
    std::optional<RawRecord> next(int& openedAt, OnField&& onField) {
        RawRecord record;
        record.line = line_;
        QString field;
        bool quotedField = false;
        const auto endField = [&] {
            record.holdsNothing = record.holdsNothing && field.isEmpty();
            onField(record.fields++, std::move(field));
            field = QString();
            quotedField = false;
        };
        while (at_ < text_.size()) {
            const QChar c = text_.at(at_);
            if (c == QLatin1Char('"') && field.isEmpty() && !quotedField) {
                openedAt = line_;
                if (!readQuoted(field)) return std::nullopt;
                quotedField = true;
                continue;
            }
            if (c == separator_) {
                endField();
                ++at_;
                continue;
            }
            if (skipLineEnd()) break;
            for (int i = 0; i < 3; ++i) record.others[i] += c == kCandidates[i];
            field += c;
            ++at_;
        }
        endField();
        return record;
    }

  private:
    QChar charAt(qsizetype i) const { return i < text_.size() ? text_.at(i) : QChar(); }

    // At a line end: steps over it (CR LF as one) and counts it.
    bool skipLineEnd() {
        const QChar c = text_.at(at_);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) return false;
        at_ += (c == QLatin1Char('\r') && charAt(at_ + 1) == QLatin1Char('\n')) ? 2 : 1;
        ++line_;
        return true;
    }

    // From the opening quote to just past the closing one; a line break inside is one space.
    bool readQuoted(QString& field) {
        ++at_;
        while (at_ < text_.size()) {
            const QChar c = text_.at(at_);
            if (c == QLatin1Char('"')) {
                if (charAt(at_ + 1) != QLatin1Char('"')) {
                    ++at_;
                    return true;
                }
                field += c;
                at_ += 2;
            } else if (skipLineEnd()) {
                field += QLatin1Char(' ');
            } else {
                field += c;
                ++at_;
            }
        }
        return false;
    }

    const QString& text_;
    const QChar separator_;
    qsizetype at_ = 0;
    int line_ = 1;
};

// A separator as messages show it.
QString separatorName(QChar separator) {
    return separator == QLatin1Char('\t') ? QStringLiteral("la tabulazione")
                                          : QStringLiteral("«%1»").arg(separator);
}

// A row written with another separator than the first row's: it has none of the list's own
// outside quotes but does have another of ';', ',' and tab there, and the first row names more
// than one column. Quoted separators, and a row that simply has fewer fields, do not count.
std::optional<QChar> otherSeparator(const RawRecord& row, qsizetype headerColumns) {
    if (headerColumns < 2 || row.fields != 1) return std::nullopt;
    const int* most = std::max_element(std::begin(row.others), std::end(row.others));
    if (*most == 0) return std::nullopt;
    return kCandidates[most - std::begin(row.others)];
}

// The unknown columns as the warning lists them: the first few by name, then how many more.
constexpr int kListedColumns = 12;

// The separator the first row uses outside quotes: the most used of ';', ',' and tab.
QChar separatorOf(const QString& text) {
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (quoted) continue;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) break;
        semicolons += c == QLatin1Char(';');
        commas += c == QLatin1Char(',');
        tabs += c == QLatin1Char('\t');
    }
    if (commas > semicolons && commas >= tabs) return QLatin1Char(',');
    if (tabs > semicolons && tabs > commas) return QLatin1Char('\t');
    return QLatin1Char(';');
}

}  // namespace

QString Member::name() const {
    const QString name = QString(record.fields[FirstName].trimmed() + QLatin1Char(' ') +
                                 record.fields[Surname].trimmed())
                             .trimmed();
    if (name.isEmpty()) return QStringLiteral("senza nome");
    // A field of megabytes would fill the terminal with every message about its member.
    constexpr qsizetype kLongestName = 80;
    if (name.size() > kLongestName)
        return name.left(name.at(kLongestName - 1).isHighSurrogate() ? kLongestName - 1
                                                                     : kLongestName) +
               QStringLiteral("…");
    return name;
}

Result<QString> memberListText(const QByteArray& bytes, const QString& path) {
    // Without its mark, UTF-16 shows in a first character of plain ASCII next to a NUL.
    const auto ascii = [&bytes](qsizetype i) { return bytes.at(i) >= 0x20 && bytes.at(i) < 0x7f; };
    const bool utf16 =
        bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff") ||
        (bytes.size() >= 2 && ((bytes.at(0) == 0 && ascii(1)) || (ascii(0) && bytes.at(1) == 0)));
    if (utf16)
        return Failure{QStringLiteral("Il file %1 è scritto in UTF-16, che l'elenco dei soci non "
                                      "usa: dal foglio di calcolo, salvarlo come \"CSV UTF-8\".")
                           .arg(path)};
    if (bytes.contains('\0'))
        return Failure{
            QStringLiteral("Il file %1 non è %2: contiene dati binari.").arg(path, kListKind)};
    // A view, not a copy: the list can be large.
    QByteArrayView text(bytes);
    if (text.startsWith("\xef\xbb\xbf")) text = text.sliced(3);
    if (text.isValidUtf8()) return QString::fromUtf8(text);

    // Windows-1252 holds no valid multi-byte sequence; a file with both was made of two.
    qsizetype firstBad = -1;
    bool multiByte = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (uchar(bytes.at(i)) < 0x80) continue;
        if (const qsizetype length = utf8SequenceAt(bytes, i); length > 0) {
            multiByte = true;
            i += length - 1;
        } else if (firstBad < 0) {
            firstBad = i;
        }
    }
    if (multiByte)
        return Failure{QStringLiteral("Il file %1 mescola testo UTF-8 e testo in un'altra "
                                      "codifica (riga %2): dal foglio di calcolo, salvarlo di "
                                      "nuovo come \"CSV UTF-8\".")
                           .arg(path)
                           .arg(lineAt(bytes, firstBad))};
    return codepage::decode(text.size() == bytes.size() ? bytes : text.toByteArray());
}

namespace {

Result<MemberList> parseMemberText(const QString& text, const QString& path) {
    const QChar separator = separatorOf(text);
    Cutter cutter(text, separator);
    int openedAt = 0;
    const auto unclosed = [&] {
        return Failure{QStringLiteral("Il file %1 non può essere letto come elenco dei soci: le "
                                      "virgolette aperte alla riga %2 non sono mai chiuse.")
                           .arg(path)
                           .arg(openedAt)};
    };

    // The first row that holds anything names the columns. Only the known columns are kept,
    // by index, so that a row of a million columns costs no more than its text.
    std::optional<RawRecord> header;
    std::vector<std::pair<qsizetype, int>> targets;  // (column, place in the record)
    QStringList leftOut, named, warnings;
    qsizetype unlisted = 0;
    const auto onHeaderField = [&](qsizetype i, QString&& name) {
        const std::optional<int> target = columnTarget(name);
        const auto same = [&](const auto& known) { return known.second == target; };
        if (target && std::none_of(targets.begin(), targets.end(), same)) {
            targets.emplace_back(i, *target);
            return;
        }
        if (target) {
            // A column named twice: the first one counts, and the second is said once.
            if (std::find(named.begin(), named.end(), columnKey(name)) == named.end()) {
                named << columnKey(name);
                warnings << QStringLiteral(
                                "Attenzione: nell'elenco %1 la colonna «%2» compare "
                                "due volte: vale la prima.")
                                .arg(path, name.trimmed());
            }
            return;
        }
        if (leftOut.size() == kListedColumns) {
            ++unlisted;
            return;
        }
        leftOut << (name.trimmed().isEmpty() ? QStringLiteral("la %1ª (senza nome)").arg(i + 1)
                                             : QStringLiteral("«%1»").arg(name));
    };
    while (!cutter.atEnd() && (!header || header->holdsNothing)) {
        targets.clear();
        leftOut.clear();
        named.clear();
        warnings.clear();
        unlisted = 0;
        header = cutter.next(openedAt, onHeaderField);
        if (!header) return unclosed();
    }
    const QString noMembers =
        QStringLiteral("Il file %1 non ha soci da stampare: nessun socio nell'elenco.").arg(path);
    if (!header || header->holdsNothing) return Failure{noMembers};
    if (targets.empty())
        return Failure{QStringLiteral("Il file %1 non è %2: la prima riga deve dare i nomi delle "
                                      "colonne.")
                           .arg(path, kListKind)};

    MemberList list;
    if (!leftOut.isEmpty()) {
        QString columns = leftOut.join(QStringLiteral(", "));
        if (unlisted > 0) columns += QStringLiteral(" e altre %1").arg(unlisted);
        list.warnings << QStringLiteral(
                             "Attenzione: queste colonne dell'elenco %1 non sono "
                             "campi dei biglietti e sono lasciate fuori: %2.")
                             .arg(path, columns);
    }
    list.warnings << warnings;
    const qsizetype columns = header->fields;
    while (!cutter.atEnd()) {
        Member member;
        member.record.rows.clear();
        member.record.columns.clear();
        bool extra = false;
        const std::optional<RawRecord> raw =
            cutter.next(openedAt, [&](qsizetype i, QString&& value) {
                if (i >= columns) {
                    extra = extra || !value.isEmpty();
                    return;
                }
                for (const auto& [column, target] : targets) {
                    if (column != i) continue;
                    if (target == kRowsColumn)
                        member.record.rows = std::move(value);
                    else if (target == kColumnsColumn)
                        member.record.columns = std::move(value);
                    else
                        member.record.fields[std::size_t(target)] = std::move(value);
                    return;
                }
            });
        if (!raw) return unclosed();
        if (raw->holdsNothing) continue;
        if (const std::optional<QChar> other = otherSeparator(*raw, columns))
            return Failure{QStringLiteral("Il file %1 non può essere letto come elenco dei soci: "
                                          "la riga %2 usa %3 come separatore, la prima riga %4.")
                               .arg(path)
                               .arg(raw->line)
                               .arg(separatorName(*other), separatorName(separator))};
        if (list.members.size() == std::size_t(kMaxMembers))
            return Failure{QStringLiteral("L'elenco %1 ha più di %2 soci: se ne possono stampare "
                                          "al massimo %2 in una volta.")
                               .arg(path)
                               .arg(kMaxMembers)};
        member.line = raw->line;
        // Fields past the last named column that hold something are lost: said so.
        if (extra)
            list.warnings << QStringLiteral(
                                 "Attenzione: riga %1 (%2): ha più campi di quante "
                                 "colonne nomina la prima riga; quelli in più sono "
                                 "lasciati fuori.")
                                 .arg(member.line)
                                 .arg(member.name());
        list.members.push_back(std::move(member));
    }
    if (list.members.empty()) return Failure{noMembers};
    return list;
}

}  // namespace

Result<MemberList> parseMemberList(const QByteArray& bytes, const QString& path) {
    if (isVCardText(bytes)) return parseVCardList(bytes, path);
    const Result<QString> text = memberListText(bytes, path);
    if (!text) return text.failure();
    return parseMemberText(*text, path);
}

Result<MemberList> readMemberList(const QString& path) {
    Result<QByteArray> bytes = readTextFile(path, kMaxMemberListSize, kListKind);
    if (!bytes) return bytes.failure();
    if (isVCardText(*bytes)) return parseVCardList(*bytes, path);
    const Result<QString> text = memberListText(*bytes, path);
    if (!text) return text.failure();
    // The bytes are not needed once decoded: the list's text is the larger of the two.
    *bytes = QByteArray();
    return parseMemberText(*text, path);
}

}  // namespace quarzello
