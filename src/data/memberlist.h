// A club's member list as a spreadsheet program exports it (CSV): the first row names the
// columns, then one member a record, in the file's order. Read whole, decoded, and cut into
// card records, with every refusal a sentence naming the file (and the line, where there is one).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/cardrecord.h"
#include "core/result.h"

namespace quarzello {

// A club prints a few hundred cards at most; past these the file is not a member list.
inline constexpr int kMaxMembers = 5000;
inline constexpr qint64 kMaxMemberListSize = 16 * 1024 * 1024;

struct Member {
    // The fields as the list gives them, kept whole; rows and columns empty when the list has no
    // such column or leaves the value empty (then the command line decides).
    CardRecord record;
    int line = 0;  // the file's line where the record starts, counted from 1
    // How messages name the member: "Nome Cognome" ("senza nome" when both are empty), cut
    // after 80 characters.
    QString name() const;
};

struct MemberList {
    std::vector<Member> members;
    // Sentences for standard error: columns left out, records with more fields than the first row.
    QStringList warnings;
};

// The text of the list: UTF-8 (with or without its byte-order mark), else Windows-1252 when no
// valid multi-byte UTF-8 sequence is in it. Refuses UTF-16, a file mixing the two (naming the
// line of the first bad byte), and NUL bytes.
Result<QString> memberListText(const QByteArray& bytes, const QString& path);

// The members of the list's bytes; `path` names the file in messages. Bytes with a line
// "BEGIN:VCARD" are an address book's contacts (parseVCardList). Otherwise the separator is ';',
// ',' or a tab, whichever the first row uses outside quotes; "…" quotes a field, "" inside stands
// for one quote, and a line break inside a quoted field becomes a space. Records that hold
// nothing are skipped. Column names are matched ignoring case, spaces, dots and accents.
Result<MemberList> parseMemberList(const QByteArray& bytes, const QString& path);

// The file read (as card data files are, at most kMaxMemberListSize), then parseMemberList.
Result<MemberList> readMemberList(const QString& path);

}  // namespace quarzello
