// Whether the sheet's preview is shown, and the printer whose borders it shades, kept between
// runs in the user's settings file (under [anteprima]).
#pragma once

#include <QString>

namespace quarzello {

class PreviewMemory {
  public:
    // file: the settings file (SettingsMarginMemory::settingsFile() for the user's own).
    explicit PreviewMemory(QString file);

    // Hidden until the user has shown it once.
    bool shown() const;
    void setShown(bool shown);
    // The printer picked last in the printer panel; empty when none was.
    QString printer() const;
    void setPrinter(const QString& name);

  private:
    QString file_;
};

}  // namespace quarzello
