// A club's members as an address book exports them: a vCard file (2.1, 3.0 or 4.0), one contact
// a member, read into the same members a CSV list gives. A contact that cannot be read is left
// out and said, naming its line; the others are kept.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/result.h"
#include "data/memberlist.h"

namespace quarzello {

// The bytes hold a line "BEGIN:VCARD" (in any case): they are read as vCards, whatever the name.
bool isVCardText(const QByteArray& bytes);

// The members of the contacts in the bytes, in the file's order, each on the line of its
// BEGIN:VCARD; `path` names the file in messages. Fields: N (else FN split at its last space),
// TITLE (else ROLE), the first work ADR (else the first ADR), the first cell TEL and the first
// other one that is not a fax (work, then home, then any), the first EMAIL and URL. Values are
// unfolded, unescaped, decoded from quoted-printable and from their CHARSET (else UTF-8, or
// Windows-1252 when not valid UTF-8). Everything else is read past without being copied. The
// whole file is refused when no contact can be printed or when it has more than kMaxMembers.
Result<MemberList> parseVCardList(const QByteArray& bytes, const QString& path);

}  // namespace quarzello
