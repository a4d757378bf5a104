// The window's screen: when Qt cannot open it, the user is told in one line why, instead of a
// note about Qt's plugins and an abort.
#pragma once

#include <QString>

namespace quarzello {

// While it lives (around the application object's construction), a platform that cannot start
// ends the process with the one line of unreachableDisplayText() on standard error and status
// 1. Qt's other notes made meanwhile are passed on when it goes, unless that happened. Nothing
// is asked of the display beforehand: a working one costs nothing.
class DisplayGuard {
  public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
};

// "quarzello: la finestra non può essere aperta: …", naming DISPLAY and WAYLAND_DISPLAY.
QString unreachableDisplayText();

}  // namespace quarzello
