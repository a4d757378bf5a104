// Windows-1252 through Qt's ICU-backed converters. Every one of the 256 byte values decodes to
// a character of its own (the five unassigned ones to C1 controls), so any file reads back to
// the very bytes it came from.
#include "data/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace quarzello::codepage {

namespace {
constexpr const char* kName = "windows-1252";
}

QByteArray encode(const QString& text, bool* ok) {
    // Stateless: a lone surrogate at the very end is an error, not state kept for a next call.
    QStringEncoder encoder(kName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder(text);
    if (ok) *ok = encoder.isValid() && !encoder.hasError();
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder(kName, QStringConverter::Flag::Stateless);
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
        bool held = false;
        const QByteArray one = encode(text.mid(i, length), &held);
        if (held)
            bytes.append(one);
        else
            bytes.append(replacement);
        i += length;
    }
    return bytes;
}

}  // namespace quarzello::codepage
