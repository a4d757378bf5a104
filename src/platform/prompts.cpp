// The common boxes, all titled with the window title.
#include "platform/prompts.h"

#include "core/linebreak.h"

namespace quarzello {

void Prompts::inform(const QString& text, PromptIcon icon) {
    message({kWindowTitle, text, PromptButtons::Ok, icon, PromptAnswer::Ok});
}

bool Prompts::askYesNo(const QString& text, PromptAnswer defaultButton) {
    return message({kWindowTitle, text, PromptButtons::YesNo, PromptIcon::None, defaultButton}) ==
           PromptAnswer::Yes;
}

MarginReply Prompts::askMargins(const QString& text, int factorPercent) {
    return askMargins(MarginRequest{kWindowTitle, text, factorPercent});
}

QString twoParagraphs(const QString& first, const QString& second) {
    return first + CR + CR + second;
}

QString overwriteQuestion(const QString& path) {
    return QStringLiteral("Il file:") + CR + CR + path + CR + CR +
           QStringLiteral("esiste già: sovrascrivo?");
}

}  // namespace quarzello
