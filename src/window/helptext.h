// The instructions shown by the help button.
#pragma once

#include <QString>

namespace quarzello {

// The ten paragraphs, an empty line (CR LF CR LF) between them and nothing after the last.
QString helpText();

}  // namespace quarzello
