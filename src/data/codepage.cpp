// Windows-1252 through Qt's ICU-backed converters. Every one of the 256 byte values decodes to
// a character of its own (the five unassigned ones to C1 controls), so any file reads back to
// the very bytes it came from.
//
// Windows-1252 is ISO 8859-1 but for the bytes 0x80 to 0x9F (the euro sign, curly quotes, ...).
// Text that keeps clear of that range, as most Italian text does, is converted as Latin-1 by
// Qt itself; only text that touches it goes through the converter, opened once per thread.
#include "data/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace quarzello::codepage {

namespace {

constexpr const char* kName = "windows-1252";

// Where Windows-1252 and Latin-1 part ways.
bool sharedWithLatin1(uint code) { return code < 0x80 || (code >= 0xA0 && code <= 0xFF); }

}  // namespace

QByteArray encode(const QString& text, bool* ok) {
    if (std::all_of(text.begin(), text.end(),
                    [](QChar c) { return sharedWithLatin1(c.unicode()); })) {
        if (ok) *ok = true;
        return text.toLatin1();
    }
    // Stateless: a lone surrogate at the very end is an error, not state kept for a next call.
    // The converter's error flag never clears once set, so whether every character was held is
    // told by the way back: a character with no place comes back as something else.
    thread_local QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder(text);
    if (ok) *ok = encoder.isValid() && decode(bytes) == text;
    return bytes;
}

QString decode(const QByteArray& bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return sharedWithLatin1(uchar(c)); }))
        return QString::fromLatin1(bytes);
    thread_local QStringDecoder decoder(kName, QStringConverter::Flag::Stateless);
    return decoder(bytes);
}

bool canHold(const QString& text) {
    bool ok = false;
    encode(text, &ok);
    return ok;
}

QByteArray encodeReplacing(const QString& text, char replacement) {
    bool ok = false;
    QByteArray bytes = encode(text, &ok);
    if (ok) return bytes;

    // The converter's own substitute is 0x1A, which is also a legitimate byte of the code page;
    // going character by character tells the two apart.
    bytes.clear();
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            length = 2;
        if (sharedWithLatin1(text.at(i).unicode())) {
            bytes.append(char(text.at(i).unicode()));
        } else {
            bool held = false;
            const QByteArray one = encode(text.sliced(i, length), &held);
            bytes.append(held ? one : QByteArray(1, replacement));
        }
        i += length;
    }
    return bytes;
}

}  // namespace quarzello::codepage
