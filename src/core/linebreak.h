// The line break inside the program's messages: a carriage return, which message boxes show as
// a new line and the terminal's text turns into one.
#pragma once

#include <QChar>

namespace quarzello {

inline constexpr QChar CR(13);

}  // namespace quarzello
