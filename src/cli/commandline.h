// The command line: a sheet, several card files' sheets or a member list's, into a PDF file or
// onto a printer, or the list of printers, with no window. Its messages are the window's, on
// standard error.
#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include "cli/options.h"
#include "data/datalocation.h"
#include "flows/printflow.h"

namespace quarzello {

// Does what the arguments (Qt's own already taken out) ask. rawArguments: the same as the
// system gave them, before any decoding. startedIn: the folder the program was started from,
// against which relative paths are read; location: where the default data file is; timings:
// how long the print service is waited on. Returns the exit status.
int runCommandLine(const QStringList& arguments, const QByteArrayList& rawArguments,
                   const QString& startedIn, const DataLocation& location,
                   const ServiceTimings& timings = {});

}  // namespace quarzello
