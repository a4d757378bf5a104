// The answer to the margins question remembered for a printer, in the user's settings
// (~/.config/quarzello/quarzello.conf, under [margini]).
#pragma once

#include <QString>
#include <optional>

#include "platform/prompts.h"

namespace quarzello {

// Stampa così or Riduci, remembered for the printer as listed (an instance apart from its
// queue); nothing when the user is to be asked.
std::optional<MarginChoice> rememberedMarginChoice(const QString& printer);
// Remembers Stampa così or Riduci for the printer; Annulla is never remembered.
void rememberMarginChoice(const QString& printer, MarginChoice choice);

}  // namespace quarzello
