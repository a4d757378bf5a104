// The program's name as its window and every message box carry it.
#pragma once

#include <QString>

namespace quarzello {

inline const QString kWindowTitle = QStringLiteral("Quarzello del Camperista");

}  // namespace quarzello
