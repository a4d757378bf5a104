// Fuzzes the card data file in memory: any bytes as a file (split, decode, record, written
// again), and any text as a record to be written. fuzz_cardfile_disk reads the same bytes
// from a real file.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/cardrecord.h"
#include "data/cardfile.h"
#include "data/codepage.h"
#include "datafiles.h"
#include "fuzzcheck.h"

using namespace quarzello;

namespace {

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// How many lines the reading rules give, counted without splitting: one per line end (CR LF
// counts once), and one more for text after the last end.
qsizetype expectedLineCount(const QByteArray& bytes) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++count;
    }
    if (!bytes.isEmpty() && !isLineBreak(bytes.back())) ++count;
    return count;
}

QByteArray withoutLineBreaks(QByteArray bytes) {
    bytes.removeIf(isLineBreak);
    return bytes;
}

// Any bytes, taken as a card data file.
void checkFileBytes(const QByteArray& bytes) {
    const QList<QByteArray> all = splitCardLines(bytes);
    const QList<QByteArray> lines = splitCardLines(bytes, kDatiSize);

    FUZZ_CHECK(all.size() == expectedLineCount(bytes));
    FUZZ_CHECK(lines == all.mid(0, kDatiSize));
    QByteArray joined;
    joined.reserve(bytes.size());
    for (const QByteArray& line : all) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        joined += line;
    }
    FUZZ_CHECK(joined == withoutLineBreaks(bytes));

    // The copy of Save and Load: every line with CR LF, and a copy of a copy is the same copy.
    const QByteArray copy = joinCardLines(all);
    FUZZ_CHECK(splitCardLines(copy) == all);

    // Every byte value decodes to a character of its own: a line reads back to its bytes.
    const QStringList decoded = decodeCardLines(lines);
    FUZZ_CHECK(decoded.size() == lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool ok = false;
        FUZZ_CHECK(codepage::encode(decoded[i], &ok) == lines[i] && ok);
    }

    const CardRecord defaults;
    const CardRecord record = recordFromLines(decoded, defaults);
    for (int i = 0; i < kFieldCount; ++i) FUZZ_CHECK(record.fields[i] == decoded.value(i));
    FUZZ_CHECK(record.rows ==
               (decoded.size() > kFieldCount ? decoded[kFieldCount] : defaults.rows));
    FUZZ_CHECK(record.columns ==
               (decoded.size() > kFieldCount + 1 ? decoded[kFieldCount + 1] : defaults.columns));

    // Written again: 13 lines, and each line the file had comes back as the very same bytes, but
    // for a NUL, written as a space (a file with NULs is not read from disk in any case).
    const QByteArray written = encodeCardFile(record);
    const QList<QByteArray> writtenLines = splitCardLines(written);
    FUZZ_CHECK(writtenLines.size() == kCardFileLines);
    FUZZ_CHECK(joinCardLines(writtenLines) == written);
    for (qsizetype i = 0; i < kCardFileLines && i < lines.size(); ++i)
        FUZZ_CHECK(writtenLines[i] == QByteArray(lines[i]).replace('\0', ' '));
    if (!bytes.contains('\0'))
        FUZZ_CHECK(recordFromLines(decodeCardLines(writtenLines), CardRecord{}) == record);
}

// Asking the code page about every character encodes it each time; the answers for the 65536
// single code units are kept, which makes the target faster.
bool canHoldCharacter(QStringView character) {
    if (character.size() != 1) return codepage::canHold(character.toString());
    static std::array<qint8, 0x10000> known = [] {
        std::array<qint8, 0x10000> unknown;
        unknown.fill(-1);
        return unknown;
    }();
    qint8& answer = known[character.at(0).unicode()];
    if (answer < 0) answer = codepage::canHold(character.toString()) ? 1 : 0;
    return answer == 1;
}

// What the writer must store for one value: line breaks and NULs as spaces, and "?" for every
// character (a surrogate pair is one) that the code page cannot hold.
QString expectedStored(const QString& value) {
    QString stored;
    for (qsizetype i = 0; i < value.size(); ++i) {
        qsizetype length = 1;
        if (value.at(i).isHighSurrogate() && i + 1 < value.size() &&
            value.at(i + 1).isLowSurrogate())
            length = 2;
        const QStringView character = QStringView(value).mid(i, length);
        if (character == u"\r" || character == u"\n" || character == QStringView(u"\0", 1))
            stored += QLatin1Char(' ');
        else if (canHoldCharacter(character))
            stored += character;
        else
            stored += QLatin1Char('?');
        i += length - 1;
    }
    return stored;
}

// Any text, cut into the 13 values of a record at U+001E, written as a card data file.
void checkRecordText(const QString& text) {
    CardRecord record;
    const QList<QStringView> values = QStringView(text).split(QChar(0x1E));
    for (int i = 0; i < kFieldCount; ++i) record.fields[i] = values.value(i).toString();
    if (values.size() > kFieldCount) record.rows = values[kFieldCount].toString();
    if (values.size() > kFieldCount + 1) record.columns = values[kFieldCount + 1].toString();

    const QByteArray written = encodeCardFile(record);
    const QList<QByteArray> lines = splitCardLines(written);
    FUZZ_CHECK(lines.size() == kCardFileLines);
    const QStringList decoded = decodeCardLines(lines);
    for (int i = 0; i < kCardFileLines; ++i) {
        const QString& value = i < kFieldCount    ? record.fields[i]
                               : i == kFieldCount ? record.rows
                                                  : record.columns;
        const QString stored = expectedStored(value);
        FUZZ_CHECK_MSG(decoded[i] == stored, QStringLiteral("line %1").arg(i + 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The first byte says what the bytes are: a card data file (even), or the text of a record
    // to be written, in UTF-8 (1 in 4) or as pairs of bytes in UTF-16 (lone surrogates,
    // characters far outside the code page; 3 in 4). One reading per input keeps each run short.
    const uint8_t mode = size > 0 ? data[0] : 0;
    if (mode % 2 == 0)
        checkFileBytes(bytes);
    else if (mode % 4 == 1)
        checkRecordText(QString::fromUtf8(bytes));
    else
        checkRecordText(
            QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2));
    return 0;
}
