#include "data/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace codepage {

namespace {
constexpr const char* kName = "windows-1252";
}

QByteArray encode(const QString& text, bool* ok) {
    QStringEncoder encoder(kName);
    QByteArray bytes = encoder(text);
    if (ok) *ok = encoder.isValid() && !encoder.hasError();
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder(kName);
    return decoder(bytes);
}

bool canHold(const QString& text) {
    bool ok = false;
    encode(text, &ok);
    return ok;
}

}  // namespace codepage
