// Fuzzes the member list reader: any bytes as a list, read into members or refused. Besides not
// crashing: members in the file's order, no line end left in a field, every refusal naming the
// file, and the same bytes read the same way twice.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "data/memberlist.h"
#include "fuzzcheck.h"

using namespace quarzello;

namespace {

const QString kPath = QStringLiteral("soci.csv");

bool holdsLineEnd(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QString joined(const Member& member) {
    QStringList values(member.record.fields.begin(), member.record.fields.end());
    values << member.record.rows << member.record.columns;
    return QString::number(member.line) + QLatin1Char(':') + values.join(QLatin1Char('|'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<MemberList> list = parseMemberList(bytes, kPath);
    if (!list) {
        FUZZ_CHECK_MSG(list.error().contains(kPath), list.error());
        return 0;
    }
    FUZZ_CHECK(!list->members.empty() && list->members.size() <= std::size_t(kMaxMembers));
    int previous = 1;  // the first row names the columns
    for (const Member& member : list->members) {
        FUZZ_CHECK(member.line > previous);
        previous = member.line;
        for (const QString& field : member.record.fields) FUZZ_CHECK(!holdsLineEnd(field));
        FUZZ_CHECK(!holdsLineEnd(member.record.rows) && !holdsLineEnd(member.record.columns));
    }
    // A line per member at most, the unknown columns, and one per known column named twice.
    FUZZ_CHECK(list->warnings.size() <= qsizetype(list->members.size()) + 1 + kFieldCount + 2);
    for (const QString& warning : list->warnings)
        FUZZ_CHECK_MSG(warning.startsWith(QStringLiteral("Attenzione: ")), warning);

    const Result<MemberList> again = parseMemberList(bytes, kPath);
    FUZZ_CHECK(again && again->members.size() == list->members.size() &&
               again->warnings == list->warnings);
    for (std::size_t i = 0; i < list->members.size(); ++i)
        FUZZ_CHECK(joined(again->members[i]) == joined(list->members[i]));
    return 0;
}
