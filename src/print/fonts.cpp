// The typeface table: the Windows face names the cards use, mapped onto the Liberation faces,
// which have the same metrics.
#include "print/fonts.h"

#include <QFont>
#include <array>
#include <utility>

namespace quarzello {

namespace {

const QString kSerif = QStringLiteral("Liberation Serif");
const QString kSans = QStringLiteral("Liberation Sans");

// "Arial special" is no real face name: left to fontconfig it falls to a far wider face, and
// the lines of the card would be cut much shorter than the user expects.
const std::array<std::pair<QString, QString>, 5> kStandIns = {{
    {QStringLiteral("Times new roman"), kSerif},
    {QStringLiteral("Arial special"), kSans},
    {QStringLiteral("Arial"), kSans},
    {QStringLiteral("MS Sans Serif"), kSans},
    {QStringLiteral("MS Serif"), kSerif},
}};

}  // namespace

QString resolveFontFamily(const QString& requested) {
    for (const auto& [name, face] : kStandIns) {
        if (requested.compare(name, Qt::CaseInsensitive) == 0) return face;
    }
    return requested;
}

void installFontSubstitutions() {
    for (const auto& [name, face] : kStandIns) {
        QFont::removeSubstitutions(name);
        QFont::insertSubstitution(name, face);
    }
}

}  // namespace quarzello
