// The answer to the margins question remembered per printer: the seam the print flows are
// given, and the real one in the user's settings (quarzello/quarzello.conf, under [margini]).
#pragma once

#include <QString>
#include <optional>

#include "core/result.h"
#include "platform/prompts.h"

class QSettings;

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

// In $XDG_CONFIG_HOME (an absolute one; else ~/.config)/quarzello/quarzello.conf.
class SettingsMarginMemory final : public MarginMemory {
  public:
    std::optional<MarginChoice> recalled(const QString& printer) override;
    Result<void> remember(const QString& printer, MarginChoice choice) override;
    // The settings file, as the rule above finds it.
    static QString settingsFile();
};

// Writes what was set on a store of the settings file to disk; fails, "Non è stato possibile
// <what>: il file … non può essere scritto.", when it could not be kept.
Result<void> keepSettings(QSettings& store, const QString& what);

// The settings key of a printer's answer in [margini]. A name as CUPS lists it ("Alfa" or
// "Alfa/due") is its own key, written "Alfa\due", which users were told they may edit; a name
// the settings would not keep apart (an empty part, a backslash, a '%') is percent-encoded.
QString marginKey(const QString& printer);

}  // namespace quarzello
