// The vCard reader. The file is read as bytes, a physical line at a time; only the properties
// that give a card's field are unfolded and copied, so that a photo of megabytes is stepped over
// without a copy. Each kept value is decoded on its own: quoted-printable first, then its
// CHARSET, else UTF-8 when valid, else Windows-1252.
#include "data/vcardlist.h"

#include <QList>
#include <QStringList>
#include <optional>

#include "data/codepage.h"

namespace quarzello {

namespace {

bool isBlank(QByteArrayView line) {
    for (const char c : line)
        if (c != ' ' && c != '\t') return false;
    return true;
}

// The file's physical lines, one after the other; CR LF, LF and a lone CR end a line.
class LineReader {
  public:
    // A UTF-8 byte-order mark at the start is not part of the first line.
    explicit LineReader(const QByteArray& bytes)
        : bytes_(bytes), at_(bytes.startsWith("\xef\xbb\xbf") ? 3 : 0) {}

    bool atEnd() const { return at_ >= bytes_.size(); }
    // The number (from 1) of the line take() gives next.
    int number() const { return number_; }
    // The next line begins with a space or a tab: it continues the one before.
    bool continues() const { return !atEnd() && (bytes_.at(at_) == ' ' || bytes_.at(at_) == '\t'); }
    QByteArrayView peek() const { return QByteArrayView(bytes_).sliced(at_, endOfLine() - at_); }
    QByteArrayView take() {
        const qsizetype end = endOfLine();
        const QByteArrayView line = QByteArrayView(bytes_).sliced(at_, end - at_);
        at_ = end;
        if (at_ < bytes_.size())
            at_ += bytes_.at(at_) == '\r' && at_ + 1 < bytes_.size() && bytes_.at(at_ + 1) == '\n'
                       ? 2
                       : 1;
        ++number_;
        return line;
    }

  private:
    qsizetype endOfLine() const {
        qsizetype end = at_;
        const char* data = bytes_.constData();
        while (end < bytes_.size() && data[end] != '\n' && data[end] != '\r') ++end;
        return end;
    }

    const QByteArray& bytes_;
    qsizetype at_;
    int number_ = 1;
};

// The names of the properties a card's field comes from, and those that open, close and
// version a contact; the others are read past.
const QList<QByteArray>& keptNames() {
    static const QList<QByteArray> kept = {"BEGIN", "END", "VERSION", "N",     "FN", "TITLE",
                                           "ROLE",  "ADR", "TEL",     "EMAIL", "URL"};
    return kept;
}

// The property's name, without a group ("item1.TEL" is TEL), as keptNames() spells it; empty
// for a property read past.
QByteArray keptName(QByteArrayView line) {
    qsizetype end = 0;
    while (end < line.size() && line.at(end) != ';' && line.at(end) != ':') ++end;
    QByteArrayView name = line.first(end);
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) name = name.sliced(dot + 1);
    name = name.trimmed();
    for (const QByteArray& kept : keptNames())
        if (name.compare(kept, Qt::CaseInsensitive) == 0) return kept;
    return {};
}

// Where the name and parameters end: the first colon outside double quotes; -1 when none.
qsizetype colonOf(QByteArrayView text) {
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '"') quoted = !quoted;
        if (text.at(i) == ':' && !quoted) return i;
    }
    return -1;
}

// The name and parameters (up to `colon`, or the whole line) hold `what`, in any case; only a
// line with parameters can.
bool headMentions(QByteArrayView line, qsizetype colon, const char* what) {
    const QByteArrayView head = line.first(colon < 0 ? line.size() : colon);
    return head.contains(';') && head.toByteArray().toUpper().contains(what);
}

// One logical line of a contact: the kept ones whole (unfolded), the others only where they were.
struct RawProperty {
    int line = 0;
    QByteArray name;
    QByteArray text;  // the whole logical line; empty for a property read past
    bool colon = true;
};

// The next logical line: folded lines joined (in 2.1 the fold's space is kept), and
// quoted-printable soft line breaks joined; a 2.1 base64 value runs on over its lines that have
// no colon.
RawProperty readProperty(LineReader& lines, bool version21) {
    RawProperty property;
    property.line = lines.number();
    const QByteArrayView first = lines.take();
    property.name = keptName(first);
    const qsizetype colon = colonOf(first);
    const bool quotedPrintable = headMentions(first, colon, "QUOTED-PRINTABLE");
    const bool base64 = version21 && headMentions(first, colon, "BASE64");
    const bool kept = !property.name.isEmpty();
    if (kept) property.text = first.toByteArray();
    property.colon = colon >= 0;
    QByteArrayView last = first;
    for (;;) {
        if (lines.continues()) {
            last = lines.take();
            if (kept) property.text += version21 ? last : last.sliced(1);
            continue;
        }
        if (quotedPrintable && last.endsWith('=') && !lines.atEnd()) {
            last = lines.take();
            if (kept) {
                property.text.chop(1);
                property.text += last;
            }
            continue;
        }
        if (base64 && !lines.atEnd() && !isBlank(lines.peek()) && !lines.peek().contains(':')) {
            last = lines.take();
            continue;
        }
        break;
    }
    if (kept && !property.colon) property.colon = colonOf(property.text) >= 0;
    return property;
}

// A property's parameters as the value's decoding needs them.
struct Parameters {
    QList<QByteArray> types;  // upper case: WORK, CELL, …
    bool quotedPrintable = false;
    QByteArray charset;  // upper case; empty when not given
};

Parameters parametersOf(QByteArrayView head) {
    Parameters parameters;
    const auto take = [&parameters](QByteArrayView part) {
        const qsizetype equals = part.indexOf('=');
        const QByteArrayView key = equals < 0 ? QByteArrayView() : part.first(equals).trimmed();
        QByteArrayView value = (equals < 0 ? part : part.sliced(equals + 1)).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.sliced(1, value.size() - 2);
        const auto is = [](QByteArrayView text, const char* what) {
            return text.compare(what, Qt::CaseInsensitive) == 0;
        };
        if (is(key, "CHARSET"))
            parameters.charset = value.toByteArray().toUpper();
        else if (is(value, "QUOTED-PRINTABLE") && (key.isEmpty() || is(key, "ENCODING")))
            parameters.quotedPrintable = true;
        else if (key.isEmpty() || is(key, "TYPE"))
            for (const QByteArray& type : value.toByteArray().toUpper().split(','))
                parameters.types << type.trimmed();
    };
    bool quoted = false;
    qsizetype start = -1;  // the name comes first, and is not a parameter
    for (qsizetype i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head.at(i) == '"') quoted = !quoted;
        if (i < head.size() && (head.at(i) != ';' || quoted)) continue;
        if (start >= 0) take(head.sliced(start, i - start));
        start = i + 1;
    }
    return parameters;
}

std::optional<QByteArray> fromQuotedPrintable(QByteArrayView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != '=') {
            bytes += text.at(i);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hex(text.at(i + 1)), low = hex(text.at(i + 2));
        if (high < 0 || low < 0) return std::nullopt;
        bytes += char(high * 16 + low);
        i += 2;
    }
    return bytes;
}

QString decodedText(const QByteArray& bytes, const QByteArray& charset) {
    const bool utf8 = charset.isEmpty() ? bytes.isValidUtf8() : charset == "UTF-8";
    return utf8 && bytes.isValidUtf8() ? QString::fromUtf8(bytes) : codepage::decode(bytes);
}

bool knownCharset(const QByteArray& charset) {
    static const QList<QByteArray> known = {"",           "UTF-8",  "US-ASCII",     "ASCII",
                                            "ISO-8859-1", "LATIN1", "WINDOWS-1252", "CP1252"};
    return known.contains(charset);
}

// A value's text: a line break in it is a space, as on the card.
QString oneLine(QString text) {
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// A text value cut at its unescaped semicolons, each part unescaped; an unescaped comma inside
// a part (a list) becomes `comma`.
QStringList components(const QString& value, const QString& comma) {
    const bool plain = !value.contains(QLatin1Char('\\')) && !value.contains(QLatin1Char(','));
    QStringList parts = plain ? value.split(QLatin1Char(';')) : QStringList{QString()};
    for (qsizetype i = 0; i < value.size() && !plain; ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            parts.last() +=
                next == QLatin1Char('n') || next == QLatin1Char('N') ? QChar(' ') : next;
        } else if (c == QLatin1Char(';')) {
            parts << QString();
        } else if (c == QLatin1Char(',')) {
            parts.last() += comma;
        } else {
            parts.last() += c;
        }
    }
    for (QString& part : parts) part = oneLine(part).trimmed();
    return parts;
}

QString text(const QString& value) {
    return components(value, QStringLiteral(",")).join(QLatin1Char(';'));
}

QString part(const QStringList& parts, qsizetype i) {
    return i < parts.size() ? parts.at(i) : QString();
}

// What a contact gives, gathered as its properties come.
struct Contact {
    int line = 0;
    QString refused;  // why it is left out; empty while it is not
    std::optional<QStringList> name;
    QString fullName, title, role, email, url, cell, work, home, other;
    std::optional<QStringList> address, workAddress;

    void take(const QByteArray& name, const Parameters& parameters, const QString& value);
    CardRecord record() const;
};

void Contact::take(const QByteArray& property, const Parameters& parameters, const QString& value) {
    const auto first = [](QString& field, const QString& given) {
        if (field.isEmpty()) field = given;
    };
    const bool isWork = parameters.types.contains("WORK");
    if (property == "N") {
        if (!name) name = components(value, QStringLiteral(" "));
    } else if (property == "FN") {
        first(fullName, text(value));
    } else if (property == "TITLE") {
        first(title, text(value));
    } else if (property == "ROLE") {
        first(role, text(value));
    } else if (property == "ADR") {
        const QStringList parts = components(value, QStringLiteral(", "));
        if (!address) address = parts;
        if (isWork && !workAddress) workAddress = parts;
    } else if (property == "TEL") {
        QString number = oneLine(value).trimmed();
        if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive)) number.remove(0, 4);
        if (parameters.types.contains("CELL"))
            first(cell, number);
        else if (parameters.types.contains("FAX") || parameters.types.contains("PAGER"))
            return;  // not a number to call on a card
        else
            first(isWork ? work : parameters.types.contains("HOME") ? home : other, number);
    } else if (property == "EMAIL") {
        first(email, text(value));
    } else if (property == "URL") {
        first(url, oneLine(value).trimmed());
    }
}

CardRecord Contact::record() const {
    CardRecord record;
    record.rows.clear();
    record.columns.clear();
    auto& f = record.fields;
    const bool named = name && !name->join(QString()).isEmpty();
    if (named) {
        f[Surname] = part(*name, 0);
        f[FirstName] = QStringList{part(*name, 1), part(*name, 2)}.join(QLatin1Char(' ')).trimmed();
        f[Title] = part(*name, 3);
    } else {
        const QString whole = fullName.simplified();
        const qsizetype space = whole.lastIndexOf(QLatin1Char(' '));
        f[Surname] = whole.mid(space + 1);
        f[FirstName] = space < 0 ? QString() : whole.left(space);
    }
    f[Role] = title.isEmpty() ? role : title;
    if (const std::optional<QStringList>& adr = workAddress ? workAddress : address) {
        f[Street] = part(*adr, 2);
        f[Town] = part(*adr, 3);
        f[Postcode] = part(*adr, 5);
    }
    f[Mobile] = cell;
    f[Landline] = !work.isEmpty() ? work : !home.isEmpty() ? home : other;
    f[Email] = email;
    f[Website] = url;
    return record;
}

bool isEmpty(const CardRecord& record) {
    for (const QString& field : record.fields)
        if (!field.isEmpty()) return false;
    return true;
}

// The contact a property line opens or closes ("BEGIN:VCARD", "END:VCARD"), in any case.
bool isLine(QByteArrayView text, const char* what) {
    return text.trimmed().compare(what, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool isVCardText(const QByteArray& bytes) {
    LineReader lines(bytes);
    while (!lines.atEnd())
        if (isLine(lines.take(), "BEGIN:VCARD")) return true;
    return false;
}

Result<MemberList> parseVCardList(const QByteArray& bytes, const QString& path) {
    if (bytes.contains('\0'))
        return Failure{QStringLiteral("Il file %1 non è un elenco di contatti: contiene dati "
                                      "binari.")
                           .arg(path)};
    MemberList list;
    const auto leftOut = [&](const Contact& contact, const QString& why) {
        list.warnings << QStringLiteral(
                             "Attenzione: nell'elenco %1 il contatto della riga %2 è lasciato "
                             "fuori: %3.")
                             .arg(path)
                             .arg(contact.line)
                             .arg(why);
    };
    LineReader lines(bytes);
    std::optional<Contact> open;
    bool version21 = false;
    bool strayBefore = false;  // the line before was text outside any contact
    int contacts = 0;
    const auto begin = [&](int line) -> bool {
        open = Contact{};
        open->line = line;
        version21 = false;
        return ++contacts <= kMaxMembers;
    };
    const QString tooMany = QStringLiteral(
                                "L'elenco %1 ha più di %2 contatti: se ne possono stampare al "
                                "massimo %2 in una volta.")
                                .arg(path)
                                .arg(kMaxMembers);
    while (!lines.atEnd()) {
        if (isBlank(lines.peek())) {
            lines.take();
            continue;
        }
        const RawProperty property = readProperty(lines, version21);
        const bool opens = property.name == "BEGIN" && isLine(property.text, "BEGIN:VCARD");
        if (!open) {
            if (opens) {
                if (!begin(property.line)) return Failure{tooMany};
            } else if (!strayBefore) {
                list.warnings << QStringLiteral(
                                     "Attenzione: nell'elenco %1 la riga %2 non fa parte di "
                                     "nessun contatto ed è lasciata fuori.")
                                     .arg(path)
                                     .arg(property.line);
            }
            strayBefore = !opens;
            continue;
        }
        if (opens) {
            leftOut(*open, QStringLiteral("alla riga %1 comincia un altro contatto prima del suo "
                                          "END:VCARD")
                               .arg(property.line));
            if (!begin(property.line)) return Failure{tooMany};
            continue;
        }
        if (property.name == "END" && isLine(property.text, "END:VCARD")) {
            const CardRecord record = open->record();
            if (!open->refused.isEmpty()) {
                leftOut(*open, open->refused);
            } else if (isEmpty(record)) {
                leftOut(*open, QStringLiteral("non ha nessun campo per il biglietto"));
            } else {
                Member member;
                member.record = record;
                member.line = open->line;
                list.members.push_back(std::move(member));
            }
            open.reset();
            continue;
        }
        if (!open->refused.isEmpty()) continue;
        if (!property.colon) {
            open->refused = QStringLiteral(
                                "la riga %1 non è una proprietà di un contatto (non ha "
                                "i due punti)")
                                .arg(property.line);
            continue;
        }
        if (property.text.isEmpty()) continue;  // read past
        const qsizetype colon = colonOf(property.text);
        if (property.name == "VERSION") {
            version21 = property.text.mid(colon + 1).trimmed() == "2.1";
            continue;
        }
        const Parameters parameters = parametersOf(QByteArrayView(property.text).first(colon));
        if (!knownCharset(parameters.charset)) {
            open->refused = QStringLiteral("alla riga %1 la codifica «%2» non è conosciuta")
                                .arg(property.line)
                                .arg(QString::fromLatin1(parameters.charset.left(40)));
            continue;
        }
        QByteArray value = property.text.mid(colon + 1);
        if (parameters.quotedPrintable) {
            std::optional<QByteArray> decoded = fromQuotedPrintable(value);
            if (!decoded) {
                open->refused =
                    QStringLiteral("alla riga %1 il testo quoted-printable non è valido")
                        .arg(property.line);
                continue;
            }
            value = std::move(*decoded);
        }
        open->take(property.name, parameters, decodedText(value, parameters.charset));
    }
    if (open) leftOut(*open, QStringLiteral("non finisce con END:VCARD"));
    if (list.members.empty())
        return Failure{QStringLiteral("Il file %1 non ha soci da stampare: nessun contatto che si "
                                      "possa stampare.")
                           .arg(path)};
    return list;
}

}  // namespace quarzello
