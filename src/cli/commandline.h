// The command line: a sheet into a PDF file or onto a printer, or the list of printers, with no
// window. Its messages are the window's, on standard error.
#pragma once

#include <QStringList>
#include <optional>

#include "flows/datalocation.h"
#include "flows/printflow.h"

namespace quarzello {

// True when the arguments ask for the command line's work (or its help or version) rather than
// the window; decided before Qt starts, so that no display is needed for it.
bool wantsCommandLine(int argc, char* argv[]);

// Parses the arguments (Qt's own already taken out) and does the work. startedIn: the folder
// the program was started from, against which relative paths are read; location: where the
// default data file is; timings: how long the print service is waited on. Returns the exit
// status: 0 done, 1 the work failed, 2 the command line was wrong.
int runCommandLine(const QStringList& arguments, const QString& startedIn,
                   const DataLocation& location, const ServiceTimings& timings = {});

}  // namespace quarzello
