#include "print/emblem.h"

namespace quarzello {

// STUB: to be written with the back of the card.
QSizeF Emblem::size() const { return image.size(); }

Result<std::shared_ptr<const Emblem>> loadEmblem(const QString& path) {
    return Failure{QStringLiteral("loadEmblem: non ancora fatto: %1").arg(path)};
}

}  // namespace quarzello
