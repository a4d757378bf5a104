// Where the program's settings live, and the key a printer has in them.
#pragma once

#include <QString>

namespace quarzello {

// configFolder()/quarzello/quarzello.conf.
QString settingsFilePath();

// The settings key of a printer's entry ([margini], [spostamento], [fronte_retro],
// [spostamento_retro]). A name as CUPS lists it
// ("Alfa" or "Alfa/due") is its own key, written "Alfa\due", which users were told they may
// edit; a name the settings would not keep apart (an empty part, a backslash, a '%') is
// percent-encoded.
QString printerKey(const QString& printer);

}  // namespace quarzello
