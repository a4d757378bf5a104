// The user's configuration folder, where the program's settings and the label makers' own
// templates live.
#pragma once

#include <QDir>
#include <QString>

namespace quarzello {

// $XDG_CONFIG_HOME when it is an absolute path (a relative one is ignored, as the XDG Base
// Directory rules say), else ~/.config.
inline QString configFolder() {
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) return QDir::homePath() + "/.config";
    return base;
}

}  // namespace quarzello
