// Fuzzes the vCard reader: any bytes after a BEGIN:VCARD line, read into members or refused.
// Besides not crashing: members in the file's order, no line end left in a field, no grid taken
// from a contact, every refusal and warning naming the file, and the same bytes read the same
// way twice.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "data/vcardlist.h"
#include "fuzzcheck.h"

using namespace quarzello;

namespace {

const QString kPath = QStringLiteral("contatti.vcf");

bool holdsLineEnd(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        "BEGIN:VCARD\r\n" + QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<MemberList> list = parseVCardList(bytes, kPath);
    if (!list) {
        FUZZ_CHECK_MSG(list.error().contains(kPath), list.error());
        return 0;
    }
    FUZZ_CHECK(!list->members.empty() && list->members.size() <= std::size_t(kMaxMembers));
    int previous = 0;
    for (const Member& member : list->members) {
        FUZZ_CHECK(member.line > previous);
        previous = member.line;
        for (const QString& field : member.record.fields) FUZZ_CHECK(!holdsLineEnd(field));
        FUZZ_CHECK(member.record.rows.isEmpty() && member.record.columns.isEmpty());
    }
    for (const QString& warning : list->warnings)
        FUZZ_CHECK_MSG(
            warning.startsWith(QStringLiteral("Attenzione: ")) && warning.contains(kPath), warning);

    const Result<MemberList> again = parseVCardList(bytes, kPath);
    FUZZ_CHECK(again && again->members.size() == list->members.size() &&
               again->warnings == list->warnings);
    for (std::size_t i = 0; i < list->members.size(); ++i)
        FUZZ_CHECK(again->members[i].record == list->members[i].record);
    return 0;
}
