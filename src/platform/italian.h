// Qt's own texts (standard buttons, file dialogs) in Italian, to match the program's.
#pragma once

namespace quarzello {

// Loads Debian's qtbase_it translation into the application; false when it is not installed.
bool installItalianTranslations();

}  // namespace quarzello
