// The Italian texts that tell the user why a printer did not print, each naming the printer.
#pragma once

#include <QString>

namespace quarzello {

// The printer is no longer installed.
QString printerGoneText(const QString& name);
// No printer is installed under the name the user gave.
QString printerUnknownText(const QString& name);
// The printer's queue refuses new jobs.
QString printerRefusesText(const QString& name);
// The print service cannot be reached at all.
QString printServiceDownText(const QString& name);
// The print service did not answer in time. When the job's document had already reached it,
// the job may still print once the service answers again.
QString printServiceSilentText(const QString& name, bool documentSent);
// The print service is not running: there is no list of printers.
QString printerListDownText();
// The list of printers could not be asked for in time.
QString printerListSilentText();
// Any other refusal; detail is the print service's own words.
QString printerFailedText(const QString& name, const QString& detail);
// A job that came out of the printer.
QString jobPrintedText();
// A job the service had taken was aborted or cancelled, or stopped the printer.
QString jobFailedText(const QString& name, const QString& reason);

}  // namespace quarzello
