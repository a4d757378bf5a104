// The 13 lines of a card data file, from bytes and into bytes.
#include "data/cardcodec.h"

#include <algorithm>

#include "data/codepage.h"

namespace quarzello {

namespace {

const QByteArray kLineEnd("\r\n");

}  // namespace

QByteArray encodeCardFile(const CardRecord& record) {
    QByteArray bytes;
    qsizetype length = record.rows.size() + record.columns.size() + qsizetype(2) * kCardFileLines;
    for (const QString& field : record.fields) length += field.size();
    bytes.reserve(length);
    auto addLine = [&bytes](QString value) {
        // A value with a line break in it would push every later value one line down, and a
        // NUL would make the file binary, never to be read back.
        value.replace(QLatin1Char('\r'), QLatin1Char(' '));
        value.replace(QLatin1Char('\n'), QLatin1Char(' '));
        value.replace(QChar(0), QLatin1Char(' '));
        bytes += codepage::encodeReplacing(value);
        bytes += kLineEnd;
    };
    for (const QString& field : record.fields) addLine(field);
    addLine(record.rows);
    addLine(record.columns);
    return bytes;
}

QList<QByteArray> splitCardLines(const QByteArray& bytes, qsizetype maxLines) {
    QList<QByteArray> lines;
    // Room for every line at once: a CR LF counts twice, which only leaves room to spare.
    const qsizetype breaks = bytes.count('\r') + bytes.count('\n') + 1;
    lines.reserve(maxLines < 0 ? breaks : std::min(breaks, maxLines));
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    while (start < size && (maxLines < 0 || lines.size() < maxLines)) {
        qsizetype end = start;
        while (end < size && bytes.at(end) != '\r' && bytes.at(end) != '\n') ++end;
        lines.append(bytes.mid(start, end - start));
        if (end < size) {
            const bool crlf = bytes.at(end) == '\r' && end + 1 < size && bytes.at(end + 1) == '\n';
            end += crlf ? 2 : 1;
        }
        start = end;
    }
    return lines;
}

QByteArray joinCardLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + kLineEnd;
    return bytes;
}

QStringList decodeCardLines(const QList<QByteArray>& lines) {
    QStringList decoded;
    decoded.reserve(lines.size());
    for (const QByteArray& line : lines) decoded.append(codepage::decode(line));
    return decoded;
}

QStringList cardLinesOf(const QByteArray& bytes) {
    return decodeCardLines(splitCardLines(bytes, kDatiSize));
}

CardRecord recordFromLines(const QStringList& lines, const CardRecord& current) {
    CardRecord record = current;
    for (int i = 0; i < kFieldCount; ++i) record.fields[i] = lines.value(i);
    if (lines.size() > kFieldCount) record.rows = lines.at(kFieldCount);
    if (lines.size() > kFieldCount + 1) record.columns = lines.at(kFieldCount + 1);
    return record;
}

}  // namespace quarzello
