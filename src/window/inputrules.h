// What may be typed into the personal-data boxes, one character at a time.
#pragma once

#include <QChar>
#include <QString>

namespace quarzello {

// True when the character typed into box `index`, which now holds `current`, may go in.
// Control characters (Backspace, the copy and paste shortcuts) always pass.
bool txtCampo_KeyPress(int index, QChar c, const QString& current);

}  // namespace quarzello
