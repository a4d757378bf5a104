// Whether the window has a screen to open on, asked before Qt is started.
#pragma once

#include <QString>
#include <optional>

namespace quarzello {

// Nothing when the window can be shown, or when that is Qt's business (a platform or a display
// chosen on the command line or by QT_QPA_PLATFORM, a display that cannot be asked); otherwise
// the one line that tells the user why the window cannot open. Asks the X server named by
// DISPLAY (a connection made and closed, through the libxcb Qt itself uses) and the Wayland
// compositor named by WAYLAND_DISPLAY (a connection to its socket): either answering is enough.
std::optional<QString> unreachableDisplay(int argc, char* argv[]);

}  // namespace quarzello
