#include "platform/prompts.h"

void Prompts::inform(const QString& text, PromptIcon icon) {
    message({kTitoloFinestra, text, PromptButtons::Ok, icon, PromptAnswer::Ok});
}

bool Prompts::askYesNo(const QString& text, PromptAnswer defaultButton) {
    return message({kTitoloFinestra, text, PromptButtons::YesNo, PromptIcon::None,
                    defaultButton}) == PromptAnswer::Yes;
}
