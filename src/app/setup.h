// What the process sets up once, before any window: the same for the program and for the tests
// that build its window.
#pragma once

#include <QString>

namespace quarzello {

// Maps the card's typeface names onto installed faces, loads Qt's
// Italian texts, names the application and its desktop entry, and makes the program's folder
// the current folder.
void setUpProcess(const QString& programFolder);

}  // namespace quarzello
