// Escaping for the terminal, and writing the program's messages.
#include "cli/terminaltext.h"

#include <unistd.h>

#include <QTextStream>

#include "data/outputfile.h"

namespace quarzello {

namespace {

QString escapedByte(uchar byte) {
    return QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
}

}  // namespace

QString terminalText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r') {
            shown += u'\n';
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
            shown += escapedByte(uchar(c));
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}

std::optional<QString> argumentNotUtf8(const QByteArrayList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray& bytes = arguments.at(i);
        if (bytes.isValidUtf8()) continue;
        // Each well-formed character kept, each stray byte written out.
        QString shown;
        for (qsizetype at = 0; at < bytes.size();) {
            const uchar lead = uchar(bytes.at(at));
            const qsizetype length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
            const QByteArray character = bytes.mid(at, length);
            if (lead >= 0xc0 && character.size() == length && character.isValidUtf8()) {
                shown += QString::fromUtf8(character);
                at += length;
            } else {
                shown += lead < 0x80 ? QString(QChar(lead)) : escapedByte(lead);
                ++at;
            }
        }
        return terminalText(shown);
    }
    return std::nullopt;
}

void say(FILE* stream, const QString& text) {
    QTextStream out(stream);
    out << QStringLiteral("quarzello: ") << terminalText(text) << '\n';
}

Result<void> sayOut(const QString& text) {
    return writeIntoStream(STDOUT_FILENO, QStringLiteral("Lo standard output"), text.toUtf8());
}

}  // namespace quarzello
