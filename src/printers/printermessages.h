// The Italian texts that tell the user why a printer did not print, each naming the printer.
#pragma once

#include <QString>

namespace quarzello {

// The printer is no longer installed.
QString printerGoneText(const QString& name);
// The printer's queue refuses new jobs.
QString printerRefusesText(const QString& name);
// The print service cannot be reached at all.
QString printServiceDownText(const QString& name);
// Any other refusal; detail is the print service's own words.
QString printerFailedText(const QString& name, const QString& detail);

}  // namespace quarzello
