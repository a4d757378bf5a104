// The vCard of a card. Values are trimmed of spaces as the card prints them; the structured
// and text properties have their separators escaped, telephone numbers and addresses on the
// web go as they stand so that a phone dials and opens them.
#include "print/vcard.h"

#include <QRegularExpression>
#include <QStringList>

#include "print/stampatesto.h"

namespace quarzello {

namespace {

QString escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// Every address of a field that may hold several, separated by ";": the card prints only the
// first and the last, the contact gets them all.
QStringList addresses(const QString& field) {
    QStringList all;
    for (const QString& part : field.split(QLatin1Char(';'))) {
        const QString address = trimSpaces(part).toLower();
        if (!address.isEmpty()) all << address;
    }
    return all;
}

}  // namespace

QString cardVCard(const CardRecord& record) {
    std::array<QString, kFieldCount> v;
    bool anything = false;
    for (int i = 0; i < kFieldCount; ++i) {
        v[std::size_t(i)] = trimSpaces(record.fields[std::size_t(i)]);
        anything = anything || !v[std::size_t(i)].isEmpty();
    }
    if (!anything) return {};
    const auto f = [&v](Field field) { return v[std::size_t(field)]; };

    static const QRegularExpression spaces(QStringLiteral(" {2,}"));
    const QString fullName =
        trimSpaces(QStringList{f(Title), f(FirstName), f(Surname)}.join(QLatin1Char(' ')))
            .replace(spaces, QStringLiteral(" "));

    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0")};
    lines << QStringLiteral("N:%1;%2;;%3;")
                 .arg(escaped(f(Surname)), escaped(f(FirstName)), escaped(f(Title)));
    lines << QStringLiteral("FN:") + escaped(fullName);
    if (!f(Role).isEmpty()) lines << QStringLiteral("TITLE:") + escaped(f(Role));
    if (!f(Street).isEmpty() || !f(Town).isEmpty() || !f(Postcode).isEmpty())
        lines << QStringLiteral("ADR;TYPE=WORK:;;%1;%2;;%3;")
                     .arg(escaped(f(Street)), escaped(f(Town)), escaped(f(Postcode)));
    if (!f(Landline).isEmpty()) lines << QStringLiteral("TEL;TYPE=WORK,VOICE:") + f(Landline);
    if (!f(Mobile).isEmpty()) lines << QStringLiteral("TEL;TYPE=CELL:") + f(Mobile);
    for (const QString& address : addresses(f(Email)))
        lines << QStringLiteral("EMAIL;TYPE=INTERNET:") + escaped(address);
    for (const QString& address : addresses(f(Website))) lines << QStringLiteral("URL:") + address;
    lines << QStringLiteral("END:VCARD");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

}  // namespace quarzello
