// The answer to the margins question remembered per printer: the seam the print flows are
// given (the real one is the settings store, under [margini]).
#pragma once

#include <QString>
#include <optional>

#include "core/result.h"
#include "platform/prompts.h"

namespace quarzello {

class MarginMemory {
  public:
    virtual ~MarginMemory() = default;
    // Stampa così or Riduci, remembered for the printer as listed (an instance apart from its
    // queue); nothing when the user is to be asked.
    virtual std::optional<MarginChoice> recalled(const QString& printer) = 0;
    // Remembers Stampa così or Riduci for the printer (Annulla never); fails, saying why, when
    // the choice could not be kept.
    virtual Result<void> remember(const QString& printer, MarginChoice choice) = 0;
};

}  // namespace quarzello
