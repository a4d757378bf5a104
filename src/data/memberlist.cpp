// The member list's reader. A small one of our own rather than a CSV library: what a
// spreadsheet writes is a handful of rules (one separator, quotes, line ends), and the list also
// needs what no such library does for us: the code page guessed, each record's first line
// counted for messages, and the file's own limits.
#include "data/memberlist.h"

#include <algorithm>
#include <optional>

#include "data/cardfile.h"
#include "data/codepage.h"

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

// One record as cut from the text, with the line it starts on.
struct RawRecord {
    QStringList fields;
    int line = 0;
};

// Cuts the text into records. Fails only on a quote never closed.
class Cutter {
  public:
    Cutter(const QString& text, QChar separator) : text_(text), separator_(separator) {}

    bool atEnd() const { return at_ >= text_.size(); }
    int line() const { return line_; }

    // The next record; nothing when a quote opened on `openedAt` is never closed.
    std::optional<RawRecord> next(int& openedAt) {
        RawRecord record;
        record.line = line_;
        QString field;
        bool quotedField = false;
        while (at_ < text_.size()) {
            const QChar c = text_.at(at_);
            if (c == QLatin1Char('"') && field.isEmpty() && !quotedField) {
                openedAt = line_;
                if (!readQuoted(field)) return std::nullopt;
                quotedField = true;
                continue;
            }
            if (c == separator_) {
                record.fields << field;
                field.clear();
                quotedField = false;
                ++at_;
                continue;
            }
            if (skipLineEnd()) break;
            field += c;
            ++at_;
        }
        record.fields << field;
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

bool holdsNothing(const QStringList& fields) {
    for (const QString& field : fields)
        if (!field.isEmpty()) return false;
    return true;
}

}  // namespace

QString Member::name() const {
    const QString name =
        (record.fields[FirstName].trimmed() + QLatin1Char(' ') + record.fields[Surname].trimmed())
            .trimmed();
    return name.isEmpty() ? QStringLiteral("senza nome") : name;
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
    QByteArray text = bytes;
    if (text.startsWith("\xef\xbb\xbf")) text.remove(0, 3);
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
    return codepage::decode(text);
}

Result<MemberList> parseMemberList(const QByteArray& bytes, const QString& path) {
    const Result<QString> text = memberListText(bytes, path);
    if (!text) return text.failure();
    Cutter cutter(*text, separatorOf(*text));
    int openedAt = 0;
    const auto unclosed = [&] {
        return Failure{QStringLiteral("Il file %1 non può essere letto come elenco dei soci: le "
                                      "virgolette aperte alla riga %2 non sono mai chiuse.")
                           .arg(path)
                           .arg(openedAt)};
    };

    // The first row that holds anything names the columns.
    std::optional<RawRecord> header;
    while (!cutter.atEnd() && (!header || holdsNothing(header->fields))) {
        header = cutter.next(openedAt);
        if (!header) return unclosed();
    }
    const QString noMembers =
        QStringLiteral("Il file %1 non ha soci da stampare: nessun socio nell'elenco.").arg(path);
    if (!header || holdsNothing(header->fields)) return Failure{noMembers};

    std::vector<int> targets;  // for each column, its place in the record, or -1
    QStringList leftOut;
    bool known = false;
    for (qsizetype i = 0; i < header->fields.size(); ++i) {
        const QString& name = header->fields.at(i);
        std::optional<int> target = columnTarget(name);
        // A column named twice: the first one counts.
        if (target && std::find(targets.begin(), targets.end(), *target) != targets.end())
            target.reset();
        known = known || target.has_value();
        targets.push_back(target.value_or(-1));
        if (!target)
            leftOut << (name.trimmed().isEmpty() ? QStringLiteral("la %1ª (senza nome)").arg(i + 1)
                                                 : QStringLiteral("«%1»").arg(name));
    }
    if (!known)
        return Failure{QStringLiteral("Il file %1 non è %2: la prima riga deve dare i nomi delle "
                                      "colonne.")
                           .arg(path, kListKind)};

    MemberList list;
    if (!leftOut.isEmpty())
        list.warnings << QStringLiteral(
                             "Attenzione: queste colonne dell'elenco %1 non sono "
                             "campi dei biglietti e sono lasciate fuori: %2.")
                             .arg(path, leftOut.join(QStringLiteral(", ")));
    while (!cutter.atEnd()) {
        const std::optional<RawRecord> raw = cutter.next(openedAt);
        if (!raw) return unclosed();
        if (holdsNothing(raw->fields)) continue;
        if (list.members.size() == std::size_t(kMaxMembers))
            return Failure{QStringLiteral("L'elenco %1 ha più di %2 soci: se ne possono stampare "
                                          "al massimo %2 in una volta.")
                               .arg(path)
                               .arg(kMaxMembers)};
        Member member;
        member.line = raw->line;
        member.record.rows.clear();
        member.record.columns.clear();
        bool extra = false;
        for (qsizetype i = 0; i < raw->fields.size(); ++i) {
            const QString& value = raw->fields.at(i);
            if (i >= qsizetype(targets.size())) {
                extra = extra || !value.isEmpty();
                continue;
            }
            const int target = targets[std::size_t(i)];
            if (target == kRowsColumn)
                member.record.rows = value;
            else if (target == kColumnsColumn)
                member.record.columns = value;
            else if (target >= 0)
                member.record.fields[std::size_t(target)] = value;
        }
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

Result<MemberList> readMemberList(const QString& path) {
    const Result<QByteArray> bytes = readTextFile(path, kMaxMemberListSize, kListKind);
    if (!bytes) return bytes.failure();
    return parseMemberList(*bytes, path);
}

}  // namespace quarzello
